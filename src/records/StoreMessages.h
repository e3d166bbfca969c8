#pragma once

#include "ResultStore.h"

#include <QString>

namespace mirai {

// The text the user is shown for a store's failure, in the system's own words; empty when there
// is nothing to say (the program is ending). What follows the text (a box, the end of the
// program, nothing) is the caller's choice.
QString storeErrorMessage(const StoreError& error);

// The notice of a run kept on this station because the share could not take it (`why`).
QString keptOnStationMessage(const StoreError& why);

// What a teacher is told when a delete cut short on some station was completed meanwhile.
QString completedDeleteMessage(std::int64_t record);

// The step number the loader's messages show: how far loading had got.
int loadStepNumber(StoreStep step);

} // namespace mirai
