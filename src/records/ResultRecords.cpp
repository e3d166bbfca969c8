#include "ResultRecords.h"

#include "AppControl.h"
#include "Clock.h"
#include "Configuration.h"
#include "Cp932.h"
#include "FileLock.h"
#include "MessageBoxes.h"
#include "Platform.h"
#include "RecordFileIo.h"
#include "RecordOffsets.h"
#include "RecordQueue.h"
#include "SharedState.h"

#include <QFile>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

// 30 December 1899, day 0 of the OLE Automation calendar.
constexpr qint64 kOleEpochJulianDay = 2415019;
constexpr double kMsPerDay = 86400000.0;

// Attempts that fail for a reason other than another station (a missing folder, a refused
// permission, a lock the system cannot give) are repeated this often, this far apart.
constexpr int kTransientAttempts = 4;
constexpr int kTransientWaitMs = 5000;

// How far an operation on the result file had got when it failed (shown in the messages).
constexpr int kStepOpen = 3;
constexpr int kStepSize = 5;
constexpr int kStepRead = 7;
constexpr int kStepLock = 4;
constexpr int kStepWrite = 8;
constexpr int kStepClose = 9;

void putBytes(char* out, const QByteArray& field, char pad) {
    const int n = static_cast<int>(std::min<qsizetype>(field.size(), offsets::kTextBytes));
    std::memcpy(out, field.constData(), static_cast<std::size_t>(n));
    std::memset(out + n, pad, static_cast<std::size_t>(offsets::kTextBytes - n));
}

// What became of one attempt on the file.
enum class ErrorKind {
    InUse,     // another station has the file: wait the lock interval, without limit
    Transient, // a missing folder, a refused permission: a few attempts, then give up
    Fatal,     // anything else: give up at once
};

struct IoFailure {
    ErrorKind kind = ErrorKind::Fatal;
    int code = 0; // errno, 0 when there is none
    QString description;
    int step = 0;
};

IoFailure failureOf(int code, int step) {
    IoFailure failure;
    failure.code = code;
    failure.step = step;
    failure.description = QString::fromLocal8Bit(std::strerror(code));
    switch (code) {
    case EBUSY:
    case ETXTBSY:
    case EAGAIN:
#if EWOULDBLOCK != EAGAIN
    case EWOULDBLOCK:
#endif
        failure.kind = ErrorKind::InUse;
        break;
    // On this system locks are advisory, so a refused permission is never another station:
    // retrying it forever would hang the station.
    case ENOENT:
    case ENOTDIR:
    case EACCES:
    case EPERM:
    case EROFS:
    case ENOLCK:
    case ESTALE:
    case ETIMEDOUT:
        failure.kind = ErrorKind::Transient;
        break;
    default:
        failure.kind = ErrorKind::Fatal;
        break;
    }
    return failure;
}

enum class Retry { Again, GiveUp, Ending };

// Waits between attempts as the failure asks, letting the screens run meanwhile.
class RetryRule {
public:
    explicit RetryRule(const Platform& platform) : m_platform(platform) {}

    Retry after(const IoFailure& failure) {
        if (ending())
            return Retry::Ending;
        switch (failure.kind) {
        case ErrorKind::InUse:
            waitWhilePumping(m_platform, m_platform.locker->retryIntervalMs());
            break;
        case ErrorKind::Transient:
            if (++m_transientFailures >= kTransientAttempts)
                return Retry::GiveUp;
            waitWhilePumping(m_platform, kTransientWaitMs);
            break;
        case ErrorKind::Fatal:
            return Retry::GiveUp;
        }
        return ending() ? Retry::Ending : Retry::Again;
    }

private:
    // An end asked for from outside stops the waiting at once: the caller keeps what it has.
    bool ending() const { return m_platform.app && m_platform.app->stopping(); }
    const Platform& m_platform;
    int m_transientFailures = 0;
};

// Repeats `attempt` (true when done, or false with the failure) with the waits of the retry
// rule. False when the program is ending; when the rule gives up, `giveUp` has the last word.
template <class Attempt, class GiveUp>
bool withRetries(const Platform& platform, Attempt attempt, GiveUp giveUp) {
    RetryRule retry(platform);
    for (;;) {
        IoFailure failure;
        if (attempt(failure))
            return true;
        switch (retry.after(failure)) {
        case Retry::Again:
            continue;
        case Retry::Ending:
            return false;
        case Retry::GiveUp:
            return giveUp(failure);
        }
    }
}

QByteArray nativeName(const QString& path) {
    return QFile::encodeName(path);
}

using fileio::Descriptor;
using fileio::openFile;

// The newest complete records of the file, as raw bytes.
struct Window {
    std::int64_t total = 0; // complete records in the file
    std::int64_t first = 1; // number of the first record in `bytes`
    QByteArray bytes;       // whole records only
    std::int64_t count() const { return bytes.size() / kRecordSize; }
};

// Opens the file for reading: read-only when it exists (a read-only share still shows its
// results), created empty when it is missing. -1 with errno set when it cannot be opened; -2
// when it is missing and cannot be created, which reads as an empty file.
int openForReading(const QByteArray& name) {
    const int fd = openFile(name, O_RDONLY);
    if (fd >= 0 || errno != ENOENT)
        return fd;
    const int created = openFile(name, O_RDWR | O_CREAT);
    if (created >= 0)
        return created;
    return errno == EACCES || errno == EPERM || errno == EROFS ? -2 : -1;
}

// Reads the newest `maxRecords` whole records of an open file: 0, or the errno of the failure
// with `step` saying where it happened.
int readNewest(int fd, std::int64_t maxRecords, Window& window, int& step) {
    window = Window{};
    const std::int64_t size = fileio::fileSize(fd);
    if (size < 0) {
        step = kStepSize;
        return errno;
    }
    const std::int64_t total = size / kRecordSize;
    const std::int64_t wanted = std::clamp<std::int64_t>(maxRecords, 0, total);
    window.total = total;
    window.first = total - wanted + 1;
    if (wanted == 0)
        return 0;

    // One positioned read of the whole window: the cost does not grow with the file's length.
    const std::int64_t bytes = wanted * kRecordSize;
    window.bytes = QByteArray(static_cast<qsizetype>(bytes), Qt::Uninitialized);
    const std::int64_t done =
        fileio::readAt(fd, window.bytes.data(), bytes, (window.first - 1) * kRecordSize);
    if (done < 0) {
        step = kStepRead;
        return errno;
    }
    window.bytes.truncate(static_cast<qsizetype>(done / kRecordSize * kRecordSize));
    window.total = window.first - 1 + window.count();
    return 0;
}

bool tryReadWindow(const QByteArray& name, std::int64_t maxRecords, Window& window, IoFailure& failure) {
    window = Window{};
    const int fd = openForReading(name);
    if (fd == -2)
        return true;
    if (fd < 0) {
        failure = failureOf(errno, kStepOpen);
        return false;
    }
    Descriptor file(fd);
    int step = 0;
    if (const int code = readNewest(file.get(), maxRecords, window, step); code != 0) {
        failure = failureOf(code, step);
        return false;
    }
    return true;
}

QString messageTitle(const SharedState& state) {
    return state.ProgramTitle.isEmpty() ? u"みらいドリル"_s : state.ProgramTitle;
}

void showLoadFailure(Context ctx, const QString& path, const IoFailure& failure, std::int64_t recordNumber) {
    const QString code = QString::number(failure.code);
    const QString step = QString::number(failure.step);
    QString text;
    if (failure.code == ENOENT || failure.code == ENOTDIR) {
        text = u"ファイルがありません"_s + step + failure.description + code;
    } else {
        // The record fields stay empty: the window is read as a whole, before any record.
        text = u"成績ランダムファイル表示"_s + step + code + failure.description + code + u"/date"_s +
               u"/i="_s + QString::number(recordNumber) + u"/time="_s + u"/name="_s + u"/Bangou="_s +
               u"/level="_s + u"/time="_s + u"line"_s + step;
    }
    text += u"\r\n"_s + path;
    ctx.platform.messages->show(text, messageTitle(ctx.state), MessageButtons::Ok, MessageIcon::Critical);
}

// How many of the newest records of the shared file the queued runs are compared with before
// they are stored: the statistics' window of 20000. A replay cut short between storing the
// queued runs and emptying the queue left them at the end of the file; whatever the other
// stations add before this station replays again (weeks of a busy classroom fit in the window),
// they are still found. The 880 KB are read only while runs are waiting.
constexpr std::int64_t kReplayCheckRecords = kLoadWindow;

// One attempt at the whole-file lock: another station's lock is waited for, one the system
// refuses is tried a few times.
bool tryLock(const Platform& platform, int fd, IoFailure& failure) {
    switch (platform.locker->tryLock(fd)) {
    case LockResult::Locked:
        return true;
    case LockResult::Busy:
        failure = IoFailure{ErrorKind::InUse, 0, {}, kStepLock};
        return false;
    case LockResult::Error:
        failure = IoFailure{ErrorKind::Transient, 0, platform.locker->lastErrorText(), kStepLock};
        return false;
    }
    return false;
}

enum class StoreOutcome { Written, Failed };

// One attempt under the shared file's lock: first the runs waiting in this station's queue
// that the file does not hold yet, in order, then `record` (none for a replay alone). The queue
// is emptied only once the file is flushed. Nothing is written unless the locks are held.
StoreOutcome tryStore(const Platform& platform, const QByteArray& name, const QString& queuePath,
                      const QByteArray& record, bool syncData, IoFailure& failure) {
    HeldQueue queue;
    if (queue.take(queuePath) == HeldQueue::Take::Busy) {
        failure = IoFailure{ErrorKind::InUse, 0, {}, kStepLock}; // another program of this station
        return StoreOutcome::Failed;
    }
    if (record.isEmpty() && !queue.held())
        return StoreOutcome::Written;

    Descriptor file(openFile(name, O_RDWR | O_CREAT));
    if (file.get() < 0) {
        failure = failureOf(errno, kStepOpen);
        return StoreOutcome::Failed;
    }
    if (!tryLock(platform, file.get(), failure))
        return StoreOutcome::Failed;

    auto fail = [&](int code, int step) {
        failure = failureOf(code, step);
        platform.locker->unlock(file.get());
        return StoreOutcome::Failed;
    };
    // Once bytes may be out, another attempt could store a run twice: such a failure is final.
    auto failAfterWriting = [&](int code) {
        fail(code, kStepWrite);
        failure.kind = ErrorKind::Fatal;
        return StoreOutcome::Failed;
    };
    const std::int64_t size = fileio::fileSize(file.get());
    if (size < 0)
        return fail(errno, kStepSize);
    QByteArray bytes;
    if (queue.held()) {
        Window newest;
        int step = 0;
        if (const int code = readNewest(file.get(), kReplayCheckRecords, newest, step); code != 0)
            return fail(code, step);
        bytes = recordsNotYetStored(queue.records(), newest.bytes);
    }
    bytes += record;
    // A partial record at the end (a write cut short) is overwritten: the file stays whole.
    const std::int64_t offset = size / kRecordSize * kRecordSize;
    std::int64_t written = 0;
    if (const int code = fileio::writeAt(file.get(), bytes, offset, written); code != 0)
        return written > 0 ? failAfterWriting(code) : fail(code, kStepWrite);
    // The records reach the disk, or the file server, before another station may write, and
    // before the queue lets go of the runs it kept.
    if (!bytes.isEmpty() && (syncData || queue.held())) {
        if (const int code = fileio::flushData(file.get()); code != 0)
            return failAfterWriting(code);
    }
    queue.clear();
    platform.locker->unlock(file.get());
    // A network share may report a failed write only when the file is closed; by then the
    // lock is gone, so this is reported rather than retried.
    if (const int code = file.reset(); code != 0) {
        failure = failureOf(code, kStepClose);
        failure.kind = ErrorKind::Fatal;
        return StoreOutcome::Failed;
    }
    return StoreOutcome::Written;
}

// Before a load: adds the runs waiting on this station to the shared file. It says nothing: a
// share out of reach leaves the queue as it is for the next append or load.
void replayQueue(Context ctx) {
    const Platform& platform = ctx.platform;
    const QString queuePath = recordQueuePath(ctx.state);
    const QByteArray name = nativeName(resultFilePath(ctx.state));
    for (;;) {
        IoFailure failure;
        if (tryStore(platform, name, queuePath, {}, true, failure) == StoreOutcome::Written)
            return;
        // Only a lock held by another station, or by another program of this one, is waited for.
        if (failure.kind != ErrorKind::InUse)
            return;
        waitWhilePumping(platform, platform.locker->retryIntervalMs());
        if (platform.app && platform.app->endRequested())
            return;
    }
}

// Reads the newest `maxRecords` records with the loader's retry rules, after adding the runs
// waiting on this station; nullopt when the program is ending (a message has been shown when
// there was one to show).
std::optional<Window> readWindow(Context ctx, std::int64_t maxRecords) {
    replayQueue(ctx);
    const QString path = resultFilePath(ctx.state);
    const QByteArray name = nativeName(path);
    Window window;
    const bool read = withRetries(
        ctx.platform, [&](IoFailure& failure) { return tryReadWindow(name, maxRecords, window, failure); },
        [&](const IoFailure& failure) {
            showLoadFailure(ctx, path, failure, window.first);
            ctx.platform.app->endProgram();
            return false;
        });
    if (!read)
        return std::nullopt;
    return window;
}

// The record of the current run. Date and time come from one reading, so a run stamped at
// midnight never mixes two days; the time of day is kept to the second, as the stations have
// always stored it.
ResultRecord currentRunRecord(Context ctx) {
    const SharedState& state = ctx.state;
    const QDateTime now = ctx.platform.clock->now();
    const QTime time = now.time();
    ResultRecord record;
    record.RunDate = oleDate(now.date());
    record.RunTimeOfDay = oleTimeOfDay(QTime(time.hour(), time.minute(), time.second()));
    record.StudentNumber = state.StudentNumber;
    record.Level = state.CurrentLevel;
    record.Seconds = state.RunSeconds;
    record.SiteCode = cp932::fixedField(state.SiteCode, offsets::kTextBytes);
    return record;
}

// The shared file is out of reach: the run waits on this station instead, and the student is
// told so. Only when even that fails does the program end, as it always has.
bool keepOnStation(Context ctx, const QString& path, const QByteArray& bytes, const IoFailure& failure) {
    SharedState& state = ctx.state;
    const Platform& platform = ctx.platform;
    const QString description =
        failure.description.isEmpty() ? QString::fromLocal8Bit(std::strerror(EIO)) : failure.description;
    const QString queuePath = recordQueuePath(state);
    const QueueWrite kept = queueRecord(platform, queuePath, bytes);
    switch (kept.outcome) {
    case QueueOutcome::Kept:
        state.RunKeptOnStation = 1;
        // A log-out or shutdown asked for meanwhile: nobody is there to read a message.
        if (platform.app && platform.app->stopping())
            return false;
        platform.messages->show(
            u"成績ファイルに記録できませんでした。\r\n"
            u"この記録はこのコンピューターに保存しました。"
            u"共有フォルダーが使えるようになると、成績ファイルに追加されます。\r\n\r\n"_s +
                description + u"\r\n"_s + path,
            messageTitle(state), MessageButtons::Ok, MessageIcon::Warning);
        return true;
    case QueueOutcome::Ending:
        return false;
    case QueueOutcome::Failed:
        break;
    }
    // Ended already: whatever ended it has said what there was to say.
    if (platform.app && platform.app->endRequested())
        return false;
    QString text =
        description + u"成績ランダムファイル記録"_s + u"\r\n"_s + path +
        u"\r\nこの記録はこのコンピューターにも保存できなかったため、プログラムを終了します。\r\n"_s +
        kept.error;
    if (!queuePath.isEmpty())
        text += u"\r\n"_s + queuePath;
    platform.messages->show(text, messageTitle(state), MessageButtons::Ok, MessageIcon::Critical);
    platform.app->endProgram();
    return false;
}

} // namespace

LockOutcome lockResultFile(const Platform& platform, int fd) {
    if (withRetries(
            platform, [&](IoFailure& failure) { return tryLock(platform, fd, failure); },
            [](const IoFailure&) { return false; }))
        return LockOutcome::Locked;
    return platform.app && platform.app->endRequested() ? LockOutcome::Ending : LockOutcome::Refused;
}

namespace {

bool storeRunRecord(Context ctx, const ResultRecord& record, const AppendOptions& options) {
    const QByteArray bytes = encodeRecord(record);
    const QString path = resultFilePath(ctx.state);
    const QByteArray name = nativeName(path);
    const QString queuePath = recordQueuePath(ctx.state);
    ctx.state.RunKeptOnStation = 0;
    // A log-out or shutdown meanwhile ends the program only once the record is stored.
    const AppControl::WriteInProgress writing(ctx.platform.app);
    bool gaveUp = false;
    const bool stored = withRetries(
        ctx.platform,
        [&](IoFailure& failure) {
            return tryStore(ctx.platform, name, queuePath, bytes, options.syncData, failure) ==
                   StoreOutcome::Written;
        },
        [&](const IoFailure& failure) {
            gaveUp = true;
            return keepOnStation(ctx, path, bytes, failure);
        });
    // An end asked for while the share was out of reach: the run waits on this station, and the
    // program ends without waiting any longer.
    if (!stored && !gaveUp && ctx.platform.app && ctx.platform.app->stopping())
        keepOnStation(ctx, path, bytes, IoFailure{});
    return stored;
}

} // namespace

// ---------------------------------------------------------------------------------------------
// Record codec

QByteArray encodeRecord(const ResultRecord& record) {
    QByteArray bytes(kRecordSize, '\0');
    char* out = bytes.data();
    qToLittleEndian(record.RunDate, out + offsets::kDate);
    qToLittleEndian(record.RunTimeOfDay, out + offsets::kTime);
    qToLittleEndian(record.StudentNumber, out + offsets::kStudent);
    qToLittleEndian(record.Level, out + offsets::kLevel);
    qToLittleEndian(record.Seconds, out + offsets::kSeconds);
    putBytes(out + offsets::kSiteCode, record.SiteCode, ' ');
    putBytes(out + offsets::kBlank, record.BlankField, ' ');
    putBytes(out + offsets::kPoints, record.PointsText, ' ');
    putBytes(out + offsets::kSpare, record.SpareField, '\0');
    return bytes;
}

ResultRecord decodeRecord(const char* bytes) {
    ResultRecord record;
    record.RunDate = offsets::date(bytes);
    record.RunTimeOfDay = offsets::timeOfDay(bytes);
    record.StudentNumber = offsets::student(bytes);
    record.Level = offsets::level(bytes);
    record.Seconds = offsets::seconds(bytes);
    record.SiteCode = QByteArray(bytes + offsets::kSiteCode, offsets::kTextBytes);
    record.BlankField = QByteArray(bytes + offsets::kBlank, offsets::kTextBytes);
    record.PointsText = QByteArray(bytes + offsets::kPoints, offsets::kTextBytes);
    record.SpareField = QByteArray(bytes + offsets::kSpare, offsets::kTextBytes);
    return record;
}

double oleDate(const QDate& date) {
    if (!date.isValid())
        return 0.0;
    return static_cast<double>(date.toJulianDay() - kOleEpochJulianDay);
}

double oleTimeOfDay(const QTime& time) {
    if (!time.isValid())
        return 0.0;
    return time.msecsSinceStartOfDay() / kMsPerDay;
}

QDate dateFromOle(double days) {
    // Far outside any calendar a run can have: no date rather than an overflow.
    if (!std::isfinite(days) || std::fabs(days) > 3.0e6)
        return {};
    return QDate::fromJulianDay(kOleEpochJulianDay + static_cast<qint64>(std::trunc(days)));
}

QTime timeFromOle(double dayFraction) {
    if (!std::isfinite(dayFraction) || std::fabs(dayFraction) > 3.0e6)
        return {};
    // Only the fraction counts, whatever the sign (the calendar's rule), to the nearest second.
    const double fraction = std::fabs(dayFraction - std::trunc(dayFraction));
    const int seconds = std::min(static_cast<int>(std::nearbyint(fraction * 86400.0)), 86399);
    return QTime::fromMSecsSinceStartOfDay(seconds * 1000);
}

QString resultFilePath(const SharedState& state) {
    return state.DataFolder + QString::fromUtf16(files::kResults);
}

// ---------------------------------------------------------------------------------------------
// Appending

bool AppendResultRecord(Context ctx) {
    return appendResultRecord(ctx, AppendOptions{});
}

bool appendResultRecord(Context ctx, const AppendOptions& options) {
    return storeRunRecord(ctx, currentRunRecord(ctx), options);
}

bool RecordRunResult(Context ctx, int level) {
    SharedState& state = ctx.state;
    const int student = state.StudentNumber;
    const int current = state.CurrentLevel;

    // The tables as last computed, that is without this run.
    state.PassFlag = 0;
    if (isLevelIndex(current) && isStudentNumber(student)) {
        const LevelCriteriaRow& criteria = state.LevelCriteria[static_cast<std::size_t>(current)];
        if (state.RunCountSoFar(current, student) >= criteria.ClearRuns &&
            state.PointsSoFar(current, student) >= criteria.ClearPoints)
            state.PassFlag = 1;
    }

    const bool indexable = isLevelIndex(level) && isStudentNumber(student);
    if (indexable && state.BestSeconds(level, student) > state.RunSeconds) {
        state.NewPersonalBest = 1;
        state.BestSeconds(level, student) = state.RunSeconds;
    }

    const ResultRecord record = currentRunRecord(ctx);
    if (!storeRunRecord(ctx, record, AppendOptions{}))
        return false;
    // A run kept on this station counts in the tables at once, so the end screen can show it
    // without another wait for the share; the next load rebuilds the tables.
    if (state.RunKeptOnStation != 0 && isStudentNumber(record.StudentNumber) && record.StudentNumber != 0 &&
        isLevelIndex(record.Level) && record.Level >= 1 && record.RunDate >= 0.0) {
        state.LoadedResults.push_back(LoadedResult{record.RunDate, record.RunTimeOfDay, record.StudentNumber,
                                                   record.Level, record.Seconds});
        state.LoadedResultCount = static_cast<std::int32_t>(state.LoadedResults.size());
    }

    // Every student counts here, also those above 1000 (the next load narrows it again).
    if (isLevelIndex(level) && state.BestSecondsAll[static_cast<std::size_t>(level)] > state.RunSeconds) {
        state.BestSecondsAll[static_cast<std::size_t>(level)] = state.RunSeconds;
        state.NewOverallBest = 1;
    }
    return true;
}

// ---------------------------------------------------------------------------------------------
// Loading

bool LoadResultRecords(Context ctx) {
    // The file is read before any table changes, so screens that run while the loader waits
    // for the file see the previous, consistent tables.
    const std::optional<Window> window = readWindow(ctx, kLoadWindow);
    if (!window)
        return false;

    SharedState& state = ctx.state;
    state.BestSeconds.fill(kNoRecordSeconds);
    state.LoadedResults.clear();
    state.LoadedResults.reserve(static_cast<std::size_t>(window->count()));

    const char* bytes = window->bytes.constData();
    for (std::int64_t i = 0, n = window->count(); i < n; ++i, bytes += kRecordSize) {
        LoadedResult entry;
        entry.StudentNumber = offsets::student(bytes);
        entry.Level = offsets::level(bytes);
        // A record no table has room for is left out (record maintenance still shows it), so
        // one damaged record cannot stop every station.
        if (!isStudentNumber(entry.StudentNumber) || !isLevelIndex(entry.Level))
            continue;
        entry.RunDate = offsets::date(bytes);
        entry.RunTimeOfDay = offsets::timeOfDay(bytes);
        entry.Seconds = offsets::seconds(bytes);

        std::int32_t& best = state.BestSeconds(entry.Level, entry.StudentNumber);
        if (best > entry.Seconds)
            best = entry.Seconds;
        if (entry.RunDate >= 0.0 && entry.StudentNumber != 0 && entry.Level >= 1)
            state.LoadedResults.push_back(entry);
    }
    state.LoadedResultCount = static_cast<std::int32_t>(state.LoadedResults.size());

    constexpr int kRankedStudents = 1000; // students above 1000 never take part in the overall best
    for (int level = 1; level <= kMaxLevel; ++level) {
        const std::int32_t* row = state.BestSeconds.row(level);
        state.BestSecondsAll[static_cast<std::size_t>(level)] =
            std::min(kNoRecordSeconds, *std::min_element(row + 1, row + kRankedStudents + 1));
    }
    return true;
}

std::optional<RecordRange> readNewestRecords(Context ctx, std::int64_t count) {
    const std::optional<Window> window = readWindow(ctx, count);
    if (!window)
        return std::nullopt;
    RecordRange range;
    range.total = window->total;
    range.first = window->first;
    range.records.reserve(static_cast<std::size_t>(window->count()));
    const char* bytes = window->bytes.constData();
    for (std::int64_t i = 0, n = window->count(); i < n; ++i, bytes += kRecordSize)
        range.records.push_back(decodeRecord(bytes));
    return range;
}

bool OpenResultFile(Context ctx, QFile& file) {
    const QString path = resultFilePath(ctx.state);
    const QByteArray name = nativeName(path);
    return withRetries(
        ctx.platform,
        [&](IoFailure& failure) {
            Descriptor fd(openFile(name, O_RDWR | O_CREAT));
            if (fd.get() >= 0) {
                file.close();
                if (file.open(fd.get(), QIODevice::ReadWrite, QFileDevice::AutoCloseHandle)) {
                    fd.release();
                    return true;
                }
                errno = EIO;
            }
            failure = failureOf(errno, kStepOpen);
            return false;
        },
        [&](const IoFailure& failure) {
            showLoadFailure(ctx, path, failure, 0);
            ctx.platform.app->endProgram();
            return false;
        });
}

} // namespace mirai
