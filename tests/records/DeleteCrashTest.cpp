// A teacher's delete on a file of a million records, killed with SIGKILL at twenty-three moments
// spread over its copy, its intent, the rewrite, the cut and the clean-up: twenty chosen from the
// steps a delete is made of, between two file calls, and three inside the copy. After each, the next
// open of the store gives the file as it was or the file without exactly that record, byte for
// byte, and leaves no copy or intent behind.

#include "FileResultStore.h"
#include "RecordFiles.h"
#include "RecordsFixture.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QThread>
#include <csignal>
#include <cstring>
#include <map>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using Call = FaultyFileSystem::Call;

constexpr std::int64_t kRecords = 1'000'000;
constexpr std::int64_t kDeleted = 100'000;

class DeleteCrashTest : public RecordsFixture {
protected:
    static QByteArray original() {
        static const QByteArray bytes = [] {
            QByteArray out(static_cast<qsizetype>(kRecords * 44), '\0');
            RawRecord record;
            for (std::int64_t i = 0; i < kRecords; ++i) {
                record.student = static_cast<std::int16_t>(1 + i % 4000);
                record.seconds = static_cast<std::int32_t>(i);
                const QByteArray one = rawRecordBytes(record);
                std::memcpy(out.data() + i * 44, one.constData(), 44);
            }
            return out;
        }();
        return bytes;
    }

    // Runs the station's delete; returns what it printed before it ended or was killed.
    QString runDelete(int stopAt, int killAfterCopyMs = -1) {
        QProcess child;
        child.start(QString::fromUtf8(MIRAI_RECORDS_STATION),
                    {u"delete"_s, tree.dataFolder(), QString::number(kDeleted), QString::number(stopAt)});
        EXPECT_TRUE(child.waitForStarted(10000));
        QString said;
        const QString waitFor = stopAt > 0 ? u"stopped"_s : stopAt < 0 ? u"copying"_s : QString();
        while (!waitFor.isEmpty() && !said.contains(waitFor) && child.state() != QProcess::NotRunning) {
            child.waitForReadyRead(100);
            said += QString::fromUtf8(child.readAllStandardOutput());
        }
        if (!waitFor.isEmpty()) {
            if (killAfterCopyMs > 0)
                QThread::msleep(static_cast<unsigned long>(killAfterCopyMs));
            ::kill(static_cast<pid_t>(child.processId()), SIGKILL);
        }
        child.waitForFinished(120000);
        said += QString::fromUtf8(child.readAllStandardOutput());
        return said;
    }
};

TEST_F(DeleteCrashTest, EveryMomentOfADeleteCanBeBroughtBackToBeforeOrAfter) {
    const QByteArray before = original();
    const QByteArray after = QByteArray(before).remove(static_cast<qsizetype>((kDeleted - 1) * 44), 44);
    const StorePaths paths = StorePaths::of(state());

    // A run to the end tells the steps a delete is made of.
    writeBytes(resultPath(), before);
    const QString done = runDelete(0);
    ASSERT_TRUE(done.contains(u"calls "_s)) << done.toStdString();
    ASSERT_EQ(readBytes(resultPath()), after);
    std::vector<Call> steps;
    for (const QString& kind : done.mid(done.indexOf(u"calls "_s) + 6).trimmed().split(u','))
        steps.push_back(static_cast<Call>(kind.toInt()));

    // The moments, by phase: before the k-th call (from 1) the station is killed.
    const auto first = [&](Call call, std::size_t from = 0) {
        for (std::size_t i = from; i < steps.size(); ++i) {
            if (steps[i] == call)
                return static_cast<int>(i) + 1;
        }
        ADD_FAILURE() << "no such step";
        return 1;
    };
    const int copy = first(Call::Open, static_cast<std::size_t>(first(Call::Remove)));
    const int copyFlush = first(Call::Sync, static_cast<std::size_t>(copy));
    const int intentOpen = first(Call::Open, static_cast<std::size_t>(copyFlush));
    const int intentWrite = first(Call::Write, static_cast<std::size_t>(intentOpen));
    const int intentFolder = first(Call::SyncFolder, static_cast<std::size_t>(intentWrite));
    const int cut = first(Call::Truncate, static_cast<std::size_t>(intentFolder));
    const int intentRemoved = first(Call::Remove, static_cast<std::size_t>(cut));
    const int copyRemoved = first(Call::Remove, static_cast<std::size_t>(intentRemoved));
    std::map<QString, int> moments = {
        {u"copy: before it is made"_s, copy},
        {u"copy: opened, nothing in it"_s, copy + 1},
        {u"copy: written, not flushed"_s, copyFlush},
        {u"copy: flushed, not closed"_s, copyFlush + 1},
        {u"intent: before it is made"_s, intentOpen},
        {u"intent: made, not written"_s, intentWrite},
        {u"intent: written, not flushed"_s, intentWrite + 1},
        {u"intent: flushed, folder not"_s, intentFolder},
        {u"cut: before it"_s, cut},
        {u"cut: done, not flushed"_s, cut + 1},
        {u"clean-up: before the intent goes"_s, intentRemoved},
        {u"clean-up: intent gone, folder not flushed"_s, intentRemoved + 1},
        {u"clean-up: before the copy goes"_s, copyRemoved},
        {u"clean-up: all gone, file not closed"_s, static_cast<int>(steps.size())},
    };
    for (int i = 1; i <= 6; ++i) {
        const int at = intentFolder + 1 + (cut - intentFolder - 1) * i / 7;
        moments[u"rewrite: %1 of 7"_s.arg(i)] = at;
    }
    ASSERT_EQ(moments.size(), 20u);

    int kills = 0;
    const auto check = [&](const QString& what) {
        SCOPED_TRACE(what.toStdString());
        // Whatever was under way: the next open of the store makes it whole.
        FileResultStore store(platform.platform(), paths);
        const StoreResult<Recovery> recovered = store.recover();
        ASSERT_TRUE(recovered.ok());
        const QByteArray now = readBytes(resultPath());
        EXPECT_TRUE(now == before || now == after) << "a mix of before and after, " << now.size() << " bytes";
        EXPECT_FALSE(QFileInfo::exists(paths.copy));
        EXPECT_FALSE(QFileInfo::exists(paths.intent));
        ++kills;
    };
    for (const auto& [what, at] : moments) {
        writeBytes(resultPath(), before);
        const QString said = runDelete(at);
        ASSERT_TRUE(said.contains(u"stopped"_s)) << what.toStdString();
        check(what);
    }
    // And killed inside the copy itself, a few milliseconds after it began.
    for (const int ms : {1, 4, 12}) {
        writeBytes(resultPath(), before);
        runDelete(-1, ms);
        check(u"copy: %1 ms into it"_s.arg(ms));
    }
    EXPECT_EQ(kills, 23);
}

} // namespace
} // namespace mirai::test
