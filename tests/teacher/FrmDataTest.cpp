// The record maintenance screen driven as a teacher uses it: open a line, change it, save it, delete
// it, go back.

#include "FrmData.h"

#include "NumberText.h"
#include "ScreenFixture.h"
#include "seisekitime1.h"

#include <QComboBox>
#include <QFileInfo>
#include <QLineEdit>
#include <QListView>
#include <QPushButton>
#include <QScrollBar>
#include <QTest>
#include <QtEndian>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

class FrmDataTest : public TeacherScreenFixture {
protected:
    FrmData* open(const std::vector<RawRecord>& records) {
        writeRecords(resultPath(), records);
        return show<FrmData>(screens::FrmData());
    }
    QStringList lines(FrmData* screen) {
        QStringList result;
        for (int row = 0; row < screen->records().rowCount(); ++row)
            result.append(screen->records().line(row));
        return result;
    }
    QListView* list(FrmData* screen) { return control<QListView>(screen, u"List1"_s); }
    int currentRow(FrmData* screen) { return list(screen)->currentIndex().row(); }
    // Enter on a line, as a double-click does.
    void openLine(FrmData* screen, int row) {
        list(screen)->setCurrentIndex(screen->records().index(row));
        QTest::keyClick(list(screen), Qt::Key_Return);
        ASSERT_TRUE(screen->editing());
    }
    QLineEdit* seconds(FrmData* screen) { return control<QLineEdit>(screen, u"Text1(1)"_s); }
    QComboBox* student(FrmData* screen) { return control<QComboBox>(screen, u"Combo1"_s); }
    void click(FrmData* screen, const QString& button) { control<QPushButton>(screen, button)->click(); }

    static RawRecord timed(int student, int level, std::int32_t seconds, QTime time) {
        RawRecord record = run(student, level, seconds);
        record.time = time;
        return record;
    }
};

TEST_F(FrmDataTest, OpensWithEveryRecordAsALineAndTheNewestCurrent) {
    FrmData* screen = open({timed(7, 1, 95, QTime(9, 5, 7)), timed(8, 2, 99999, QTime(13, 0, 0)),
                            timed(42, 1, 60, QTime(15, 30, 0))});
    ASSERT_NE(screen, nullptr);
    const QString site = state->SiteName;
    EXPECT_EQ(lines(screen),
              (QStringList{u"   1 2026/12/09　  9:05:07ﾚﾍﾞﾙ1　   95秒 　   7 山田花子　　 小３++"_s + site,
                           u"   2 2026/12/09　 13:00:00ﾚﾍﾞﾙ2　99999秒 　   8 佐藤一郎　　 小４++"_s + site,
                           u"   3 2026/12/09　 15:30:00ﾚﾍﾞﾙ1　   60秒 　  42 　　　　　 ++"_s + site}));
    EXPECT_EQ(labelText(screen, u"Label5"_s), u"ダブルクリックすると変更、消去できます"_s);
    EXPECT_EQ(control<QPushButton>(screen, u"Command4"_s)->text(), u"戻る"_s);
    EXPECT_FALSE(screen->editing());
    EXPECT_EQ(currentRow(screen), 2);
    EXPECT_TRUE(list(screen)->uniformItemSizes());
    EXPECT_EQ(student(screen)->count(), 3);
    EXPECT_EQ(student(screen)->itemText(0), u"7 /  山田花子"_s);
    EXPECT_FALSE(control<QPushButton>(screen, u"Command2"_s)->isEnabled());
    EXPECT_FALSE(control<QWidget>(screen, u"Picture1"_s)->isVisible());
}

TEST_F(FrmDataTest, OpeningALineFillsTheStrip) {
    FrmData* screen = open({run(7, 1, 95), run(8, 2, 99999), run(7, 2, 45)});
    openLine(screen, 1);
    EXPECT_EQ(screen->selectedRecordNumber(), 2);
    EXPECT_EQ(labelText(screen, u"Label1"_s), u"2"_s);
    EXPECT_EQ(labelText(screen, u"Label2(1)"_s), u"ﾚﾍﾞﾙ2"_s);
    EXPECT_EQ(labelText(screen, u"Label2(2)"_s), u"2026/12/09"_s);
    EXPECT_EQ(labelText(screen, u"Label2(4)"_s), u"小４"_s);
    EXPECT_EQ(labelText(screen, u"Label2(0)"_s), u"秒"_s);
    EXPECT_EQ(student(screen)->currentText(), u"8 /  佐藤一郎"_s);
    // A time-out cannot be shown on the bar: the bar sits at its end, the text keeps the value.
    EXPECT_EQ(seconds(screen)->text(), u"99999"_s);
    EXPECT_EQ(control<QScrollBar>(screen, u"VScroll1"_s)->value(), 6000);
    EXPECT_TRUE(control<QPushButton>(screen, u"Command2"_s)->isEnabled());
    EXPECT_TRUE(control<QPushButton>(screen, u"Command3"_s)->isEnabled());
    EXPECT_EQ(screen->recordBuffer(), recordAt(resultBytes(), 2));

    // Saved unchanged, the time-out stays a time-out.
    const QByteArray before = resultBytes();
    click(screen, u"Command2"_s);
    EXPECT_EQ(resultBytes(), before);
    EXPECT_FALSE(screen->editing());
    EXPECT_EQ(currentRow(screen), 1);
}

TEST_F(FrmDataTest, TheScrollBarSetsTheSecondsAndTheComboTheGrade) {
    FrmData* screen = open({run(7, 1, 95)});
    openLine(screen, 0);
    auto* bar = control<QScrollBar>(screen, u"VScroll1"_s);
    EXPECT_EQ(bar->value(), 95);
    bar->setValue(120);
    EXPECT_EQ(seconds(screen)->text(), u"120"_s);
    seconds(screen)->setText(u"4000"_s);
    EXPECT_EQ(bar->value(), 120); // typing does not move the bar
    QComboBox* combo = student(screen);
    combo->setCurrentIndex(1);
    Q_EMIT combo->activated(1);
    EXPECT_EQ(labelText(screen, u"Label2(4)"_s), u"小４"_s);
    combo->setEditText(u"1 /  ★山口先生"_s);
    QTest::keyClick(combo->lineEdit(), Qt::Key_Return);
    EXPECT_EQ(labelText(screen, u"Label2(4)"_s), QString()); // grade 40: no label
    EXPECT_TRUE(seconds(screen)->hasFocus() || !screen->isActiveWindow());
}

TEST_F(FrmDataTest, SavesRoundTheSecondsAndChangeOnlyTheTwoFields) {
    struct Case {
        QString student, seconds;
        std::int16_t wantStudent;
        std::int32_t wantSeconds;
        QString nameOnLine;
    };
    const Case cases[] = {
        {u"7 /  山田花子"_s, u"12.5"_s, 7, 12, u"山田花子　　 小３"_s},
        {u"7 /  山田花子"_s, u"13.5"_s, 7, 14, u"山田花子　　 小３"_s},
        {u"7 /  山田花子"_s, u"はやい"_s, 7, 0, u"山田花子　　 小３"_s},
        {u"8 /  佐藤一郎"_s, u"100000"_s, 8, 100000, u"佐藤一郎　　 小４"_s},
        {u"4999 / 名簿にない"_s, u"61"_s, 4999, 61, u"　　　　　 ++"_s},
    };
    for (const Case& c : cases) {
        RawRecord odd = run(7, 2, 300);
        QByteArray bytes = rawRecordBytes({run(7, 1, 95), odd, run(8, 1, 50)});
        bytes.replace(44 + 39, 5, QByteArray("\x01\x02\x03\x04\x05", 5)); // a spare field that is not blank
        bytes.replace(44 + 29, 5, QByteArray("zz   ", 5));
        writeBytes(resultPath(), bytes);
        FrmData* screen = show<FrmData>(screens::FrmData());
        openLine(screen, 1);
        student(screen)->setEditText(c.student);
        seconds(screen)->setText(c.seconds);
        click(screen, u"Command2"_s);
        EXPECT_TRUE(platform.messages.shown.empty()) << c.seconds.toStdString();
        QByteArray expected = bytes;
        qToLittleEndian(c.wantStudent, expected.data() + 44 + 16);
        qToLittleEndian(c.wantSeconds, expected.data() + 44 + 20);
        EXPECT_EQ(resultBytes(), expected) << c.seconds.toStdString();
        EXPECT_FALSE(screen->editing());
        EXPECT_EQ(currentRow(screen), 1);
        const QString line = screen->records().line(1);
        EXPECT_TRUE(line.contains(rightAligned(QString::number(c.wantSeconds), 5) + u"秒"_s))
            << line.toStdString();
        EXPECT_TRUE(line.contains(c.nameOnLine)) << line.toStdString();
        platform.screens.close(screens::FrmData());
        settle();
    }
}

TEST_F(FrmDataTest, AnEditAfterARecordOfLevelZeroChangesTheRightRecord) {
    FrmData* screen = open({run(7, 1, 95), run(7, 0, 0), run(8, 1, 50), run(7, 2, 70)});
    const QByteArray before = resultBytes();
    ASSERT_EQ(screen->records().rowCount(), 3);
    openLine(screen, 1); // the second line shows record 3
    EXPECT_EQ(screen->selectedRecordNumber(), 3);
    seconds(screen)->setText(u"77"_s);
    click(screen, u"Command2"_s);
    QByteArray expected = before;
    qToLittleEndian<std::int32_t>(77, expected.data() + 2 * 44 + 20);
    EXPECT_EQ(resultBytes(), expected);
    EXPECT_EQ(currentRow(screen), 1);
    EXPECT_TRUE(screen->records().line(1).startsWith(u"   3 "_s));
}

TEST_F(FrmDataTest, ARefusedSaveTellsWhyAndLeavesTheFileAsItWas) {
    struct Case {
        QString student, seconds, says;
    };
    const Case cases[] = {
        {u"山田花子"_s, u"10"_s, u"「/」"_s},
        {u"5001 / 山田花子"_s, u"10"_s, u"0 から 5000"_s},
        {u"-2 / 山田花子"_s, u"10"_s, u"0 から 5000"_s},
        {u"7 /  山田花子"_s, u"-3"_s, u"マイナス"_s},
        {u"7 /  山田花子"_s, u"2147483648"_s, u"大きすぎます"_s},
    };
    FrmData* screen = open({run(7, 1, 95), run(8, 2, 60)});
    const QByteArray before = resultBytes();
    openLine(screen, 0);
    for (const Case& c : cases) {
        platform.messages.shown.clear();
        student(screen)->setEditText(c.student);
        seconds(screen)->setText(c.seconds);
        click(screen, u"Command2"_s);
        ASSERT_EQ(platform.messages.shown.size(), 1u) << c.says.toStdString();
        EXPECT_TRUE(platform.messages.shown[0].text.contains(c.says))
            << platform.messages.shown[0].text.toStdString();
        EXPECT_EQ(resultBytes(), before);
        EXPECT_TRUE(screen->editing()); // what was typed stays for a correction
    }
}

TEST_F(FrmDataTest, ARecordChangedElsewhereIsNotOverwritten) {
    FrmData* screen = open({run(7, 1, 95), run(8, 2, 60)});
    openLine(screen, 1);
    // Another teacher's station deletes the first record meanwhile.
    const QByteArray now = recordAt(resultBytes(), 2);
    writeBytes(resultPath(), now);
    seconds(screen)->setText(u"33"_s);
    click(screen, u"Command2"_s);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(u"もうありません"_s));
    EXPECT_EQ(resultBytes(), now);
    EXPECT_EQ(screen->records().rowCount(), 1);
    EXPECT_FALSE(screen->editing());
}

TEST_F(FrmDataTest, DeleteAsksAndSelectsTheRecordThatTookThePlace) {
    FrmData* screen = open({run(7, 1, 10), run(7, 1, 20), run(7, 1, 30), run(7, 1, 40)});
    const QByteArray before = resultBytes();
    openLine(screen, 1);
    platform.messages.scriptAnswers({MessageAnswer::Cancel});
    click(screen, u"Command3"_s);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, u"本当に消去しますか"_s);
    EXPECT_EQ(platform.messages.shown[0].title, u"注意"_s);
    EXPECT_EQ(platform.messages.shown[0].buttons, MessageButtons::OkCancel);
    EXPECT_EQ(resultBytes(), before);
    EXPECT_TRUE(screen->editing());

    platform.messages.scriptAnswers({MessageAnswer::Ok});
    click(screen, u"Command3"_s);
    EXPECT_EQ(resultBytes(), recordAt(before, 1) + recordAt(before, 3) + recordAt(before, 4));
    EXPECT_FALSE(screen->editing());
    EXPECT_EQ(currentRow(screen), 1);
    EXPECT_TRUE(screen->records().line(1).contains(u"   30秒"_s));
    EXPECT_FALSE(QFileInfo::exists(copyPath()));
}

TEST_F(FrmDataTest, DeletingTheLastLineSelectsTheNewLastAndTheOnlyOneLeavesAnEmptyFile) {
    // Files of several lengths: after the last line goes, the new last line is current (with
    // two records the first and the last are the same line, so longer files tell them apart).
    for (const int count : {2, 3, 5}) {
        SCOPED_TRACE(count);
        std::vector<RawRecord> records;
        for (int i = 1; i <= count; ++i)
            records.push_back(run(7, 1, 10 * i));
        platform.screens.closeAll();
        FrmData* screen = open(records);
        openLine(screen, count - 1);
        platform.messages.scriptAnswers({MessageAnswer::Ok});
        click(screen, u"Command3"_s);
        ASSERT_EQ(screen->records().rowCount(), count - 1);
        EXPECT_EQ(currentRow(screen), count - 2);
        EXPECT_TRUE(screen->records().line(currentRow(screen)).contains(u"%1秒"_s.arg(10 * (count - 1), 5)));
    }
    // Down to the only record: its delete leaves an empty file, which stays.
    while (platform.screens.find<FrmData>(screens::FrmData())->records().rowCount() > 0) {
        FrmData* screen = platform.screens.find<FrmData>(screens::FrmData());
        openLine(screen, 0);
        platform.messages.scriptAnswers({MessageAnswer::Ok});
        click(screen, u"Command3"_s);
    }
    FrmData* screen = platform.screens.find<FrmData>(screens::FrmData());
    EXPECT_EQ(currentRow(screen), -1);
    EXPECT_TRUE(QFileInfo::exists(resultPath()));
    EXPECT_EQ(QFileInfo(resultPath()).size(), 0);
    for (const ShownMessage& message : platform.messages.shown)
        EXPECT_EQ(message.text, u"本当に消去しますか"_s); // the questions, nothing else
}

TEST_F(FrmDataTest, EscapeAndCancelCloseTheStripWithoutWriting) {
    FrmData* screen = open({run(7, 1, 10), run(8, 1, 20)});
    const QByteArray before = resultBytes();
    openLine(screen, 0);
    seconds(screen)->setText(u"99"_s);
    QTest::keyClick(seconds(screen), Qt::Key_Escape);
    EXPECT_FALSE(screen->editing());
    openLine(screen, 1);
    click(screen, u"Command6"_s);
    EXPECT_FALSE(screen->editing());
    // A click on the list closes it too.
    openLine(screen, 0);
    list(screen)->setCurrentIndex(screen->records().index(1));
    EXPECT_FALSE(screen->editing());
    EXPECT_EQ(resultBytes(), before);
}

TEST_F(FrmDataTest, RecordNumbersBeyondTenThousandKeepTheirRecords) {
    std::vector<RawRecord> records(10'002, run(7, 1, 60));
    records[10'000].seconds = 123;
    FrmData* screen = open(records);
    ASSERT_EQ(screen->records().rowCount(), 10'002);
    EXPECT_TRUE(screen->records().line(10'000).startsWith(u"0001 "_s));
    openLine(screen, 10'000);
    EXPECT_EQ(screen->selectedRecordNumber(), 10'001);
    EXPECT_EQ(seconds(screen)->text(), u"123"_s);
    platform.messages.scriptAnswers({MessageAnswer::Ok});
    click(screen, u"Command3"_s);
    EXPECT_EQ(QFileInfo(resultPath()).size(), 10'001 * 44);
    EXPECT_EQ(storedFields(resultBytes(), 10'001).seconds, 60);
    EXPECT_EQ(currentRow(screen), 10'000);
}

TEST_F(FrmDataTest, TheCsvButtonWritesEveryRecordWhereTheTeacherChooses) {
    FrmData* screen = open({run(7, 1, 95), run(8, 0, 10), run(8, 2, 99999)});
    auto* button = control<QPushButton>(screen, u"CommandCsv"_s);
    EXPECT_EQ(button->text(), u"CSV出力"_s);
    const QString path = tree.root() + u"成績.csv"_s;
    struct Case {
        QString answer; // of the save dialog; empty: cancelled
        bool written;
        QString says;
    };
    const Case cases[] = {
        {QString(), false, QString()},
        {tree.root() + u"ない/成績.csv"_s, false,
         u"CSVファイルを書き出せませんでした。書きかけのファイルは残っていません。"_s},
        {path, true, u"3件の記録をCSVファイルに書き出しました。"_s},
    };
    for (const Case& c : cases) {
        platform.messages.shown.clear();
        platform.files.scriptAnswers({c.answer});
        button->click();
        ASSERT_FALSE(platform.files.asked.empty());
        EXPECT_TRUE(platform.files.asked.back().proposed.endsWith(u"成績一覧_20261209.csv"_s));
        EXPECT_EQ(platform.files.asked.back().filter, u"CSV (*.csv)"_s);
        EXPECT_EQ(QFileInfo::exists(c.answer), c.written) << c.answer.toStdString();
        if (c.says.isEmpty()) {
            EXPECT_TRUE(platform.messages.shown.empty());
            continue;
        }
        ASSERT_EQ(platform.messages.shown.size(), 1u);
        EXPECT_TRUE(platform.messages.shown[0].text.startsWith(c.says))
            << platform.messages.shown[0].text.toStdString();
        EXPECT_TRUE(platform.messages.shown[0].text.contains(c.answer));
    }
    const QList<QByteArray> lines = readBytes(path).split('\n');
    ASSERT_EQ(lines.size(), 5); // the header, three records and the end
    EXPECT_TRUE(lines[2].startsWith("2,\"2026/12/09\",\"9:00:00\",0,10,"));
    EXPECT_TRUE(lines[3].contains(",\"○\","));
}

TEST_F(FrmDataTest, BackOpensAFreshHubAndClosesTheScreen) {
    FrmData* screen = open({run(7, 1, 10)});
    QPointer<FrmData> guard(screen);
    click(screen, u"Command4"_s);
    ASSERT_TRUE(hub);
    EXPECT_EQ(hub->activations, 1);
    EXPECT_EQ(platform.screens.current(), screens::seisekitime1());
    EXPECT_FALSE(platform.screens.isLoaded(screens::FrmData()));
    settle();
    EXPECT_FALSE(guard);
}

// The real hub: the password panel opens the screens, and they come back to a hub built anew.
class TeacherWayTest : public TeacherScreenFixture {
protected:
    void SetUp() override {
        registerResultsScreen(platform.screens, ctx());
        TeacherScreenFixture::SetUp();
    }
    seisekitime1* openHub() { return show<seisekitime1>(screens::seisekitime1()); }
    void enterPassword(seisekitime1* hub, int which) {
        hub->command8Click();
        control<QLineEdit>(hub, u"Text3"_s)->setText(u"abc"_s);
        hub->command10Click(which);
    }
};

TEST_F(TeacherWayTest, ThePasswordOpensEachScreenAndBackBuildsTheHubAgain) {
    for (const QString& name : {screens::FrmData(), screens::FrmTimeData()}) {
        QPointer<seisekitime1> first = openHub();
        ASSERT_TRUE(first);
        enterPassword(first, name == screens::FrmData() ? 0 : 1);
        EXPECT_EQ(platform.screens.current(), name);
        EXPECT_FALSE(platform.screens.isLoaded(screens::seisekitime1()));
        settle();
        EXPECT_FALSE(first);
        Screen* teacher = platform.screens.find(name);
        ASSERT_NE(teacher, nullptr);
        control<QPushButton>(teacher, u"Command4"_s)->click();
        EXPECT_EQ(platform.screens.current(), screens::seisekitime1());
        EXPECT_FALSE(platform.screens.isLoaded(name));
        auto* again = platform.screens.find<seisekitime1>(screens::seisekitime1());
        ASSERT_NE(again, nullptr);
        EXPECT_TRUE(control<QPushButton>(again, u"Command8"_s)->isVisible());
        platform.screens.close(screens::seisekitime1());
        settle();
    }
    EXPECT_TRUE(platform.messages.shown.empty());
}

} // namespace
} // namespace mirai::test
