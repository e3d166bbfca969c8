#include "PrintOutput.h"

#include "Clock.h"
#include "FileDialogs.h"
#include "MessageBoxes.h"
#include "Platform.h"

#include <QFileInfo>

using namespace Qt::StringLiterals;

namespace mirai {

QString proposedPdfPath(const QString& homeFolder, const QString& what, const QDateTime& now) {
    QString folder = homeFolder;
    if (!folder.endsWith(u'/'))
        folder += u'/';
    return folder + u"みらいドリル/"_s + what + u'_' + now.toString(u"yyyyMMdd-HHmmss"_s) + u".pdf"_s;
}

OpenedDocument openPrintDocument(const Platform& platform, const PaperJob& job) {
    const QString& title = job.title;
    OpenedDocument opened;
    PrintService* service = platform.printing;
    if (!service) {
        platform.messages->show(u"この端末では印刷できません。"_s, title, MessageButtons::Ok,
                                MessageIcon::Warning);
        return opened;
    }
    if (service->hasPrinter()) {
        QString error;
        opened.document = service->openPrinter(job.orientation, &error);
        if (opened.document || error.isEmpty())
            return opened; // printing, or cancelled in the print dialog
        platform.messages->show(u"プリンターを使えません。PDFファイルに保存します。\n"_s + error, title,
                                MessageButtons::Ok, MessageIcon::Warning);
    }
    if (!platform.files)
        return opened;
    const QDateTime now = platform.clock ? platform.clock->now() : QDateTime::currentDateTime();
    QString path = platform.files->saveFileName(
        u"PDFファイルに保存"_s, proposedPdfPath(job.homeFolder, job.what, now), u"PDF (*.pdf)"_s);
    if (path.isEmpty())
        return opened;
    if (QFileInfo(path).suffix().isEmpty())
        path += u".pdf"_s;
    opened.document = service->openPdf(path, job.orientation);
    if (!opened.document) {
        platform.messages->show(u"PDFファイルを作れません。\n"_s + path, title, MessageButtons::Ok,
                                MessageIcon::Warning);
        return opened;
    }
    opened.pdfPath = path;
    return opened;
}

void reportPrintEnd(const Platform& platform, const PaperJob& job, const OpenedDocument& opened, bool ended) {
    if (!opened.document)
        return; // never opened: said so when it was opened, or cancelled
    const QString& title = job.title;
    const QString error = opened.document->errorText();
    if (opened.pdfPath.isEmpty()) {
        if (!ended)
            platform.messages->show(u"印刷できませんでした。\n"_s + error, title, MessageButtons::Ok,
                                    MessageIcon::Warning);
        return;
    }
    if (ended)
        platform.messages->show(u"PDFファイルに保存しました。\n"_s + opened.pdfPath, title,
                                MessageButtons::Ok, MessageIcon::Information);
    else
        platform.messages->show(u"PDFファイルを保存できませんでした。\n"_s + opened.pdfPath + u"\n"_s + error,
                                title, MessageButtons::Ok, MessageIcon::Warning);
}

} // namespace mirai
