#pragma once

#include <QPointF>
#include <QRectF>
#include <QSizeF>
#include <QString>
#include <cstdint>
#include <memory>

namespace mirai {

enum class PageOrientation { Portrait, Landscape };

// An A4 sheet in twips, the page when no printer measures its own.
inline QSizeF a4Twips(PageOrientation orientation) {
    const QSizeF portrait(11906, 16838);
    return orientation == PageOrientation::Portrait ? portrait : portrait.transposed();
}

// A page addressed in twips from its top-left corner: the print preview, the graph canvas, a
// printer page or a PDF page. Colours are &H00BBGGRR values (0 is black).
class DrawingSurface {
public:
    virtual ~DrawingSurface() = default;

    virtual QSizeF sizeTwips() const = 0;
    // Twips per device pixel: 15 on the screen, 1440 / resolution on a printer.
    virtual double twipsPerPixel() const = 0;

    virtual void setFont(const QString& family, double points) = 0;
    virtual void setTextColour(std::uint32_t bgr) = 0;
    // A straight line `widthPixels` device pixels wide (at least 1).
    virtual void drawLine(QPointF from, QPointF to, int widthPixels, std::uint32_t bgr) = 0;
    // A round dot `widthPixels` device pixels across.
    virtual void drawPoint(QPointF at, int widthPixels, std::uint32_t bgr) = 0;
    // A rectangle filled with one colour, without an outline.
    virtual void fillRect(const QRectF& area, std::uint32_t bgr) = 0;
    // One line of text in the current font and colour, its top-left corner at `topLeft`.
    virtual void drawText(QPointF topLeft, const QString& text) = 0;
    // The canvas is cleared to white; a document starts a new page.
    virtual void newPage() = 0;
};

// A printed document: pages drawn through the surface, then ended (sent to the printer or
// written to its file) or discarded. Always A4.
class PrintDocument : public DrawingSurface {
public:
    // False with errorText() when the printer or the file refused the document.
    virtual bool endDocument() = 0;
    // Drops an unfinished document; nothing is printed and no file is left.
    virtual void discardDocument() = 0;
    virtual QString errorText() const = 0;
};

// Where documents go: the station's printer when it has a usable one, otherwise a PDF file.
class PrintService {
public:
    virtual ~PrintService() = default;

    // Whether a usable printer is installed.
    virtual bool hasPrinter() const = 0;
    // A4 page size of the printer in twips for the orientation; the whole sheet (a4Twips) when
    // there is no printer.
    virtual QSizeF pageSizeTwips(PageOrientation orientation) const = 0;
    // Asks in the print dialog (which also offers a PDF file) and opens a document there. Null
    // when the user cancelled or the printer failed; `error` then says why (empty on cancel).
    virtual std::unique_ptr<PrintDocument> openPrinter(PageOrientation orientation, QString* error) = 0;
    // A document written as a PDF file at `path`.
    virtual std::unique_ptr<PrintDocument> openPdf(const QString& path, PageOrientation orientation) = 0;
};

} // namespace mirai
