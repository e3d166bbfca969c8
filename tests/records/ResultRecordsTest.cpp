#include "ResultRecords.h"

#include "RecordFiles.h"
#include "RecordsFixture.h"

#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <limits>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// ---- Codec -----------------------------------------------------------------------------------

TEST(RecordCodec, EncodesTheStoredLayout) {
    ResultRecord record;
    record.RunDate = oleDays(QDate(2026, 12, 9));
    record.RunTimeOfDay = 0.5;
    record.StudentNumber = 1234;
    record.Level = 2;
    record.Seconds = 99999;
    record.SiteCode = QByteArray("54321", 5);
    RawRecord raw;
    raw.date = QDate(2026, 12, 9);
    raw.time = QTime(12, 0);
    raw.student = 1234;
    raw.level = 2;
    raw.seconds = 99999;
    raw.siteCode = QByteArray("54321", 5);
    EXPECT_EQ(encodeRecord(record), rawRecordBytes(raw));
    EXPECT_EQ(encodeRecord(record).mid(39, 5), QByteArray(5, '\0'));
}

TEST(RecordCodec, DecodesEveryFieldAndKeepsRawTextBytes) {
    QByteArray bytes = rawRecordBytes(RawRecord{QDate(2004, 2, 8), QTime(6, 0), -7, 35, -42,
                                                QByteArray("\x82\xa0"
                                                           "12",
                                                           4)});
    bytes.replace(39, 5, QByteArray("ab\x01\xff\x00", 5)); // spare bytes written by another tool
    const ResultRecord record = decodeRecord(bytes.constData());
    EXPECT_EQ(record.RunDate, oleDays(QDate(2004, 2, 8)));
    EXPECT_DOUBLE_EQ(record.RunTimeOfDay, 0.25);
    EXPECT_EQ(record.StudentNumber, -7);
    EXPECT_EQ(record.Level, 35);
    EXPECT_EQ(record.Seconds, -42);
    EXPECT_EQ(record.SiteCode, QByteArray("\x82\xa0"
                                          "12 ",
                                          5));
    EXPECT_EQ(record.BlankField, QByteArray("     ", 5));
    EXPECT_EQ(record.PointsText, QByteArray("0    ", 5));
    EXPECT_EQ(record.SpareField, QByteArray("ab\x01\xff\x00", 5));
    // A record read and written back is the same 44 bytes.
    EXPECT_EQ(encodeRecord(record), bytes);
}

struct OleDateCase {
    QDate date;
    double days;
};

class OleDateTest : public ::testing::TestWithParam<OleDateCase> {};

TEST_P(OleDateTest, BothWays) {
    EXPECT_EQ(oleDate(GetParam().date), GetParam().days);
    EXPECT_EQ(dateFromOle(GetParam().days), GetParam().date);
}

INSTANTIATE_TEST_SUITE_P(Dates, OleDateTest,
                         ::testing::Values(OleDateCase{QDate(1899, 12, 30), 0},
                                           OleDateCase{QDate(1899, 12, 29), -1},
                                           OleDateCase{QDate(1900, 1, 1), 2},
                                           OleDateCase{QDate(2004, 2, 8), 38025},
                                           OleDateCase{QDate(2026, 12, 9), 46365}));

TEST(OleTime, FractionsOfADay) {
    EXPECT_DOUBLE_EQ(oleTimeOfDay(QTime(12, 0)), 0.5);
    EXPECT_DOUBLE_EQ(oleTimeOfDay(QTime(18, 0)), 0.75);
    EXPECT_EQ(timeFromOle(0.25), QTime(6, 0));
    EXPECT_EQ(timeFromOle(oleTimeOfDay(QTime(23, 59, 59))), QTime(23, 59, 59));
    // The date part of a combined value is ignored, also for days before 1899-12-30.
    EXPECT_EQ(timeFromOle(38025.5), QTime(12, 0));
    EXPECT_EQ(timeFromOle(-1.25), QTime(6, 0));
}

TEST(OleTime, DamagedValuesGiveNoDateInsteadOfOverflow) {
    EXPECT_FALSE(dateFromOle(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_FALSE(dateFromOle(1e300).isValid());
    EXPECT_FALSE(dateFromOle(-std::numeric_limits<double>::infinity()).isValid());
    EXPECT_FALSE(timeFromOle(std::numeric_limits<double>::quiet_NaN()).isValid());
    EXPECT_EQ(timeFromOle(0.9999999999), QTime(23, 59, 59));
}

// ---- Appending -------------------------------------------------------------------------------

class AppendTest : public RecordsFixture {
protected:
    AppendTest() {
        state().StudentNumber = 27;
        state().CurrentLevel = 2;
        state().RunSeconds = 83;
        state().SiteCode = u"12345"_s;
        platform.clock.set(QDateTime(QDate(2026, 12, 9), QTime(14, 30, 15, 250)));
    }
    QByteArray file() const { return readBytes(resultPath()); }
};

TEST_F(AppendTest, CreatesTheFileAndWritesTheCurrentRun) {
    ASSERT_FALSE(QFileInfo::exists(resultPath()));
    ASSERT_TRUE(AppendResultRecord(ctx()));
    const QByteArray bytes = file();
    ASSERT_EQ(bytes.size(), 44);
    const StoredFields f = storedFields(bytes, 1);
    EXPECT_EQ(f.date, oleDays(QDate(2026, 12, 9)));
    EXPECT_DOUBLE_EQ(f.time, (14 * 3600 + 30 * 60 + 15) / 86400.0); // to the second
    EXPECT_EQ(f.student, 27);
    EXPECT_EQ(f.level, 2);
    EXPECT_EQ(f.seconds, 83);
    EXPECT_EQ(f.siteCode, QByteArray("12345"));
    EXPECT_EQ(f.blankField, QByteArray("     "));
    EXPECT_EQ(f.pointsText, QByteArray("0    "));
    EXPECT_EQ(f.spareField, QByteArray(5, '\0'));
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(platform.disk.unlocks, 1);
}

struct SiteCase {
    QString siteCode;
    QByteArray stored;
};

class SiteCodeTest : public AppendTest, public ::testing::WithParamInterface<SiteCase> {};

TEST_P(SiteCodeTest, FiveBytesOfCodePage932) {
    state().SiteCode = GetParam().siteCode;
    ASSERT_TRUE(AppendResultRecord(ctx()));
    EXPECT_EQ(storedFields(file(), 1).siteCode, GetParam().stored);
}

INSTANTIATE_TEST_SUITE_P(Sites, SiteCodeTest,
                         ::testing::Values(SiteCase{u""_s, QByteArray("     ")},
                                           SiteCase{u"12"_s, QByteArray("12   ")},
                                           SiteCase{u"1234567"_s, QByteArray("12345")},
                                           // Never half a double-byte character.
                                           SiteCase{u"北教室"_s, QByteArray("\x96\x6b\x8b\xb3 ", 5)}));

// A clock that moves on by a second at every reading.
class TickingClock final : public Clock {
public:
    explicit TickingClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() const override {
        const QDateTime value = m_now;
        m_now = m_now.addSecs(1);
        ++readings;
        return value;
    }
    std::int64_t tickMs() const override { return 0; }
    mutable int readings = 0;

private:
    mutable QDateTime m_now;
};

TEST_F(AppendTest, DateAndTimeComeFromOneReadingAtMidnight) {
    TickingClock clock(QDateTime(QDate(2026, 12, 9), QTime(23, 59, 59, 999)));
    Platform seams = platform.platform();
    seams.clock = &clock;
    ASSERT_TRUE(AppendResultRecord(Context{state(), seams}));
    const StoredFields f = storedFields(file(), 1);
    EXPECT_EQ(f.date, oleDays(QDate(2026, 12, 9)));
    EXPECT_DOUBLE_EQ(f.time, 86399 / 86400.0);
    EXPECT_EQ(clock.readings, 1);
}

TEST_F(AppendTest, PartialTailIsOverwrittenAtTheNextRecordNumber) {
    std::vector<RawRecord> three(3);
    three[0].seconds = 1;
    three[1].seconds = 2;
    three[2].seconds = 3;
    writeBytes(resultPath(), rawRecordBytes(three) + QByteArray(20, '\x7f'));
    ASSERT_TRUE(AppendResultRecord(ctx()));
    const QByteArray bytes = file();
    ASSERT_EQ(bytes.size(), 4 * 44);
    EXPECT_EQ(bytes.left(3 * 44), rawRecordBytes(three));
    EXPECT_EQ(storedFields(bytes, 4).seconds, 83);
    EXPECT_EQ(storedFields(bytes, 4).student, 27);
}

TEST_F(AppendTest, WaitsWhileAnotherStationHoldsTheLock) {
    platform.disk.busyAttempts = 3;
    platform.disk.lockWaitMs = 1000;
    const std::int64_t start = platform.clock.tickMs();
    ASSERT_TRUE(AppendResultRecord(ctx()));
    EXPECT_EQ(platform.disk.attempts, 4);
    EXPECT_GE(platform.clock.tickMs() - start, 3000); // a second between attempts
    EXPECT_GT(platform.events.calls, 0);              // the screens kept running
    EXPECT_EQ(file().size(), 44);
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(AppendTest, EndingWhileWaitingWritesNothing) {
    platform.disk.busyAttempts = 1000000;
    platform.events.onPump = [this] {
        if (platform.events.calls == 20)
            platform.app.endProgram();
    };
    EXPECT_FALSE(AppendResultRecord(ctx()));
    EXPECT_EQ(file().size(), 0);
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(AppendTest, AnEndAskedForWhileAnotherStationHoldsTheLockKeepsTheRunOnTheStation) {
    // A log-out arrives while another station holds the lock: the run waits on this station.
    state().QueueFolder = tree.root() + u"端末/"_s;
    platform.disk.busyAttempts = 1000000;
    platform.events.onPump = [this] {
        if (platform.events.calls == 3)
            platform.app.requestEnd();
    };
    EXPECT_FALSE(AppendResultRecord(ctx()));
    EXPECT_EQ(file().size(), 0);
    EXPECT_EQ(readBytes(state().QueueFolder + u"成績待ち.dat"_s).size(), 44);
    EXPECT_EQ(platform.app.endCalls, 1);
    EXPECT_TRUE(platform.messages.shown.empty());
    // Without a write in progress the end is at once.
    platform.app.requestEnd();
    EXPECT_EQ(platform.app.endCalls, 2);
}

TEST_F(AppendTest, LockErrorIsRetriedAFewTimes) {
    platform.disk.errorAttempts = 3;
    ASSERT_TRUE(AppendResultRecord(ctx()));
    EXPECT_EQ(platform.disk.attempts, 4);
    EXPECT_EQ(file().size(), 44);
    EXPECT_EQ(platform.app.endCalls, 0);
}

TEST_F(AppendTest, LockThatKeepsFailingEndsWithAMessageAndWritesNothing) {
    platform.disk.errorAttempts = 100;
    EXPECT_FALSE(AppendResultRecord(ctx()));
    EXPECT_EQ(platform.disk.attempts, 4);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(u"成績ランダムファイル記録"_s));
    EXPECT_TRUE(platform.messages.shown[0].text.contains(resultPath()));
    EXPECT_EQ(platform.app.endCalls, 1);
    EXPECT_EQ(file().size(), 0);
}

TEST_F(AppendTest, MissingFolderEndsWithAMessageNamingTheFile) {
    state().DataFolder = tree.root() + u"無い/"_s;
    EXPECT_FALSE(AppendResultRecord(ctx()));
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(u"成績ランダムファイル記録"_s));
    EXPECT_TRUE(platform.messages.shown[0].text.contains(tree.root() + u"無い/成績累積データ.dat"_s));
    EXPECT_EQ(platform.app.endCalls, 1);
    EXPECT_EQ(platform.disk.attempts, 0);
    EXPECT_FALSE(QFileInfo::exists(tree.root() + u"無い"_s));
}

TEST_F(AppendTest, FileThatCannotBeWrittenIsNotTakenForAnotherStation) {
    // A folder where the file should be: refused at once, whoever runs the test.
    QDir().mkpath(resultPath());
    EXPECT_FALSE(AppendResultRecord(ctx()));
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(resultPath()));
    EXPECT_EQ(platform.app.endCalls, 1);
}

TEST_F(AppendTest, ReadOnlyFileEndsWithAMessageAfterTheRetries) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "permissions do not bind the superuser";
    writeRecords(resultPath(), {RawRecord{}});
    QFile::setPermissions(resultPath(), QFileDevice::ReadOwner);
    EXPECT_FALSE(AppendResultRecord(ctx()));
    EXPECT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(readBytes(resultPath()).size(), 44);
}

// ---- Recording a run ---------------------------------------------------------------------------

class RecordRunTest : public AppendTest {
protected:
    RecordRunTest() {
        state().BestSeconds.fill(kNoRecordSeconds);
        state().BestSecondsAll.fill(kNoRecordSeconds);
        state().LevelCriteria[2].ClearRuns = 5;
        state().LevelCriteria[2].ClearPoints = 100;
    }
};

struct PassCase {
    std::int32_t runs;
    std::int32_t points;
    std::int16_t passFlag;
};

class PassFlagTest : public RecordRunTest, public ::testing::WithParamInterface<PassCase> {};

TEST_P(PassFlagTest, FromTheTablesBeforeThisRun) {
    state().RunCountSoFar(2, 27) = GetParam().runs;
    state().PointsSoFar(2, 27) = GetParam().points;
    state().PassFlag = 1;
    ASSERT_TRUE(RecordRunResult(ctx(), 2));
    EXPECT_EQ(state().PassFlag, GetParam().passFlag);
}

INSTANTIATE_TEST_SUITE_P(Clear, PassFlagTest,
                         ::testing::Values(PassCase{5, 100, 1}, PassCase{9, 400, 1}, PassCase{4, 100, 0},
                                           PassCase{5, 99, 0}, PassCase{0, 0, 0}));

TEST_F(RecordRunTest, NewBestsSetFlagsAndAreAppended) {
    state().BestSeconds(2, 27) = 90;
    state().BestSecondsAll[2] = 85;
    ASSERT_TRUE(RecordRunResult(ctx(), 2));
    EXPECT_EQ(state().NewPersonalBest, 1);
    EXPECT_EQ(state().NewOverallBest, 1);
    EXPECT_EQ(state().BestSeconds(2, 27), 83);
    EXPECT_EQ(state().BestSecondsAll[2], 83);
    EXPECT_EQ(storedFields(file(), 1).seconds, 83);
}

TEST_F(RecordRunTest, SlowerRunLeavesBestsAndFlags) {
    state().BestSeconds(2, 27) = 80;
    state().BestSecondsAll[2] = 83; // equal is no new best
    ASSERT_TRUE(RecordRunResult(ctx(), 2));
    EXPECT_EQ(state().NewPersonalBest, 0);
    EXPECT_EQ(state().NewOverallBest, 0);
    EXPECT_EQ(state().BestSeconds(2, 27), 80);
}

TEST_F(RecordRunTest, TimeOutNeverChangesABestButIsStored) {
    state().RunSeconds = 99999;
    ASSERT_TRUE(RecordRunResult(ctx(), 2));
    EXPECT_EQ(state().NewPersonalBest, 0);
    EXPECT_EQ(state().NewOverallBest, 0);
    EXPECT_EQ(state().BestSeconds(2, 27), kNoRecordSeconds);
    EXPECT_EQ(storedFields(file(), 1).seconds, 99999);
}

TEST_F(RecordRunTest, AnySmallerValueIsAPersonalBest) {
    state().RunSeconds = 99998;
    ASSERT_TRUE(RecordRunResult(ctx(), 2));
    EXPECT_EQ(state().NewPersonalBest, 1);
    EXPECT_EQ(state().BestSeconds(2, 27), 99998);
}

TEST_F(RecordRunTest, StudentAboveOneThousandLowersTheOverallBestUntilTheNextLoad) {
    state().StudentNumber = 1500;
    state().RunSeconds = 30;
    appendRecords(resultPath(), {RawRecord{QDate(2026, 12, 8), QTime(9, 0), 3, 2, 50}});
    ASSERT_TRUE(RecordRunResult(ctx(), 2));
    EXPECT_EQ(state().BestSecondsAll[2], 30);
    EXPECT_EQ(state().NewOverallBest, 1);
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().BestSecondsAll[2], 50);
    EXPECT_EQ(state().BestSeconds(2, 1500), 30);
}

TEST_F(RecordRunTest, FailedAppendReportsTheEnd) {
    platform.disk.errorAttempts = 100;
    EXPECT_FALSE(RecordRunResult(ctx(), 2));
    EXPECT_EQ(platform.app.endCalls, 1);
}

// ---- Loading ---------------------------------------------------------------------------------

class LoadTest : public RecordsFixture {
protected:
    static RawRecord run(int student, int level, int seconds) {
        RawRecord record;
        record.student = static_cast<std::int16_t>(student);
        record.level = static_cast<std::int16_t>(level);
        record.seconds = seconds;
        return record;
    }
};

TEST_F(LoadTest, MissingFileIsCreatedAndLoadsEmpty) {
    state().BestSeconds(1, 1) = 5;
    state().LoadedResults.push_back({});
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_TRUE(QFileInfo(resultPath()).isFile());
    EXPECT_EQ(QFileInfo(resultPath()).size(), 0);
    EXPECT_EQ(state().LoadedResultCount, 0);
    EXPECT_TRUE(state().LoadedResults.empty());
    for (int level = 1; level <= kMaxLevel; ++level) {
        EXPECT_EQ(state().BestSecondsAll[static_cast<std::size_t>(level)], kNoRecordSeconds);
        EXPECT_EQ(state().BestSeconds(level, 1), kNoRecordSeconds);
        EXPECT_EQ(state().BestSeconds(level, 5000), kNoRecordSeconds);
    }
}

TEST_F(LoadTest, KeepsRecordsInFileOrderWithTheirFields) {
    RawRecord a = run(3, 1, 70);
    a.time = QTime(9, 15, 30);
    writeRecords(resultPath(), {a, run(4, 2, 55), run(3, 1, 64)});
    ASSERT_TRUE(LoadResultRecords(ctx()));
    ASSERT_EQ(state().LoadedResultCount, 3);
    const LoadedResult& first = state().LoadedResults[0];
    EXPECT_EQ(first.RunDate, oleDays(a.date));
    EXPECT_DOUBLE_EQ(first.RunTimeOfDay, oleTimeOfDay(QTime(9, 15, 30)));
    EXPECT_EQ(first.StudentNumber, 3);
    EXPECT_EQ(first.Level, 1);
    EXPECT_EQ(first.Seconds, 70);
    EXPECT_EQ(state().LoadedResults[1].StudentNumber, 4);
    EXPECT_EQ(state().BestSeconds(1, 3), 64);
    EXPECT_EQ(state().BestSeconds(2, 4), 55);
    EXPECT_EQ(state().BestSecondsAll[1], 64);
    EXPECT_EQ(state().BestSecondsAll[2], 55);
}

TEST_F(LoadTest, OnlyTheNewestTwentyThousandAreRead) {
    std::vector<RawRecord> records;
    for (int i = 1; i <= 25000; ++i)
        records.push_back(run(1 + i % 7, 1, i)); // the seconds number the records
    writeRecords(resultPath(), records);
    ASSERT_TRUE(LoadResultRecords(ctx()));
    ASSERT_EQ(state().LoadedResultCount, 20000);
    EXPECT_EQ(state().LoadedResults.front().Seconds, 5001);
    EXPECT_EQ(state().LoadedResults.back().Seconds, 25000);
    EXPECT_EQ(state().BestSecondsAll[1], 5001);
}

TEST_F(LoadTest, ExactlyTheWindowIsReadWhole) {
    std::vector<RawRecord> records;
    for (int i = 1; i <= 20000; ++i)
        records.push_back(run(1, 1, i));
    writeRecords(resultPath(), records);
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().LoadedResultCount, 20000);
    EXPECT_EQ(state().LoadedResults.front().Seconds, 1);
}

TEST_F(LoadTest, InvalidRecordsAreDroppedButStillLowerTheirBestTime) {
    RawRecord negativeDate = run(5, 2, 40);
    negativeDate.rawDate = true;
    negativeDate.dateValue = -3.0;
    writeRecords(resultPath(), {run(0, 1, 30), run(6, 0, 20), negativeDate, run(7, 1, 90)});
    ASSERT_TRUE(LoadResultRecords(ctx()));
    ASSERT_EQ(state().LoadedResultCount, 1);
    EXPECT_EQ(state().LoadedResults[0].StudentNumber, 7);
    EXPECT_EQ(state().BestSeconds(1, 0), 30);
    EXPECT_EQ(state().BestSeconds(0, 6), 20);
    EXPECT_EQ(state().BestSeconds(2, 5), 40);
    EXPECT_EQ(state().BestSecondsAll[2], 40);
    EXPECT_EQ(state().BestSecondsAll[1], 90); // student 0 takes no part
}

TEST_F(LoadTest, BestTimesOfStudentZeroAreRebuiltByEveryLoad) {
    writeRecords(resultPath(), {run(0, 1, 30)});
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().BestSeconds(1, 0), 30);
    writeRecords(resultPath(), {run(1, 1, 45)});
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().BestSeconds(1, 0), kNoRecordSeconds);
}

TEST_F(LoadTest, RecordsOutsideTheTablesAreSkippedWithoutStopping) {
    writeRecords(resultPath(), {run(5001, 1, 10), run(-1, 1, 10), run(3, 36, 10), run(3, -1, 10),
                                run(32767, 32767, 10), run(8, 1, 77)});
    ASSERT_TRUE(LoadResultRecords(ctx()));
    ASSERT_EQ(state().LoadedResultCount, 1);
    EXPECT_EQ(state().LoadedResults[0].StudentNumber, 8);
    EXPECT_EQ(state().BestSecondsAll[1], 77);
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(platform.app.endCalls, 0);
}

TEST_F(LoadTest, TrailingPartialRecordIsIgnored) {
    writeBytes(resultPath(),
               rawRecordBytes({run(1, 1, 50), run(2, 1, 40)}) + rawRecordBytes(run(3, 1, 10)).left(43));
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().LoadedResultCount, 2);
    EXPECT_EQ(state().BestSeconds(1, 3), kNoRecordSeconds);
}

TEST_F(LoadTest, TimedOutRunsLoadButLeaveBestsAtNone) {
    writeRecords(resultPath(), {run(1, 1, 99999)});
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().LoadedResultCount, 1);
    EXPECT_EQ(state().BestSeconds(1, 1), kNoRecordSeconds);
    EXPECT_EQ(state().BestSecondsAll[1], kNoRecordSeconds);
}

TEST_F(LoadTest, StudentsAboveOneThousandHaveBestsButNoOverallBest) {
    writeRecords(resultPath(), {run(1001, 1, 20), run(5000, 1, 25), run(1000, 1, 60)});
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().LoadedResultCount, 3);
    EXPECT_EQ(state().BestSeconds(1, 1001), 20);
    EXPECT_EQ(state().BestSeconds(1, 5000), 25);
    EXPECT_EQ(state().BestSecondsAll[1], 60);
}

TEST_F(LoadTest, ReadOnlyFileStillLoads) {
    writeRecords(resultPath(), {run(1, 1, 50)});
    QFile::setPermissions(resultPath(),
                          QFileDevice::ReadOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().LoadedResultCount, 1);
}

TEST_F(LoadTest, MissingFolderEndsWithTheNotFoundMessageAfterFourAttempts) {
    state().DataFolder = tree.root() + u"無い/"_s;
    state().BestSeconds(1, 1) = 12;
    const std::int64_t start = platform.clock.tickMs();
    EXPECT_FALSE(LoadResultRecords(ctx()));
    EXPECT_GE(platform.clock.tickMs() - start, 15000); // three waits of 5 seconds
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.startsWith(u"ファイルがありません3"_s));
    EXPECT_TRUE(platform.messages.shown[0].text.contains(tree.root() + u"無い/成績累積データ.dat"_s));
    EXPECT_EQ(platform.app.endCalls, 1);
    EXPECT_EQ(state().BestSeconds(1, 1), 12); // tables untouched
}

TEST_F(LoadTest, FolderReappearingDuringTheWaitsLoadsNormally) {
    const QString folder = tree.root() + u"後で/"_s;
    state().DataFolder = folder;
    platform.events.onPump = [&] {
        if (platform.events.calls == 60) // during the second wait
            writeRecords(folder + u"成績累積データ.dat"_s, {run(2, 1, 33)});
    };
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_EQ(state().LoadedResultCount, 1);
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(LoadTest, UnreadableFileEndsWithTheLoadMessage) {
    QDir().mkpath(resultPath()); // a folder cannot be read as records
    EXPECT_FALSE(LoadResultRecords(ctx()));
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.startsWith(u"成績ランダムファイル表示"_s));
    EXPECT_TRUE(platform.messages.shown[0].text.contains(u"/Bangou="_s));
    EXPECT_EQ(platform.app.endCalls, 1);
}

// ---- Reading for the lists -------------------------------------------------------------------

TEST_F(LoadTest, NewestRecordsForTheLists) {
    writeRecords(resultPath(), {run(1, 1, 1), run(0, 0, 2), run(3, 1, 3), run(4, 1, 4), run(5, 1, 5)});
    const auto newest = readNewestRecords(ctx(), 3);
    ASSERT_TRUE(newest);
    EXPECT_EQ(newest->total, 5);
    EXPECT_EQ(newest->first, 3);
    ASSERT_EQ(newest->records.size(), 3u);
    EXPECT_EQ(newest->records[0].Seconds, 3);
    EXPECT_EQ(newest->records[2].Seconds, 5);

    const auto all = readNewestRecords(ctx(), 1000);
    ASSERT_TRUE(all);
    EXPECT_EQ(all->first, 1);
    EXPECT_EQ(all->records.size(), 5u);
    EXPECT_EQ(all->records[1].Level, 0); // the lists decide what they show

    const auto none = readNewestRecords(ctx(), 0);
    ASSERT_TRUE(none);
    EXPECT_EQ(none->total, 5);
    EXPECT_TRUE(none->records.empty());
}

TEST_F(LoadTest, AMissingFileIsCreatedEmptyByTheFirstLoad) {
    ASSERT_TRUE(LoadResultRecords(ctx()));
    EXPECT_TRUE(QFileInfo::exists(resultPath()));
    EXPECT_EQ(QFileInfo(resultPath()).size(), 0);
}

} // namespace
} // namespace mirai::test
