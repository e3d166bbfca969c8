#include "DrillFixture.h"
#include "MediaPlayer.h"
#include "Stage.h"

#include <QApplication>
#include <QLineEdit>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

class MainFrmTest : public DrillFixture {
protected:
    void SetUp() override {
        DrillFixture::SetUp();
        if (HasFatalFailure())
            return;
        frm = startRun(drawsSevenTenthsTimesEightTenths());
        ASSERT_NE(frm, nullptr);
    }
    QString input() { return text(frm, u"inputLabel"); }
    int warnings() const {
        return static_cast<int>(
            platform.media.commands.count(u"play "_s + tree.soundFolder() + u"警告1.wav wait"_s));
    }

    QPointer<MainFrm> frm;
};

TEST_F(MainFrmTest, ActivationSetsUpTheStatusAreaAndTheFirstProblem) {
    EXPECT_EQ(text(frm, u"qLabel1"), u"0.7"_s);
    EXPECT_EQ(text(frm, u"Label6"), u"×"_s);
    EXPECT_EQ(text(frm, u"qlabel2"), u"0.8"_s);
    EXPECT_EQ(text(frm, u"inputLabel"), QString());
    EXPECT_EQ(text(frm, u"sLabel2"), u"みらいドリル"_s);
    EXPECT_EQ(text(frm, u"sLabel8"), u"ﾚﾍﾞﾙ1"_s);
    EXPECT_EQ(text(frm, u"sLabel7"), u"山田 花子"_s);
    EXPECT_EQ(text(frm, u"sLabel9"), u"10"_s);
    EXPECT_EQ(text(frm, u"sLabel10"), u"0"_s);
    EXPECT_EQ(text(frm, u"sLabel12"), u"1"_s);  // first run of the day
    EXPECT_EQ(text(frm, u"sLabel11"), u"1"_s);  // first run of the level
    EXPECT_EQ(text(frm, u"sLabel13"), u"10"_s); // signed in at 9:50, now 10:00
    EXPECT_EQ(text(frm, u"sLabel14"), u" 北教室"_s);
    EXPECT_EQ(frm->windowTitle(), u"velarix"_s);
    EXPECT_EQ(state->TimeLimit, 1500);
    EXPECT_EQ(control<QWidget>(frm, u"sShape4")->width(), qRound(300 * 984 / 1500.0)); // a fifth of the bar
    EXPECT_EQ(control<QWidget>(frm, u"sShape3")->width(), qRound(120 * 984 / 1500.0));
    EXPECT_EQ(control<QWidget>(frm, u"sShape2")->width(), 0);
    EXPECT_FALSE(control<QWidget>(frm, u"Picture2")->isVisible());
    EXPECT_EQ(text(frm, u"Label1"), u"56."_s);
    EXPECT_EQ(text(frm, u"Label5"), u"小数点を2個動かす"_s);
    EXPECT_TRUE(platform.screens.shownHistory().contains(screens::MainFrm()));
    EXPECT_FALSE(frm->testAttribute(Qt::WA_InputMethodEnabled));
}

TEST_F(MainFrmTest, DigitsThenTwoLeftsGiveTheRightAnswer) {
    QTest::keyClicks(frm, u"56"_s);
    QTest::keyClick(frm, Qt::Key_Left);
    QTest::keyClick(frm, Qt::Key_Left);
    EXPECT_EQ(input(), u"0.56"_s);
    platform.random.setValues({0.0, 0.5, 0.9, 0.3, 0.0});
    QTest::keyClick(frm, Qt::Key_Space);
    EXPECT_EQ(state->CorrectCount, 1);
    EXPECT_EQ(text(frm, u"sLabel9"), u"9"_s);
    EXPECT_EQ(platform.media.commands.back(), u"play "_s + tree.soundFolder() + u"seikai1.wav wait"_s);
    EXPECT_EQ(text(frm, u"qLabel1"), u"0.5"_s); // the next problem
    EXPECT_EQ(input(), QString());
    EXPECT_EQ(state->JudgingBusy, 0);
}

TEST_F(MainFrmTest, TypingOnAfterTheArrowsAppends) {
    QTest::keyClicks(frm, u"56"_s);
    QTest::keyClick(frm, Qt::Key_Left);
    QTest::keyClick(frm, Qt::Key_Left);
    QTest::keyClick(frm, Qt::Key_7);
    EXPECT_EQ(input(), u"0.567"_s);
    QTest::keyClick(frm, Qt::Key_Up);
    EXPECT_EQ(input(), QString());
    QTest::keyClick(frm, Qt::Key_Right);
    EXPECT_EQ(input(), u"0"_s);
}

TEST_F(MainFrmTest, SeventhCharacterWarnsOnceAndIsDropped) {
    QTest::keyClicks(frm, u"1234567"_s);
    EXPECT_EQ(input(), u"123456"_s);
    EXPECT_EQ(warnings(), 1);
    QTest::keyClick(frm, Qt::Key_Backspace);
    EXPECT_EQ(input(), u"12345"_s);
    EXPECT_EQ(warnings(), 1);
}

TEST_F(MainFrmTest, PointAndLettersAreIgnoredWhileOtherSignsAreKept) {
    QTest::keyClicks(frm, u"5.6x"_s);
    EXPECT_EQ(input(), u"56"_s);
    QTest::keyClicks(frm, u"-/"_s);
    EXPECT_EQ(input(), u"56-/"_s);
    QTest::keyClick(frm, '+');
    EXPECT_EQ(input(), u"56-/"_s);
}

TEST_F(MainFrmTest, SpaceOnAnEmptyAnswerIsWrongAndShowsTheAnswer) {
    answerWrong(frm);
    EXPECT_EQ(state->PlusMode, 1);
    EXPECT_EQ(state->CorrectCount, 0);
    EXPECT_EQ(text(frm, u"sLabel9"), u"10"_s);
    EXPECT_TRUE(control(frm, u"seitouLabel")->isVisibleTo(frm));
    EXPECT_TRUE(control(frm, u"Label11")->isVisibleTo(frm));
    EXPECT_TRUE(control(frm, u"Commandkakunin2")->isVisibleTo(frm));
    EXPECT_EQ(text(frm, u"seitouLabel"), u"0.56"_s);
    EXPECT_EQ(platform.media.commands.back(), u"play "_s + tree.soundFolder() + u"machigai1.wav wait"_s);
    // Digits do not reach the answer until the acknowledgement.
    QTest::keyClick(frm, Qt::Key_5);
    EXPECT_EQ(input(), QString());
}

TEST_F(MainFrmTest, AcknowledgementNeedsTwoPlusInARow) {
    answerWrong(frm);
    platform.random.setValues({0.5, 0.9, 0.3, 0.0});
    QTest::keyClick(frm, '+');
    EXPECT_EQ(state->PlusMode, 2);
    QTest::keyClick(frm, 'x');
    EXPECT_EQ(state->PlusMode, 1);
    QTest::keyClick(frm, '+');
    EXPECT_EQ(state->PlusMode, 2);
    EXPECT_TRUE(control(frm, u"seitouLabel")->isVisibleTo(frm));
    EXPECT_EQ(text(frm, u"qLabel1"), u"0.7"_s);
    QTest::keyClick(frm, '+');
    EXPECT_EQ(state->PlusMode, 0);
    EXPECT_FALSE(control(frm, u"seitouLabel")->isVisibleTo(frm));
    EXPECT_FALSE(control(frm, u"Label11")->isVisibleTo(frm));
    EXPECT_FALSE(control(frm, u"Commandkakunin2")->isVisibleTo(frm));
    EXPECT_EQ(text(frm, u"qLabel1"), u"0.5"_s); // a new problem, not the missed one again
    EXPECT_EQ(input(), QString());
}

TEST_F(MainFrmTest, ThreeRightOneWrongOneRightLeaveSevenToGo) {
    answerRight(frm);
    answerRight(frm);
    answerRight(frm);
    EXPECT_EQ(text(frm, u"sLabel9"), u"7"_s);
    answerWrong(frm);
    EXPECT_EQ(state->CorrectCount, 2);
    EXPECT_EQ(text(frm, u"sLabel9"), u"8"_s);
    acknowledge(frm, {0.5, 0.9, 0.3, 0.0});
    answerRight(frm);
    EXPECT_EQ(state->CorrectCount, 3);
    EXPECT_EQ(text(frm, u"sLabel9"), u"7"_s);
}

TEST_F(MainFrmTest, HintAppearsOnItsTimerWithDelayGrowingWithTheRun) {
    auto* timer = frm->findChild<QTimer*>(u"Timer1"_s);
    ASSERT_NE(timer, nullptr);
    EXPECT_TRUE(timer->isActive());
    EXPECT_EQ(timer->interval(), 4000);
    for (int i = 0; i < 5; ++i)
        answerRight(frm);
    EXPECT_EQ(timer->interval(), 12000);
    EXPECT_FALSE(control<QWidget>(frm, u"Picture2")->isVisibleTo(frm));
    frm->timer1Tick();
    EXPECT_TRUE(control<QWidget>(frm, u"Picture2")->isVisibleTo(frm));
    EXPECT_FALSE(timer->isActive());
    // 0.5 x 3: one mark.
    EXPECT_TRUE(control<QWidget>(frm, u"Image1(1)")->isVisibleTo(frm));
    EXPECT_FALSE(control<QWidget>(frm, u"Image1(2)")->isVisibleTo(frm));
}

TEST_F(MainFrmTest, FocusComingBackDoesNotRestartTheRun) {
    const std::int64_t start = state->RunStart;
    const std::size_t drawn = platform.random.drawn();
    platform.clock.advanceSeconds(5);
    QEvent activate(QEvent::WindowActivate);
    QApplication::sendEvent(frm, &activate);
    QFocusEvent focus(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    QApplication::sendEvent(frm, &focus);
    platform.screens.show(screens::MainFrm()); // already the current screen
    EXPECT_EQ(state->RunStart, start);
    EXPECT_EQ(platform.random.drawn(), drawn);
    EXPECT_EQ(text(frm, u"qLabel1"), u"0.7"_s);
}

TEST_F(MainFrmTest, RunClockShowsSecondsAndGrowsTheBar) {
    runClockTo(2.4);
    frm->sTimer1Tick();
    EXPECT_EQ(text(frm, u"sLabel10"), u"2"_s);
    runClockTo(150.5); // halves go to the even neighbour
    frm->sTimer1Tick();
    EXPECT_EQ(state->ElapsedSeconds, 150);
    EXPECT_EQ(control<QWidget>(frm, u"sShape2")->width(), qRound(150 * 984 / 1500.0));
    EXPECT_EQ(state->TimedOut, 0);
}

TEST_F(MainFrmTest, MinutesDisplayCountsFromSignIn) {
    platform.clock.advanceSeconds(125);
    frm->sTimer2Tick();
    EXPECT_EQ(text(frm, u"sLabel13"), u"12"_s);
}

TEST_F(MainFrmTest, KeysAreIgnoredAfterTheRunEnded) {
    state->TimedOut = 1;
    QTest::keyClicks(frm, u"12 "_s);
    EXPECT_EQ(input(), QString());
    EXPECT_EQ(state->PlusMode, 0);
    // The arrows still work on what is there.
    QTest::keyClick(frm, Qt::Key_Right);
    EXPECT_EQ(input(), u"0"_s);
}

TEST_F(MainFrmTest, KeysForAnotherWindowAreLeftAlone) {
    QLineEdit other; // stands for a message box over the drill
    other.show();
    QTest::keyClicks(&other, u"12 "_s);
    EXPECT_EQ(other.text(), u"12 "_s);
    EXPECT_EQ(input(), QString());
    EXPECT_EQ(state->PlusMode, 0);
}

// In full screen the screens are children of one stage window; the keys still reach the drill.
TEST_F(DrillFixture, KeysReachTheDrillInsideTheStage) {
    Stage stage([] { return QColor(Qt::green); });
    stage.resize(1365, 768);
    stage.show();
    platform.screens.setStage(&stage);
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    ASSERT_NE(frm, nullptr);
    EXPECT_EQ(frm->parentWidget(), &stage);
    QTest::keyClicks(frm, u"56"_s);
    EXPECT_EQ(text(frm, u"inputLabel"), u"56"_s);
    platform.screens.closeAll();
}

// The typed answer is judged by its value, not by its text.
struct JudgeCase {
    const char16_t* typed;
    int lefts;
    bool right;
};
class JudgeByValueTest : public DrillFixture, public ::testing::WithParamInterface<JudgeCase> {};

TEST_P(JudgeByValueTest, AgainstTheAnswerTwo) {
    // 0.4 x 5 = 2
    QPointer<MainFrm> frm = startRun({0.35, 0.6, 0.5, 0.0});
    ASSERT_NE(frm, nullptr);
    ASSERT_EQ(text(frm, u"qLabel1"), u"0.4"_s);
    ASSERT_EQ(text(frm, u"qlabel2"), u"5"_s);
    QTest::keyClicks(frm, QString::fromUtf16(GetParam().typed));
    for (int i = 0; i < GetParam().lefts; ++i)
        QTest::keyClick(frm, Qt::Key_Left);
    QTest::keyClick(frm, Qt::Key_Space);
    EXPECT_EQ(state->CorrectCount, GetParam().right ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Answers, JudgeByValueTest,
                         ::testing::Values(JudgeCase{u"2", 0, true}, JudgeCase{u"02", 0, true},
                                           JudgeCase{u"0002", 0, true}, JudgeCase{u"20", 1, true},
                                           JudgeCase{u"3", 0, false}, JudgeCase{u"20", 0, false}));

TEST(SessionMinutes, CountOnPastMidnight) {
    EXPECT_EQ(minutesSinceSessionStart(10 * 3600, 9 * 3600 + 50 * 60), 10);
    EXPECT_EQ(minutesSinceSessionStart(10 * 3600 + 59.9, 10 * 3600), 0);
    EXPECT_EQ(minutesSinceSessionStart(5 * 60, 23 * 3600 + 55 * 60), 10);
}

TEST(RunClock, ElapsedSecondsRoundHalvesToEven) {
    EXPECT_EQ(elapsedRunSeconds(1'000'500, 1'000'000), 0);
    EXPECT_EQ(elapsedRunSeconds(1'001'500, 1'000'000), 2);
    EXPECT_EQ(elapsedRunSeconds(1'083'499, 1'000'000), 83);
}

} // namespace
} // namespace mirai::test
