#include "GraphPanel.h"

#include "HubFixture.h"
#include "QtPrinters.h"

#include <QPushButton>
#include <QRadioButton>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

class GraphPanelTest : public HubFixture {
protected:
    // The hub in personal display, as the given user.
    seisekitime1* openPersonal(const QString& name = QString()) {
        if (!name.isEmpty())
            state->StudentName = name;
        seisekitime1* hub = open();
        if (hub)
            control<QRadioButton>(hub, u"Option2(2)"_s)->click();
        return hub;
    }
    GraphPanel* panel(QWidget* hub) { return control<GraphPanel>(hub, u"Picture11"_s); }
    QListWidget* list(QWidget* hub, const QString& name) { return control<QListWidget>(hub, name); }
    QStringList rows(QListWidget* widget) {
        QStringList result;
        for (int i = 0; widget && i < widget->count(); ++i)
            result.append(widget->item(i)->text());
        return result;
    }
    QStringList selected(QListWidget* widget) {
        QStringList result;
        for (QListWidgetItem* item : widget->selectedItems())
            result.append(item->text());
        return result;
    }
    // Red pixels of the canvas in the band starting at `top` (a fraction of the height).
    int redPixels(const QImage& canvas, double top) {
        int count = 0;
        const int from = static_cast<int>(top * canvas.height());
        for (int y = from; y < from + static_cast<int>(0.3 * canvas.height()); ++y)
            for (int x = 0; x < canvas.width() / 2; ++x) {
                const QColor colour = canvas.pixelColor(x, y);
                count += colour.red() > 200 && colour.green() < 90 && colour.blue() < 90 ? 1 : 0;
            }
        return count;
    }
    // Two teachers' picks: the first two students of the list.
    void pickFirstTwo(QWidget* hub) {
        control<QPushButton>(hub, u"Command25"_s)->click();
        list(hub, u"List2"_s)->item(0)->setSelected(true);
        list(hub, u"List2"_s)->item(1)->setSelected(true);
    }
};

TEST_F(GraphPanelTest, TheGraphButtonDrawsBothLevelsOfTheStudent) {
    addRuns(7, 1, 45, 3, 2);
    addRuns(7, 2, 80, 2, 1);
    addRuns(8, 1, 30, 1, 1);
    seisekitime1* hub = openPersonal();
    GraphPanel* graphs = panel(hub);
    EXPECT_EQ(rows(list(hub, u"List2"_s)),
              (QStringList{u"小３ /  山田花子/7"_s, u"小４ /  佐藤一郎/8"_s, u"中２ /  鈴木次郎/9"_s}));
    EXPECT_EQ(rows(list(hub, u"List3"_s)), (QStringList{u"1"_s, u"2"_s}));
    EXPECT_FALSE(graphs->isVisible());

    control<QPushButton>(hub, u"Command17"_s)->click();
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_TRUE(graphs->isVisible());
    EXPECT_EQ(graphs->pos(), QPoint(8, 116));
    EXPECT_EQ(selected(list(hub, u"List3"_s)), (QStringList{u"1"_s, u"2"_s}));
    EXPECT_FALSE(list(hub, u"List2"_s)->isVisible());
    EXPECT_TRUE(control<QPushButton>(hub, u"Command25"_s)->isVisible());
    EXPECT_EQ(graphs->graphStudent(), 7);
    EXPECT_EQ(graphs->graphFontSize(), 6.0);
    // Both bands show the student's first run as a red best.
    EXPECT_GT(redPixels(graphs->canvas(), 0.05), 0);
    EXPECT_GT(redPixels(graphs->canvas(), 0.35), 0);
    EXPECT_EQ(redPixels(graphs->canvas(), 0.65), 0);
    EXPECT_EQ(graphs->figures(1).timeRank, u"2"_s);
    EXPECT_EQ(graphs->figures(2).timeRank, u"1"_s);
    // Printing is for teachers.
    EXPECT_FALSE(control<QPushButton>(hub, u"Command24(1)"_s)->isVisible());
}

TEST_F(GraphPanelTest, ChoosingAnotherStudentOrLevelRedraws) {
    addRuns(7, 1, 45, 1, 2);
    addRuns(8, 2, 30, 2, 1);
    seisekitime1* hub = openPersonal();
    GraphPanel* graphs = panel(hub);
    control<QPushButton>(hub, u"Command17"_s)->click();
    control<QPushButton>(hub, u"Command25"_s)->click();
    EXPECT_FALSE(control<QPushButton>(hub, u"Command25"_s)->isVisible());
    EXPECT_TRUE(list(hub, u"List2"_s)->isVisible());
    list(hub, u"List2"_s)->item(1)->setSelected(true);
    EXPECT_EQ(graphs->graphStudent(), 8);
    EXPECT_EQ(redPixels(graphs->canvas(), 0.05), 0);
    EXPECT_GT(redPixels(graphs->canvas(), 0.35), 0);
    // Only the second level: its graph moves to the first band.
    list(hub, u"List3"_s)->item(0)->setSelected(false);
    EXPECT_GT(redPixels(graphs->canvas(), 0.05), 0);
    EXPECT_EQ(redPixels(graphs->canvas(), 0.35), 0);
}

TEST_F(GraphPanelTest, BackAndLeavingThePersonalDisplayHideThePanel) {
    seisekitime1* hub = openPersonal();
    auto* graphButton = control<QPushButton>(hub, u"Command17"_s);
    graphButton->click();
    control<QPushButton>(hub, u"Command18"_s)->click();
    EXPECT_FALSE(panel(hub)->isVisible());
    EXPECT_TRUE(graphButton->isVisible());
    graphButton->click();
    EXPECT_TRUE(panel(hub)->isVisible());
    control<QRadioButton>(hub, u"Option2(0)"_s)->click();
    EXPECT_FALSE(panel(hub)->isVisible());
    EXPECT_FALSE(graphButton->isVisible());
}

TEST_F(GraphPanelTest, WithoutAPrinterTwoStudentsGoIntoOnePdfOfTwoPages) {
    addRuns(7, 1, 45, 2, 2);
    addRuns(8, 2, 30, 1, 1);
    seisekitime1* hub = openPersonal(u"★山口先生"_s);
    control<QPushButton>(hub, u"Command17"_s)->click();
    pickFirstTwo(hub);
    auto* print = control<QPushButton>(hub, u"Command24(1)"_s);
    ASSERT_TRUE(print->isVisible());
    print->click();

    ASSERT_EQ(platform.files.asked.size(), 1u);
    const QString path = platform.files.asked[0].proposed;
    EXPECT_TRUE(path.endsWith(u"/みらいドリル/グラフ_20261209-100000.pdf"_s)) << path.toStdString();
    EXPECT_EQ(platform.files.asked[0].filter, u"PDF (*.pdf)"_s);
    ASSERT_EQ(platform.printing.documents.size(), 1u);
    const DrawingLog& pdf = *platform.printing.documents[0];
    EXPECT_EQ(pdf.pdfPath, path);
    EXPECT_EQ(pdf.orientation, PageOrientation::Portrait);
    EXPECT_TRUE(pdf.ended);
    EXPECT_EQ(pdf.pageCount(), 2);
    // One student after the other, each heading a page of his own.
    QStringList names;
    for (const DrawOp& op : pdf.ofKind(DrawOp::Text))
        if (op.points == 18 && !op.text.contains(u"みらいドリル"_s))
            names.append(op.text);
    EXPECT_EQ(names, (QStringList{u"山田花子"_s, u"佐藤一郎"_s}));
    EXPECT_EQ(pdf.ofKind(DrawOp::Point).size(), 3u);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, u"PDFファイルに保存しました。\n"_s + path);
}

struct PrintCase {
    const char* name;
    bool printer;
    bool cancel;
    bool failEnd;
    QString answer; // the save dialog's answer; "-" takes the proposal
    std::size_t documents;
    QString pdfSuffix;
    QString message; // the start of the message, empty for none
};

class PrintTest : public GraphPanelTest, public ::testing::WithParamInterface<PrintCase> {};

TEST_P(PrintTest, PrinterOrPdfAndEveryFailureIsSaid) {
    const PrintCase& test = GetParam();
    platform.printing.printerInstalled = test.printer;
    platform.printing.cancelDialog = test.cancel;
    platform.printing.failEnd = test.failEnd;
    if (test.answer != u"-"_s)
        platform.files.scriptAnswers({test.answer});
    addRuns(7, 1, 45, 1, 2);
    seisekitime1* hub = openPersonal(u"先生"_s);
    control<QPushButton>(hub, u"Command17"_s)->click();
    control<QPushButton>(hub, u"Command24(1)"_s)->click();

    EXPECT_EQ(platform.files.asked.size(), test.printer ? 0u : 1u);
    ASSERT_EQ(platform.printing.documents.size(), test.documents);
    if (test.documents == 1) {
        EXPECT_TRUE(platform.printing.documents[0]->pdfPath.endsWith(test.pdfSuffix));
        EXPECT_EQ(platform.printing.documents[0]->pageCount(), 1);
    }
    if (test.message.isEmpty()) {
        EXPECT_TRUE(platform.messages.shown.empty());
    } else {
        ASSERT_EQ(platform.messages.shown.size(), 1u);
        EXPECT_TRUE(platform.messages.shown[0].text.startsWith(test.message))
            << platform.messages.shown[0].text.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(
    Targets, PrintTest,
    ::testing::Values(PrintCase{"printer", true, false, false, u"-"_s, 1, QString(), QString()},
                      PrintCase{"printerCancelled", true, true, false, u"-"_s, 0, QString(), QString()},
                      PrintCase{"printerRefuses", true, false, true, u"-"_s, 1, QString(),
                                u"印刷できませんでした。\nprinter refused"_s},
                      PrintCase{"pdfCancelled", false, false, false, QString(), 0, QString(), QString()},
                      PrintCase{"pdfGetsItsEnding", false, false, false, u"/tmp/グラフ"_s, 1,
                                u"/tmp/グラフ.pdf"_s, u"PDFファイルに保存しました。\n/tmp/グラフ.pdf"_s},
                      PrintCase{"pdfNotWritten", false, false, true, u"/tmp/g.pdf"_s, 1, u"/tmp/g.pdf"_s,
                                u"PDFファイルを保存できませんでした。\n/tmp/g.pdf"_s}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mirai::test
