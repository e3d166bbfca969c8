#pragma once

#include "Context.h"

namespace mirai {

class ScreenManager;

// Registers the record maintenance screen and the criteria editor under their screen names.
void registerTeacherScreens(ScreenManager& manager, Context context);

} // namespace mirai
