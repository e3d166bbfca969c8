#pragma once

#include "DrawingSurface.h"

#include <QSizeF>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace mirai {

// The print screen's preview box as the engine sees it: a white box on the screen, sized in
// twips but taking whole screen pixels.
class PreviewBox {
public:
    virtual ~PreviewBox() = default;
    // Sizes the box and returns the size it took.
    virtual QSizeF setSizeTwips(QSizeF size) = 0;
    virtual DrawingSurface& surface() = 0;
    // Clears the box to white.
    virtual void clear() = 0;
};

// Draws a page twice, once on the preview box and once on the printer, from layouts written in
// a virtual space of 10000 x 10000 units: lines, and texts that wrap inside a cell and shrink
// until they fit its height. The state is public under its own names, as the layouts set the
// cell before each text.
class PrintEngine {
public:
    // `family` is the face of every text, on the preview, on paper and in the line breaking.
    explicit PrintEngine(QString family);

    // Where the engine draws. The page size of the preview comes from the print service; while
    // printing the page is the open printer document.
    void setPreviewBox(PreviewBox* box) { m_previewBox = box; }
    void setPrintService(const PrintService* service) { m_service = service; }
    void setPrinterPage(DrawingSurface* page) { m_printerPage = page; }

    // Lets pending window events run once before a cell is drawn; returning false stops the
    // drawing (the screen is closing or wants to start again). Until resume() nothing more is
    // drawn.
    void setEventHook(std::function<bool()> hook) { m_eventHook = std::move(hook); }
    bool stopped() const { return m_stopped; }
    void resume() { m_stopped = false; }

    // `printing` and `portrait` are the values (0/1) of the print screen's hidden boxes "印刷"
    // and "縦横".
    void InitializePrintSurface(int printing, int portrait);
    void ライン(std::int16_t x1, std::int16_t y1, std::int16_t x2, double y2, std::int16_t width,
                double colour);
    void 文字2(double x, double y, const QString& text, std::int16_t size);
    void DrawWrappedLines();
    void 文字表示3(const QString& text);
    // Clears the preview box (nothing happens on the printer).
    void ClearPreview();

    // The lines of one paragraph as the hidden word-wrapping box breaks them: `widthTwips` wide,
    // in the engine's face at `points`. An empty paragraph is one empty line.
    QStringList wrapParagraph(const QString& paragraph, double widthTwips, int points) const;
    // Virtual units to the surface's twips.
    QPointF mapped(double x, double y) const;
    // Pen width in device pixels of a line of the given width.
    int penPixels(std::int16_t width) const;

    const QString& family() const { return m_family; }
    // Paragraph layouts made so far (the cost of the size search).
    std::int64_t layoutCount() const { return m_layoutCount; }

    static constexpr int kSmallestTextSize = 1; // the size search draws here when nothing fits

    int ToPrinter = 0;
    DrawingSurface* OutputTarget = nullptr;
    double PreviewScale = 0.63;
    double PrinterScale = 0.89;
    std::int16_t PenFactor = 1;
    double MarginX = 0.005;
    double MarginY = 0.0;
    double SurfaceWidth = 0.0;
    double SurfaceHeight = 0.0;
    double PrinterSpanX = 0.0;
    double PrinterSpanY = 0.0;
    double CellX = 0.0;
    double CellWidth = 0.0;
    double RowY = 0.0;
    double RowHeight = 0.0;
    std::int16_t TextSize = 0;
    int StartTextSize = 50;
    int TextDoesNotFit = 0;
    QStringList LineList;
    // Measured by InitializePrintSurface: the printer's page in twips and the paper orientation.
    QSizeF PrinterPage;
    PageOrientation Orientation = PageOrientation::Portrait;

private:
    void drawWrappedLines(bool whateverTheSize);
    double lineStep() const;

    QString m_family;
    PreviewBox* m_previewBox = nullptr;
    const PrintService* m_service = nullptr;
    DrawingSurface* m_printerPage = nullptr;
    std::function<bool()> m_eventHook;
    bool m_stopped = false;
    mutable std::int64_t m_layoutCount = 0;
};

} // namespace mirai
