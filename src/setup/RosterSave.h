#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <optional>

class QIODevice;

namespace mirai {

struct Platform;

// What became of a roster save. `error` says why it failed.
struct RosterSave {
    enum class Kind {
        Saved,
        Changed, // the file is no longer what was read: nothing written
        Failed,  // nothing written: the old file is whole
        Ending,
    };
    Kind kind = Kind::Saved;
    QString error;
};

// Writes the file's bytes; false when they could not all be written. Tests make it fail half-way.
using RosterWriteStep = std::function<bool(QIODevice& file, const QByteArray& bytes)>;

// Replaces the roster file at `path` with `bytes`, but only while it still holds `opened` (what was
// read when editing began; none when there was no file). The new file is written completely beside
// the old one, flushed to the disk and then renamed over it, so a station reading the roster meanwhile
// reads the old file or the new one, never a part. The old file's whole-file lock is held from the
// check to the rename: two stations saving at once take turns, and the second finds the file
// changed.
RosterSave saveRosterFile(const Platform& platform, const QString& path,
                          const std::optional<QByteArray>& opened, const QByteArray& bytes,
                          const RosterWriteStep& write = {});

// The roster file's bytes now; none when there is no file.
std::optional<QByteArray> readRosterBytes(const QString& path, QString* error = nullptr);

} // namespace mirai
