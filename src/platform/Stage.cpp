#include "Stage.h"

#include <QDir>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QSettings>
#include <algorithm>
#include <cmath>
#include <memory>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {
constexpr int kLayoutWidth = 1024;
constexpr int kLayoutHeight = 768;
// Where a screen sits on the 1024 x 768 layout, kept on the screen itself.
constexpr char kLayoutPlace[] = "miraiLayoutPlace";
// Top-left corner of the 1024 x 768 layout centred in an area.
QPoint layoutOrigin(const QSize& area) {
    return QPoint(std::max(0, (area.width() - kLayoutWidth) / 2),
                  std::max(0, (area.height() - kLayoutHeight) / 2));
}

// Whether a window of the display's size in logical pixels covers every device pixel: the
// toolkit rounds the display's size to logical pixels and the window's back to device pixels.
bool coversEveryPixel(const QSize& display, double scale) {
    for (const int pixels : {display.width(), display.height()}) {
        const double logical = std::round(pixels / scale);
        if (std::lround(logical * scale) != pixels)
            return false;
    }
    return true;
}

// The largest factor at which the 1024 x 768 screens fit, min(width / 1024, height / 768), or,
// where the rounding to whole pixels would leave the display's last column or row uncovered
// (2560 / 1.875 = 1365.33), the next smaller one that divides it evenly.
double fullScreenScale(const QSize& display) {
    const double fit = std::min(static_cast<double>(display.width()) / kLayoutWidth,
                                static_cast<double>(display.height()) / kLayoutHeight);
    if (coversEveryPixel(display, fit))
        return fit;
    double best = 0.0;
    for (const int pixels : {display.width(), display.height()}) {
        for (int logical = static_cast<int>(std::ceil(pixels / fit)), tries = 0; tries < 256;
             ++logical, ++tries) {
            const double scale = static_cast<double>(pixels) / logical;
            if (scale > best && coversEveryPixel(display, scale)) {
                best = scale;
                break;
            }
        }
    }
    return best > 0.0 ? best : fit;
}

} // namespace

StageLayout stageLayout(const QSize& displayPixels) {
    StageLayout layout;
    if (displayPixels.width() <= 0 || displayPixels.height() <= 0) {
        layout.logicalSize = QSize(kLayoutWidth, kLayoutHeight);
        return layout;
    }
    layout.scale = fullScreenScale(displayPixels);
    layout.logicalSize = QSize(static_cast<int>(std::lround(displayPixels.width() / layout.scale)),
                               static_cast<int>(std::lround(displayPixels.height() / layout.scale)));
    layout.origin = layoutOrigin(layout.logicalSize);
    return layout;
}

QString displaySettingsPath(const QString& stationFolder) {
    return QDir(stationFolder).filePath(u"station.ini"_s);
}

DisplaySettings readDisplaySettings(const QString& stationFolder) {
    DisplaySettings settings;
    if (stationFolder.isEmpty())
        return settings;
    const QSettings file(displaySettingsPath(stationFolder), QSettings::IniFormat);
    settings.fullScreen = file.value(u"display/mode"_s).toString().trimmed().toLower() != u"window"_s;
    return settings;
}

QSize probeDisplayPixels(int argc, char** argv) {
    // A short-lived application object of its own: Qt reads its scale factor when the program's
    // application object is made, so the display must be known before that.
    auto probe = std::make_unique<QGuiApplication>(argc, argv);
    const QScreen* screen = QGuiApplication::primaryScreen();
    QSize size;
    if (screen)
        size = screen->size() * screen->devicePixelRatio();
    probe.reset();
    return size;
}

namespace {
bool g_scaleSet = false;
} // namespace

void scaleToDisplay(int argc, char** argv) {
    if (qEnvironmentVariableIsSet("QT_SCALE_FACTOR"))
        return;
    const StageLayout layout = stageLayout(probeDisplayPixels(argc, argv));
    // The display's own scaling would multiply with ours.
    qputenv("QT_ENABLE_HIGHDPI_SCALING", "0");
    qputenv("QT_SCALE_FACTOR", QByteArray::number(layout.scale, 'g', 12));
    g_scaleSet = true;
}

void forgetScaleFactor() {
    if (!g_scaleSet)
        return;
    qunsetenv("QT_ENABLE_HIGHDPI_SCALING");
    qunsetenv("QT_SCALE_FACTOR");
    g_scaleSet = false;
}

Stage::Stage(std::function<QColor()> colour) : m_colour(std::move(colour)) {
    setObjectName(u"Stage"_s);
    setWindowFlags(Qt::Window | Qt::FramelessWindowHint);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void Stage::adopt(QWidget* screen) {
    if (screen->parentWidget() != this) {
        // A screen keeps the place it asked for on a 1024 x 768 display; one that asked for none
        // is centred there.
        const QPoint place =
            screen->testAttribute(Qt::WA_Moved)
                ? screen->pos()
                : QPoint((kLayoutWidth - screen->width()) / 2, (kLayoutHeight - screen->height()) / 2);
        screen->setProperty(kLayoutPlace, place);
        screen->setParent(this);
    }
    place(screen);
    update();
}

void Stage::place(QWidget* screen) const {
    screen->move(layoutOrigin(size()) + screen->property(kLayoutPlace).toPoint());
}

void Stage::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), m_colour ? m_colour() : QColor(Qt::black));
}

void Stage::resizeEvent(QResizeEvent*) {
    for (QWidget* child : findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        place(child);
}

} // namespace mirai
