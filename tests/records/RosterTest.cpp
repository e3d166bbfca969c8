#include "Roster.h"

#include "NumberText.h"
#include "RecordsFixture.h"

#include <vector>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// ---- School year and grades ------------------------------------------------------------------

struct SchoolYearCase {
    QDate today;
    Untyped startMonth;
    int expected;
};

class SchoolYearTest : public ::testing::TestWithParam<SchoolYearCase> {};

TEST_P(SchoolYearTest, FollowsTheStartMonth) {
    EXPECT_EQ(SchoolYearOf(GetParam().today, GetParam().startMonth), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Months, SchoolYearTest,
                         ::testing::Values(SchoolYearCase{QDate(2005, 3, 15), Untyped::number(4), 2004},
                                           SchoolYearCase{QDate(2005, 4, 1), Untyped::number(4), 2005},
                                           SchoolYearCase{QDate(2005, 12, 31), Untyped::number(4), 2005},
                                           SchoolYearCase{QDate(2005, 1, 1), Untyped::number(1), 2005},
                                           SchoolYearCase{QDate(2005, 8, 31), Untyped::number(9), 2004},
                                           // An empty or non-numeric start month is 0: the calendar year.
                                           SchoolYearCase{QDate(2005, 1, 1), Untyped(), 2005},
                                           SchoolYearCase{QDate(2005, 1, 1), Untyped::text(u"四月"_s),
                                                          2005}));

struct GradeCase {
    int grade;
    QString fullWidth;
    QString halfWidth;
    int stage;
    QString mark;
};

class GradeLabelTest : public ::testing::TestWithParam<GradeCase> {};

TEST_P(GradeLabelTest, LabelsStageAndMark) {
    const GradeCase& c = GetParam();
    EXPECT_EQ(fullWidthGradeLabel(c.grade), c.fullWidth);
    EXPECT_EQ(halfWidthGradeLabel(c.grade), c.halfWidth);
    EXPECT_EQ(stageNumber(c.grade), c.stage);
    EXPECT_EQ(GradeMark(c.grade), c.mark);
}

INSTANTIATE_TEST_SUITE_P(
    Grades, GradeLabelTest,
    ::testing::Values(
        GradeCase{-5, u""_s, u"幼-"_s, -11, u"　"_s}, GradeCase{-3, u""_s, u"幼-"_s, -9, u"　"_s},
        GradeCase{-2, u""_s, u"幼1"_s, -8, u"　"_s}, GradeCase{-1, u""_s, u"幼2"_s, -7, u"　"_s},
        GradeCase{0, u"幼３"_s, u"幼3"_s, -6, u"　"_s}, GradeCase{1, u"小１"_s, u"小1"_s, 1, u"①"_s},
        GradeCase{4, u"小４"_s, u"小4"_s, 4, u"④"_s}, GradeCase{6, u"小６"_s, u"小6"_s, 6, u"⑥"_s},
        GradeCase{7, u"中１"_s, u"中1"_s, 1, u"Ⅰ"_s}, GradeCase{9, u"中３"_s, u"中3"_s, 3, u"Ⅲ"_s},
        GradeCase{10, u"高１"_s, u"高1"_s, 1, u"　"_s}, GradeCase{12, u""_s, u"高3"_s, 3, u"　"_s},
        GradeCase{13, u""_s, u"大+"_s, 4, u"　"_s},
        // Birth year 0 in school year 2004.
        GradeCase{1998, u""_s, u"大+"_s, 1989, u"　"_s}));

struct GroupCase {
    QString group;
    int grade;
    int inSelected;       // results screen's filter
    bool inNameSelection; // name-selection screen's filter
};

class GroupTest : public ::testing::TestWithParam<GroupCase> {};

TEST_P(GroupTest, Membership) {
    const GroupCase& c = GetParam();
    EXPECT_EQ(InSelectedGroup(c.group, c.grade), c.inSelected);
    EXPECT_EQ(inNameSelectionGroup(c.group, c.grade), c.inNameSelection);
}

INSTANTIATE_TEST_SUITE_P(
    Groups, GroupTest,
    ::testing::Values(GroupCase{u"全学年"_s, 1998, 1, true}, GroupCase{u"全学年"_s, -4, 1, true},
                      GroupCase{u"小学生全体"_s, 1, 1, true}, GroupCase{u"小学生全体"_s, 6, 1, true},
                      GroupCase{u"小学生全体"_s, 0, 0, false}, GroupCase{u"小学生全体"_s, 7, 0, false},
                      GroupCase{u"中学生全体"_s, 7, 1, true}, GroupCase{u"中学生全体"_s, 9, 1, true},
                      GroupCase{u"中学生全体"_s, 10, 0, false}, GroupCase{u"中学生全体"_s, 6, 0, false},
                      GroupCase{u"小３"_s, 3, 1, true}, GroupCase{u"小３"_s, 4, 0, false},
                      GroupCase{u"小１"_s, 1, 1, true}, GroupCase{u"小６"_s, 6, 1, true},
                      GroupCase{u"中１"_s, 7, 1, true}, GroupCase{u"中２"_s, 8, 1, true},
                      GroupCase{u"中３"_s, 9, 1, true}, GroupCase{u"中３"_s, 3, 0, false},
                      // Half-width digits are a typed text that is no group.
                      GroupCase{u"小3"_s, 3, 0, false}, GroupCase{u"家族"_s, 5, 1, false},
                      GroupCase{u"家族"_s, 1998, 1, false}, GroupCase{u"高１"_s, 10, 0, false},
                      GroupCase{u""_s, 3, 0, false}));

// ---- Reading the roster ----------------------------------------------------------------------

class ReadRosterTest : public RecordsFixture {
protected:
    ReadRosterTest() {
        state().SchoolYearStartMonth = Untyped::number(4);
        state().RosterKeepMark2 = Untyped::number(0);
    }
    void read(const QDate& today = QDate(2005, 3, 15)) {
        listed.clear();
        ReadRoster(state(), today, [this](const ListedRecord& record) { listed.push_back(record); });
    }
    static QString line(int number, int birthYear, const QString& name, int flag) {
        return QString::number(number) + u","_s + QString::number(birthYear) + u",0,0,\""_s + name +
               u"\","_s + QString::number(flag) + u",\"\",\"\""_s;
    }
    std::vector<ListedRecord> listed;
};

TEST_F(ReadRosterTest, FillsTablesAndListsInFileOrder) {
    tree.writeRoster(
        {line(12, 1997, u"山田　太郎"_s, 0), line(3, 1995, u"佐藤花子"_s, 0), line(40, 1990, u"鈴木"_s, 0)});
    read();
    EXPECT_EQ(state().SchoolYear, 2004);
    ASSERT_EQ(state().ListedStudentCount, 3);
    ASSERT_EQ(state().NumberByPosition.size(), 4u);
    EXPECT_EQ(state().NumberByPosition[1], 12);
    EXPECT_EQ(state().NumberByPosition[2], 3);
    EXPECT_EQ(state().NumberByPosition[3], 40);

    EXPECT_EQ(state().RosterNames[12], u"山田　太郎"_s.leftJustified(20, u' '));
    EXPECT_EQ(state().BirthYearByNumber[12], 1997);
    EXPECT_EQ(state().GradeLabelByNumber[12], u"小１"_s);
    EXPECT_EQ(state().GradeLabelByNumber[3], u"小３"_s);

    ASSERT_EQ(listed.size(), 3u);
    EXPECT_EQ(listed[0].number, 12);
    EXPECT_EQ(listed[0].birthYear, 1997);
    EXPECT_EQ(listed[0].name, u"山田　太郎"_s);
    EXPECT_EQ(listed[0].halfWidthLabel, u"小1"_s);
    EXPECT_EQ(listed[0].stageNumber, 1);
    // 2004 − 1990 − 6 = 8: lower secondary, second year.
    EXPECT_EQ(listed[2].halfWidthLabel, u"中2"_s);
    EXPECT_EQ(listed[2].stageNumber, 2);
}

TEST_F(ReadRosterTest, UnlistedRecordIsStillFoundByNumber) {
    tree.writeRoster({line(5, 1997, u"先生★"_s, 1), line(6, 1997, u"生徒"_s, 0)});
    read();
    EXPECT_EQ(state().ListedStudentCount, 1);
    EXPECT_EQ(state().NumberByPosition[1], 6);
    EXPECT_EQ(trimBlanks(state().RosterNames[5]), u"先生★"_s);
    EXPECT_EQ(state().GradeLabelByNumber[5], u"小１"_s);
}

struct KeepMarkCase {
    Untyped keepMark2;
    int flag;
    bool listed;
};

class ListFlagTest : public ReadRosterTest, public ::testing::WithParamInterface<KeepMarkCase> {};

TEST_P(ListFlagTest, FlagDecidesListing) {
    state().RosterKeepMark2 = GetParam().keepMark2;
    tree.writeRoster({line(7, 1997, u"名前"_s, GetParam().flag)});
    read();
    EXPECT_EQ(state().ListedStudentCount, GetParam().listed ? 1 : 0);
    EXPECT_EQ(listed.size(), GetParam().listed ? 1u : 0u);
    EXPECT_EQ(trimBlanks(state().RosterNames[7]), u"名前"_s);
}

INSTANTIATE_TEST_SUITE_P(
    Flags, ListFlagTest,
    ::testing::Values(KeepMarkCase{Untyped::number(1), 2, true}, KeepMarkCase{Untyped::number(0), 2, false},
                      KeepMarkCase{Untyped::number(2), 2, false},
                      KeepMarkCase{Untyped::text(u"1"_s), 2, true}, KeepMarkCase{Untyped::number(1), 0, true},
                      KeepMarkCase{Untyped::number(1), 1, false}, KeepMarkCase{Untyped::number(1), 3, false},
                      KeepMarkCase{Untyped::number(1), -1, false}));

TEST_F(ReadRosterTest, LaterDuplicateWinsAndBothAreListed) {
    tree.writeRoster({line(9, 1997, u"最初"_s, 0), line(9, 1995, u"後"_s, 0)});
    read();
    EXPECT_EQ(state().ListedStudentCount, 2);
    EXPECT_EQ(state().NumberByPosition[1], 9);
    EXPECT_EQ(state().NumberByPosition[2], 9);
    EXPECT_EQ(trimBlanks(state().RosterNames[9]), u"後"_s);
    EXPECT_EQ(state().BirthYearByNumber[9], 1995);
    EXPECT_EQ(state().GradeLabelByNumber[9], u"小３"_s);
}

TEST_F(ReadRosterTest, LongNameIsCutToTwentyCharacters) {
    const QString name = u"あいうえおかきくけこさしすせそたちつてとなに"_s; // 22 characters
    tree.writeRoster({line(1, 1997, name, 0)});
    read();
    EXPECT_EQ(state().RosterNames[1], name.left(20));
    EXPECT_EQ(listed.at(0).name, name.left(20));
}

TEST_F(ReadRosterTest, BirthYearZeroKeepsThePreviousFullWidthLabel) {
    state().GradeLabelByNumber[4] = u"小２"_s;
    tree.writeRoster({line(4, 0, u"大人"_s, 0)});
    read();
    EXPECT_EQ(state().GradeLabelByNumber[4], u"小２"_s);
    EXPECT_EQ(listed.at(0).halfWidthLabel, u"大+"_s);
    EXPECT_EQ(InSelectedGroup(u"小学生全体"_s, gradeNumber(state().SchoolYear, 0)), 0);
    EXPECT_EQ(InSelectedGroup(u"全学年"_s, gradeNumber(state().SchoolYear, 0)), 1);
}

TEST_F(ReadRosterTest, UnreadableRecordsAreSkippedAndTheRestIsRead) {
    tree.writeRoster({line(5001, 1997, u"範囲外"_s, 0), line(-1, 1997, u"負"_s, 0),
                      u"abc,1997,0,0,\"文字番号\",0,\"\",\"\""_s, u"8,平成,0,0,\"文字年\",0,\"\",\"\""_s,
                      u"9,1997,0,0,\"文字旗\",x,\"\",\"\""_s, u"70000,1997,0,0,\"大き過ぎ\",0,\"\",\"\""_s,
                      line(2, 1997, u"正常"_s, 0), u"\"3\",1997,0,0,\"引用番号\",0,\"\",\"\""_s,
                      u"5000,1997.4,0,0,\"端\",0,\"\",\"\""_s});
    read();
    ASSERT_EQ(state().ListedStudentCount, 3);
    EXPECT_EQ(state().NumberByPosition[1], 2);
    EXPECT_EQ(state().NumberByPosition[2], 3);
    EXPECT_EQ(state().NumberByPosition[3], 5000);
    EXPECT_EQ(state().BirthYearByNumber[5000], 1997);
    EXPECT_TRUE(state().RosterNames[8].isEmpty());
    EXPECT_TRUE(state().RosterNames[9].isEmpty());
}

TEST_F(ReadRosterTest, EmptyNumberFieldsReadAsZero) {
    tree.writeRoster({u",2000,,,\"ゼロ\",,,"_s});
    read();
    ASSERT_EQ(state().ListedStudentCount, 1);
    EXPECT_EQ(state().NumberByPosition[1], 0);
    EXPECT_EQ(state().BirthYearByNumber[0], 2000);
}

TEST_F(ReadRosterTest, MissingRosterListsNobody) {
    state().NumberByPosition = {0, 5, 6};
    state().ListedStudentCount = 2;
    read();
    EXPECT_EQ(state().ListedStudentCount, 0);
    EXPECT_EQ(state().NumberByPosition.size(), 1u);
    EXPECT_TRUE(listed.empty());
    EXPECT_EQ(state().SchoolYear, 2004);
}

TEST_F(ReadRosterTest, RecordCutShortAtTheEndIsSkipped) {
    tree.writeRoster({line(1, 1997, u"一"_s, 0), u"2,1997,0,0"_s});
    read();
    EXPECT_EQ(state().ListedStudentCount, 1);
    EXPECT_TRUE(state().RosterNames[2].isEmpty());
}

TEST_F(ReadRosterTest, LastRecordWithoutItsUnusedTextFieldsIsListed) {
    tree.writeRoster({line(1, 1997, u"一"_s, 0), u"2,1997,0,0,\"二\",0"_s});
    read();
    EXPECT_EQ(state().ListedStudentCount, 2);
    EXPECT_EQ(listed.at(1).name, u"二"_s);
}

TEST_F(ReadRosterTest, RecordSpreadOverTwoLinesReadsAsOne) {
    tree.writeRoster({u"1,1997,0,0"_s, u"\"二行\",0,\"\",\"\""_s, line(2, 1996, u"次"_s, 0)});
    read();
    ASSERT_EQ(state().ListedStudentCount, 2);
    EXPECT_EQ(listed.at(0).name, u"二行"_s);
    EXPECT_EQ(listed.at(1).number, 2);
}

TEST_F(ReadRosterTest, RereadingOverwritesButNeverClears) {
    tree.writeRoster({line(1, 1997, u"一"_s, 0), line(2, 1997, u"二"_s, 0)});
    read();
    tree.writeRoster({line(2, 1996, u"新二"_s, 0)});
    read();
    EXPECT_EQ(state().ListedStudentCount, 1);
    EXPECT_EQ(trimBlanks(state().RosterNames[1]), u"一"_s); // results stored under 1 keep a name
    EXPECT_EQ(trimBlanks(state().RosterNames[2]), u"新二"_s);
}

} // namespace
} // namespace mirai::test
