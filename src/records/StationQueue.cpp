#include "StationQueue.h"

#include <QThread>
#include <cerrno>

namespace mirai {

using Access = FileSystem::Access;

int writeAll(FileSystem& files, int fd, const QByteArray& bytes, std::int64_t offset, std::int64_t& done) {
    return files.writeAt(fd, bytes.constData(), bytes.size(), offset, done);
}

namespace stationqueue {

int keep(FileSystem& files, const QString& path, const QByteArray& records, int recordSize) {
    if (path.isEmpty())
        return ENOENT;
    if (records.isEmpty())
        return 0;
    const int slash = static_cast<int>(path.lastIndexOf(u'/'));
    if (slash > 0)
        files.makeFolder(path.left(slash));
    for (int attempt = 0;; ++attempt) {
        OpenFile queue(files);
        if (const int code = queue.open(path, Access::Create))
            return code;
        int lockError = 0;
        const LockResult lock = queue.lock(lockError);
        if (lock == LockResult::Error)
            return lockError != 0 ? lockError : ENOLCK;
        if (lock == LockResult::Busy) {
            queue.close();
            if (attempt >= 500)
                return EAGAIN;
            QThread::msleep(10);
            continue;
        }
        std::int64_t size = 0;
        if (const int code = files.size(queue.fd(), size))
            return code;
        // A record cut short by a crash is overwritten, as in the shared file.
        const std::int64_t offset = size / recordSize * recordSize;
        std::int64_t written = 0;
        int code = writeAll(files, queue.fd(), records, offset, written);
        if (code == 0)
            code = files.sync(queue.fd());
        // A record the station reports as lost must not turn up later after all.
        if (code != 0)
            files.truncate(queue.fd(), offset);
        if (const int closed = queue.close(); code == 0)
            code = closed;
        return code;
    }
}

QByteArray read(FileSystem& files, const QString& path, int recordSize) {
    if (path.isEmpty() || files.fileSize(path) < recordSize)
        return {};
    OpenFile queue(files);
    if (queue.open(path, Access::Read))
        return {};
    std::int64_t size = 0;
    if (files.size(queue.fd(), size))
        return {};
    QByteArray records(static_cast<qsizetype>(size / recordSize * recordSize), Qt::Uninitialized);
    std::int64_t done = 0;
    if (files.readAt(queue.fd(), records.data(), records.size(), 0, done))
        return {};
    records.truncate(static_cast<qsizetype>(done / recordSize * recordSize));
    return records;
}

StoreResult<Appended> keepRun(FileSystem& files, StoreError why, const Entries& answers, const Entries& run) {
    for (const Entries* entries : {&answers, &run}) {
        if (entries->bytes.isEmpty())
            continue;
        if (const int code = keep(files, entries->path, entries->bytes, entries->entrySize)) {
            if (why.kind != StoreErrorKind::Ending)
                why.kind = StoreErrorKind::Failed;
            why.stationCode = code;
            why.stationPath = entries->path;
            return why;
        }
    }
    return Appended{true, why};
}

} // namespace stationqueue

HeldQueue::Take HeldQueue::take(const QString& path) {
    // The usual case, no queue at all, costs one look at the folder.
    if (path.isEmpty() || m_files.fileSize(path) < m_recordSize)
        return Take::Nothing;
    if (m_file.open(path, Access::ReadWrite))
        return Take::Nothing;
    int lockError = 0;
    switch (m_file.lock(lockError)) {
    case LockResult::Locked:
        break;
    case LockResult::Busy:
        m_file.close();
        return Take::Busy;
    case LockResult::Error:
        m_file.close();
        return Take::Nothing;
    }
    std::int64_t size = 0;
    if (m_files.size(m_file.fd(), size) == 0) {
        m_records = QByteArray(static_cast<qsizetype>(size / m_recordSize * m_recordSize), Qt::Uninitialized);
        std::int64_t done = 0;
        if (m_files.readAt(m_file.fd(), m_records.data(), m_records.size(), 0, done) != 0)
            done = 0;
        m_records.truncate(static_cast<qsizetype>(done / m_recordSize * m_recordSize));
    }
    if (m_records.isEmpty()) {
        m_file.close();
        return Take::Nothing;
    }
    return Take::Held;
}

void HeldQueue::clear() {
    if (held() && m_files.truncate(m_file.fd(), 0) == 0)
        m_files.sync(m_file.fd());
}

} // namespace mirai
