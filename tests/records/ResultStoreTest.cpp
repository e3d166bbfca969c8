// The result store to the byte: every step of an append, a replay, a correction and a delete made
// to fail in turn, a delete cut short and completed by the next open, and the messages of every
// kind of failure.

#include "AnswerLog.h"
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

LoggedAnswer answerOf(std::uint64_t run, int index, QByteArrayView typed, bool right) {
    LoggedAnswer a;
    a.runId = run;
    a.runDay = 46365;
    a.runSecond = 10 * 3600 + 7;
    a.student = 7;
    a.level = 2;
    a.index = static_cast<std::uint8_t>(index);
    a.digitA = 7;
    a.placesA = 1;
    a.digitB = 8;
    a.placesB = 2;
    a.typedLength = static_cast<std::uint8_t>(typed.size());
    std::copy_n(typed.data(), typed.size(), a.typed.begin());
    a.right = right;
    a.hintShown = index % 2 == 0;
    a.ms = 1234u * static_cast<std::uint32_t>(index);
    return a;
}

QByteArray answersOf(std::uint64_t run, int count) {
    QByteArray bytes;
    for (int i = 1; i <= count; ++i)
        bytes += answerlog::encode(answerOf(run, i, i % 3 == 0 ? "0.56" : "0.056", i % 3 != 0));
    return bytes;
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
        writeBytes(paths().answers, answerlog::header() + answersOf(1, 4));
        writeBytes(paths().answerQueue, answersOf(20, 2));
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
            const StoreResult<Appended> appended = files.append(mirai::StoredRun{newRun(), answersOf(77, 3)});
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

            // The answers likewise: whole records only, each answer once, the run's with its run.
            const QByteArray logged = readBytes(paths().answers);
            ASSERT_TRUE(logged.startsWith(answerlog::header() + answersOf(1, 4)));
            QList<QByteArray> answers;
            for (qsizetype at = answerlog::kHeaderSize; at < logged.size(); at += answerlog::kRecordSize) {
                const QByteArray record = logged.mid(at, answerlog::kRecordSize);
                ASSERT_TRUE(record.size() == answerlog::kRecordSize &&
                            answerlog::isWhole(record.constData()));
                answers.append(record);
            }
            // Answers go before their record: a run stored has its answers; a station that died
            // in between may leave a run's answers without its record.
            QByteArray wanted = answersOf(1, 4) + answersOf(20, 2);
            const bool runAnswersLogged = logged.contains(answersOf(77, 3));
            if (GetParam().op == Op::Append && (expected.contains(newRun()) || runAnswersLogged))
                wanted += answersOf(77, 3);
            QList<QByteArray> wantedAnswers;
            for (qsizetype at = 0; at < wanted.size(); at += answerlog::kRecordSize)
                wantedAnswers.append(wanted.mid(at, answerlog::kRecordSize));
            std::sort(answers.begin(), answers.end());
            std::sort(wantedAnswers.begin(), wantedAnswers.end());
            EXPECT_EQ(answers, wantedAnswers);
            EXPECT_EQ(QFileInfo(paths().answerQueue).size(), 0);
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

// ---- The answer log ---------------------------------------------------------------------------------

bool operator==(const LoggedAnswer& a, const LoggedAnswer& b) {
    return a.runId == b.runId && a.runDay == b.runDay && a.runSecond == b.runSecond &&
           a.student == b.student && a.level == b.level && a.index == b.index && a.digitA == b.digitA &&
           a.placesA == b.placesA && a.digitB == b.digitB && a.placesB == b.placesB &&
           a.typedText() == b.typedText() && a.right == b.right && a.hintShown == b.hintShown && a.ms == b.ms;
}

TEST(AnswerLog, RecordsComeBackAsWrittenAndACutOrForeignOneDoesNot) {
    for (const LoggedAnswer& answer :
         {answerOf(1, 1, "", false), answerOf(0xFFFFFFFFFFFFFFFFull, 255, "1234567890123456", true),
          answerOf(42, 3, "0.0056", false)}) {
        const QByteArray bytes = answerlog::encode(answer);
        ASSERT_EQ(bytes.size(), answerlog::kRecordSize);
        const std::optional<LoggedAnswer> back = answerlog::decode(bytes.constData());
        ASSERT_TRUE(back.has_value());
        EXPECT_TRUE(*back == answer);
        for (const int at : {0, 19, 28, 43, 44}) { // any byte changed: no record
            QByteArray damaged = bytes;
            damaged[at] = static_cast<char>(damaged[at] ^ 0x20);
            EXPECT_FALSE(answerlog::decode(damaged.constData()).has_value()) << at;
        }
    }
    struct Case {
        QByteArray first;
        answerlog::HeaderCheck check;
    };
    QByteArray newer = answerlog::header();
    newer[8] = 2;
    const Case cases[] = {{{}, answerlog::HeaderCheck::Missing},
                          {answerlog::header().left(5), answerlog::HeaderCheck::Missing},
                          {answerlog::header(), answerlog::HeaderCheck::Ours},
                          {newer, answerlog::HeaderCheck::Foreign},
                          {QByteArray(16, 'x'), answerlog::HeaderCheck::Foreign}};
    for (const Case& c : cases)
        EXPECT_EQ(answerlog::checkHeader(c.first), c.check) << c.first.toHex().toStdString();
}

class AnswerStoreTest : public StoreFixture {
protected:
    QString logPath() { return paths().answers; }
    QByteArray log() { return readBytes(logPath()); }
    std::vector<LoggedAnswer> scanned() {
        std::vector<LoggedAnswer> all;
        const StoreResult<std::int64_t> read = store().scanAnswers(
            [&](const LoggedAnswer* a, std::int64_t n) { all.insert(all.end(), a, a + n); });
        EXPECT_TRUE(read.ok());
        return all;
    }
};

TEST_F(AnswerStoreTest, ARunsAnswersGoFirstAndAreReadBackWhole) {
    writeBytes(resultPath(), QByteArray());
    ASSERT_TRUE(store().append(mirai::StoredRun{newRun(), answersOf(1, 12)}).ok());
    ASSERT_TRUE(store().append(mirai::StoredRun{newRun(), answersOf(2, 10)}).ok());
    EXPECT_EQ(log(), answerlog::header() + answersOf(1, 12) + answersOf(2, 10));
    EXPECT_EQ(file(), newRun() + newRun());
    const std::vector<LoggedAnswer> answers = scanned();
    ASSERT_EQ(answers.size(), 22u);
    EXPECT_TRUE(answers[2] == answerOf(1, 3, "0.56", false));
    EXPECT_EQ(answers[12].runId, 2u);

    // A run left before its end: answers, no record.
    ASSERT_TRUE(store().append(mirai::StoredRun{{}, answersOf(3, 4)}).ok());
    EXPECT_EQ(file().size(), 2 * 44);
    EXPECT_EQ(scanned().size(), 26u);
}

TEST_F(AnswerStoreTest, ACutOrDamagedEndIsOverwrittenAndNeverRead) {
    struct Case {
        const char* what;
        QByteArray tail;
    };
    QByteArray damaged = answersOf(9, 1);
    damaged[30] = 'x';
    const Case cases[] = {{"a record cut short", answersOf(9, 1).left(30)},
                          {"a record written wrong", damaged},
                          {"two bad records", damaged + damaged}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        writeBytes(resultPath(), QByteArray());
        writeBytes(logPath(), answerlog::header() + answersOf(1, 3) + c.tail);
        EXPECT_EQ(scanned().size(), 3u);
        ASSERT_TRUE(store().append(mirai::StoredRun{newRun(), answersOf(2, 2)}).ok());
        EXPECT_EQ(log(), answerlog::header() + answersOf(1, 3) + answersOf(2, 2));
    }
}

TEST_F(AnswerStoreTest, WaitingAnswersAreStoredExactlyOnceWhateverTheReplayGotTo) {
    struct Case {
        const char* what;
        int storedBefore; // of the three waiting runs' answers, already in the log
    };
    for (const Case& c : {Case{"none stored", 0}, Case{"one stored", 1}, Case{"all stored", 3}}) {
        SCOPED_TRACE(c.what);
        writeBytes(resultPath(), QByteArray());
        QByteArray waitingAnswers;
        for (std::uint64_t run = 11; run <= 13; ++run)
            waitingAnswers += answersOf(run, 5);
        QByteArray inLog = answerlog::header();
        for (int i = 0; i < c.storedBefore; ++i)
            inLog += answersOf(11 + static_cast<std::uint64_t>(i), 5);
        writeBytes(logPath(), inLog);
        writeBytes(paths().answerQueue, waitingAnswers);
        ASSERT_TRUE(store().replay().ok());
        EXPECT_EQ(log(), answerlog::header() + waitingAnswers);
        EXPECT_EQ(QFileInfo(paths().answerQueue).size(), 0);
        ASSERT_TRUE(store().replay().ok());
        EXPECT_EQ(log(), answerlog::header() + waitingAnswers);
    }
}

TEST_F(AnswerStoreTest, TheShareAwayKeepsTheAnswersWithTheRunOnTheStation) {
    writeBytes(resultPath(), QByteArray());
    platform.disk.errorAttempts = 1000; // the share refuses every lock
    const StoreResult<Appended> kept = store().append(mirai::StoredRun{newRun(), answersOf(5, 11)});
    ASSERT_TRUE(kept.ok());
    EXPECT_TRUE(kept->keptOnStation);
    EXPECT_EQ(readBytes(paths().answerQueue), answersOf(5, 11));
    EXPECT_FALSE(QFileInfo::exists(logPath()));
    platform.disk.errorAttempts = 0;
    ASSERT_TRUE(store().replay().ok());
    EXPECT_EQ(log(), answerlog::header() + answersOf(5, 11));
    EXPECT_EQ(file(), newRun());
}

// A scan hands over the answers of the students asked for, whole ones only, and reports after
// every step of the log also when none was wanted.
TEST_F(AnswerStoreTest, AScanHandsOverTheWantedStudentsOnly) {
    QByteArray bytes = answerlog::header();
    for (const int student : {7, 8, 300, 8}) {
        LoggedAnswer a = answerOf(static_cast<std::uint64_t>(student), 1, "5.6", false);
        a.student = static_cast<std::int16_t>(student);
        bytes += answerlog::encode(a);
    }
    bytes[answerlog::kHeaderSize + 3 * answerlog::kRecordSize + 30] = 'x'; // the second 8, damaged
    writeBytes(logPath(), bytes);
    struct Case {
        std::vector<int> wanted;
        std::vector<int> got;
    };
    const Case cases[] = {{{}, {7, 8, 300}}, {{8}, {8}}, {{300, 7}, {7, 300}}, {{5000}, {}}, {{-1, 0}, {}}};
    for (const Case& c : cases) {
        std::vector<int> got;
        int calls = 0;
        const StoreResult<std::int64_t> read = store().scanAnswers(
            [&](const LoggedAnswer* a, std::int64_t n) {
                ++calls;
                for (std::int64_t i = 0; i < n; ++i)
                    got.push_back(a[i].student);
            },
            StudentFilter(c.wanted));
        ASSERT_TRUE(read.ok());
        EXPECT_EQ(got, c.got);
        EXPECT_EQ(*read, static_cast<std::int64_t>(c.got.size()));
        EXPECT_EQ(calls, 1);
    }
}

TEST_F(AnswerStoreTest, ALogOfANewerVersionIsNeitherReadNorWritten) {
    writeBytes(resultPath(), QByteArray());
    QByteArray newer = answerlog::header();
    newer[8] = 9;
    writeBytes(logPath(), newer + QByteArray(48, 'z'));
    ASSERT_TRUE(store().append(mirai::StoredRun{newRun(), answersOf(6, 3)}).ok());
    EXPECT_EQ(file(), newRun()); // the run itself is stored
    EXPECT_EQ(log(), newer + QByteArray(48, 'z'));
    EXPECT_EQ(readBytes(paths().answerQueue), answersOf(6, 3)); // its answers wait for a newer program
    const StoreResult<std::int64_t> read = store().scanAnswers([](const LoggedAnswer*, std::int64_t) {});
    ASSERT_FALSE(read.ok());
    EXPECT_TRUE(read.error().foreign);
    EXPECT_TRUE(storeErrorMessage(read.error()).contains(u"新しい形式"_s));
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
