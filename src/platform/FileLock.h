#pragma once

#include <QString>

namespace mirai {

enum class LockResult { Locked, Busy, Error };

// Exclusive lock on a whole open file, against other processes and stations. Taking it never
// waits: while another holder has it the answer is Busy and the caller retries.
class FileLocker {
public:
    virtual ~FileLocker() = default;
    virtual LockResult tryLock(int fd) = 0;
    virtual void unlock(int fd) = 0;
    // Pause between two attempts while another station holds the lock.
    virtual int retryIntervalMs() const { return m_retryIntervalMs; }
    void setRetryIntervalMs(int ms) { m_retryIntervalMs = ms; }
    // Text of the last Error, for messages.
    virtual QString lastErrorText() const { return {}; }

private:
    int m_retryIntervalMs = 1000;
};

// Open-file-description locks on the whole file (classic POSIX locks vanish when any other
// descriptor of the same file is closed by this process).
class OfdFileLocker final : public FileLocker {
public:
    LockResult tryLock(int fd) override;
    void unlock(int fd) override;
    QString lastErrorText() const override { return m_lastError; }

private:
    QString m_lastError;
};

} // namespace mirai
