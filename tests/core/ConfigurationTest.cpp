#include "Configuration.h"

#include "Cp932.h"
#include "Files.h"
#include "LevelCriteria.h"
#include "Paths.h"
#include "SharedState.h"
#include "SoundTable.h"
#include "TextFile.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mirai;
using mirai::test::DataTree;

namespace {

QString native(const QString& path) {
    return QDir::toNativeSeparators(path);
}

TEST(LoadConfiguration, ReadsTheWholeTreeAndDerivesTheFolders) {
    DataTree tree;
    tree.writeDefaults();
    auto state = std::make_unique<SharedState>();
    const auto error = LoadConfiguration(*state, tree.appFolder());
    ASSERT_FALSE(error.has_value()) << error.value_or(ConfigurationError{}).message.toStdString();
    EXPECT_EQ(state->AppFolder, native(tree.appFolder()));
    EXPECT_EQ(state->CommonFolder, native(tree.commonFolder()));
    EXPECT_EQ(state->ProgramFolderName, u"MiraiDrill"_s);
    EXPECT_EQ(state->DataFolder, native(tree.dataFolder()));
    EXPECT_EQ(state->SoundFolder, native(tree.soundFolder()));
    EXPECT_EQ(state->SiteCode, u"12345"_s);
    EXPECT_EQ(state->SiteName, u" 北教室"_s);
    EXPECT_TRUE(state->SchoolYearStartMonth == 4.0);
    EXPECT_TRUE(state->RosterKeepMark2 == 1.0);
    EXPECT_TRUE(state->DataChangePassword == u"abc"_s);
    EXPECT_EQ(state->ProgramTitle, u"みらいドリル"_s);
    EXPECT_EQ(state->PrintAllowed, 1);
    EXPECT_EQ(state->AllLevelsOpen, 1);
    EXPECT_EQ(state->LevelCriteria[1].TargetSeconds, 120);
    EXPECT_EQ(state->LevelCriteria[2].PointFactor, 1.5f);
    EXPECT_EQ(state->SoundTable.roles[2].files[2], u"seikai2"_s);
}

TEST(LoadConfiguration, RelativeSharedFolderIsTakenFromThePathFilesFolder) {
    DataTree tree;
    tree.writeDefaults();
    tree.writePathFile(u"..\\共通\\"_s);
    auto state = std::make_unique<SharedState>();
    ASSERT_FALSE(LoadConfiguration(*state, tree.appFolder()).has_value());
    EXPECT_EQ(QDir(state->CommonFolder).canonicalPath(), QDir(tree.commonFolder()).canonicalPath());
}

TEST(LoadConfiguration, DriveLetterFolderGivesTheMissingFileMessage) {
    DataTree tree;
    tree.writeDefaults();
    tree.writePathFile(u"D:\\共通\\"_s);
    auto state = std::make_unique<SharedState>();
    const auto error = LoadConfiguration(*state, tree.appFolder());
    ASSERT_TRUE(error.has_value());
    EXPECT_EQ(error->path, native(u"D:/共通/共通データ.txt"_s));
    EXPECT_TRUE(error->message.startsWith(u"設定ファイルが見つかりません。"_s));
    EXPECT_TRUE(error->message.contains(error->path));
}

// Where the path file lies: above the program's folder, in the station's own folder, both or
// neither. The station's file names the shared folder relative to its own folder, so reading
// it from anywhere else finds nothing.
struct PlaceCase {
    const char* name;
    bool besideProgram;
    bool inStationFolder;
    bool loads;
};

class PathFilePlaceTest : public ::testing::TestWithParam<PlaceCase> {};

TEST_P(PathFilePlaceTest, TriesTheProgramsFolderThenTheStationsOwn) {
    const PlaceCase& place = GetParam();
    DataTree tree;
    tree.writeDefaults();
    const QString station = tree.root() + u"home/.config/みらいドリル/"_s;
    QDir().mkpath(station);
    if (place.besideProgram)
        tree.writePathFile(tree.commonFolder());
    else
        QFile::remove(tree.pathFile());
    if (place.inStationFolder)
        test::writeTextFile(
            station + u"パスデータ.txt"_s,
            {place.besideProgram ? u"/nowhere/共通/,,,,,,,,,"_s : u"..\\..\\..\\共通\\,,,,,,,,,"_s});

    auto state = std::make_unique<SharedState>();
    const auto error = LoadConfiguration(*state, tree.appFolder(), station);
    if (place.loads) {
        ASSERT_FALSE(error.has_value()) << place.name << ": " << error->message.toStdString();
        EXPECT_EQ(QDir(state->CommonFolder).canonicalPath(), QDir(tree.commonFolder()).canonicalPath());
        EXPECT_EQ(state->ProgramFolderName, u"MiraiDrill"_s);
        EXPECT_EQ(state->LevelCriteria[1].TargetSeconds, 120);
        return;
    }
    ASSERT_TRUE(error.has_value()) << place.name;
    const QStringList places = {native(tree.pathFile()), native(station + u"パスデータ.txt"_s)};
    EXPECT_EQ(error->path, places[0]);
    EXPECT_EQ(error->message, u"設定ファイルが見つかりません。\r\n"_s + places[0] + u"\r\n"_s + places[1] +
                                  u"\r\nプログラムを終了します。"_s);
}

INSTANTIATE_TEST_SUITE_P(Places, PathFilePlaceTest,
                         ::testing::Values(PlaceCase{"beside_program", true, false, true},
                                           PlaceCase{"station_folder", false, true, true},
                                           PlaceCase{"both_program_first", true, true, true},
                                           PlaceCase{"neither", false, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PathFilePlaces, InstalledProgramAndStationFolder) {
    EXPECT_EQ(pathFileCandidates(u"/usr/lib/miraidrill/MiraiDrill"_s, u"/home/a/.config/みらいドリル"_s),
              QStringList({native(u"/usr/lib/miraidrill/パスデータ.txt"_s),
                           native(u"/home/a/.config/みらいドリル/パスデータ.txt"_s)}));
    EXPECT_EQ(lastPathElement(u"/usr/lib/miraidrill/MiraiDrill/"_s), u"MiraiDrill"_s);
    // Without a station folder only the program's own place is tried.
    EXPECT_EQ(pathFileCandidates(u"/opt/MiraiDrill/"_s, QString()),
              QStringList({native(u"/opt/パスデータ.txt"_s)}));

    const QByteArray saved = qgetenv("XDG_CONFIG_HOME");
    qputenv("XDG_CONFIG_HOME", "/tmp/station-config");
    EXPECT_EQ(stationConfigFolder(), native(u"/tmp/station-config/みらいドリル/"_s));
    if (saved.isNull())
        qunsetenv("XDG_CONFIG_HOME");
    else
        qputenv("XDG_CONFIG_HOME", saved);
}

enum class Damage { RemovePathFile, RemoveCommon, RemoveCriteria, RemoveSounds, ShortPathFile, ShortCommon };

struct DamageCase {
    const char* name;
    Damage damage;
    const char16_t* file;
    const char16_t* messageStart;
};

class BrokenTreeTest : public ::testing::TestWithParam<DamageCase> {};

TEST_P(BrokenTreeTest, NamesTheFileAndWritesNothing) {
    DataTree tree;
    tree.writeDefaults();
    const QString common = tree.commonFolder() + u"共通データ.txt"_s;
    switch (GetParam().damage) {
    case Damage::RemovePathFile:
        QFile::remove(tree.pathFile());
        break;
    case Damage::RemoveCommon:
        QFile::remove(common);
        break;
    case Damage::RemoveCriteria:
        QFile::remove(tree.dataFolder() + u"タイム回数データ.txt"_s);
        break;
    case Damage::RemoveSounds:
        QFile::remove(tree.soundFolder() + u"新音ファイル.txt"_s);
        break;
    case Damage::ShortPathFile:
        test::writeTextFile(tree.pathFile(), {tree.commonFolder() + u",2,3"_s});
        break;
    case Damage::ShortCommon:
        test::writeTextFile(common, {u"4,\"北\",1,0,0,abc,0,0,0"_s, u""_s, u""_s});
        break;
    }
    const QStringList before = QDir(tree.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    auto state = std::make_unique<SharedState>();
    // No station folder of its own: the user's real configuration must not take part.
    const auto error = LoadConfiguration(*state, tree.appFolder(), tree.root() + u"station/"_s);
    ASSERT_TRUE(error.has_value()) << GetParam().name;
    EXPECT_TRUE(error->path.endsWith(QString::fromUtf16(GetParam().file))) << error->path.toStdString();
    EXPECT_TRUE(error->message.startsWith(QString::fromUtf16(GetParam().messageStart)));
    EXPECT_TRUE(error->message.contains(error->path));
    EXPECT_EQ(QDir(tree.root()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), before);
    EXPECT_FALSE(QFile::exists(tree.dataFolder() + u"成績累積データ.dat"_s));
}

INSTANTIATE_TEST_SUITE_P(Files, BrokenTreeTest,
                         ::testing::Values(DamageCase{"path_file_missing", Damage::RemovePathFile,
                                                      u"パスデータ.txt", u"設定ファイルが見つかりません"},
                                           DamageCase{"common_missing", Damage::RemoveCommon,
                                                      u"共通データ.txt", u"設定ファイルが見つかりません"},
                                           DamageCase{"criteria_missing", Damage::RemoveCriteria,
                                                      u"タイム回数データ.txt",
                                                      u"設定ファイルが見つかりません"},
                                           DamageCase{"sounds_missing", Damage::RemoveSounds,
                                                      u"新音ファイル.txt", u"設定ファイルが見つかりません"},
                                           DamageCase{"path_file_short", Damage::ShortPathFile,
                                                      u"パスデータ.txt", u"設定ファイルの項目が足りません"},
                                           DamageCase{"common_short", Damage::ShortCommon, u"共通データ.txt",
                                                      u"設定ファイルの項目が足りません"}),
                         [](const auto& info) { return std::string(info.param.name); });

struct SiteCase {
    const char16_t* field;
    const char16_t* code;
    const char16_t* name;
};

class SiteSplitTest : public ::testing::TestWithParam<SiteCase> {};

TEST_P(SiteSplitTest, SplitsANumericCodeOffTheFront) {
    SharedState state;
    state.SiteCode = u"prev"_s;
    splitSiteText(state, QString::fromUtf16(GetParam().field));
    EXPECT_EQ(state.SiteCode, QString::fromUtf16(GetParam().code));
    EXPECT_EQ(state.SiteName, QString::fromUtf16(GetParam().name));
}

INSTANTIATE_TEST_SUITE_P(Fields, SiteSplitTest,
                         ::testing::Values(SiteCase{u"12345 北教室", u"12345", u" 北教室"},
                                           SiteCase{u"北教室", u"prev", u"北教室"},
                                           SiteCase{u"00000本校", u"prev", u"00000本校"},
                                           SiteCase{u"  7  南校", u"  7  ", u"南校"},
                                           SiteCase{u"", u"prev", u""}));

TEST(Paths, DataFileFoldersBecomeNativePaths) {
    EXPECT_EQ(nativeFolder(u"D:\\共通\\"_s), native(u"D:/共通/"_s));
    EXPECT_EQ(nativeFolder(u"/srv/共通"_s), native(u"/srv/共通/"_s));
    EXPECT_EQ(nativePath(u"..\\共通\\"_s, u"/a/b"_s), native(u"/a/共通"_s));
    EXPECT_EQ(lastPathElement(u"/opt/drill/MiraiDrill/"_s), u"MiraiDrill"_s);
    EXPECT_EQ(lastPathElement(u"C:\\教材\\MiraiDrill"_s), u"MiraiDrill"_s);
    EXPECT_EQ(lastPathElement(u"MiraiDrill"_s), u"MiraiDrill"_s);
}

TEST(SetUpLevels, NamesBothLevels) {
    SharedState state;
    setUpLevelValues(state);
    EXPECT_EQ(state.LevelCount, 2);
    EXPECT_EQ(state.FinalLevel, 2);
    EXPECT_EQ(state.LevelNames[1], u"ﾚﾍﾞﾙ1"_s);
    EXPECT_EQ(state.LevelNames[2], u"ﾚﾍﾞﾙ2"_s);
}

// --- level criteria -------------------------------------------------------------------

std::unique_ptr<SharedState> criteriaFrom(const QString& text) {
    auto state = std::make_unique<SharedState>();
    TextFieldReader reader;
    reader.setBytes(cp932::encode(text));
    readLevelCriteria(*state, reader);
    return state;
}

const QString kTitle = u"目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,\r\n"_s;

TEST(LevelCriteria, ReadsTheExampleRow) {
    auto state = criteriaFrom(kTitle + u"120,300,100,5,1,20,0,7,1,,,\r\n"_s);
    const LevelCriteriaRow& row = state->LevelCriteria[1];
    EXPECT_EQ(row.TargetSeconds, 120);
    EXPECT_EQ(row.MinimumLineSeconds, 300);
    EXPECT_EQ(row.ClearPoints, 100);
    EXPECT_EQ(row.ClearRuns, 5);
    EXPECT_EQ(row.PointFactor, 1.0f);
    EXPECT_TRUE(row.OveruseRuns == 20.0);
    EXPECT_TRUE(row.OverusePoints == 0.0);
    EXPECT_TRUE(row.PassPeriodDays == 7.0);
    EXPECT_TRUE(row.OverusePeriodDays == 1.0);
    EXPECT_TRUE(state->LevelCriteria[0].OveruseRuns == u"禁回"_s);
    EXPECT_EQ(state->LevelCriteria[0].TargetSeconds, 0);
}

TEST(LevelCriteria, TitleLineOnlyLeavesEveryLevelAtZero) {
    auto state = criteriaFrom(kTitle);
    for (int level = 1; level <= kMaxLevel; ++level) {
        EXPECT_EQ(state->LevelCriteria[level].TargetSeconds, 0);
        EXPECT_TRUE(state->LevelCriteria[level].PassPeriodDays.isEmpty());
    }
}

TEST(LevelCriteria, AShortRowShiftsTheFollowingRows) {
    auto state = criteriaFrom(kTitle + u"120,300,100,5,1,20,0,7,1,,\r\n150,400,100,5,1,0,0,7,1,,,\r\n"_s);
    // Row 1 takes "150" from the next line as its twelfth field.
    EXPECT_TRUE(state->LevelCriteria[1].Unused[2] == 150.0);
    EXPECT_EQ(state->LevelCriteria[2].TargetSeconds, 400);
}

TEST(LevelCriteria, RowsPastThirtyFiveAreIgnored) {
    QString text = kTitle;
    for (int level = 1; level <= 40; ++level)
        text += QString::number(level) + u",5,0,0,1,0,0,1,1,,,\r\n"_s;
    auto state = criteriaFrom(text);
    EXPECT_EQ(state->LevelCriteria[35].TargetSeconds, 35);
    EXPECT_EQ(state->LevelCriteria[1].TargetSeconds, 1);
}

TEST(LevelCriteria, OversizedValuesAreClampedToTheirSlots) {
    auto state = criteriaFrom(kTitle + u"100,9999999999,100,70000,1e50,x,0,7,1,,,\r\n"_s);
    EXPECT_EQ(state->LevelCriteria[1].MinimumLineSeconds, INT32_MAX);
    EXPECT_EQ(state->LevelCriteria[1].ClearRuns, 32767);
    EXPECT_EQ(state->LevelCriteria[1].PointFactor, FLT_MAX);
    EXPECT_TRUE(state->LevelCriteria[1].OveruseRuns == 0.0);
}

TEST(LevelCriteria, RowsTheFileDoesNotReachKeepTheirContents) {
    auto state = criteriaFrom(kTitle + u"120,300,100,5,1,20,0,7,1,,,\r\n150,400,100,5,1,0,0,7,1,,,\r\n"_s);
    TextFieldReader reader;
    reader.setBytes(cp932::encode(kTitle + u"90,300,100,5,1,20,0,7,1,,,\r\n"_s));
    readLevelCriteria(*state, reader);
    EXPECT_EQ(state->LevelCriteria[1].TargetSeconds, 90);
    EXPECT_EQ(state->LevelCriteria[2].TargetSeconds, 150);
}

// --- sound table ----------------------------------------------------------------------

std::unique_ptr<SharedState> soundsFrom(const QString& text) {
    auto state = std::make_unique<SharedState>();
    TextFieldReader reader;
    reader.setBytes(cp932::encode(text));
    readSoundTable(*state, reader);
    return state;
}

TEST(SoundTable, ReadsSeveralNamesPerRoleOverLines) {
    auto state = soundsFrom(u"正解音2,pin,pon\r\npan,*\r\n間違い音2,bu,*\r\n"_s);
    const SoundRole& right = state->SoundTable.roles[2];
    EXPECT_EQ(right.name, u"正解音2"_s);
    EXPECT_TRUE(right.count == 3.0);
    EXPECT_EQ(right.files[1], u"pin"_s);
    EXPECT_EQ(right.files[3], u"pan"_s);
    EXPECT_TRUE(state->SoundTable.roles[4].count == 1.0);
    EXPECT_EQ(state->SoundTable.roles[4].files[1], u"bu"_s);
}

TEST(SoundTable, RoleNameWithTrailingBlankStillMatches) {
    auto state = soundsFrom(u"正解音2 ,pin,*\r\n"_s);
    EXPECT_TRUE(state->SoundTable.roles[2].count == 1.0);
}

TEST(SoundTable, MissingRoleKeepsNoNamesAndUnknownFieldsAreSkipped) {
    auto state = soundsFrom(u"雑音,x,*\r\n正解音2,pin,*\r\n"_s);
    EXPECT_TRUE(state->SoundTable.roles[4].count.isEmpty());
    EXPECT_EQ(state->SoundTable.roles[4].files[1], QString());
    EXPECT_EQ(state->SoundTable.roles[10].name, u"不合格音1"_s);
}

TEST(SoundTable, TwentyNamesWithoutStarKeepNoCountAndTheNextFieldIsARoleName) {
    QString line = u"正解音2"_s;
    for (int i = 1; i <= 20; ++i)
        line += u",s"_s + QString::number(i);
    auto state = soundsFrom(line + u"\r\n間違い音2,bu,*\r\n"_s);
    const SoundRole& right = state->SoundTable.roles[2];
    EXPECT_TRUE(right.count.isEmpty());
    EXPECT_EQ(right.files[20], u"s20"_s);
    EXPECT_TRUE(state->SoundTable.roles[4].count == 1.0);
}

} // namespace
