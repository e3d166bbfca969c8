#include "EndScreenRules.h"

#include "NumberText.h"
#include "SharedState.h"
#include "Statistics.h"

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

const LevelCriteriaRow* currentRow(const SharedState& state) {
    if (state.CurrentLevel < 1 || state.CurrentLevel > kMaxLevel)
        return nullptr;
    return &state.LevelCriteria[static_cast<std::size_t>(state.CurrentLevel)];
}

bool studentIsValid(const SharedState& state) {
    return isStudentNumber(state.StudentNumber);
}

} // namespace

EndRunPoints endRunPoints(std::int32_t runSeconds, std::int32_t targetSeconds, float pointFactor) {
    EndRunPoints result;
    result.base = basePoints(runSeconds, targetSeconds);
    result.points = applyPointFactor(result.base, pointFactor); // the same product as the statistics
    return result;
}

QString pointsLine(const EndRunPoints& points, float pointFactor) {
    return u"獲得ポイント："_s + QString::number(points.base) + u"点×"_s + numberText(pointFactor) + u"→"_s +
           QString::number(points.points) + u"点"_s;
}

QString timeLine(std::int32_t runSeconds) {
    if (runSeconds >= 99998)
        return u"記録なし"_s;
    return u"今の成績："_s + QString::number(runSeconds) + u"秒"_s;
}

QString levelRunsLine(double runsOfLevelToday) {
    return u" (このレベル　"_s + numberText(runsOfLevelToday) + u"回目)"_s;
}

QString dayRunsLine(std::int16_t runsToday) {
    return u"（"_s + QString::number(runsToday) + u"回目)"_s;
}

bool levelCleared(const SharedState& state) {
    const LevelCriteriaRow* row = currentRow(state);
    if (!row || !studentIsValid(state))
        return false;
    return state.PointsPassPeriod(state.CurrentLevel, state.StudentNumber) >= row->ClearPoints &&
           state.RunCountPassPeriod(state.CurrentLevel, state.StudentNumber) >= row->ClearRuns;
}

bool courseBannerSuppressed(const SharedState& state) {
    for (int level = 1; level <= kMaxLevel; ++level)
        if (state.LevelCriteria[static_cast<std::size_t>(level)].ClearRuns == 9999)
            return true;
    return false;
}

EndMessage endMessage(const SharedState& state) {
    if (state.TimedOut == 1)
        return {u"時間切れ"_s, EndSound::None};
    if (state.NewOverallBest == 1)
        return {u"！！！最高新記録！！！"_s, EndSound::OverallBest};
    if (state.NewPersonalBest == 1)
        return {u"新記録おめでとう"_s, EndSound::PersonalBest};
    const LevelCriteriaRow* row = currentRow(state);
    if (row && state.RunSeconds <= row->MinimumLineSeconds)
        return {QString(), EndSound::MinimumLine};
    return {};
}

bool courseClearedNow(const SharedState& state) {
    return state.FinalLevel == state.CurrentLevel && levelCleared(state) && state.PassFlag == 0;
}

ButtonChoice buttonChoice(const SharedState& state) {
    ButtonChoice choice;
    if (!(overuseLimitReached(state, state.CurrentLevel, state.StudentNumber) && levelCleared(state)))
        return choice;
    if (state.FinalLevel == state.CurrentLevel) {
        choice.changeLabel = true;
        choice.hideLabel2 = true;
        return choice;
    }
    if (state.RequiredRunsCleared == 0) {
        choice.changeLabel = true;
        choice.label2Text = u"次のレベルへ進みましょう"_s;
        choice.showAgain = false;
    }
    return choice;
}

} // namespace mirai
