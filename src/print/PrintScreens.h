#pragma once

#include "Context.h"

namespace mirai {

class ScreenManager;

// Registers the worksheet preparation and the print screen; both share one print state that
// lives as long as the registration.
void registerPrintScreens(ScreenManager& screens, Context ctx);

} // namespace mirai
