#pragma once

#include "Context.h"
#include "ResultStore.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <optional>

namespace mirai {

// The teachers' reads and rewrites of the result file, through the result store, with the
// messages they are told.

// Reads the result file in chunks of whole records and hands each chunk to `onChunk`. False when
// it cannot be read (a message has been shown, or the program is ending).
bool scanResultFile(Context ctx, const RecordChunk& onChunk);

// Record n (from 1) of the result file as its 44 raw bytes. nullopt when the file holds no record
// n or cannot be read (a message has been shown).
std::optional<QByteArray> readResultRecord(Context ctx, std::int64_t number);

// How a rewrite moves records about: this many at a time.
struct RewriteOptions {
    std::int64_t chunkRecords = 16384;
};

// What became of a save or a delete. `message` is for the user; it is empty when there is nothing
// to say (done, or the program is ending).
struct MaintenanceResult {
    enum class Kind {
        Done,
        Changed, // the file no longer holds the record as it was read: nothing written
        Failed,  // nothing written, or every record put back
        Ending,
    };
    Kind kind = Kind::Done;
    QString message;
};

// Writes a record back with a new student and time. `asRead` are the 44 bytes read when the record
// was opened; only the two fields change. Takes the file's lock as an append does, so a station
// recording a run meanwhile is neither lost nor overwritten.
MaintenanceResult saveRecordChanges(Context ctx, std::int64_t number, const QByteArray& asRead,
                                    std::int16_t student, std::int32_t seconds);

// Removes record `number` (which must still hold `asRead`), crash-safe: at any instant the file
// can be brought back to the file before or the file without exactly that record. The file itself
// is never removed, so a station waiting for the lock appends to it afterwards.
MaintenanceResult deleteResultRecord(Context ctx, std::int64_t number, const QByteArray& asRead,
                                     const RewriteOptions& options = {});

// The record of a delete cut short on some station and completed since a teacher last opened the
// records; asking forgets it.
std::optional<std::int64_t> takeCompletedDelete(Context ctx);

} // namespace mirai
