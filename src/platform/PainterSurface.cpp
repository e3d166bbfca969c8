#include "PainterSurface.h"

#include <QFontMetricsF>
#include <QImage>
#include <QPagedPaintDevice>
#include <QPen>
#include <QPixmap>
#include <algorithm>
#include <cmath>

namespace mirai {

namespace {

constexpr double kTwipsPerInch = 1440.0;
constexpr double kTwipsPerPoint = 20.0;

QColor colourOf(std::uint32_t bgr) {
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

} // namespace

PainterSurface::PainterSurface(QPaintDevice* device, double twipsPerPixel)
    : m_device(device),
      m_twipsPerPixel(twipsPerPixel > 0.0 ? twipsPerPixel
                                          : kTwipsPerInch / std::max(1, device->logicalDpiX())) {}

PainterSurface::~PainterSurface() {
    if (m_painter.isActive())
        m_painter.end();
}

QSizeF PainterSurface::sizeTwips() const {
    return QSizeF(m_device->width() * m_twipsPerPixel, m_device->height() * m_twipsPerPixel);
}

double PainterSurface::twipsPerPixel() const {
    return m_twipsPerPixel;
}

QPainter& PainterSurface::painter() {
    if (!m_painter.isActive()) {
        m_painter.begin(m_device);
        m_painter.setRenderHint(QPainter::Antialiasing);
        m_painter.setRenderHint(QPainter::TextAntialiasing);
        // One unit is one twip; pens stay in device pixels (cosmetic).
        m_painter.scale(1.0 / m_twipsPerPixel, 1.0 / m_twipsPerPixel);
        if (m_marginTwips > 0.0) {
            const QSizeF page = sizeTwips();
            const double fit = std::min((page.width() - 2 * m_marginTwips) / page.width(),
                                        (page.height() - 2 * m_marginTwips) / page.height());
            m_painter.translate((page.width() - fit * page.width()) / 2,
                                (page.height() - fit * page.height()) / 2);
            m_painter.scale(fit, fit);
        }
    }
    m_pageStarted = true;
    return m_painter;
}

void PainterSurface::setFont(const QString& family, double points) {
    m_font = QFont(family);
    m_font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * kTwipsPerPoint))));
}

void PainterSurface::setTextColour(std::uint32_t bgr) {
    m_textColour = colourOf(bgr);
}

void PainterSurface::drawLine(QPointF from, QPointF to, int widthPixels, std::uint32_t bgr) {
    QPen pen(colourOf(bgr));
    pen.setCosmetic(true);
    pen.setWidthF(std::max(1, widthPixels));
    pen.setCapStyle(Qt::RoundCap);
    QPainter& p = painter();
    p.setPen(pen);
    p.drawLine(from, to);
}

void PainterSurface::drawPoint(QPointF at, int widthPixels, std::uint32_t bgr) {
    QPainter& p = painter();
    const double radius = std::max(1, widthPixels) * m_twipsPerPixel / 2.0;
    p.setPen(Qt::NoPen);
    p.setBrush(colourOf(bgr));
    p.drawEllipse(at, radius, radius);
    p.setBrush(Qt::NoBrush);
}

void PainterSurface::fillRect(const QRectF& area, std::uint32_t bgr) {
    painter().fillRect(area, colourOf(bgr));
}

void PainterSurface::drawText(QPointF topLeft, const QString& text) {
    QPainter& p = painter();
    p.setFont(m_font);
    p.setPen(m_textColour);
    const QFontMetricsF metrics(m_font);
    p.drawText(QPointF(topLeft.x(), topLeft.y() + metrics.ascent()), text);
}

void PainterSurface::newPage() {
    if (auto* paged = dynamic_cast<QPagedPaintDevice*>(m_device)) {
        if (m_pageStarted && m_painter.isActive())
            paged->newPage();
        m_pageStarted = false;
        return;
    }
    // A canvas: clear it to white.
    QPainter& p = painter();
    p.save();
    p.resetTransform();
    p.fillRect(QRect(0, 0, m_device->width(), m_device->height()), Qt::white);
    p.restore();
    m_pageStarted = false;
}

bool PainterSurface::flush() {
    if (!m_painter.isActive())
        return true;
    return m_painter.end();
}

} // namespace mirai
