// Saving and deleting result records under the file's lock, as the teachers' screens do: byte-exact
// patches, a delete that moves the later records in place, and a delete while other stations append.

#include "RecordFile.h"

#include "TeacherFixture.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <QtEndian>
#include <cerrno>
#include <map>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

class RecordFileTest : public StationFixture<TestPlatform> {
protected:
    // `count` runs of student 100 at level 2 with seconds 1..count and a spare field of its own.
    QByteArray writeRuns(int count) {
        QByteArray bytes;
        for (int i = 1; i <= count; ++i) {
            QByteArray record = rawRecordBytes(run(100, 2, i, i));
            record.replace(39, 5, QByteArray("sp") + QByteArray::number(i % 10) + QByteArray("\x01\xff", 2));
            bytes += record;
        }
        writeBytes(resultPath(), bytes);
        return bytes;
    }
};

TEST_F(RecordFileTest, SaveChangesOnlyTheStudentAndTheSeconds) {
    QByteArray before = writeRuns(5);
    before += "xyz"; // a partial record at the end stays as it is
    writeBytes(resultPath(), before);
    const QByteArray asRead = recordAt(before, 3);
    const MaintenanceResult result = saveRecordChanges(ctx(), 3, asRead, 4321, 99999);
    EXPECT_EQ(result.kind, MaintenanceResult::Kind::Done);
    EXPECT_TRUE(result.message.isEmpty());
    QByteArray expected = before;
    qToLittleEndian<std::int16_t>(4321, expected.data() + 2 * 44 + 16);
    qToLittleEndian<std::int32_t>(99999, expected.data() + 2 * 44 + 20);
    EXPECT_EQ(resultBytes(), expected);
    EXPECT_EQ(platform.disk.attempts, 1);
    EXPECT_EQ(platform.disk.unlocks, 1);
}

TEST_F(RecordFileTest, SaveAndDeleteWaitWhileAnotherStationHoldsTheLock) {
    const QByteArray before = writeRuns(4);
    platform.disk.busyAttempts = 3;
    EXPECT_EQ(saveRecordChanges(ctx(), 2, recordAt(before, 2), 100, 7).kind, MaintenanceResult::Kind::Done);
    EXPECT_EQ(platform.disk.attempts, 4);
    platform.disk.busyAttempts = 2;
    platform.disk.attempts = 0;
    const QByteArray saved = resultBytes();
    EXPECT_EQ(deleteResultRecord(ctx(), 2, recordAt(saved, 2)).kind, MaintenanceResult::Kind::Done);
    EXPECT_EQ(platform.disk.attempts, 3);
    EXPECT_EQ(resultBytes(), recordAt(before, 1) + recordAt(before, 3) + recordAt(before, 4));
}

TEST_F(RecordFileTest, NothingIsWrittenWhenTheRecordIsNoLongerTheOneOpened) {
    const QByteArray before = writeRuns(4);
    struct Case {
        const char* what;
        std::int64_t number;
        QByteArray asRead;
    };
    QByteArray other = recordAt(before, 2);
    other[20] = 42;
    const Case cases[] = {
        {"changed meanwhile", 2, other},
        {"gone", 5, recordAt(before, 4)},
        {"no record 0", 0, recordAt(before, 1)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(saveRecordChanges(ctx(), c.number, c.asRead, 1, 1).kind, MaintenanceResult::Kind::Changed)
            << c.what;
        const MaintenanceResult deleted = deleteResultRecord(ctx(), c.number, c.asRead);
        EXPECT_EQ(deleted.kind, MaintenanceResult::Kind::Changed) << c.what;
        EXPECT_FALSE(deleted.message.isEmpty()) << c.what;
        EXPECT_EQ(resultBytes(), before) << c.what;
    }
    EXPECT_FALSE(QFileInfo::exists(copyPath()));
    QFile::remove(resultPath());
    EXPECT_EQ(deleteResultRecord(ctx(), 1, recordAt(before, 1)).kind, MaintenanceResult::Kind::Changed);
    EXPECT_FALSE(QFileInfo::exists(resultPath())); // a missing file is not created by a delete
}

TEST_F(RecordFileTest, DeleteMovesTheLaterRecordsDownInPlaceAndRemovesTheCopy) {
    struct Case {
        const char* what;
        int count;
        std::int64_t number;
        std::int64_t chunkRecords;
    };
    const Case cases[] = {
        {"the first of many, moved in chunks of 3", 20, 1, 3},
        {"one in the middle", 20, 11, 16384},
        {"the last", 20, 20, 4},
        {"the only one", 1, 1, 16384},
    };
    for (const Case& c : cases) {
        QByteArray before = writeRuns(c.count);
        writeBytes(resultPath(), before + "partial"); // a partial record at the end is dropped
        const QString inode = QFileInfo(resultPath()).canonicalFilePath();
        RewriteOptions options;
        options.chunkRecords = c.chunkRecords;
        const MaintenanceResult result =
            deleteResultRecord(ctx(), c.number, recordAt(before, c.number), options);
        EXPECT_EQ(result.kind, MaintenanceResult::Kind::Done) << c.what << result.message.toStdString();
        const QByteArray expected = before.remove(static_cast<qsizetype>((c.number - 1) * 44), 44);
        EXPECT_EQ(resultBytes(), expected) << c.what;
        EXPECT_TRUE(QFileInfo::exists(resultPath())) << c.what;
        EXPECT_FALSE(QFileInfo::exists(copyPath())) << c.what;
    }
}

TEST_F(RecordFileTest, ALockTheSystemRefusesIsTriedAFewTimesThenReported) {
    const QByteArray before = writeRuns(3);
    platform.disk.errorAttempts = 100;
    const MaintenanceResult result = deleteResultRecord(ctx(), 1, recordAt(before, 1));
    EXPECT_EQ(result.kind, MaintenanceResult::Kind::Failed);
    EXPECT_TRUE(result.message.contains(u"ロックできませんでした"_s));
    EXPECT_EQ(platform.disk.attempts, 4);
    EXPECT_EQ(resultBytes(), before);
}

TEST_F(RecordFileTest, ReadingTheFileGivesWholeRecordsOnly) {
    const QByteArray before = writeRuns(7);
    writeBytes(resultPath(), before + "half");
    std::int64_t seen = 0;
    QByteArray scanned;
    EXPECT_TRUE(scanResultFile(ctx(), [&](const char* records, std::int64_t count) {
        seen += count;
        scanned.append(records, static_cast<qsizetype>(count * 44));
    }));
    EXPECT_EQ(seen, 7);
    EXPECT_EQ(scanned, before);
    EXPECT_EQ(readResultRecord(ctx(), 7), recordAt(before, 7));
    EXPECT_FALSE(readResultRecord(ctx(), 8).has_value());
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(u"もうありません"_s));
    // A missing file is an empty one.
    QFile::remove(resultPath());
    seen = 0;
    EXPECT_TRUE(scanResultFile(ctx(), [&](const char*, std::int64_t count) { seen += count; }));
    EXPECT_EQ(seen, 0);
}

// Three stations append through the real lock while this station deletes records of its own; every
// appended run is there once and in order, and exactly the deleted records are gone.
TEST_F(RecordFileTest, DeletesWhileThreeStationsAppendLoseNothing) {
    constexpr int kInitial = 400;
    constexpr int kStations = 3;
    constexpr int kRuns = 150;
    writeRuns(kInitial);
    const Context station = ctx(); // the real lock, tried again after a millisecond

    std::vector<std::unique_ptr<QProcess>> appenders;
    for (int s = 1; s <= kStations; ++s) {
        auto process = std::make_unique<QProcess>();
        process->start(
            QString::fromUtf8(MIRAI_RECORDS_STATION),
            {u"append"_s, tree.dataFolder(), QString::number(s), QString::number(kRuns), u"1"_s, u"3000"_s});
        ASSERT_TRUE(process->waitForStarted(10000));
        appenders.push_back(std::move(process));
    }
    const auto running = [&] {
        for (auto& p : appenders) {
            if (p->state() != QProcess::NotRunning)
                return true;
        }
        return false;
    };

    // Delete every 7th of this station's own runs, from the newest down, while the others append.
    std::vector<int> deleted;
    int whileAppending = 0;
    for (int seconds = kInitial - 3; seconds > 0 && running(); seconds -= 7) {
        const QByteArray file = resultBytes();
        std::int64_t number = 0;
        for (std::int64_t n = 1; n <= file.size() / 44 && number == 0; ++n) {
            const StoredFields f = storedFields(file, n);
            if (f.student == 100 && f.seconds == seconds)
                number = n;
        }
        ASSERT_NE(number, 0);
        const MaintenanceResult result = deleteResultRecord(station, number, recordAt(file, number));
        ASSERT_EQ(result.kind, MaintenanceResult::Kind::Done) << result.message.toStdString();
        deleted.push_back(seconds);
        whileAppending += running() ? 1 : 0;
        QThread::msleep(5);
    }
    for (auto& p : appenders) {
        ASSERT_TRUE(p->waitForFinished(120000));
        EXPECT_EQ(p->exitCode(), 0) << p->readAllStandardError().toStdString();
    }
    EXPECT_GE(whileAppending, 3);

    const QByteArray file = resultBytes();
    ASSERT_EQ(file.size() % 44, 0);
    ASSERT_EQ(file.size() / 44, kInitial - static_cast<int>(deleted.size()) + kStations * kRuns);
    std::map<int, int> next;
    std::vector<int> own;
    for (std::int64_t n = 1; n <= file.size() / 44; ++n) {
        const StoredFields f = storedFields(file, n);
        if (f.student == 100) {
            own.push_back(f.seconds);
            continue;
        }
        ASSERT_GE(f.student, 1);
        ASSERT_LE(f.student, kStations);
        ASSERT_EQ(f.seconds, ++next[f.student]) << "station " << f.student << " at record " << n;
    }
    for (int s = 1; s <= kStations; ++s)
        EXPECT_EQ(next[s], kRuns);
    std::vector<int> expected;
    for (int seconds = 1; seconds <= kInitial; ++seconds) {
        if (std::find(deleted.begin(), deleted.end(), seconds) == deleted.end())
            expected.push_back(seconds);
    }
    EXPECT_EQ(own, expected);
    EXPECT_FALSE(QFileInfo::exists(copyPath()));
}

} // namespace
} // namespace mirai::test
