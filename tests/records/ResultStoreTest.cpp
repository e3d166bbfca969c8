// The result store to the byte: every step of an append, a replay, a correction and a delete made
// to fail in turn, a delete cut short and completed by the next open, and the messages of every
// kind of failure.

#include "FileResultStore.h"
#include "RecordFiles.h"
#include "RecordsFixture.h"
#include "StoreMessages.h"

#include <QFileInfo>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <map>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using Call = FaultyFileSystem::Call;

RawRecord numbered(int student, int seconds) {
    RawRecord record;
    record.student = static_cast<std::int16_t>(student);
    record.seconds = seconds;
    record.time = QTime(9, 0).addSecs(seconds);
    return record;
}

// The whole records of a file's bytes, each as its 44 bytes.
QList<QByteArray> wholeRecords(const QByteArray& bytes) {
    QList<QByteArray> records;
    for (qsizetype at = 0; at + 44 <= bytes.size(); at += 44)
        records.append(bytes.mid(at, 44));
    return records;
}

class StoreFixture : public RecordsFixture {
protected:
    StoreFixture() {
        state().QueueFolder = tree.root() + u"端末/"_s;
        platform.events.stepMs = 1;
    }

    FileResultStore store() {
        RetryPolicy policy;
        policy.transientWaitMs = 5;
        FileResultStore files(platform.platform(), StorePaths::of(state()), policy);
        files.setChunkRecords(3); // rewrites move records a few at a time, so a fault can fall between
        return files;
    }
    StorePaths paths() { return StorePaths::of(state()); }
    QByteArray file() const { return readBytes(resultPath()); }
    QByteArray queue() { return readBytes(paths().queue); }
    bool leftovers() { return QFileInfo::exists(paths().copy) || QFileInfo::exists(paths().intent); }

    // Twelve runs in the shared file, two waiting on the station.
    void school() {
        std::vector<RawRecord> shared;
        for (int i = 1; i <= 12; ++i)
            shared.push_back(numbered(100, i));
        writeRecords(resultPath(), shared);
        writeRecords(paths().queue, {numbered(200, 1), numbered(200, 2)});
        QFile::remove(paths().copy);
        QFile::remove(paths().intent);
        platform.disk.log.clear();
        platform.disk.clearFaults();
    }
    QByteArray before() {
        return rawRecordBytes([] {
            std::vector<RawRecord> shared;
            for (int i = 1; i <= 12; ++i)
                shared.push_back(numbered(100, i));
            return shared;
        }());
    }
    static QByteArray waiting() { return rawRecordBytes({numbered(200, 1), numbered(200, 2)}); }
    static QByteArray newRun() { return rawRecordBytes(numbered(300, 7)); }
};

// ---- Faults at every step ----------------------------------------------------------------------

enum class Op { Append, Replay, Patch, Delete };

struct OpCase {
    const char* name;
    Op op;
};

// Which steps a failing call may be reported as.
bool stepFits(Call call, StoreStep step) {
    static const std::map<Call, std::vector<StoreStep>> fits = {
        {Call::Open, {StoreStep::Open, StoreStep::Queue, StoreStep::Copy, StoreStep::Intent}},
        {Call::Close, {StoreStep::Close, StoreStep::Copy, StoreStep::Intent}},
        {Call::Size, {StoreStep::Size}},
        {Call::Read, {StoreStep::Read, StoreStep::Copy, StoreStep::Write}},
        {Call::Write, {StoreStep::Write, StoreStep::Copy, StoreStep::Intent}},
        {Call::Truncate, {StoreStep::Truncate}},
        {Call::Copy, {StoreStep::Copy}},
        {Call::Sync, {StoreStep::Flush, StoreStep::Copy, StoreStep::Intent}},
        {Call::Remove, {StoreStep::Remove}},
        {Call::SyncFolder, {StoreStep::Intent}},
        {Call::Lock, {StoreStep::Lock}},
    };
    const auto found = fits.find(call);
    return found != fits.end() &&
           std::find(found->second.begin(), found->second.end(), step) != found->second.end();
}

class EveryStep : public StoreFixture, public ::testing::WithParamInterface<OpCase> {
protected:
    // Runs the operation; the outcome's error when it failed.
    std::optional<StoreError> run(FileResultStore& files) {
        const QByteArray old = recordAt(before(), 5);
        switch (GetParam().op) {
        case Op::Append: {
            const StoreResult<Appended> appended = files.append(newRun());
            if (!appended)
                return appended.error();
            if (appended->keptOnStation)
                return appended->why;
            return std::nullopt;
        }
        case Op::Replay: {
            const StoreResult<std::int64_t> stored = files.replay();
            return stored ? std::nullopt : std::optional<StoreError>(stored.error());
        }
        case Op::Patch: {
            const StoreResult<Done> done = files.patch(5, old, 777, 99999);
            return done ? std::nullopt : std::optional<StoreError>(done.error());
        }
        case Op::Delete: {
            const StoreResult<Done> done = files.remove(5, old);
            return done ? std::nullopt : std::optional<StoreError>(done.error());
        }
        }
        return std::nullopt;
    }
    static QByteArray recordAt(const QByteArray& bytes, int n) { return bytes.mid((n - 1) * 44, 44); }

    // The shared file once the operation has done all it was asked.
    QByteArray changed() {
        QByteArray bytes = before();
        switch (GetParam().op) {
        case Op::Append:
            return bytes + waiting() + newRun();
        case Op::Replay:
            return bytes + waiting();
        case Op::Patch:
            qToLittleEndian<std::int16_t>(777, bytes.data() + 4 * 44 + 16);
            qToLittleEndian<std::int32_t>(99999, bytes.data() + 4 * 44 + 20);
            return bytes;
        case Op::Delete:
            return bytes.remove(4 * 44, 44);
        }
        return bytes;
    }
};

TEST_P(EveryStep, AFailureLeavesTheFileWholeAndTheRunsWaiting) {
    // A run without faults counts the steps.
    school();
    {
        FileResultStore files = store();
        ASSERT_FALSE(run(files).has_value());
    }
    const std::vector<Call> steps = platform.disk.log;
    ASSERT_EQ(file(), changed());
    ASSERT_GT(steps.size(), 3u);

    struct Variant {
        const char* what;
        int code;
        bool shortOnly;
        bool crash; // the program dies right before the call: no step after it runs
    };
    const Variant variants[] = {{"fails", EIO, false, false},
                                {"comes back short", EIO, true, false},
                                {"disk full", ENOSPC, false, false},
                                {"the station dies", 0, false, true}};
    for (std::size_t k = 1; k <= steps.size(); ++k) {
        for (const Variant& variant : variants) {
            const Call call = steps[k - 1];
            if (variant.shortOnly && call != Call::Read && call != Call::Write && call != Call::Copy)
                continue;
            SCOPED_TRACE(u"call %1 of %2 (kind %3) %4"_s.arg(k)
                             .arg(steps.size())
                             .arg(static_cast<int>(call))
                             .arg(QString::fromLatin1(variant.what))
                             .toStdString());
            school();
            std::optional<StoreError> error;
            if (variant.crash) {
                platform.disk.dieAtCall(static_cast<int>(k));
                FileResultStore files = store();
                run(files);
            } else {
                platform.disk.failCall(static_cast<int>(k), variant.code, variant.shortOnly);
                FileResultStore files = store();
                error = run(files);
            }
            platform.disk.clearFaults();
            if (error) {
                EXPECT_TRUE(error->kind == StoreErrorKind::Ending || stepFits(call, error->step) ||
                            (GetParam().op == Op::Append && error->kind != StoreErrorKind::Failed))
                    << "reported as step " << static_cast<int>(error->step);
                EXPECT_FALSE(storeErrorMessage(*error).isEmpty());
            }

            // What the next open makes of it: the file as before or as changed, whole records only,
            // and nothing of a delete left over.
            {
                FileResultStore files = store();
                ASSERT_TRUE(files.recover().ok());
            }
            const QByteArray now = file();
            const QList<QByteArray> records = wholeRecords(now);
            const QByteArray whole = now.left(records.size() * 44);
            EXPECT_FALSE(leftovers());
            if (GetParam().op == Op::Patch || GetParam().op == Op::Delete) {
                EXPECT_TRUE(whole == before() || whole == changed());
                EXPECT_EQ(now.size() % 44, 0);
                continue;
            }
            // Appends: every run is stored or waits on the station, none twice, the older
            // records untouched; a replay without faults then stores each exactly once.
            EXPECT_TRUE(whole.startsWith(before()));
            QList<QByteArray> expected = wholeRecords(waiting());
            QList<QByteArray> added = wholeRecords(whole.mid(before().size()));
            // The run being appended when its station died lives on only if it reached a file.
            if (GetParam().op == Op::Append &&
                (!variant.crash || added.contains(newRun()) || queue().contains(newRun())))
                expected.append(newRun());
            for (const QByteArray& run : added)
                EXPECT_EQ(added.count(run), 1);
            for (const QByteArray& run : expected)
                EXPECT_TRUE(added.contains(run) || queue().contains(run));
            {
                FileResultStore files = store();
                ASSERT_TRUE(files.replay().ok());
            }
            QList<QByteArray> final = wholeRecords(file().mid(before().size()));
            std::sort(final.begin(), final.end());
            std::sort(expected.begin(), expected.end());
            EXPECT_EQ(final, expected);
            EXPECT_EQ(QFileInfo(paths().queue).size(), 0);
        }
    }
}

// Another station holds the lock for a while: every operation waits for it and then does all of
// its work; a lock the system refuses changes nothing and keeps the runs.
TEST_P(EveryStep, ALockHeldElsewhereIsWaitedForAndARefusedOneChangesNothing) {
    school();
    platform.disk.busyAttempts = 3;
    {
        FileResultStore files = store();
        EXPECT_FALSE(run(files).has_value());
    }
    EXPECT_EQ(file(), changed());
    EXPECT_GE(platform.disk.attempts, 4);

    school();
    platform.disk.errorAttempts = 1000;
    std::optional<StoreError> error;
    {
        FileResultStore files = store();
        error = run(files);
    }
    platform.disk.errorAttempts = 0;
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->step, StoreStep::Lock);
    EXPECT_EQ(error->kind, StoreErrorKind::Unreachable);
    EXPECT_EQ(file(), before());
    if (GetParam().op == Op::Append) {
        EXPECT_EQ(queue(), waiting() + newRun());
    }
}

INSTANTIATE_TEST_SUITE_P(Operations, EveryStep,
                         ::testing::Values(OpCase{"Append", Op::Append}, OpCase{"Replay", Op::Replay},
                                           OpCase{"Patch", Op::Patch}, OpCase{"Delete", Op::Delete}),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- A delete cut short ---------------------------------------------------------------------------

// What a crash leaves at each point of a delete, and what the next open must make of it.
TEST_F(StoreFixture, TheNextOpenFinishesAnInterruptedDeleteOrClearsWhatOneLeft) {
    school();
    const QByteArray original = before();
    const QByteArray minusFive = QByteArray(original).remove(4 * 44, 44);
    // The intent and copy a delete of record 5 leaves once both are flushed.
    FileResultStore files = store();
    platform.disk.onCall = [&](Call call, int) {
        if (call == Call::Write && QFileInfo::exists(paths().intent) && QFileInfo(paths().intent).size() > 0)
            throw 1; // stop right before the first record moves: everything for a completion is there
    };
    try {
        files.remove(5, original.mid(4 * 44, 44));
    } catch (int) {
    }
    platform.disk.onCall = nullptr;
    const QByteArray intent = readBytes(paths().intent);
    const QByteArray copy = readBytes(paths().copy);
    ASSERT_EQ(copy, original); // from the 64 KB boundary before the record: here the whole file
    ASSERT_FALSE(intent.isEmpty());

    struct Case {
        const char* what;
        QByteArray results, intent, copy;
        QByteArray expected;
        bool completed;
    };
    const Case cases[] = {
        {"copy made, intent not yet", original, {}, copy, original, false},
        {"intent torn", original, intent.left(30), copy, original, false},
        {"intent whole, nothing moved", original, intent, copy, minusFive, true},
        {"part moved", minusFive.left(7 * 44) + original.mid(7 * 44), intent, copy, minusFive, true},
        {"all moved, not cut", minusFive + original.right(44), intent, copy, minusFive, true},
        {"cut, intent still there", minusFive, intent, copy, minusFive, true},
        {"intent gone, copy left", minusFive, {}, copy, minusFive, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(resultPath(), c.results);
        QFile::remove(paths().intent);
        QFile::remove(paths().copy);
        QFile::remove(paths().note);
        if (!c.intent.isNull())
            writeBytes(paths().intent, c.intent);
        writeBytes(paths().copy, c.copy);
        // Any open does it: here a load's read.
        const StoreResult<RecordWindow> window = store().readNewest(100);
        ASSERT_TRUE(window.ok());
        EXPECT_EQ(window->bytes, c.expected);
        EXPECT_EQ(file(), c.expected);
        EXPECT_FALSE(leftovers());
        // A teacher is told once, a student never: only the teachers' screen asks.
        const std::optional<std::int64_t> told = store().takeCompletedDelete();
        EXPECT_EQ(told.has_value(), c.completed);
        if (told) {
            EXPECT_EQ(*told, 5);
        }
        EXPECT_FALSE(store().takeCompletedDelete().has_value());
    }

    // A copy that is not the file the intent speaks of: nothing is touched, and a teacher is told.
    QByteArray damaged = copy;
    damaged[6 * 44 + 20] = 1;
    writeBytes(resultPath(), original);
    writeBytes(paths().intent, intent);
    writeBytes(paths().copy, damaged);
    const StoreResult<Recovery> recovery = store().recover();
    ASSERT_FALSE(recovery.ok());
    EXPECT_EQ(recovery.error().kind, StoreErrorKind::Unrecoverable);
    EXPECT_EQ(file(), original);
    EXPECT_TRUE(QFileInfo::exists(paths().intent));
    EXPECT_FALSE(storeErrorMessage(recovery.error()).isEmpty());
    // Students go on: a load reads the file as it is.
    EXPECT_TRUE(store().readNewest(5).ok());
}

// ---- The messages -------------------------------------------------------------------------------

TEST(StoreMessages, EveryKindOfFailureHasItsText) {
    struct Case {
        StoreErrorKind kind;
        StoreOperation operation;
        StoreStep step;
        int code;
        bool restored;
        QString contains;
    };
    const QString path = u"/共有/MiraiDrill/成績累積データ.dat"_s;
    const Case cases[] = {
        {StoreErrorKind::Unreachable, StoreOperation::Load, StoreStep::Open, ENOENT, false,
         u"ファイルがありません3"_s},
        {StoreErrorKind::Failed, StoreOperation::Load, StoreStep::Read, EIO, false,
         u"成績ランダムファイル表示7"_s},
        {StoreErrorKind::Failed, StoreOperation::Append, StoreStep::Write, ENOSPC, false,
         u"成績ランダムファイル記録"_s},
        {StoreErrorKind::Failed, StoreOperation::Scan, StoreStep::Read, EIO, false,
         u"成績データを読み込めませんでした"_s},
        {StoreErrorKind::Changed, StoreOperation::Patch, StoreStep::Check, 0, false,
         u"ほかのところで変更されました"_s},
        {StoreErrorKind::NoSuchRecord, StoreOperation::Delete, StoreStep::Check, 0, false,
         u"もうありません"_s},
        {StoreErrorKind::Unreachable, StoreOperation::Patch, StoreStep::Open, ENOENT, false,
         u"共有フォルダーに接続できない"_s},
        {StoreErrorKind::Unreachable, StoreOperation::Delete, StoreStep::Lock, ENOLCK, false,
         u"ロックできませんでした"_s},
        {StoreErrorKind::Failed, StoreOperation::Patch, StoreStep::Open, EIO, false,
         u"書き込み用に開けませんでした"_s},
        {StoreErrorKind::Failed, StoreOperation::Patch, StoreStep::Write, EIO, true, u"記録は元のままです"_s},
        {StoreErrorKind::Failed, StoreOperation::Patch, StoreStep::Flush, EIO, false,
         u"元のままか確かめてください"_s},
        {StoreErrorKind::Failed, StoreOperation::Delete, StoreStep::Copy, ENOSPC, false,
         u"消去していません"_s},
        {StoreErrorKind::Failed, StoreOperation::Delete, StoreStep::Write, EIO, true, u"元に戻しました"_s},
        {StoreErrorKind::Failed, StoreOperation::Delete, StoreStep::Truncate, EIO, false,
         u"控えのファイルに残っています"_s},
        {StoreErrorKind::Failed, StoreOperation::Delete, StoreStep::Remove, EIO, false, u"後片付け"_s},
        {StoreErrorKind::Unrecoverable, StoreOperation::Recover, StoreStep::Check, 0, false,
         u"控えのファイルが"_s},
    };
    for (const Case& c : cases) {
        StoreError error;
        error.kind = c.kind;
        error.operation = c.operation;
        error.step = c.step;
        error.code = c.code;
        error.path = path;
        error.restored = c.restored;
        const QString text = storeErrorMessage(error);
        EXPECT_TRUE(text.contains(c.contains)) << text.toStdString();
        if (c.kind != StoreErrorKind::Changed && c.kind != StoreErrorKind::NoSuchRecord) {
            EXPECT_TRUE(text.contains(path)) << text.toStdString();
        }
    }
    StoreError ending;
    ending.kind = StoreErrorKind::Ending;
    EXPECT_TRUE(storeErrorMessage(ending).isEmpty());
    // A run that not even the station could keep says both where it failed.
    StoreError lost;
    lost.operation = StoreOperation::Append;
    lost.code = ENOENT;
    lost.path = path;
    lost.stationCode = EACCES;
    lost.stationPath = u"/home/端末/成績待ち.dat"_s;
    const QString text = storeErrorMessage(lost);
    EXPECT_TRUE(text.contains(u"このコンピューターにも保存できなかった"_s));
    EXPECT_TRUE(text.contains(lost.stationPath));
    EXPECT_TRUE(keptOnStationMessage(lost).contains(u"この記録はこのコンピューターに保存しました。"_s));
    EXPECT_TRUE(completedDeleteMessage(5).contains(u"5"_s));
}

} // namespace
} // namespace mirai::test
