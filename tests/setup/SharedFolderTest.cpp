#include "SharedFolder.h"

#include "Configuration.h"
#include "Paths.h"
#include "QtPrinters.h"
#include "Roster.h"
#include "SetupFixture.h"

#include <QFile>
#include <QTemporaryDir>
#include <functional>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

const QString kDefaults = QStringLiteral(MIRAI_BUILD_DEFAULTS) + u"/"_s;

NewSharedFolder goodAnswers(const QString& folder) {
    return {folder, u"123"_s, u"みらい学習塾 駅前教室"_s, 4, u"山口"_s, u"mi rai,1"_s, u"mi rai,1"_s};
}

// ---- The answers ----------------------------------------------------------------------------------

struct AnswerCase {
    const char* name;
    std::function<void(NewSharedFolder&)> change;
    QString refusal;
};

class NewFolderAnswersTest : public ::testing::TestWithParam<AnswerCase> {};

TEST_P(NewFolderAnswersTest, RefusesWhatTheFilesCannotHold) {
    NewSharedFolder answers = goodAnswers(u"/srv/juku/共通"_s);
    GetParam().change(answers);
    const QString refusal = newFolderRefusal(answers);
    if (GetParam().refusal.isEmpty())
        EXPECT_TRUE(refusal.isEmpty()) << refusal.toStdString();
    else
        EXPECT_TRUE(refusal.startsWith(GetParam().refusal)) << refusal.toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Answers, NewFolderAnswersTest,
    ::testing::Values(
        AnswerCase{"all_good", [](NewSharedFolder&) {}, {}},
        AnswerCase{"full_width_code", [](NewSharedFolder& a) { a.siteCode = u"０１２"_s; }, {}},
        AnswerCase{"no_folder", [](NewSharedFolder& a) { a.folder = u" "_s; },
                   u"共有フォルダの場所を入れて"_s},
        AnswerCase{"relative_folder", [](NewSharedFolder& a) { a.folder = u"共通"_s; },
                   u"共有フォルダの場所は、/"_s},
        AnswerCase{"folder_outside_cp932", [](NewSharedFolder& a) { a.folder = u"/srv/한국"_s; },
                   u"共有フォルダの場所: 「한」"_s},
        AnswerCase{"code_too_long", [](NewSharedFolder& a) { a.siteCode = u"123456"_s; }, u"教室コードは"_s},
        AnswerCase{"code_not_digits", [](NewSharedFolder& a) { a.siteCode = u"12a"_s; }, u"教室コードは"_s},
        AnswerCase{"code_zero", [](NewSharedFolder& a) { a.siteCode = u"00000"_s; }, u"教室コードは"_s},
        AnswerCase{"no_site_name", [](NewSharedFolder& a) { a.siteName = u"　"_s; }, u"教室名を入れて"_s},
        AnswerCase{"quote_in_site_name", [](NewSharedFolder& a) { a.siteName = u"\"本校\""_s; },
                   u"教室名: 「\"」"_s},
        AnswerCase{"month_13", [](NewSharedFolder& a) { a.startMonth = 13; }, u"年度の始まりの月"_s},
        AnswerCase{"no_teacher", [](NewSharedFolder& a) { a.teacherName.clear(); },
                   u"先生の名前: 名前を入れて"_s},
        AnswerCase{"no_password", [](NewSharedFolder& a) { a.password = a.passwordAgain = QString(); },
                   u"パスワードを入れて"_s},
        AnswerCase{"password_outside_cp932",
                   [](NewSharedFolder& a) { a.password = a.passwordAgain = u"é"_s; }, u"パスワード: 「é」"_s},
        AnswerCase{"passwords_differ", [](NewSharedFolder& a) { a.passwordAgain = u"mi rai,2"_s; },
                   u"2回入れたパスワード"_s}));

// ---- A new shared folder -----------------------------------------------------------------------------

class SharedFolderTest : public ::testing::Test {
protected:
    QString root() const { return m_dir.path() + u"/"_s; }
    SetupPlaces places() const {
        return {root() + u"prog/MiraiDrill/"_s, root() + u"config/みらいドリル/"_s, kDefaults};
    }
    QString shared() const { return root() + u"共通/"_s; }
    QString pathFile() const { return places().stationFolder + u"パスデータ.txt"_s; }
    static QDate today() { return QDate(2026, 12, 9); }

    QTemporaryDir m_dir;
};

TEST_F(SharedFolderTest, TheNewTreeIsWhatTheProgramStartsOn) {
    ASSERT_EQ(setUpNewSharedFolder(goodAnswers(shared()), places(), today()), QString());

    EXPECT_EQ(readBytes(pathFile()), cp(u"\""_s + shared() + u"\",,,,,,,,,\r\n"_s));
    EXPECT_EQ(
        readBytes(shared() + u"共通データ.txt"_s),
        cp(u"4\r\n\"00123 みらい学習塾 駅前教室\"\r\n1\r\n0\r\n0\r\n\"mi rai,1\"\r\n0\r\n0\r\n0\r\n0\r\n"_s));
    EXPECT_EQ(readBytes(shared() + u"新名簿.txt"_s), cp(u"1,1990,0,0,\"★山口\",0,\"\",\"\"\r\n"_s));
    EXPECT_EQ(readBytes(shared() + u"MiraiDrill/タイム回数データ.txt"_s),
              readBytes(kDefaults + u"タイム回数データ.txt"_s));
    const QStringList sounds = QDir(kDefaults + u"音フォルダ"_s).entryList(QDir::Files);
    EXPECT_GT(sounds.size(), 10);
    EXPECT_EQ(QDir(shared() + u"音フォルダ"_s).entryList(QDir::Files), sounds);
    for (const QString& sound : sounds)
        EXPECT_EQ(readBytes(shared() + u"音フォルダ/"_s + sound),
                  readBytes(kDefaults + u"音フォルダ/"_s + sound))
            << sound.toStdString();

    // The program finds it from the station's folder, reads it all, and lists the teacher.
    auto state = std::make_unique<SharedState>();
    ASSERT_FALSE(LoadConfiguration(*state, places().appFolder, places().stationFolder).has_value());
    EXPECT_EQ(state->SiteCode, u"00123"_s);
    EXPECT_EQ(state->SiteName, u" みらい学習塾 駅前教室"_s);
    EXPECT_EQ(state->DataChangePassword.toText(), u"mi rai,1"_s);
    EXPECT_EQ(state->LevelCriteria[1].TargetSeconds, 60);
    EXPECT_EQ(state->SoundTable.roles[1].name, u"正解音1"_s);
    std::vector<ListedRecord> listed;
    ReadRoster(*state, today(), [&](const ListedRecord& record) { listed.push_back(record); });
    ASSERT_EQ(listed.size(), 1U);
    EXPECT_EQ(listed[0].number, 1);
    EXPECT_EQ(listed[0].name, u"★山口"_s);
    EXPECT_EQ(listed[0].halfWidthLabel, u"大+"_s);

    // A second station points at it.
    SetupPlaces second = places();
    second.stationFolder = root() + u"config2/"_s;
    EXPECT_EQ(useSharedFolder(shared(), second), QString());
    EXPECT_EQ(readBytes(second.stationFolder + u"パスデータ.txt"_s), readBytes(pathFile()));
}

struct LeftoverCase {
    const char* name;
    std::function<void(const QString& root)> before; // what is there already
    std::function<void(SetupPlaces&)> places;
    QString error;
};

class NothingLeftBehindTest : public SharedFolderTest, public ::testing::WithParamInterface<LeftoverCase> {};

TEST_P(NothingLeftBehindTest, AFailedSetUpRemovesWhatItMade) {
    const LeftoverCase& c = GetParam();
    c.before(root());
    SetupPlaces where = places();
    c.places(where);
    const QStringList before = snapshot(root());
    const QString error = setUpNewSharedFolder(goodAnswers(shared()), where, today());
    EXPECT_TRUE(error.startsWith(c.error)) << error.toStdString();
    EXPECT_EQ(snapshot(root()), before);
}

INSTANTIATE_TEST_SUITE_P(
    Failures, NothingLeftBehindTest,
    ::testing::Values(
        LeftoverCase{"a_shared_folder_is_there",
                     [](const QString& r) { writeBytes(r + u"共通/共通データ.txt"_s, "4"); },
                     [](SetupPlaces&) {}, u"このフォルダには、もう共通データ.txt"_s},
        LeftoverCase{"no_defaults", [](const QString&) {},
                     [](SetupPlaces& p) { p.defaultsFolder = p.appFolder; }, u"ドリルの標準の"_s},
        LeftoverCase{"a_file_where_the_drill_folder_goes",
                     [](const QString& r) { writeBytes(r + u"共通/MiraiDrill"_s, "x"); }, [](SetupPlaces&) {},
                     u"共有フォルダを作れませんでした。作りかけのものは消しました。"_s},
        LeftoverCase{"a_sound_is_there",
                     [](const QString& r) { writeBytes(r + u"共通/音フォルダ/seikai1.wav"_s, "x"); },
                     [](SetupPlaces&) {}, u"共有フォルダを作れませんでした。"_s},
        LeftoverCase{"no_station_folder", [](const QString&) {},
                     [](SetupPlaces& p) { p.stationFolder.clear(); }, u"共有フォルダを作れませんでした。"_s},
        LeftoverCase{"the_station_folder_is_a_file",
                     [](const QString& r) { writeBytes(r + u"config"_s, "x"); }, [](SetupPlaces&) {},
                     u"共有フォルダを作れませんでした。"_s}));

struct MissingCase {
    const char* name;
    QStringList removed; // from a complete shared folder
    QStringList missing;
};

class ExistingFolderTest : public SharedFolderTest, public ::testing::WithParamInterface<MissingCase> {};

TEST_P(ExistingFolderTest, SaysExactlyWhatIsMissing) {
    ASSERT_EQ(setUpNewSharedFolder(goodAnswers(shared()), places(), today()), QString());
    for (const QString& item : GetParam().removed) {
        if (!QFile::remove(shared() + item))
            QDir(shared() + item).removeRecursively();
    }
    QStringList expected;
    for (const QString& item : GetParam().missing)
        expected.append(QDir::toNativeSeparators(shared() + item));
    EXPECT_EQ(missingFromSharedFolder(shared(), places().appFolder), expected);

    SetupPlaces second = places();
    second.stationFolder = root() + u"config2/"_s;
    const QString error = useSharedFolder(shared(), second);
    for (const QString& path : expected)
        EXPECT_TRUE(error.contains(path)) << error.toStdString();
    EXPECT_FALSE(QFileInfo::exists(second.stationFolder));
}

INSTANTIATE_TEST_SUITE_P(
    Missing, ExistingFolderTest,
    ::testing::Values(MissingCase{"common_data", {u"共通データ.txt"_s}, {u"共通データ.txt"_s}},
                      MissingCase{"drill_folder", {u"MiraiDrill"_s}, {u"MiraiDrill/"_s}},
                      MissingCase{"criteria_and_roster",
                                  {u"MiraiDrill/タイム回数データ.txt"_s, u"新名簿.txt"_s},
                                  {u"新名簿.txt"_s, u"MiraiDrill/タイム回数データ.txt"_s}},
                      MissingCase{"sound_folder", {u"音フォルダ"_s}, {u"音フォルダ/新音ファイル.txt"_s}}));

TEST_F(SharedFolderTest, AShortCommonDataFileIsNotUsed) {
    ASSERT_EQ(setUpNewSharedFolder(goodAnswers(shared()), places(), today()), QString());
    writeBytes(shared() + u"共通データ.txt"_s, "4\r\n\"1 x\"\r\n");
    SetupPlaces second = places();
    second.stationFolder = root() + u"config2/"_s;
    EXPECT_TRUE(useSharedFolder(shared(), second).startsWith(u"この共有フォルダのファイルが読めません。"_s));
    EXPECT_FALSE(QFileInfo::exists(second.stationFolder));
}

TEST(DefaultsFolder, BesideTheBuiltProgramOrWhereThePackagePutsThem) {
    const QString builtProgram = QFileInfo(QStringLiteral(MIRAI_BUILD_DEFAULTS)).absolutePath();
    EXPECT_EQ(findDefaultsFolder(builtProgram), nativeFolder(QStringLiteral(MIRAI_BUILD_DEFAULTS)));
    EXPECT_EQ(findDefaultsFolder(u"/nowhere/MiraiDrill/"_s), QString());
    EXPECT_EQ(defaultsFolderCandidates(u"/usr/lib/miraidrill/MiraiDrill/"_s).last(),
              u"/usr/share/miraidrill/defaults/"_s);
}

} // namespace
} // namespace mirai::test
