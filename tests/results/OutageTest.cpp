#include "Controls.h"
#include "DrillScreens.h"
#include "Files.h"
#include "Firstfrm.h"
#include "FrmSyuuryou.h"
#include "MainFrm.h"
#include "RecordFiles.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "UiDoubles.h"
#include "namesel.h"
#include "seisekitime1.h"

#include <QDir>
#include <QFile>
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

const QString kAway = u"共有フォルダに接続できません: この端末の記録で表示しています"_s;

// A file server that goes away in the middle of a lesson: the station goes on with what it last
// read, keeps the run, and hands it over once the server is back.
class OutageTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform.clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0)));
        tree.writeDefaults();
        tree.writeRoster({u"7,2017,0,0,\"山田花子\",0,\"\",\"\""_s, u"8,2016,0,0,\"佐藤一郎\",0,\"\",\"\""_s,
                          u"9,2012,0,0,\"鈴木次郎\",0,\"\",\"\""_s});
        // Two earlier runs of 山田花子 at level 1, yesterday.
        RawRecord earlier;
        earlier.date = QDate(2026, 12, 8);
        earlier.student = 7;
        earlier.seconds = 100;
        writeRecords(resultPath(), {earlier, earlier});
        state->QueueFolder = tree.root() + u"端末/"_s;
        platform.events.stepMs = 100; // the retries' waits pass in a few dozen pumps
        const Context context{*state, platform};
        const QString appFolder = tree.appFolder();
        platform.screens.registerScreen(screens::Firstfrm(),
                                        [context, appFolder] { return new Firstfrm(context, appFolder); });
        registerNameSelection(platform.screens, context);
        registerResultsScreen(platform.screens, context);
        registerDrillScreens(platform.screens, context);
    }

    QString resultPath() const { return tree.dataFolder() + u"成績累積データ.dat"_s; }
    QString shared() const { return tree.commonFolder().chopped(1); }
    QString away() const { return tree.root() + u"外れ"_s; }
    QString current() const { return platform.screens.current(); }
    QLabel* notice(QWidget* screen) { return control<QLabel>(screen, u"lblStationNotice"_s); }

    void answerRight(MainFrm* frm) {
        const Problem& problem = frm->problem();
        QTest::keyClicks(frm, QString::number(static_cast<int>(problem.OperandA * problem.OperandB)));
        for (int i = 0; i < problem.marks; ++i)
            QTest::keyClick(frm, Qt::Key_Left);
        platform.random.setValues({0.0, 0.5, 0.9, 0.3, 0.0});
        QTest::keyClick(frm, Qt::Key_Space);
    }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    DataTree tree;
    UiTestPlatform platform;
};

TEST_F(OutageTest, TheStationGoesOnFromMemoryAndHandsTheRunOverOnceTheShareIsBack) {
    platform.screens.show(screens::Firstfrm());
    platform.screens.find<Firstfrm>(screens::Firstfrm())->timer1Tick();
    ASSERT_EQ(current(), screens::namesel());
    namesel* names = platform.screens.find<namesel>(screens::namesel());
    EXPECT_TRUE(notice(names)->isHidden());

    // The file server goes away: the whole shared folder with the roster, results and sounds.
    ASSERT_TRUE(QDir().rename(shared(), away()));

    // The names as last read, the hub from the records last loaded, with the notice.
    auto* list1 = control<QListWidget>(names, u"List1"_s);
    list1->setFocus();
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(list1, Qt::Key_Down);
    QTest::keyClick(list1, Qt::Key_1);
    ASSERT_EQ(current(), screens::seisekitime1());
    QPointer<seisekitime1> hub = platform.screens.find<seisekitime1>(screens::seisekitime1());
    ASSERT_TRUE(hub);
    EXPECT_EQ(state->StudentNumber, 7);
    EXPECT_EQ(notice(hub)->text(), kAway);
    EXPECT_TRUE(notice(hub)->isVisibleTo(hub));
    EXPECT_EQ(labelText(hub, u"Label15(1)"_s), u"2回/10点"_s);
    EXPECT_EQ(platform.app.endCalls, 0);

    // A whole run: kept on the station, the student told so, nothing ends.
    platform.random.setValues({0.7, 0.6, 0.8, 0.6});
    QTest::keyClick(hub, Qt::Key_1);
    ASSERT_EQ(current(), screens::MainFrm());
    QPointer<MainFrm> frm = platform.screens.find<MainFrm>(screens::MainFrm());
    for (int i = 0; i < 9; ++i)
        answerRight(frm);
    platform.clock.advanceSeconds(83);
    frm->sTimer1Tick();
    answerRight(frm);
    EXPECT_EQ(state->RunKeptOnStation, 1);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(u"この記録はこのコンピューターに保存しました。"_s));
    EXPECT_EQ(readBytes(state->QueueFolder + u"成績待ち.dat"_s).size(), 44);
    EXPECT_GE(platform.media.commands.size(), 10u); // every right answer had its sound

    ASSERT_EQ(current(), screens::FrmSyuuryou());
    QPointer<FrmSyuuryou> end = platform.screens.find<FrmSyuuryou>(screens::FrmSyuuryou());
    end->timer1Tick();
    QTest::keyClick(control<QPushButton>(end, u"Command4"_s), Qt::Key_Space);

    // Back on the hub: the kept run counts, and it waits to be sent.
    ASSERT_EQ(current(), screens::seisekitime1());
    hub = platform.screens.find<seisekitime1>(screens::seisekitime1());
    EXPECT_EQ(labelText(hub, u"Label14(1)"_s), u"1回/6点"_s);
    EXPECT_EQ(labelText(hub, u"Label15(1)"_s), u"3回/16点"_s);
    EXPECT_EQ(notice(hub)->text(), kAway + u"（未送信の記録: 1件）"_s);

    // The server is back: the next load hands the run over, once, and the notices go.
    ASSERT_TRUE(QDir().rename(away(), shared()));
    QTest::keyClick(hub, Qt::Key_0);
    ASSERT_EQ(current(), screens::namesel());
    names = platform.screens.find<namesel>(screens::namesel());
    EXPECT_TRUE(notice(names)->isHidden());
    EXPECT_EQ(state->ShareAway, 0);
    const std::vector<StoredRun> runs = storedRuns(readBytes(resultPath()));
    EXPECT_EQ(runs, (std::vector<StoredRun>{{7, 100}, {7, 100}, {7, 83}}));
    EXPECT_EQ(readBytes(state->QueueFolder + u"成績待ち.dat"_s).size(), 0);
    EXPECT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.app.endCalls, 0);
}

// Before anything could be read from the share, there is nothing to go on with: the program
// ends with the loader's message, as it always has.
TEST_F(OutageTest, AShareThatCannotBeReadFromTheStartEndsTheProgramWithTheLoadersMessage) {
    ASSERT_TRUE(QFile::remove(resultPath()) && QDir().mkdir(resultPath())); // no file to read there
    platform.screens.show(screens::Firstfrm());
    platform.screens.find<Firstfrm>(screens::Firstfrm())->timer1Tick();
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.startsWith(u"成績ランダムファイル表示"_s))
        << platform.messages.shown[0].text.toStdString();
    EXPECT_EQ(platform.app.endCalls, 1);
}

} // namespace
} // namespace mirai::test
