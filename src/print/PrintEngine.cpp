#include "PrintEngine.h"

#include "NumberText.h"

#include <QFont>
#include <QTextLayout>
#include <QTextOption>
#include <algorithm>
#include <cmath>

namespace mirai {

namespace {

constexpr double kVirtualUnits = 10000.0;
constexpr double kTwipsPerPoint = 20.0;

} // namespace

PrintEngine::PrintEngine(QString family) : m_family(std::move(family)) {}

void PrintEngine::InitializePrintSurface(int printing, int portrait) {
    // The paper is always A4; the page sizes below are A4 pages.
    if (portrait == 1) {
        Orientation = PageOrientation::Portrait;
        PreviewScale = 0.63;
    } else {
        Orientation = PageOrientation::Landscape;
        PreviewScale = 0.8;
    }
    ToPrinter = printing == 1 ? 1 : 0;
    PenFactor = ToPrinter == 1 ? 6 : 1;
    MarginX = 0.005;
    MarginY = 0.0;
    if (ToPrinter == 1 && m_printerPage) {
        OutputTarget = m_printerPage;
        PrinterPage = m_printerPage->sizeTwips();
    } else {
        // Without an open document (or a preview box) nothing is drawn until the next call.
        OutputTarget = nullptr;
        PrinterPage = m_service ? m_service->pageSizeTwips(Orientation) : a4Twips(Orientation);
    }
    PrinterSpanX = PrinterPage.width() * 1.06;
    PrinterSpanY = PrinterPage.height() * 1.05;

    if (ToPrinter == 0 && m_previewBox) {
        // The box takes whole screen pixels; the mapping covers what it measured, and the box
        // itself is 3 % larger.
        const QSizeF measured = m_previewBox->setSizeTwips(PrinterPage * PreviewScale);
        SurfaceWidth = measured.width();
        SurfaceHeight = measured.height();
        m_previewBox->setSizeTwips(measured * 1.03);
        OutputTarget = &m_previewBox->surface();
    } else {
        // A printer keeps its A4 page: the request for a 3 % larger page is not passed on.
        SurfaceWidth = PrinterPage.width();
        SurfaceHeight = PrinterPage.height();
    }
}

QPointF PrintEngine::mapped(double x, double y) const {
    if (ToPrinter == 0) {
        return QPointF(SurfaceWidth * MarginX + x * SurfaceWidth / kVirtualUnits,
                       SurfaceHeight * MarginY + y * SurfaceHeight / kVirtualUnits);
    }
    return QPointF(PrinterScale * PrinterSpanX * MarginX + PrinterScale * x * PrinterSpanX / kVirtualUnits,
                   PrinterScale * PrinterSpanY * MarginY + PrinterScale * y * PrinterSpanY / kVirtualUnits);
}

int PrintEngine::penPixels(std::int16_t width) const {
    return static_cast<int>(toWhole(PenFactor * width * 0.6, 1, 1000));
}

void PrintEngine::ライン(std::int16_t x1, std::int16_t y1, std::int16_t x2, double y2, std::int16_t width,
                         double colour) {
    if (!OutputTarget || m_stopped)
        return;
    const auto bgr = static_cast<std::uint32_t>(toWhole(colour, 0, 0xFFFFFF));
    OutputTarget->drawLine(mapped(x1, y1), mapped(x2, y2), penPixels(width), bgr);
}

void PrintEngine::文字2(double x, double y, const QString& text, std::int16_t size) {
    if (!OutputTarget || m_stopped)
        return;
    const double points = ToPrinter == 0 ? 0.9 * PreviewScale * size : PrinterScale * size;
    OutputTarget->setFont(m_family, points);
    OutputTarget->setTextColour(0);
    // An empty line is drawn as nothing.
    if (!text.isEmpty())
        OutputTarget->drawText(mapped(x, y), text);
}

QStringList PrintEngine::wrapParagraph(const QString& paragraph, double widthTwips, int points) const {
    ++m_layoutCount;
    // Measured in twips: one pixel of this font is one twip, whatever the surface.
    QFont font(m_family);
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(points * kTwipsPerPoint))));
    font.setHintingPreference(QFont::PreferNoHinting);
    QTextLayout layout(paragraph, font);
    QTextOption option;
    // Break between words, or inside a word that is wider than the box, so that no line is
    // ever wider than the box.
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    layout.setTextOption(option);
    layout.setCacheEnabled(false);
    layout.beginLayout();
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine())
        line.setLineWidth(std::max(0.0, widthTwips));
    layout.endLayout();

    QStringList lines;
    for (int i = 0; i < layout.lineCount(); ++i) {
        const QTextLine line = layout.lineAt(i);
        lines.append(paragraph.mid(line.textStart(), line.textLength()));
    }
    if (lines.isEmpty())
        lines.append(QString());
    return lines;
}

double PrintEngine::lineStep() const {
    // 1.25 times the font height.
    return (ToPrinter == 0 ? PreviewScale : 1.0) * 25.0 * TextSize;
}

void PrintEngine::DrawWrappedLines() {
    drawWrappedLines(false);
}

void PrintEngine::drawWrappedLines(bool whateverTheSize) {
    if (m_stopped)
        return;
    const double step = lineStep();
    const double cellHeight = RowHeight * SurfaceHeight;
    // Every paragraph gives at least one line: when a single line is already too tall there is
    // nothing to lay out.
    if (!whateverTheSize && (LineList.size() + 1) * step >= cellHeight) {
        TextDoesNotFit = 1;
        return;
    }
    const double wrapWidth = CellWidth * PrinterPage.width();
    QStringList lines;
    for (const QString& paragraph : std::as_const(LineList))
        lines += wrapParagraph(paragraph, wrapWidth, TextSize);
    if (!whateverTheSize && (lines.size() + 1) * step >= cellHeight) {
        TextDoesNotFit = 1;
        return;
    }
    if (m_eventHook && !m_eventHook()) {
        m_stopped = true;
        return;
    }
    for (qsizetype k = 0; k < lines.size(); ++k)
        文字2(kVirtualUnits * CellX, RowY + kVirtualUnits * static_cast<double>(k) * step / SurfaceHeight,
              lines.at(k), TextSize);
}

void PrintEngine::文字表示3(const QString& text) {
    TextDoesNotFit = 0;
    LineList = QStringList{text};
    TextSize = static_cast<std::int16_t>(std::clamp(StartTextSize, kSmallestTextSize, 32767) + 1);
    do {
        TextDoesNotFit = 0;
        --TextSize;
        // The search stops at the smallest size and draws the text there, fitting or not.
        drawWrappedLines(TextSize <= kSmallestTextSize);
    } while (TextDoesNotFit != 0);
}

void PrintEngine::ClearPreview() {
    if (ToPrinter == 0 && m_previewBox && !m_stopped)
        m_previewBox->clear();
}

} // namespace mirai
