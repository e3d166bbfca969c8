// A student's figures per level and period, on a hand-made log whose figures are counted by hand.

#include "StudentPicture.h"

#include "Answers.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

namespace mirai::test {
namespace {

struct WeekCase {
    std::int32_t day;
    std::int32_t week;
    std::int32_t month;
};

class PeriodStartTest : public ::testing::TestWithParam<WeekCase> {};

TEST_P(PeriodStartTest, WeeksStartOnMondayAndMonthsOnTheFirst) {
    EXPECT_EQ(weekStart(GetParam().day), GetParam().week);
    EXPECT_EQ(monthStart(GetParam().day), GetParam().month);
}

INSTANTIATE_TEST_SUITE_P(
    Days, PeriodStartTest,
    ::testing::Values(WeekCase{day(2026, 12, 9), day(2026, 12, 7), day(2026, 12, 1)},  // a Wednesday
                      WeekCase{day(2026, 12, 7), day(2026, 12, 7), day(2026, 12, 1)},  // a Monday
                      WeekCase{day(2026, 12, 6), day(2026, 11, 30), day(2026, 12, 1)}, // a Sunday
                      WeekCase{day(2026, 12, 1), day(2026, 11, 30),
                               day(2026, 12, 1)}, // the week spans two months
                      WeekCase{day(2024, 2, 29), day(2024, 2, 26), day(2024, 2, 1)}, // leap day
                      WeekCase{day(2027, 1, 3), day(2026, 12, 28), day(2027, 1, 1)}, // over the new year
                      WeekCase{0, -5, day(1899, 12, 1)},                             // day 0 was a Saturday
                      WeekCase{-1, -5, day(1899, 12, 1)}));

const std::int32_t kToday = day(2026, 12, 9);

// Student 7's answers. Level 1: two runs this week, one earlier this month, one last month and one
// dated tomorrow; level 2: seven fact errors of last month. Around them other students, levels out
// of range and an entry whose operands are no problem of the drill.
std::vector<LoggedAnswer> handMadeLog() {
    const std::int32_t wed = kToday, mon = day(2026, 12, 7), sun = day(2026, 12, 6), nov = day(2026, 11, 30),
                       tomorrow = day(2026, 12, 10);
    std::vector<LoggedAnswer> log = {
        Answer{.runDay = wed,
               .run = 100,
               .a = 7,
               .placesA = 1,
               .b = 8,
               .placesB = 2,
               .typed = "0.056",
               .ms = 3000},
        Answer{.runDay = wed,
               .run = 100,
               .a = 7,
               .placesA = 1,
               .b = 8,
               .placesB = 2,
               .typed = "0.56",
               .ms = 5000,
               .hint = true},
        Answer{
            .runDay = wed, .run = 100, .a = 8, .placesA = 0, .b = 7, .placesB = 1, .typed = "54", .ms = 7000},
        Answer{.runDay = wed,
               .run = 100,
               .a = 6,
               .placesA = 1,
               .b = 9,
               .placesB = 0,
               .typed = "0.054",
               .ms = 4000},
        Answer{.runDay = wed,
               .run = 100,
               .a = 6,
               .placesA = 1,
               .b = 9,
               .placesB = 0,
               .typed = "",
               .ms = 10000,
               .hint = true},
        Answer{.runDay = wed,
               .run = 100,
               .a = 3,
               .placesA = 1,
               .b = 3,
               .placesB = 1,
               .typed = "0.09",
               .ms = 2000,
               .hint = true},
        Answer{.student = 8, .runDay = wed, .run = 105, .typed = "0.56"},
        Answer{.level = 0, .runDay = wed, .run = 106, .typed = "0.56"},
        Answer{.level = 36, .runDay = wed, .run = 107, .typed = "0.56"},
        Answer{.runDay = wed, .run = 108, .a = 0, .typed = "0"},
        Answer{
            .runDay = mon, .run = 101, .a = 6, .placesA = 1, .b = 9, .placesB = 1, .typed = "56", .ms = 6000},
        Answer{.runDay = mon,
               .run = 101,
               .a = 7,
               .placesA = 1,
               .b = 8,
               .placesB = 1,
               .typed = "0.54",
               .ms = 8000},
        Answer{.runDay = sun,
               .run = 102,
               .a = 7,
               .placesA = 1,
               .b = 8,
               .placesB = 0,
               .typed = "0.0056",
               .ms = 9000},
        Answer{
            .runDay = sun, .run = 102, .a = 4, .placesA = 1, .b = 5, .placesB = 1, .typed = "2", .ms = 1000},
        Answer{
            .runDay = sun, .run = 102, .a = 6, .placesA = 1, .b = 9, .placesB = 0, .typed = "63", .ms = 3000},
        Answer{.runDay = nov,
               .run = 103,
               .a = 3,
               .placesA = 2,
               .b = 2,
               .placesB = 2,
               .typed = "60",
               .ms = 20000},
        Answer{
            .runDay = nov, .run = 103, .a = 7, .placesA = 1, .b = 8, .placesB = 1, .typed = "48", .ms = 5000},
        Answer{.runDay = tomorrow,
               .run = 104,
               .a = 2,
               .placesA = 1,
               .b = 3,
               .placesB = 1,
               .typed = "0.06",
               .ms = 1500},
    };
    // Level 2: fact errors on seven facts, 6 × 7 three times and 4 × 5 twice.
    const std::pair<int, int> facts[] = {{2, 3}, {3, 4}, {4, 5}, {5, 4}, {5, 6},
                                         {7, 6}, {6, 7}, {6, 7}, {7, 8}, {8, 9}};
    for (const auto& [a, b] : facts)
        log.push_back(Answer{
            .level = 2, .runDay = nov, .run = 110, .a = a, .placesA = 1, .b = b, .placesB = 0, .typed = "1"});
    return log;
}

struct FiguresCase {
    const char* name;
    int level;
    Period period;
    PictureFigures expected;
};
using test::PrintTo;

class StudentPictureTest : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(StudentPictureTest, CountsAnswersErrorsHintsAndTimes) {
    StudentPicture picture(7, kToday);
    for (const LoggedAnswer& answer : handMadeLog())
        picture.add(answer);
    EXPECT_EQ(picture.levels(), (std::vector<int>{1, 2}));

    const FiguresCase& c = GetParam();
    const PictureFigures got = picture.figures(c.level, c.period);
    const PictureFigures& want = c.expected;
    EXPECT_EQ(got.answers, want.answers);
    EXPECT_EQ(got.right, want.right);
    EXPECT_EQ(got.rightWithHint, want.rightWithHint);
    EXPECT_EQ(got.rightWithoutHint(), want.right - want.rightWithHint);
    EXPECT_EQ(got.hinted, want.hinted);
    EXPECT_EQ(got.pointErrors, want.pointErrors);
    EXPECT_EQ(got.factErrors, want.factErrors);
    EXPECT_EQ(got.otherErrors, want.otherErrors);
    EXPECT_EQ(got.tooBig, want.tooBig);
    EXPECT_EQ(got.tooSmall, want.tooSmall);
    EXPECT_EQ(got.mostMissed, want.mostMissed);
    EXPECT_EQ(got.medianMs, want.medianMs);
    EXPECT_EQ(got.percentRight(), want.percentRight());
}

PictureFigures figures(std::uint32_t answers, std::uint32_t right, std::uint32_t rightWithHint,
                       std::uint32_t hinted, std::uint32_t point, std::uint32_t fact, std::uint32_t other,
                       std::array<std::uint32_t, 4> tooBig, std::array<std::uint32_t, 4> tooSmall,
                       std::vector<MissedFact> missed,
                       std::initializer_list<std::pair<int, double>> medians) {
    PictureFigures f;
    f.answers = answers;
    f.right = right;
    f.rightWithHint = rightWithHint;
    f.hinted = hinted;
    f.pointErrors = point;
    f.factErrors = fact;
    f.otherErrors = other;
    f.tooBig = tooBig;
    f.tooSmall = tooSmall;
    f.mostMissed = std::move(missed);
    for (const auto& [group, ms] : medians)
        f.medianMs[static_cast<std::size_t>(group)] = ms;
    return f;
}

INSTANTIATE_TEST_SUITE_P(
    HandMadeLog, StudentPictureTest,
    ::testing::Values(
        FiguresCase{"level1Week", 1, Period::Week,
                    figures(8, 2, 1, 3, 2, 3, 1, {1, 0, 0, 0}, {0, 1, 0, 0}, {{{7, 8}, 2, 4}, {{6, 9}, 1, 3}},
                            {{3, 2000}, {8, 6000}, {9, 6000}})},
        // Equal errors: the fact first in the table (6 × 9 before 7 × 8).
        FiguresCase{"level1Month", 1, Period::Month,
                    figures(11, 2, 1, 3, 4, 4, 1, {2, 0, 0, 0}, {0, 1, 1, 0},
                            {{{6, 9}, 2, 4}, {{7, 8}, 2, 5}}, {{3, 2000}, {5, 1000}, {8, 7000}, {9, 5000}})},
        // Five places too big counts with four and more; tomorrow's run only here.
        FiguresCase{"level1AllTime", 1, Period::AllTime,
                    figures(14, 3, 1, 3, 5, 5, 1, {2, 0, 0, 1}, {0, 1, 1, 0},
                            {{{7, 8}, 3, 6}, {{6, 9}, 2, 4}}, {{3, 2000}, {5, 1000}, {8, 6000}, {9, 5000}})},
        // Five facts of seven, the most missed first, then table order.
        FiguresCase{"level2AllTime", 2, Period::AllTime,
                    figures(10, 0, 0, 0, 0, 10, 0, {}, {},
                            {{{6, 7}, 3, 3}, {{4, 5}, 2, 2}, {{2, 3}, 1, 1}, {{3, 4}, 1, 1}, {{5, 6}, 1, 1}},
                            {{3, 1000}, {4, 1000}, {5, 1000}, {6, 1000}, {7, 1000}, {8, 1000}, {9, 1000}})},
        FiguresCase{"level2Week", 2, Period::Week, PictureFigures{}},
        FiguresCase{"unansweredLevel", 3, Period::AllTime, PictureFigures{}},
        FiguresCase{"outOfRangeLevel", 36, Period::AllTime, PictureFigures{}}),
    [](const ::testing::TestParamInfo<FiguresCase>& info) { return std::string(info.param.name); });

} // namespace
} // namespace mirai::test
