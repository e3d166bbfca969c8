#include "Files.h"
#include "PrintFixture.h"

#include <QTemporaryDir>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// A sheet prepared from a source of 20 level-1 lines, in file order.
class TableLayoutTest : public ::testing::Test {
protected:
    PrintSheet prepareSheet(int option, const QStringList& lines = sourceLines(1, 20)) {
        writeTextFile(dir.path() + u"/プロト.csv"_s, lines);
        PrintChoices choices;
        choices.shuffle = false;
        choices.option = option;
        StandardRandom random(7);
        PreparePrintTable(print, dir.path() + u"/プロト.csv"_s, choices, random);
        return print.sheet();
    }

    QTemporaryDir dir;
    PrintState print;
    RecordingPrintService service;
};

class SheetOnBothSurfaces : public TableLayoutTest, public ::testing::WithParamInterface<int> {};

TEST_P(SheetOnBothSurfaces, SameRowsAndRulesAtTheVirtualPositions) {
    const int option = GetParam();
    const PrintSheet sheet = prepareSheet(option);
    const auto drawn = drawOnBoth(sheet, service);
    EXPECT_EQ(drawn->preview->texts(), drawn->page->texts()) << "the same texts in the same order";
    EXPECT_EQ(drawn->page->pageCount(), 1);

    struct Surface {
        const char* name;
        const DrawingLog& log;
        const PrintEngine& engine;
    };
    for (const Surface& s : {Surface{"preview", *drawn->preview, drawn->previewEngine},
                             Surface{"page", *drawn->page, drawn->pageEngine}}) {
        SCOPED_TRACE(s.name);
        auto y = [&](double virtualY) { return s.engine.mapped(0, virtualY).y(); };
        auto x = [&](double virtualX) { return s.engine.mapped(virtualX, 0).x(); };

        // 16 text rows: the headers at 400, the problems from 1000 on, 600 apart.
        std::vector<double> rowYs;
        for (const DrawOp& text : s.log.ofKind(DrawOp::Text)) {
            rowYs.push_back(text.from.y());
            EXPECT_EQ(text.points, s.engine.ToPrinter ? 0.89 * 20 : 0.9 * 0.63 * 20)
                << text.text.toStdString();
        }
        std::vector<double> expectedRows;
        for (int row = 0; row <= 15; ++row)
            expectedRows.push_back(y(400 + 600 * row));
        const std::vector<double> rows = distinct(rowYs);
        ASSERT_EQ(rows.size(), expectedRows.size());
        for (std::size_t i = 0; i < rows.size(); ++i)
            EXPECT_NEAR(rows[i], expectedRows[i], 0.01);

        std::vector<double> horizontal;
        std::vector<double> vertical;
        for (const DrawOp& line : s.log.ofKind(DrawOp::Line)) {
            EXPECT_EQ(line.widthPixels, s.engine.ToPrinter ? 4 : 1);
            EXPECT_EQ(line.colour, 0u);
            if (std::abs(line.from.y() - line.to.y()) < 0.5) {
                horizontal.push_back(line.from.y());
                EXPECT_NEAR(line.from.x(), x(0), 0.01);
                EXPECT_NEAR(line.to.x(), x(10000), 0.01);
            } else {
                ASSERT_NEAR(line.from.x(), line.to.x(), 0.01);
                vertical.push_back(line.from.x());
                EXPECT_NEAR(line.from.y(), y(300), 0.01);
                EXPECT_NEAR(line.to.y(), y(9900), 0.01);
            }
        }
        // 17 rules: above each of the 16 rows (300, 900, ..., 9300) and the closing one at 9900.
        ASSERT_EQ(horizontal.size(), 17u);
        for (std::size_t k = 0; k < horizontal.size(); ++k)
            EXPECT_NEAR(horizontal[k], y(300 + 600.0 * static_cast<double>(k)), 0.01);
        ASSERT_EQ(static_cast<int>(vertical.size()), sheet.TableColumnCount + 1);
        for (int c = 1; c <= sheet.TableColumnCount + 1; ++c)
            EXPECT_NEAR(vertical[static_cast<std::size_t>(c - 1)], x(10000 * sheet.ColumnStarts[c]), 0.01);
    }
}

INSTANTIATE_TEST_SUITE_P(AllOptions, SheetOnBothSurfaces, ::testing::Values(1, 2, 3, 4, 5));

TEST_F(TableLayoutTest, UnshuffledTwentyLinesPrintTheFirstFifteenInFileOrder) {
    const auto drawn = drawOnBoth(prepareSheet(5), service);
    QStringList problems;
    QStringList answers;
    const double problemX = drawn->pageEngine.mapped(10000 * (0.05 + 0.01), 0).x();
    const double answerX = drawn->pageEngine.mapped(10000 * (0.8 + 0.01), 0).x();
    for (const DrawOp& text : drawn->page->ofKind(DrawOp::Text)) {
        if (std::abs(text.from.x() - problemX) < 0.01)
            problems.append(text.text);
        if (std::abs(text.from.x() - answerX) < 0.01)
            answers.append(text.text);
    }
    QStringList expected{u"１列目"_s};
    QStringList expectedAnswers{u"４列目"_s};
    for (int i = 1; i <= 15; ++i) {
        expected.append(u"p%1"_s.arg(i));
        expectedAnswers.append(u"a%1"_s.arg(i));
    }
    EXPECT_EQ(problems, expected);
    EXPECT_EQ(answers, expectedAnswers) << "the blanked second texts, in the answer column";
    EXPECT_FALSE(drawn->page->texts().contains(u"p16"_s));
}

TEST_F(TableLayoutTest, LongTextsBreakAtTheSamePlacesOnPreviewAndPage) {
    QStringList lines;
    for (int i = 1; i <= 15; ++i)
        lines.append(
            sourceLine(u"1"_s, u"0.%1 × 0.3 は、%1 × 3 の積の小数点を左へ二つうつした数です"_s.arg(i),
                       u"0.%1"_s.arg(i * 3), u"three decimal places counted from the right %1"_s.arg(i)));
    const auto drawn = drawOnBoth(prepareSheet(2, lines), service);
    EXPECT_EQ(drawn->preview->texts(), drawn->page->texts());
    EXPECT_GT(drawn->page->texts().size(), 16 * 5) << "some cells wrapped onto several lines";
    // Cell by cell the sizes agree: the preview draws at 0.9 x 0.63 of the page's 0.89.
    const std::vector<DrawOp> preview = drawn->preview->ofKind(DrawOp::Text);
    const std::vector<DrawOp> page = drawn->page->ofKind(DrawOp::Text);
    ASSERT_EQ(preview.size(), page.size());
    for (std::size_t i = 0; i < page.size(); ++i)
        EXPECT_NEAR(preview[i].points / (0.9 * 0.63), page[i].points / 0.89, 1e-9)
            << page[i].text.toStdString();
}

TEST_F(TableLayoutTest, NothingIsDrawnForASheetWithoutRows) {
    RecordingPreviewBox box;
    PrintEngine engine(ui::uiFamily());
    engine.setPreviewBox(&box);
    engine.InitializePrintSurface(0, 1);
    DrawTableLayout(engine, PrintSheet{});
    EXPECT_TRUE(box.log->ops.empty());
}

} // namespace
} // namespace mirai::test
