#pragma once

#include "Context.h"

#include <cstdint>

namespace mirai {

struct SharedState;

// Starts a run of CurrentLevel: resets the run flags and shows the drill screen. False when
// the program is ending.
bool StartRun(Context ctx);

// Waits n seconds in 10 ms steps of the tick counter while window events keep running.
// False when the program is ending; callers check their screen still exists.
bool WaitSeconds(Context ctx, double seconds);

// Whole minutes since SessionStart; a session that went on past midnight keeps counting.
std::int32_t minutesSinceSessionStart(double secondsSinceMidnight, std::int32_t sessionStart);

// Seconds of the run from the tick counter, rounded to the nearest (halves to even).
std::int32_t elapsedRunSeconds(std::int64_t nowMs, std::int64_t runStartMs);

// Runs of the student today over levels 1..lastLevel, as a 16-bit whole number.
std::int16_t runsTodayOfStudent(const SharedState& state, int lastLevel);

} // namespace mirai
