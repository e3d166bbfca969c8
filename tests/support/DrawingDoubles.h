#pragma once

#include "DrawingSurface.h"
#include "FileDialogs.h"

#include <QStringList>
#include <deque>
#include <memory>
#include <vector>

namespace mirai::test {

// One call on a recording surface. Texts carry the font and colour they were drawn with.
struct DrawOp {
    enum Kind { Line, Point, Text, NewPage, Fill };
    Kind kind = Line;
    QPointF from; // line start, point, text top-left, top-left of a fill
    QPointF to;   // line end, bottom-right of a fill
    int widthPixels = 0;
    std::uint32_t colour = 0;
    QString text;
    QString family;
    double points = 0.0;
};

// What a recording surface saw, kept beyond the surface's life.
struct DrawingLog {
    std::vector<DrawOp> ops;
    PageOrientation orientation = PageOrientation::Portrait;
    QString pdfPath; // empty for a printer document
    bool ended = false;
    bool discarded = false;

    std::vector<DrawOp> ofKind(DrawOp::Kind kind) const;
    QStringList texts() const;
    int pageCount() const; // pages with something drawn on them
};

// A surface that keeps every call, so tests assert on the drawing rather than on pixels.
class RecordingSurface final : public PrintDocument {
public:
    explicit RecordingSurface(QSizeF sizeTwips, double twipsPerPixel = 15.0,
                              std::shared_ptr<DrawingLog> log = std::make_shared<DrawingLog>());

    QSizeF sizeTwips() const override { return m_size; }
    double twipsPerPixel() const override { return m_twipsPerPixel; }
    void setFont(const QString& family, double points) override;
    void setTextColour(std::uint32_t bgr) override { m_colour = bgr; }
    void drawLine(QPointF from, QPointF to, int widthPixels, std::uint32_t bgr) override;
    void drawPoint(QPointF at, int widthPixels, std::uint32_t bgr) override;
    void fillRect(const QRectF& area, std::uint32_t bgr) override;
    void drawText(QPointF topLeft, const QString& text) override;
    void newPage() override;
    bool endDocument() override;
    void discardDocument() override { m_log->discarded = true; }
    QString errorText() const override { return m_failEnd ? QStringLiteral("printer refused") : QString(); }

    void failEnd() { m_failEnd = true; }
    const DrawingLog& log() const { return *m_log; }

private:
    QSizeF m_size;
    double m_twipsPerPixel;
    std::shared_ptr<DrawingLog> m_log;
    QString m_family;
    double m_points = 0.0;
    std::uint32_t m_colour = 0;
    bool m_failEnd = false;
};

// A print service whose documents record their drawing; tests say whether a printer exists,
// whether the print dialog is cancelled, whether the printer or a PDF file can be opened, and
// whether documents fail at their end.
class RecordingPrintService final : public PrintService {
public:
    bool hasPrinter() const override { return printerInstalled; }
    QSizeF pageSizeTwips(PageOrientation orientation) const override;
    std::unique_ptr<PrintDocument> openPrinter(PageOrientation orientation, QString* error) override;
    std::unique_ptr<PrintDocument> openPdf(const QString& path, PageOrientation orientation) override;

    bool printerInstalled = false;
    bool cancelDialog = false;
    QString printerError; // the printer chosen in the dialog cannot be used
    bool pdfUnwritable = false;
    bool failEnd = false;
    QSizeF portraitTwips{11906, 16838};
    double twipsPerPixel = 1440.0 / 600.0;
    std::vector<std::shared_ptr<DrawingLog>> documents; // in order of opening

private:
    std::unique_ptr<PrintDocument> open(PageOrientation orientation, const QString& path);
};

// Answers the file dialogs from one script, in the order they are asked; without one a dialog
// takes the proposed path.
class ScriptedFileDialogs final : public FileDialogs {
public:
    QString saveFileName(const QString& title, const QString& proposed, const QString& filter) override;
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override {
        return saveFileName(title, folder, filter);
    }
    QString folderName(const QString& title, const QString& proposed) override {
        return saveFileName(title, proposed, QString());
    }
    void scriptAnswers(std::initializer_list<QString> answers) { m_answers.insert(m_answers.end(), answers); }
    struct Asked {
        QString title, proposed, filter;
    };
    std::vector<Asked> asked;

private:
    std::deque<QString> m_answers;
};

} // namespace mirai::test
