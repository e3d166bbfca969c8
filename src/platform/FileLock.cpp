#include "FileLock.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#endif

namespace mirai {

#ifdef _WIN32

LockResult OfdFileLocker::tryLock(int fd) {
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
    OVERLAPPED where{};
    if (LockFileEx(handle, LOCKFILE_EXCLUSIVE_LOCK | LOCKFILE_FAIL_IMMEDIATELY, 0, MAXDWORD, MAXDWORD,
                   &where))
        return LockResult::Locked;
    const DWORD error = GetLastError();
    if (error == ERROR_LOCK_VIOLATION || error == ERROR_SHARING_VIOLATION || error == ERROR_IO_PENDING)
        return LockResult::Busy;
    m_lastError = QString::number(error);
    return LockResult::Error;
}

void OfdFileLocker::unlock(int fd) {
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

LockResult OfdFileLocker::tryLock(int fd) {
    struct flock lock = wholeFile(F_WRLCK);
    if (::fcntl(fd, F_OFD_SETLK, &lock) == 0)
        return LockResult::Locked;
    const int error = errno;
    if (error == EAGAIN || error == EACCES || error == EINTR)
        return LockResult::Busy;
    m_lastError = QString::fromLocal8Bit(std::strerror(error));
    return LockResult::Error;
}

void OfdFileLocker::unlock(int fd) {
    struct flock lock = wholeFile(F_UNLCK);
    ::fcntl(fd, F_OFD_SETLK, &lock);
}

#endif

} // namespace mirai
