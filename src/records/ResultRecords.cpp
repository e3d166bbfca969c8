#include "ResultRecords.h"

#include "AnswerLog.h"
#include "AppControl.h"
#include "Clock.h"
#include "Configuration.h"
#include "Cp932.h"
#include "FileResultStore.h"
#include "MessageBoxes.h"
#include "PgResultStore.h"
#include "Platform.h"
#include "RecordOffsets.h"
#include "SharedState.h"
#include "StoreMessages.h"

#include <QtEndian>
#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

// 30 December 1899, day 0 of the OLE Automation calendar.
constexpr qint64 kOleEpochJulianDay = 2415019;
constexpr double kMsPerDay = 86400000.0;

void putBytes(char* out, const QByteArray& field, char pad) {
    const int n = static_cast<int>(std::min<qsizetype>(field.size(), offsets::kTextBytes));
    std::memcpy(out, field.constData(), static_cast<std::size_t>(n));
    std::memset(out + n, pad, static_cast<std::size_t>(offsets::kTextBytes - n));
}

QString messageTitle(const SharedState& state) {
    return state.ProgramTitle.isEmpty() ? u"みらいドリル"_s : state.ProgramTitle;
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

bool ending(const Platform& platform) {
    return platform.app && platform.app->endRequested();
}

// Stores a run, or keeps it on this station when the share cannot take it (the student is told,
// unless a log-out is under way). Only when even that fails does the program end, as it always
// has.
// The run's answers as the answer log keeps them, each with the run's id, date, time of day,
// student and level as `record` has them.
QByteArray runAnswers(const SharedState& state, const ResultRecord& record) {
    QByteArray bytes;
    bytes.reserve(static_cast<qsizetype>(state.RunAnswers.size()) * answerlog::kRecordSize);
    const QTime time = timeFromOle(record.RunTimeOfDay);
    for (LoggedAnswer answer : state.RunAnswers) {
        answer.runId = state.RunId;
        answer.runDay = static_cast<std::int32_t>(record.RunDate);
        answer.runSecond = time.isValid() ? time.msecsSinceStartOfDay() / 1000 : 0;
        answer.student = record.StudentNumber;
        answer.level = record.Level;
        bytes += answerlog::encode(answer);
    }
    return bytes;
}

bool storeRunRecord(Context ctx, const ResultRecord& record, const AppendOptions& options) {
    SharedState& state = ctx.state;
    const Platform& platform = ctx.platform;
    state.RunKeptOnStation = 0;
    std::unique_ptr<ResultStore> store = openResultStore(ctx);
    if (auto* files = dynamic_cast<FileResultStore*>(store.get()))
        files->setSyncAppends(options.syncData);
    const StoreResult<Appended> appended =
        store->append(StoredRun{encodeRecord(record), runAnswers(state, record), state.RunId});
    state.RunAnswers.clear();
    if (appended && appended->keptOnStation) {
        state.RunKeptOnStation = 1;
        if (ending(platform) || (platform.app && platform.app->stopping()))
            return false;
        platform.messages->show(keptOnStationMessage(appended->why), messageTitle(state), MessageButtons::Ok,
                                MessageIcon::Warning);
        return !ending(platform);
    }
    if (appended)
        return !ending(platform);
    // Ended already, or ending: whatever ended it has said what there was to say.
    if (ending(platform) || appended.error().kind == StoreErrorKind::Ending)
        return false;
    platform.messages->show(storeErrorMessage(appended.error()), messageTitle(state), MessageButtons::Ok,
                            MessageIcon::Critical);
    platform.app->endProgram();
    return false;
}

// The station's own picture of the newest `count` records while the share is away: what the
// last load read, then the runs waiting on this station.
RecordWindow cachedWindow(const SharedState& state, const QByteArray& queued, std::int64_t count) {
    RecordWindow window;
    const QByteArray all = state.ResultsWindowCache + queued;
    const std::int64_t have = all.size() / kRecordSize;
    const std::int64_t wanted = std::clamp<std::int64_t>(count, 0, have);
    window.total = state.ResultsCacheTotal + queued.size() / kRecordSize;
    window.first = window.total - wanted + 1;
    window.bytes = all.right(static_cast<qsizetype>(wanted * kRecordSize));
    return window;
}

// The newest `count` records for the loader and the lists. The runs waiting on this station go
// first; a share out of reach after a first load leaves the station with what it knows.
std::optional<RecordWindow> readRecent(Context ctx, std::int64_t count) {
    SharedState& state = ctx.state;
    const Platform& platform = ctx.platform;
    // While the share is known to be away, one try is enough before going on without it.
    std::unique_ptr<ResultStore> store = openResultStore(ctx, state.ShareAway == 0);
    store->replay();
    StoreResult<RecordWindow> window = store->readNewest(count);
    if (window) {
        state.ShareAway = 0;
        // The loader's window is what the station goes on with should the share go away.
        if (count >= kLoadWindow) {
            state.ResultsLoaded = true;
            state.ResultsWindowCache = window->bytes.right(kLoadWindow * kRecordSize);
            state.ResultsCacheTotal = window->total;
        }
        return std::move(*window);
    }
    if (ending(platform) || window.error().kind == StoreErrorKind::Ending)
        return std::nullopt;
    if (!state.ResultsLoaded) {
        // Nothing to go on with yet: the first load ends the program, as it always has.
        platform.messages->show(storeErrorMessage(window.error()), messageTitle(state), MessageButtons::Ok,
                                MessageIcon::Critical);
        platform.app->endProgram();
        return std::nullopt;
    }
    state.ShareAway = 1;
    return cachedWindow(state, store->queuedRecords(), count);
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

// ---------------------------------------------------------------------------------------------
// Appending

QString resultFilePath(const SharedState& state) {
    return state.DataFolder + QString::fromUtf16(files::kResults);
}

std::unique_ptr<ResultStore> openResultStore(Context ctx, bool patient) {
    if (!ctx.state.StoreConnection.isEmpty()) {
        PgStoreSettings settings = PgStoreSettings::of(ctx.state);
        if (!patient)
            settings.connectSeconds = 2;
        return std::make_unique<PgResultStore>(ctx.platform, std::move(settings));
    }
    RetryPolicy policy;
    if (!patient)
        policy.transientAttempts = 1;
    return std::make_unique<FileResultStore>(ctx.platform, StorePaths::of(ctx.state), policy);
}

std::int64_t queuedRecordCount(Context ctx) {
    return openResultStore(ctx)->queuedCount();
}

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

bool RecordLeftRun(Context ctx) {
    SharedState& state = ctx.state;
    if (state.RunAnswers.empty())
        return true;
    const QByteArray answers = runAnswers(state, currentRunRecord(ctx));
    state.RunAnswers.clear();
    // Quietly: the program is ending, or the student is gone; the answers wait on the station
    // when the share cannot take them.
    const StoreResult<Appended> stored = openResultStore(ctx)->append(StoredRun{{}, answers, state.RunId});
    return stored.ok();
}

// ---------------------------------------------------------------------------------------------
// Loading

bool LoadResultRecords(Context ctx) {
    // The file is read before any table changes, so screens that run while the loader waits
    // for the file see the previous, consistent tables.
    const std::optional<RecordWindow> window = readRecent(ctx, kLoadWindow);
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
    const std::optional<RecordWindow> window = readRecent(ctx, count);
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

} // namespace mirai
