#pragma once

#include <QColor>
#include <QPixmap>
#include <QWidget>

class QLabel;
class QPainter;

namespace mirai {

// The calm pictures behind the drill's screens, drawn in code.
enum class Backdrop { Drill, EndOfRun, Waiting };
void paintBackdrop(QPainter& painter, const QRect& area, Backdrop kind);
QPixmap backdropPicture(const QSize& size, Backdrop kind);

// One hint mark: a hop of the decimal point one place to the left.
QPixmap hopMark(const QSize& size, const QColor& colour);

// A filled rectangle with rounded ends, as the time bar's shapes are drawn.
class ShapeBar : public QWidget {
    Q_OBJECT
public:
    ShapeBar(const QColor& fill, const QColor& border, QWidget* parent = nullptr);
    // Width in pixels; negative or not-a-number widths become 0.
    void setBarWidth(double width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_fill;
    QColor m_border;
};

// A panel that paints a vertical gradient with rounded corners (0 radius: square).
class GradientPanel : public QWidget {
    Q_OBJECT
public:
    GradientPanel(const QColor& top, const QColor& bottom, int radius, QWidget* parent = nullptr);
    void setBorder(const QColor& colour, int width);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QColor m_top;
    QColor m_bottom;
    QColor m_border = Qt::transparent;
    int m_borderWidth = 0;
    int m_radius;
};

// Sets the font of a label to the largest size up to `points` at which its text fits.
void fitLabelFont(QLabel* label, double points, bool bold = true);

} // namespace mirai
