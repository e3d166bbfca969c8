#pragma once

#include <QString>
#include <cstdint>

namespace mirai {

struct SharedState;

// Points of the run just finished: base points against the level's target time, then the
// level's factor (the whole seconds count, unlike the three-digit rule of the statistics).
struct EndRunPoints {
    std::int32_t base = 0;
    std::int32_t points = 0;
};
EndRunPoints endRunPoints(std::int32_t runSeconds, std::int32_t targetSeconds, float pointFactor);

// "獲得ポイント：11点×1→11点"
QString pointsLine(const EndRunPoints& points, float pointFactor);
// "今の成績：83秒", or "記録なし" after a time-out.
QString timeLine(std::int32_t runSeconds);
// " (このレベル　3回目)" and "（5回目)"
QString levelRunsLine(double runsOfLevelToday);
QString dayRunsLine(std::int16_t runsToday);

// The level's targets within the pass period are met (current level, current student).
bool levelCleared(const SharedState& state);
// Some level 1..35 has ClearRuns 9999: no course-cleared banner.
bool courseBannerSuppressed(const SharedState& state);

// The message line and the sound that go with the run.
enum class EndSound { None, OverallBest, PersonalBest, MinimumLine };
struct EndMessage {
    QString text; // empty: Label20 stays hidden
    EndSound sound = EndSound::None;
};
EndMessage endMessage(const SharedState& state);

// The final level was cleared for the first time by this run.
bool courseClearedNow(const SharedState& state);

// What the button delay does with "もう一度" and the level label.
struct ButtonChoice {
    bool showAgain = true;    // Command5
    bool changeLabel = false; // Label2 takes `label2Text`
    QString label2Text;
    bool hideLabel2 = false;
};
ButtonChoice buttonChoice(const SharedState& state);

} // namespace mirai
