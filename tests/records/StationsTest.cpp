// Several stations append to one result file at once, each in its own process, through the
// real whole-file lock, while another process keeps loading the file.

#include "Files.h"
#include "RecordFiles.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>
#include <gtest/gtest.h>
#include <map>
#include <memory>
#include <vector>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

constexpr int kStations = 8;
constexpr int kRunsPerStation = 300;
constexpr int kRetryMs = 5;

class StationsTest : public ::testing::Test {
protected:
    QString dataFolder() const { return m_dir.path() + u"/data/"_s; }
    QString resultPath() const { return dataFolder() + u"成績累積データ.dat"_s; }
    QString stopFile() const { return m_dir.path() + u"/stop"_s; }
    QString queueFolder() const { return m_dir.path() + u"/station/"_s; }

    void SetUp() override {
        ASSERT_TRUE(m_dir.isValid());
        ASSERT_TRUE(QDir().mkpath(dataFolder()));
    }

    std::unique_ptr<QProcess> start(const QStringList& arguments) {
        auto process = std::make_unique<QProcess>();
        process->setProgram(QString::fromUtf8(MIRAI_RECORDS_STATION));
        process->setArguments(arguments);
        process->start();
        EXPECT_TRUE(process->waitForStarted(10000)) << process->errorString().toStdString();
        return process;
    }

    std::vector<std::unique_ptr<QProcess>> startAppenders(int pauseUs) {
        std::vector<std::unique_ptr<QProcess>> appenders;
        for (int station = 1; station <= kStations; ++station)
            appenders.push_back(startAppender(dataFolder(), station, pauseUs));
        return appenders;
    }

    std::unique_ptr<QProcess> startAppender(const QString& folder, int station, int pauseUs,
                                            const QString& queueFolder = {}) {
        QStringList arguments = {u"append"_s,
                                 folder,
                                 QString::number(station),
                                 QString::number(kRunsPerStation),
                                 QString::number(kRetryMs),
                                 QString::number(pauseUs)};
        if (!queueFolder.isEmpty())
            arguments << queueFolder;
        return start(arguments);
    }

    static void expectClean(QProcess& process) {
        ASSERT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }

    // Every record decodes, and each station's runs are all there in its own order.
    void expectAllRecords() {
        std::map<int, int> runs;
        for (int station = 1; station <= kStations; ++station)
            runs[station] = kRunsPerStation;
        expectRuns(runs);
    }

    // The file holds exactly runs 1..n of each station, each once and in its own order.
    void expectRuns(const std::map<int, int>& runsPerStation) {
        const QByteArray file = readBytes(resultPath());
        int total = 0;
        for (const auto& [station, runs] : runsPerStation)
            total += runs;
        ASSERT_EQ(file.size(), total * 44);
        std::map<int, int> next;
        for (std::int64_t n = 1; n <= total; ++n) {
            const StoredFields f = storedFields(file, n);
            ASSERT_TRUE(runsPerStation.count(f.student)) << "station " << f.student << " at record " << n;
            EXPECT_EQ(f.level, 1);
            EXPECT_EQ(f.siteCode, QByteArray("12345"));
            EXPECT_EQ(f.blankField, QByteArray("     "));
            EXPECT_EQ(f.pointsText, QByteArray("0    "));
            EXPECT_EQ(f.spareField, QByteArray(5, '\0'));
            int& expected = next[f.student];
            ++expected;
            ASSERT_EQ(f.seconds, expected) << "station " << f.student << " at record " << n;
        }
        for (const auto& [station, runs] : runsPerStation)
            EXPECT_EQ(next[station], runs) << "station " << station;
    }

    QTemporaryDir m_dir;
};

TEST_F(StationsTest, EightStationsAppendWhileAnotherLoads) {
    auto loader = start({u"load"_s, dataFolder(), stopFile(), QString::number(kStations)});
    auto appenders = startAppenders(0);
    for (auto& appender : appenders)
        expectClean(*appender);
    writeBytes(stopFile(), "stop");
    expectClean(*loader);
    expectAllRecords();
}

TEST_F(StationsTest, AStationHoldingTheLockForTwoSecondsDelaysButLosesNothing) {
    auto loader = start({u"load"_s, dataFolder(), stopFile(), QString::number(kStations)});
    // A short pause between runs keeps the appenders busy long enough to meet the holder.
    auto appenders = startAppenders(3000);

    QElapsedTimer waited;
    waited.start();
    while (QFileInfo(resultPath()).size() < 300 * 44 && waited.elapsed() < 60000)
        QThread::msleep(2);
    auto holder = start({u"hold"_s, dataFolder(), u"2000"_s});
    expectClean(*holder);

    for (auto& appender : appenders)
        expectClean(*appender);
    writeBytes(stopFile(), "stop");
    expectClean(*loader);
    expectAllRecords();

    // While the holder had the lock, nobody wrote; and it really was in the middle.
    const QStringList lines =
        QString::fromUtf8(holder->readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    ASSERT_TRUE(lines[0].startsWith(u"locked "_s));
    ASSERT_TRUE(lines[1].startsWith(u"released "_s));
    const qint64 atLock = lines[0].mid(7).toLongLong();
    const qint64 atRelease = lines[1].mid(9).toLongLong();
    EXPECT_EQ(atLock, atRelease);
    EXPECT_GT(atLock, 0);
    EXPECT_LT(atLock, kStations * kRunsPerStation * 44);
}

// ---- Runs waiting on a station --------------------------------------------------------------

constexpr int kWaitingRuns = 2000;

TEST_F(StationsTest, TwoProgramsOfOneStationStoreItsWaitingRunsOnce) {
    // Station 1's runs wait in the queue of the station on which stations 2 and 3 now run; both
    // store the waiting runs before their first own run, and a loader tries to as well.
    std::vector<RawRecord> waiting(kWaitingRuns);
    for (int i = 0; i < kWaitingRuns; ++i)
        waiting[static_cast<std::size_t>(i)].seconds = i + 1;
    writeRecords(queueFolder() + u"成績待ち.dat"_s, waiting);

    auto loader = start({u"load"_s, dataFolder(), stopFile(), u"3"_s, queueFolder()});
    auto second = startAppender(dataFolder(), 2, 0, queueFolder());
    auto third = startAppender(dataFolder(), 3, 0, queueFolder());
    expectClean(*second);
    expectClean(*third);
    writeBytes(stopFile(), "stop");
    expectClean(*loader);
    expectRuns({{1, kWaitingRuns}, {2, kRunsPerStation}, {3, kRunsPerStation}});
    EXPECT_EQ(QFileInfo(queueFolder() + u"成績待ち.dat"_s).size(), 0);
}

TEST_F(StationsTest, AProgramCutOffFromTheShareKeepsItsRunsWhileAnotherStoresThem) {
    // Program 1 sees no share (its result file cannot be opened) and keeps every run in the
    // station's queue; program 2 and a loader on the same station store them as they come.
    const QString cutOff = m_dir.path() + u"/cut-off/"_s;
    ASSERT_TRUE(QDir().mkpath(cutOff + u"成績累積データ.dat"_s));
    auto loader = start({u"load"_s, dataFolder(), stopFile(), u"2"_s, queueFolder()});
    auto first = startAppender(cutOff, 1, 0, queueFolder());
    auto second = startAppender(dataFolder(), 2, 2000, queueFolder());
    expectClean(*first);
    expectClean(*second);
    writeBytes(stopFile(), "stop");
    expectClean(*loader);
    expectRuns({{1, kRunsPerStation}, {2, kRunsPerStation}});
    EXPECT_EQ(QFileInfo(queueFolder() + u"成績待ち.dat"_s).size(), 0);
    EXPECT_TRUE(first->readAllStandardOutput().contains("kept " + QByteArray::number(kRunsPerStation)));
}

} // namespace
} // namespace mirai::test
