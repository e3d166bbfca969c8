#pragma once

#include <QWidget>

class QKeyEvent;

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
    // Called by the ScreenManager when it closes the screen, before it is hidden: the last moment
    // to keep what the screen holds.
    virtual void closing() {}

protected:
    // Whether an event's target lies on this screen (itself or one of its controls, including
    // their pop-ups); a screen-wide event filter leaves other windows' events alone.
    bool isOnThisScreen(QObject* watched) const;

    // The screen-wide key preview: once installed, every key press and left click aimed at this
    // screen reaches screenKeyPress / screenClick first; returning true swallows the event.
    void installScreenFilter();
    virtual bool screenKeyPress(QObject* receiver, QKeyEvent* event) { return false; }
    virtual bool screenClick(QWidget* target) { return false; }
    bool eventFilter(QObject* watched, QEvent* event) override;
};

} // namespace mirai
