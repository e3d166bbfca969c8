// The first start of a station: the set-up screen driven through its controls, and the splash
// screen handing over to it when no path file exists.

#include "FrmSetup.h"

#include "Configuration.h"
#include "Controls.h"
#include "Firstfrm.h"
#include "QtPrinters.h"
#include "ScreenNames.h"
#include "SetupFixture.h"
#include "UiDoubles.h"

#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

class FrmSetupTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(root() + u"config"_s));
        platform.screens.registerScreen(screens::FrmSetup(),
                                        [this] { return new FrmSetup(ctx(), places()); });
        platform.screens.registerScreen(screens::namesel(), [] { return new Screen; });
    }
    void TearDown() override { qunsetenv("XDG_CONFIG_HOME"); }

    Context ctx() { return {*state, platform}; }
    QString root() const { return m_dir.path() + u"/"_s; }
    QString appFolder() const { return root() + u"prog/MiraiDrill/"_s; }
    SetupPlaces places() const {
        return {appFolder(), stationConfigFolder(), QStringLiteral(MIRAI_BUILD_DEFAULTS) + u"/"_s};
    }
    QString shared() const { return root() + u"共通/"_s; }

    FrmSetup* open() {
        platform.screens.show(screens::FrmSetup());
        return platform.screens.find<FrmSetup>(screens::FrmSetup());
    }
    // Answers typed as a teacher types them, moving on with Enter.
    void fillIn(FrmSetup* screen, const QString& passwordAgain = u"mirai"_s) {
        QLineEdit* folder = control<QLineEdit>(screen, u"folderEdit"_s);
        folder->selectAll();
        typeText(folder, shared());
        for (const auto& [field, text] : {std::pair{u"siteCodeEdit"_s, u"123"_s},
                                          {u"siteNameEdit"_s, u"みらい学習塾"_s},
                                          {u"teacherEdit"_s, u"山口"_s},
                                          {u"passwordEdit"_s, u"mirai"_s},
                                          {u"passwordAgainEdit"_s, passwordAgain}}) {
            typeText(control<QLineEdit>(screen, field), text);
            QTest::keyClick(control<QLineEdit>(screen, field), Qt::Key_Return);
        }
        QComboBox* month = control<QComboBox>(screen, u"startMonthCombo"_s);
        month->setCurrentIndex(month->findText(u"9月"_s));
    }
    QString pathFile() const { return stationConfigFolder() + u"パスデータ.txt"_s; }

    QTemporaryDir m_dir;
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    UiTestPlatform platform;
};

TEST_F(FrmSetupTest, MakesANewSharedFolderAndPointsTheStationAtIt) {
    FrmSetup* screen = open();
    fillIn(screen);
    control<QPushButton>(screen, u"okButton"_s)->click();
    ASSERT_EQ(platform.messages.shown.size(), 1U);
    EXPECT_TRUE(platform.messages.shown[0].text.startsWith(u"共有フォルダを作りました。"_s));
    EXPECT_FALSE(platform.screens.isLoaded(screens::FrmSetup()));
    EXPECT_EQ(readBytes(pathFile()), cp(u"\""_s + shared() + u"\",,,,,,,,,\r\n"_s));
    EXPECT_EQ(readBytes(shared() + u"共通データ.txt"_s).left(2), "9\r");
    EXPECT_EQ(readBytes(shared() + u"新名簿.txt"_s), cp(u"1,1990,0,0,\"★山口\",0,\"\",\"\"\r\n"_s));
}

struct LeaveCase {
    const char* name;
    std::function<void(FrmSetup*)> leave;
    int messages;
};

class FrmSetupLeaveTest : public FrmSetupTest, public ::testing::WithParamInterface<LeaveCase> {};

TEST_P(FrmSetupLeaveTest, WritesNothingUnlessItCanSetUpWhole) {
    FrmSetup* screen = open();
    fillIn(screen, u"mirai2"_s);
    const QStringList before = snapshot(root());
    GetParam().leave(screen);
    EXPECT_EQ(platform.messages.shown.size(), static_cast<std::size_t>(GetParam().messages));
    EXPECT_EQ(snapshot(root()), before);
    EXPECT_EQ(platform.screens.isLoaded(screens::FrmSetup()), GetParam().messages > 0);
}

INSTANTIATE_TEST_SUITE_P(
    Ways, FrmSetupLeaveTest,
    ::testing::Values(LeaveCase{"cancel",
                                [](FrmSetup* s) { control<QPushButton>(s, u"cancelButton"_s)->click(); }, 0},
                      LeaveCase{"escape",
                                [](FrmSetup* s) {
                                    QTest::keyClick(control<QLineEdit>(s, u"siteNameEdit"_s), Qt::Key_Escape);
                                },
                                0},
                      LeaveCase{"passwords_differ",
                                [](FrmSetup* s) { control<QPushButton>(s, u"okButton"_s)->click(); }, 1},
                      LeaveCase{"existing_folder_missing",
                                [](FrmSetup* s) {
                                    control<QRadioButton>(s, u"existingOption"_s)->click();
                                    EXPECT_FALSE(control<QWidget>(s, u"newPanel"_s)->isEnabled());
                                    control<QPushButton>(s, u"okButton"_s)->click();
                                },
                                1}));

TEST_F(FrmSetupTest, ASecondStationNamesWhatTheFolderLacks) {
    writeBytes(shared() + u"共通データ.txt"_s, "4\r\n");
    FrmSetup* screen = open();
    control<QRadioButton>(screen, u"existingOption"_s)->click();
    control<QLineEdit>(screen, u"folderEdit"_s)->setText(shared());
    control<QPushButton>(screen, u"okButton"_s)->click();
    ASSERT_EQ(platform.messages.shown.size(), 1U);
    EXPECT_EQ(platform.messages.shown[0].text,
              u"この共有フォルダには、次のものがありません。\r\n"_s + shared() + u"新名簿.txt\r\n"_s +
                  shared() + u"MiraiDrill/\r\n"_s + shared() +
                  u"音フォルダ/新音ファイル.txt\r\n"
                  u"新しく作るときは、「新しい共有フォルダを作る」を選んでください。"_s);
    EXPECT_FALSE(QFileInfo::exists(pathFile()));
}

// The splash screen's load, with the set-up answered (or left) while it is shown.
class FirstStartTest : public FrmSetupTest {
protected:
    void start(const std::function<void(FrmSetup*)>& answer) {
        QDir().mkpath(appFolder());
        QTimer::singleShot(0,
                           [this, answer] { answer(platform.screens.find<FrmSetup>(screens::FrmSetup())); });
        Firstfrm splash(ctx(), appFolder());
        splash.timer1Tick();
    }
};

TEST_F(FirstStartTest, AStationWithoutAPathFileIsSetUpAndGoesOn) {
    start([this](FrmSetup* setup) {
        fillIn(setup);
        control<QPushButton>(setup, u"okButton"_s)->click();
    });
    EXPECT_EQ(platform.messages.shown.size(), 1U);
    EXPECT_EQ(platform.app.endCalls, 0);
    EXPECT_EQ(state->CommonFolder, shared());
    EXPECT_EQ(state->SiteName, u" みらい学習塾"_s);
    EXPECT_TRUE(platform.screens.isVisible(screens::namesel()));
}

TEST_F(FirstStartTest, LeavingTheSetUpEndsQuietlyAndLeavesNothing) {
    start([](FrmSetup* setup) { control<QPushButton>(setup, u"cancelButton"_s)->click(); });
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(platform.app.endCalls, 1);
    EXPECT_EQ(snapshot(root()), QStringList{u"prog "_s} + QStringList{u"prog/MiraiDrill "_s});
}

TEST_F(FirstStartTest, APathFileThatIsThereButWrongKeepsTheMessage) {
    writeBytes(pathFile(), cp(u"\"/nowhere/\",,,,,,,,,\r\n"_s));
    start([](FrmSetup*) { FAIL() << "no set-up for a station that has a path file"; });
    ASSERT_EQ(platform.messages.shown.size(), 1U);
    EXPECT_TRUE(platform.messages.shown[0].text.startsWith(
        u"設定ファイルが見つかりません。\r\n/nowhere/共通データ.txt"_s));
    EXPECT_EQ(platform.app.endCalls, 1);
}

} // namespace
} // namespace mirai::test
