#pragma once

#include "Context.h"

namespace mirai {

class ScreenManager;

// Registers the drill screen, the backdrop, the end screen and the version dialog.
void registerDrillScreens(ScreenManager& screens, Context ctx);

} // namespace mirai
