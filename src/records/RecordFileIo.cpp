#include "RecordFileIo.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace mirai::fileio {

int openFile(const QByteArray& name, int flags) {
    int fd;
    do {
        fd = ::open(name.constData(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

int Descriptor::reset() {
    if (m_fd < 0)
        return 0;
    const int result = ::close(m_fd);
    m_fd = -1;
    return result == 0 || errno == EINTR ? 0 : errno;
}

std::int64_t fileSize(int fd) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

std::int64_t readAt(int fd, char* out, std::int64_t size, std::int64_t offset) {
    std::int64_t done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, out + done, static_cast<std::size_t>(size - done), static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return -1;
        if (n == 0)
            break; // the file was shortened meanwhile (record maintenance)
        done += n;
    }
    return done;
}

int writeAt(int fd, const QByteArray& bytes, std::int64_t offset, std::int64_t& written) {
    written = 0;
    const std::int64_t size = bytes.size();
    while (written < size) {
        const ssize_t n = ::pwrite(fd, bytes.constData() + written, static_cast<std::size_t>(size - written),
                                   static_cast<off_t>(offset + written));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        written += n;
    }
    return 0;
}

int flushData(int fd) {
    if (::fdatasync(fd) == 0 || errno == EINVAL)
        return 0;
    return errno;
}

bool truncateTo(int fd, std::int64_t size) {
    int result;
    do {
        result = ::ftruncate(fd, static_cast<off_t>(size));
    } while (result != 0 && errno == EINTR);
    return result == 0;
}

} // namespace mirai::fileio
