#include "Clock.h"
#include "Context.h"
#include "DesktopPlatform.h"
#include "DrillScreens.h"
#include "EventPump.h"
#include "FileLock.h"
#include "Firstfrm.h"
#include "Platform.h"
#include "ProcessLauncher.h"
#include "Random.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "TeacherScreens.h"
#include "UiSupport.h"
#include "namesel.h"
#include "seisekitime1.h"

#include <QApplication>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(u"みらいドリル"_s);
    mirai::ui::installFontSubstitutions();
    QApplication::setFont(mirai::ui::uiFont(11));

    mirai::SystemClock clock;
    mirai::StandardRandom random;
    mirai::SdlMediaPlayer media;
    mirai::QtMessageBoxes messages;
    mirai::QtEventPump events;
    mirai::OfdFileLocker locker;
    mirai::QtProcessLauncher launcher;
    mirai::ScreenManager screens;
    mirai::QtAppControl app(screens);
    mirai::QtFileDialogs files;

    mirai::Platform platform;
    platform.clock = &clock;
    platform.random = &random;
    platform.media = &media;
    platform.messages = &messages;
    platform.events = &events;
    platform.locker = &locker;
    platform.launcher = &launcher;
    platform.app = &app;
    platform.screens = &screens;
    platform.files = &files;

    auto state = std::make_unique<mirai::SharedState>();
    mirai::Context ctx{*state, platform};
    const QString appFolder = QCoreApplication::applicationDirPath();

    namespace names = mirai::screens;
    screens.registerScreen(names::Firstfrm(),
                           [ctx, appFolder] { return new mirai::Firstfrm(ctx, appFolder); });
    mirai::registerDrillScreens(screens, ctx);
    mirai::registerNameSelection(screens, ctx);
    mirai::registerResultsScreen(screens, ctx);
    mirai::registerTeacherScreens(screens, ctx);

    screens.show(names::Firstfrm());
    if (app.endRequested())
        return 0;
    return QApplication::exec();
}
