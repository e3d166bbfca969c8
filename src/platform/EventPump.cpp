#include "EventPump.h"

#include <QCoreApplication>

namespace mirai {

void QtEventPump::processEvents() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

} // namespace mirai
