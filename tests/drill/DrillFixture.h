#pragma once

#include "Configuration.h"
#include "Controls.h"
#include "DrillFlow.h"
#include "DrillScreens.h"
#include "Files.h"
#include "FrmSyuuryou.h"
#include "MainFrm.h"
#include "RecordFiles.h"
#include "Screen.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "Statistics.h"
#include "UiDoubles.h"

#include <QLabel>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

namespace mirai::test {

// A station with two levels, the drill's screens registered, stand-ins for the results hub and
// the name selection, and student 7 signed in at 9:50.
class DrillFixture : public ::testing::Test {
protected:
    void SetUp() override {
        tree.writeDefaults();
        writeCriteria(
            {QStringLiteral("120,300,100,5,1,20,0,7,1,,,"), QStringLiteral("150,400,100,5,1.5,0,0,7,1,,,")});
        ASSERT_FALSE(LoadConfiguration(*state, tree.appFolder()).has_value());
        setUpLevelValues(*state);
        state->StudentNumber = 7;
        state->StudentName = QStringLiteral("  山田 花子  ");
        state->SessionStart = 9 * 3600 + 50 * 60;
        state->CurrentLevel = 1;
        registerDrillScreens(platform.screens, ctx());
        for (const QString& name : {screens::seisekitime1(), screens::namesel()})
            platform.screens.registerScreen(name, [] { return new Screen; });
        ASSERT_TRUE(ComputeResultStatistics(ctx()));
    }

    Context ctx() { return {*state, platform}; }

    void writeCriteria(const QStringList& rows) {
        tree.writeCriteria(rows);
        if (!state->DataFolder.isEmpty()) {
            ASSERT_FALSE(LoadConfiguration(*state, tree.appFolder()).has_value());
        }
    }

    QString resultFile() const { return tree.dataFolder() + QStringLiteral("成績累積データ.dat"); }
    std::int64_t storedRecords() const { return readBytes(resultFile()).size() / 44; }

    // Starts a run whose first problem is drawn from `firstDraws`.
    MainFrm* startRun(std::vector<double> firstDraws) {
        platform.random.setValues(std::move(firstDraws));
        EXPECT_TRUE(StartRun(ctx()));
        return platform.screens.find<MainFrm>(screens::MainFrm());
    }

    template <class T = QLabel> T* control(QWidget* screen, const char16_t* name) {
        return test::control<T>(screen, QString::fromUtf16(name));
    }
    QString text(QWidget* screen, const char16_t* name) {
        return labelText(screen, QString::fromUtf16(name));
    }

    // Types the current problem's answer as a student does: the digit product, then the
    // point moved left once per mark, then space.
    void answerRight(MainFrm* frm, std::vector<double> nextDraws = {}) {
        const Problem& problem = frm->problem();
        const QString digits = QString::number(static_cast<int>(problem.OperandA * problem.OperandB));
        const int marks = problem.marks;
        QTest::keyClicks(frm, digits);
        for (int i = 0; i < marks; ++i)
            QTest::keyClick(frm, Qt::Key_Left);
        platform.random.setValues(withSoundDraw(std::move(nextDraws)));
        QTest::keyClick(frm, Qt::Key_Space);
    }
    void answerWrong(MainFrm* frm) {
        platform.random.setValues({0.0});
        QTest::keyClick(frm, Qt::Key_Space); // nothing typed: 0 is never right
    }
    void acknowledge(MainFrm* frm, std::vector<double> nextDraws) {
        platform.random.setValues(std::move(nextDraws));
        QTest::keyClick(frm, '+');
        QTest::keyClick(frm, '+');
    }
    // The right-answer sound draws once before the next problem.
    static std::vector<double> withSoundDraw(std::vector<double> problemDraws) {
        if (problemDraws.empty())
            problemDraws = {0.5, 0.9, 0.3, 0.0}; // 0.5 x 3
        problemDraws.insert(problemDraws.begin(), 0.0);
        return problemDraws;
    }

    // Moves the fake clock so that the run has lasted exactly `seconds`.
    void runClockTo(double seconds) {
        const std::int64_t target = state->RunStart + static_cast<std::int64_t>(seconds * 1000.0 + 0.5);
        platform.clock.advanceMs(target - platform.clock.tickMs());
    }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    DataTree tree;
    UiTestPlatform platform;
};

// Draws of a kind-1 problem: 0.7 x 0.8.
inline std::vector<double> drawsSevenTenthsTimesEightTenths() {
    return {0.7, 0.6, 0.8, 0.6};
}

} // namespace mirai::test
