#include "HubFixture.h"
#include "UiSupport.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

class ResultsHubTest : public HubFixture {};

TEST_F(ResultsHubTest, TwoLevelsGiveTwoColumnsOf7296Twips) {
    seisekitime1* hub = open();
    ASSERT_NE(hub, nullptr);
    EXPECT_EQ(hub->columnWidthTwips(), 7296);
    auto* first = control<QListWidget>(hub, u"List5(1)"_s);
    auto* second = control<QListWidget>(hub, u"List5(2)"_s);
    EXPECT_EQ(hub->findChild<QListWidget*>(u"List5(3)"_s), nullptr);
    // The margin is 2 % of the form (307 twips); the second column starts one width further.
    EXPECT_EQ(first->x(), ui::px(307.2));
    EXPECT_EQ(second->x(), ui::px(307.2 + 7296));
    EXPECT_EQ(first->width(), ui::px(7296));
    EXPECT_EQ(control(hub, u"Label1(2)"_s)->width(), ui::px(0.2 * 7296));
    EXPECT_EQ(control(hub, u"Label15(1)"_s)->x(), first->x() + ui::px(7296 / 2.0));
    EXPECT_EQ(control<QPushButton>(hub, u"Command4(2)"_s)->text(), u"ｽﾀｰﾄ(&2)"_s);
    EXPECT_EQ(text(hub, u"Label3(1)"_s), u"ﾚﾍﾞﾙ1"_s);
    for (const QString& name :
         {u"Label1(2)"_s, u"Label3(2)"_s, u"Command4(2)"_s, u"Label9(2)"_s, u"Label10(2)"_s, u"Label14(2)"_s,
          u"Label15(2)"_s, u"Label8(2)"_s, u"List5(2)"_s, u"Label7(2)"_s})
        EXPECT_TRUE(control<QWidget>(hub, name)->isVisible()) << name.toStdString();
    EXPECT_FALSE(control<QWidget>(hub, u"Text1(2)"_s)->isVisible());
    // Every row of a column lies under the one before it.
    int bottom = control(hub, u"Label5"_s)->y();
    for (const QString& row : {u"Label3(1)"_s, u"Command4(1)"_s, u"Label10(1)"_s, u"Label14(1)"_s,
                               u"Label8(1)"_s, u"List5(1)"_s, u"Label7(1)"_s}) {
        QWidget* widget = control<QWidget>(hub, row);
        EXPECT_GE(widget->y(), bottom) << row.toStdString();
        bottom = widget->y() + widget->height();
    }
    EXPECT_LE(bottom, ui::kScreenHeight);
}

TEST_F(ResultsHubTest, ListsLineUpInAFixedPitchOfTwoHalfWidthsToAFullWidth) {
    seisekitime1* hub = open();
    for (const QString& name : {u"List5(1)"_s, u"List5(2)"_s}) {
        const QFontMetrics metrics(control<QListWidget>(hub, name)->font());
        const int half = metrics.horizontalAdvance(u'0');
        ASSERT_GT(half, 0);
        for (const QString& wide :
             {u"①"_s, u"⑥"_s, u"Ⅰ"_s, u"Ⅲ"_s, u"　"_s, u"●"_s, u"×"_s, u"秒"_s, u"山"_s})
            EXPECT_EQ(metrics.horizontalAdvance(wide), 2 * half) << wide.toStdString();
        for (const QString& narrow : {u" "_s, u"-"_s, u"*"_s, u"/"_s, u":"_s, u"9"_s})
            EXPECT_EQ(metrics.horizontalAdvance(narrow), half) << narrow.toStdString();
        // Lines of one layout end in the same column whatever their marks and figures.
        EXPECT_EQ(metrics.horizontalAdvance(u" 1③あおい　　    40 　"_s),
                  metrics.horizontalAdvance(u"--Ⅲえり　　　------ 　"_s));
    }
}

TEST_F(ResultsHubTest, HeaderAndColumnFigures) {
    addRuns(7, 1, 150, 2, 3); // 150 s against 120 s: 4 points each
    addRuns(7, 1, 150, 3);
    seisekitime1* hub = open();
    EXPECT_EQ(text(hub, u"Label14(1)"_s), u"3回/12点"_s);
    EXPECT_EQ(text(hub, u"Label15(1)"_s), u"5回/20点"_s);
    EXPECT_EQ(text(hub, u"Label14(2)"_s), u"-----"_s);
    EXPECT_EQ(text(hub, u"Label15(2)"_s), u"------"_s);
    EXPECT_EQ(text(hub, u"Label8(1)"_s), u"最近7日=5回 / 20点"_s);
    EXPECT_EQ(text(hub, u"Label7(1)"_s), u"目標=120秒 5回/100点(×1)"_s);
    EXPECT_EQ(text(hub, u"Label7(2)"_s), u"目標=150秒 5回/100点(×1.5)"_s);
    EXPECT_EQ(text(hub, u"Label11"_s), u"みらいドリル"_s);
    EXPECT_EQ(text(hub, u"Label12"_s), u"小３ 山田花子"_s);
    EXPECT_EQ(text(hub, u"Label13"_s), u" 北教室:7"_s);
    EXPECT_EQ(text(hub, u"Label17"_s), u"起動後10分"_s);
    EXPECT_EQ(text(hub, u"Label18"_s), u"本日総回数＝3回"_s);
    EXPECT_EQ(text(hub, u"Label9(2)"_s), u"今日"_s);
    EXPECT_EQ(text(hub, u"Label10(2)"_s), u"今まで"_s);
}

TEST_F(ResultsHubTest, ALevelWithoutAPointsTargetShowsOnlyItsTime) {
    writeCriteria({u"120,300,100,5,1,0,0,7,1,,,"_s, u"150,400,9999,5,1.5,0,0,7,1,,,"_s});
    seisekitime1* hub = open();
    EXPECT_EQ(text(hub, u"Label7(2)"_s), u"目標=150秒 --------"_s);
}

TEST_F(ResultsHubTest, OpensWithTheCumulativePointsRanking) {
    addRuns(8, 1, 60, 2);  // 11 points each
    addRuns(7, 1, 150, 1); // 4 points
    seisekitime1* hub = open();
    EXPECT_TRUE(control<QRadioButton>(hub, u"Option2(1)"_s)->isChecked());
    EXPECT_TRUE(control<QRadioButton>(hub, u"Option1(1)"_s)->isChecked());
    EXPECT_EQ(control<QRadioButton>(hub, u"Option1(1)"_s)->text(), u"累計順"_s);
    EXPECT_EQ(control<QRadioButton>(hub, u"Option1(2)"_s)->text(), u"本日順"_s);
    EXPECT_EQ(control<QRadioButton>(hub, u"Option1(3)"_s)->text(), u"オール表示"_s);
    EXPECT_EQ(text(hub, u"Label5"_s), u"獲得ポイント（今まで順位）"_s);
    EXPECT_EQ(lines(hub, 1), (QStringList{u" 1④佐藤一郎　 22/   22"_s, u" 2●山田花子　  4/    4"_s,
                                          u" 3Ⅱ鈴木次郎　  0/    0"_s}));
    EXPECT_TRUE(hub->keysEnabled());
    EXPECT_FALSE(control<QWidget>(hub, u"Picture2"_s)->isVisible());
    EXPECT_FALSE(control<QWidget>(hub, u"Picture6"_s)->isVisible());
    EXPECT_TRUE(control<QWidget>(hub, u"List5(2)"_s)->isVisible());
    EXPECT_TRUE(control<QPushButton>(hub, u"Command1"_s)->isEnabled());
    EXPECT_EQ(state->PeriodChoice, 3);
}

struct TeacherCase {
    const char16_t* name;
    bool teacher;
};

class TeacherButtons : public ResultsHubTest, public ::testing::WithParamInterface<TeacherCase> {};

TEST_P(TeacherButtons, OnlyTeachersSeeDataAndPrint) {
    state->StudentName = QString::fromUtf16(GetParam().name);
    seisekitime1* hub = open();
    EXPECT_EQ(control<QPushButton>(hub, u"Command8"_s)->isVisible(), GetParam().teacher);
    EXPECT_EQ(control<QPushButton>(hub, u"Command27"_s)->isVisible(), GetParam().teacher);
    EXPECT_FALSE(control<QPushButton>(hub, u"Command17"_s)->isVisible());
}

INSTANTIATE_TEST_SUITE_P(Names, TeacherButtons,
                         ::testing::Values(TeacherCase{u"山田先生", true}, TeacherCase{u"★管理者", true},
                                           TeacherCase{u"山田花子", false}, TeacherCase{u"先 生", false}));

// ---- The overuse rule -----------------------------------------------------------------------

class OveruseTest : public ResultsHubTest {
protected:
    void SetUp() override {
        ResultsHubTest::SetUp();
        // Both levels blocked after 5 runs within one day.
        writeCriteria({u"120,300,100,5,1,5,0,7,1,,,"_s, u"150,400,100,5,1.5,5,0,7,1,,,"_s});
        addRuns(7, 1, 100, 5);
        addRuns(7, 2, 140, 5); // 5 × 7 points: the final level's 100 points are not reached
    }
};

TEST_F(OveruseTest, BlocksTheLevelByButtonNameAndKeyButNeverTheLastLevel) {
    seisekitime1* hub = open();
    auto* text1 = control(hub, u"Text1(1)"_s);
    EXPECT_TRUE(text1->isVisible());
    EXPECT_EQ(text1->text(), u"やりすぎ禁止"_s);
    EXPECT_EQ(state->RequiredRunsCleared, 0);
    auto* start1 = control<QPushButton>(hub, u"Command4(1)"_s);
    EXPECT_FALSE(start1->isEnabled());
    EXPECT_FALSE(control(hub, u"Text1(2)"_s)->isVisible());
    EXPECT_TRUE(control<QPushButton>(hub, u"Command4(2)"_s)->isEnabled());

    start1->click();
    QTest::mouseClick(control(hub, u"Label3(1)"_s), Qt::LeftButton);
    QTest::keyClick(hub, Qt::Key_1);
    EXPECT_FALSE(shown(screens::MainFrm()));

    QTest::keyClick(control<QListWidget>(hub, u"List5(1)"_s), Qt::Key_2);
    ASSERT_TRUE(shown(screens::MainFrm()));
    EXPECT_EQ(stubs[screens::MainFrm()]->level, 2);
    EXPECT_FALSE(hub->keysEnabled());
}

TEST_F(OveruseTest, MeetingTheFinalLevelsTargetsLiftsTheRule) {
    addRuns(7, 2, 10, 2); // 45 × 1.5 = 67 points each
    seisekitime1* hub = open();
    EXPECT_EQ(state->RequiredRunsCleared, 1);
    EXPECT_FALSE(control(hub, u"Text1(1)"_s)->isVisible());
    QTest::mouseClick(control(hub, u"Label3(1)"_s), Qt::LeftButton);
    ASSERT_TRUE(shown(screens::MainFrm()));
    EXPECT_EQ(state->CurrentLevel, 1);
    EXPECT_FALSE(platform.screens.isLoaded(screens::seisekitime1())); // a start from the name leaves
}

TEST_F(ResultsHubTest, KeysStartLevelsAndZeroGoesBack) {
    seisekitime1* hub = open();
    QTest::keyClick(hub, Qt::Key_1);
    ASSERT_TRUE(shown(screens::MainFrm()));
    EXPECT_EQ(stubs[screens::MainFrm()]->level, 1);
    EXPECT_TRUE(control<QWidget>(hub, u"Picture2"_s)->isVisible());
    // A second start while the drill screen comes up does nothing.
    control<QPushButton>(hub, u"Command4(2)"_s)->click();
    EXPECT_EQ(stubs[screens::MainFrm()]->activations, 1);
    EXPECT_EQ(state->CurrentLevel, 1);

    platform.screens.close(screens::MainFrm());
    seisekitime1* again = open();
    ASSERT_NE(again, nullptr);
    QTest::keyClick(again, Qt::Key_0);
    EXPECT_TRUE(shown(screens::namesel()));
}

// ---- Password panel -------------------------------------------------------------------------

class PasswordTest : public ResultsHubTest {
protected:
    void SetUp() override {
        ResultsHubTest::SetUp();
        state->StudentName = u"山田先生"_s;
    }
    QLineEdit* openPanel(seisekitime1* hub) {
        control<QPushButton>(hub, u"Command8"_s)->click();
        EXPECT_TRUE(control<QWidget>(hub, u"Picture7"_s)->isVisible());
        return control<QLineEdit>(hub, u"Text3"_s);
    }
};

TEST_F(PasswordTest, DigitsTypedAsPasswordAreTextAndAWrongOneIsRefused) {
    seisekitime1* hub = open();
    QLineEdit* text3 = openPanel(hub);
    QTest::keyClicks(text3, u"2012"_s);
    EXPECT_EQ(text3->text(), u"2012"_s);
    EXPECT_FALSE(shown(screens::MainFrm()));
    EXPECT_FALSE(shown(screens::namesel()));

    control<QPushButton>(hub, u"Command10(0)"_s)->click();
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, u"パスワードを入力して下さい"_s);
    EXPECT_EQ(platform.messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_TRUE(control<QWidget>(hub, u"Picture7"_s)->isVisible());

    // While the panel is open the level keys start nothing.
    QTest::keyClick(control<QPushButton>(hub, u"Command12"_s), Qt::Key_1);
    EXPECT_FALSE(shown(screens::MainFrm()));
    control<QPushButton>(hub, u"Command12"_s)->click();
    EXPECT_FALSE(control<QWidget>(hub, u"Picture7"_s)->isVisible());
}

// The panel hides what lies under it, and its controls neither overlap nor cut their texts.
TEST_F(PasswordTest, ThePanelIsOpaqueAndItsControlsStandApart) {
    auto panelPicture = [this](bool fullLists) {
        platform.screens.closeAll();
        writeBytes(resultFile(), QByteArray());
        if (fullLists) {
            for (int student : {7, 8, 9})
                addRuns(student, 1, 40 + student, 3);
        }
        seisekitime1* hub = open();
        openPanel(hub);
        auto* panel = control<QWidget>(hub, u"Picture7"_s);
        return std::make_pair(hub->grab(panel->geometry()).toImage(), panel);
    };
    const auto [empty, emptyPanel] = panelPicture(false);
    const auto [full, panel] = panelPicture(true);
    ASSERT_FALSE(full.isNull());
    EXPECT_TRUE(full == empty) << "the hub shows through the password panel";

    QList<QWidget*> shown;
    for (QWidget* child : panel->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly)) {
        if (!child->isVisible())
            continue;
        EXPECT_TRUE(panel->rect().contains(child->geometry())) << child->objectName().toStdString();
        // A caption fits its control.
        QString caption;
        if (auto* label = qobject_cast<QLabel*>(child))
            caption = label->text();
        else if (auto* button = qobject_cast<QPushButton*>(child))
            caption = button->text();
        if (!caption.isEmpty()) {
            EXPECT_LE(child->sizeHint().width(), child->width()) << caption.toStdString();
        }
        for (QWidget* other : shown)
            EXPECT_FALSE(child->geometry().intersects(other->geometry()))
                << child->objectName().toStdString() << " overlaps " << other->objectName().toStdString();
        shown.append(child);
    }
    EXPECT_GE(shown.size(), 5);
}

TEST_F(PasswordTest, TheRightPasswordSaysTheScreenIsNotThereYet) {
    seisekitime1* hub = open();
    openPanel(hub)->setText(u"abc"_s);
    control<QPushButton>(hub, u"Command10(1)"_s)->click();
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_NE(platform.messages.shown[0].text, u"パスワードを入力して下さい"_s);
    EXPECT_TRUE(platform.screens.isVisible(screens::seisekitime1()));
}

TEST_F(PasswordTest, TheRightPasswordOpensARegisteredScreenAndLeaves) {
    for (const auto& [button, screen] : {std::pair{u"Command10(0)"_s, screens::FrmData()},
                                         std::pair{u"Command10(2)"_s, screens::FrmRoster()}}) {
        SCOPED_TRACE(button.toStdString());
        platform.screens.registerScreen(screen, [this] { return new StubScreen(*state); });
        seisekitime1* hub = open();
        openPanel(hub)->setText(u"abc"_s);
        control<QPushButton>(hub, button)->click();
        EXPECT_TRUE(platform.messages.shown.empty());
        EXPECT_TRUE(platform.screens.isVisible(screen));
        EXPECT_FALSE(platform.screens.isLoaded(screens::seisekitime1()));
        platform.screens.close(screen);
    }
}

// ---- Display kinds and lists ----------------------------------------------------------------

TEST_F(ResultsHubTest, TimeDisplayTodaysAndPeriodLists) {
    addRuns(8, 1, 45, 1, 2); // Monday
    addRuns(7, 1, 99999, 1); // a time-out today
    addRuns(7, 2, 90, 1);
    seisekitime1* hub = open();
    control<QRadioButton>(hub, u"Option2(0)"_s)->click();
    EXPECT_EQ(hub->listMode(), kTimeDisplay);
    EXPECT_EQ(text(hub, u"Label5"_s), u"ベスト成績"_s);
    EXPECT_EQ(control<QRadioButton>(hub, u"Option1(1)"_s)->text(), u"BEST表示"_s);
    EXPECT_EQ(lines(hub, 1).value(0), u" 1④佐藤一郎　    45 　"_s);

    control<QRadioButton>(hub, u"Option1(2)"_s)->click();
    EXPECT_EQ(text(hub, u"Label5"_s), u"本日の成績"_s);
    EXPECT_EQ(lines(hub, 1), QStringList{u"　　× 09:10●山田花子　●"_s});
    EXPECT_EQ(lines(hub, 2).size(), 1);

    control<QRadioButton>(hub, u"Option1(3)"_s)->click();
    auto* combo2 = control<QComboBox>(hub, u"Combo2"_s);
    EXPECT_TRUE(combo2->isVisible());
    EXPECT_EQ(combo2->currentText(), u"　　１ヶ月間の全成績"_s);
    EXPECT_EQ(hub->periodDays(), 30);
    EXPECT_EQ(lines(hub, 1).size(), 2);

    combo2->setCurrentIndex(0);
    Q_EMIT combo2->activated(0);
    EXPECT_EQ(state->PeriodChoice, 1);
    EXPECT_EQ(hub->periodDays(), 3); // a Wednesday
    EXPECT_EQ(lines(hub, 1), (QStringList{u"  45秒 12/07④佐藤一郎　④17"_s, u"　　× 12/09●山田花子　●"_s}));
    EXPECT_TRUE(control<QPushButton>(hub, u"Command4(1)"_s)->isEnabled());

    // The points display keeps the period list, now with points first.
    control<QRadioButton>(hub, u"Option2(1)"_s)->click();
    EXPECT_TRUE(combo2->isVisible());
    EXPECT_EQ(control<QRadioButton>(hub, u"Option1(3)"_s)->text(), u"すべて"_s);
    EXPECT_EQ(lines(hub, 1).value(0), u"   17 12/07④佐藤一郎　④45秒"_s);
}

TEST_F(ResultsHubTest, PersonalDisplayOffersTheGraphButton) {
    addRuns(7, 1, 83, 1, 1);
    addRuns(8, 1, 60, 1, 1);
    seisekitime1* hub = open();
    control<QRadioButton>(hub, u"Option2(2)"_s)->click();
    EXPECT_EQ(text(hub, u"Label5"_s), u"個人別ﾀｲﾑ"_s);
    EXPECT_EQ(lines(hub, 1), QStringList{u"2026/12/08 9:10:00  83秒"_s});
    auto* graph = control<QPushButton>(hub, u"Command17"_s);
    EXPECT_TRUE(graph->isVisible());
    EXPECT_FALSE(control<QWidget>(hub, u"Picture11"_s)->isVisible());
    graph->click();
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_TRUE(control<QWidget>(hub, u"Picture11"_s)->isVisible());

    // A new group from the personal display shows that group's points.
    auto* combo1 = control<QComboBox>(hub, u"Combo1"_s);
    combo1->setCurrentIndex(combo1->findText(u"小４"_s));
    Q_EMIT combo1->activated(combo1->currentIndex());
    EXPECT_TRUE(control<QRadioButton>(hub, u"Option2(1)"_s)->isChecked());
    EXPECT_FALSE(graph->isVisible());
    EXPECT_FALSE(control<QWidget>(hub, u"Picture11"_s)->isVisible());
    EXPECT_EQ(lines(hub, 1), QStringList{u" 1④佐藤一郎　  0/   11"_s});
}

TEST_F(ResultsHubTest, TheOwnLineIsScrolledIntoViewWithoutASelection) {
    QStringList roster;
    for (int i = 1; i <= 80; ++i)
        roster.append(u"%1,2017,0,0,\"生徒%1\",0,\"\",\"\""_s.arg(i));
    tree.writeRoster(roster);
    readRoster();
    state->StudentNumber = 80;
    for (int i = 1; i < 80; ++i)
        addRuns(i, 1, 60, 1); // everybody else ahead
    seisekitime1* hub = open();
    auto* list = control<QListWidget>(hub, u"List5(1)"_s);
    ASSERT_EQ(list->count(), 80);
    QListWidgetItem* own = list->item(79);
    ASSERT_TRUE(own->text().contains(u"●"_s));
    EXPECT_TRUE(list->viewport()->rect().contains(list->visualItemRect(own)));
    EXPECT_TRUE(list->selectedItems().isEmpty());
}

TEST_F(ResultsHubTest, TypedGroupTextIsAppliedWithEnter) {
    seisekitime1* hub = open();
    auto* combo1 = control<QComboBox>(hub, u"Combo1"_s);
    combo1->setFocus();
    combo1->setEditText(u"中学生全体"_s);
    QTest::keyClick(combo1, Qt::Key_Return);
    EXPECT_EQ(lines(hub, 1).size(), 1);
    combo1->setEditText(u"家族"_s);
    QTest::keyClick(combo1, Qt::Key_Return);
    EXPECT_EQ(lines(hub, 1).size(), 3);
    EXPECT_FALSE(shown(screens::MainFrm()));
}

// The level keys reach the screen from every control but the password entry, also from the grade
// filter after a group was chosen in its list.
TEST_F(ResultsHubTest, DigitKeysWorkAfterAGroupIsChosenFromTheFilter) {
    struct Case {
        Qt::Key key;
        bool clickFilterFirst; // the keyboard is in the filter's text field
        QString screen;
        int level;
    };
    const Case cases[] = {
        {Qt::Key_0, false, screens::namesel(), 0}, {Qt::Key_0, true, screens::namesel(), 0},
        {Qt::Key_1, true, screens::MainFrm(), 1},  {Qt::Key_2, true, screens::MainFrm(), 2},
        {Qt::Key_2, false, screens::MainFrm(), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(QTest::toString(c.key)) + (c.clickFilterFirst ? " in the filter" : ""));
        platform.screens.closeAll();
        seisekitime1* hub = open();
        ASSERT_NE(hub, nullptr);
        hub->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(hub));
        auto* combo1 = control<QComboBox>(hub, u"Combo1"_s);
        combo1->showPopup();
        QAbstractItemView* items = combo1->view();
        const int row = combo1->findText(u"中２"_s);
        ASSERT_GE(row, 0);
        QTest::mouseClick(items->viewport(), Qt::LeftButton, {},
                          items->visualRect(items->model()->index(row, 0)).center());
        ASSERT_EQ(combo1->currentText(), u"中２"_s);
        // The closed list hands the keyboard back to the screen's window.
        hub->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(hub));
        QTest::mouseClick(control<QRadioButton>(hub, u"Option2(0)"_s), Qt::LeftButton);
        QTest::mouseClick(control<QRadioButton>(hub, u"Option1(1)"_s), Qt::LeftButton);
        ASSERT_TRUE(control<QRadioButton>(hub, u"Option1(1)"_s)->isChecked());
        if (c.clickFilterFirst) {
            QTest::mouseClick(combo1->lineEdit(), Qt::LeftButton);
            ASSERT_TRUE(combo1->hasFocus());
        }

        const qsizetype before = platform.screens.shownHistory().count(c.screen);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        QTest::keyClick(focus, c.key);
        EXPECT_EQ(platform.screens.shownHistory().count(c.screen), before + 1)
            << "keyboard in " << focus->objectName().toStdString();
        EXPECT_EQ(combo1->currentText(), u"中２"_s); // the digit went to the screen, not the filter
        if (c.level > 0) {
            EXPECT_EQ(state->CurrentLevel, c.level);
        }
    }
}

} // namespace
} // namespace mirai::test
