#pragma once

#include "DrawingSurface.h"

#include <QDateTime>
#include <QString>
#include <memory>

namespace mirai {

struct Platform;

// The file a PDF is proposed under: <home>/みらいドリル/プリント_<yyyymmdd-hhmmss>.pdf.
QString proposedPdfPath(const QString& homeFolder, const QDateTime& now);

// The document "印刷" draws on.
struct OpenedDocument {
    std::unique_ptr<PrintDocument> document; // null: cancelled, or nothing could be opened (said so)
    QString pdfPath;                         // empty for the printer
};

// The station's printer through its print dialog (which offers a PDF file too); without a usable
// printer, or when the dialog reports an error, a PDF file chosen in a save dialog. Failures are
// told in message boxes titled `title`.
OpenedDocument openPrintDocument(const Platform& platform, PageOrientation orientation, const QString& title,
                                 const QString& homeFolder);

// Tells how an ended document went: where a PDF went, or why nothing was printed. A printed page
// needs no message.
void reportPrintEnd(const Platform& platform, const QString& title, const OpenedDocument& opened, bool ended);

} // namespace mirai
