#include "RosterCsv.h"

#include "QtPrinters.h"
#include "RosterDocument.h"
#include "SetupFixture.h"

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

constexpr int kSchoolYear = 2026;

// ---- Grades as teachers write them ---------------------------------------------------------------

struct GradeCase {
    QString text;
    std::optional<int> grade;
};

class GradeTextTest : public ::testing::TestWithParam<GradeCase> {};

TEST_P(GradeTextTest, ReadsTheGradeNumber) {
    EXPECT_EQ(gradeOfText(GetParam().text), GetParam().grade) << GetParam().text.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Grades, GradeTextTest,
    ::testing::Values(GradeCase{u"小3"_s, 3}, GradeCase{u"小３"_s, 3}, GradeCase{u"小学6年生"_s, 6},
                      GradeCase{u"中１"_s, 7}, GradeCase{u"中学3年"_s, 9}, GradeCase{u"高校2年"_s, 11},
                      GradeCase{u"高3"_s, 12}, GradeCase{u"幼3"_s, 0}, GradeCase{u"年長"_s, 0},
                      GradeCase{u"年少"_s, -2}, GradeCase{u"小7"_s, std::nullopt},
                      GradeCase{u"中4"_s, std::nullopt}, GradeCase{u"3年"_s, std::nullopt},
                      GradeCase{u"大1"_s, std::nullopt}, GradeCase{u""_s, std::nullopt}));

// ---- Import: what is added, what is refused and why ------------------------------------------------

struct Added {
    int line;
    QString student;
    int birthYear;
    int warnings;
    bool operator==(const Added&) const = default;
};
struct Refused {
    int line;
    QString reasonStart;
};

struct ImportCase {
    const char* name;
    QByteArray bytes;
    QString encoding;
    bool byGrade;
    std::vector<Added> added;
    std::vector<Refused> refused;
};

class RosterImportTest : public ::testing::TestWithParam<ImportCase> {};

TEST_P(RosterImportTest, AddsGoodLinesAndRefusesBadOnesWithAReason) {
    const ImportCase& c = GetParam();
    const RosterImport import = readRosterCsv(c.bytes, kSchoolYear, {u"山田　花子 "_s});
    EXPECT_TRUE(import.error.isEmpty()) << import.error.toStdString();
    EXPECT_EQ(import.encoding, c.encoding);
    EXPECT_EQ(import.byGrade, c.byGrade);
    std::vector<Added> added;
    for (const ImportedStudent& s : import.students)
        added.push_back({s.line, s.name, s.birthYear, static_cast<int>(s.warnings.size())});
    EXPECT_EQ(added, c.added);
    ASSERT_EQ(import.refused.size(), c.refused.size());
    for (std::size_t i = 0; i < c.refused.size(); ++i) {
        EXPECT_EQ(import.refused[i].line, c.refused[i].line) << i;
        EXPECT_TRUE(import.refused[i].reason.startsWith(c.refused[i].reasonStart))
            << import.refused[i].reason.toStdString();
    }
}

const QByteArray kBom("\xEF\xBB\xBF");

INSTANTIATE_TEST_SUITE_P(
    Files, RosterImportTest,
    ::testing::Values(
        ImportCase{
            "utf8_with_bom_by_birth_year",
            kBom +
                u"名前,生まれ年\r\n佐藤　一郎,2016\r\n\"鈴木, 次郎\",２０１５年\r\n,2016\r\n高橋,平成28\r\n"
                u"田中😀,2016\r\n\r\n伊藤,1850\r\n山田　花子,2017\r\n"_s.toUtf8(),
            u"UTF-8（BOM付き）"_s,
            false,
            {{2, u"佐藤　一郎"_s, 2016, 0}, {3, u"鈴木, 次郎"_s, 2015, 0}, {9, u"山田　花子"_s, 2017, 1}},
            {{4, u"名前がありません"_s},
             {5, u"生まれ年「平成28」"_s},
             {6, u"「😀」（U+1F600）"_s},
             {8, u"生まれ年「1850」"_s}}},
        ImportCase{
            "utf8_by_grade_with_other_columns",
            u"番号,氏名,学年,メモ\n1,渡辺,小3,\n2,\"中村\n美咲\",中１,x\n3,小林,6年,\n4,加藤,高校2年,\n"_s
                .toUtf8(),
            u"UTF-8"_s,
            true,
            {{2, u"渡辺"_s, 2017, 0}, {6, u"加藤"_s, 2009, 0}},
            {{3, u"改行やタブは使えません"_s}, {5, u"学年「6年」"_s}}},
        ImportCase{"code_page_932_with_warnings",
                   cp(u"生徒名,生年,学年\r\n山本,2014,小1\r\n山本,2014,"
                      u"\r\n\"寿限無寿限無五劫の擦り切れ海砂利水魚の水行末\",2013\r\n"
                      u"\"引用\"\"符\",2013\r\n"_s),
                   u"シフトJIS"_s,
                   false,
                   {{2, u"山本"_s, 2014, 0},
                    {3, u"山本"_s, 2014, 1},
                    {4, u"寿限無寿限無五劫の擦り切れ海砂利水魚の水行末"_s, 2013, 1}},
                   {{5, u"「\"」は使えません"_s}}}));

TEST(RosterImport, AFileWithoutColumnTitlesIsRefusedWhole) {
    for (const QByteArray& bytes :
         {u"山田,2016\r\n"_s.toUtf8(), u"名前,住所\r\n山田,東京\r\n"_s.toUtf8(), QByteArray()}) {
        const RosterImport import = readRosterCsv(bytes, kSchoolYear, {});
        EXPECT_FALSE(import.error.isEmpty());
        EXPECT_TRUE(import.students.empty());
    }
}

TEST(RosterImport, NumbersFollowTheRosterAndSkipNumbersWithRuns) {
    RosterImport import = readRosterCsv(u"名前,学年\n一,小1\n二,小2\n三,小3\n"_s.toUtf8(), kSchoolYear, {});
    std::vector<bool> inRoster(kStudentRows, false), withRuns(kStudentRows, false);
    for (int n = 1; n <= 4996; ++n)
        inRoster[static_cast<std::size_t>(n)] = true;
    withRuns[4998] = withRuns[5000] = true;
    assignNumbers(import, inRoster, withRuns);
    ASSERT_EQ(import.students.size(), 2U);
    EXPECT_EQ(import.students[0].number, 4997);
    EXPECT_EQ(import.students[1].number, 4999);
    ASSERT_EQ(import.refused.size(), 1U);
    EXPECT_EQ(import.refused[0].line, 4);
    EXPECT_EQ(import.refused[0].reason, u"番号が足りません（5000番まで使っています）。"_s);
    EXPECT_FALSE(inRoster[4997]) << "the caller's table is not changed";
}

TEST(RosterExport, WritesEveryEntryAsTheRecordExportDoes) {
    RosterDocument roster(cp(u"1,1990,0,0,\"★山口先生\",0,\"\",\"\"\r\n2,2017,0,0,\"=山田\",1,\"\",\"\"\r\n"
                             u"3,2016,0,0,\"佐藤, 一\",2,\"\",\"\"\r\n"_s));
    const QByteArray expected = kBom + u"\"番号\",\"名前\",\"生まれ年\",\"学年\",\"名前一覧\"\r\n"
                                       u"1,\"★山口先生\",1990,\"大+\",\"表示\"\r\n"
                                       u"2,\"'=山田\",2017,\"小3\",\"表示しない\"\r\n"
                                       u"3,\"佐藤, 一\",2016,\"小4\",\"表示\"\r\n"_s.toUtf8();
    EXPECT_EQ(rosterCsv(roster, kSchoolYear, true), expected);
    // What the export writes, the import reads back.
    const RosterImport back = readRosterCsv(expected, kSchoolYear, {});
    ASSERT_EQ(back.students.size(), 3U);
    EXPECT_EQ(back.students[2].name, u"佐藤, 一"_s);
}

} // namespace
} // namespace mirai::test
