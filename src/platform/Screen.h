#pragma once

#include <QWidget>

namespace mirai {

// A screen of the program: a top-level window shown and closed by name through the
// ScreenManager, which calls activate() each time the screen becomes the current one.
class Screen : public QWidget {
    Q_OBJECT
public:
    explicit Screen(QWidget* parent = nullptr);

    // The screen's activation procedure. Called by the ScreenManager only, never by focus
    // changes of the window system (a message box closing must not restart a run).
    virtual void activate() {}
};

} // namespace mirai
