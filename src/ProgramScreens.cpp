#include "ProgramScreens.h"

#include "DrillScreens.h"
#include "Firstfrm.h"
#include "PrintScreens.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SetupScreens.h"
#include "TeacherScreens.h"
#include "namesel.h"
#include "seisekitime1.h"

namespace mirai {

void registerProgramScreens(ScreenManager& screens, Context ctx, const QString& appFolder) {
    screens.registerScreen(screens::Firstfrm(), [ctx, appFolder] { return new Firstfrm(ctx, appFolder); });
    registerDrillScreens(screens, ctx);
    registerNameSelection(screens, ctx);
    registerResultsScreen(screens, ctx);
    registerPrintScreens(screens, ctx);
    registerTeacherScreens(screens, ctx);
    registerSetupScreens(screens, ctx, appFolder);
}

} // namespace mirai
