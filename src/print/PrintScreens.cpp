#include "PrintScreens.h"

#include "FormPrint0.h"
#include "PrintTable.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "frmPrint.h"

namespace mirai {

void registerPrintScreens(ScreenManager& screens, Context ctx) {
    auto print = std::make_shared<PrintState>();
    screens.registerScreen(screens::FormPrint0(), [ctx, print] { return new FormPrint0(ctx, print); });
    screens.registerScreen(screens::frmPrint(), [ctx, print] { return new frmPrint(ctx, print); });
}

} // namespace mirai
