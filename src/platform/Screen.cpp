#include "Screen.h"

namespace mirai {

Screen::Screen(QWidget* parent) : QWidget(parent) {}

bool Screen::isOnThisScreen(QObject* watched) const {
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    return widget == this || isAncestorOf(widget);
}

} // namespace mirai
