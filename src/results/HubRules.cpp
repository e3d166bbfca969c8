#include "HubRules.h"

#include "DrillFlow.h"
#include "NumberText.h"
#include "SharedState.h"
#include "Statistics.h"

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

bool validCell(int level, int student) {
    return level >= 1 && level <= kMaxLevel && isStudentNumber(student);
}

} // namespace

int columnWidthTwips(int levelCount) {
    return levelCount > 0 ? 14592 / levelCount : 14592;
}

QString todayFiguresText(const SharedState& state, int level, int student) {
    if (!validCell(level, student) || state.RunCountToday(level, student) == 0)
        return u"-----"_s;
    return numberText(state.RunCountToday(level, student)) + u"回/"_s +
           numberText(state.PointsToday(level, student)) + u"点"_s;
}

QString soFarFiguresText(const SharedState& state, int level, int student) {
    if (!validCell(level, student) || state.RunCountSoFar(level, student) == 0)
        return u"------"_s;
    return numberText(state.RunCountSoFar(level, student)) + u"回/"_s +
           numberText(state.PointsSoFar(level, student)) + u"点"_s;
}

QString passPeriodLine(const SharedState& state, int level, int student) {
    if (!validCell(level, student))
        return {};
    return u"最近"_s + state.LevelCriteria[static_cast<std::size_t>(level)].PassPeriodDays.toText() +
           u"日="_s + numberText(state.RunCountPassPeriod(level, student)) + u"回 / "_s +
           numberText(state.PointsPassPeriod(level, student)) + u"点"_s;
}

QString targetLine(const SharedState& state, int level) {
    if (level < 1 || level > kMaxLevel)
        return {};
    const LevelCriteriaRow& row = state.LevelCriteria[static_cast<std::size_t>(level)];
    const QString target = u"目標="_s + numberText(row.TargetSeconds) + u"秒"_s;
    if (row.ClearPoints == 9999)
        return target + u" --------"_s;
    return target + u' ' + numberText(row.ClearRuns) + u"回/"_s + numberText(row.ClearPoints) + u"点(×"_s +
           numberText(row.PointFactor) + u')';
}

QString todayTotalText(const SharedState& state, int student) {
    std::int64_t total = 0;
    if (isStudentNumber(student)) {
        for (int level = 1; level <= kMaxLevel; ++level)
            total += state.RunCountToday(level, student);
    }
    return u"本日総回数＝"_s + numberText(total) + u"回"_s;
}

QString minutesSinceStartText(double secondsSinceMidnight, std::int32_t sessionStart) {
    return u"起動後"_s + numberText(minutesSinceSessionStart(secondsSinceMidnight, sessionStart)) + u"分"_s;
}

bool levelCleared(const SharedState& state, int level, int student) {
    if (!validCell(level, student))
        return false;
    const LevelCriteriaRow& row = state.LevelCriteria[static_cast<std::size_t>(level)];
    return state.PointsPassPeriod(level, student) >= row.ClearPoints &&
           state.RunCountPassPeriod(level, student) >= row.ClearRuns;
}

std::int16_t requiredRunsCleared(const SharedState& state, int student) {
    return levelCleared(state, state.FinalLevel, student) ? 1 : 0;
}

std::vector<bool> blockedLevels(const SharedState& state, int student, int levelCount,
                                std::int16_t requiredCleared) {
    std::vector<bool> blocked(static_cast<std::size_t>(std::max(levelCount, 0)) + 1, false);
    if (requiredCleared != 0)
        return blocked;
    // The last level stays open whatever the student did: there is always something to practise.
    for (int level = 1; level < levelCount; ++level)
        blocked[static_cast<std::size_t>(level)] = overuseLimitReached(state, level, student);
    return blocked;
}

} // namespace mirai
