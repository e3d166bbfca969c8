// The roster screen driven as a teacher uses it: add students by hand and from a spreadsheet file,
// change, hide and mark them, save, and find out when another station saved first.

#include "FrmRoster.h"

#include "Controls.h"
#include "QtPrinters.h"
#include "RecordFiles.h"
#include "ScreenNames.h"
#include "SetupFixture.h"
#include "SetupScreens.h"
#include "UiDoubles.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTableView>
#include <QTest>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

const QString kRoster = u"1,1990,0,0,\"★山口先生\",0,\"\",\"\"\r\n2,2017,0,0,\"山田花子\",0,\"\",\"\"\r\n"
                        u"3,2016,0,0,\"佐藤一郎\",0,\"\",\"\"\r\n"_s;

// Stands in for the results hub the roster screen returns to.
class HubStandIn : public Screen {};

class FrmRosterTest : public SetupFixture<UiTestPlatform> {
protected:
    void SetUp() override {
        writeBytes(rosterPath(), cp(kRoster));
        // Number 4 has runs but no roster entry any more.
        RawRecord run;
        run.student = 4;
        writeRecords(resultPath(), {run});
        registerSetupScreens(platform.screens, ctx(), tree.appFolder());
        platform.screens.registerScreen(screens::seisekitime1(), [] { return new HubStandIn; });
    }
    FrmRoster* open() {
        platform.screens.show(screens::FrmRoster());
        return platform.screens.find<FrmRoster>(screens::FrmRoster());
    }
    void click(FrmRoster* screen, const QString& button) { control<QPushButton>(screen, button)->click(); }
    void type(FrmRoster* screen, const QString& edit, const QString& text) {
        QLineEdit* field = control<QLineEdit>(screen, edit);
        field->selectAll();
        typeText(field, text);
    }
    void choose(FrmRoster* screen, int row) {
        auto* table = control<QTableView>(screen, u"rosterTable"_s);
        table->setCurrentIndex(table->model()->index(row, 0));
    }
    QStringList rowTexts(FrmRoster* screen, int row) {
        QStringList texts;
        for (int c = 0; c < RosterTableModel::ColumnCount; ++c)
            texts.append(screen->table().text(row, static_cast<RosterTableModel::Column>(c)));
        return texts;
    }
    QString lastMessage() const {
        return platform.messages.shown.empty() ? QString() : platform.messages.shown.back().text;
    }
};

TEST_F(FrmRosterTest, ListsEveryEntryWithNothingChosen) {
    writeBytes(rosterPath(),
               cp(kRoster + u"5,2010,0,0,\"高橋\",1,\"\",\"\"\r\n9999,2010,0,0,\"x\",0,\"\",\"\"\r\n"_s));
    FrmRoster* screen = open();
    ASSERT_EQ(screen->table().rowCount(), 4);
    EXPECT_EQ(rowTexts(screen, 0),
              (QStringList{u"1"_s, u"★山口先生"_s, u"1990"_s, u"大+"_s, u"○"_s, u"★"_s}));
    EXPECT_EQ(rowTexts(screen, 1), (QStringList{u"2"_s, u"山田花子"_s, u"2017"_s, u"小3"_s, u"○"_s, u""_s}));
    EXPECT_EQ(rowTexts(screen, 3), (QStringList{u"5"_s, u"高橋"_s, u"2010"_s, u"高1"_s, u"－"_s, u""_s}));
    EXPECT_EQ(labelText(screen, u"countLabel"_s),
              u"全部で 4 人（名前の一覧に出る人 3 人）　読めない行 1（そのまま残します）"_s);
    EXPECT_EQ(screen->currentRow(), -1);
    EXPECT_FALSE(control<QPushButton>(screen, u"saveButton"_s)->isEnabled());
    EXPECT_FALSE(control<QPushButton>(screen, u"changeButton"_s)->isEnabled());
}

TEST_F(FrmRosterTest, AddsByHandWithTheNextNumberThatHasNoRunsAndSaves) {
    FrmRoster* screen = open();
    type(screen, u"nameEdit"_s, u"鈴木次郎"_s);
    QComboBox* grade = control<QComboBox>(screen, u"gradeCombo"_s);
    grade->setCurrentIndex(grade->findText(u"小1"_s));
    Q_EMIT grade->activated(grade->currentIndex());
    EXPECT_EQ(control<QLineEdit>(screen, u"birthYearEdit"_s)->text(), u"2019"_s);
    EXPECT_EQ(labelText(screen, u"gradeOfYearLabel"_s), u"→ 小1"_s);
    QTest::keyClick(control<QLineEdit>(screen, u"birthYearEdit"_s), Qt::Key_Return);
    type(screen, u"nameEdit"_s, u"鈴木三郎"_s);
    click(screen, u"addButton"_s);
    EXPECT_EQ(rowTexts(screen, 4).mid(0, 4), (QStringList{u"6"_s, u"鈴木三郎"_s, u"2019"_s, u"小1"_s}));
    EXPECT_EQ(labelText(screen, u"statusLabel"_s), u"6番 鈴木三郎 を追加しました。まだ保存していません。"_s);
    EXPECT_EQ(readBytes(rosterPath()), cp(kRoster)) << "nothing written before the save";

    click(screen, u"saveButton"_s);
    EXPECT_EQ(readBytes(rosterPath()), cp(kRoster + u"5,2019,0,0,\"鈴木次郎\",0,\"\",\"\"\r\n"
                                                    u"6,2019,0,0,\"鈴木三郎\",0,\"\",\"\"\r\n"_s));
    EXPECT_EQ(labelText(screen, u"statusLabel"_s), u"保存しました。"_s);
    EXPECT_TRUE(platform.messages.shown.empty());
}

TEST_F(FrmRosterTest, ChangesHidesAndMarksOnlyTheChosenEntries) {
    FrmRoster* screen = open();
    choose(screen, 1);
    EXPECT_EQ(control<QLineEdit>(screen, u"nameEdit"_s)->text(), u"山田花子"_s);
    type(screen, u"nameEdit"_s, u"山田はな"_s);
    type(screen, u"birthYearEdit"_s, u"２０１８"_s);
    click(screen, u"changeButton"_s);
    click(screen, u"listedButton"_s);
    EXPECT_EQ(control<QPushButton>(screen, u"listedButton"_s)->text(), u"一覧に出す"_s);
    choose(screen, 2);
    click(screen, u"teacherButton"_s);
    EXPECT_EQ(rowTexts(screen, 2)[5], u"★"_s);
    click(screen, u"saveButton"_s);
    EXPECT_EQ(readBytes(rosterPath()),
              cp(u"1,1990,0,0,\"★山口先生\",0,\"\",\"\"\r\n2,2018,0,0,\"山田はな\",1,\"\",\"\"\r\n"
                 u"3,2016,0,0,\"★佐藤一郎\",0,\"\",\"\"\r\n"_s));
}

struct RefusalCase {
    const char* name;
    QString typedName;
    QString typedYear;
    QString message; // how the message starts
    bool added;
};

class FrmRosterRefusalTest : public FrmRosterTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(FrmRosterRefusalTest, TellsWhyANameOrYearCannotBeStored) {
    const RefusalCase& c = GetParam();
    FrmRoster* screen = open();
    platform.messages.scriptAnswers({MessageAnswer::Yes});
    type(screen, u"nameEdit"_s, c.typedName);
    type(screen, u"birthYearEdit"_s, c.typedYear);
    click(screen, u"addButton"_s);
    ASSERT_EQ(platform.messages.shown.size(), 1U);
    EXPECT_TRUE(lastMessage().startsWith(c.message)) << lastMessage().toStdString();
    EXPECT_EQ(screen->table().rowCount(), c.added ? 4 : 3);
}

INSTANTIATE_TEST_SUITE_P(
    Typed, FrmRosterRefusalTest,
    ::testing::Values(RefusalCase{"no_name", u"　"_s, u"2016"_s, u"名前を入れてください。"_s, false},
                      RefusalCase{"not_in_cp932", u"𠮷田"_s, u"2016"_s,
                                  u"「𠮷」（U+20BB7）はシフトJISにない文字"_s, false},
                      RefusalCase{"a_quote", u"a\"b"_s, u"2016"_s, u"「\"」は使えません。"_s, false},
                      RefusalCase{"year_not_a_year", u"中村"_s, u"h28"_s, u"生まれ年を西暦4けたで"_s, false},
                      RefusalCase{"year_to_come", u"中村"_s, u"2030"_s, u"生まれ年を西暦4けたで"_s, false},
                      RefusalCase{"long_name_is_warned", QString(21, u'長'), u"2016"_s,
                                  u"名前が20文字をこえています。"_s, true},
                      RefusalCase{"same_name_is_asked", u"山田花子"_s, u"2016"_s,
                                  u"同じ名前の人が、もう名簿にいます（2番）。"_s, true}));

TEST_F(FrmRosterTest, ImportsASpreadsheetAfterAPreview) {
    const QString csv = tree.root() + u"名簿.csv"_s;
    writeBytes(csv, "\xEF\xBB\xBF" + u"名前,学年\r\n中村,小2\r\n,小3\r\n林,小9\r\n小池,中1\r\n"_s.toUtf8());
    platform.files.scriptAnswers({csv});
    FrmRoster* screen = open();
    click(screen, u"importButton"_s);
    ASSERT_TRUE(control<QWidget>(screen, u"importPanel"_s)->isVisible());
    EXPECT_EQ(labelText(screen, u"importTitle"_s),
              u"CSVの取り込み: 名簿.csv（UTF-8（BOM付き）、学年の列から）"_s);
    EXPECT_EQ(labelText(screen, u"importAddTitle"_s), u"追加する人: 2 人"_s);
    auto* added = control<QListWidget>(screen, u"importAddedList"_s);
    ASSERT_EQ(added->count(), 2);
    EXPECT_EQ(added->item(0)->text(), u"    5番　中村　2018年生まれ（小2）"_s);
    EXPECT_EQ(added->item(1)->text(), u"    6番　小池　2013年生まれ（中1）"_s);
    auto* refused = control<QListWidget>(screen, u"importRefusedList"_s);
    ASSERT_EQ(refused->count(), 2);
    EXPECT_EQ(refused->item(0)->text(), u"3行目: ,小3\n　　→ 名前がありません。"_s);
    EXPECT_TRUE(refused->item(1)->text().startsWith(u"4行目: 林,小9\n　　→ 学年「小9」が読めません。"_s));

    click(screen, u"importConfirmButton"_s);
    EXPECT_FALSE(control<QWidget>(screen, u"importPanel"_s)->isVisible());
    EXPECT_EQ(labelText(screen, u"statusLabel"_s), u"2 人を追加しました。まだ保存していません。"_s);
    click(screen, u"saveButton"_s);
    EXPECT_EQ(readBytes(rosterPath()),
              cp(kRoster + u"5,2018,0,0,\"中村\",0,\"\",\"\"\r\n6,2013,0,0,\"小池\",0,\"\",\"\"\r\n"_s));
}

TEST_F(FrmRosterTest, ASaveAfterAnotherStationSavedOverwritesNothing) {
    FrmRoster* screen = open();
    type(screen, u"nameEdit"_s, u"中村"_s);
    type(screen, u"birthYearEdit"_s, u"2016"_s);
    click(screen, u"addButton"_s);
    const QByteArray theirs = cp(kRoster + u"5,2015,0,0,\"別の端末\",0,\"\",\"\"\r\n"_s);
    writeBytes(rosterPath(), theirs);

    platform.messages.scriptAnswers({MessageAnswer::No, MessageAnswer::Yes});
    click(screen, u"saveButton"_s);
    EXPECT_TRUE(lastMessage().startsWith(u"名簿は、この画面を開いた後に、ほかの端末で変更されました。"_s));
    EXPECT_EQ(platform.messages.shown.back().buttons, MessageButtons::YesNo);
    EXPECT_EQ(readBytes(rosterPath()), theirs);
    EXPECT_EQ(screen->table().rowCount(), 4) << "kept after No";

    click(screen, u"saveButton"_s);
    EXPECT_EQ(readBytes(rosterPath()), theirs);
    EXPECT_EQ(screen->table().text(3, RosterTableModel::Name), u"別の端末"_s) << "read again after Yes";
    EXPECT_FALSE(screen->roster().modified());
}

TEST_F(FrmRosterTest, ExportsTheRosterAsASpreadsheetFile) {
    const QString csv = tree.root() + u"出力.csv"_s;
    platform.files.scriptAnswers({csv});
    FrmRoster* screen = open();
    click(screen, u"exportButton"_s);
    EXPECT_EQ(readBytes(csv), "\xEF\xBB\xBF" + u"\"番号\",\"名前\",\"生まれ年\",\"学年\",\"名前一覧\"\r\n"
                                               u"1,\"★山口先生\",1990,\"大+\",\"表示\"\r\n"
                                               u"2,\"山田花子\",2017,\"小3\",\"表示\"\r\n"
                                               u"3,\"佐藤一郎\",2016,\"小4\",\"表示\"\r\n"_s.toUtf8());
    EXPECT_EQ(lastMessage(), u"3 人の名簿をCSVファイルに書き出しました。\r\n"_s + csv);
}

TEST_F(FrmRosterTest, LeavingWithUnsavedChangesAsksFirst) {
    FrmRoster* screen = open();
    type(screen, u"nameEdit"_s, u"中村"_s);
    type(screen, u"birthYearEdit"_s, u"2016"_s);
    click(screen, u"addButton"_s);
    platform.messages.scriptAnswers({MessageAnswer::No, MessageAnswer::Yes});
    click(screen, u"backButton"_s);
    EXPECT_TRUE(platform.screens.isVisible(screens::FrmRoster()));
    click(screen, u"backButton"_s);
    EXPECT_TRUE(platform.screens.isVisible(screens::seisekitime1()));
    EXPECT_FALSE(platform.screens.isLoaded(screens::FrmRoster()));
    EXPECT_EQ(platform.messages.shown.size(), 2U);
    EXPECT_EQ(readBytes(rosterPath()), cp(kRoster));
}

} // namespace
} // namespace mirai::test
