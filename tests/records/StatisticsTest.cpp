#include "Statistics.h"

#include "RecordFiles.h"
#include "RecordsFixture.h"
#include "ResultRecords.h"

#include <cmath>
#include <limits>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// ---- Points of a run ---------------------------------------------------------------------------

struct BaseCase {
    std::int32_t seconds;
    std::int32_t target;
    std::int32_t base;
};

class BasePointsTest : public ::testing::TestWithParam<BaseCase> {};

TEST_P(BasePointsTest, Table) {
    EXPECT_EQ(basePoints(GetParam().seconds, GetParam().target), GetParam().base)
        << GetParam().seconds << " s against " << GetParam().target << " s";
}

INSTANTIATE_TEST_SUITE_P(
    Runs, BasePointsTest,
    ::testing::Values(BaseCase{45, 60, 5}, BaseCase{45, 30, 4}, BaseCase{45, 10, 1}, BaseCase{45, 4, 0},
                      BaseCase{0, 60, 55}, BaseCase{60, 60, 5}, BaseCase{61, 60, 4}, BaseCase{119, 60, 4},
                      BaseCase{120, 60, 1}, BaseCase{599, 60, 1}, BaseCase{600, 60, 0}, BaseCase{50, 100, 11},
                      BaseCase{150, 100, 4}, BaseCase{999, 100, 1}, BaseCase{1000, 100, 0},
                      // The whole seconds count, also from 1000 s on: slower never scores more.
                      BaseCase{1234, 2000, 7}, BaseCase{1000, 2000, 11}, BaseCase{1999, 2000, 5},
                      // Time-outs score nothing, whatever the target.
                      BaseCase{99998, 200000, 0}, BaseCase{99999, 200000, 0}, BaseCase{99997, 200000, 11},
                      // A target of 0 or less gives no points instead of an arithmetic error.
                      BaseCase{0, 0, 0}, BaseCase{45, 0, 0}, BaseCase{45, -5, 0},
                      // Extremes of a damaged file stay within the 32-bit range.
                      BaseCase{std::numeric_limits<std::int32_t>::min(), 1,
                               std::numeric_limits<std::int32_t>::max()},
                      BaseCase{99997, std::numeric_limits<std::int32_t>::max(), 54}));

struct FactorCase {
    std::int32_t base;
    float factor;
    std::int32_t points;
};

class PointFactorTest : public ::testing::TestWithParam<FactorCase> {};

TEST_P(PointFactorTest, RoundsDown) {
    EXPECT_EQ(applyPointFactor(GetParam().base, GetParam().factor), GetParam().points);
}

INSTANTIATE_TEST_SUITE_P(Factors, PointFactorTest,
                         ::testing::Values(FactorCase{5, 1.0f, 5}, FactorCase{5, 1.5f, 7},
                                           FactorCase{55, 2.0f, 110}, FactorCase{10, 0.7f, 7},
                                           FactorCase{3, 0.7f, 2}, FactorCase{55, 0.0f, 0},
                                           FactorCase{5, std::numeric_limits<float>::quiet_NaN(), 0},
                                           FactorCase{55, 1e30f, std::numeric_limits<std::int32_t>::max()}));

TEST(RunPoints, UsesTheLevelRow) {
    auto state = std::make_unique<SharedState>();
    state->LevelCriteria[2].TargetSeconds = 60;
    state->LevelCriteria[2].PointFactor = 1.5f;
    EXPECT_EQ(RunPoints(*state, 45, 2), 7);
    EXPECT_EQ(RunPoints(*state, 45, 1), 0); // target 0
    EXPECT_EQ(RunPoints(*state, 45, 36), 0);
    EXPECT_EQ(RunPoints(*state, 45, -1), 0);
}

// ---- Statistics ------------------------------------------------------------------------------

class StatisticsTest : public RecordsFixture {
protected:
    StatisticsTest() {
        platform.clock.set(QDateTime(kToday, QTime(10, 0)));
        for (int level = 1; level <= 2; ++level) {
            LevelCriteriaRow& row = state().LevelCriteria[static_cast<std::size_t>(level)];
            row.TargetSeconds = 60;
            row.PointFactor = 1.0f;
            row.PassPeriodDays = Untyped::number(7);
            row.OverusePeriodDays = Untyped::number(1);
        }
    }
    static RawRecord run(int student, int level, int seconds, int daysAgo = 0) {
        RawRecord record;
        record.date = kToday.addDays(-daysAgo);
        record.student = static_cast<std::int16_t>(student);
        record.level = static_cast<std::int16_t>(level);
        record.seconds = seconds;
        return record;
    }
    void compute() { ASSERT_TRUE(ComputeResultStatistics(ctx())); }

    static inline const QDate kToday{2026, 12, 9};
};

TEST_F(StatisticsTest, NoRecordsLeavesEveryTableAtZero) {
    for (auto* table : {&state().RunCountToday, &state().PointsToday, &state().RunCountSoFar,
                        &state().PointsSoFar, &state().RunCountPassPeriod, &state().PointsPassPeriod,
                        &state().RunCountOverusePeriod, &state().PointsOverusePeriod})
        table->fill(3);
    compute();
    for (auto* table : {&state().RunCountToday, &state().PointsToday, &state().RunCountSoFar,
                        &state().PointsSoFar, &state().RunCountPassPeriod, &state().PointsPassPeriod,
                        &state().RunCountOverusePeriod, &state().PointsOverusePeriod}) {
        for (int level : {1, 2, 35})
            for (int student : {1, 17, 1000, 5000})
                EXPECT_EQ((*table)(level, student), 0);
    }
}

TEST_F(StatisticsTest, CountsAndPointsOfTodaysRuns) {
    writeRecords(resultPath(), {run(4, 1, 45), run(4, 1, 30), run(4, 2, 45), run(9, 1, 60)});
    compute();
    // 45 s → 5 points, 30 s → Int(0.125 × 50 + 5) = 11.
    EXPECT_EQ(state().RunCountToday(1, 4), 2);
    EXPECT_EQ(state().PointsToday(1, 4), 16);
    EXPECT_EQ(state().RunCountSoFar(1, 4), 2);
    EXPECT_EQ(state().PointsSoFar(1, 4), 16);
    EXPECT_EQ(state().RunCountPassPeriod(1, 4), 2);
    EXPECT_EQ(state().PointsPassPeriod(1, 4), 16);
    EXPECT_EQ(state().RunCountOverusePeriod(1, 4), 2);
    EXPECT_EQ(state().PointsOverusePeriod(1, 4), 16);
    EXPECT_EQ(state().PointsSoFar(2, 4), 5);
    EXPECT_EQ(state().PointsSoFar(1, 9), 5);
    EXPECT_EQ(state().RunCountSoFar(1, 5), 0);
}

TEST_F(StatisticsTest, UnfinishedRunsScoreButDoNotCount) {
    state().LevelCriteria[1].TargetSeconds = 1000;
    // 6000 s against a target of 1000: 1 point, no finished run; 99999 s: nothing at all.
    writeRecords(resultPath(), {run(4, 1, 6000), run(4, 1, 99999), run(4, 1, 5999)});
    compute();
    EXPECT_EQ(state().RunCountSoFar(1, 4), 1);
    EXPECT_EQ(state().RunCountToday(1, 4), 1);
    EXPECT_EQ(state().RunCountPassPeriod(1, 4), 1);
    EXPECT_EQ(state().PointsSoFar(1, 4), 2);
    EXPECT_EQ(state().PointsToday(1, 4), 2);
}

TEST_F(StatisticsTest, RunsAtTenTimesTheTargetAddNoPoints) {
    writeRecords(resultPath(), {run(4, 1, 6000)});
    compute();
    EXPECT_EQ(state().RunCountSoFar(1, 4), 0);
    EXPECT_EQ(state().PointsSoFar(1, 4), 0);
}

TEST_F(StatisticsTest, FactorScalesEveryRun) {
    state().LevelCriteria[1].PointFactor = 1.5f;
    writeRecords(resultPath(), {run(4, 1, 45), run(4, 1, 45)});
    compute();
    EXPECT_EQ(state().PointsSoFar(1, 4), 14); // 7 per run, rounded down per run
}

struct PeriodCase {
    double periodDays;
    int daysAgo;
    bool inside;
};

class PeriodTest : public StatisticsTest, public ::testing::WithParamInterface<PeriodCase> {};

TEST_P(PeriodTest, CountsBackWholeDays) {
    state().LevelCriteria[1].PassPeriodDays = Untyped::number(GetParam().periodDays);
    state().LevelCriteria[1].OverusePeriodDays = Untyped::number(GetParam().periodDays);
    writeRecords(resultPath(), {run(4, 1, 45, GetParam().daysAgo)});
    compute();
    const int expected = GetParam().inside ? 1 : 0;
    EXPECT_EQ(state().RunCountPassPeriod(1, 4), expected);
    EXPECT_EQ(state().PointsPassPeriod(1, 4), 5 * expected);
    EXPECT_EQ(state().RunCountOverusePeriod(1, 4), expected);
    EXPECT_EQ(state().PointsOverusePeriod(1, 4), 5 * expected);
    EXPECT_EQ(state().RunCountSoFar(1, 4), 1);
    EXPECT_EQ(state().RunCountToday(1, 4), GetParam().daysAgo == 0 ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Days, PeriodTest,
                         ::testing::Values(PeriodCase{1, 0, true}, PeriodCase{1, 1, false},
                                           PeriodCase{2, 1, true}, PeriodCase{2, 2, false},
                                           PeriodCase{7, 6, true}, PeriodCase{7, 7, false},
                                           PeriodCase{0, 0, false}, PeriodCase{3650, 3000, true},
                                           // Odd values from a hand-edited table only move the boundary.
                                           PeriodCase{-3, 0, false}, PeriodCase{1.5, 1, true},
                                           PeriodCase{1e308, 40000, true},
                                           PeriodCase{std::numeric_limits<double>::infinity(), 1, true}));

TEST_F(StatisticsTest, YesterdaysRunIsNeverToday) {
    state().LevelCriteria[1].PassPeriodDays = Untyped::number(2);
    writeRecords(resultPath(), {run(4, 1, 45, 1)});
    compute();
    EXPECT_EQ(state().RunCountPassPeriod(1, 4), 1);
    EXPECT_EQ(state().RunCountOverusePeriod(1, 4), 0);
    EXPECT_EQ(state().RunCountToday(1, 4), 0);
    EXPECT_EQ(state().PointsToday(1, 4), 0);
}

TEST_F(StatisticsTest, PeriodTextThatIsNoNumberCoversNothing) {
    state().LevelCriteria[1].PassPeriodDays = Untyped::text(u"一週間"_s);
    writeRecords(resultPath(), {run(4, 1, 45)});
    compute();
    EXPECT_EQ(state().RunCountPassPeriod(1, 4), 0);
    EXPECT_EQ(state().RunCountToday(1, 4), 1);
}

// A clock that moves on by a second at every reading.
class TickingClock final : public Clock {
public:
    explicit TickingClock(QDateTime start) : m_now(std::move(start)) {}
    QDateTime now() const override {
        const QDateTime value = m_now;
        m_now = m_now.addSecs(1);
        return value;
    }
    std::int64_t tickMs() const override { return 0; }

private:
    mutable QDateTime m_now;
};

TEST_F(StatisticsTest, OnePassNeverMixesTwoDays) {
    TickingClock clock(QDateTime(kToday, QTime(23, 59, 58)));
    Platform seams = platform.platform();
    seams.clock = &clock;
    writeRecords(resultPath(), {run(4, 1, 45), run(4, 1, 45), run(4, 1, 45), run(4, 1, 45)});
    ASSERT_TRUE(ComputeResultStatistics(Context{state(), seams}));
    EXPECT_EQ(state().RunCountToday(1, 4), 4);
    EXPECT_EQ(state().RunCountOverusePeriod(1, 4), 4);
}

TEST_F(StatisticsTest, EveryStudentNumberUpToFiveThousandCounts) {
    writeRecords(resultPath(), {run(1001, 1, 45), run(5000, 2, 45)});
    compute();
    EXPECT_EQ(state().RunCountSoFar(1, 1001), 1);
    EXPECT_EQ(state().RunCountSoFar(2, 5000), 1);
}

TEST_F(StatisticsTest, RecordsOfLevelZeroOrAboveThirtyFiveContributeNothing) {
    writeRecords(resultPath(), {run(4, 0, 45), run(4, 36, 45), run(4, 1, 45)});
    compute();
    EXPECT_EQ(state().RunCountSoFar(1, 4), 1);
    EXPECT_EQ(state().RunCountSoFar(0, 4), 0);
    EXPECT_EQ(platform.app.endCalls, 0);
}

TEST_F(StatisticsTest, HugeFactorSaturatesInsteadOfOverflowing) {
    state().LevelCriteria[1].PointFactor = 1e30f;
    writeRecords(resultPath(), {run(4, 1, 45), run(4, 1, 45), run(4, 1, 45)});
    compute();
    EXPECT_EQ(state().PointsSoFar(1, 4), std::numeric_limits<std::int32_t>::max());
}

TEST_F(StatisticsTest, ChangedCriteriaRescoreStoredRuns) {
    writeRecords(resultPath(), {run(4, 1, 45)});
    compute();
    EXPECT_EQ(state().PointsSoFar(1, 4), 5);
    state().LevelCriteria[1].TargetSeconds = 30;
    compute();
    EXPECT_EQ(state().PointsSoFar(1, 4), 4);
}

TEST_F(StatisticsTest, LoaderFailureIsPassedOn) {
    state().DataFolder = tree.root() + u"無い/"_s;
    EXPECT_FALSE(ComputeResultStatistics(ctx()));
    EXPECT_EQ(platform.app.endCalls, 1);
}

} // namespace
} // namespace mirai::test
