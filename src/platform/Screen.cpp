#include "Screen.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

namespace mirai {

Screen::Screen(QWidget* parent) : QWidget(parent) {}

bool Screen::isOnThisScreen(QObject* watched) const {
    if (!watched->isWidgetType())
        return false;
    auto* widget = static_cast<QWidget*>(watched);
    return widget == this || isAncestorOf(widget);
}

void Screen::installScreenFilter() {
    qApp->installEventFilter(this);
}

bool Screen::eventFilter(QObject* watched, QEvent* event) {
    const QEvent::Type type = event->type();
    if (type != QEvent::KeyPress && type != QEvent::MouseButtonRelease)
        return false;
    if (!isOnThisScreen(watched))
        return false;
    if (type == QEvent::KeyPress)
        return screenKeyPress(watched, static_cast<QKeyEvent*>(event));
    if (static_cast<QMouseEvent*>(event)->button() != Qt::LeftButton)
        return false;
    return screenClick(static_cast<QWidget*>(watched));
}

} // namespace mirai
