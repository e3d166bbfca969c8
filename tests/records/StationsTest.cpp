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
            appenders.push_back(
                start({u"append"_s, dataFolder(), QString::number(station), QString::number(kRunsPerStation),
                       QString::number(kRetryMs), QString::number(pauseUs)}));
        return appenders;
    }

    static void expectClean(QProcess& process) {
        ASSERT_TRUE(process.waitForFinished(120000));
        EXPECT_EQ(process.exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(process.exitCode(), 0) << process.readAllStandardError().toStdString();
    }

    // Every record decodes, and each station's runs are all there in its own order.
    void expectAllRecords() {
        const QByteArray file = readBytes(resultPath());
        ASSERT_EQ(file.size(), kStations * kRunsPerStation * 44);
        std::map<int, int> next;
        for (std::int64_t n = 1; n <= kStations * kRunsPerStation; ++n) {
            const StoredFields f = storedFields(file, n);
            ASSERT_GE(f.student, 1) << "record " << n;
            ASSERT_LE(f.student, kStations) << "record " << n;
            EXPECT_EQ(f.level, 1);
            EXPECT_EQ(f.siteCode, QByteArray("12345"));
            EXPECT_EQ(f.blankField, QByteArray("     "));
            EXPECT_EQ(f.pointsText, QByteArray("0    "));
            EXPECT_EQ(f.spareField, QByteArray(5, '\0'));
            int& expected = next[f.student];
            ++expected;
            ASSERT_EQ(f.seconds, expected) << "station " << f.student << " at record " << n;
        }
        for (int station = 1; station <= kStations; ++station)
            EXPECT_EQ(next[station], kRunsPerStation);
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

} // namespace
} // namespace mirai::test
