// The record list: the line layout, the lines of a file with records of level 0, the roster
// tables and the inputs a save takes.

#include "RecordList.h"

#include "NumberText.h"
#include "ResultRecords.h"
#include "RosterTables.h"
#include "TeacherFixture.h"

#include <limits>
#include <variant>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

class RecordListTest : public StationFixture<TestPlatform> {
protected:
    void SetUp() override {
        tree.writeRoster(
            {u"7,2017,0,0,\"山田花子\",0,\"\",\"\""_s, u"8,2016,0,0,\"  佐藤 一郎  \",1,\"\",\"\""_s,
             u"9,1990,0,0,\"大人の先生\",0,\"\",\"\""_s, u"6000,2017,0,0,\"範囲外\",0,\"\",\"\""_s,
             u"10,2017,0,0,\"とても長い名前のひとです一二三四五六七八九十\",0,\"\",\"\""_s});
        choices = roster.LoadRosterChoices(rosterPath(), 2026);
    }
    QString rosterPath() const { return tree.commonFolder() + u"新名簿.txt"_s; }

    RosterTables roster;
    QStringList choices;
};

TEST_F(RecordListTest, RosterChoicesListEveryRecordTrimmedWithNameAndGradeByNumber) {
    EXPECT_EQ(choices, (QStringList{u"7 /  山田花子"_s, u"8 /  佐藤 一郎"_s, u"9 /  大人の先生"_s,
                                    u"10 /  とても長い名前のひとです一二三四五六七八"_s}));
    struct Case {
        int student;
        QString name, grade;
    };
    const Case cases[] = {
        {7, u"山田花子"_s, u"小３"_s},   // 2026 − 2017 − 6 = 3
        {8, u"佐藤 一郎"_s, u"小４"_s},  // not listed, still known by number
        {9, u"大人の先生"_s, QString()}, // grade 30: no label
        {42, QString(), QString()},      // not in the roster
        {6000, QString(), QString()},    // outside the tables
        {-1, QString(), QString()},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(roster.name(c.student), c.name) << c.student;
        EXPECT_EQ(roster.grade(c.student), c.grade) << c.student;
    }
}

TEST_F(RecordListTest, NumbersTheRosterNoLongerHoldsKeepTheirEntries) {
    tree.writeRoster({u"7,2018,0,0,\"山田はな\",0,\"\",\"\""_s});
    EXPECT_EQ(roster.LoadRosterChoices(rosterPath(), 2026), QStringList{u"7 /  山田はな"_s});
    EXPECT_EQ(roster.grade(7), u"小２"_s);
    EXPECT_EQ(roster.name(8), u"佐藤 一郎"_s);
    QFile::remove(rosterPath());
    EXPECT_TRUE(roster.LoadRosterChoices(rosterPath(), 2026).isEmpty());
    EXPECT_EQ(roster.name(7), u"山田はな"_s);
}

TEST_F(RecordListTest, LineLayout) {
    struct Case {
        const char* what;
        std::int64_t number;
        RawRecord record;
        QString siteCode;
        QString line;
    };
    RawRecord plain = run(7, 1, 95);
    plain.time = QTime(9, 5, 7);
    RawRecord late = run(8, 12, 99999);
    late.time = QTime(23, 59, 59);
    RawRecord huge = run(7, 2, 123456);
    RawRecord stranger = run(42, 1, 60);
    RawRecord outside = run(-3, 1, 60);
    RawRecord elsewhere = run(7, 1, 60);
    elsewhere.siteCode = "99999";
    RawRecord noCode = run(7, 1, 60);
    noCode.siteCode = "     ";
    RawRecord noDate = run(7, 1, 60);
    noDate.rawDate = true;
    noDate.dateValue = std::numeric_limits<double>::quiet_NaN();
    const Case cases[] = {
        {"plain", 1, plain, u"12345"_s,
         u"   1 2026/12/09　  9:05:07ﾚﾍﾞﾙ1　   95秒 　   7 山田花子　　 小３++北教室"_s},
        {"time-out", 23, late, u"12345"_s,
         u"  23 2026/12/09　 23:59:59ﾚﾍﾞﾙ12　99999秒 　   8 佐藤 一郎　 小４++北教室"_s},
        {"last four digits", 12345, huge, u"12345"_s,
         u"2345 2026/12/09　  9:00:00ﾚﾍﾞﾙ2　23456秒 　   7 山田花子　　 小３++北教室"_s},
        {"unknown student", 2, stranger, u"12345"_s,
         u"   2 2026/12/09　  9:00:00ﾚﾍﾞﾙ1　   60秒 　  42 　　　　　 ++北教室"_s},
        {"outside the tables", 3, outside, u"12345"_s,
         u"   3 2026/12/09　  9:00:00ﾚﾍﾞﾙ1　   60秒 　  -3 　　　　　 ++北教室"_s},
        {"another site", 4, elsewhere, u"12345"_s,
         u"   4 2026/12/09　  9:00:00ﾚﾍﾞﾙ1　   60秒 　   7 山田花子　　 小３++他塾"_s},
        {"no installation code", 5, noCode, QString(),
         u"   5 2026/12/09　  9:00:00ﾚﾍﾞﾙ1　   60秒 　   7 山田花子　　 小３++他塾"_s},
        {"a date that is none", 6, noDate, u"12345"_s,
         u"   6 　  9:00:00ﾚﾍﾞﾙ1　   60秒 　   7 山田花子　　 小３++北教室"_s},
    };
    for (const Case& c : cases) {
        state->SiteCode = c.siteCode;
        RecordLines lines(SiteIdentity::of(*state));
        lines.add(rawRecordBytes(c.record).constData(), 1);
        ASSERT_EQ(lines.count(), 1);
        EXPECT_EQ(recordLine(c.number, lines.run(0), lines.ownSite(0), roster, lines.site()), c.line)
            << c.what;
    }
}

TEST_F(RecordListTest, EveryLineKnowsItsRecordAndRecordsOfLevelZeroHaveNone) {
    struct Case {
        std::vector<int> levels;         // of records 1, 2, …
        std::vector<std::int64_t> shown; // the record of each line
        std::vector<std::pair<std::int64_t, int>> rowAtOrAfter;
    };
    const Case cases[] = {
        {{1, 1, 1}, {1, 2, 3}, {{0, 0}, {1, 0}, {3, 2}, {4, -1}}},
        {{1, 0, 2, 1, 0}, {1, 3, 4}, {{1, 0}, {2, 1}, {3, 1}, {4, 2}, {5, -1}, {99, -1}}},
        {{0, 0, 1, 0, 1, 1, 0}, {3, 5, 6}, {{1, 0}, {3, 0}, {4, 1}, {6, 2}, {7, -1}}},
        {{0, 0}, {}, {{1, -1}}},
        {{}, {}, {{1, -1}}},
    };
    for (const Case& c : cases) {
        std::vector<RawRecord> records;
        for (int level : c.levels)
            records.push_back(run(7, level, 60 + static_cast<int>(records.size())));
        RecordLines lines(SiteIdentity::of(*state));
        const QByteArray bytes = rawRecordBytes(records);
        // In two chunks, as the file is read.
        const std::int64_t first = static_cast<std::int64_t>(records.size()) / 2;
        lines.add(bytes.constData(), first);
        lines.add(bytes.constData() + first * 44, static_cast<std::int64_t>(records.size()) - first);
        RecordListModel model(roster);
        model.setLines(std::move(lines));
        ASSERT_EQ(model.rowCount(), static_cast<int>(c.shown.size()));
        for (int row = 0; row < model.rowCount(); ++row) {
            const std::int64_t number = c.shown[static_cast<std::size_t>(row)];
            EXPECT_EQ(model.recordNumber(row), number);
            EXPECT_TRUE(model.line(row).startsWith(rightAligned(QString::number(number), 4) + u' '));
            EXPECT_TRUE(model.line(row).contains(QString::number(59 + number) + u"秒"_s));
            EXPECT_EQ(model.data(model.index(row), Qt::DisplayRole).toString(), model.line(row));
        }
        EXPECT_EQ(model.recordNumber(model.rowCount()), 0);
        for (const auto& [number, row] : c.rowAtOrAfter)
            EXPECT_EQ(model.rowAtOrAfter(number), row) << number;
    }
}

TEST(RecordChangesTest, StudentFieldAndSecondsAsTheSaveTakesThem) {
    struct Case {
        QString student, seconds;
        int wantStudent; // −1: refused
        std::int32_t wantSeconds;
    };
    const Case cases[] = {
        {u"7 /  山田花子"_s, u"12.5"_s, 7, 12},
        {u"7 /  山田花子"_s, u"13.5"_s, 7, 14},
        {u"7 /  山田花子"_s, u"abc"_s, 7, 0},
        {u" 12 / 名簿にない"_s, u"99999"_s, 12, 99999},
        {u"5000/"_s, u"2147483647"_s, 5000, 2147483647},
        {u"0 / "_s, u"-0.4"_s, 0, 0},
        {u"7.5 / x"_s, u"1"_s, 8, 1},
        {u"山田花子"_s, u"10"_s, -1, 0},
        {QString(), u"10"_s, -1, 0},
        {u"5001 / x"_s, u"10"_s, -1, 0},
        {u"-1 / x"_s, u"10"_s, -1, 0},
        {u"7 / x"_s, u"-1"_s, -1, 0},
        {u"7 / x"_s, u"2147483648"_s, -1, 0},
        {u"7 / x"_s, u"1e400"_s, -1, 0},
    };
    for (const Case& c : cases) {
        const auto parsed = parseRecordChanges(c.student, c.seconds);
        const std::string what = (c.student + u" | "_s + c.seconds).toStdString();
        if (c.wantStudent < 0) {
            ASSERT_TRUE(std::holds_alternative<QString>(parsed)) << what;
            EXPECT_TRUE(std::get<QString>(parsed).contains(u"何も変更していません"_s)) << what;
            continue;
        }
        ASSERT_TRUE(std::holds_alternative<RecordChanges>(parsed)) << what;
        EXPECT_EQ(std::get<RecordChanges>(parsed).student, c.wantStudent) << what;
        EXPECT_EQ(std::get<RecordChanges>(parsed).seconds, c.wantSeconds) << what;
    }
}

} // namespace
} // namespace mirai::test
