#include "BASEFRM.h"
#include "DrillFixture.h"
#include "ResultRecords.h"
#include "ResultStore.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPushButton>
#include <cmath>
#include <tuple>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

class RunFlowTest : public DrillFixture {
protected:
    StoredFields lastRecord() const { return storedFields(readBytes(resultFile()), storedRecords()); }
};

TEST_F(RunFlowTest, TenRightAnswersRecordTheSecondsOfTheLastTick) {
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    ASSERT_TRUE(frm);
    for (int i = 0; i < 9; ++i)
        answerRight(frm);
    EXPECT_EQ(text(frm, u"sLabel9"), u"1"_s);
    runClockTo(83.2);
    frm->sTimer1Tick();
    runClockTo(83.9); // the tenth answer comes 0.7 s after the tick that computed 83
    answerRight(frm);

    EXPECT_EQ(state->RunFinished, 1);
    EXPECT_EQ(state->TimedOut, 0);
    EXPECT_EQ(state->RunSeconds, 83);
    ASSERT_EQ(storedRecords(), 1);
    const StoredFields record = lastRecord();
    EXPECT_EQ(record.seconds, 83);
    EXPECT_EQ(record.student, 7);
    EXPECT_EQ(record.level, 1);
    EXPECT_EQ(record.siteCode, QByteArray("12345"));
    EXPECT_DOUBLE_EQ(record.date, oleDays(QDate(2026, 12, 9)));

    // Backdrop, one second, then the end screen.
    const QStringList& history = platform.screens.shownHistory();
    const auto backdrop = history.lastIndexOf(screens::BASEFRM());
    ASSERT_GE(backdrop, 0);
    EXPECT_EQ(history.mid(backdrop), QStringList({screens::BASEFRM(), screens::FrmSyuuryou()}));
    EXPECT_FALSE(platform.screens.isLoaded(screens::MainFrm()));
    EXPECT_TRUE(platform.screens.isVisible(screens::FrmSyuuryou()));
    EXPECT_FALSE(platform.screens.isLoaded(screens::BASEFRM())); // the end screen took it away
}

// Every judged answer is kept as judged, and stored with the run: its operands, the text, right
// or wrong, the time it took, whether the hint was showing, and the run it belongs to.
TEST_F(RunFlowTest, TheRunsAnswersAreStoredWithItsRecord) {
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    ASSERT_TRUE(frm);
    const std::uint64_t runId = state->RunId;
    EXPECT_NE(runId, 0u);
    platform.clock.advanceMs(2500);
    QTest::keyClicks(frm, u"56"_s); // 0.7 x 0.8 with the point not moved: 56
    answerWrong(frm);               // judged as typed: "56"
    acknowledge(frm, {0.5, 0.9, 0.3, 0.0});
    platform.clock.advanceMs(5000);
    frm->timer1Tick(); // the hint shows
    answerRight(frm);
    for (int i = 0; i < 9; ++i)
        answerRight(frm);
    ASSERT_EQ(storedRecords(), 1);

    std::vector<LoggedAnswer> answers;
    ASSERT_TRUE(openResultStore(ctx())
                    ->scanAnswers([&](const LoggedAnswer* a, std::int64_t n) {
                        answers.insert(answers.end(), a, a + n);
                    })
                    .ok());
    ASSERT_EQ(answers.size(), 11u);
    const StoredFields record = lastRecord();
    struct Expected {
        int index;
        int digitA, placesA, digitB, placesB;
        std::string_view typed;
        bool right, hint;
        std::uint32_t ms;
    };
    const Expected expected[] = {{1, 7, 1, 8, 1, "56", false, false, 2500},
                                 {2, 5, 1, 3, 0, "1.5", true, true, 5000},
                                 {3, 5, 1, 3, 0, "1.5", true, false, 0}};
    for (const Expected& e : expected) {
        SCOPED_TRACE(e.index);
        const LoggedAnswer& a = answers[static_cast<std::size_t>(e.index - 1)];
        EXPECT_EQ(a.index, e.index);
        EXPECT_EQ(a.runId, runId);
        EXPECT_EQ(std::tuple(a.digitA, a.placesA, a.digitB, a.placesB),
                  std::tuple(e.digitA, e.placesA, e.digitB, e.placesB));
        EXPECT_EQ(a.typedText(), e.typed);
        EXPECT_EQ(a.right, e.right);
        EXPECT_EQ(a.hintShown, e.hint);
        EXPECT_EQ(a.ms, e.ms);
        // Joined to the run's record by its date, time of day, student and level.
        EXPECT_EQ(a.runDay, static_cast<std::int32_t>(record.date));
        EXPECT_EQ(a.runSecond, static_cast<std::int32_t>(std::lround(record.time * 86400)));
        EXPECT_EQ(a.student, record.student);
        EXPECT_EQ(a.level, record.level);
    }
    EXPECT_TRUE(state->RunAnswers.empty());
}

// However a run ends, its answers are kept: a timed-out run with its 44-byte record, a run the
// student leaves (the screen closes, the program ends) without one.
TEST_F(RunFlowTest, ARunTimedOutOrLeftKeepsItsAnswers) {
    writeCriteria({u"120,60,100,5,1,20,0,7,1,,,"_s});
    struct Case {
        const char* how;
        bool timesOut;
        std::int64_t records;
    };
    for (const Case& c : {Case{"timed out", true, 1}, Case{"left", false, 0}}) {
        SCOPED_TRACE(c.how);
        QFile::remove(resultFile());
        QFile::remove(QFileInfo(resultFile()).dir().filePath(u"解答記録.dat"_s));
        QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
        ASSERT_TRUE(frm);
        const std::uint64_t runId = state->RunId;
        answerRight(frm);
        answerRight(frm);
        if (c.timesOut) {
            runClockTo(300);
            frm->sTimer1Tick();
        } else {
            platform.screens.close(screens::MainFrm());
        }
        EXPECT_EQ(storedRecords(), c.records);
        std::vector<LoggedAnswer> answers;
        ASSERT_TRUE(openResultStore(ctx())
                        ->scanAnswers([&](const LoggedAnswer* a, std::int64_t n) {
                            answers.insert(answers.end(), a, a + n);
                        })
                        .ok());
        ASSERT_EQ(answers.size(), 2u);
        EXPECT_EQ(std::tuple(answers[0].runId, answers[0].index, answers[1].index), std::tuple(runId, 1, 2));
        platform.screens.closeAll();
    }
}

TEST_F(RunFlowTest, ALongTypedTextIsKeptAsItsValue) {
    Problem p;
    p.OperandA = 7;
    p.ShiftA = -1;
    p.OperandB = 8;
    p.ShiftB = -2;
    struct Case {
        QString typed;
        std::string_view kept;
    };
    for (const Case& c :
         {Case{u"0.056"_s, "0.056"}, Case{u""_s, ""}, Case{u"*5"_s, "*5"},
          Case{u"0.0000000000000056"_s, "5.6E-15"}, Case{u"560000000000000000"_s, "5.6E+17"}}) {
        const LoggedAnswer a = judgedAnswer(p, c.typed, false, 10, false, 4);
        EXPECT_EQ(a.typedText(), c.kept) << c.typed.toStdString();
        EXPECT_EQ(std::tuple(a.digitA, a.placesA, a.digitB, a.placesB, a.index), std::tuple(7, 1, 8, 2, 4));
    }
}

TEST_F(RunFlowTest, TimeLimitReachedRecordsNoTime) {
    writeCriteria({u"120,60,100,5,1,20,0,7,1,,,"_s});
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    ASSERT_TRUE(frm);
    EXPECT_EQ(state->TimeLimit, 300);
    runClockTo(299.4);
    frm->sTimer1Tick();
    EXPECT_EQ(state->TimedOut, 0);
    EXPECT_EQ(storedRecords(), 0);
    runClockTo(299.6); // rounds to 300
    frm->sTimer1Tick();
    EXPECT_EQ(state->TimedOut, 1);
    EXPECT_EQ(state->RunSeconds, 99999);
    ASSERT_EQ(storedRecords(), 1);
    EXPECT_EQ(lastRecord().seconds, 99999);
    EXPECT_TRUE(platform.screens.isVisible(screens::FrmSyuuryou()));
}

TEST_F(RunFlowTest, TimeOutPanelShowsWhileRecording) {
    writeCriteria({u"120,60,100,5,1,20,0,7,1,,,"_s});
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    bool seen = false;
    platform.events.onPump = [&] {
        if (!seen && frm && state->Recording == 1) {
            seen = true;
            EXPECT_TRUE(control(frm, u"lblsss2")->isVisibleTo(frm));
            EXPECT_FALSE(control(frm, u"lblsss1")->isVisibleTo(frm));
            EXPECT_TRUE(control<QWidget>(frm, u"sPicture2")->isVisibleTo(frm));
            EXPECT_EQ(control<QWidget>(frm, u"sPicture2")->pos(), QPoint(0, 0));
        }
    };
    runClockTo(300);
    frm->sTimer1Tick();
    platform.events.onPump = nullptr;
    EXPECT_TRUE(seen);
}

TEST_F(RunFlowTest, TimeOutTickDuringAJudgementWaitsForTheNextTick) {
    writeCriteria({u"120,60,100,5,1,20,0,7,1,,,"_s});
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    ASSERT_TRUE(frm);
    // The wrong-answer sound is long: the clock passes the limit while it plays.
    platform.media.whilePlaying = [&](const QString&) {
        runClockTo(301);
        frm->sTimer1Tick();
    };
    answerWrong(frm);
    platform.media.whilePlaying = nullptr;
    EXPECT_EQ(state->TimedOut, 0);
    EXPECT_EQ(storedRecords(), 0);
    EXPECT_EQ(state->PlusMode, 1);
    EXPECT_TRUE(control(frm, u"seitouLabel")->isVisibleTo(frm));

    runClockTo(302);
    frm->sTimer1Tick();
    EXPECT_EQ(state->TimedOut, 1);
    EXPECT_EQ(storedRecords(), 1);
    EXPECT_EQ(lastRecord().seconds, 99999);
}

TEST_F(RunFlowTest, LastAnswerDuringALateTickIsRecordedOnce) {
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    for (int i = 0; i < 9; ++i)
        answerRight(frm);
    runClockTo(40);
    frm->sTimer1Tick();
    // Ticks that arrive while the tenth answer sounds and while the run is recorded change
    // nothing: the run is finished and recorded once.
    int lateTicks = 0;
    platform.media.whilePlaying = [&](const QString&) {
        if (frm && state->CorrectCount == 9) {
            runClockTo(1600); // past the limit of 1500 s
            frm->sTimer1Tick();
            ++lateTicks;
        }
    };
    platform.events.onPump = [&] {
        if (frm && state->Recording == 1 && lateTicks < 3) {
            ++lateTicks;
            frm->sTimer1Tick();
            frm->FinishRun();
        }
    };
    answerRight(frm);
    platform.media.whilePlaying = nullptr;
    platform.events.onPump = nullptr;
    EXPECT_GE(lateTicks, 2);
    EXPECT_EQ(state->TimedOut, 0);
    EXPECT_EQ(state->RunSeconds, 1600); // the last tick before the end computed it
    EXPECT_EQ(storedRecords(), 1);
    EXPECT_EQ(platform.screens.shownHistory().count(screens::FrmSyuuryou()), 1);
}

TEST_F(RunFlowTest, NoMinimumLineTimesOutAtTheFirstTick) {
    writeCriteria({u"0,0,100,5,1,20,0,7,1,,,"_s});
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    ASSERT_TRUE(frm);
    EXPECT_EQ(state->TimeLimit, 0);
    EXPECT_EQ(control<QWidget>(frm, u"sShape3")->width(), 0);
    EXPECT_EQ(control<QWidget>(frm, u"sShape4")->width(), 0);
    runClockTo(1);
    frm->sTimer1Tick();
    EXPECT_EQ(state->TimedOut, 1);
    EXPECT_EQ(lastRecord().seconds, 99999);
}

TEST_F(RunFlowTest, RunAcrossMidnightKeepsCounting) {
    platform.clock.set(QDateTime(QDate(2026, 12, 9), QTime(23, 59, 50)));
    state->SessionStart = 23 * 3600 + 50 * 60;
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    ASSERT_TRUE(frm);
    runClockTo(25); // 0:00:15 on the next day
    frm->sTimer1Tick();
    EXPECT_EQ(state->ElapsedSeconds, 25);
    frm->sTimer2Tick();
    EXPECT_EQ(text(frm, u"sLabel13"), u"10"_s);
    EXPECT_EQ(state->TimedOut, 0);
}

TEST_F(RunFlowTest, ResultsScreenAndBackdropCloseWhenTheDrillStarts) {
    platform.screens.show(screens::seisekitime1());
    platform.screens.show(screens::BASEFRM());
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    ASSERT_TRUE(frm);
    EXPECT_FALSE(platform.screens.isLoaded(screens::seisekitime1()));
    EXPECT_FALSE(platform.screens.isLoaded(screens::BASEFRM()));
    EXPECT_EQ(state->RunFinished, 0);
    EXPECT_EQ(state->CorrectCount, 0);
}

TEST_F(RunFlowTest, WaitSecondsCountsTenMillisecondSteps) {
    const std::int64_t start = platform.clock.tickMs();
    ASSERT_TRUE(WaitSeconds(ctx(), 1));
    const std::int64_t waited = platform.clock.tickMs() - start;
    EXPECT_GE(waited, 1000);
    EXPECT_LE(waited, 1030);
}

TEST_F(RunFlowTest, WaitSecondsStopsWhenTheProgramEnds) {
    platform.events.onPump = [&] {
        if (platform.events.calls == 5)
            platform.app.endProgram();
    };
    EXPECT_FALSE(WaitSeconds(ctx(), 10));
    EXPECT_LT(platform.events.calls, 10);
}

TEST_F(RunFlowTest, FourthSilentAnswerEndsTheProgramAndClosesTheScreens) {
    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    platform.media.failAlways(MediaNoDevice);
    answerRight(frm);
    answerRight(frm);
    answerRight(frm);
    EXPECT_EQ(platform.app.endCalls, 0);
    answerRight(frm);
    EXPECT_EQ(platform.app.endCalls, 1);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].title, u"音声エラー"_s);
    EXPECT_FALSE(platform.screens.isLoaded(screens::MainFrm()));
    EXPECT_EQ(state->CorrectCount, 3); // the failed fourth answer is not counted
}

// The share goes away during a run: the run is kept on the station, the student is told, the
// end screen shows the run; the next run, with the share back, stores both in order.
TEST_F(RunFlowTest, RunWithTheShareAwayIsKeptShownAndStoredWithTheNextRun) {
    state->QueueFolder = tree.root() + u"端末/"_s;
    const QString queue = state->QueueFolder + u"成績待ち.dat"_s;
    const QString folder = tree.dataFolder().chopped(1);
    auto finishRun = [&](MainFrm* frm, double seconds) {
        for (int i = 0; i < 9; ++i)
            answerRight(frm);
        runClockTo(seconds);
        frm->sTimer1Tick();
        answerRight(frm);
    };

    QPointer<MainFrm> frm = startRun(drawsSevenTenthsTimesEightTenths());
    ASSERT_TRUE(frm);
    ASSERT_TRUE(QDir().rename(folder, tree.root() + u"外れ"_s));
    finishRun(frm, 83.2);

    EXPECT_EQ(platform.app.endCalls, 0);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(u"この記録はこのコンピューターに保存しました。"_s));
    EXPECT_EQ(storedRuns(readBytes(queue)), (std::vector<StoredRun>{{7, 83}}));
    QPointer<FrmSyuuryou> end = platform.screens.find<FrmSyuuryou>(screens::FrmSyuuryou());
    ASSERT_TRUE(end);
    EXPECT_TRUE(platform.screens.isVisible(screens::FrmSyuuryou()));
    EXPECT_EQ(text(end, u"Label18"), u"今の成績：83秒"_s);
    EXPECT_EQ(text(end, u"Label13"), u" (このレベル　1回目)"_s);
    EXPECT_EQ(platform.messages.shown.size(), 1u); // the end screen did not wait for the share

    ASSERT_TRUE(QDir().rename(tree.root() + u"外れ"_s, folder));
    end->timer1Tick();
    platform.random.setValues(drawsSevenTenthsTimesEightTenths());
    QTest::mouseClick(control<QPushButton>(end, u"Command5"), Qt::LeftButton);
    frm = platform.screens.find<MainFrm>(screens::MainFrm());
    ASSERT_TRUE(frm);
    finishRun(frm, 61.2);

    EXPECT_EQ(storedRuns(readBytes(resultFile())), (std::vector<StoredRun>{{7, 83}, {7, 61}}));
    EXPECT_EQ(readBytes(queue).size(), 0);
    EXPECT_EQ(platform.messages.shown.size(), 1u);
    end = platform.screens.find<FrmSyuuryou>(screens::FrmSyuuryou());
    ASSERT_TRUE(end);
    EXPECT_EQ(text(end, u"Label13"), u" (このレベル　2回目)"_s);
    EXPECT_EQ(platform.app.endCalls, 0);
}

} // namespace
} // namespace mirai::test
