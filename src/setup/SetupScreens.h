#pragma once

#include "Context.h"

#include <QString>

namespace mirai {

class ScreenManager;

// Registers the first-start set-up and the roster screen under their screen names. `appFolder` is
// the program's folder.
void registerSetupScreens(ScreenManager& manager, Context context, const QString& appFolder);

} // namespace mirai
