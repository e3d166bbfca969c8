#include "DrillFlow.h"

#include "AppControl.h"
#include "Clock.h"
#include "EventPump.h"
#include "NumberText.h"
#include "Platform.h"
#include "ScreenManager.h"
#include "ScreenNames.h"
#include "SharedState.h"

#include <QRandomGenerator>
#include <QThread>

namespace mirai {

bool StartRun(Context ctx) {
    SharedState& state = ctx.state;
    state.RunFinished = 0;
    state.Recording = 0;
    state.JudgingBusy = 0;
    state.PlusMode = 0;
    state.CorrectCount = 0;
    state.TimedOut = 0;
    state.RunAnswers.clear();
    // An id no other run of any station has: a replay of the answers from a station's queue
    // knows by it which are stored already.
    state.RunId = QRandomGenerator::system()->generate64();
    ctx.platform.events->processEvents();
    if (ctx.platform.app->endRequested())
        return false;
    ctx.platform.screens->show(screens::MainFrm());
    return !ctx.platform.app->endRequested();
}

bool WaitSeconds(Context ctx, double seconds) {
    const Platform& platform = ctx.platform;
    std::int64_t t0 = platform.clock->tickMs();
    std::int64_t steps = 0;
    for (;;) {
        const std::int64_t t = platform.clock->tickMs();
        const std::int64_t d = t - t0;
        if (d > 10) {
            ++steps;
            if (static_cast<double>(steps) * 10.0 / 1000.0 >= seconds)
                return true;
            t0 = t - (d - 10);
        }
        platform.events->processEvents();
        if (platform.app->endRequested())
            return false;
        // Keeps the wait from spinning a core while nothing is pending.
        QThread::usleep(500);
    }
}

std::int32_t minutesSinceSessionStart(double secondsSinceMidnight, std::int32_t sessionStart) {
    double seconds = Int(secondsSinceMidnight) - sessionStart;
    if (seconds < 0)
        seconds += 86400.0;
    return static_cast<std::int32_t>(Int(seconds) / 60);
}

std::int32_t elapsedRunSeconds(std::int64_t nowMs, std::int64_t runStartMs) {
    return toInt32(static_cast<double>(nowMs - runStartMs) / 1000.0);
}

std::int16_t runsTodayOfStudent(const SharedState& state, int lastLevel) {
    if (!isStudentNumber(state.StudentNumber))
        return 0;
    double total = 0;
    for (int level = 1; level <= lastLevel && level <= kMaxLevel; ++level)
        total += state.RunCountToday(level, state.StudentNumber);
    return toInt16(total);
}

} // namespace mirai
