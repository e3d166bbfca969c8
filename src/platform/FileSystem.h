#pragma once

#include <QString>
#include <cstdint>

namespace mirai {

enum class LockResult { Locked, Busy, Error };

// The one way the result store reaches the disk or the file server: whole files opened by path,
// read and written at known offsets without buffering in between, flushed, cut, copied, renamed
// and removed, and locked as a whole against other programs and stations. Every call answers 0
// or the system's error number, so a test double can make any one of them fail.
class FileSystem {
public:
    enum class Access {
        Read,      // an existing file, for reading
        ReadWrite, // an existing file, for reading and writing
        Create,    // for reading and writing, created empty when missing
        Replace,   // for reading and writing, created or emptied
    };

    virtual ~FileSystem() = default;

    // A descriptor, or -1 with the error number in `error`.
    virtual int open(const QString& path, Access access, int& error) = 0;
    // 0, or the error a network share reports for writes it could only finish now.
    virtual int close(int fd) = 0;
    virtual int size(int fd, std::int64_t& bytes) = 0;
    // Reads up to `size` bytes at `offset`; `done` is how many, fewer where the file ends sooner.
    virtual int readAt(int fd, char* out, std::int64_t size, std::int64_t offset, std::int64_t& done) = 0;
    // Writes all `size` bytes at `offset`; after a failure `done` says how far it got.
    virtual int writeAt(int fd, const char* data, std::int64_t size, std::int64_t offset,
                        std::int64_t& done) = 0;
    virtual int truncate(int fd, std::int64_t size) = 0;
    // Waits until the written data has reached the disk or the file server.
    virtual int sync(int fd) = 0;
    // `size` bytes of `from` at `fromOffset` into `to` at `toOffset`: inside the system where it
    // can (on a file server, without the bytes crossing the network).
    virtual int copy(int from, std::int64_t fromOffset, int to, std::int64_t toOffset, std::int64_t size) = 0;
    // A missing file counts as removed.
    virtual int remove(const QString& path) = 0;
    // Replaces `to` with `from` in one step.
    virtual int rename(const QString& from, const QString& to) = 0;
    // Makes the folder's list of files durable (a file made or removed survives a power cut).
    virtual int syncFolder(const QString& folder) = 0;
    // Makes a folder and the folders above it that are missing.
    virtual int makeFolder(const QString& path) = 0;
    // The length of the file at `path`: -1 when it is missing or cannot be looked at.
    virtual std::int64_t fileSize(const QString& path) = 0;

    // Takes the exclusive lock on the whole open file without waiting: Busy while another program
    // or station holds it; Error with `error` when the system refuses locks. The lock lasts until
    // unlock() or until the file is closed.
    virtual LockResult tryLock(int fd, int& error) = 0;
    virtual void unlock(int fd) = 0;
    // Pause between two attempts while another station holds a lock.
    virtual int lockRetryMs() const { return 1000; }
};

// The system's calls: POSIX with open-file-description locks on the whole file (classic POSIX
// locks vanish when any other descriptor of the same file is closed by this process);
// LockFileEx on Windows.
class SystemFileSystem : public FileSystem {
public:
    int open(const QString& path, Access access, int& error) override;
    int close(int fd) override;
    int size(int fd, std::int64_t& bytes) override;
    int readAt(int fd, char* out, std::int64_t size, std::int64_t offset, std::int64_t& done) override;
    int writeAt(int fd, const char* data, std::int64_t size, std::int64_t offset,
                std::int64_t& done) override;
    int truncate(int fd, std::int64_t size) override;
    int sync(int fd) override;
    int copy(int from, std::int64_t fromOffset, int to, std::int64_t toOffset, std::int64_t size) override;
    int remove(const QString& path) override;
    int rename(const QString& from, const QString& to) override;
    int syncFolder(const QString& folder) override;
    int makeFolder(const QString& path) override;
    std::int64_t fileSize(const QString& path) override;
    LockResult tryLock(int fd, int& error) override;
    void unlock(int fd) override;
    int lockRetryMs() const override { return m_lockRetryMs; }
    void setLockRetryMs(int ms) { m_lockRetryMs = ms; }

private:
    int m_lockRetryMs = 1000;
};

// The text of an error number, for messages.
QString systemErrorText(int code);

} // namespace mirai
