#include "Rankings.h"

#include "HubRules.h"
#include "QtPrinters.h"
#include "RankingState.h"
#include "ResultRecords.h"
#include "SharedState.h"

#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// Wednesday 9 December 2026, 10:00; school year 2026.
const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 0, 0));

RankingState threeStudents() {
    RankingState state;
    state.add(1, u"あおい"_s, 2017);
    state.add(2, u"いちろう"_s, 2016);
    state.add(3, u"うみ"_s, 2012);
    return state;
}

TEST(RankNumbers, EqualKeysShareARankAndTheNextTakesItsPosition) {
    EXPECT_EQ(rankNumbers({10, 20, 20, 30}), (std::vector<int>{1, 2, 2, 4}));
    EXPECT_EQ(rankNumbers({5, 5, 5}), (std::vector<int>{1, 1, 1}));
    EXPECT_TRUE(rankNumbers({}).empty());
}

TEST(SortByKey, AscendingAndStableOnTies) {
    EXPECT_EQ(SortByKey({52, 40, 99999, 40, 7}), (std::vector<int>{4, 1, 3, 0, 2}));
}

TEST(LevelRanking, BestTimesRankOneOneThreeAndNoRecordLast) {
    RankingState state = threeStudents();
    state.add(4, u"えり"_s, 2017);
    state->BestSeconds(1, 1) = 40;
    state->BestSeconds(1, 2) = 52;
    state->BestSeconds(1, 3) = 40;
    state->StudentNumber = 3;
    const LevelRanking ranking = levelRanking(*state, 1, kTimeDisplay, kCumulativeOrder, u"全学年"_s);
    EXPECT_EQ(ranking.lines, (QStringList{u" 1③あおい　　    40 　"_s, u" 1●うみ　　　    40 ●"_s,
                                          u" 3④いちろう　    52 　"_s, u"--③えり　　　------ 　"_s}));
    EXPECT_EQ(ranking.ownLine, 1);
}

TEST(LevelRanking, FailedBestAndLongNamesAndWideRanks) {
    RankingState state;
    for (int i = 1; i <= 12; ++i)
        state.add(i, u"ながいなまえのひと"_s, 2000);
    state->BestSeconds(2, 12) = 99998;
    for (int i = 1; i <= 11; ++i)
        state->BestSeconds(2, i) = 100 + i;
    const LevelRanking ranking = levelRanking(*state, 2, 0, 0, u"全学年"_s); // 0 counts as the first choice
    ASSERT_EQ(ranking.lines.size(), 12);
    EXPECT_EQ(ranking.lines[9], u"10　ながいなま   110 　"_s);
    EXPECT_EQ(ranking.lines[11], u"12　ながいなま*失敗* 　"_s);
    EXPECT_EQ(ranking.ownLine, -1);
}

TEST(LevelRanking, EqualPointsKeepRosterOrder) {
    RankingState state = threeStudents();
    state->PointsSoFar(1, 1) = 30;
    state->PointsSoFar(1, 2) = 50;
    state->PointsSoFar(1, 3) = 30;
    state->PointsToday(1, 1) = 5;
    state->PointsToday(1, 3) = 5;
    state->StudentNumber = 3;
    const LevelRanking ranking = levelRanking(*state, 1, kPointsDisplay, kCumulativeOrder, u"全学年"_s);
    EXPECT_EQ(ranking.lines, (QStringList{u" 1④いちろう　  0/   50"_s, u" 2③あおい　　  5/   30"_s,
                                          u" 2●うみ　　　  5/   30"_s}));
    EXPECT_EQ(ranking.ownLine, 2);
}

TEST(LevelRanking, EqualFirstValuesGoByTheSecondDescending) {
    struct Case {
        int order;
        QStringList lines;
    };
    // Equal points so far, different points today; then the other way round in today's order.
    const Case cases[] = {
        {kCumulativeOrder,
         {u" 1③あおい　　  9/   40"_s, u" 1④いちろう　  3/   40"_s, u" 3Ⅱうみ　　　  4/   20"_s}},
        {kTodayOrder,
         {u" 1③あおい　　  9/   40"_s, u" 2Ⅱうみ　　　  4/   20"_s, u" 3④いちろう　  3/   40"_s}},
    };
    for (const Case& c : cases) {
        RankingState state = threeStudents();
        state->PointsSoFar(1, 2) = 40;
        state->PointsToday(1, 2) = 3;
        state->PointsSoFar(1, 1) = 40;
        state->PointsToday(1, 1) = 9;
        state->PointsSoFar(1, 3) = 20;
        state->PointsToday(1, 3) = 4;
        EXPECT_EQ(levelRanking(*state, 1, kPointsDisplay, c.order, u"全学年"_s).lines, c.lines) << c.order;
    }
}

TEST(LevelRanking, TodaysOrderPutsTodaysPointsFirstAndLeavesOutNobodyToday) {
    RankingState state = threeStudents();
    state->PointsToday(1, 1) = 5;
    state->PointsSoFar(1, 1) = 2500;
    state->PointsToday(1, 2) = 7;
    state->PointsSoFar(1, 2) = 10;
    state->PointsSoFar(1, 3) = 9000;
    const LevelRanking ranking = levelRanking(*state, 1, kPointsDisplay, kTodayOrder, u"全学年"_s);
    EXPECT_EQ(ranking.lines, (QStringList{u" 1④いちろう　  7/   10"_s, u" 2③あおい　　  5/ 2500"_s}));
}

TEST(LevelRanking, AFilteredOutStudentStillTakesARank) {
    RankingState state = threeStudents();
    state.add(4, u"えり"_s, 2017);
    state->BestSeconds(1, 2) = 30; // fourth grade: filtered out
    state->BestSeconds(1, 1) = 40;
    state->BestSeconds(1, 4) = 50;
    const LevelRanking ranking = levelRanking(*state, 1, kTimeDisplay, kCumulativeOrder, u"小３"_s);
    EXPECT_EQ(ranking.lines, (QStringList{u" 2③あおい　　    40 　"_s, u" 3③えり　　　    50 　"_s}));
}

TEST(LevelRanking, FamilyAdmitsEveryoneAndAnUnknownGroupNobody) {
    RankingState state = threeStudents();
    EXPECT_EQ(levelRanking(*state, 1, kTimeDisplay, kCumulativeOrder, u"家族"_s).lines.size(), 3);
    EXPECT_EQ(levelRanking(*state, 1, kTimeDisplay, kCumulativeOrder, u"中学生全体"_s).lines.size(), 1);
    EXPECT_TRUE(levelRanking(*state, 1, kTimeDisplay, kCumulativeOrder, u"大学"_s).lines.isEmpty());
}

// ---- Run lists ----------------------------------------------------------------------------

ResultRecord record(int student, int level, std::int32_t seconds, const QDate& date, const QTime& time) {
    ResultRecord r;
    r.StudentNumber = static_cast<std::int16_t>(student);
    r.Level = static_cast<std::int16_t>(level);
    r.Seconds = seconds;
    r.RunDate = oleDate(date);
    r.RunTimeOfDay = oleTimeOfDay(time);
    return r;
}

struct RunLineCase {
    const char* what;
    RunListKind kind;
    int listMode;
    int student;
    int level;
    std::int32_t seconds;
    QDate date;
    const char16_t* expected; // empty: not shown
};

class RunListLineTest : public ::testing::TestWithParam<RunLineCase> {};

TEST_P(RunListLineTest, FormatsOrLeavesOutTheRecord) {
    const RunLineCase& c = GetParam();
    RankingState state = threeStudents();
    state->StudentNumber = 3;
    RunListSettings settings;
    settings.kind = c.kind;
    settings.listMode = c.listMode;
    settings.levelCount = 2;
    settings.currentStudent = 3;
    settings.groupText = u"全学年"_s;
    settings.now = kNow;
    settings.periodDays = 30;
    const ResultRecord r = record(c.student, c.level, c.seconds, c.date, QTime(9, 5, 7));
    EXPECT_EQ(runListLine(*state, settings, r), QString::fromUtf16(c.expected)) << c.what;
}

const QDate kToday = kNow.date();
const QDate kMonday(2026, 12, 7);

INSTANTIATE_TEST_SUITE_P(
    Lines, RunListLineTest,
    ::testing::Values(
        // 45 s against 120 s: Int((75/120)^3 × 50 + 5) = 17 base points.
        RunLineCase{"today", RunListKind::Today, kTimeDisplay, 1, 1, 45, kToday,
                    u"  45秒 09:05③あおい　　③17"},
        RunLineCase{"today, own line", RunListKind::Today, kTimeDisplay, 3, 1, 45, kToday,
                    u"  45秒 09:05●うみ　　　●17"},
        RunLineCase{"today, timed out", RunListKind::Today, kTimeDisplay, 1, 1, 99999, kToday,
                    u"　　× 09:05③あおい　　③"},
        RunLineCase{"today, not today", RunListKind::Today, kTimeDisplay, 1, 1, 45, kMonday, u""},
        RunLineCase{"today, level beyond the drill", RunListKind::Today, kTimeDisplay, 1, 3, 45, kToday, u""},
        RunLineCase{"today, student 0 has no name", RunListKind::Today, kTimeDisplay, 0, 2, 300, kToday,
                    u" 300秒 09:05　　　　　　1"},
        RunLineCase{"today, number outside the roster", RunListKind::Today, kTimeDisplay, 6000, 1, 45, kToday,
                    u""},
        RunLineCase{"period, time display", RunListKind::Period, kTimeDisplay, 2, 1, 45, kMonday,
                    u"  45秒 12/07④いちろう　④17"},
        RunLineCase{"period, points display", RunListKind::Period, kPointsDisplay, 2, 1, 45, kMonday,
                    u"   17 12/07④いちろう　④45秒"},
        RunLineCase{"period, failure", RunListKind::Period, kPointsDisplay, 2, 1, 95000, kMonday,
                    u"　　× 12/07④いちろう　④"},
        RunLineCase{"period, too old", RunListKind::Period, kTimeDisplay, 2, 1, 45, QDate(2026, 11, 9), u""},
        RunLineCase{"personal", RunListKind::Personal, kTimeDisplay, 3, 2, 1234, kMonday,
                    u"2026/12/07 9:05:071234秒"},
        RunLineCase{"personal, failure", RunListKind::Personal, kTimeDisplay, 3, 1, 99999, kMonday,
                    u"2026/12/07 9:05:07"},
        RunLineCase{"personal, another student", RunListKind::Personal, kTimeDisplay, 1, 1, 45, kMonday,
                    u""}),
    [](const ::testing::TestParamInfo<RunLineCase>& info) { return "case" + std::to_string(info.index); });

TEST(RunLists, AGroupFilterLeavesOutOtherGrades) {
    RankingState state = threeStudents();
    RunListSettings settings;
    settings.kind = RunListKind::Period;
    settings.groupText = u"中学生全体"_s;
    settings.now = kNow;
    settings.periodDays = 30;
    std::vector<QStringList> lists;
    appendRunLists(*state, settings,
                   {record(1, 1, 45, kToday, QTime(9, 0)), record(3, 2, 45, kToday, QTime(9, 1)),
                    record(3, 1, 50, kToday, QTime(9, 2))},
                   lists);
    ASSERT_EQ(lists.size(), 3u);
    EXPECT_EQ(lists[1], QStringList{u"  50秒 12/09Ⅱうみ　　　Ⅱ14"_s});
    EXPECT_EQ(lists[2].size(), 1);
}

struct PeriodCase {
    int choice;
    QDate today;
    int days;
};

class PeriodDaysTest : public ::testing::TestWithParam<PeriodCase> {};

TEST_P(PeriodDaysTest, CountsBackByTheWeekday) {
    const PeriodCase& c = GetParam();
    EXPECT_EQ(PeriodDaysFor(c.choice, c.today), c.days);
}

INSTANTIATE_TEST_SUITE_P(Weekdays, PeriodDaysTest,
                         ::testing::Values(PeriodCase{1, QDate(2026, 12, 13), 7},  // Sunday
                                           PeriodCase{1, QDate(2026, 12, 9), 3},   // Wednesday
                                           PeriodCase{1, QDate(2026, 12, 7), 1},   // Monday
                                           PeriodCase{1, QDate(2026, 12, 12), 6},  // Saturday
                                           PeriodCase{2, QDate(2026, 12, 13), 14}, // Sunday
                                           PeriodCase{2, QDate(2026, 12, 9), 10},  // Wednesday
                                           PeriodCase{3, QDate(2026, 12, 9), 30},
                                           PeriodCase{4, QDate(2026, 12, 9), 365},
                                           PeriodCase{5, QDate(2026, 12, 9), 3650}));

// Which dates the week's list covers: from Monday up to today.
QList<int> daysShownThisWeek(const QDateTime& now) {
    RankingState state = threeStudents();
    RunListSettings settings;
    settings.kind = RunListKind::Period;
    settings.now = now;
    settings.groupText = u"全学年"_s;
    settings.periodDays = PeriodDaysFor(1, now.date());
    QList<int> shown;
    for (int back = 0; back < 10; ++back) {
        const QDate date = now.date().addDays(-back);
        if (!runListLine(*state, settings, record(1, 1, 45, date, QTime(12, 0))).isEmpty())
            shown.append(date.day());
    }
    return shown;
}

TEST(PeriodLists, ThisWeekOnASundayCoversTheLastSevenDates) {
    EXPECT_EQ(daysShownThisWeek(QDateTime(QDate(2026, 12, 13), QTime(8, 30))),
              (QList<int>{13, 12, 11, 10, 9, 8, 7}));
}

TEST(PeriodLists, ThisWeekOnAWednesdayCoversMondayToWednesday) {
    EXPECT_EQ(daysShownThisWeek(QDateTime(QDate(2026, 12, 9), QTime(0, 0))), (QList<int>{9, 8, 7}));
    EXPECT_EQ(daysShownThisWeek(QDateTime(QDate(2026, 12, 9), QTime(23, 59))), (QList<int>{9, 8, 7}));
}

// ---- Rules of the hub's columns -------------------------------------------------------------

TEST(HubRules, TwoLevelsShareTheColumnWidth) {
    EXPECT_EQ(columnWidthTwips(2), 7296);
    EXPECT_EQ(columnWidthTwips(3), 4864);
}

TEST(HubRules, TeacherNames) {
    EXPECT_TRUE(isTeacherName(u"山田先生"_s));
    EXPECT_TRUE(isTeacherName(u"★管理"_s));
    EXPECT_FALSE(isTeacherName(u"山田花子"_s));
    EXPECT_FALSE(isTeacherName(u"先　生"_s));
}

struct BlockCase {
    const char* what;
    int runLimit, pointLimit; // level 1's limits
    int runs, points;         // level 1 within its overuse period
    bool finalCleared;        // the final level's targets are met
    bool blocked;
};

class BlockedLevelsTest : public ::testing::TestWithParam<BlockCase> {};

TEST_P(BlockedLevelsTest, OveruseBlocksAllButTheLastLevel) {
    const BlockCase& c = GetParam();
    RankingState state = threeStudents();
    auto& l1 = state->LevelCriteria[1];
    l1.OveruseRuns = Untyped::number(c.runLimit);
    l1.OverusePoints = Untyped::number(c.pointLimit);
    auto& l2 = state->LevelCriteria[2];
    l2.OveruseRuns = Untyped::number(1);
    l2.ClearRuns = 5;
    l2.ClearPoints = 100;
    state->RunCountOverusePeriod(1, 1) = c.runs;
    state->PointsOverusePeriod(1, 1) = c.points;
    state->RunCountOverusePeriod(2, 1) = 50; // far over the last level's limit
    state->RunCountPassPeriod(2, 1) = c.finalCleared ? 5 : 4;
    state->PointsPassPeriod(2, 1) = 100;
    const std::int16_t cleared = requiredRunsCleared(*state, 1);
    EXPECT_EQ(cleared, c.finalCleared ? 1 : 0);
    const std::vector<bool> blocked = blockedLevels(*state, 1, 2, cleared);
    EXPECT_EQ(blocked[1], c.blocked) << c.what;
    EXPECT_FALSE(blocked[2]) << "the last level is never blocked";
}

INSTANTIATE_TEST_SUITE_P(Limits, BlockedLevelsTest,
                         ::testing::Values(BlockCase{"runs at the limit", 5, 0, 5, 0, false, true},
                                           BlockCase{"runs below the limit", 5, 0, 4, 999, false, false},
                                           BlockCase{"points at the limit", 0, 60, 1, 60, false, true},
                                           BlockCase{"no limits", 0, 0, 99, 9999, false, false},
                                           BlockCase{"final level's targets met", 5, 0, 9, 0, true, false}));

struct ClearCase {
    const char* name;
    int level;
    int runs, points; // within the level's pass period
    bool cleared;
};
using test::PrintTo;

class LevelClearedTest : public ::testing::TestWithParam<ClearCase> {};

TEST_P(LevelClearedTest, NeedsTheRunsAndThePointsOfThePassPeriod) {
    const ClearCase& c = GetParam();
    RankingState state = threeStudents();
    for (int level = 1; level <= 2; ++level) {
        state->LevelCriteria[static_cast<std::size_t>(level)].ClearRuns = 5;
        state->LevelCriteria[static_cast<std::size_t>(level)].ClearPoints = 100;
    }
    if (c.level >= 1 && c.level <= kMaxLevel) {
        state->RunCountPassPeriod(c.level, 1) = static_cast<std::int16_t>(c.runs);
        state->PointsPassPeriod(c.level, 1) = c.points;
    }
    EXPECT_EQ(levelCleared(*state, c.level, 1), c.cleared);
    state->FinalLevel = c.level;
    EXPECT_EQ(requiredRunsCleared(*state, 1), c.cleared ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Targets, LevelClearedTest,
                         ::testing::Values(ClearCase{"bothMet", 1, 5, 100, true},
                                           ClearCase{"oneRunShort", 1, 4, 500, false},
                                           ClearCase{"onePointShort", 2, 9, 99, false},
                                           ClearCase{"wellOver", 2, 12, 640, true},
                                           ClearCase{"noSuchLevel", 36, 99, 9999, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(HubRules, FigureTexts) {
    RankingState state = threeStudents();
    state->RunCountToday(1, 2) = 3;
    state->PointsToday(1, 2) = 12;
    EXPECT_EQ(todayFiguresText(*state, 1, 2), u"3回/12点"_s);
    EXPECT_EQ(todayFiguresText(*state, 2, 2), u"-----"_s);
    EXPECT_EQ(soFarFiguresText(*state, 1, 2), u"------"_s);
    EXPECT_EQ(minutesSinceStartText(10 * 3600 + 59.9, 10 * 3600 - 60), u"起動後1分"_s);
}

} // namespace
} // namespace mirai::test
