// Runs that cannot reach the shared result file wait on the station, and reach the file in order
// and once with the next append or load.

#include "FileSystem.h"
#include "RecordFiles.h"
#include "RecordsFixture.h"
#include "ResultRecords.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <csignal>
#include <fcntl.h>
#include <sys/resource.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// Ways the shared data folder goes out of reach.
enum class Fault {
    FolderRenamed, // the share is unmounted: the folder is gone
    FolderIsAFile, // something else stands where the folder was
    LockRefused,   // the file server refuses every lock
    ReadOnlyShare, // writing is refused (binds only a user without privileges)
};

const QString kKept = u"この記録はこのコンピューターに保存しました。"_s;

class QueueFixture : public RecordsFixture {
protected:
    QueueFixture() {
        state().QueueFolder = tree.root() + u"端末/"_s;
        state().SiteCode = u"12345"_s;
        state().CurrentLevel = 2;
        state().BestSeconds.fill(kNoRecordSeconds);
        state().BestSecondsAll.fill(kNoRecordSeconds);
        platform.clock.set(QDateTime(QDate(2026, 12, 9), QTime(14, 0, 0)));
    }

    QString queuePath() const { return tree.root() + u"端末/成績待ち.dat"_s; }
    std::vector<StoredRun> shared() const { return storedRuns(readBytes(resultPath())); }
    std::vector<StoredRun> queued() const { return storedRuns(readBytes(queuePath())); }
    qint64 queueSize() const { return QFileInfo(queuePath()).size(); }

    // A run of `student` in `seconds`, recorded a minute after the one before.
    bool run(int student, int seconds) {
        platform.clock.set(platform.clock.now().addSecs(60));
        state().StudentNumber = static_cast<std::int16_t>(student);
        state().RunSeconds = seconds;
        return RecordRunResult(ctx(), state().CurrentLevel);
    }

    // False when the fault cannot be made here (permissions do not bind the superuser).
    bool breakShare(Fault fault) {
        const QString folder = tree.dataFolder().chopped(1);
        switch (fault) {
        case Fault::FolderRenamed:
            return QDir().rename(folder, away());
        case Fault::FolderIsAFile:
            if (!QDir().rename(folder, away()))
                return false;
            writeBytes(folder, "not a folder");
            return true;
        case Fault::LockRefused:
            platform.disk.errorAttempts = 1000000;
            return true;
        case Fault::ReadOnlyShare:
            if (::geteuid() == 0)
                return false;
            QFile::setPermissions(resultPath(), QFileDevice::ReadOwner);
            return QFile::setPermissions(folder, QFileDevice::ReadOwner | QFileDevice::ExeOwner);
        }
        return false;
    }

    void mendShare(Fault fault) {
        const QString folder = tree.dataFolder().chopped(1);
        switch (fault) {
        case Fault::FolderIsAFile:
            QFile::remove(folder);
            [[fallthrough]];
        case Fault::FolderRenamed:
            ASSERT_TRUE(QDir().rename(away(), folder));
            break;
        case Fault::LockRefused:
            platform.disk.errorAttempts = 0;
            break;
        case Fault::ReadOnlyShare:
            QFile::setPermissions(folder,
                                  QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
            QFile::setPermissions(resultPath(), QFileDevice::ReadOwner | QFileDevice::WriteOwner);
            break;
        }
    }

    QString away() const { return tree.root() + u"外れ"_s; }

    static RawRecord queuedRun(int i) {
        RawRecord record;
        record.student = static_cast<std::int16_t>(40 + i);
        record.level = 2;
        record.seconds = 100 + i;
        record.time = QTime(9, 0).addSecs(60 * i);
        return record;
    }
};

// ---- A share that goes away and comes back ---------------------------------------------------

struct FaultCase {
    const char* name;
    Fault fault;
};

class ShareOutOfReach : public QueueFixture, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(ShareOutOfReach, RunsWaitOnTheStationAndReachTheShareInOrderOnce) {
    writeRecords(resultPath(), {queuedRun(1), queuedRun(2)});
    const Fault fault = GetParam().fault;
    if (!breakShare(fault))
        GTEST_SKIP() << "this fault cannot be made here";

    // Two runs while the share is away: both kept, the student told each time, nothing ends.
    ASSERT_TRUE(run(27, 83));
    EXPECT_EQ(state().RunKeptOnStation, 1);
    ASSERT_TRUE(run(28, 90));
    EXPECT_EQ(platform.app.endCalls, 0);
    ASSERT_EQ(platform.messages.shown.size(), 2u);
    for (const ShownMessage& message : platform.messages.shown) {
        EXPECT_TRUE(message.text.contains(kKept)) << message.text.toStdString();
        EXPECT_TRUE(message.text.contains(resultPath()));
    }
    EXPECT_EQ(queued(), (std::vector<StoredRun>{{27, 83}, {28, 90}}));
    EXPECT_EQ(queuedRecordCount(ctx()), 2);
    // The end screen counts the kept run without waiting for the share again.
    ASSERT_FALSE(state().LoadedResults.empty());
    EXPECT_EQ(state().LoadedResults.back().StudentNumber, 28);
    EXPECT_EQ(state().LoadedResults.back().Seconds, 90);
    const QByteArray waiting = readBytes(queuePath());

    // The share is back: the next run stores the waiting ones first, as they were made.
    mendShare(fault);
    ASSERT_TRUE(run(29, 70));
    EXPECT_EQ(state().RunKeptOnStation, 0);
    EXPECT_EQ(platform.messages.shown.size(), 2u);
    EXPECT_EQ(shared(), (std::vector<StoredRun>{{41, 101}, {42, 102}, {27, 83}, {28, 90}, {29, 70}}));
    EXPECT_EQ(readBytes(resultPath()).mid(2 * 44, 2 * 44), waiting); // the very bytes, times and all
    EXPECT_EQ(queueSize(), 0);
    EXPECT_EQ(queuedRecordCount(ctx()), 0);

    // Reading the records gives exactly the runs made, and another run adds only itself.
    ASSERT_TRUE(run(30, 65));
    ASSERT_TRUE(LoadResultRecords(ctx()));
    ASSERT_EQ(state().LoadedResultCount, 6);
    EXPECT_EQ(state().LoadedResults[2].StudentNumber, 27);
    EXPECT_EQ(state().LoadedResults[5].StudentNumber, 30);
    EXPECT_EQ(platform.app.endCalls, 0);
}

// A log-out while the share is out of reach: the retries stop at once, the run waits on the
// station, nobody is asked to click anything, and the program ends.
TEST_P(ShareOutOfReach, AnEndAskedForMeanwhileKeepsTheRunAndEndsAtOnce) {
    const Fault fault = GetParam().fault;
    if (!breakShare(fault))
        GTEST_SKIP() << "this fault cannot be made here";
    const std::int64_t start = platform.clock.tickMs();
    platform.events.onPump = [this, start] {
        if (platform.clock.tickMs() - start >= 300)
            platform.app.requestEnd();
    };
    EXPECT_FALSE(run(27, 83));
    EXPECT_LT(platform.clock.tickMs() - start, 1000);
    EXPECT_EQ(platform.app.endCalls, 1);
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(queued(), (std::vector<StoredRun>{{27, 83}}));
    mendShare(fault);
    EXPECT_TRUE(shared().empty());
}

INSTANTIATE_TEST_SUITE_P(Faults, ShareOutOfReach,
                         ::testing::Values(FaultCase{"FolderRenamed", Fault::FolderRenamed},
                                           FaultCase{"FolderIsAFile", Fault::FolderIsAFile},
                                           FaultCase{"LockRefused", Fault::LockRefused},
                                           FaultCase{"ReadOnlyShare", Fault::ReadOnlyShare}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(QueueFixture, LoadStoresTheWaitingRunsWhenTheShareIsBack) {
    ASSERT_TRUE(breakShare(Fault::FolderRenamed));
    ASSERT_TRUE(run(27, 83));
    ASSERT_TRUE(run(28, 90));
    mendShare(Fault::FolderRenamed);
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(shared(), (std::vector<StoredRun>{{27, 83}, {28, 90}}));
    EXPECT_EQ(state().LoadedResultCount, 2);
    EXPECT_EQ(queueSize(), 0);
}

TEST_F(QueueFixture, LoadWithTheLockRefusedLeavesTheQueueAndSaysNothing) {
    writeRecords(queuePath(), {queuedRun(1), queuedRun(2)});
    writeRecords(resultPath(), {queuedRun(0)});
    platform.disk.errorAttempts = 1; // one refusal: a replay does not try again
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().LoadedResultCount, 1); // loads take no lock
    EXPECT_EQ(queued().size(), 2u);
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(platform.disk.attempts, 1);

    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().LoadedResultCount, 3);
    EXPECT_EQ(queueSize(), 0);
}

TEST_F(QueueFixture, LoadWithTheShareGoneEndsAsBeforeAndKeepsTheQueue) {
    writeRecords(queuePath(), {queuedRun(1), queuedRun(2)});
    ASSERT_TRUE(breakShare(Fault::FolderRenamed));
    EXPECT_FALSE(LoadResultRecords(ctx()));
    ASSERT_EQ(platform.messages.shown.size(), 1u); // the load's own message, nothing more
    EXPECT_TRUE(platform.messages.shown[0].text.startsWith(u"ファイルがありません"_s));
    EXPECT_EQ(queued().size(), 2u);
}

// ---- A replay waits for the locks others hold --------------------------------------------------

TEST_F(QueueFixture, ReplayWaitsWhileAnotherStationHoldsTheSharedFile) {
    writeRecords(queuePath(), {queuedRun(1)});
    platform.disk.busyAttempts = 3;
    platform.disk.lockWaitMs = 1000;
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(platform.disk.attempts, 4);
    EXPECT_EQ(state().LoadedResultCount, 1);
    EXPECT_EQ(queueSize(), 0);
}

TEST_F(QueueFixture, AppendWaitsWhileAnotherProgramOfTheStationHoldsTheQueue) {
    writeRecords(queuePath(), {queuedRun(1)});
    const int fd = ::open(QFile::encodeName(queuePath()).constData(), O_RDWR | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    SystemFileSystem other;
    int error = 0;
    ASSERT_EQ(other.tryLock(fd, error), LockResult::Locked);
    platform.events.onPump = [&] {
        if (platform.events.calls == 5)
            other.unlock(fd);
    };
    ASSERT_TRUE(run(27, 83));
    ::close(fd);
    EXPECT_GE(platform.events.calls, 5);
    EXPECT_EQ(shared(), (std::vector<StoredRun>{{41, 101}, {27, 83}}));
    EXPECT_EQ(queueSize(), 0);
}

// ---- A replay cut short between storing and emptying the queue -------------------------------

enum class Trigger { Load, Append };

struct InterruptedCase {
    const char* name;
    int queuedRuns;        // waiting in the queue
    int storedBeforeCrash; // of those, already in the shared file
    int othersSince;       // runs other stations stored after the crash
    bool equalRuns;        // every queued run has the same 44 bytes
    Trigger trigger;
};

class InterruptedReplay : public QueueFixture, public ::testing::WithParamInterface<InterruptedCase> {};

TEST_P(InterruptedReplay, StoresEveryWaitingRunExactlyOnce) {
    const InterruptedCase& c = GetParam();
    std::vector<RawRecord> waiting;
    for (int i = 1; i <= c.queuedRuns; ++i)
        waiting.push_back(queuedRun(c.equalRuns ? 1 : i));
    std::vector<RawRecord> file = {queuedRun(90)};
    file.insert(file.end(), waiting.begin(), waiting.begin() + c.storedBeforeCrash);
    for (int i = 0; i < c.othersSince; ++i)
        file.push_back(queuedRun(60 + i));
    writeRecords(resultPath(), file);
    writeRecords(queuePath(), waiting);

    const QByteArray expected =
        rawRecordBytes(file) +
        rawRecordBytes(std::vector<RawRecord>(waiting.begin() + c.storedBeforeCrash, waiting.end()));
    if (c.trigger == Trigger::Append) {
        ASSERT_TRUE(run(27, 83));
        const QByteArray stored = readBytes(resultPath());
        EXPECT_EQ(stored.chopped(44), expected);
        EXPECT_EQ(storedRuns(stored).back(), StoredRun(27, 83));
    } else {
        ASSERT_TRUE(LoadResultRecords(ctx()));
        EXPECT_EQ(readBytes(resultPath()), expected);
    }
    EXPECT_EQ(queueSize(), 0);
    EXPECT_TRUE(platform.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Crashes, InterruptedReplay,
    ::testing::Values(InterruptedCase{"AllStoredLoad", 3, 3, 0, false, Trigger::Load},
                      InterruptedCase{"AllStoredAppend", 3, 3, 0, false, Trigger::Append},
                      InterruptedCase{"PartStored", 3, 1, 0, false, Trigger::Load},
                      InterruptedCase{"OthersAppendedSince", 3, 3, 4, false, Trigger::Append},
                      InterruptedCase{"PartStoredOthersSince", 4, 2, 5, false, Trigger::Load},
                      InterruptedCase{"NothingStored", 2, 0, 2, false, Trigger::Load},
                      InterruptedCase{"EqualRunsOneStored", 2, 1, 0, true, Trigger::Load},
                      InterruptedCase{"EqualRunsBothStored", 2, 2, 1, true, Trigger::Append}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(QueueFixture, PartialRecordAtTheEndOfTheQueueIsOverwritten) {
    writeBytes(queuePath(), rawRecordBytes(queuedRun(1)) + QByteArray(20, '\x7f'));
    ASSERT_TRUE(breakShare(Fault::LockRefused));
    ASSERT_TRUE(run(27, 83));
    EXPECT_EQ(queueSize(), 2 * 44);
    mendShare(Fault::LockRefused);
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(shared(), (std::vector<StoredRun>{{41, 101}, {27, 83}}));
    EXPECT_EQ(queueSize(), 0);
}

// ---- A share that takes the lock but not the records --------------------------------------------

// A full disk on the file server, played by a limit on the size of the files this process
// writes: the lock is taken, and the write stops part way.
class FileSizeLimit {
public:
    explicit FileSizeLimit(rlim_t bytes) {
        m_signal = std::signal(SIGXFSZ, SIG_IGN);
        ::getrlimit(RLIMIT_FSIZE, &m_before);
        struct rlimit limit = m_before;
        limit.rlim_cur = bytes;
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
    }
    ~FileSizeLimit() {
        ::setrlimit(RLIMIT_FSIZE, &m_before);
        std::signal(SIGXFSZ, m_signal);
    }

private:
    struct rlimit m_before {};
    void (*m_signal)(int) = nullptr;
};

TEST_F(QueueFixture, WaitingRunsThatCannotBeWrittenStayWaitingAndAreStoredOnceLater) {
    for (const Trigger trigger : {Trigger::Load, Trigger::Append}) {
        SCOPED_TRACE(trigger == Trigger::Load ? "load" : "append");
        const std::vector<RawRecord> before = {queuedRun(90), queuedRun(91), queuedRun(92), queuedRun(93),
                                               queuedRun(94)};
        writeRecords(resultPath(), before);
        writeRecords(queuePath(), {queuedRun(1), queuedRun(2)});
        {
            // Room for one more record and half of the next in the shared file.
            const FileSizeLimit full(6 * 44 + 22);
            if (trigger == Trigger::Load) {
                ASSERT_TRUE(LoadResultRecords(ctx()));
            } else {
                ASSERT_TRUE(run(27, 83));
                EXPECT_EQ(state().RunKeptOnStation, 1);
            }
        }
        EXPECT_EQ(readBytes(resultPath()).size(), 6 * 44 + 22); // the write stopped part way
        // Every run not known to be stored still waits.
        std::vector<StoredRun> waiting = {{41, 101}, {42, 102}};
        if (trigger == Trigger::Append)
            waiting.push_back({27, 83});
        EXPECT_EQ(queued(), waiting);

        // The server has room again: each run is stored exactly once, in order.
        ASSERT_TRUE(LoadResultRecords(ctx()));
        std::vector<StoredRun> expected = storedRuns(rawRecordBytes(before));
        expected.insert(expected.end(), waiting.begin(), waiting.end());
        EXPECT_EQ(shared(), expected);
        EXPECT_EQ(readBytes(resultPath()).size() % 44, 0);
        EXPECT_EQ(queueSize(), 0);
        platform.messages.shown.clear();
    }
}

// ---- When not even the station can keep the run ------------------------------------------------

struct NoQueueCase {
    const char* name;
    bool queueFolderIsAFile; // otherwise the station has no queue folder at all
};

class NoQueue : public QueueFixture, public ::testing::WithParamInterface<NoQueueCase> {};

TEST_P(NoQueue, TheProgramEndsWithAMessageThatSaysSo) {
    if (GetParam().queueFolderIsAFile)
        writeBytes(state().QueueFolder.chopped(1), "not a folder");
    else
        state().QueueFolder.clear();
    ASSERT_TRUE(breakShare(Fault::FolderRenamed));
    EXPECT_FALSE(run(27, 83));
    EXPECT_EQ(platform.app.endCalls, 1);
    EXPECT_EQ(state().RunKeptOnStation, 0);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    const QString& text = platform.messages.shown[0].text;
    EXPECT_TRUE(text.contains(u"成績ランダムファイル記録"_s));
    EXPECT_TRUE(text.contains(resultPath()));
    EXPECT_TRUE(text.contains(u"このコンピューターにも保存できなかった"_s)) << text.toStdString();
    EXPECT_FALSE(text.contains(kKept));
}

INSTANTIATE_TEST_SUITE_P(Stations, NoQueue,
                         ::testing::Values(NoQueueCase{"NoQueueFolder", false},
                                           NoQueueCase{"QueueFolderIsAFile", true}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mirai::test
