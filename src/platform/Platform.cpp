#include "Platform.h"

#include "AppControl.h"
#include "Clock.h"
#include "EventPump.h"

#include <QThread>

namespace mirai {

void waitWhilePumping(const Platform& platform, int ms) {
    const std::int64_t start = platform.clock->tickMs();
    while (platform.clock->tickMs() - start < ms) {
        platform.events->processEvents();
        if (platform.app && platform.app->stopping())
            return;
        QThread::msleep(1);
    }
}

} // namespace mirai
