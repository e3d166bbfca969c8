#include "GuiBenchMain.h"

#include "UiSupport.h"

#include <QApplication>
#include <benchmark/benchmark.h>

namespace mirai::bench {

int runWithScreens(int argc, char** argv, const std::function<void()>& beforeExit) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    ui::installFontSubstitutions();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    if (beforeExit)
        beforeExit();
    return 0;
}

} // namespace mirai::bench
