// The criteria editor driven from the keyboard: the cell editor, its keys, the marks of changed
// cells, load, save and leave, and the distributions beside the grid.

#include "FrmTimeData.h"

#include "Cp932.h"
#include "LevelCriteria.h"
#include "ScreenFixture.h"

#include <QDir>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

const QString kTitleLine = u"目標Time,最低Time,ｸﾘｱﾎﾟｲﾝﾄ,ｸﾘｱ回数,ﾎﾟｲﾝﾄ倍率,禁回,禁点,判期間,禁期間,,,"_s;

class FrmTimeDataTest : public TeacherScreenFixture {
protected:
    void SetUp() override {
        TeacherScreenFixture::SetUp();
        QStringList rows;
        for (int level = 1; level <= 8; ++level)
            rows.append(u"%1,%2,100,5,1.50,20,0,7,1,,,"_s.arg(100 + level).arg(300 + level));
        rows[2] = u"103,303,100,5,1.5,20,0,7,1,abcdefghijkl,,"_s;
        tree.writeCriteria(rows);
        LoadLevelCriteria(*state);
        fileBefore = readBytes(criteriaPath());
    }
    QString criteriaPath() const { return tree.dataFolder() + u"タイム回数データ.txt"_s; }
    FrmTimeData* open() { return show<FrmTimeData>(screens::FrmTimeData()); }
    QLineEdit* editor(FrmTimeData* screen) { return control<QLineEdit>(screen, u"Gridinputtext"_s); }
    void key(FrmTimeData* screen, Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QTest::keyClick(editor(screen), k, modifiers);
    }
    void type(FrmTimeData* screen, const QString& text) { QTest::keyClicks(editor(screen), text); }
    void click(FrmTimeData* screen, const QString& button) { control<QPushButton>(screen, button)->click(); }
    QStringList listLines(FrmTimeData* screen, const QString& name) {
        QStringList lines;
        auto* list = control<QListWidget>(screen, name);
        for (int i = 0; list && i < list->count(); ++i)
            lines.append(list->item(i)->text());
        return lines;
    }
    std::pair<int, int> cell(FrmTimeData* screen) { return {screen->currentRow(), screen->currentColumn()}; }

    QByteArray fileBefore;
};

TEST_F(FrmTimeDataTest, ActivationPutsTheEditorOnLevelOneFirstColumn) {
    writeRecords(resultPath(), {run(7, 1, 95)});
    FrmTimeData* screen = open();
    ASSERT_NE(screen, nullptr);
    auto* grid = control<QTableWidget>(screen, u"MSFlexGrid1"_s);
    EXPECT_EQ(grid->columnCount(), 13);
    EXPECT_EQ(screen->rowCount(), 9);
    EXPECT_EQ(screen->lastCriteriaRow(), 8);
    EXPECT_EQ(cell(screen), std::make_pair(1, 1));
    const QStringList titles{u"レベル"_s,    u"目標Time"_s, u"最低Time"_s, u"ｸﾘｱﾎﾟｲﾝﾄ"_s, u"ｸﾘｱ回数"_s,
                             u"ﾎﾟｲﾝﾄ倍率"_s, u"禁回"_s,     u"禁点"_s,     u"判期間"_s,   u"禁期間"_s,
                             QString(),      QString(),     QString()};
    for (int c = 0; c < 13; ++c)
        EXPECT_EQ(screen->cellText(0, c), titles[c]) << c;
    EXPECT_EQ(screen->cellText(4, 0), u"4"_s);
    EXPECT_EQ(screen->cellText(4, 5), u"1.5"_s); // written 1.50
    EXPECT_EQ(editor(screen)->text(), u"101"_s);
    EXPECT_TRUE(editor(screen)->isVisible());
    // The editor lies exactly over the current cell.
    const QRect cellRect = grid->visualItemRect(grid->item(1, 1));
    const QPoint cellTopLeft = grid->viewport()->mapTo(screen, cellRect.topLeft());
    EXPECT_EQ(editor(screen)->mapTo(screen, QPoint(0, 0)), cellTopLeft);
    EXPECT_EQ(editor(screen)->size(), cellRect.size());
    EXPECT_EQ(labelText(screen, u"Label3"_s),
              u"合格基準タイム\r\n　大部分の人ががんばったら出せそうなタイムにしてください"_s);
    EXPECT_EQ(labelText(screen, u"Label1"_s), u"スペース：セルクリア　　Shift + ↓：セルコピー"_s);
    EXPECT_EQ(labelText(screen, u"Label5"_s), u"成績の基準となるデータを変更できます"_s);
    EXPECT_EQ(labelText(screen, u"Label6"_s), u"列の説明"_s);
    EXPECT_EQ(listLines(screen, u"List3"_s).value(0), u"レベル1 今まで1回  （★=1）"_s);
    EXPECT_EQ(listLines(screen, u"List4"_s).value(10), u"  90～★"_s);
    // Column widths: the grid's width / 13 each, the first field 0.8 of the second.
    const int width = static_cast<int>(std::nearbyint(grid->width() / 13.0));
    EXPECT_EQ(grid->columnWidth(0), width);
    EXPECT_EQ(grid->columnWidth(2), width);
    EXPECT_EQ(grid->columnWidth(1), static_cast<int>(std::nearbyint(0.8 * width)));
    EXPECT_EQ(grid->height(), 33 * grid->rowHeight(1));
    EXPECT_EQ(screen->criteriaModified(), 0);
}

TEST_F(FrmTimeDataTest, KeysMoveTheEditorWithinTheFields) {
    FrmTimeData* screen = open();
    struct Step {
        Qt::Key key;
        Qt::KeyboardModifiers modifiers;
        std::pair<int, int> cell;
    };
    const Step steps[] = {
        {Qt::Key_Up, Qt::NoModifier, {1, 1}},     {Qt::Key_Left, Qt::NoModifier, {1, 1}},
        {Qt::Key_Right, Qt::NoModifier, {1, 2}},  {Qt::Key_Down, Qt::NoModifier, {2, 2}},
        {Qt::Key_Up, Qt::ShiftModifier, {1, 2}},  {Qt::Key_Return, Qt::NoModifier, {1, 2}},
        {Qt::Key_Escape, Qt::NoModifier, {1, 2}}, {Qt::Key_PageDown, Qt::NoModifier, {1, 2}},
        {Qt::Key_Home, Qt::NoModifier, {1, 2}},
    };
    for (const Step& step : steps) {
        key(screen, step.key, step.modifiers);
        EXPECT_EQ(cell(screen), step.cell) << step.key;
        EXPECT_EQ(editor(screen)->text(), screen->cellText(step.cell.first, step.cell.second)) << step.key;
    }
    for (int i = 0; i < 15; ++i)
        key(screen, Qt::Key_Right);
    EXPECT_EQ(cell(screen), std::make_pair(1, 12));
    for (int i = 0; i < 15; ++i)
        key(screen, Qt::Key_Down);
    EXPECT_EQ(cell(screen), std::make_pair(8, 12));
    EXPECT_EQ(labelText(screen, u"Label3"_s), QString());
    for (int i = 0; i < 3; ++i)
        key(screen, Qt::Key_Left);
    EXPECT_EQ(labelText(screen, u"Label3"_s),
              u"やりすぎ判定をする日数\r\n　何日前からのポイントを有効にするか"_s);
    EXPECT_EQ(screen->criteriaModified(), 0);
}

TEST_F(FrmTimeDataTest, TypingAppendsAtTheTenthCharacterAndABlankClears) {
    FrmTimeData* screen = open();
    type(screen, u"5"_s);
    EXPECT_EQ(screen->cellText(1, 1), u"1015"_s);
    key(screen, Qt::Key_Backspace);
    key(screen, Qt::Key_Backspace);
    EXPECT_EQ(screen->cellText(1, 1), u"10"_s);
    key(screen, Qt::Key_Space);
    EXPECT_EQ(screen->cellText(1, 1), QString());
    type(screen, u"150"_s);
    EXPECT_EQ(screen->cellText(1, 1), u"150"_s);
    EXPECT_TRUE(screen->cellMarked(1, 1));
    EXPECT_FALSE(screen->cellMarked(1, 2));
    EXPECT_EQ(screen->criteriaModified(), 1);
    // A longer text takes typed characters at position 10.
    key(screen, Qt::Key_Down);
    key(screen, Qt::Key_Down);
    for (int i = 0; i < 9; ++i)
        key(screen, Qt::Key_Right);
    ASSERT_EQ(cell(screen), std::make_pair(3, 10));
    type(screen, u"X"_s);
    EXPECT_EQ(screen->cellText(3, 10), u"abcdefghijXkl"_s);
    // Delete has no effect of its own.
    key(screen, Qt::Key_Delete);
    EXPECT_EQ(screen->cellText(3, 10), u"abcdefghijXkl"_s);
}

TEST_F(FrmTimeDataTest, CommasAndQuotesAreRefusedWithAHint) {
    FrmTimeData* screen = open();
    type(screen, u","_s);
    type(screen, u"\""_s);
    EXPECT_EQ(screen->cellText(1, 1), u"101"_s);
    EXPECT_FALSE(labelText(screen, u"CellHint"_s).isEmpty());
    EXPECT_EQ(screen->criteriaModified(), 0);
    type(screen, u"2"_s);
    EXPECT_TRUE(labelText(screen, u"CellHint"_s).isEmpty());
    EXPECT_EQ(screen->cellText(1, 1), u"1012"_s);
    // Text that arrives another way (a paste) loses them too.
    editor(screen)->setText(u"1,5\"0"_s);
    EXPECT_EQ(screen->cellText(1, 1), u"150"_s);
    EXPECT_FALSE(labelText(screen, u"CellHint"_s).isEmpty());
}

TEST_F(FrmTimeDataTest, ShiftDownThreeTimesFromRowFourCopiesAndMarksTheCopies) {
    FrmTimeData* screen = open();
    for (int i = 0; i < 3; ++i)
        key(screen, Qt::Key_Down);
    key(screen, Qt::Key_Space);
    type(screen, u"99"_s);
    ASSERT_EQ(cell(screen), std::make_pair(4, 1));
    // Start from an unchanged table: only the copies make changes.
    click(screen, u"Command3"_s);
    ASSERT_EQ(screen->criteriaModified(), 0);
    for (int i = 0; i < 3; ++i)
        key(screen, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(cell(screen), std::make_pair(4, 1));
    for (int row : {4, 5, 6, 7})
        EXPECT_EQ(screen->cellText(row, 1), u"99"_s) << row;
    EXPECT_EQ(screen->cellText(8, 1), u"108"_s);
    EXPECT_EQ(screen->cellText(5, 2), u"305"_s);
    for (int row : {5, 6, 7})
        EXPECT_TRUE(screen->cellMarked(row, 1)) << row;
    EXPECT_FALSE(screen->cellMarked(8, 1));
    EXPECT_EQ(screen->criteriaModified(), 1);
    // So leaving asks.
    platform.messages.scriptAnswers({MessageAnswer::No});
    click(screen, u"Command4"_s);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, u"データが変更されています。記録しますか？"_s);
}

TEST_F(FrmTimeDataTest, ShiftDownStopsAtTheLastRow) {
    FrmTimeData* screen = open();
    for (int i = 0; i < 6; ++i)
        key(screen, Qt::Key_Down);
    for (int i = 0; i < 4; ++i)
        key(screen, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(screen->cellText(8, 1), u"107"_s);
    EXPECT_EQ(cell(screen), std::make_pair(7, 1));
}

TEST_F(FrmTimeDataTest, AChangeThenBackWithNoLeavesTheFileAsItWas) {
    FrmTimeData* screen = open();
    key(screen, Qt::Key_Space);
    type(screen, u"150"_s);
    platform.messages.scriptAnswers({MessageAnswer::No});
    click(screen, u"Command4"_s);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].title, u"注意"_s);
    EXPECT_EQ(platform.messages.shown[0].buttons, MessageButtons::YesNo);
    EXPECT_EQ(readBytes(criteriaPath()), fileBefore);
    EXPECT_EQ(platform.screens.current(), screens::seisekitime1());
    EXPECT_FALSE(platform.screens.isLoaded(screens::FrmTimeData()));
}

TEST_F(FrmTimeDataTest, SaveWritesTheTableAndTheNextRunUsesIt) {
    FrmTimeData* screen = open();
    key(screen, Qt::Key_Space);
    type(screen, u"95"_s);
    key(screen, Qt::Key_Right);
    key(screen, Qt::Key_Space);
    type(screen, u"250"_s);
    click(screen, u"Command3"_s);
    EXPECT_EQ(screen->criteriaModified(), 0);
    EXPECT_TRUE(screen->cellMarked(1, 1)); // the marks stay until the next load
    EXPECT_EQ(state->LevelCriteria[1].TargetSeconds, 95);
    EXPECT_EQ(state->LevelCriteria[1].MinimumLineSeconds, 250);
    EXPECT_EQ(state->LevelCriteria[2].TargetSeconds, 102);
    QString expected = kTitleLine + u"\r\n95,250,100,5,1.5,20,0,7,1,,,\r\n"_s;
    for (int level = 2; level <= 8; ++level)
        expected += level == 3 ? u"103,303,100,5,1.5,20,0,7,1,abcdefghijkl,,\r\n"_s
                               : u"%1,%2,100,5,1.5,20,0,7,1,,,\r\n"_s.arg(100 + level).arg(300 + level);
    EXPECT_EQ(readBytes(criteriaPath()), cp932::encode(expected));
    // Nothing is asked when leaving a saved table.
    click(screen, u"Command4"_s);
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(FrmTimeDataTest, ReloadAfterAnEditRestoresTheFileButStillAsks) {
    FrmTimeData* screen = open();
    key(screen, Qt::Key_Down);
    key(screen, Qt::Key_Space);
    type(screen, u"77"_s);
    ASSERT_TRUE(screen->cellMarked(2, 1));
    click(screen, u"Command2"_s);
    EXPECT_EQ(screen->cellText(2, 1), u"102"_s);
    EXPECT_FALSE(screen->cellMarked(2, 1));
    EXPECT_EQ(editor(screen)->text(), u"102"_s);
    EXPECT_EQ(cell(screen), std::make_pair(2, 1));
    EXPECT_EQ(screen->criteriaModified(), 1);
    platform.messages.scriptAnswers({MessageAnswer::Yes});
    click(screen, u"Command4"_s);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    // Yes writes back the reloaded values, in their shown form, under the title line.
    QString expected = kTitleLine + u"\r\n"_s;
    for (int level = 1; level <= 8; ++level)
        expected += level == 3 ? u"103,303,100,5,1.5,20,0,7,1,abcdefghijkl,,\r\n"_s
                               : u"%1,%2,100,5,1.5,20,0,7,1,,,\r\n"_s.arg(100 + level).arg(300 + level);
    EXPECT_EQ(readBytes(criteriaPath()), cp932::encode(expected));
    EXPECT_EQ(platform.screens.current(), screens::seisekitime1());
}

TEST_F(FrmTimeDataTest, AFileWithOnlyTheTitleLineSavesOnlyTheTitleLine) {
    writeTextFile(criteriaPath(), {u"古い見出し,,,,,,,,,,,"_s});
    FrmTimeData* screen = open();
    EXPECT_EQ(screen->rowCount(), 1);
    EXPECT_EQ(screen->lastCriteriaRow(), 0);
    EXPECT_FALSE(editor(screen)->isVisible());
    EXPECT_EQ(control<QListWidget>(screen, u"List3"_s)->count(), 0);
    click(screen, u"Command3"_s);
    EXPECT_EQ(readBytes(criteriaPath()), cp932::encode(kTitleLine + u"\r\n"_s));
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(FrmTimeDataTest, AFailedSaveSaysSoKeepsTheChangesAndTheScreen) {
    FrmTimeData* screen = open();
    key(screen, Qt::Key_Space);
    type(screen, u"80"_s);
    // The file cannot be replaced: a folder stands where it was.
    ASSERT_TRUE(QFile::remove(criteriaPath()));
    ASSERT_TRUE(QDir().mkpath(criteriaPath()));
    click(screen, u"Command3"_s);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(u"記録できませんでした"_s));
    EXPECT_EQ(screen->criteriaModified(), 1);
    EXPECT_EQ(state->LevelCriteria[1].TargetSeconds, 101);
    platform.messages.scriptAnswers({MessageAnswer::Yes});
    click(screen, u"Command4"_s);
    EXPECT_EQ(platform.messages.shown.size(), 3u); // the question and the second failure
    EXPECT_EQ(platform.screens.current(), screens::FrmTimeData());
    EXPECT_TRUE(platform.screens.isLoaded(screens::FrmTimeData()));
    EXPECT_EQ(screen->cellText(1, 1), u"80"_s);
}

TEST_F(FrmTimeDataTest, TheDistributionFollowsTheCurrentRow) {
    writeRecords(resultPath(), {run(7, 2, 95), run(7, 2, 130), run(7, 2, 99999), run(8, 1, 40)});
    FrmTimeData* screen = open();
    EXPECT_EQ(listLines(screen, u"List3"_s).value(0), u"レベル1 今まで1回  （★=1）"_s);
    key(screen, Qt::Key_Down);
    const QStringList all = listLines(screen, u"List3"_s);
    const QStringList best = listLines(screen, u"List4"_s);
    ASSERT_EQ(all.size(), 102);
    EXPECT_EQ(all[0], u"レベル2 今まで3回  （★=1）"_s);
    EXPECT_EQ(all[10], u"  90～★"_s);
    EXPECT_EQ(all[14], u" 130～★"_s);
    EXPECT_EQ(all[101], u"1000～★"_s);
    EXPECT_EQ(all.filter(u"★"_s).size(), 4); // the header and three rows
    EXPECT_EQ(best[0], u"レベル2 （★=1）"_s);
    EXPECT_EQ(best[10], u"  90～★"_s);
    EXPECT_EQ(best.filter(u"★"_s).size(), 2);
    // A run recorded meanwhile by another station shows at the next key stroke.
    appendRecords(resultPath(), {run(9, 2, 12)});
    key(screen, Qt::Key_Return);
    EXPECT_EQ(listLines(screen, u"List3"_s).value(0), u"レベル2 今まで4回  （★=1）"_s);
    EXPECT_EQ(listLines(screen, u"List3"_s).value(2), u"  10～★"_s);
}

TEST_F(FrmTimeDataTest, AClickOnTheFixedRowOrColumnPicksTheNearestCell) {
    FrmTimeData* screen = open();
    const std::pair<std::pair<int, int>, std::pair<int, int>> clicks[] = {
        {{0, 0}, {1, 1}}, {{0, 5}, {1, 5}}, {{6, 0}, {6, 1}}, {{3, 4}, {3, 4}}};
    for (const auto& [clicked, current] : clicks) {
        screen->gridClick(clicked.first, clicked.second);
        EXPECT_EQ(cell(screen), current);
        EXPECT_EQ(editor(screen)->text(), screen->cellText(current.first, current.second));
    }
}

} // namespace
} // namespace mirai::test
