#pragma once

#include <QByteArray>
#include <cstdint>
#include <utility>

// The few system calls the record files are read and written with: whole records at known
// offsets, no buffering between the program and the file (or the file server).
namespace mirai::fileio {

// open(2) with close-on-exec, repeated when a signal interrupts it; -1 with errno set.
int openFile(const QByteArray& name, int flags);

// A descriptor closed when the attempt ends, whichever way.
class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor() { reset(); }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    int release() { return std::exchange(m_fd, -1); }
    // Takes `fd` over, closing the one held before.
    void assign(int fd) {
        reset();
        m_fd = fd;
    }
    // Closes now; the errno of a failed close, 0 otherwise.
    int reset();

private:
    int m_fd;
};

// The length of an open file, or -1 with errno set.
std::int64_t fileSize(int fd);

// Reads up to `size` bytes at `offset` into `out`, fewer when the file ends sooner: the number
// read, or -1 with errno set.
std::int64_t readAt(int fd, char* out, std::int64_t size, std::int64_t offset);

// Writes all of `bytes` at `offset`. 0 when done, otherwise the errno of the failure, with
// `written` saying how far it got.
int writeAt(int fd, const QByteArray& bytes, std::int64_t offset, std::int64_t& written);

// Waits until the written data has reached the disk or the file server: 0, or the errno of the
// failure. A file that cannot be flushed this way (EINVAL) counts as flushed.
int flushData(int fd);

// Cuts the file to `size` bytes; false when the system refuses.
bool truncateTo(int fd, std::int64_t size);

} // namespace mirai::fileio
