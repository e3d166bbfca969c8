#pragma once

#include "Context.h"

#include <optional>
#include <vector>

namespace mirai {

// The number a new entry gets: the lowest from 1 to 5000 that no roster record holds and no stored
// run refers to (runs refer to the number, so it is never given to someone else). Both tables are
// indexed by number 0..5000. nullopt when every number is taken.
std::optional<int> nextFreeNumber(const std::vector<bool>& inRoster, const std::vector<bool>& withRuns);

// The numbers 0..5000 that have runs in the result file, by one reading of it. nullopt when it
// cannot be read (a message has been shown, or the program is ending).
std::optional<std::vector<bool>> numbersWithRuns(Context ctx);

} // namespace mirai
