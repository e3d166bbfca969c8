#pragma once

#include "FileSystem.h"
#include "ResultStore.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace mirai {

// A file opened through the seam; closed, and its lock let go with it, when it goes.
class OpenFile {
public:
    explicit OpenFile(FileSystem& files) : m_files(files) {}
    ~OpenFile() { release(); }
    OpenFile(const OpenFile&) = delete;
    OpenFile& operator=(const OpenFile&) = delete;

    int open(const QString& path, FileSystem::Access access) {
        release();
        m_path = path;
        int error = 0;
        m_fd = m_files.open(path, access, error);
        return m_fd < 0 ? (error != 0 ? error : EIO) : 0;
    }
    LockResult lock(int& error) { return m_files.tryLock(m_fd, error); }
    // Closes now: 0, or what the system reported for writes it could only finish at the close.
    // The close lets the lock go with it (a whole-file lock belongs to the open file).
    int close() {
        if (m_fd < 0)
            return 0;
        const int code = m_files.close(m_fd);
        m_fd = -1;
        return code;
    }
    void release() { close(); }

    int fd() const { return m_fd; }
    bool isOpen() const { return m_fd >= 0; }
    const QString& path() const { return m_path; }

private:
    FileSystem& m_files;
    QString m_path;
    int m_fd = -1;
};

int writeAll(FileSystem& files, int fd, const QByteArray& bytes, std::int64_t offset, std::int64_t& done);

// The queues of this station: runs (or their answers) that wait for the shared store while it is
// out of reach, one file per kind of record, each entry `recordSize` bytes. Every store keeps its
// waiting runs here the same way.
namespace stationqueue {

// Adds records to a queue under the queue's own lock and flushes them; 0 or the error. Another
// program of this station holds the queue only for a moment.
int keep(FileSystem& files, const QString& path, const QByteArray& records, int recordSize);

// The whole entries of a queue, read without its lock (for counting and showing them).
QByteArray read(FileSystem& files, const QString& path, int recordSize);

// What a run leaves in one queue: its path, the entries (none: nothing) and an entry's size.
struct Entries {
    QString path;
    QByteArray bytes;
    int entrySize = 0;
};

// Keeps a run the shared store could not take (`why`) on this station, its answers first: the
// append's outcome, kept on the station, or an error naming the queue that could not keep it.
StoreResult<Appended> keepRun(FileSystem& files, StoreError why, const Entries& answers, const Entries& run);

} // namespace stationqueue

// A queue of this station locked for one replay into the shared store.
class HeldQueue {
public:
    enum class Take { Nothing, Held, Busy };

    HeldQueue(FileSystem& files, int recordSize) : m_files(files), m_file(files), m_recordSize(recordSize) {}

    Take take(const QString& path);

    bool held() const { return m_file.isOpen(); }
    const QByteArray& records() const { return m_records; }
    // Lets the queue go as it is.
    void release() { m_file.close(); }

    // Empties the queue: only once its records are safely in the shared store. A failure leaves
    // them waiting, and the next replay finds them stored already.
    void clear();

private:
    FileSystem& m_files;
    OpenFile m_file;
    int m_recordSize;
    QByteArray m_records;
};

} // namespace mirai
