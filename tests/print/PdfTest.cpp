#include "Files.h"
#include "PrintFixture.h"
#include "QtPrintService.h"

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// Real PDF files through the station's print support.
class PdfTest : public ::testing::Test {
protected:
    QString path(const QString& name) const { return dir.path() + u'/' + name; }

    QTemporaryDir dir;
    QtPrintService service;
};

TEST_F(PdfTest, AWorksheetIsOneA4PageOfValidPdf) {
    // A sheet as a teacher prints it: Japanese texts, two of three blanked.
    QStringList lines;
    for (int i = 1; i <= 15; ++i)
        lines.append(sourceLine(u"1"_s, u"0.%1 × 7 ="_s.arg(i % 9 + 1),
                                u"%1.%2"_s.arg((i % 9 + 1) * 7 / 10).arg((i % 9 + 1) * 7 % 10),
                                u"小数点以下は一けた"_s));
    writeTextFile(path(u"プロト.csv"_s), lines);
    PrintState print;
    PrintChoices choices;
    choices.option = 5;
    StandardRandom random(3);
    PreparePrintTable(print, path(u"プロト.csv"_s), choices, random);

    const QString pdf = path(u"プリント_20261209-100000.pdf"_s);
    std::unique_ptr<PrintDocument> document = service.openPdf(pdf, PageOrientation::Portrait);
    ASSERT_NE(document, nullptr);
    // The whole A4 sheet is the page: 210 x 297 mm.
    EXPECT_NEAR(document->sizeTwips().width(), 210 / 25.4 * 1440, 1.0);
    EXPECT_NEAR(document->sizeTwips().height(), 297 / 25.4 * 1440, 1.0);
    EXPECT_DOUBLE_EQ(document->twipsPerPixel(), 1440.0 / QtPrintService::kPdfResolution);

    PrintEngine engine(ui::uiFamily());
    engine.setPrintService(&service);
    engine.setPrinterPage(document.get());
    engine.InitializePrintSurface(1, 1);
    DrawTableLayout(engine, print.sheet());
    ASSERT_TRUE(document->endDocument()) << document->errorText().toStdString();
    EXPECT_TRUE(document->errorText().isEmpty());

    const QByteArray bytes = readBytes(pdf);
    EXPECT_TRUE(bytes.startsWith("%PDF-1.")) << bytes.left(16).toStdString();
    EXPECT_TRUE(bytes.trimmed().endsWith("%%EOF"));
    EXPECT_TRUE(bytes.contains("startxref"));
    // One page object, in a page tree of one page, A4 in points.
    const QString text = QString::fromLatin1(bytes);
    EXPECT_EQ(text.count(QRegularExpression(u"/Type\\s*/Page\\b"_s)), 1);
    EXPECT_EQ(text.count(QRegularExpression(u"/Count\\s+1\\b"_s)), 1);
    const QRegularExpressionMatch box =
        QRegularExpression(u"/MediaBox\\s*\\[\\s*0\\s+0\\s+([0-9.]+)\\s+([0-9.]+)\\s*\\]"_s).match(text);
    ASSERT_TRUE(box.hasMatch());
    EXPECT_NEAR(box.captured(1).toDouble(), 595.3, 0.5);
    EXPECT_NEAR(box.captured(2).toDouble(), 841.9, 0.5);
    // The Japanese face is embedded, so every glyph prints where the file is opened.
    EXPECT_TRUE(bytes.contains("/FontFile2")) << "an embedded TrueType face";

    const QString keep = qEnvironmentVariable("MIRAI_KEEP_PDF");
    if (!keep.isEmpty()) {
        QFile::remove(keep);
        QFile::copy(pdf, keep);
    }
}

// Where ink lies on each page of a PDF file, in millimetres from the paper's edges, as a
// rasteriser draws it (the poppler tools, as a viewer or a printer driver would).
struct InkMargins {
    double left = 0, top = 0, right = 0, bottom = 0;
};
std::vector<InkMargins> inkMargins(const QString& pdf, const QString& folder) {
    constexpr int kDpi = 72;
    QProcess rasteriser;
    rasteriser.start(u"pdftoppm"_s, {u"-r"_s, QString::number(kDpi), u"-gray"_s, pdf, folder + u"/page"_s});
    if (!rasteriser.waitForFinished(60000) || rasteriser.exitCode() != 0) {
        ADD_FAILURE() << "pdftoppm (poppler-utils) could not draw " << pdf.toStdString();
        return {};
    }
    std::vector<InkMargins> pages;
    const QStringList files = QDir(folder).entryList({u"page-*.pgm"_s}, QDir::Files, QDir::Name);
    for (const QString& name : files) {
        const QImage page(folder + u'/' + name);
        int left = page.width(), top = page.height(), right = -1, bottom = -1;
        for (int y = 0; y < page.height(); ++y) {
            for (int x = 0; x < page.width(); ++x) {
                if (qGray(page.pixel(x, y)) < 224) {
                    left = std::min(left, x);
                    right = std::max(right, x);
                    top = std::min(top, y);
                    bottom = std::max(bottom, y);
                }
            }
        }
        const double mm = 25.4 / kDpi;
        if (right < 0)
            continue; // a blank page
        pages.push_back(
            {left * mm, top * mm, (page.width() - 1 - right) * mm, (page.height() - 1 - bottom) * mm});
    }
    return pages;
}

// A PDF may be printed later on a printer that cannot reach the paper's edges: whatever was laid
// out to the edges of the sheet keeps 10 mm clear of them, on every page, in both orientations.
TEST_F(PdfTest, TheDrawingKeepsTenMillimetresFromEveryEdge) {
    for (const PageOrientation orientation : {PageOrientation::Portrait, PageOrientation::Landscape}) {
        const bool portrait = orientation == PageOrientation::Portrait;
        SCOPED_TRACE(portrait ? "portrait" : "landscape");
        const QString pdf = path(portrait ? u"edges-portrait.pdf"_s : u"edges-landscape.pdf"_s);
        std::unique_ptr<PrintDocument> document = service.openPdf(pdf, orientation);
        ASSERT_NE(document, nullptr);
        const QSizeF sheet = document->sizeTwips();
        EXPECT_NEAR(sheet.width(), (portrait ? 210 : 297) / 25.4 * 1440, 1.0); // layouts stay on the sheet
        for (int page = 0; page < 2; ++page) {
            if (page > 0)
                document->newPage();
            // A frame on the sheet's very edges and a text in its corner.
            const QPointF corners[] = {
                {0, 0}, {sheet.width(), 0}, {sheet.width(), sheet.height()}, {0, sheet.height()}};
            for (int i = 0; i < 4; ++i)
                document->drawLine(corners[i], corners[(i + 1) % 4], 4, 0);
            document->setFont(ui::uiFamily(), 12);
            document->drawText(QPointF(0, 0), u"左上の問題"_s);
        }
        ASSERT_TRUE(document->endDocument());

        const QString pages = path(portrait ? u"portrait"_s : u"landscape"_s);
        QDir().mkpath(pages);
        const std::vector<InkMargins> margins = inkMargins(pdf, pages);
        ASSERT_EQ(margins.size(), 2u);
        for (const InkMargins& m : margins) {
            for (const double edge : {m.left, m.top, m.right, m.bottom}) {
                EXPECT_GE(edge, 9.5);  // clear of the edge ...
                EXPECT_LE(edge, 15.0); // ... and the sheet no smaller than it needs to be
            }
        }
    }
}

TEST_F(PdfTest, ADiscardedDocumentLeavesNoFileAndAnUnwritableOneIsRefused) {
    const QString pdf = path(u"discarded.pdf"_s);
    std::unique_ptr<PrintDocument> document = service.openPdf(pdf, PageOrientation::Portrait);
    ASSERT_NE(document, nullptr);
    document->drawLine(QPointF(0, 0), QPointF(1440, 1440), 4, 0);
    document->discardDocument();
    EXPECT_FALSE(QFile::exists(pdf));
    EXPECT_FALSE(document->endDocument());

    EXPECT_EQ(service.openPdf(path(u"no such folder/sheet.pdf"_s), PageOrientation::Portrait), nullptr);
}

TEST_F(PdfTest, ADocumentWithNothingDrawnIsOneBlankPage) {
    const QString pdf = path(u"blank.pdf"_s);
    std::unique_ptr<PrintDocument> document = service.openPdf(pdf, PageOrientation::Landscape);
    ASSERT_NE(document, nullptr);
    EXPECT_GT(document->sizeTwips().width(), document->sizeTwips().height());
    ASSERT_TRUE(document->endDocument());
    EXPECT_TRUE(readBytes(pdf).startsWith("%PDF-1."));
}

TEST_F(PdfTest, ThePreviewPageIsA4OrWhatTheDefaultPrinterCanReachOfIt) {
    const QSizeF portrait = service.pageSizeTwips(PageOrientation::Portrait);
    const QSizeF landscape = service.pageSizeTwips(PageOrientation::Landscape);
    if (!service.hasPrinter()) {
        EXPECT_EQ(portrait, QSizeF(11906, 16838));
    } else {
        // A printer's margins take at most a few millimetres of each edge.
        EXPECT_LE(portrait.width(), 11906);
        EXPECT_GT(portrait.width(), 11906 - 2 * 15 * 1440 / 25.4);
        EXPECT_LE(portrait.height(), 16838);
        EXPECT_GT(portrait.height(), 16838 - 2 * 15 * 1440 / 25.4);
    }
    EXPECT_NEAR(landscape.width(), portrait.height(), 200);
    EXPECT_NEAR(landscape.height(), portrait.width(), 200);
}

} // namespace
} // namespace mirai::test
