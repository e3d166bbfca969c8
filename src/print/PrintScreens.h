#pragma once

#include "Context.h"

namespace mirai {

class ScreenManager;

// The preparation screen fills the left strip of the display, as wide as the space left of the
// print screen's preview box; the print screen stands right of the strip.
constexpr int kLeftStripTwips = 3690;

// Registers the worksheet preparation and the print screen; both share one print state that
// lives as long as the registration.
void registerPrintScreens(ScreenManager& screens, Context ctx);

} // namespace mirai
