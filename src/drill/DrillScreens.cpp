#include "DrillScreens.h"

#include "BASEFRM.h"
#include "FrmSyuuryou.h"
#include "MainFrm.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "frmver.h"

namespace mirai {

void registerDrillScreens(ScreenManager& screens, Context ctx) {
    screens.registerScreen(screens::MainFrm(), [ctx] { return new MainFrm(ctx); });
    screens.registerScreen(screens::BASEFRM(), [] { return new BASEFRM; });
    screens.registerScreen(screens::FrmSyuuryou(), [ctx] { return new FrmSyuuryou(ctx); });
    screens.registerScreen(screens::frmver(), [ctx] { return new frmver(ctx); });
}

} // namespace mirai
