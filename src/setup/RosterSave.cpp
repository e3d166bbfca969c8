#include "RosterSave.h"

#include "AppControl.h"
#include "FileSystem.h"
#include "Platform.h"

#include <QFile>
#include <QSaveFile>
#include <QScopeGuard>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

RosterSave failed(const QString& error) {
    return {RosterSave::Kind::Failed, error.isEmpty() ? u"書き込みに失敗しました"_s : error};
}

} // namespace

std::optional<QByteArray> readRosterBytes(const QString& path, QString* error) {
    QFile file(path);
    if (!file.exists())
        return std::nullopt;
    if (!file.open(QIODevice::ReadOnly)) {
        if (error)
            *error = file.errorString();
        return std::nullopt;
    }
    return file.readAll();
}

RosterSave saveRosterFile(const Platform& platform, const QString& path,
                          const std::optional<QByteArray>& opened, const QByteArray& bytes,
                          const RosterWriteStep& write) {
    // The old file's whole-file lock, from the check to the rename: two teachers saving at the
    // same moment cannot both pass the check.
    FileSystem& files = *platform.disk;
    int fd = -1;
    bool locked = false;
    const auto release = qScopeGuard([&] {
        if (locked)
            files.unlock(fd);
        if (fd >= 0)
            files.close(fd);
    });
    if (QFile::exists(path)) {
        int error = 0;
        fd = files.open(path, FileSystem::Access::ReadWrite, error);
        if (fd < 0)
            return failed(systemErrorText(error));
        for (;;) {
            const LockResult lock = files.tryLock(fd, error);
            if (lock == LockResult::Locked)
                break;
            if (lock == LockResult::Error)
                return failed(systemErrorText(error));
            // Another teacher's station is saving: wait for it.
            waitWhilePumping(platform, files.lockRetryMs());
            if (platform.app && platform.app->endRequested())
                return {RosterSave::Kind::Ending, {}};
        }
        locked = true;
    }
    // Read again by name: a station that saved while this one waited for the lock has put another
    // file there.
    QString readError;
    const std::optional<QByteArray> now = readRosterBytes(path, &readError);
    if (!readError.isEmpty())
        return failed(readError);
    if (now != opened)
        return {RosterSave::Kind::Changed, {}};

    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return failed(file.errorString());
    const bool written = write ? write(file, bytes) : file.write(bytes) == bytes.size();
    if (!written) {
        const QString error = file.errorString();
        file.cancelWriting();
        return failed(error);
    }
    if (!file.commit())
        return failed(file.errorString());
    return {};
}

} // namespace mirai
