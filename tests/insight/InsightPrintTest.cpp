#include "InsightPrint.h"

#include "Answers.h"
#include "DrawingDoubles.h"
#include "GridColours.h"
#include "PictureTables.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>
#include <map>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

struct TextCase {
    const char* name;
    QString text;
    QString expected;
};

class FigureTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(FigureTextTest, FiguresAreWrittenAsTheScreenAndThePaperShowThem) {
    EXPECT_EQ(GetParam().text, GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, FigureTextTest,
    ::testing::Values(TextCase{"noPercent", percentText(std::nullopt), u"-"_s},
                      TextCase{"wholePercent", percentText(100.0), u"100%"_s},
                      TextCase{"percentRoundsToNearest", percentText(100.0 * 5 / 6), u"83%"_s},
                      TextCase{"percentHalfToEven", percentText(62.5), u"62%"_s},
                      TextCase{"percentHalfToEvenUp", percentText(87.5), u"88%"_s},
                      TextCase{"shareWithoutAnswers", countWithShareText(0, 0), u"-"_s},
                      TextCase{"shareOfAnswers", countWithShareText(3, 12), u"3（25%）"_s},
                      TextCase{"noneOfAnswers", countWithShareText(0, 7), u"0（0%）"_s},
                      TextCase{"noTime", secondsText(std::nullopt), u"-"_s},
                      TextCase{"wholeSeconds", secondsText(3000.0), u"3秒"_s},
                      TextCase{"tenthsOfASecond", secondsText(3240.0), u"3.2秒"_s},
                      TextCase{"halfATenthToEven", secondsText(3250.0), u"3.2秒"_s},
                      TextCase{"fact", missedFactText({Fact{7, 8}, 3, 12}), u"7×8　3回/12問"_s},
                      TextCase{"halfWidthColumns", QString::number(fixedTextWidth(u"100%"_s, 10)), u"400"_s},
                      TextCase{"fullWidthColumnsAreTwo", QString::number(fixedTextWidth(u"正答率"_s, 10)),
                               u"600"_s}));

// The picture's tables of a student's level: every period a column, the figures in their rows.
TEST(PictureTablesTest, TheTablesOfALevelHoldItsFiguresPerPeriod) {
    const std::int32_t today = day(2026, 12, 9);
    StudentPicture picture(7, today);
    // This week: 0.056 typed right, 0.56 (one place too big), 5.6 (two too big), 0.054 (7 × 8 missed);
    // earlier this month one more right with the hint, in October one right.
    for (const std::string_view typed : {"0.056", "0.56", "5.6", "0.054"})
        picture.add(Answer{.runDay = today, .typed = typed, .ms = 2000});
    picture.add(Answer{.runDay = day(2026, 12, 1), .typed = "0.056", .ms = 4000, .hint = true});
    picture.add(Answer{.runDay = day(2026, 10, 1), .typed = "0.056", .ms = 6000});
    const std::vector<TextTable> tables = pictureTables(periodFigures(picture, 1));
    ASSERT_EQ(tables.size(), 4u);

    const TextTable& summary = tables[0];
    EXPECT_EQ(summary.header, (QStringList{QString(), u"今週"_s, u"今月"_s, u"これまで"_s}));
    EXPECT_EQ(summary.rows[0], (QStringList{u"答えた数"_s, u"4"_s, u"5"_s, u"6"_s}));
    EXPECT_EQ(summary.rows[1], (QStringList{u"正答率"_s, u"25%"_s, u"40%"_s, u"50%"_s}));
    EXPECT_EQ(summary.rows[2], (QStringList{u"小数点の誤り"_s, u"2（50%）"_s, u"2（40%）"_s, u"2（33%）"_s}));
    EXPECT_EQ(summary.rows[3], (QStringList{u"九九の誤り"_s, u"1（25%）"_s, u"1（20%）"_s, u"1（17%）"_s}));
    EXPECT_EQ(summary.rows[5],
              (QStringList{u"正解（ヒントなし）"_s, u"1（25%）"_s, u"1（20%）"_s, u"2（33%）"_s}));
    EXPECT_EQ(summary.rows[6],
              (QStringList{u"正解（ヒントを見て）"_s, u"0（0%）"_s, u"1（20%）"_s, u"1（17%）"_s}));

    const TextTable& points = tables[1];
    ASSERT_EQ(points.rows.size(), 8u);
    EXPECT_EQ(points.rows[0], (QStringList{u"1けた 大きすぎ（10倍）"_s, u"1"_s, u"1"_s, u"1"_s}));
    EXPECT_EQ(points.rows[1], (QStringList{u"1けた 小さすぎ（1/10）"_s, u"0"_s, u"0"_s, u"0"_s}));
    EXPECT_EQ(points.rows[2], (QStringList{u"2けた 大きすぎ（100倍）"_s, u"1"_s, u"1"_s, u"1"_s}));
    EXPECT_EQ(points.rows[6].first(), u"4けた以上 大きすぎ"_s);

    const TextTable& facts = tables[2];
    ASSERT_EQ(facts.rows.size(), 5u);
    EXPECT_EQ(facts.rows[0],
              (QStringList{u"1位"_s, u"7×8　1回/4問"_s, u"7×8　1回/5問"_s, u"7×8　1回/6問"_s}));
    EXPECT_EQ(facts.rows[1], (QStringList{u"2位"_s, QString(), QString(), QString()}));

    const TextTable& times = tables[3];
    ASSERT_EQ(times.rows.size(), 9u);
    // A fact belongs to the row of its larger digit: 7 × 8 to 8の段.
    EXPECT_EQ(times.rows[7], (QStringList{u"8の段"_s, u"2秒"_s, u"2秒"_s, u"2秒"_s}));
    EXPECT_EQ(times.rows[6], (QStringList{u"7の段"_s, u"-"_s, u"-"_s, u"-"_s}));
    EXPECT_EQ(times.rows[0], (QStringList{u"1の段"_s, u"-"_s, u"-"_s, u"-"_s}));
}

TEST(PictureTablesTest, ALevelWithoutAnswersShowsDashesNotZeros) {
    const StudentPicture picture(7, day(2026, 12, 9));
    const std::vector<TextTable> tables = pictureTables(periodFigures(picture, 2));
    EXPECT_EQ(tables[0].rows[1], (QStringList{u"正答率"_s, u"-"_s, u"-"_s, u"-"_s}));
    EXPECT_EQ(tables[1].rows[0], (QStringList{u"1けた 大きすぎ（10倍）"_s, u"-"_s, u"-"_s, u"-"_s}));
    EXPECT_EQ(tables[2].rows[0], (QStringList{u"1位"_s, u"-"_s, u"-"_s, u"-"_s}));
}

struct PageCase {
    const char* name;
    int rows;
    int pages;
};

class GridPagesTest : public ::testing::TestWithParam<PageCase> {};

// Every student once, on the page his place gives him, the titles on every page.
TEST_P(GridPagesTest, FortyStudentsToAnA4LandscapePageTheTitlesOnEach) {
    const PageCase& test = GetParam();
    EXPECT_EQ(gridPageCount(test.rows), test.pages);
    std::vector<std::int16_t> students;
    for (int i = 0; i < test.rows; ++i)
        students.push_back(static_cast<std::int16_t>(1 + i));
    const std::int32_t today = day(2026, 12, 9);
    ClassGrid grid(students, today);
    if (test.rows > 0)
        grid.add(Answer{.student = 1, .runDay = today, .typed = "0.56"});
    GridPaper paper;
    paper.family = u"IPAGothic"_s;
    paper.heading = u"クラス一覧　小３"_s;
    paper.levels = {1, 2};
    paper.levelTitles = {u"レベル1"_s, u"レベル2"_s};
    for (int row = test.rows - 1; row >= 0; --row)
        paper.rows.push_back(row); // the order turned round
    paper.labelOf = [](int student) { return StudentLabel{u"生徒%1"_s.arg(student), u"小３"_s}; };
    RecordingSurface surface(QSizeF(16838, 11906));
    drawClassGrid(surface, grid, paper);

    EXPECT_EQ(surface.log().ofKind(DrawOp::NewPage).size() + 1, static_cast<std::size_t>(test.pages));
    int page = 1;
    std::map<QString, int> pageOf;
    std::vector<int> titles(static_cast<std::size_t>(test.pages) + 1, 0);
    for (const DrawOp& op : surface.log().ops) {
        if (op.kind == DrawOp::NewPage)
            ++page;
        if (op.kind != DrawOp::Text)
            continue;
        if (op.text.startsWith(u"生徒"_s)) {
            EXPECT_FALSE(pageOf.contains(op.text)) << op.text.toStdString() << " twice";
            pageOf[op.text] = page;
        }
        if (op.text == u"レベル2"_s || op.text == u"正答率"_s || op.text == u"名前"_s)
            ++titles[static_cast<std::size_t>(page)];
        EXPECT_GE(op.from.x(), 0.0);
        EXPECT_LE(op.from.x() + fixedTextWidth(op.text, op.points), 16838.0) << op.text.toStdString();
        EXPECT_LE(op.from.y() + op.points * 20, 11906.0) << op.text.toStdString();
    }
    ASSERT_EQ(pageOf.size(), static_cast<std::size_t>(test.rows));
    for (int row = 0; row < test.rows; ++row) {
        const int shownAt = test.rows - 1 - row;
        EXPECT_EQ(pageOf[u"生徒%1"_s.arg(row + 1)], shownAt / kGridRowsPerPage + 1) << row;
    }
    for (int p = 1; p <= test.pages; ++p)
        EXPECT_EQ(titles[static_cast<std::size_t>(p)], 1 + 2 + 1) << p; // レベル2, 正答率 twice, 名前
}

INSTANTIATE_TEST_SUITE_P(Rows, GridPagesTest,
                         ::testing::Values(PageCase{"none", 0, 1}, PageCase{"one", 1, 1},
                                           PageCase{"forty", 40, 1}, PageCase{"fortyOne", 41, 2},
                                           PageCase{"eighty", 80, 2}, PageCase{"eightyOne", 81, 3}));

// The cells on paper take the colours of the screen: the fill of the scale, its text colour.
TEST(GridPaperTest, CellsAreFilledOnTheOneScaleWithTheirFigures) {
    const std::int32_t today = day(2026, 12, 9);
    ClassGrid grid({7, 8}, today);
    grid.add(Answer{.student = 7, .runDay = today, .typed = "0.056"});
    grid.add(Answer{.student = 8, .runDay = today, .typed = "0.056"});
    grid.add(Answer{.student = 8, .runDay = today, .typed = "0.56"});
    GridPaper paper;
    paper.levels = {1};
    paper.levelTitles = {u"レベル1"_s};
    paper.rows = {0, 1};
    RecordingSurface surface(QSizeF(16838, 11906));
    drawClassGrid(surface, grid, paper);

    struct Expected {
        QString text;
        CellColours colours;
    };
    // % right of 7 (all right) and of 8 (half right), in the order drawn.
    const std::vector<Expected> percents{{u"100%"_s, helpStepColours(0)},
                                         {u"50%"_s, helpStepColours(kHelpSteps - 1)}};
    std::size_t next = 0;
    std::uint32_t lastFill = 0;
    for (const DrawOp& op : surface.log().ops) {
        if (op.kind == DrawOp::Fill)
            lastFill = op.colour;
        if (op.kind != DrawOp::Text || next >= percents.size() || op.text != percents[next].text)
            continue;
        EXPECT_EQ(lastFill, bgrOf(percents[next].colours.background)) << op.text.toStdString();
        EXPECT_EQ(op.colour, bgrOf(percents[next].colours.text)) << op.text.toStdString();
        ++next;
    }
    EXPECT_EQ(next, percents.size());
}

} // namespace
} // namespace mirai::test
