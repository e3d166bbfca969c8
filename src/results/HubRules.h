#pragma once

#include "Roster.h" // isTeacherName

#include <QString>
#include <cstdint>
#include <vector>

namespace mirai {

struct SharedState;

// Width of one level column in twips: the columns share 14592 twips.
int columnWidthTwips(int levelCount);

// Figures of a level column: "3回/12点", or dashes when there was no finished run.
QString todayFiguresText(const SharedState& state, int level, int student);
QString soFarFiguresText(const SharedState& state, int level, int student);
// "最近7日=2回 / 9点"
QString passPeriodLine(const SharedState& state, int level, int student);
// "目標=120秒 5回/100点(×1)", or "目標=120秒 --------" for a level without a points target.
QString targetLine(const SharedState& state, int level);
// "本日総回数＝5回": runs today over every level.
QString todayTotalText(const SharedState& state, int student);
// "起動後12分"
QString minutesSinceStartText(double secondsSinceMidnight, std::int32_t sessionStart);

// The student has met a level's targets within its pass period: its points and its runs.
bool levelCleared(const SharedState& state, int level, int student);
// 1 when the student has met the final level's targets within its pass period.
std::int16_t requiredRunsCleared(const SharedState& state, int student);
// Levels 1..levelCount that may not be started now ("やりすぎ禁止"): overused levels, except the
// last one, while the final level's targets are not met. Index 0 is unused.
std::vector<bool> blockedLevels(const SharedState& state, int student, int levelCount,
                                std::int16_t requiredCleared);

} // namespace mirai
