#include "FileSystem.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace mirai {

namespace {

QByteArray nativeName(const QString& path) {
    return QFile::encodeName(path);
}

} // namespace

QString systemErrorText(int code) {
    return QString::fromLocal8Bit(std::strerror(code));
}

int SystemFileSystem::open(const QString& path, Access access, int& error) {
    int flags = O_RDWR;
    switch (access) {
    case Access::Read:
        flags = O_RDONLY;
        break;
    case Access::ReadWrite:
        break;
    case Access::Create:
        flags |= O_CREAT;
        break;
    case Access::Replace:
        flags |= O_CREAT | O_TRUNC;
        break;
    }
    const QByteArray name = nativeName(path);
    int fd;
    do {
        fd = ::open(name.constData(), flags | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    error = fd < 0 ? errno : 0;
    return fd;
}

int SystemFileSystem::close(int fd) {
    if (fd < 0)
        return 0;
    return ::close(fd) == 0 || errno == EINTR ? 0 : errno;
}

int SystemFileSystem::size(int fd, std::int64_t& bytes) {
    struct stat info {};
    if (::fstat(fd, &info) != 0)
        return errno;
    bytes = static_cast<std::int64_t>(info.st_size);
    return 0;
}

int SystemFileSystem::readAt(int fd, char* out, std::int64_t size, std::int64_t offset, std::int64_t& done) {
    done = 0;
    while (done < size) {
        const ssize_t n =
            ::pread(fd, out + done, static_cast<std::size_t>(size - done), static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return errno;
        if (n == 0)
            break; // the file ends here
        done += n;
    }
    return 0;
}

int SystemFileSystem::writeAt(int fd, const char* data, std::int64_t size, std::int64_t offset,
                              std::int64_t& done) {
    done = 0;
    while (done < size) {
        const ssize_t n = ::pwrite(fd, data + done, static_cast<std::size_t>(size - done),
                                   static_cast<off_t>(offset + done));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return n < 0 ? errno : ENOSPC;
        done += n;
    }
    return 0;
}

int SystemFileSystem::truncate(int fd, std::int64_t size) {
    int result;
    do {
        result = ::ftruncate(fd, static_cast<off_t>(size));
    } while (result != 0 && errno == EINTR);
    return result == 0 ? 0 : errno;
}

int SystemFileSystem::sync(int fd) {
    // A file that cannot be flushed this way (EINVAL: a special file) counts as flushed.
    if (::fdatasync(fd) == 0 || errno == EINVAL)
        return 0;
    return errno;
}

int SystemFileSystem::copy(int from, std::int64_t fromOffset, int to, std::int64_t toOffset,
                           std::int64_t size) {
    std::int64_t done = 0;
    while (done < size) {
        loff_t in = fromOffset + done;
        loff_t out = toOffset + done;
        const ssize_t n = ::copy_file_range(from, &in, to, &out, static_cast<std::size_t>(size - done), 0);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == ENOSYS || errno == EXDEV || errno == EINVAL || errno == EOPNOTSUPP))
            break; // the system cannot copy these files by itself: this program copies the rest
        if (n < 0)
            return errno;
        if (n == 0)
            return EIO; // the file is shorter than it was a moment ago
        done += n;
    }
    std::vector<char> buffer(static_cast<std::size_t>(std::min<std::int64_t>(size - done, 1 << 20)));
    while (done < size) {
        const std::int64_t n = std::min<std::int64_t>(static_cast<std::int64_t>(buffer.size()), size - done);
        std::int64_t moved = 0;
        if (const int code = readAt(from, buffer.data(), n, fromOffset + done, moved))
            return code;
        if (moved < n)
            return EIO;
        if (const int code = writeAt(to, buffer.data(), n, toOffset + done, moved))
            return code;
        done += n;
    }
    return 0;
}

int SystemFileSystem::remove(const QString& path) {
    if (::unlink(nativeName(path).constData()) == 0 || errno == ENOENT)
        return 0;
    return errno;
}

int SystemFileSystem::rename(const QString& from, const QString& to) {
    return ::rename(nativeName(from).constData(), nativeName(to).constData()) == 0 ? 0 : errno;
}

int SystemFileSystem::syncFolder(const QString& folder) {
    const int fd = ::open(nativeName(folder).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return errno;
    // A file server that cannot flush a folder (EINVAL) keeps its list by itself.
    const int result = ::fsync(fd) == 0 || errno == EINVAL ? 0 : errno;
    ::close(fd);
    return result;
}

int SystemFileSystem::makeFolder(const QString& path) {
    if (QDir().mkpath(path))
        return 0;
    return QFileInfo(path).exists() ? ENOTDIR : EACCES;
}

std::int64_t SystemFileSystem::fileSize(const QString& path) {
    struct stat info {};
    if (::stat(nativeName(path).constData(), &info) != 0)
        return -1;
    return static_cast<std::int64_t>(info.st_size);
}

#ifdef _WIN32

LockResult SystemFileSystem::tryLock(int fd, int& error) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED where{};
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                   &where))
        return LockResult::Locked;
    const DWORD code = GetLastError();
    if (code == ERROR_LOCK_VIOLATION || code == ERROR_SHARING_VIOLATION || code == ERROR_IO_PENDING)
        return LockResult::Busy;
    error = static_cast<int>(code);
    return LockResult::Error;
}

void SystemFileSystem::unlock(int fd) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED where{};
    UnlockFileEx(handle, 0, MAXDWORD, MAXDWORD, &where);
}

#else

namespace {
struct flock wholeFile(short type) {
    struct flock lock {};
    lock.l_type = type;
    lock.l_whence = SEEK_SET;
    lock.l_start = 0;
    lock.l_len = 0; // to the end of the file, however long it grows
    lock.l_pid = 0; // required by open-file-description locks
    return lock;
}
} // namespace

LockResult SystemFileSystem::tryLock(int fd, int& error) {
    struct flock lock = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return LockResult::Locked;
    if (errno == EAGAIN || errno == EACCES || errno == EINTR)
        return LockResult::Busy;
    error = errno;
    return LockResult::Error;
}

void SystemFileSystem::unlock(int fd) {
    struct flock lock = wholeFile(F_UNLCK);
    ::fcntl(fd, F_OFD_SETLK, &lock);
}

#endif

} // namespace mirai
