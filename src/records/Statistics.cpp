#include "Statistics.h"

#include "Clock.h"
#include "NumberText.h"
#include "Platform.h"
#include "ResultRecords.h"
#include "SharedState.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <limits>

namespace mirai {

namespace {

constexpr std::int32_t kFinishedBelow = 6000; // a run below this many seconds is a finished run
constexpr std::int32_t kNoPointsFrom = 99998; // time-outs and failures score nothing

std::int32_t clampToInt32(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

// A damaged file or an odd factor must not overflow a sum; the table keeps its limit.
void addSaturating(std::int32_t& cell, std::int32_t value) {
    const std::int64_t sum = static_cast<std::int64_t>(cell) + value;
    cell = static_cast<std::int32_t>(std::clamp<std::int64_t>(sum, std::numeric_limits<std::int32_t>::min(),
                                                              std::numeric_limits<std::int32_t>::max()));
}

// The criteria of one level as the computation uses them.
struct LevelRule {
    std::int32_t target = 0;
    float factor = 0.0f;
    double passFrom = 0.0;    // a run dated after this moment lies in the pass period
    double overuseFrom = 0.0; // ... in the overuse period
};

} // namespace

std::int32_t basePoints(std::int32_t seconds, std::int32_t targetSeconds) {
    if (seconds >= kNoPointsFrom || targetSeconds <= 0)
        return 0;
    const std::int64_t t = seconds;
    const std::int64_t c = targetSeconds;
    if (t <= c) {
        const double share = static_cast<double>(c - t) / static_cast<double>(c);
        return clampToInt32(Int(share * share * share * 50.0 + 5.0));
    }
    if (t < 2 * c)
        return 4;
    if (t < 10 * c)
        return 1;
    return 0;
}

std::int32_t applyPointFactor(std::int32_t base, float factor) {
    // Single precision, as the factor is stored: 10 × 0.7 gives 7, not 6.999….
    const float product = static_cast<float>(base) * factor;
    return clampToInt32(Int(static_cast<double>(product)));
}

std::int32_t RunPoints(const SharedState& state, std::int32_t seconds, int level) {
    if (!isLevelIndex(level))
        return 0;
    const LevelCriteriaRow& criteria = state.LevelCriteria[static_cast<std::size_t>(level)];
    return applyPointFactor(basePoints(seconds, criteria.TargetSeconds), criteria.PointFactor);
}

namespace {

void clearStatistics(SharedState& state) {
    LevelStudentTable<std::int32_t>* const tables[] = {
        &state.RunCountToday,         &state.PointsToday,        &state.RunCountSoFar,
        &state.PointsSoFar,           &state.RunCountPassPeriod, &state.PointsPassPeriod,
        &state.RunCountOverusePeriod, &state.PointsOverusePeriod};
    for (LevelStudentTable<std::int32_t>* table : tables)
        table->fill(0);
}

// `now` is one reading of the clock, so one pass never mixes two days.
void tallyLoadedResults(SharedState& state, const QDateTime& now) {
    const double today = oleDate(now.date());
    const double moment = today + oleTimeOfDay(now.time());

    // Periods count back whole days from now; a broken value (text, negative, huge) only moves
    // the boundary: a NaN boundary admits nothing.
    std::array<LevelRule, kLevelRows> rules{};
    for (int level = 1; level <= kMaxLevel; ++level) {
        const LevelCriteriaRow& criteria = state.LevelCriteria[static_cast<std::size_t>(level)];
        LevelRule& rule = rules[static_cast<std::size_t>(level)];
        rule.target = criteria.TargetSeconds;
        rule.factor = criteria.PointFactor;
        rule.passFrom = moment - criteria.PassPeriodDays.toDouble();
        rule.overuseFrom = moment - criteria.OverusePeriodDays.toDouble();
    }

    for (const LoadedResult& entry : state.LoadedResults) {
        const int level = entry.Level;
        const int student = entry.StudentNumber;
        if (level < 1 || level > kMaxLevel || !isStudentNumber(student))
            continue;
        const LevelRule& rule = rules[static_cast<std::size_t>(level)];
        const std::int32_t seconds = entry.Seconds;
        const bool finished = seconds < kFinishedBelow;
        const std::int32_t points = applyPointFactor(basePoints(seconds, rule.target), rule.factor);
        const double date = entry.RunDate;

        if (finished)
            ++state.RunCountSoFar(level, student);
        if (date > rule.passFrom) {
            if (finished)
                ++state.RunCountPassPeriod(level, student);
            addSaturating(state.PointsPassPeriod(level, student), points);
        }
        if (date > rule.overuseFrom) {
            if (finished)
                ++state.RunCountOverusePeriod(level, student);
            addSaturating(state.PointsOverusePeriod(level, student), points);
        }
        addSaturating(state.PointsSoFar(level, student), points);
        if (date == today) {
            if (finished)
                ++state.RunCountToday(level, student);
            addSaturating(state.PointsToday(level, student), points);
        }
    }
}

} // namespace

bool ComputeResultStatistics(Context ctx) {
    const QDateTime now = ctx.platform.clock->now();
    clearStatistics(ctx.state);
    if (!LoadResultRecords(ctx))
        return false;
    tallyLoadedResults(ctx.state, now);
    return true;
}

bool overuseLimitReached(const SharedState& state, int level, int student) {
    if (level < 1 || level > kMaxLevel || !isStudentNumber(student))
        return false;
    const LevelCriteriaRow& row = state.LevelCriteria[static_cast<std::size_t>(level)];
    const double runLimit = row.OveruseRuns.toDouble();
    const double pointLimit = row.OverusePoints.toDouble();
    return (runLimit != 0 && state.RunCountOverusePeriod(level, student) >= runLimit) ||
           (pointLimit != 0 && state.PointsOverusePeriod(level, student) >= pointLimit);
}

void ComputeStatisticsFromLoadedResults(Context ctx) {
    clearStatistics(ctx.state);
    tallyLoadedResults(ctx.state, ctx.platform.clock->now());
}

} // namespace mirai
