#include "Doubles.h"

#include <QCoreApplication>

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

LockResult FakeFileLocker::tryLock(int) {
    ++attempts;
    if (errorAttempts > 0) {
        --errorAttempts;
        return LockResult::Error;
    }
    if (busyAttempts > 0) {
        --busyAttempts;
        return LockResult::Busy;
    }
    return LockResult::Locked;
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
    m_platform.locker = &locker;
    m_platform.launcher = &launcher;
    m_platform.app = &app;
    m_platform.files = &files;
    m_platform.printing = &printing;
}

} // namespace mirai::test
