#pragma once

#include "AppControl.h"
#include "Clock.h"
#include "DrawingDoubles.h"
#include "EventPump.h"
#include "FileSystem.h"
#include "MediaPlayer.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "ProcessLauncher.h"
#include "QtPrinters.h"
#include "Random.h"

#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <set>
#include <vector>

namespace mirai::test {

// A clock the test sets and advances; wall time and ticks move together.
class FakeClock final : public Clock {
public:
    explicit FakeClock(QDateTime start = QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0)));
    QDateTime now() const override { return m_now; }
    std::int64_t tickMs() const override { return m_ticks; }
    void set(const QDateTime& now) { m_now = now; }
    void advanceMs(std::int64_t ms);
    void advanceSeconds(double seconds) { advanceMs(static_cast<std::int64_t>(seconds * 1000.0 + 0.5)); }

private:
    QDateTime m_now;
    std::int64_t m_ticks = 1'000'000;
};

// Replays the given numbers in order, then starts again; an empty script gives 0.
class ScriptedRandom final : public Random {
public:
    explicit ScriptedRandom(std::vector<double> values = {}) : m_values(std::move(values)) {}
    double next() override;
    void reseed(std::uint64_t value) override { m_reseeds.push_back(value); }
    void setValues(std::vector<double> values) {
        m_values = std::move(values);
        m_next = 0;
    }
    std::size_t drawn() const { return m_drawn; }
    const std::vector<std::uint64_t>& reseeds() const { return m_reseeds; }

private:
    std::vector<double> m_values;
    std::size_t m_next = 0;
    std::size_t m_drawn = 0;
    std::vector<std::uint64_t> m_reseeds;
};

// Records every command; answers from a script of results (0 once the script is used up).
class RecordingMediaPlayer final : public MediaPlayer {
public:
    int send(const QString& command) override;
    QString errorText(int error) const override { return QStringLiteral("error %1").arg(error); }
    void scriptResults(std::initializer_list<int> results) { m_results.insert(m_results.end(), results); }
    void failAlways(int error) { m_always = error; }
    QStringList commands;
    // Called while a sound "plays", to let a test act in the middle of a cue.
    std::function<void(const QString&)> whilePlaying;

private:
    std::deque<int> m_results;
    int m_always = 0;
};

struct ShownMessage {
    QString text;
    QString title;
    MessageButtons buttons;
};

class ScriptedMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override;
    void scriptAnswers(std::initializer_list<MessageAnswer> answers) {
        m_answers.insert(m_answers.end(), answers);
    }
    std::vector<ShownMessage> shown;

private:
    std::deque<MessageAnswer> m_answers;
};

// Runs pending Qt events and moves the fake clock on by a step each time, so loops that wait
// on the tick clock end.
class FakeEventPump final : public EventPump {
public:
    explicit FakeEventPump(FakeClock& clock) : m_clock(clock) {}
    void processEvents() override;
    int calls = 0;
    std::int64_t stepMs = 10;
    std::function<void()> onPump;

private:
    FakeClock& m_clock;
};

// The system's file calls with faults on cue: the k-th call (of one kind, or of any) fails with an
// error number or comes back short, and the lock can play another station holding it. Every
// call is logged, so a test can first count an operation's steps and then fail each in turn.
class FaultyFileSystem final : public SystemFileSystem {
public:
    enum class Call {
        Open,
        Close,
        Size,
        Read,
        Write,
        Truncate,
        Sync,
        Copy,
        Remove,
        Rename,
        SyncFolder,
        MakeFolder,
        Look,
        Lock,
        Unlock
    };

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
    int lockRetryMs() const override { return lockWaitMs; }

    // The `nth` call (from 1) of any kind fails with `code`; with `shortOnly` a read or write
    // does half its bytes and then fails.
    void failCall(int nth, int code = EIO, bool shortOnly = false);
    // The `nth` call of one kind.
    void failCall(Call call, int nth, int code = EIO, bool shortOnly = false);
    // From the `nth` call (from 1) on the program is as good as dead: nothing more reaches the
    // disk; every call fails, only its descriptors close, as they do when a process is killed.
    void dieAtCall(int nth) { m_dieAt = nth; }
    void clearFaults();
    int calls() const { return static_cast<int>(log.size()); }
    int calls(Call call) const;

    std::vector<Call> log;                            // every call, in order
    std::function<void(Call call, int index)> onCall; // before each call, with its place in the log

    // Lock attempts on one file, by default the shared result file (not the station's own queue):
    // answered as if another station held the lock, or refused by the system; and the attempts
    // and the times the lock was let go there (by an unlock or by closing the file).
    QString lockedFile = QStringLiteral("成績累積データ.dat");
    int busyAttempts = 0;
    int errorAttempts = 0;
    int attempts = 0;
    int unlocks = 0;
    int lockWaitMs = 1; // pause between two lock attempts

private:
    struct Fault {
        std::optional<Call> call;
        int nth = 0;
        int code = EIO;
        bool shortOnly = false;
    };
    // The fault for the call just logged, if any.
    const Fault* enter(Call call);
    bool isSharedFile(int fd) const;
    bool dead() const { return m_dieAt > 0 && calls() >= m_dieAt; }
    int m_dieAt = 0;
    std::vector<Fault> m_faults;
    std::map<int, QString> m_paths; // open descriptors and their files
    std::set<int> m_locked;         // descriptors of the locked file holding its lock
};

class RecordingLauncher final : public ProcessLauncher {
public:
    bool startDetached(const QString& program, const QStringList& arguments, QString* error) override;
    bool succeed = true;
    QString program;
    QStringList arguments;
    int calls = 0;
};

class RecordingAppControl final : public AppControl {
public:
    void endProgram() override;
    int endCalls = 0;
    std::function<void()> onEnd;
};

// Every double wired into one Platform (no screens: see UiTestPlatform).
class TestPlatform {
public:
    TestPlatform();
    TestPlatform(const TestPlatform&) = delete;
    TestPlatform& operator=(const TestPlatform&) = delete;
    const Platform& platform() const { return m_platform; }
    operator const Platform&() const { return m_platform; }
    // Another print service, such as the real one writing PDF files.
    void usePrintService(PrintService* service) { m_platform.printing = service; }

    FakeClock clock;
    ScriptedRandom random;
    RecordingMediaPlayer media;
    ScriptedMessageBoxes messages;
    FakeEventPump events{clock};
    FaultyFileSystem disk;
    RecordingLauncher launcher;
    RecordingAppControl app;
    ScriptedFileDialogs files;
    RecordingPrintService printing;

protected:
    Platform m_platform;
};

} // namespace mirai::test
