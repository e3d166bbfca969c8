#include "DrillFixture.h"
#include "EndScreenRules.h"
#include "frmver.h"

#include <QPushButton>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

struct PointsCase {
    std::int32_t target;
    std::int32_t seconds;
    float factor;
    std::int32_t base;
    const char16_t* line;
};
class EndPointsTest : public ::testing::TestWithParam<PointsCase> {};

TEST_P(EndPointsTest, BaseTimesFactor) {
    const PointsCase& c = GetParam();
    const EndRunPoints points = endRunPoints(c.seconds, c.target, c.factor);
    EXPECT_EQ(points.base, c.base);
    EXPECT_EQ(pointsLine(points, c.factor), QString::fromUtf16(c.line));
}

INSTANTIATE_TEST_SUITE_P(Rule, EndPointsTest,
                         ::testing::Values(PointsCase{100, 50, 1.0f, 11, u"獲得ポイント：11点×1→11点"},
                                           PointsCase{100, 100, 1.0f, 5, u"獲得ポイント：5点×1→5点"},
                                           PointsCase{100, 150, 1.0f, 4, u"獲得ポイント：4点×1→4点"},
                                           PointsCase{100, 999, 1.0f, 1, u"獲得ポイント：1点×1→1点"},
                                           PointsCase{100, 1000, 1.0f, 0, u"獲得ポイント：0点×1→0点"},
                                           PointsCase{100, 99999, 1.0f, 0, u"獲得ポイント：0点×1→0点"},
                                           PointsCase{100, 0, 1.5f, 55, u"獲得ポイント：55点×1.5→82点"},
                                           PointsCase{100, 50, 1.1f, 11, u"獲得ポイント：11点×1.1→12点"},
                                           PointsCase{1234, 1000, 1.0f, 5, u"獲得ポイント：5点×1→5点"},
                                           // The factor multiplies in single precision, as the
                                           // statistics do: 10 × 0.7 is 7 points on both.
                                           PointsCase{100, 53, 0.7f, 10, u"獲得ポイント：10点×0.7→7点"}));

TEST(EndTexts, TimeAndRunLines) {
    EXPECT_EQ(timeLine(83), u"今の成績：83秒"_s);
    EXPECT_EQ(timeLine(99998), u"記録なし"_s);
    EXPECT_EQ(timeLine(99999), u"記録なし"_s);
    EXPECT_EQ(levelRunsLine(3), u" (このレベル　3回目)"_s);
    EXPECT_EQ(dayRunsLine(5), u"（5回目)"_s);
}

class EndScreenTest : public DrillFixture {
protected:
    void SetUp() override {
        DrillFixture::SetUp();
        if (HasFatalFailure())
            return;
        // Level 1: target 100 s, clear 20 points in 2 runs, blocked after 3 runs a day.
        writeCriteria({u"100,300,20,2,1,3,0,7,1,,,"_s, u"150,400,20,2,1.5,0,0,7,1,,,"_s});
    }

    void storeRuns(int level, std::initializer_list<std::int32_t> seconds) {
        std::vector<RawRecord> records;
        for (std::int32_t s : seconds) {
            RawRecord record;
            record.student = 7;
            record.level = static_cast<std::int16_t>(level);
            record.seconds = s;
            records.push_back(record);
        }
        appendRecords(resultFile(), records);
    }

    // The end screen after a run of `seconds` at `level` that the file already holds.
    FrmSyuuryou* showEnd(int level, std::int32_t seconds) {
        state->CurrentLevel = static_cast<std::int16_t>(level);
        state->RunSeconds = seconds;
        state->TimedOut = seconds == 99999 ? 1 : 0;
        platform.screens.show(screens::BASEFRM());
        platform.media.commands.clear();
        end = static_cast<FrmSyuuryou*>(platform.screens.show(screens::FrmSyuuryou()));
        return end;
    }
    QStringList played() const {
        QStringList names;
        for (const QString& command : platform.media.commands)
            names << command.mid(5 + tree.soundFolder().size()).chopped(9);
        return names;
    }
    bool visible(const char16_t* name) { return control<QWidget>(end, name)->isVisibleTo(end); }

    QPointer<FrmSyuuryou> end;
};

TEST_F(EndScreenTest, TimeOutShowsNoRecordNoPointsAndNoSound) {
    storeRuns(1, {99999});
    ASSERT_TRUE(showEnd(1, 99999));
    EXPECT_EQ(end->windowTitle(), u"終了"_s);
    EXPECT_EQ(text(end, u"Label18"), u"記録なし"_s);
    EXPECT_EQ(text(end, u"Label19"), u"獲得ポイント：0点×1→0点"_s);
    EXPECT_TRUE(visible(u"Label20"));
    EXPECT_EQ(text(end, u"Label20"), u"時間切れ"_s);
    EXPECT_TRUE(played().isEmpty());
    EXPECT_FALSE(visible(u"Command4"));
    EXPECT_FALSE(visible(u"Command5"));
    EXPECT_FALSE(platform.screens.isLoaded(screens::BASEFRM()));
    end->timer1Tick();
    EXPECT_TRUE(visible(u"Command4"));
    EXPECT_TRUE(visible(u"Command5"));
}

TEST_F(EndScreenTest, FiftySecondsAgainstAHundredEarnElevenPoints) {
    storeRuns(1, {50});
    ASSERT_TRUE(showEnd(1, 50));
    EXPECT_EQ(text(end, u"Label18"), u"今の成績：50秒"_s);
    EXPECT_EQ(text(end, u"Label19"), u"獲得ポイント：11点×1→11点"_s);
    EXPECT_EQ(text(end, u"Label15"), u"みらいドリル"_s);
    EXPECT_EQ(text(end, u"Label16"), u"ﾚﾍﾞﾙ1"_s);
    EXPECT_EQ(text(end, u"Label17"), u"山田 花子"_s);
    EXPECT_EQ(text(end, u"Label13"), u" (このレベル　1回目)"_s);
    EXPECT_EQ(text(end, u"Label14"), u"（1回目)"_s);
    EXPECT_FALSE(visible(u"Label20"));
    EXPECT_FALSE(visible(u"Label2"));                    // one run is not enough to clear
    EXPECT_EQ(played(), QStringList({u"fugoukaku1"_s})); // within the minimum line, no record
}

TEST_F(EndScreenTest, OverallBestBeatsPersonalBest) {
    storeRuns(1, {350});
    state->NewPersonalBest = 1;
    state->NewOverallBest = 1;
    ASSERT_TRUE(showEnd(1, 350));
    EXPECT_EQ(text(end, u"Label20"), u"！！！最高新記録！！！"_s);
    EXPECT_EQ(played(), QStringList({u"最高1"_s}));
    EXPECT_EQ(state->NewPersonalBest, 0);
    EXPECT_EQ(state->NewOverallBest, 0);
}

TEST_F(EndScreenTest, PersonalBestAlone) {
    storeRuns(1, {350});
    state->NewPersonalBest = 1;
    ASSERT_TRUE(showEnd(1, 350));
    EXPECT_EQ(text(end, u"Label20"), u"新記録おめでとう"_s);
    EXPECT_EQ(played(), QStringList({u"jiko1"_s}));
    EXPECT_EQ(state->NewPersonalBest, 0);
}

TEST_F(EndScreenTest, SlowRunWithoutRecordIsQuiet) {
    storeRuns(1, {350});
    ASSERT_TRUE(showEnd(1, 350));
    EXPECT_FALSE(visible(u"Label20"));
    EXPECT_TRUE(played().isEmpty());
}

TEST_F(EndScreenTest, FirstClearingOfTheFinalLevelSoundsAfterTheRecordSound) {
    storeRuns(2, {50, 50});
    state->PassFlag = 0;
    state->NewPersonalBest = 1;
    ASSERT_TRUE(showEnd(2, 50));
    EXPECT_TRUE(visible(u"Label2"));
    EXPECT_TRUE(visible(u"Picture1"));
    EXPECT_EQ(played(), QStringList({u"jiko1"_s, u"合格"_s}));
    end->timer1Tick();
    EXPECT_FALSE(visible(u"Picture1"));
    EXPECT_TRUE(visible(u"Command5"));
}

TEST_F(EndScreenTest, LaterRunOnAClearedFinalLevelPlaysNoCourseSound) {
    storeRuns(2, {50, 50, 50});
    state->PassFlag = 1;
    ASSERT_TRUE(showEnd(2, 50));
    EXPECT_TRUE(visible(u"Picture1"));
    EXPECT_EQ(played(), QStringList({u"fugoukaku1"_s}));
}

TEST_F(EndScreenTest, NoBannerWhenALevelHasNoRunTarget) {
    writeCriteria({u"100,300,20,9999,1,3,0,7,1,,,"_s, u"150,400,20,2,1.5,0,0,7,1,,,"_s});
    storeRuns(2, {50, 50});
    ASSERT_TRUE(showEnd(2, 50));
    EXPECT_TRUE(visible(u"Label2"));
    EXPECT_FALSE(visible(u"Picture1"));
}

TEST_F(EndScreenTest, OveruseOnAClearedLevelSendsTheStudentOn) {
    storeRuns(1, {50, 50, 50});
    state->RequiredRunsCleared = 0;
    ASSERT_TRUE(showEnd(1, 50));
    EXPECT_EQ(text(end, u"Label2"), u"このレベルクリア"_s);
    end->timer1Tick();
    EXPECT_TRUE(visible(u"Label2"));
    EXPECT_EQ(text(end, u"Label2"), u"次のレベルへ進みましょう"_s);
    EXPECT_FALSE(visible(u"Command5"));
    EXPECT_TRUE(visible(u"Command4"));
    EXPECT_TRUE(control<QPushButton>(end, u"Command4")->hasFocus() ||
                QApplication::focusWidget() == nullptr); // offscreen windows may not take focus
}

TEST_F(EndScreenTest, NoPointsLimitLeavesAClearedLevelUnderItsRunLimitOpen) {
    // Level 1 limits runs (3) but not points (0): two runs with 22 points clear it and are not
    // too many, so "もう一度" stays while the final level is not yet cleared.
    storeRuns(1, {50, 50});
    state->RequiredRunsCleared = 0;
    ASSERT_TRUE(showEnd(1, 50));
    EXPECT_TRUE(visible(u"Label2"));
    end->timer1Tick();
    EXPECT_TRUE(visible(u"Command5"));
    EXPECT_EQ(text(end, u"Label2"), u"このレベルクリア"_s);
}

TEST_F(EndScreenTest, OveruseAfterTheCourseIsClearedStillOffersAnotherRun) {
    storeRuns(1, {50, 50, 50});
    state->RequiredRunsCleared = 1;
    ASSERT_TRUE(showEnd(1, 50));
    end->timer1Tick();
    EXPECT_TRUE(visible(u"Command5"));
    EXPECT_EQ(text(end, u"Label2"), u"このレベルクリア"_s);
}

TEST_F(EndScreenTest, OveruseOnTheFinalLevelHidesTheClearLabel) {
    writeCriteria({u"100,300,20,2,1,3,0,7,1,,,"_s, u"150,400,20,2,1.5,2,0,7,1,,,"_s});
    storeRuns(2, {50, 50});
    state->PassFlag = 1;
    ASSERT_TRUE(showEnd(2, 50));
    end->timer1Tick();
    EXPECT_FALSE(visible(u"Label2"));
    EXPECT_EQ(text(end, u"Label2"), QString());
    EXPECT_TRUE(visible(u"Command5"));
}

TEST_F(EndScreenTest, MenuShowsTheResultsScreen) {
    storeRuns(1, {350});
    ASSERT_TRUE(showEnd(1, 350));
    end->timer1Tick();
    QTest::mouseClick(control<QPushButton>(end, u"Command4"), Qt::LeftButton);
    EXPECT_TRUE(platform.screens.isVisible(screens::seisekitime1()));
    EXPECT_FALSE(platform.screens.isLoaded(screens::FrmSyuuryou()));
}

TEST_F(EndScreenTest, EnterOnTheFocusedMenuButtonGoesBack) {
    storeRuns(1, {350});
    ASSERT_TRUE(showEnd(1, 350));
    end->timer1Tick();
    QTest::keyClick(control<QPushButton>(end, u"Command4"), Qt::Key_Return);
    EXPECT_TRUE(platform.screens.isVisible(screens::seisekitime1()));
}

TEST_F(EndScreenTest, AgainStartsTheSameLevel) {
    storeRuns(2, {350});
    ASSERT_TRUE(showEnd(2, 350));
    end->timer1Tick();
    state->CorrectCount = 4;
    platform.random.setValues(drawsSevenTenthsTimesEightTenths());
    QTest::mouseClick(control<QPushButton>(end, u"Command5"), Qt::LeftButton);
    EXPECT_FALSE(platform.screens.isLoaded(screens::FrmSyuuryou()));
    EXPECT_FALSE(platform.screens.isLoaded(screens::BASEFRM()));
    auto* frm = platform.screens.find<MainFrm>(screens::MainFrm());
    ASSERT_NE(frm, nullptr);
    EXPECT_EQ(state->CurrentLevel, 2);
    EXPECT_EQ(state->CorrectCount, 0);
    EXPECT_EQ(text(frm, u"sLabel8"), u"ﾚﾍﾞﾙ2"_s);
    EXPECT_EQ(text(frm, u"sLabel11"), u"2"_s); // the second run of the level today
}

TEST_F(EndScreenTest, VersionDialogShowsTheSameTextsEachTime) {
    for (int i = 0; i < 2; ++i) {
        Screen* dialog = platform.screens.show(screens::frmver());
        ASSERT_NE(dialog, nullptr);
        EXPECT_EQ(dialog->windowTitle(), u"ﾊﾞｰｼﾞｮﾝ情報"_s);
        EXPECT_EQ(text(dialog, u"Label1"), u"みらいドリル"_s);
        EXPECT_EQ(text(dialog, u"Label2"), u"Version1.0.17"_s);
        EXPECT_EQ(text(dialog, u"Label4"), u"みらい教育ソフト工房"_s);
        EXPECT_EQ(text(dialog, u"Label5"), u"Copyright (C) みらい教育ソフト工房 All rights reserved."_s);
        QTest::mouseClick(control<QPushButton>(dialog, u"Command1"), Qt::LeftButton);
        EXPECT_FALSE(platform.screens.isLoaded(screens::frmver()));
    }
}

} // namespace
} // namespace mirai::test
