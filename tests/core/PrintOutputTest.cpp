// The one way to paper: where a document goes on each kind of station, and what the user is told.

#include "PrintOutput.h"

#include "Doubles.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

const QString kHome = u"/home/sensei"_s;

struct PaperCase {
    const char* name = "";
    bool service = true; // the station has print support at all
    bool printer = false;
    bool cancelPrintDialog = false;
    QString printerError{};
    bool pdfUnwritable = false;
    bool failEnd = false;
    std::vector<QString> saveAnswers{}; // answers of the save dialog; none takes the proposal
    QString what = u"プリント"_s;
    // Expected:
    QString proposed{}; // the path proposed in the save dialog; empty when not asked
    QString document{}; // "printer", a PDF path, or empty for no document
    bool ended = false;
    QStringList messages{};
};

class PaperTest : public ::testing::TestWithParam<PaperCase> {};

TEST_P(PaperTest, GoesWhereTheStationCanPrintAndSaysWhatHappened) {
    const PaperCase& c = GetParam();
    TestPlatform doubles;
    doubles.printing.printerInstalled = c.printer;
    doubles.printing.cancelDialog = c.cancelPrintDialog;
    doubles.printing.printerError = c.printerError;
    doubles.printing.pdfUnwritable = c.pdfUnwritable;
    doubles.printing.failEnd = c.failEnd;
    for (const QString& answer : c.saveAnswers)
        doubles.files.scriptAnswers({answer});
    Platform platform = doubles.platform();
    if (!c.service)
        platform.printing = nullptr;

    const PaperJob job{u"みらいドリル"_s, c.what, PageOrientation::Landscape, kHome};
    const OpenedDocument opened = openPrintDocument(platform, job);
    bool ended = false;
    if (opened.document) {
        opened.document->drawText({100, 100}, u"山田花子"_s);
        ended = opened.document->endDocument();
    }
    reportPrintEnd(platform, job, opened, ended);

    if (c.proposed.isEmpty()) {
        EXPECT_TRUE(doubles.files.asked.empty());
    } else {
        ASSERT_EQ(doubles.files.asked.size(), 1u);
        EXPECT_EQ(doubles.files.asked[0].title, u"PDFファイルに保存"_s);
        EXPECT_EQ(doubles.files.asked[0].proposed, c.proposed);
        EXPECT_EQ(doubles.files.asked[0].filter, u"PDF (*.pdf)"_s);
    }
    if (c.document.isEmpty()) {
        EXPECT_EQ(opened.document, nullptr);
    } else {
        ASSERT_EQ(doubles.printing.documents.size(), 1u);
        const DrawingLog& log = *doubles.printing.documents[0];
        EXPECT_EQ(log.pdfPath, c.document == u"printer"_s ? QString() : c.document);
        EXPECT_EQ(opened.pdfPath, log.pdfPath);
        EXPECT_EQ(log.orientation, PageOrientation::Landscape);
        EXPECT_EQ(log.texts(), QStringList{u"山田花子"_s});
    }
    EXPECT_EQ(ended, c.ended);
    QStringList shown;
    for (const ShownMessage& message : doubles.messages.shown) {
        shown.append(message.text);
        EXPECT_EQ(message.title, u"みらいドリル"_s);
    }
    EXPECT_EQ(shown, c.messages);
}

const QString kSheet = kHome + u"/みらいドリル/プリント_20261209-100000.pdf"_s;
const QString kGraph = kHome + u"/みらいドリル/グラフ_20261209-100000.pdf"_s;

INSTANTIATE_TEST_SUITE_P(
    Stations, PaperTest,
    ::testing::Values(
        PaperCase{.name = "printerPrints", .printer = true, .document = u"printer"_s, .ended = true},
        PaperCase{.name = "printDialogCancelled", .printer = true, .cancelPrintDialog = true},
        PaperCase{
            .name = "printerUnusableFallsBackToPdf",
            .printer = true,
            .printerError = u"プリンター「教室」を使えません。"_s,
            .what = u"グラフ"_s,
            .proposed = kGraph,
            .document = kGraph,
            .ended = true,
            .messages =
                {u"プリンターを使えません。PDFファイルに保存します。\nプリンター「教室」を使えません。"_s,
                 u"PDFファイルに保存しました。\n"_s + kGraph}},
        PaperCase{.name = "printerFailsAtTheEnd",
                  .printer = true,
                  .failEnd = true,
                  .document = u"printer"_s,
                  .messages = {u"印刷できませんでした。\nprinter refused"_s}},
        PaperCase{.name = "noPrinterWritesAPdf",
                  .proposed = kSheet,
                  .document = kSheet,
                  .ended = true,
                  .messages = {u"PDFファイルに保存しました。\n"_s + kSheet}},
        PaperCase{.name = "saveDialogCancelled", .saveAnswers = {QString()}, .proposed = kSheet},
        PaperCase{.name = "nameWithoutEndingGetsPdf",
                  .saveAnswers = {u"/tmp/シート"_s},
                  .proposed = kSheet,
                  .document = u"/tmp/シート.pdf"_s,
                  .ended = true,
                  .messages = {u"PDFファイルに保存しました。\n/tmp/シート.pdf"_s}},
        PaperCase{.name = "pdfNotWritable",
                  .pdfUnwritable = true,
                  .saveAnswers = {u"/root/a.pdf"_s},
                  .proposed = kSheet,
                  .messages = {u"PDFファイルを作れません。\n/root/a.pdf"_s}},
        PaperCase{.name = "pdfFailsAtTheEnd",
                  .failEnd = true,
                  .saveAnswers = {u"/tmp/a.pdf"_s},
                  .proposed = kSheet,
                  .document = u"/tmp/a.pdf"_s,
                  .messages = {u"PDFファイルを保存できませんでした。\n/tmp/a.pdf\nprinter refused"_s}},
        PaperCase{
            .name = "noPrintSupport", .service = false, .messages = {u"この端末では印刷できません。"_s}}),
    [](const ::testing::TestParamInfo<PaperCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace mirai::test
