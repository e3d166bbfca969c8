#include "SetupScreens.h"

#include "Configuration.h"
#include "FrmRoster.h"
#include "FrmSetup.h"
#include "ScreenManager.h"
#include "ScreenNames.h"

namespace mirai {

void registerSetupScreens(ScreenManager& manager, Context context, const QString& appFolder) {
    manager.registerScreen(screens::FrmSetup(), [context, appFolder] {
        return new FrmSetup(context,
                            SetupPlaces{appFolder, stationConfigFolder(), findDefaultsFolder(appFolder)});
    });
    manager.registerScreen(screens::FrmRoster(), [context] { return new FrmRoster(context); });
}

} // namespace mirai
