// The criteria table as the editor reads and writes it.

#include "CriteriaTable.h"

#include "Cp932.h"
#include "Files.h"
#include "Untyped.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

const QString kTitleLine = u"目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,"_s;

class CriteriaTableTest : public ::testing::Test {
protected:
    QString path() const { return m_dir.path() + u"/タイム回数データ.txt"_s; }
    QTemporaryDir m_dir;
};

TEST(CriteriaTextsTest, TitlesAndHelpTexts) {
    const CriteriaRow titles = criteriaTitles();
    EXPECT_EQ(QStringList(titles.begin(), titles.end()).join(u','), kTitleLine);
    const std::pair<int, QString> texts[] = {
        {1, u"合格基準タイム\r\n　大部分の人ががんばったら出せそうなタイムにしてください"_s},
        {2, u"合格最低ラインタイム\r\n  この５倍が時間切れになります"_s},
        {3, u"目標ポイント\r\n　　 目標ポイント"_s},
        {4, u"目標回数\r\n　　 目標回数"_s},
        {5,
         u"ポイント倍率\r\n  ポイントを何倍にして加算するか\r\n  むずかしいレベルや生徒のいやがるレベルは高くしてください"_s},
        {6, u"やりすぎ禁止回数\r\n  何回やったらやりすぎ禁止にするか\r\n  "_s},
        {7, u"やりすぎ禁止ポイント\r\n  何ポイントとったらやりすぎ禁止にするか\r\n "_s},
        {8, u"合格判定をする日数\r\n　何日前からのポイントを有効にするか"_s},
        {9, u"やりすぎ判定をする日数\r\n　何日前からのポイントを有効にするか"_s},
        {10, QString()},
        {11, QString()},
        {12, QString()},
        {0, QString()},
        {13, QString()},
    };
    for (const auto& [column, text] : texts)
        EXPECT_EQ(criteriaHelpText(column), text) << column;
}

TEST(CriteriaTextsTest, CellsShowNumbersInTheirShortestForm) {
    const std::tuple<QString, bool, QString> cases[] = {
        {u"1.50"_s, false, u"1.5"_s},     {u"007"_s, false, u"7"_s},     {u"1e3"_s, false, u"1000"_s},
        {u"-0.250"_s, false, u"-0.25"_s}, {QString(), false, QString()}, {u"abc"_s, false, u"abc"_s},
        {u"12"_s, true, u"12"_s}, // a quoted number is text: unchanged
        {u"1.50"_s, true, u"1.50"_s},     {u"12ab"_s, false, u"12ab"_s},
    };
    for (const auto& [field, quoted, shown] : cases)
        EXPECT_EQ(criteriaDisplayForm(Untyped::fromField(field, quoted)), shown) << field.toStdString();
}

TEST(CriteriaTextsTest, CommasQuotesAndLineBreaksAreRefused) {
    for (QChar c : u",\"\r\n"_s)
        EXPECT_TRUE(isRefusedInCell(c)) << static_cast<int>(c.unicode());
    for (QChar c : u"0.5 -abc，”＂　"_s)
        EXPECT_FALSE(isRefusedInCell(c)) << static_cast<int>(c.unicode());
    EXPECT_EQ(withoutRefusedCharacters(u"1,2\"3\r\n4"_s), u"1234"_s);
}

TEST_F(CriteriaTableTest, LoadDropsTheTitleLineAndKeepsEveryLevelRow) {
    writeTextFile(path(),
                  {u"何でも,よい,,,,,,,,,,"_s, u"120,300,100,5,1.50,20,0,7,1,,,"_s,
                   u" 150 , 400,100,5,1.5,0,0,7,1,a,\"b,c\",9"_s, u"90,200,100,5"_s, u",1,0,0,7,1,,,"_s});
    const std::optional<CriteriaFile> file = loadCriteriaFile(path());
    ASSERT_TRUE(file.has_value());
    const std::vector<CriteriaRow> expected{
        {u"120"_s, u"300"_s, u"100"_s, u"5"_s, u"1.5"_s, u"20"_s, u"0"_s, u"7"_s, u"1"_s, {}, {}, {}},
        {u"150"_s, u"400"_s, u"100"_s, u"5"_s, u"1.5"_s, u"0"_s, u"0"_s, u"7"_s, u"1"_s, u"a"_s, u"b,c"_s,
         u"9"_s},
        // A short row takes its missing fields from the next line, and the rest makes one more row.
        {u"90"_s, u"200"_s, u"100"_s, u"5"_s, {}, u"1"_s, u"0"_s, u"0"_s, u"7"_s, u"1"_s, {}, {}},
        {},
    };
    EXPECT_EQ(file->lastRow, 4);
    EXPECT_EQ(file->levels, expected);
}

TEST_F(CriteriaTableTest, AFileWithOnlyTheTitleLineHasNoLevelsAndAMissingOneCannotBeRead) {
    writeTextFile(path(), {kTitleLine});
    const std::optional<CriteriaFile> titles = loadCriteriaFile(path());
    ASSERT_TRUE(titles.has_value());
    EXPECT_EQ(titles->lastRow, 0);
    EXPECT_TRUE(titles->levels.empty());
    writeBytes(path(), {});
    EXPECT_EQ(loadCriteriaFile(path())->lastRow, -1);
    EXPECT_FALSE(loadCriteriaFile(path() + u".none"_s).has_value());
    EXPECT_FALSE(loadCriteriaFile(m_dir.path()).has_value());
}

TEST_F(CriteriaTableTest, SaveWritesTheCellsAsTheyStandInCodePage932) {
    CriteriaRow titles = criteriaTitles();
    CriteriaRow level1{u"120"_s, u"300"_s, u"100"_s, u"5"_s, u"1.5"_s, u"20"_s,
                       u"0"_s,   u"7"_s,   u"1"_s,   {},     {},       u"メモ"_s};
    ASSERT_TRUE(saveCriteriaFile(path(), {titles, level1}));
    EXPECT_EQ(readBytes(path()), cp932::encode(kTitleLine + u"\r\n120,300,100,5,1.5,20,0,7,1,,,メモ\r\n"_s));
    // What was written reads back as it was shown.
    const std::optional<CriteriaFile> back = loadCriteriaFile(path());
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(back->levels, std::vector<CriteriaRow>{level1});
    ASSERT_TRUE(saveCriteriaFile(path(), {titles}));
    EXPECT_EQ(readBytes(path()), cp932::encode(kTitleLine + u"\r\n"_s));
}

TEST_F(CriteriaTableTest, AFailedSaveLeavesTheOldFileWhole) {
    writeTextFile(path(), {kTitleLine, u"120,300,100,5,1,20,0,7,1,,,"_s});
    const QByteArray before = readBytes(path());
    // A folder in the way of the temporary file: the writer cannot even start.
    const QString blocked = m_dir.path() + u"/blocked/タイム回数データ.txt"_s;
    writeBytes(m_dir.path() + u"/blocked"_s, "a file, not a folder");
    EXPECT_FALSE(saveCriteriaFile(blocked, {criteriaTitles()}));
    // A folder where the file should be: nothing replaces it.
    ASSERT_TRUE(QDir().mkpath(m_dir.path() + u"/folder.txt"_s));
    EXPECT_FALSE(saveCriteriaFile(m_dir.path() + u"/folder.txt"_s, {criteriaTitles()}));
    EXPECT_TRUE(QFileInfo(m_dir.path() + u"/folder.txt"_s).isDir());
    EXPECT_EQ(readBytes(path()), before);
}

} // namespace
} // namespace mirai::test
