#include "TeacherScreens.h"

#include "FrmData.h"
#include "FrmTimeData.h"
#include "ScreenManager.h"
#include "ScreenNames.h"

namespace mirai {

void registerTeacherScreens(ScreenManager& manager, Context context) {
    manager.registerScreen(screens::FrmData(), [context] { return new FrmData(context); });
    manager.registerScreen(screens::FrmTimeData(), [context] { return new FrmTimeData(context); });
}

} // namespace mirai
