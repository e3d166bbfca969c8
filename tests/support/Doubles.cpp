#include "Doubles.h"

#include <QCoreApplication>
#include <algorithm>
#include <cerrno>

namespace mirai::test {

FakeClock::FakeClock(QDateTime start) : m_now(std::move(start)) {}

void FakeClock::advanceMs(std::int64_t ms) {
    m_now = m_now.addMSecs(ms);
    m_ticks += ms;
}

double ScriptedRandom::next() {
    ++m_drawn;
    if (m_values.empty())
        return 0.0;
    const double value = m_values[m_next];
    m_next = (m_next + 1) % m_values.size();
    return value;
}

int RecordingMediaPlayer::send(const QString& command) {
    commands.append(command);
    if (whilePlaying)
        whilePlaying(command);
    if (m_always != 0)
        return m_always;
    if (m_results.empty())
        return 0;
    const int result = m_results.front();
    m_results.pop_front();
    return result;
}

MessageAnswer ScriptedMessageBoxes::show(const QString& text, const QString& title, MessageButtons buttons,
                                         MessageIcon) {
    shown.push_back({text, title, buttons});
    if (!m_answers.empty()) {
        const MessageAnswer answer = m_answers.front();
        m_answers.pop_front();
        return answer;
    }
    return buttons == MessageButtons::YesNo ? MessageAnswer::Yes : MessageAnswer::Ok;
}

void FakeEventPump::processEvents() {
    ++calls;
    m_clock.advanceMs(stepMs);
    if (QCoreApplication::instance())
        QCoreApplication::processEvents();
    if (onPump)
        onPump();
}

// ---- Files with faults on cue ----

const FaultyFileSystem::Fault* FaultyFileSystem::enter(Call call) {
    const int index = calls();
    log.push_back(call);
    if (onCall)
        onCall(call, index);
    const int ofKind = calls(call);
    if (dead()) {
        static const Fault killed{std::nullopt, 0, EIO, false};
        return &killed;
    }
    for (const Fault& fault : m_faults) {
        if (fault.call ? (*fault.call == call && fault.nth == ofKind) : fault.nth == index + 1)
            return &fault;
    }
    return nullptr;
}

int FaultyFileSystem::calls(Call call) const {
    return static_cast<int>(std::count(log.begin(), log.end(), call));
}

void FaultyFileSystem::failCall(int nth, int code, bool shortOnly) {
    m_faults.push_back(Fault{std::nullopt, nth, code, shortOnly});
}

void FaultyFileSystem::failCall(Call call, int nth, int code, bool shortOnly) {
    m_faults.push_back(Fault{call, nth, code, shortOnly});
}

void FaultyFileSystem::clearFaults() {
    m_faults.clear();
    m_dieAt = 0;
}

int FaultyFileSystem::open(const QString& path, Access access, int& error) {
    if (const Fault* fault = enter(Call::Open)) {
        error = fault->code;
        return -1;
    }
    const int fd = SystemFileSystem::open(path, access, error);
    if (fd >= 0)
        m_paths[fd] = path;
    return fd;
}

bool FaultyFileSystem::isSharedFile(int fd) const {
    const auto found = m_paths.find(fd);
    return found != m_paths.end() && found->second.endsWith(lockedFile);
}

int FaultyFileSystem::close(int fd) {
    if (m_locked.erase(fd) > 0)
        ++unlocks;
    m_paths.erase(fd);
    const Fault* fault = enter(Call::Close);
    const int code = SystemFileSystem::close(fd);
    return fault ? fault->code : code;
}

int FaultyFileSystem::size(int fd, std::int64_t& bytes) {
    if (const Fault* fault = enter(Call::Size))
        return fault->code;
    return SystemFileSystem::size(fd, bytes);
}

int FaultyFileSystem::readAt(int fd, char* out, std::int64_t size, std::int64_t offset, std::int64_t& done) {
    const Fault* fault = enter(Call::Read);
    if (!fault)
        return SystemFileSystem::readAt(fd, out, size, offset, done);
    done = 0;
    if (fault->shortOnly)
        SystemFileSystem::readAt(fd, out, size / 2, offset, done);
    return fault->code;
}

int FaultyFileSystem::writeAt(int fd, const char* data, std::int64_t size, std::int64_t offset,
                              std::int64_t& done) {
    const Fault* fault = enter(Call::Write);
    if (!fault)
        return SystemFileSystem::writeAt(fd, data, size, offset, done);
    done = 0;
    if (fault->shortOnly)
        SystemFileSystem::writeAt(fd, data, size / 2, offset, done);
    return fault->code;
}

int FaultyFileSystem::truncate(int fd, std::int64_t size) {
    if (const Fault* fault = enter(Call::Truncate))
        return fault->code;
    return SystemFileSystem::truncate(fd, size);
}

int FaultyFileSystem::sync(int fd) {
    if (const Fault* fault = enter(Call::Sync))
        return fault->code;
    return SystemFileSystem::sync(fd);
}

int FaultyFileSystem::copy(int from, std::int64_t fromOffset, int to, std::int64_t toOffset,
                           std::int64_t size) {
    const Fault* fault = enter(Call::Copy);
    if (!fault)
        return SystemFileSystem::copy(from, fromOffset, to, toOffset, size);
    if (fault->shortOnly)
        SystemFileSystem::copy(from, fromOffset, to, toOffset, size / 2);
    return fault->code;
}

int FaultyFileSystem::remove(const QString& path) {
    if (const Fault* fault = enter(Call::Remove))
        return fault->code;
    return SystemFileSystem::remove(path);
}

int FaultyFileSystem::rename(const QString& from, const QString& to) {
    if (const Fault* fault = enter(Call::Rename))
        return fault->code;
    return SystemFileSystem::rename(from, to);
}

int FaultyFileSystem::syncFolder(const QString& folder) {
    if (const Fault* fault = enter(Call::SyncFolder))
        return fault->code;
    return SystemFileSystem::syncFolder(folder);
}

int FaultyFileSystem::makeFolder(const QString& path) {
    if (const Fault* fault = enter(Call::MakeFolder))
        return fault->code;
    return SystemFileSystem::makeFolder(path);
}

std::int64_t FaultyFileSystem::fileSize(const QString& path) {
    if (enter(Call::Look))
        return -1;
    return SystemFileSystem::fileSize(path);
}

LockResult FaultyFileSystem::tryLock(int fd, int& error) {
    if (const Fault* fault = enter(Call::Lock)) {
        error = fault->code;
        return LockResult::Error;
    }
    if (!isSharedFile(fd))
        return SystemFileSystem::tryLock(fd, error);
    ++attempts;
    if (errorAttempts > 0) {
        --errorAttempts;
        error = ENOLCK;
        return LockResult::Error;
    }
    if (busyAttempts > 0) {
        --busyAttempts;
        return LockResult::Busy;
    }
    const LockResult result = SystemFileSystem::tryLock(fd, error);
    if (result == LockResult::Locked)
        m_locked.insert(fd);
    return result;
}

void FaultyFileSystem::unlock(int fd) {
    enter(Call::Unlock);
    if (m_locked.erase(fd) > 0)
        ++unlocks;
    SystemFileSystem::unlock(fd);
}

bool RecordingLauncher::startDetached(const QString& p, const QStringList& args, QString* error) {
    ++calls;
    program = p;
    arguments = args;
    if (!succeed && error)
        *error = QStringLiteral("cannot start");
    return succeed;
}

void RecordingAppControl::endProgram() {
    ++endCalls;
    markEnded();
    if (onEnd)
        onEnd();
}

TestPlatform::TestPlatform() {
    m_platform.clock = &clock;
    m_platform.random = &random;
    m_platform.media = &media;
    m_platform.messages = &messages;
    m_platform.events = &events;
    m_platform.disk = &disk;
    m_platform.launcher = &launcher;
    m_platform.app = &app;
    m_platform.files = &files;
    m_platform.printing = &printing;
}

} // namespace mirai::test
