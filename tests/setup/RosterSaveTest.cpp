#include "RosterSave.h"

#include "Doubles.h"
#include "QtPrinters.h"
#include "SetupFixture.h"

#include <QElapsedTimer>
#include <QFile>
#include <QProcess>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

const QByteArray kOld = cp(u"7,2015,0,0,\"山田花子\",0,\"\",\"\"\r\n"_s);
const QByteArray kOther = cp(u"7,2015,0,0,\"山田花子\",1,\"\",\"\"\r\n"_s);
const QByteArray kNew =
    cp(u"7,2015,0,0,\"山田花子\",0,\"\",\"\"\r\n8,2016,0,0,\"佐藤一郎\",0,\"\",\"\"\r\n"_s);

struct SaveCase {
    const char* name;
    std::optional<QByteArray> opened; // what the screen read
    std::optional<QByteArray> onDisk; // what is there when it saves
    RosterSave::Kind kind;
};

class RosterSaveTest : public SetupFixture<TestPlatform>, public ::testing::WithParamInterface<SaveCase> {
protected:
    RosterSaveTest() { platform.disk.lockedFile = QStringLiteral("新名簿.txt"); }
    void putOnDisk(const std::optional<QByteArray>& bytes) {
        QFile::remove(rosterPath());
        if (bytes)
            writeBytes(rosterPath(), *bytes);
    }
};

TEST_P(RosterSaveTest, WritesOnlyOverTheRosterThatWasOpened) {
    const SaveCase& c = GetParam();
    putOnDisk(c.onDisk);
    const RosterSave saved = saveRosterFile(platform, rosterPath(), c.opened, kNew);
    EXPECT_EQ(saved.kind, c.kind);
    EXPECT_EQ(readRosterBytes(rosterPath()), c.kind == RosterSave::Kind::Saved ? kNew : c.onDisk);
    // Nothing written beside it is left behind.
    EXPECT_EQ(QDir(tree.commonFolder()).entryList(QDir::Files).size(),
              c.onDisk || c.kind == RosterSave::Kind::Saved ? 2 : 1);
    EXPECT_EQ(platform.disk.unlocks, c.onDisk ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RosterSaveTest,
    ::testing::Values(SaveCase{"first_roster", std::nullopt, std::nullopt, RosterSave::Kind::Saved},
                      SaveCase{"unchanged_since_opened", kOld, kOld, RosterSave::Kind::Saved},
                      SaveCase{"changed_by_another_station", kOld, kOther, RosterSave::Kind::Changed},
                      SaveCase{"removed_since_opened", kOld, std::nullopt, RosterSave::Kind::Changed},
                      SaveCase{"made_since_opened", std::nullopt, kOther, RosterSave::Kind::Changed}));

class RosterSaveFailureTest : public SetupFixture<TestPlatform> {
protected:
    RosterSaveFailureTest() { platform.disk.lockedFile = QStringLiteral("新名簿.txt"); }
};

TEST_F(RosterSaveFailureTest, AWriteThatFailsHalfWayLeavesTheOldFileWhole) {
    writeBytes(rosterPath(), kOld);
    const QStringList before = snapshot(tree.root());
    const RosterSave saved =
        saveRosterFile(platform, rosterPath(), kOld, kNew, [](QIODevice& file, const QByteArray& bytes) {
            file.write(bytes.left(bytes.size() / 2));
            return false;
        });
    EXPECT_EQ(saved.kind, RosterSave::Kind::Failed);
    EXPECT_FALSE(saved.error.isEmpty());
    EXPECT_EQ(snapshot(tree.root()), before);
}

TEST_F(RosterSaveFailureTest, WaitsWhileAnotherStationHoldsTheRoster) {
    writeBytes(rosterPath(), kOld);
    platform.disk.busyAttempts = 3;
    EXPECT_EQ(saveRosterFile(platform, rosterPath(), kOld, kNew).kind, RosterSave::Kind::Saved);
    EXPECT_EQ(platform.disk.attempts, 4);
    EXPECT_EQ(readRosterBytes(rosterPath()), kNew);
}

// A roster of a whole school, so that a read takes long enough to meet a save.
QByteArray schoolRoster(int flag) {
    QString text;
    for (int n = 1; n <= 3000; ++n)
        text += QString::number(n) + u",2015,0,0,\"生徒　"_s + QString::number(n) + u"\","_s +
                QString::number(flag) + u",\"\",\"\"\r\n"_s;
    return cp(text);
}

TEST_F(RosterSaveFailureTest, AStationReadingMeanwhileNeverSeesHalfARoster) {
    const QByteArray first = schoolRoster(0);
    const QByteArray second = schoolRoster(1);
    writeBytes(rosterPath(), first);
    writeBytes(tree.root() + u"first.txt"_s, first);
    writeBytes(tree.root() + u"second.txt"_s, second);
    const QString stop = tree.root() + u"stop"_s;

    QProcess reader;
    reader.start(QStringLiteral(MIRAI_ROSTER_READER),
                 {rosterPath(), stop, tree.root() + u"first.txt"_s, tree.root() + u"second.txt"_s});
    ASSERT_TRUE(reader.waitForStarted());
    QElapsedTimer clock;
    clock.start();
    int saves = 0;
    for (QByteArray now = first; saves < 200 || clock.elapsed() < 1500; ++saves) {
        const QByteArray next = now == first ? second : first;
        ASSERT_EQ(saveRosterFile(platform, rosterPath(), now, next).kind, RosterSave::Kind::Saved);
        now = next;
    }
    writeBytes(stop, {});
    ASSERT_TRUE(reader.waitForFinished(30000));
    const QList<QByteArray> counts = reader.readAllStandardOutput().trimmed().split(' ');
    ASSERT_EQ(counts.size(), 2);
    EXPECT_GT(counts[0].toLong(), 20) << "reads";
    EXPECT_EQ(counts[1].toLong(), 0) << "torn reads";
    EXPECT_EQ(reader.exitCode(), 0);
}

} // namespace
} // namespace mirai::test
