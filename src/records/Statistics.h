#pragma once

#include "Context.h"

#include <cstdint>

namespace mirai {

struct SharedState;

// Base points of a run of t seconds against a target of c seconds (before the level's factor).
// 0 for a time-out (99998 and above) and for a target of 0 or less.
std::int32_t basePoints(std::int32_t seconds, std::int32_t targetSeconds);

// Base points times a level's factor, rounded down; the product is taken in single precision,
// the precision of the factor.
std::int32_t applyPointFactor(std::int32_t base, float factor);

// Points of one run at a level: base points times the level's factor, rounded down.
std::int32_t RunPoints(const SharedState& state, std::int32_t seconds, int level);

// The level's runs or points within its overuse period have reached a limit that is set (a limit
// of 0 is no limit). False for a level or student outside the tables.
bool overuseLimitReached(const SharedState& state, int level, int student);

// Rebuilds the eight statistic tables from the newest records (and, through the loader, the best
// times). False when the program is ending.
bool ComputeResultStatistics(Context ctx);

// Rebuilds the eight statistic tables from the records in memory, without reading the file: for
// a run just kept on this station because the shared file was out of reach.
void ComputeStatisticsFromLoadedResults(Context ctx);

} // namespace mirai
