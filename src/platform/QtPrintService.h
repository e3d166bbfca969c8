#pragma once

#include "DrawingSurface.h"

#include <QHash>

namespace mirai {

// The station's printers through Qt's print support: the system's default printer with its
// print dialog (which also offers a PDF file), and PDF files written directly. Pages are A4.
class QtPrintService final : public PrintService {
public:
    bool hasPrinter() const override;
    QSizeF pageSizeTwips(PageOrientation orientation) const override;
    std::unique_ptr<PrintDocument> openPrinter(PageOrientation orientation, QString* error) override;
    // Null when the file cannot be written.
    std::unique_ptr<PrintDocument> openPdf(const QString& path, PageOrientation orientation) override;

    // Dots per inch of the PDF files: a line of 4 dots is as wide as on a common printer.
    static constexpr int kPdfResolution = 600;
    // A PDF file's drawing keeps this far from the paper's edges.
    static constexpr double kPdfMarginMillimetres = 10.0;

private:
    mutable QHash<int, QSizeF> m_pageSizes; // by orientation: asking the printer system is slow
};

} // namespace mirai
