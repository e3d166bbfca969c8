#pragma once

#include "DrawingSurface.h"

#include <QFont>
#include <QPainter>

class QPaintDevice;

namespace mirai {

// Draws in twips on any paint device: an image shown as a canvas, a printer, a PDF writer.
// The painter begins on the first drawing call, so a printer's page set-up may change until
// then; flush() ends it (an image can then be shown) and the next call begins it again.
class PainterSurface : public DrawingSurface {
public:
    // `twipsPerPixel` 0 takes the device's own resolution (1440 / dots per inch).
    explicit PainterSurface(QPaintDevice* device, double twipsPerPixel = 0.0);
    ~PainterSurface() override;
    PainterSurface(const PainterSurface&) = delete;
    PainterSurface& operator=(const PainterSurface&) = delete;

    QSizeF sizeTwips() const override;
    double twipsPerPixel() const override;
    void setFont(const QString& family, double points) override;
    void setTextColour(std::uint32_t bgr) override;
    void drawLine(QPointF from, QPointF to, int widthPixels, std::uint32_t bgr) override;
    void drawPoint(QPointF at, int widthPixels, std::uint32_t bgr) override;
    void fillRect(const QRectF& area, std::uint32_t bgr) override;
    void drawText(QPointF topLeft, const QString& text) override;
    void newPage() override;

    // Draws the whole page shrunk evenly into the page less `twips` at every edge, centred: a PDF
    // is printed later on printers that cannot reach the paper's edges. 0 draws edge to edge.
    void setMarginTwips(double twips) { m_marginTwips = twips; }

    // Ends the painter; false when the device reported a failure.
    bool flush();
    bool isPainting() const { return m_painter.isActive(); }

private:
    QPainter& painter();

    QPaintDevice* m_device;
    double m_twipsPerPixel;
    double m_marginTwips = 0.0;
    QPainter m_painter;
    QFont m_font;
    QColor m_textColour = Qt::black;
    bool m_pageStarted = false; // something was drawn since the last new page
};

} // namespace mirai
