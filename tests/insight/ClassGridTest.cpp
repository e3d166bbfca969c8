// The class at a glance: figures per student and level from one pass over the log, the order of
// the rows, the texts in the cells and the colour scale.

#include "ClassGrid.h"

#include "Answers.h"
#include "GridColours.h"
#include "QtPrinters.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

const std::int32_t kToday = day(2026, 12, 9); // a Wednesday
const std::int32_t kMonday = day(2026, 12, 7);
const std::int32_t kLastWeek = day(2026, 12, 4);

// Rows in roster order: students 30, 10, 20, 40, 50.
// 30: two runs this week and one last week, 3 of 4 right, one point error.
// 10: one run this week, 1 of 4 right, two fact errors and one point error.
// 20: one run last week, 2 of 2 right.
// 40: nothing at level 1; a run at level 2.
// 50: one run this week of four answers with the same figures as 30 but no other run.
ClassGrid gridOfTheClass() {
    ClassGrid grid({30, 10, 20, 40, 50}, kToday);
    const std::vector<LoggedAnswer> log = {
        Answer{.student = 30, .runDay = kToday, .run = 1, .typed = "0.056"},
        Answer{.student = 30, .runDay = kToday, .run = 1, .typed = "0.56"},
        Answer{.student = 10, .runDay = kToday, .run = 2, .typed = "54"},
        Answer{.student = 10, .runDay = kToday, .run = 2, .typed = "0.054"},
        Answer{.student = 10, .runDay = kToday, .run = 2, .typed = "5.6"},
        Answer{.student = 10, .runDay = kToday, .run = 2, .typed = "0.056"},
        Answer{.student = 30, .runDay = kMonday, .run = 3, .typed = "0.056"},
        Answer{.student = 30, .runDay = kLastWeek, .run = 4, .typed = "0.056"},
        Answer{.student = 20, .runDay = kLastWeek, .run = 5, .typed = "0.056"},
        Answer{.student = 20, .runDay = kLastWeek, .run = 5, .typed = "0.056"},
        Answer{.student = 40, .level = 2, .runDay = kToday, .run = 6, .typed = "0.056"},
        Answer{.student = 99, .runDay = kToday, .run = 7, .typed = "0.056"}, // not in the grid
        Answer{.student = 50, .runDay = kToday, .run = 8, .typed = "0.056"},
        Answer{.student = 50, .runDay = kToday, .run = 8, .typed = "0.0056"},
        Answer{.student = 50, .runDay = kToday, .run = 8, .typed = "0.056"},
        Answer{.student = 50, .runDay = kToday, .run = 8, .typed = "0.056"},
    };
    for (const LoggedAnswer& answer : log)
        grid.add(answer);
    grid.setStatus(0, 1, true, false);
    grid.setStatus(1, 1, false, true);
    grid.setStatus(4, 1, true, true);
    return grid;
}

TEST(ClassGridFigures, OnePassGivesEveryCell) {
    const ClassGrid grid = gridOfTheClass();
    ASSERT_EQ(grid.rows(), 5);
    EXPECT_EQ(grid.student(1), 10);
    const auto figures = [&](int row, int level) {
        const GridCell& c = grid.cell(row, level);
        return std::vector<std::uint32_t>{c.runsThisWeek, c.answers, c.right,  c.pointErrors,
                                          c.factErrors,   c.cleared, c.blocked};
    };
    EXPECT_EQ(figures(0, 1), (std::vector<std::uint32_t>{2, 4, 3, 1, 0, 1, 0}));
    EXPECT_EQ(figures(1, 1), (std::vector<std::uint32_t>{1, 4, 1, 1, 2, 0, 1}));
    EXPECT_EQ(figures(2, 1), (std::vector<std::uint32_t>{0, 2, 2, 0, 0, 0, 0}));
    EXPECT_EQ(figures(3, 1), (std::vector<std::uint32_t>{0, 0, 0, 0, 0, 0, 0}));
    EXPECT_EQ(figures(3, 2), (std::vector<std::uint32_t>{1, 1, 1, 0, 0, 0, 0}));
    EXPECT_EQ(figures(4, 1), (std::vector<std::uint32_t>{1, 4, 3, 1, 0, 1, 1}));
}

TEST(ClassGridFigures, RatesCountFromTheFirstDayGiven) {
    ClassGrid grid({30}, kToday, kMonday);
    grid.add(Answer{.student = 30, .runDay = kLastWeek, .run = 4, .typed = "54"});
    grid.add(Answer{.student = 30, .runDay = kMonday, .run = 5, .typed = "0.056"});
    EXPECT_EQ(grid.cell(0, 1).answers, 1u);
    EXPECT_EQ(grid.cell(0, 1).figure(GridColumn::PercentRight), 100.0);
}

struct SortCase {
    const char* name;
    GridSort sort;
    std::vector<int> students; // in the expected order
};
using test::PrintTo;

class ClassGridSortTest : public ::testing::TestWithParam<SortCase> {};

TEST_P(ClassGridSortTest, SortsByAnyColumnTiesKeepRosterOrder) {
    const ClassGrid grid = gridOfTheClass();
    std::vector<int> students;
    for (const int row : sortedRows(grid, GetParam().sort))
        students.push_back(grid.student(row));
    EXPECT_EQ(students, GetParam().students);
}

INSTANTIATE_TEST_SUITE_P(
    Columns, ClassGridSortTest,
    ::testing::Values(SortCase{"roster", {0, GridColumn::RunsThisWeek, false}, {30, 10, 20, 40, 50}},
                      SortCase{"rosterBack", {0, GridColumn::RunsThisWeek, true}, {50, 40, 20, 10, 30}},
                      SortCase{"runsUp", {1, GridColumn::RunsThisWeek, false}, {20, 10, 50, 30, 40}},
                      SortCase{"runsDown", {1, GridColumn::RunsThisWeek, true}, {30, 10, 50, 20, 40}},
                      SortCase{"rightUp", {1, GridColumn::PercentRight, false}, {10, 30, 50, 20, 40}},
                      SortCase{"rightDown", {1, GridColumn::PercentRight, true}, {20, 30, 50, 10, 40}},
                      SortCase{"pointDown", {1, GridColumn::PointShare, true}, {30, 10, 50, 20, 40}},
                      SortCase{"factDown", {1, GridColumn::FactShare, true}, {10, 30, 20, 50, 40}},
                      SortCase{"clearedUp", {1, GridColumn::Cleared, false}, {10, 20, 40, 30, 50}},
                      SortCase{"blockedDown", {1, GridColumn::Blocked, true}, {10, 50, 30, 20, 40}},
                      SortCase{"otherLevel", {2, GridColumn::PercentRight, false}, {40, 30, 10, 20, 50}}),
    [](const ::testing::TestParamInfo<SortCase>& info) { return std::string(info.param.name); });

struct CellCase {
    const char* name;
    int row;
    int level;
    GridColumn column;
    const char16_t* text;
    std::optional<double> help;
    int step; // -1: off the scale
};

class ClassGridCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(ClassGridCellTest, WritesTheFigureAndColoursByHowMuchHelpIsNeeded) {
    const CellCase& c = GetParam();
    const ClassGrid grid = gridOfTheClass();
    const GridCell& cell = grid.cell(c.row, c.level);
    EXPECT_EQ(gridCellText(cell, c.column), QString::fromUtf16(c.text));
    const std::optional<double> help = needsHelp(cell, c.column);
    ASSERT_EQ(help.has_value(), c.help.has_value());
    if (help) {
        EXPECT_DOUBLE_EQ(*help, *c.help);
    }
    EXPECT_EQ(cellColours(cell, c.column), c.step < 0 ? noFigureColours() : helpStepColours(c.step));
}

INSTANTIATE_TEST_SUITE_P(
    Cells, ClassGridCellTest,
    ::testing::Values(CellCase{"runsTwo", 0, 1, GridColumn::RunsThisWeek, u"2", 0.6, 3},
                      CellCase{"runsNoneButAnswered", 2, 1, GridColumn::RunsThisWeek, u"0", 1.0, 5},
                      CellCase{"runsNotStarted", 3, 1, GridColumn::RunsThisWeek, u"-", std::nullopt, -1},
                      CellCase{"rightThreeQuarters", 0, 1, GridColumn::PercentRight, u"75%", 0.5, 3},
                      CellCase{"rightOneQuarter", 1, 1, GridColumn::PercentRight, u"25%", 1.0, 5},
                      CellCase{"rightAll", 2, 1, GridColumn::PercentRight, u"100%", 0.0, 0},
                      CellCase{"rightNoAnswers", 3, 1, GridColumn::PercentRight, u"-", std::nullopt, -1},
                      CellCase{"pointQuarter", 0, 1, GridColumn::PointShare, u"25%", 1.0, 5},
                      CellCase{"pointNone", 2, 1, GridColumn::PointShare, u"0%", 0.0, 0},
                      CellCase{"factHalf", 1, 1, GridColumn::FactShare, u"50%", 1.0, 5},
                      CellCase{"cleared", 0, 1, GridColumn::Cleared, u"○", 0.0, 0},
                      CellCase{"notCleared", 1, 1, GridColumn::Cleared, u"未", 0.5, 3},
                      CellCase{"blocked", 1, 1, GridColumn::Blocked, u"禁", 0.5, 3},
                      CellCase{"notBlocked", 0, 1, GridColumn::Blocked, u"", 0.0, 0},
                      CellCase{"outsideTheGrid", 9, 1, GridColumn::PercentRight, u"-", std::nullopt, -1}),
    [](const ::testing::TestParamInfo<CellCase>& info) { return std::string(info.param.name); });

TEST(GridColumns, LowFiguresNeedHelpInThreeColumnsHighInTheOthers) {
    std::vector<GridColumn> low;
    for (const GridColumn column : kAllGridColumns)
        if (helpDirection(column) == HelpDirection::LowNeedsHelp)
            low.push_back(column);
    EXPECT_EQ(low, (std::vector{GridColumn::RunsThisWeek, GridColumn::Cleared, GridColumn::PercentRight}));
}

TEST(HelpScale, MapsNeedsHelpOntoItsSteps) {
    const std::pair<double, int> steps[] = {{0.0, 0},  {0.1, 0}, {0.17, 1}, {0.3, 1}, {0.5, 3}, {0.7, 4},
                                            {0.99, 5}, {1.0, 5}, {-0.5, 0}, {7.0, 5}, {NAN, 0}};
    for (const auto& [help, step] : steps)
        EXPECT_EQ(helpStep(help), step) << help;
}

// Simulates colour vision without one kind of cone (Machado, Oliveira and Fernandes 2009, full
// severity, on linear RGB) and gives the relative luminance a viewer with it sees.
double luminanceSeenWithout(int cone, std::uint32_t rgb) {
    static const double matrices[3][3][3] = {
        {{0.152286, 1.052583, -0.204868}, {0.114503, 0.786281, 0.099216}, {-0.003882, -0.048116, 1.051998}},
        {{0.367322, 0.860646, -0.227968}, {0.280085, 0.672501, 0.047413}, {-0.011820, 0.042940, 0.968881}},
        {{1.255528, -0.076749, -0.178779}, {-0.078411, 0.930809, 0.147602}, {0.004733, 0.691367, 0.303900}}};
    const auto lin = [](std::uint32_t v) {
        const double c = v / 255.0;
        return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
    };
    const double in[3] = {lin((rgb >> 16) & 0xFF), lin((rgb >> 8) & 0xFF), lin(rgb & 0xFF)};
    const double weights[3] = {0.2126, 0.7152, 0.0722};
    double luminance = 0.0;
    for (int i = 0; i < 3; ++i) {
        const auto& row = matrices[cone][i];
        luminance += weights[i] * std::clamp(row[0] * in[0] + row[1] * in[1] + row[2] * in[2], 0.0, 1.0);
    }
    return luminance;
}

TEST(HelpScale, EveryStepIsReadableAndTheOrderHoldsForEveryColourVision) {
    for (int step = 0; step < kHelpSteps; ++step) {
        const CellColours colours = helpStepColours(step);
        EXPECT_GE(contrastRatio(colours.background, colours.text), 4.5) << "step " << step;
        if (step == 0)
            continue;
        const CellColours lighter = helpStepColours(step - 1);
        // Darker at each step, by enough to tell the neighbours apart.
        EXPECT_GE(contrastRatio(lighter.background, colours.background), 1.2) << "step " << step;
        EXPECT_LT(relativeLuminance(colours.background), relativeLuminance(lighter.background));
        for (int cone = 0; cone < 3; ++cone)
            EXPECT_LT(luminanceSeenWithout(cone, colours.background),
                      luminanceSeenWithout(cone, lighter.background))
                << "step " << step << " without cone " << cone;
    }
    EXPECT_GE(contrastRatio(noFigureColours().background, noFigureColours().text), 4.5);
}

TEST(HelpScale, ContrastRatiosOfKnownPairs) {
    EXPECT_NEAR(contrastRatio(0xFFFFFF, 0x000000), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(0x000000, 0xFFFFFF), 21.0, 1e-9);
    EXPECT_NEAR(contrastRatio(0x777777, 0xFFFFFF), 4.48, 0.01);
    EXPECT_NEAR(contrastRatio(0x123456, 0x123456), 1.0, 1e-9);
}

} // namespace
} // namespace mirai::test
