#include "DrillArt.h"

#include "UiSupport.h"

#include <QFontMetrics>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <cmath>

namespace mirai {

namespace {

void softCircle(QPainter& painter, QPointF centre, double radius, QColor colour) {
    QRadialGradient glow(centre, radius);
    glow.setColorAt(0.0, colour);
    colour.setAlpha(0);
    glow.setColorAt(1.0, colour);
    painter.setPen(Qt::NoPen);
    painter.setBrush(glow);
    painter.drawEllipse(centre, radius, radius);
}

void gentleHills(QPainter& painter, const QRect& area, const QColor& back, const QColor& front) {
    const double w = area.width();
    const double h = area.height();
    QPainterPath far;
    far.moveTo(area.left(), area.top() + h * 0.80);
    far.cubicTo(area.left() + w * 0.25, area.top() + h * 0.70, area.left() + w * 0.45, area.top() + h * 0.86,
                area.left() + w * 0.70, area.top() + h * 0.78);
    far.cubicTo(area.left() + w * 0.85, area.top() + h * 0.74, area.left() + w * 0.95, area.top() + h * 0.80,
                area.right() + 1, area.top() + h * 0.77);
    far.lineTo(area.right() + 1, area.bottom() + 1);
    far.lineTo(area.left(), area.bottom() + 1);
    far.closeSubpath();
    painter.setPen(Qt::NoPen);
    painter.setBrush(back);
    painter.drawPath(far);

    QPainterPath near;
    near.moveTo(area.left(), area.top() + h * 0.90);
    near.cubicTo(area.left() + w * 0.30, area.top() + h * 0.82, area.left() + w * 0.60, area.top() + h * 0.96,
                 area.right() + 1, area.top() + h * 0.86);
    near.lineTo(area.right() + 1, area.bottom() + 1);
    near.lineTo(area.left(), area.bottom() + 1);
    near.closeSubpath();
    painter.setBrush(front);
    painter.drawPath(near);
}

} // namespace

void paintBackdrop(QPainter& painter, const QRect& area, Backdrop kind) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient sky(area.topLeft(), area.bottomLeft());
    switch (kind) {
    case Backdrop::Drill:
        sky.setColorAt(0.0, QColor(236, 244, 252));
        sky.setColorAt(1.0, QColor(214, 232, 246));
        painter.fillRect(area, sky);
        softCircle(painter, QPointF(area.left() + area.width() * 0.88, area.top() + area.height() * 0.30),
                   260, QColor(255, 255, 255, 150));
        softCircle(painter, QPointF(area.left() + area.width() * 0.10, area.top() + area.height() * 0.85),
                   300, QColor(190, 220, 245, 120));
        break;
    case Backdrop::EndOfRun:
        sky.setColorAt(0.0, QColor(255, 236, 214));
        sky.setColorAt(0.55, QColor(226, 238, 250));
        sky.setColorAt(1.0, QColor(200, 226, 246));
        painter.fillRect(area, sky);
        softCircle(painter, QPointF(area.left() + area.width() * 0.82, area.top() + area.height() * 0.18),
                   180, QColor(255, 214, 150, 170));
        softCircle(painter, QPointF(area.left() + area.width() * 0.15, area.top() + area.height() * 0.32),
                   140, QColor(255, 255, 255, 130));
        gentleHills(painter, area, QColor(176, 214, 190), QColor(140, 194, 160));
        break;
    case Backdrop::Waiting:
        sky.setColorAt(0.0, QColor(44, 72, 112));
        sky.setColorAt(1.0, QColor(70, 118, 160));
        painter.fillRect(area, sky);
        softCircle(painter, QPointF(area.center()), area.width() * 0.45, QColor(255, 255, 255, 40));
        break;
    }
    painter.restore();
}

QPixmap backdropPicture(const QSize& size, Backdrop kind) {
    QPixmap picture(size);
    QPainter painter(&picture);
    paintBackdrop(painter, QRect(QPoint(0, 0), size), kind);
    return picture;
}

QPixmap hopMark(const QSize& size, const QColor& colour) {
    QPixmap mark(size);
    mark.fill(Qt::transparent);
    QPainter painter(&mark);
    painter.setRenderHint(QPainter::Antialiasing);
    const double w = size.width();
    const double h = size.height();
    QPen pen(colour, std::max(2.0, h / 9.0), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    painter.setPen(pen);
    painter.setBrush(Qt::NoBrush);
    // An arc from the right (where the point starts) over to the left (where it lands).
    QPainterPath arc;
    const QPointF from(w * 0.86, h * 0.78);
    const QPointF to(w * 0.18, h * 0.78);
    arc.moveTo(from);
    arc.cubicTo(QPointF(w * 0.78, h * 0.05), QPointF(w * 0.26, h * 0.05), to);
    painter.drawPath(arc);
    // Arrow head at the landing place.
    QPainterPath head;
    head.moveTo(to + QPointF(-w * 0.10, -h * 0.22));
    head.lineTo(to);
    head.lineTo(to + QPointF(w * 0.14, -h * 0.14));
    painter.drawPath(head);
    // The point itself where it lands.
    painter.setPen(Qt::NoPen);
    painter.setBrush(colour);
    painter.drawEllipse(QPointF(w * 0.12, h * 0.90), h / 10.0, h / 10.0);
    return mark;
}

ShapeBar::ShapeBar(const QColor& fill, const QColor& border, QWidget* parent)
    : QWidget(parent), m_fill(fill), m_border(border) {
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ShapeBar::setBarWidth(double width) {
    const int pixels = std::isfinite(width) && width > 0 ? static_cast<int>(std::lround(width)) : 0;
    resize(pixels, height());
}

void ShapeBar::paintEvent(QPaintEvent*) {
    if (width() <= 0)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(m_border.alpha() > 0 ? QPen(m_border, 1.5) : QPen(Qt::NoPen));
    painter.setBrush(m_fill);
    const double radius = std::min(height() / 2.0, width() / 2.0);
    painter.drawRoundedRect(QRectF(rect()).adjusted(0.75, 0.75, -0.75, -0.75), radius, radius);
}

GradientPanel::GradientPanel(const QColor& top, const QColor& bottom, int radius, QWidget* parent)
    : QWidget(parent), m_top(top), m_bottom(bottom), m_radius(radius) {}

void GradientPanel::setBorder(const QColor& colour, int width) {
    m_border = colour;
    m_borderWidth = width;
    update();
}

void GradientPanel::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QLinearGradient fill(0, 0, 0, height());
    fill.setColorAt(0.0, m_top);
    fill.setColorAt(1.0, m_bottom);
    painter.setBrush(fill);
    painter.setPen(m_borderWidth > 0 ? QPen(m_border, m_borderWidth) : QPen(Qt::NoPen));
    const double inset = m_borderWidth / 2.0;
    painter.drawRoundedRect(QRectF(rect()).adjusted(inset, inset, -inset, -inset), m_radius, m_radius);
}

void fitLabelFont(QLabel* label, double points, bool bold) {
    const QString text = label->text();
    const int room = label->contentsRect().width() - 2 * label->margin() - std::max(0, label->indent()) - 4;
    double size = points;
    QFont font = ui::uiFont(size, bold);
    while (size > 12 && !text.isEmpty() && QFontMetrics(font).horizontalAdvance(text) > room) {
        size -= 4;
        font = ui::uiFont(size, bold);
    }
    label->setFont(font);
}

} // namespace mirai
