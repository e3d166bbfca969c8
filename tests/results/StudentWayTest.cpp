#include "Controls.h"
#include "DrillScreens.h"
#include "Files.h"
#include "Firstfrm.h"
#include "FrmSyuuryou.h"
#include "MainFrm.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "UiDoubles.h"
#include "namesel.h"
#include "seisekitime1.h"

#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// The whole way of a student through the real screens: splash, name, hub, a run of ten right
// answers, the end screen, back to the hub, back to the names, and the station handed back.
class StudentWayTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0)));
        tree.writeDefaults();
        tree.writeRoster({u"7,2017,0,0,\"山田花子\",0,\"\",\"\""_s, u"8,2016,0,0,\"佐藤一郎\",0,\"\",\"\""_s,
                          u"9,2012,0,0,\"鈴木次郎\",0,\"\",\"\""_s});
        const Context context{*state, platform};
        const QString appFolder = tree.appFolder();
        platform.screens.registerScreen(screens::Firstfrm(),
                                        [context, appFolder] { return new Firstfrm(context, appFolder); });
        registerNameSelection(platform.screens, context);
        registerResultsScreen(platform.screens, context);
        registerDrillScreens(platform.screens, context);
    }

    QString text(QWidget* screen, const QString& name) { return labelText(screen, name); }
    QString current() const { return platform.screens.current(); }

    // Types the product's digits, moves the point and judges, as a student does.
    void answerRight(MainFrm* frm) {
        const Problem& problem = frm->problem();
        const QString digits = QString::number(static_cast<int>(problem.OperandA * problem.OperandB));
        QTest::keyClicks(frm, digits);
        for (int i = 0; i < problem.marks; ++i)
            QTest::keyClick(frm, Qt::Key_Left);
        // One draw for the right-answer sound, then the next problem: 0.5 × 3.
        platform.random.setValues({0.0, 0.5, 0.9, 0.3, 0.0});
        QTest::keyClick(frm, Qt::Key_Space);
    }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    DataTree tree;
    UiTestPlatform platform;
};

TEST_F(StudentWayTest, FromTheSplashThroughARunBackToTheProgramMenu) {
    // Splash: its timer loads the configuration and opens the name selection.
    platform.screens.show(screens::Firstfrm());
    QPointer<Firstfrm> splash = platform.screens.find<Firstfrm>(screens::Firstfrm());
    ASSERT_TRUE(splash);
    splash->timer1Tick();
    ASSERT_EQ(current(), screens::namesel());

    // Name selection: the third name (born latest) with the arrow keys, confirmed with "1".
    namesel* names = platform.screens.find<namesel>(screens::namesel());
    auto* list1 = control<QListWidget>(names, u"List1"_s);
    list1->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(list1, Qt::Key_Down);
    QTest::keyClick(list1, Qt::Key_1);
    ASSERT_EQ(current(), screens::seisekitime1());
    EXPECT_EQ(state->StudentNumber, 7);
    EXPECT_EQ(state->SessionStart, 10 * 3600);
    QPointer<seisekitime1> hub = platform.screens.find<seisekitime1>(screens::seisekitime1());
    ASSERT_TRUE(hub);
    EXPECT_FALSE(platform.screens.isLoaded(screens::namesel()));
    EXPECT_EQ(text(hub, u"Label14(1)"_s), u"-----"_s);

    // The key "1" starts level 1; the drill screen closes the hub.
    platform.random.setValues({0.7, 0.6, 0.8, 0.6}); // first problem 0.7 × 0.8
    QTest::keyClick(hub, Qt::Key_1);
    ASSERT_EQ(current(), screens::MainFrm());
    QPointer<MainFrm> frm = platform.screens.find<MainFrm>(screens::MainFrm());
    ASSERT_TRUE(frm);
    EXPECT_EQ(state->CurrentLevel, 1);
    EXPECT_FALSE(platform.screens.isLoaded(screens::seisekitime1()));

    for (int i = 0; i < 9; ++i)
        answerRight(frm);
    platform.clock.advanceSeconds(83);
    frm->sTimer1Tick();
    answerRight(frm);

    // The run is stored and the end screen offers the way back.
    EXPECT_EQ(state->RunSeconds, 83);
    EXPECT_EQ(readBytes(tree.dataFolder() + u"成績累積データ.dat"_s).size(), 44);
    ASSERT_EQ(current(), screens::FrmSyuuryou());
    QPointer<FrmSyuuryou> end = platform.screens.find<FrmSyuuryou>(screens::FrmSyuuryou());
    ASSERT_TRUE(end);
    end->timer1Tick();
    auto* menu = control<QPushButton>(end, u"Command4"_s);
    ASSERT_TRUE(menu && menu->isVisible());
    EXPECT_EQ(menu->text(), u"メニューへ"_s);
    QTest::keyClick(menu, Qt::Key_Space);

    // The hub shows the new run: 83 s against 120 s earn 6 points.
    ASSERT_EQ(current(), screens::seisekitime1());
    hub = platform.screens.find<seisekitime1>(screens::seisekitime1());
    ASSERT_TRUE(hub);
    EXPECT_EQ(text(hub, u"Label14(1)"_s), u"1回/6点"_s);
    EXPECT_EQ(text(hub, u"Label15(1)"_s), u"1回/6点"_s);
    EXPECT_EQ(text(hub, u"Label18"_s), u"本日総回数＝1回"_s);
    auto* list = control<QListWidget>(hub, u"List5(1)"_s);
    ASSERT_GE(list->count(), 1);
    EXPECT_EQ(list->item(0)->text(), u" 1●山田花子　  6/    6"_s);
    EXPECT_TRUE(hub->keysEnabled());

    // The best times list has the run too.
    control<QWidget>(hub, u"Option2(0)"_s)->setFocus();
    QTest::mouseClick(control<QWidget>(hub, u"Option2(0)"_s), Qt::LeftButton);
    EXPECT_EQ(list->item(0)->text(), u" 1●山田花子　    83 ●"_s);

    // "0" goes back to the names, and "0" there hands the station to the program menu.
    QTest::keyClick(hub, Qt::Key_0);
    ASSERT_EQ(current(), screens::namesel());
    names = platform.screens.find<namesel>(screens::namesel());
    ASSERT_NE(names, nullptr);
    EXPECT_EQ(text(names, u"Label1"_s), u"名前を選びなさい"_s);
    QTest::keyClick(control<QListWidget>(names, u"List1"_s), Qt::Key_0);
    EXPECT_EQ(platform.launcher.calls, 1);
    EXPECT_TRUE(
        platform.launcher.program.endsWith(QDir::toNativeSeparators(u"/起動/プログラムメニューc.exe"_s)));
    EXPECT_EQ(platform.app.endCalls, 1);
}

} // namespace
} // namespace mirai::test
