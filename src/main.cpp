#include "Clock.h"
#include "Configuration.h"
#include "Context.h"
#include "DesktopPlatform.h"
#include "EventPump.h"
#include "FileSystem.h"
#include "PgResultStore.h"
#include "Platform.h"
#include "ProcessLauncher.h"
#include "ProgramScreens.h"
#include "QtPrintService.h"
#include "Random.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "Stage.h"
#include "TerminationSignals.h"
#include "UiSupport.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QScreen>
#include <QStandardPaths>
#include <QTranslator>

using namespace Qt::StringLiterals;

int main(int argc, char* argv[]) {
    // The database administrator's commands run without a window.
    {
        QStringList arguments;
        for (int i = 0; i < argc; ++i)
            arguments += QString::fromLocal8Bit(argv[i]);
        if (const std::optional<int> code = mirai::runStoreCommand(arguments, mirai::stationConfigFolder()))
            return *code;
    }
    // Full screen, scaled to the display, unless this station's own settings ask for a window.
    const mirai::DisplaySettings display = mirai::readDisplaySettings(mirai::stationConfigFolder());
    if (display.fullScreen)
        mirai::scaleToDisplay(argc, argv);
    QApplication application(argc, argv);
    mirai::forgetScaleFactor();
    // Qt's own dialogs (saving a file, printing) speak Japanese like the rest of the program.
    QTranslator qtTranslations;
    if (qtTranslations.load(QLocale(QLocale::Japanese, QLocale::Japan), u"qtbase"_s, u"_"_s,
                            QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTranslations);
    QApplication::setApplicationName(u"みらいドリル"_s);
    mirai::ui::installFontSubstitutions();
    QApplication::setFont(mirai::ui::uiFont(11));

    mirai::SystemClock clock;
    mirai::StandardRandom random;
    mirai::SdlMediaPlayer media;
    mirai::QtMessageBoxes messages;
    mirai::QtEventPump events;
    mirai::SystemFileSystem disk;
    mirai::QtProcessLauncher launcher;
    mirai::ScreenManager screens;
    mirai::QtAppControl app(screens);
    mirai::QtFileDialogs files;
    mirai::QtPrintService printing;

    mirai::Platform platform;
    platform.clock = &clock;
    platform.random = &random;
    platform.media = &media;
    platform.messages = &messages;
    platform.events = &events;
    platform.disk = &disk;
    platform.launcher = &launcher;
    platform.app = &app;
    platform.screens = &screens;
    platform.files = &files;
    platform.printing = &printing;

    auto state = std::make_unique<mirai::SharedState>();
    // Runs wait here, on this station, while the shared data folder is out of reach.
    if (const QString queue = QStandardPaths::writableLocation(QStandardPaths::AppLocalDataLocation);
        !queue.isEmpty())
        state->QueueFolder = queue + u"/"_s;
    state->StoreConnection = mirai::storeSetting(mirai::stationConfigFolder());
    mirai::Context ctx{*state, platform};

    // The screens sit in one full-screen window with the season colour around them.
    std::unique_ptr<mirai::Stage> stage;
    if (display.fullScreen) {
        stage = std::make_unique<mirai::Stage>([&state] { return mirai::ui::fromBgr(state->SeasonColour); });
        stage->setWindowTitle(QApplication::applicationName());
        // Without a window manager a full-screen request alone leaves the window small.
        if (const QScreen* display = QGuiApplication::primaryScreen())
            stage->setGeometry(display->geometry());
        stage->showFullScreen();
        screens.setStage(stage.get());
    }
    const QString appFolder = QCoreApplication::applicationDirPath();

    mirai::registerProgramScreens(screens, ctx, appFolder);

    // A log-out or shutdown closes every screen, after a record being written is stored.
    const mirai::TerminationSignals terminations([&app] { app.requestEnd(); });

    screens.show(mirai::screens::Firstfrm());
    if (app.endRequested())
        return 0;
    return QApplication::exec();
}
