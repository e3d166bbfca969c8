#include "Configuration.h"
#include "Files.h"
#include "NameList.h"
#include "NumberText.h"
#include "RecordFiles.h"
#include "Roster.h"
#include "Screen.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "Statistics.h"
#include "UiDoubles.h"
#include "namesel.h"

#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// A screen that only counts its activations; it stands in for the screens around the name
// selection. A modal stand-in closes itself at once.
class StubScreen : public Screen {
public:
    explicit StubScreen(bool closeAtOnce = false) : m_closeAtOnce(closeAtOnce) {}
    void activate() override {
        ++activations;
        if (m_closeAtOnce)
            hide();
    }
    int activations = 0;

private:
    bool m_closeAtOnce;
};

// Wednesday 6 October 2004: with a school year starting in April, school year 2004, so a child
// born in 1995 is in grade 3.
const QDateTime kNow(QDate(2004, 10, 6), QTime(10, 0, 0));

// The roster of the list tests: a third-grader with results, a pre-school child, a student
// without results, a heavy user, a three-digit birth year, and one record that is not listed.
const QStringList kRoster = {
    u"12,1995,0,0,\"山田花子\",0,\"\",\"\""_s, u"30,1999,0,0,\"佐藤ゆい\",0,\"\",\"\""_s,
    u"7,1990,0,0,\"鈴木一郎\",0,\"\",\"\""_s,  u"40,1996,0,0,\"田中\",0,\"\",\"\""_s,
    u"55,998,0,0,\"古田\",0,\"\",\"\""_s,      u"8,1994,0,0,\"隠れ\",1,\"\",\"\""_s,
};

std::vector<RawRecord> rosterResults() {
    std::vector<RawRecord> records;
    auto add = [&](std::int16_t student, const QDate& date, std::int32_t seconds, int count) {
        for (int i = 0; i < count; ++i) {
            RawRecord record;
            record.date = date;
            record.student = student;
            record.level = 1;
            record.seconds = seconds;
            records.push_back(record);
        }
    };
    // Level 1 aims at 120 s with factor 1: 60 s earn 11 points, 150 s earn 4.
    add(12, QDate(2004, 10, 1), 60, 13);
    add(12, kNow.date(), 60, 2);
    add(30, kNow.date(), 150, 1);
    add(40, kNow.date(), 60, 1234);
    return records;
}

class NameSelectionTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.clock.set(kNow);
        tree.writeDefaults();
        tree.writeRoster(kRoster);
        writeRecords(tree.dataFolder() + u"成績累積データ.dat"_s, rosterResults());
        ASSERT_FALSE(LoadConfiguration(*state, tree.appFolder()).has_value());
        state->ProgramTitle = u"みらいドリル"_s;
        registerNameSelection(platform.screens, ctx());
        platform.screens.registerScreen(screens::seisekitime1(), [this] {
            hub = new StubScreen;
            return hub.data();
        });
        platform.screens.registerScreen(screens::frmver(), [] { return new StubScreen(true); });
    }

    Context ctx() { return {*state, platform}; }

    namesel* open() {
        platform.screens.show(screens::namesel());
        return platform.screens.find<namesel>(screens::namesel());
    }

    template <class T = QWidget> T* control(QWidget* screen, const QString& name) {
        T* widget = screen->findChild<T*>(name);
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }

    QStringList shownRows(namesel* screen) {
        QStringList rows;
        auto* list = control<QListWidget>(screen, u"List1"_s);
        for (int i = 0; i < list->count(); ++i)
            rows.append(list->item(i)->text());
        return rows;
    }

    int wrongSounds() const {
        int count = 0;
        for (const QString& command : platform.media.commands)
            count += command.contains(u"machigai1.wav"_s) ? 1 : 0;
        return count;
    }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    DataTree tree;
    UiTestPlatform platform;
    QPointer<StubScreen> hub;
};

// ---- Lines of the name list ---------------------------------------------------------------

struct LineCase {
    const char* what;
    ListedRecord record;
    StudentFigures figures;
    int mode;
    const char16_t* expected;
};

class NameListLineTest : public ::testing::TestWithParam<LineCase> {};

TEST_P(NameListLineTest, BuildsTheBufferedLine) {
    const LineCase& c = GetParam();
    EXPECT_EQ(nameListLine(c.record, c.figures, c.mode), QString::fromUtf16(c.expected));
}

const ListedRecord kThirdGrader{12, 1995, u"山田花子"_s, u"小3"_s, 3};
const ListedRecord kPreSchool{30, 1999, u"佐藤ゆい"_s, u"幼2"_s, -7};
const ListedRecord kLongName{9, 1994, u"寿限無寿限無五劫の擦り切れ"_s, u"小4"_s, 4};

INSTANTIATE_TEST_SUITE_P(
    Modes, NameListLineTest,
    ::testing::Values(
        LineCase{"example of the runs mode",
                 kThirdGrader,
                 {2, 22, 15, 165},
                 kModeRuns,
                 u"1995小3 山田花子　　  2回/   15回*12"},
        LineCase{"points mode",
                 kThirdGrader,
                 {2, 22, 15, 165},
                 kModePoints,
                 u"1995小3 山田花子　　  22/    165*12"},
        LineCase{
            "today mode", kThirdGrader, {2, 22, 15, 165}, kModeToday, u"1995小3 山田花子　　  22/  2回*12"},
        LineCase{"so-far mode",
                 kThirdGrader,
                 {2, 22, 15, 165},
                 kModeSoFar,
                 u"1995小3 山田花子　　    165/   15回*12"},
        LineCase{"pre-school child: two more fillers",
                 kPreSchool,
                 {1, 4, 1, 4},
                 kModeRuns,
                 u"1999幼2 佐藤ゆい　　　　  1回/    1回*30"},
        LineCase{"pre-school child in the points mode: no extra filler",
                 kPreSchool,
                 {1, 4, 1, 4},
                 kModePoints,
                 u"1999幼2 佐藤ゆい　　   4/      4*30"},
        LineCase{
            "no results, runs mode", kThirdGrader, {}, kModeRuns, u"1995小3 山田花子　　     /     　*12"},
        LineCase{
            "no results, points mode", kThirdGrader, {}, kModePoints, u"1995小3 山田花子　　  　/       *12"},
        LineCase{
            "no results, today mode", kThirdGrader, {}, kModeToday, u"1995小3 山田花子　　  　/     *12"},
        LineCase{"no results, so-far mode",
                 kThirdGrader,
                 {},
                 kModeSoFar,
                 u"1995小3 山田花子　　       /     　*12"},
        LineCase{"wide figures lose their leading digits",
                 kThirdGrader,
                 {1234, 13574, 123456, 12345678},
                 kModeRuns,
                 u"1995小3 山田花子　　234回/23456回*12"},
        LineCase{"wide points",
                 kThirdGrader,
                 {1234, 13574, 123456, 12345678},
                 kModePoints,
                 u"1995小3 山田花子　　3574/2345678*12"},
        LineCase{"a name too long for the column gets no filler",
                 kLongName,
                 {},
                 kModeRuns,
                 u"1994小4 寿限無寿限無五劫の擦り切れ     /     　*9"}),
    [](const ::testing::TestParamInfo<LineCase>& info) { return "case" + std::to_string(info.index); });

TEST(NameListRows, RowTextAndNumberFollowTheLastStar) {
    NameList list;
    list.addLine(u"1995小3 星*野　　  2回/   15回*12"_s);
    list.sortBuffer();
    list.filter(2004, u"全学年"_s);
    ASSERT_EQ(list.rows().size(), 2);
    EXPECT_EQ(list.rows()[1], u"小3 星*野　　  2回/   15回"_s);
    EXPECT_EQ(list.numberAtRow(1), 12);
    EXPECT_EQ(list.numberAtRow(0), std::nullopt);
    EXPECT_EQ(list.numberAtRow(2), std::nullopt);
}

TEST(NameListRows, SortsWholeLinesByCodeUnitsAndKeepsEqualLines) {
    NameList list;
    for (const QString& line : {u"1996小2 b*2"_s, u"1995小3 z*3"_s, u"998大+ x*4"_s, u"1995小3 a*5"_s})
        list.addLine(line);
    list.sortBuffer();
    EXPECT_EQ(list.buffer(),
              (QStringList{u"1995小3 a*5"_s, u"1995小3 z*3"_s, u"1996小2 b*2"_s, u"998大+ x*4"_s}));
}

// ---- The list built from a roster and a result file ---------------------------------------

struct ModeCase {
    int mode;
    std::vector<const char16_t*> rows; // after the head row
};

class NameListFromFiles : public NameSelectionTest, public ::testing::WithParamInterface<ModeCase> {};

TEST_P(NameListFromFiles, ShowsEveryListedStudentBornEarlierFirst) {
    const ModeCase& c = GetParam();
    ASSERT_TRUE(ComputeResultStatistics(ctx()));
    NameList list;
    list.rebuild(*state, kNow.date(), c.mode, u"全学年"_s);
    QStringList expected{nameListHeadRow()};
    for (const char16_t* row : c.rows)
        expected.append(QString::fromUtf16(row));
    EXPECT_EQ(list.rows(), expected);
    EXPECT_EQ(list.buffer().size(), 5);
}

INSTANTIATE_TEST_SUITE_P(
    Modes, NameListFromFiles,
    ::testing::Values(ModeCase{kModeRuns,
                               {u"中2 鈴木一郎　　     /     　", u"小3 山田花子　　  2回/   15回",
                                u"小2 田中　　　　234回/ 1234回", u"幼2 佐藤ゆい　　　　  1回/    1回",
                                u"+ 古田　　　　     /     　"}},
                      ModeCase{kModePoints,
                               {u"中2 鈴木一郎　　  　/       ", u"小3 山田花子　　  22/    165",
                                u"小2 田中　　　　3574/  13574", u"幼2 佐藤ゆい　　   4/      4",
                                u"+ 古田　　　　  　/       "}},
                      ModeCase{kModeToday,
                               {u"中2 鈴木一郎　　  　/     ", u"小3 山田花子　　  22/  2回",
                                u"小2 田中　　　　3574/234回", u"幼2 佐藤ゆい　　　　   4/  1回",
                                u"+ 古田　　　　  　/     "}},
                      ModeCase{kModeSoFar,
                               {u"中2 鈴木一郎　　       /     　", u"小3 山田花子　　    165/   15回",
                                u"小2 田中　　　　  13574/ 1234回", u"幼2 佐藤ゆい　　　　      4/    1回",
                                u"+ 古田　　　　       /     　"}}));

struct FilterCase {
    const char16_t* group;
    std::vector<int> numbers;
};

class NameListFilter : public NameSelectionTest, public ::testing::WithParamInterface<FilterCase> {};

TEST_P(NameListFilter, ListsOnlyTheGroup) {
    const FilterCase& c = GetParam();
    ASSERT_TRUE(ComputeResultStatistics(ctx()));
    NameList list;
    list.rebuild(*state, kNow.date(), kModeRuns, QString::fromUtf16(c.group));
    std::vector<int> numbers;
    for (int row = 1; row < list.rows().size(); ++row)
        numbers.push_back(list.numberAtRow(row).value_or(-1));
    EXPECT_EQ(numbers, c.numbers);
    EXPECT_EQ(list.rows().front(), nameListHeadRow());
}

INSTANTIATE_TEST_SUITE_P(Groups, NameListFilter,
                         ::testing::Values(FilterCase{u"全学年", {7, 12, 40, 30, 55}},
                                           FilterCase{u"小学生全体", {12, 40}}, FilterCase{u"中２", {7}},
                                           FilterCase{u"小３", {12}}, FilterCase{u"大学生", {}},
                                           FilterCase{u"家族", {}}));

TEST_F(NameSelectionTest, EmptyRosterLeavesTheHeadRowAndConfirmingPlaysTheWrongSound) {
    tree.writeRoster({});
    namesel* screen = open();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(shownRows(screen), QStringList{nameListHeadRow()});
    control<QPushButton>(screen, u"Command14"_s)->click();
    EXPECT_EQ(wrongSounds(), 1);
    EXPECT_EQ(hub, nullptr);
}

// ---- The screen ----------------------------------------------------------------------------

TEST_F(NameSelectionTest, OpensInThePointsModeWithTheTwelveGroups) {
    namesel* screen = open();
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(screen->displayMode(), kModePoints);
    EXPECT_TRUE(control<QRadioButton>(screen, u"Option1(1)"_s)->isChecked());
    auto* combo = control<QComboBox>(screen, u"Combo1"_s);
    QStringList items;
    for (int i = 0; i < combo->count(); ++i)
        items.append(combo->itemText(i));
    EXPECT_EQ(items, gradeFilterItems());
    EXPECT_EQ(items.size(), 12);
    EXPECT_EQ(combo->currentText(), u"全学年"_s);
    EXPECT_EQ(state->GradeFilterText, u"全学年"_s);
    EXPECT_EQ(shownRows(screen).value(2), u"小3 山田花子　　  22/    165"_s);
    EXPECT_EQ(control<QLabel>(screen, u"Label1"_s)->text(), u"名前を選びなさい"_s);
    EXPECT_EQ(control<QLabel>(screen, u"Label4"_s)->text(), u"みらいドリル"_s);
    EXPECT_FALSE(control<QWidget>(screen, u"Picture5"_s)->isVisible());
}

TEST_F(NameSelectionTest, TheListLinesUpInAFixedPitch) {
    namesel* screen = open();
    const QFontMetrics metrics(control<QListWidget>(screen, u"List1"_s)->font());
    const int half = metrics.horizontalAdvance(u'0');
    ASSERT_GT(half, 0);
    for (const QString& wide : {u"山"_s, u"　"_s, u"回"_s, u"－"_s})
        EXPECT_EQ(metrics.horizontalAdvance(wide), 2 * half);
    // The "/" of a student with results and of one without stands in the same column.
    const QStringList rows = shownRows(screen);
    const auto slashX = [&](const QString& row) {
        return metrics.horizontalAdvance(row.left(row.lastIndexOf(u'/')));
    };
    EXPECT_EQ(slashX(rows.value(1)), slashX(rows.value(2)));
    EXPECT_EQ(slashX(rows.value(1)), slashX(rows.value(3)));
}

TEST_F(NameSelectionTest, ModeButtonsAndFilterRebuildTheList) {
    namesel* screen = open();
    control<QRadioButton>(screen, u"Option1(0)"_s)->click();
    EXPECT_EQ(screen->displayMode(), kModeRuns);
    EXPECT_EQ(shownRows(screen).value(3), u"小2 田中　　　　234回/ 1234回"_s);

    auto* combo = control<QComboBox>(screen, u"Combo1"_s);
    const int index = combo->findText(u"小学生全体"_s);
    combo->setCurrentIndex(index);
    Q_EMIT combo->activated(index);
    EXPECT_EQ(state->GradeFilterText, u"小学生全体"_s);
    EXPECT_EQ(shownRows(screen).size(), 3);
    EXPECT_EQ(shownRows(screen).value(1), u"小3 山田花子　　  2回/   15回"_s);
}

TEST_F(NameSelectionTest, ChoosingARowShowsTheNameAndConfirmingOpensTheHub) {
    platform.clock.set(QDateTime(kNow.date(), QTime(10, 20, 30)));
    namesel* screen = open();
    auto* list = control<QListWidget>(screen, u"List1"_s);
    list->setCurrentRow(2);
    EXPECT_EQ(control<QLabel>(screen, u"Label1"_s)->text(), u"小3 山田花子"_s);
    control<QPushButton>(screen, u"Command14"_s)->click();

    EXPECT_EQ(state->StudentNumber, 12);
    EXPECT_EQ(trimBlanks(state->StudentName), u"山田花子"_s);
    EXPECT_EQ(state->StudentGroupText, u"小３"_s);
    EXPECT_EQ(state->SessionStart, 10 * 3600 + 20 * 60 + 30);
    EXPECT_EQ(state->LevelCount, 2);
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(hub->activations, 1);
    EXPECT_FALSE(control<QPushButton>(screen, u"Command14"_s)->isVisible());
    EXPECT_EQ(wrongSounds(), 0);
}

TEST_F(NameSelectionTest, DoubleClickShowsTheNameBeforeTheFiguresAndConfirms) {
    namesel* screen = open();
    screen->list1DoubleClick(5);
    EXPECT_EQ(control<QLabel>(screen, u"Label1"_s)->text(), u"+ 古田"_s);
    EXPECT_EQ(state->StudentNumber, 55);
    ASSERT_NE(hub, nullptr);
}

TEST_F(NameSelectionTest, ConfirmingWithoutANamePlaysTheWrongSound) {
    namesel* screen = open();
    control<QPushButton>(screen, u"Command14"_s)->click();
    QTest::keyClick(control<QListWidget>(screen, u"List1"_s), Qt::Key_1);
    EXPECT_EQ(wrongSounds(), 2);
    EXPECT_EQ(hub, nullptr);
}

enum class ConfirmKey { Enter, Space, One };

class ConfirmByKey : public NameSelectionTest, public ::testing::WithParamInterface<ConfirmKey> {};

TEST_P(ConfirmByKey, ConfirmsTheChosenName) {
    namesel* screen = open();
    auto* list = control<QListWidget>(screen, u"List1"_s);
    list->setFocus();
    QTest::keyClick(list, Qt::Key_Down); // row 1
    ASSERT_EQ(list->currentRow(), 1);
    switch (GetParam()) {
    case ConfirmKey::Enter:
        QTest::keyClick(list, Qt::Key_Return);
        break;
    case ConfirmKey::Space:
        QTest::keyClick(list, Qt::Key_Space);
        break;
    case ConfirmKey::One:
        QTest::keyClick(control<QRadioButton>(screen, u"Option1(2)"_s), Qt::Key_1);
        break;
    }
    EXPECT_EQ(state->StudentNumber, 7);
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(hub->activations, 1);
}

INSTANTIATE_TEST_SUITE_P(Keys, ConfirmByKey,
                         ::testing::Values(ConfirmKey::Enter, ConfirmKey::Space, ConfirmKey::One));

TEST_F(NameSelectionTest, DigitsTypedIntoTheFilterAreText) {
    namesel* screen = open();
    auto* combo = control<QComboBox>(screen, u"Combo1"_s);
    combo->setFocus();
    combo->lineEdit()->selectAll();
    QTest::keyClicks(combo, u"10"_s);
    EXPECT_EQ(combo->currentText(), u"10"_s);
    EXPECT_EQ(platform.launcher.calls, 0);
    EXPECT_EQ(wrongSounds(), 0);
    EXPECT_EQ(hub, nullptr);

    // Enter applies the typed group.
    combo->setEditText(u"中２"_s);
    QTest::keyClick(combo, Qt::Key_Return);
    EXPECT_EQ(state->GradeFilterText, u"中２"_s);
    EXPECT_EQ(shownRows(screen).size(), 2);
}

TEST_F(NameSelectionTest, ZeroStartsTheProgramMenuAndEndsTheProgram) {
    namesel* screen = open();
    QTest::keyClick(control<QListWidget>(screen, u"List1"_s), Qt::Key_0);
    EXPECT_EQ(platform.launcher.calls, 1);
    QString folder = tree.appFolder();
    folder.chop(1);
    EXPECT_EQ(platform.launcher.program,
              QDir::toNativeSeparators(folder + u"/../起動/プログラムメニューc.exe"_s));
    EXPECT_EQ(platform.launcher.arguments, QStringList{u"001"_s});
    EXPECT_EQ(platform.app.endCalls, 1);
}

TEST_F(NameSelectionTest, AMenuThatCannotStartIsReportedAndTheScreenStays) {
    platform.launcher.succeed = false;
    namesel* screen = open();
    control<QPushButton>(screen, u"Command7"_s)->click();
    EXPECT_EQ(platform.app.endCalls, 0);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(platform.launcher.program));
    EXPECT_TRUE(platform.messages.shown[0].text.contains(u"プログラムメニューc.exe"_s));
    EXPECT_TRUE(platform.screens.isVisible(screens::namesel()));
}

TEST(LauncherPath, ProgramFolderWithoutItsSeparatorThenTheMenu) {
    EXPECT_EQ(namesel::launcherPath(u"/srv/ドリル/MiraiDrill/"_s),
              QDir::toNativeSeparators(u"/srv/ドリル/MiraiDrill/../起動/プログラムメニューc.exe"_s));
    // A folder name is never split into arguments.
    EXPECT_EQ(namesel::launcherPath(u"D:\\a b;c\\Mirai\\"_s),
              QDir::toNativeSeparators(u"D:/a b;c/Mirai/../起動/プログラムメニューc.exe"_s));
}

TEST_F(NameSelectionTest, ClickingTheTitleOpensTheVersionDialog) {
    namesel* screen = open();
    QTest::mouseClick(control<QLabel>(screen, u"Label4"_s), Qt::LeftButton);
    EXPECT_TRUE(platform.screens.shownHistory().contains(screens::frmver()));
    EXPECT_TRUE(platform.screens.isVisible(screens::namesel()));
}

TEST_F(NameSelectionTest, ActivationClosesTheHubAndResetsTheFilter) {
    namesel* screen = open();
    auto* combo = control<QComboBox>(screen, u"Combo1"_s);
    combo->setCurrentIndex(combo->findText(u"中２"_s));
    Q_EMIT combo->activated(combo->currentIndex());
    ASSERT_EQ(shownRows(screen).size(), 2);
    control<QRadioButton>(screen, u"Option1(3)"_s)->click();

    platform.screens.show(screens::seisekitime1());
    ASSERT_TRUE(platform.screens.isLoaded(screens::seisekitime1()));
    platform.screens.show(screens::namesel());
    EXPECT_FALSE(platform.screens.isLoaded(screens::seisekitime1()));
    EXPECT_EQ(screen->displayMode(), kModePoints);
    EXPECT_EQ(state->GradeFilterText, u"全学年"_s);
    EXPECT_EQ(shownRows(screen).size(), 6);
}

TEST_F(NameSelectionTest, EveryRowShowsWholeInItsColumnAndTheChosenNameIsTrimmed) {
    // Enough students for several columns, with long names among them and a name that ends in a
    // full-width blank.
    QStringList roster;
    for (int i = 0; i < 40; ++i)
        roster.append(u"%1,1995,0,0,\"生徒%1\",0,\"\",\"\""_s.arg(100 + i));
    roster.insert(5, u"9,1995,0,0,\"寿限無寿限無五劫の擦り切れ海砂利\",0,\"\",\"\""_s);
    roster.insert(30, u"10,1996,0,0,\"ジョン－スミス～Ｊｒ\",0,\"\",\"\""_s);
    roster.append(u"11,1993,0,0,\"松本　美咲　\",0,\"\",\"\""_s);
    tree.writeRoster(roster);

    namesel* screen = open();
    auto* list = control<QListWidget>(screen, u"List1"_s);
    list->doItemsLayout();
    const QFontMetrics metrics(list->font());
    int longRows = 0;
    for (int i = 0; i < list->count(); ++i) {
        QListWidgetItem* item = list->item(i);
        const QRect cell = list->visualItemRect(item);
        EXPECT_GE(cell.width(), metrics.horizontalAdvance(item->text())) << item->text().toStdString();
        longRows += item->text().contains(u"寿限無"_s) || item->text().contains(u"ジョン"_s) ? 1 : 0;
        // The next column starts right of every row of this one.
        if (i + 1 < list->count()) {
            const QRect next = list->visualItemRect(list->item(i + 1));
            if (next.left() != cell.left()) {
                EXPECT_GE(next.left(), cell.right()) << item->text().toStdString();
            }
        }
    }
    EXPECT_EQ(longRows, 2);
    EXPECT_GT(list->visualItemRect(list->item(list->count() - 1)).left(), 0) << "several columns";

    const int matsumoto = shownRows(screen).indexOf(QRegularExpression(u"小.*松本.*"_s));
    ASSERT_GT(matsumoto, 0) << shownRows(screen).join(u'|').toStdString();
    list->setCurrentRow(matsumoto);
    EXPECT_EQ(control<QLabel>(screen, u"Label1"_s)->text(), u"小5 松本　美咲"_s);
    screen->list1DoubleClick(matsumoto);
    EXPECT_EQ(state->StudentNumber, 11);
}

// ---- Runs waiting on this station ------------------------------------------------------------

struct NoticeCase {
    const char* name;
    int waiting;      // runs in the station's queue before the screen opens
    bool lockRefused; // the share refuses the lock, so the runs cannot be stored yet
    const char16_t* notice;
};

class WaitingRunsNotice : public NameSelectionTest, public ::testing::WithParamInterface<NoticeCase> {};

TEST_P(WaitingRunsNotice, ShowsTheRunsThatHaveNotReachedTheShare) {
    const NoticeCase& c = GetParam();
    state->QueueFolder = tree.root() + u"端末/"_s;
    std::vector<RawRecord> waiting(static_cast<std::size_t>(c.waiting));
    for (int i = 0; i < c.waiting; ++i)
        waiting[static_cast<std::size_t>(i)].seconds = 70 + i;
    if (c.waiting > 0)
        writeRecords(state->QueueFolder + u"成績待ち.dat"_s, waiting);
    platform.disk.errorAttempts = c.lockRefused ? 1000000 : 0;

    namesel* screen = open();
    auto* notice = control<QLabel>(screen, u"lblStationNotice"_s);
    EXPECT_EQ(notice->text(), QString::fromUtf16(c.notice));
    EXPECT_EQ(notice->isVisibleTo(screen), !notice->text().isEmpty());
    const std::size_t stored = rosterResults().size() + (c.lockRefused ? 0u : waiting.size());
    EXPECT_EQ(readBytes(tree.dataFolder() + u"成績累積データ.dat"_s).size(),
              static_cast<qsizetype>(stored * 44));
    EXPECT_TRUE(platform.messages.shown.empty());
}

INSTANTIATE_TEST_SUITE_P(Queue, WaitingRunsNotice,
                         ::testing::Values(NoticeCase{"NothingWaits", 0, false, u""},
                                           NoticeCase{"ShareOutOfReach", 2, true, u"未送信の記録: 2件"},
                                           NoticeCase{"OneRunShareOutOfReach", 1, true, u"未送信の記録: 1件"},
                                           NoticeCase{"ShareBackStoresThem", 2, false, u""}),
                         [](const auto& info) { return std::string(info.param.name); });

} // namespace
} // namespace mirai::test
