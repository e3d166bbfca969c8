#include "RosterSave.h"

#include "FileLock.h"
#include "Platform.h"
#include "ResultRecords.h"

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
    QFile current(path);
    bool locked = false;
    const auto unlock = qScopeGuard([&] {
        if (locked)
            platform.locker->unlock(current.handle());
    });
    if (current.exists()) {
        if (!current.open(QIODevice::ReadWrite))
            return failed(current.errorString());
        switch (lockResultFile(platform, current.handle())) {
        case LockOutcome::Locked:
            locked = true;
            break;
        case LockOutcome::Refused:
            return failed(platform.locker->lastErrorText());
        case LockOutcome::Ending:
            return {RosterSave::Kind::Ending, {}};
        }
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
