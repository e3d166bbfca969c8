#include "Firstfrm.h"

#include "Files.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "UiDoubles.h"

#include <QFile>
#include <QLabel>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mirai;

namespace {

class FirstfrmTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_doubles.clock.set(QDateTime(QDate(2004, 2, 8), QTime(9, 30, 15)));
        m_doubles.screens.registerScreen(screens::Firstfrm(),
                                         [this] { return new Firstfrm(ctx(), m_tree.appFolder()); });
        m_doubles.screens.registerScreen(screens::namesel(), [] { return new Screen; });
    }
    Context ctx() { return Context{*m_state, m_doubles}; }
    Firstfrm* showSplash() { return static_cast<Firstfrm*>(m_doubles.screens.show(screens::Firstfrm())); }

    test::DataTree m_tree;
    std::unique_ptr<SharedState> m_state = std::make_unique<SharedState>();
    test::UiTestPlatform m_doubles;
};

TEST_F(FirstfrmTest, ShowsTheEraDateInTheSeasonColourAndReseedsFromTheClock) {
    Firstfrm* splash = showSplash();
    ASSERT_NE(splash, nullptr);
    EXPECT_EQ(splash->findChild<QLabel*>(u"Label5"_s)->text(), u"平成16年 2月 08日（日）"_s);
    EXPECT_EQ(splash->findChild<QLabel*>(u"Label1"_s)->text(), u"Just a moment, please."_s);
    EXPECT_EQ(m_state->SeasonColour, 0x000080FFu);
    ASSERT_EQ(m_doubles.random.reseeds().size(), 1u);
    // Reseeded from the clock (the splash let events run once before, 10 ms on the fake clock).
    EXPECT_NEAR(static_cast<double>(m_doubles.random.reseeds()[0]), QTime(9, 30, 15).msecsSinceStartOfDay(),
                50.0);
    EXPECT_FALSE(m_doubles.screens.isLoaded(screens::namesel()));
}

TEST_F(FirstfrmTest, TimerLoadsTheConfigurationAndHandsOverToTheNameSelection) {
    m_tree.writeDefaults();
    Firstfrm* splash = showSplash();
    splash->timer1Tick();
    EXPECT_TRUE(m_doubles.screens.isVisible(screens::namesel()));
    EXPECT_FALSE(m_doubles.screens.isLoaded(screens::Firstfrm()));
    EXPECT_EQ(m_state->ProgramTitle, u"みらいドリル"_s);
    EXPECT_EQ(m_state->LevelCriteria[1].TargetSeconds, 120);
    EXPECT_TRUE(m_doubles.messages.shown.empty());
}

TEST_F(FirstfrmTest, MissingFileIsNamedAndTheProgramEnds) {
    m_tree.writeDefaults();
    QFile::remove(m_tree.commonFolder() + u"共通データ.txt"_s);
    Firstfrm* splash = showSplash();
    splash->timer1Tick();
    ASSERT_EQ(m_doubles.messages.shown.size(), 1u);
    EXPECT_TRUE(m_doubles.messages.shown[0].text.contains(u"共通データ.txt"_s));
    EXPECT_EQ(m_doubles.app.endCalls, 1);
    EXPECT_FALSE(m_doubles.screens.isLoaded(screens::namesel()));
    EXPECT_FALSE(m_doubles.screens.isLoaded(screens::Firstfrm()));
}

TEST_F(FirstfrmTest, SetUpLevelsOpensTheResultsScreen) {
    m_doubles.screens.registerScreen(screens::seisekitime1(), [] { return new Screen; });
    SetUpLevels(ctx());
    EXPECT_EQ(m_state->LevelNames[2], u"ﾚﾍﾞﾙ2"_s);
    EXPECT_EQ(m_doubles.screens.current(), screens::seisekitime1());
}

} // namespace
