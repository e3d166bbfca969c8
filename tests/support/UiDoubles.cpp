#include "UiDoubles.h"

#include <QCoreApplication>

namespace mirai::test {

UiTestPlatform::UiTestPlatform() {
    m_platform.screens = &screens;
    app.onEnd = [this] { screens.closeAll(); };
}

UiTestPlatform::~UiTestPlatform() {
    screens.closeAll();
    // Deferred deletes of closed screens happen here, while the doubles still exist.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

} // namespace mirai::test
