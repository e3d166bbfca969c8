#pragma once

#include "DrawingSurface.h"

#include <QDateTime>
#include <QString>
#include <memory>

namespace mirai {

struct Platform;

// What goes on paper: the title of the messages, the word the proposed PDF file is named after
// ("プリント" for worksheets, "グラフ" for graphs), the page orientation and the user's home folder.
struct PaperJob {
    QString title;
    QString what;
    PageOrientation orientation = PageOrientation::Portrait;
    QString homeFolder;
};

// The file a PDF is proposed under: <home>/みらいドリル/<what>_<yyyymmdd-hhmmss>.pdf.
QString proposedPdfPath(const QString& homeFolder, const QString& what, const QDateTime& now);

// The document "印刷" draws on.
struct OpenedDocument {
    std::unique_ptr<PrintDocument> document; // null: cancelled, or nothing could be opened (said so)
    QString pdfPath;                         // empty for the printer
};

// Every print of the program opens its document here. The station's printer through its print
// dialog (which offers a PDF file too); without a usable printer, or when the dialog reports an
// error, a PDF file chosen in a save dialog. Failures are told in message boxes.
OpenedDocument openPrintDocument(const Platform& platform, const PaperJob& job);

// Tells how an ended document went: where a PDF went, or why nothing was printed. A printed page
// needs no message, nor a document that never opened.
void reportPrintEnd(const Platform& platform, const PaperJob& job, const OpenedDocument& opened, bool ended);

} // namespace mirai
