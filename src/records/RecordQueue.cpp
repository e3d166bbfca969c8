#include "RecordQueue.h"

#include "AppControl.h"
#include "Platform.h"
#include "ResultRecords.h"
#include "SharedState.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QHash>
#include <QThread>
#include <cerrno>
#include <cstring>
#include <fcntl.h>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr char16_t kQueueFileName[] = u"成績待ち.dat";

QString errorText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

bool ending(const Platform& platform) {
    return platform.app && platform.app->endRequested();
}

} // namespace

QString recordQueuePath(const SharedState& state) {
    if (state.QueueFolder.isEmpty())
        return {};
    return state.QueueFolder + QString::fromUtf16(kQueueFileName);
}

std::int64_t queuedRecordCount(const SharedState& state) {
    const QString path = recordQueuePath(state);
    if (path.isEmpty())
        return 0;
    return QFileInfo(path).size() / kRecordSize;
}

QueueWrite queueRecord(const Platform& platform, const QString& path, const QByteArray& record) {
    if (path.isEmpty())
        return {QueueOutcome::Failed, u"この端末には記録を残すフォルダーがありません"_s};
    QDir().mkpath(QFileInfo(path).absolutePath());
    const QByteArray name = QFile::encodeName(path);
    OfdFileLocker locker;
    for (;;) {
        fileio::Descriptor file(fileio::openFile(name, O_RDWR | O_CREAT));
        if (file.get() < 0)
            return {QueueOutcome::Failed, errorText(errno)};
        switch (locker.tryLock(file.get())) {
        case LockResult::Locked:
            break;
        case LockResult::Busy:
            file.reset();
            // Another program of this station holds the queue only for a moment; while this one
            // is ending it waits without letting the screens run.
            if (platform.app && platform.app->stopping() && !ending(platform))
                QThread::msleep(10);
            else
                waitWhilePumping(platform, platform.locker->retryIntervalMs());
            if (ending(platform))
                return {QueueOutcome::Ending, {}};
            continue;
        case LockResult::Error:
            return {QueueOutcome::Failed, locker.lastErrorText()};
        }

        const std::int64_t size = fileio::fileSize(file.get());
        if (size < 0) {
            const int code = errno;
            locker.unlock(file.get());
            return {QueueOutcome::Failed, errorText(code)};
        }
        // A record cut short by a crash is overwritten, as in the shared file.
        const std::int64_t offset = size / kRecordSize * kRecordSize;
        std::int64_t written = 0;
        int code = fileio::writeAt(file.get(), record, offset, written);
        if (code == 0)
            code = fileio::flushData(file.get());
        // A record the station reports as lost must not turn up later after all.
        if (code != 0)
            fileio::truncateTo(file.get(), offset);
        locker.unlock(file.get());
        if (const int closed = file.reset(); code == 0 && closed != 0)
            code = closed;
        if (code != 0)
            return {QueueOutcome::Failed, errorText(code)};
        return {QueueOutcome::Kept, {}};
    }
}

HeldQueue::~HeldQueue() {
    release();
}

void HeldQueue::release() {
    if (held())
        m_locker.unlock(m_file.get());
    m_file.reset();
    m_records.clear();
}

HeldQueue::Take HeldQueue::take(const QString& path) {
    release();
    // The usual case, no queue at all, costs one look at the folder.
    if (path.isEmpty() || QFileInfo(path).size() < kRecordSize)
        return Take::Nothing;
    fileio::Descriptor file(fileio::openFile(QFile::encodeName(path), O_RDWR));
    if (file.get() < 0)
        return Take::Nothing;
    switch (m_locker.tryLock(file.get())) {
    case LockResult::Locked:
        break;
    case LockResult::Busy:
        return Take::Busy;
    case LockResult::Error:
        return Take::Nothing;
    }
    m_file.assign(file.release());
    const std::int64_t size = fileio::fileSize(m_file.get());
    const std::int64_t whole = size < 0 ? 0 : size / kRecordSize * kRecordSize;
    m_records = QByteArray(static_cast<qsizetype>(whole), Qt::Uninitialized);
    const std::int64_t read = fileio::readAt(m_file.get(), m_records.data(), whole, 0);
    m_records.truncate(static_cast<qsizetype>(read < 0 ? 0 : read / kRecordSize * kRecordSize));
    if (m_records.isEmpty()) {
        release();
        return Take::Nothing;
    }
    return Take::Held;
}

void HeldQueue::clear() {
    if (!held())
        return;
    // A queue that cannot be emptied keeps its records; the next replay finds them stored.
    if (fileio::truncateTo(m_file.get(), 0))
        m_records.clear();
}

QByteArray recordsNotYetStored(const QByteArray& queued, const QByteArray& stored) {
    QHash<QByteArray, int> copies;
    for (qsizetype at = 0; at + kRecordSize <= stored.size(); at += kRecordSize)
        ++copies[stored.mid(at, kRecordSize)];
    QByteArray missing;
    for (qsizetype at = 0; at + kRecordSize <= queued.size(); at += kRecordSize) {
        const QByteArray record = queued.mid(at, kRecordSize);
        const auto found = copies.find(record);
        if (found != copies.end() && found.value() > 0)
            --found.value();
        else
            missing += record;
    }
    return missing;
}

} // namespace mirai
