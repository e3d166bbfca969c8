#include "PrintFixture.h"

#include <QFontMetricsF>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// The engine on a recording preview box, or on a printer page of the recording service.
class PrintEngineTest : public ::testing::Test {
protected:
    void SetUp() override {
        engine.setPreviewBox(&box);
        engine.setPrintService(&service);
    }
    void onPreview(int portrait = 1) { engine.InitializePrintSurface(0, portrait); }
    void onPrinter(int portrait = 1) {
        const PageOrientation orientation =
            portrait == 1 ? PageOrientation::Portrait : PageOrientation::Landscape;
        document = service.openPdf(u"page.pdf"_s, orientation);
        engine.setPrinterPage(document.get());
        engine.InitializePrintSurface(1, portrait);
    }
    const DrawingLog& drawn() const { return engine.ToPrinter == 0 ? *box.log : *service.documents.back(); }
    // A cell of the 15-row sheet: row 1, the problem column of "すべて印刷".
    void cell(double width = 0.95 * 0.55) {
        engine.RowHeight = 0.9 / 15;
        engine.RowY = 1000;
        engine.CellX = 0.06;
        engine.CellWidth = width;
    }

    RecordingPrintService service;
    RecordingPreviewBox box;
    PrintEngine engine{ui::uiFamily()};
    std::unique_ptr<PrintDocument> document;
};

struct SurfaceCase {
    const char* name;
    int printing;
    int portrait;
    QSizeF printerPage; // portrait page of the service
    double previewScale;
    int penFactor;
    QSizeF surface;
    std::vector<QSizeF> boxSizes; // as the preview box took them
    QSizeF spans;
};
void PrintTo(const SurfaceCase& c, std::ostream* out) {
    *out << c.name;
}

class InitializeSurface : public PrintEngineTest, public ::testing::WithParamInterface<SurfaceCase> {};

TEST_P(InitializeSurface, MeasuresTheSurfaceAndScales) {
    const SurfaceCase& c = GetParam();
    service.portraitTwips = c.printerPage;
    if (c.printing == 1)
        onPrinter(c.portrait);
    else
        onPreview(c.portrait);
    EXPECT_EQ(engine.ToPrinter, c.printing);
    EXPECT_DOUBLE_EQ(engine.PreviewScale, c.previewScale);
    EXPECT_EQ(engine.PenFactor, c.penFactor);
    EXPECT_DOUBLE_EQ(engine.MarginX, 0.005);
    EXPECT_DOUBLE_EQ(engine.MarginY, 0.0);
    EXPECT_EQ(QSizeF(engine.SurfaceWidth, engine.SurfaceHeight), c.surface);
    EXPECT_EQ(box.sizes, c.boxSizes);
    EXPECT_NEAR(engine.PrinterSpanX, c.spans.width(), 1e-6);
    EXPECT_NEAR(engine.PrinterSpanY, c.spans.height(), 1e-6);
    EXPECT_EQ(engine.OutputTarget != nullptr, true);
}

INSTANTIATE_TEST_SUITE_P(Cases, InitializeSurface,
                         ::testing::Values(
                             // 11906 x 0.63 = 500.05 pixels -> 500; the box is 3 % larger: 515 x 728 pixels.
                             SurfaceCase{"PreviewPortrait",
                                         0,
                                         1,
                                         {11906, 16838},
                                         0.63,
                                         1,
                                         {7500, 10605},
                                         {{7500, 10605}, {7725, 10920}},
                                         {11906 * 1.06, 16838 * 1.05}},
                             SurfaceCase{"PreviewLandscape",
                                         0,
                                         0,
                                         {11906, 16838},
                                         0.8,
                                         1,
                                         {13470, 9525},
                                         {{13470, 9525}, {13875, 9810}},
                                         {16838 * 1.06, 11906 * 1.05}},
                             SurfaceCase{"PrinterPortrait",
                                         1,
                                         1,
                                         {11906, 16838},
                                         0.63,
                                         6,
                                         {11906, 16838},
                                         {},
                                         {11906 * 1.06, 16838 * 1.05}},
                             SurfaceCase{"PrinterWithMargins",
                                         1,
                                         1,
                                         {11338, 16157},
                                         0.63,
                                         6,
                                         {11338, 16157},
                                         {},
                                         {11338 * 1.06, 16157 * 1.05}}),
                         [](const ::testing::TestParamInfo<SurfaceCase>& info) {
                             return std::string(info.param.name);
                         });

struct LineCase {
    int printing;
    QPointF from;
    QPointF to;
    int pen;
};
void PrintTo(const LineCase& c, std::ostream* out) {
    *out << (c.printing ? "printer" : "preview");
}

class LineMapping : public PrintEngineTest, public ::testing::WithParamInterface<LineCase> {};

TEST_P(LineMapping, VirtualUnitsLandOnTheSurface) {
    const LineCase& c = GetParam();
    c.printing == 1 ? onPrinter() : onPreview();
    engine.ライン(0, 300, 10000, 300, 1, 255);
    const std::vector<DrawOp> lines = drawn().ofKind(DrawOp::Line);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NEAR(lines[0].from.x(), c.from.x(), 0.01);
    EXPECT_NEAR(lines[0].from.y(), c.from.y(), 0.01);
    EXPECT_NEAR(lines[0].to.x(), c.to.x(), 0.01);
    EXPECT_NEAR(lines[0].to.y(), c.to.y(), 0.01);
    EXPECT_EQ(lines[0].widthPixels, c.pen);
    EXPECT_EQ(lines[0].colour, 0xFFu);
}

INSTANTIATE_TEST_SUITE_P(
    PreviewAndPrinter, LineMapping,
    ::testing::Values(
        // Preview: 0.5 % of 7500 in, 300 / 10000 of 10605 down.
        LineCase{0, {37.5, 318.15}, {7537.5, 318.15}, 1},
        // Printer: 0.89 of 1.06 page widths across from 0.5 % in, 0.89 of 1.05 page heights down.
        LineCase{1,
                 {0.89 * 11906 * 1.06 * 0.005, 0.89 * 300 * 16838 * 1.05 / 10000},
                 {0.89 * 11906 * 1.06 * 1.005, 0.89 * 300 * 16838 * 1.05 / 10000},
                 4}));

TEST_F(PrintEngineTest, TextsAreDrawnAtTheSurfacesOwnSize) {
    const struct {
        int printing;
        int portrait;
        double points;
    } cases[] = {{0, 1, 0.9 * 0.63 * 20}, {0, 0, 0.9 * 0.8 * 20}, {1, 1, 0.89 * 20}};
    for (const auto& c : cases) {
        c.printing == 1 ? onPrinter(c.portrait) : onPreview(c.portrait);
        engine.文字2(5000, 5000, u"0.3 × 7"_s, 20);
        const DrawOp text = drawn().ofKind(DrawOp::Text).back();
        EXPECT_DOUBLE_EQ(text.points, c.points) << c.printing << c.portrait;
        EXPECT_EQ(text.family, ui::uiFamily());
        EXPECT_EQ(text.colour, 0u);
        EXPECT_EQ(text.from, engine.mapped(5000, 5000));
    }
}

// The size search on a cell of the 15-row sheet, the same on the preview and on paper.
struct SearchCase {
    const char* name;
    QString text;
    double cellWidth;
    int size;  // where the search ends; 0: below 20, on several lines
    int lines; // lines drawn (an empty line draws nothing)
};
void PrintTo(const SearchCase& c, std::ostream* out) {
    *out << c.name;
}

class SizeSearch : public PrintEngineTest, public ::testing::WithParamInterface<SearchCase> {
protected:
    // Whether the text fits the cell at a size: its lines and one more line step stay below the
    // row height.
    bool fits(const QString& text, int size) const {
        const double step = (engine.ToPrinter ? 1.0 : engine.PreviewScale) * 25 * size;
        const auto lines =
            engine.wrapParagraph(text, engine.CellWidth * engine.PrinterPage.width(), size).size();
        return static_cast<double>(lines + 1) * step < engine.RowHeight * engine.SurfaceHeight;
    }
};

TEST_P(SizeSearch, EndsAtTheLargestSizeThatFits) {
    const SearchCase& c = GetParam();
    std::vector<QStringList> drawnLines;
    std::vector<int> sizes;
    for (int printing : {0, 1}) {
        printing == 1 ? onPrinter() : onPreview();
        cell(c.cellWidth);
        engine.文字表示3(c.text);
        const int size = engine.TextSize;
        sizes.push_back(size);
        EXPECT_EQ(engine.TextDoesNotFit, 0);
        EXPECT_TRUE(fits(c.text, size));
        EXPECT_FALSE(fits(c.text, size + 1));
        if (c.size > 0)
            EXPECT_EQ(size, c.size) << (printing ? "printer" : "preview");
        else
            EXPECT_LT(size, 20);
        const std::vector<DrawOp> texts = drawn().ofKind(DrawOp::Text);
        if (c.lines >= 0)
            EXPECT_EQ(static_cast<int>(texts.size()), c.lines);
        else
            EXPECT_GT(texts.size(), 1u);
        QStringList lines;
        for (std::size_t k = 0; k < texts.size(); ++k) {
            lines.append(texts[k].text);
            EXPECT_DOUBLE_EQ(texts[k].from.x(), texts[0].from.x()) << "every line starts at the cell's x";
            const double step = (printing ? 0.89 * 1.05 : 0.63) * 25 * size;
            EXPECT_NEAR(texts[k].from.y() - texts[0].from.y(), static_cast<double>(k) * step, 0.01);
        }
        EXPECT_EQ(lines.join(QString()), c.text);
        drawnLines.push_back(lines);
    }
    EXPECT_EQ(sizes[0], sizes[1]);
    EXPECT_EQ(drawnLines[0], drawnLines[1]) << "the preview and the page break at the same places";
}

INSTANTIATE_TEST_SUITE_P(
    Cases, SizeSearch,
    ::testing::Values(
        // Two line steps of 25 x 21 twips reach the row height (0.06 of the page), of 25 x 20 not.
        SearchCase{"OneLine", u"0.7 × 8"_s, 0.95 * 0.55, 20, 1},
        SearchCase{"Empty", QString(), 0.95 * 0.55, 20, 0},
        SearchCase{"LongJapanese",
                   u"小数のかけ算は、小数点がないものとして計算し、積の小数点を右から数えた位置にうちます"_s,
                   0.95 * 0.2, 0, -1},
        SearchCase{"LongLatin", u"multiply as whole numbers then count the decimal places of both factors"_s,
                   0.95 * 0.2, 0, -1}),
    [](const ::testing::TestParamInfo<SearchCase>& info) { return std::string(info.param.name); });

TEST_F(PrintEngineTest, TheSearchStopsAtOnePointAndDrawsThere) {
    for (int printing : {0, 1}) {
        printing == 1 ? onPrinter() : onPreview();
        cell();
        engine.RowHeight = 0.0001; // not even a line of 1 point fits
        engine.文字表示3(u"3.5"_s);
        EXPECT_EQ(engine.TextSize, 1);
        const std::vector<DrawOp> texts = drawn().ofKind(DrawOp::Text);
        ASSERT_EQ(texts.size(), 1u);
        EXPECT_EQ(texts[0].text, u"3.5"_s);
        EXPECT_DOUBLE_EQ(texts[0].points, printing ? 0.89 : 0.9 * 0.63);
    }
}

TEST_F(PrintEngineTest, NoLineIsWiderThanTheBox) {
    const struct {
        QString text;
        double width;
        int points;
    } cases[] = {
        {u"かけられる数とかける数の小数点以下のけた数をたした数だけ、積の小数点を左へうつします。"_s, 2000,
         20},
        {u"0.25 × 0.4 = 0.1 because 25 × 4 = 100 and three decimal places are counted"_s, 1500, 14},
        {u"Supercalifragilisticexpialidocious"_s, 800, 20}, // one word wider than the box
        {u"①②③④⑤⑥⑦⑧⑨⑩"_s, 600, 30},
    };
    for (const auto& c : cases) {
        const QStringList lines = engine.wrapParagraph(c.text, c.width, c.points);
        EXPECT_GT(lines.size(), 1) << c.text.toStdString();
        EXPECT_EQ(lines.join(QString()), c.text);
        QFont font(ui::uiFamily());
        font.setPixelSize(c.points * 20);
        font.setHintingPreference(QFont::PreferNoHinting);
        const QFontMetricsF metrics(font);
        for (const QString& line : lines)
            EXPECT_LE(metrics.horizontalAdvance(trimTrailingBlanks(line)), c.width + 0.5)
                << line.toStdString();
    }
    EXPECT_EQ(engine.wrapParagraph(QString(), 1000, 20), QStringList{QString()});
}

TEST_F(PrintEngineTest, AStoppedEngineDrawsNothingMore) {
    onPreview();
    int pumps = 0;
    engine.setEventHook([&pumps] { return ++pumps != 2; });
    cell();
    engine.文字表示3(u"1"_s);
    engine.RowY += 600;
    engine.文字表示3(u"2"_s); // the hook stops the drawing before this one is drawn
    EXPECT_TRUE(engine.stopped());
    engine.ライン(0, 300, 10000, 300, 1, 0);
    engine.文字表示3(u"3"_s);
    EXPECT_EQ(box.log->texts(), QStringList{u"1"_s});
    EXPECT_TRUE(box.log->ofKind(DrawOp::Line).empty());
    engine.resume();
    engine.文字表示3(u"4"_s);
    EXPECT_EQ(box.log->texts(), (QStringList{u"1"_s, u"4"_s}));
}

} // namespace
} // namespace mirai::test
