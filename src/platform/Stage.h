#pragma once

#include <QColor>
#include <QPoint>
#include <QSize>
#include <QString>
#include <QWidget>
#include <functional>

namespace mirai {

// Where the 1024 x 768 screens sit on a display of any size: scaled by the largest factor at which
// they still fit, min(width / 1024, height / 768), and centred. Sizes after scaling are logical
// pixels, the ones the screens are laid out in.
struct StageLayout {
    double scale = 1.0;
    QSize logicalSize; // the whole display
    QPoint origin;     // top-left corner of a 1024 x 768 screen
};
StageLayout stageLayout(const QSize& displayPixels);

// How a station shows the program, from its own settings file (never the shared data): full
// screen by default; a teacher's desk may ask for a window.
struct DisplaySettings {
    bool fullScreen = true;
};
// The settings file `<folder>/station.ini`: "[display] mode=window" asks for a window.
QString displaySettingsPath(const QString& stationFolder);
DisplaySettings readDisplaySettings(const QString& stationFolder);

// Size of the primary display in device pixels, found before the program's own application
// object exists (the scale factor must be fixed before it is made). Empty without a display.
QSize probeDisplayPixels(int argc, char** argv);

// Fixes the scale factor the program's application object will take, so that the screens fill
// the display; a factor the user set in QT_SCALE_FACTOR stays. Call before that object exists,
// and forgetScaleFactor() after, so programs started from here do not inherit it.
void scaleToDisplay(int argc, char** argv);
void forgetScaleFactor();

// The full-screen window the screens are shown in: no frame, nothing to drag or resize, and the
// season colour around the screens.
class Stage final : public QWidget {
public:
    explicit Stage(std::function<QColor()> colour);

    // Makes `screen` a child of the stage, in the middle of the display where a 1024 x 768 display
    // would show it; the screen manager calls it on showing.
    void adopt(QWidget* screen);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    void place(QWidget* screen) const;

    std::function<QColor()> m_colour;
};

} // namespace mirai
