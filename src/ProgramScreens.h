#pragma once

#include "Context.h"

#include <QString>

namespace mirai {

class ScreenManager;

// Registers every screen of the program under its name. `appFolder` is the executable's folder,
// where the splash screen starts looking for the configuration.
void registerProgramScreens(ScreenManager& screens, Context ctx, const QString& appFolder);

} // namespace mirai
