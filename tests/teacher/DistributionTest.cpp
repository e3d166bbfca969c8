// The distributions of the criteria editor: all times and the students' best times of a level.

#include "Distribution.h"

#include "RecordFiles.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

RawRecord run(int student, int level, std::int32_t seconds) {
    RawRecord record;
    record.student = static_cast<std::int16_t>(student);
    record.level = static_cast<std::int16_t>(level);
    record.seconds = seconds;
    return record;
}

Distribution distributionOf(const std::vector<RawRecord>& records, int level) {
    DistributionBuilder builder(level);
    const QByteArray bytes = rawRecordBytes(records);
    builder.add(bytes.constData(), static_cast<std::int64_t>(records.size()));
    return builder.finish();
}

// The bins (0..100) whose line carries stars, with their star counts.
std::map<int, int> starredRows(const QStringList& lines) {
    std::map<int, int> rows;
    for (int bin = 0; bin + 1 < lines.size(); ++bin) {
        const QString& line = lines[bin + 1];
        const int stars = static_cast<int>(line.count(u'★'));
        if (stars > 0)
            rows[bin] = stars;
    }
    return rows;
}

TEST(DistributionTest, ThreeRunsOfOneStudentAtLevelTwo) {
    const std::vector<RawRecord> records{run(7, 2, 95), run(7, 2, 130), run(7, 2, 99999)};
    const DistributionLists lists = distributionLines(distributionOf(records, 2));
    ASSERT_EQ(lists.allTimes.size(), 102);
    ASSERT_EQ(lists.bestTimes.size(), 102);
    EXPECT_EQ(lists.allTimes[0], u"レベル2 今まで3回  （★=1）"_s);
    EXPECT_EQ(lists.bestTimes[0], u"レベル2 （★=1）"_s);
    EXPECT_EQ(lists.allTimes[10], u"  90～★"_s);
    EXPECT_EQ(lists.allTimes[14], u" 130～★"_s);
    EXPECT_EQ(lists.allTimes[101], u"1000～★"_s);
    EXPECT_EQ(starredRows(lists.allTimes), (std::map<int, int>{{9, 1}, {13, 1}, {100, 1}}));
    EXPECT_EQ(lists.bestTimes[10], u"  90～★"_s);
    EXPECT_EQ(starredRows(lists.bestTimes), (std::map<int, int>{{9, 1}}));
    // Level 1 has nothing: a header of 0 runs and bare row labels.
    const DistributionLists empty = distributionLines(distributionOf(records, 1));
    EXPECT_EQ(empty.allTimes[0], u"レベル1 今まで0回  （★=1）"_s);
    EXPECT_EQ(empty.allTimes[1], u"   0～"_s);
    EXPECT_EQ(empty.allTimes[100], u" 990～"_s);
    EXPECT_TRUE(starredRows(empty.bestTimes).empty());
}

TEST(DistributionTest, StarsScaleToTheFullestBin) {
    std::vector<RawRecord> records;
    for (int i = 0; i < 25; ++i)
        records.push_back(run(100 + i, 1, 42)); // 25 students in bin 4
    for (int i = 0; i < 3; ++i)
        records.push_back(run(200 + i, 1, 55)); // 3 in bin 5
    records.push_back(run(300, 1, 61));         // 1 in bin 6
    const DistributionLists lists = distributionLines(distributionOf(records, 1));
    EXPECT_EQ(lists.allTimes[0], u"レベル1 今まで29回  （★=2）"_s);
    // Int(n / 2 + 0.5): 25 -> 13, 3 -> 2, 1 -> 1.
    EXPECT_EQ(starredRows(lists.allTimes), (std::map<int, int>{{4, 13}, {5, 2}, {6, 1}}));
    EXPECT_EQ(starredRows(lists.bestTimes), (std::map<int, int>{{4, 13}, {5, 2}, {6, 1}}));
}

TEST(DistributionTest, BestTimesPerStudentAndWhatIsLeftOut) {
    struct Case {
        const char* what;
        std::vector<RawRecord> records;
        std::map<int, int> allTimes, bestTimes;
        int runs;
    };
    const Case cases[] = {
        {"the fewest seconds count",
         {run(7, 3, 500), run(7, 3, 40), run(7, 3, 77)},
         {{4, 1}, {7, 1}, {50, 1}},
         {{4, 1}},
         3},
        {"best times from 300 s on share the last row",
         {run(7, 3, 310), run(8, 3, 99999), run(9, 3, 2999)},
         {{31, 1}, {100, 2}},
         {{30, 3}},
         3},
        {"a number above 100000 is a time, not its last digits",
         {run(7, 3, 100005), run(7, 3, 99999)},
         {{100, 2}},
         {{30, 1}},
         2},
        {"students outside the roster range keep their own best",
         {run(6000, 3, 20), run(6000, 3, 30), run(-7, 3, 45), run(1000, 3, 50)},
         {{2, 1}, {3, 1}, {4, 1}, {5, 1}},
         {{2, 1}, {4, 1}, {5, 1}},
         4},
        {"student 0 is a student", {run(0, 3, 15)}, {{1, 1}}, {{1, 1}}, 1},
        {"levels outside 1..50 and negative seconds are left out",
         {run(7, 0, 10), run(7, 51, 10), run(7, -3, 10), run(7, 3, -5), run(8, 3, 0)},
         {{0, 1}},
         {{0, 1}},
         1},
    };
    for (const Case& c : cases) {
        std::vector<RawRecord> records = c.records;
        records.push_back(run(7, 50, 10)); // level 50 is still a level
        const Distribution d = distributionOf(records, 3);
        const DistributionLists lists = distributionLines(d);
        EXPECT_EQ(starredRows(lists.allTimes), c.allTimes) << c.what;
        EXPECT_EQ(starredRows(lists.bestTimes), c.bestTimes) << c.what;
        EXPECT_EQ(d.runs, c.runs) << c.what;
        EXPECT_EQ(distributionOf(records, 50).runs, 1) << c.what;
    }
}

TEST(DistributionTest, ChunksAddUpAndAResetStartsAfresh) {
    const std::vector<RawRecord> records{run(7, 1, 95), run(8, 1, 35), run(7, 1, 20), run(9, 2, 1000)};
    const QByteArray bytes = rawRecordBytes(records);
    DistributionBuilder builder(1);
    builder.add(bytes.constData(), 1);
    builder.add(bytes.constData() + 44, 3);
    const Distribution chunked = builder.finish();
    const Distribution whole = distributionOf(records, 1);
    EXPECT_EQ(chunked.times, whole.times);
    EXPECT_EQ(chunked.bests, whole.bests);
    EXPECT_EQ(chunked.runs, 3);
    builder.reset(2);
    builder.add(bytes.constData(), 4);
    const Distribution level2 = builder.finish();
    EXPECT_EQ(level2.runs, 1);
    EXPECT_EQ(level2.times[100], 1);
    EXPECT_EQ(level2.bests[30], 1);
    EXPECT_EQ(level2.bests[2], 0); // nothing of level 1 is left over
}

TEST(DistributionTest, ALevelBeyondTheTablesShowsNothing) {
    std::vector<RawRecord> records{run(7, 1, 95)};
    for (int level : {0, 51, 60, -1}) {
        records.push_back(run(7, level, 30));
        const DistributionLists lists = distributionLines(distributionOf(records, level));
        EXPECT_EQ(lists.allTimes[0], u"レベル"_s + QString::number(level) + u" 今まで0回  （★=1）"_s);
        EXPECT_TRUE(starredRows(lists.allTimes).empty()) << level;
        EXPECT_TRUE(starredRows(lists.bestTimes).empty()) << level;
        EXPECT_EQ(lists.allTimes.size(), 102);
    }
}

} // namespace
} // namespace mirai::test
