#include "Files.h"
#include "FormPrint0.h"
#include "PrintFixture.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "UiDoubles.h"
#include "frmPrint.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

// A teacher's station at 10:00 on 9 December 2026 whose print source holds 12 problems of
// level 1 and 8 of level 2.
class PrintScreensTest : public ::testing::Test {
protected:
    void SetUp() override {
        state->AppFolder = tree.appFolder();
        state->ProgramTitle = u"みらいドリル"_s;
        writeSource(sourceLines(1, 12) + sourceLines(2, 8, 101));
        const Context ctx{*state, platform};
        platform.screens.registerScreen(screens::FormPrint0(),
                                        [ctx, this] { return new FormPrint0(ctx, print); });
        platform.screens.registerScreen(screens::frmPrint(),
                                        [ctx, this] { return new frmPrint(ctx, print); });
    }
    void writeSource(const QStringList& lines) { writeTextFile(sourcePath(), lines); }
    QString sourcePath() const { return tree.appFolder() + u"プロト.csv"_s; }

    FormPrint0* openPreparation() {
        platform.screens.show(screens::FormPrint0());
        return platform.screens.find<FormPrint0>(screens::FormPrint0());
    }
    frmPrint* printScreen() const { return platform.screens.find<frmPrint>(screens::frmPrint()); }
    template <class T = QWidget> T* control(QWidget* screen, const QString& name) {
        T* widget = screen ? screen->findChild<T*>(name) : nullptr;
        EXPECT_NE(widget, nullptr) << name.toStdString();
        return widget;
    }
    void click(QWidget* screen, const QString& name) {
        if (auto* button = control<QAbstractButton>(screen, name))
            button->click();
    }
    // Levels chosen in the list as a teacher does with Shift.
    void chooseLevels(FormPrint0* form, std::initializer_list<int> levels) {
        auto* list = control<QListWidget>(form, u"List1"_s);
        list->clearSelection();
        for (int level : levels)
            list->item(level - 1)->setSelected(true);
    }
    // The print screen opened from the preparation with levels 1 and 2 and the given option.
    frmPrint* openPrintScreen(int option = 5) {
        FormPrint0* form = openPreparation();
        chooseLevels(form, {1, 2});
        click(form, u"Option1(%1)"_s.arg(option));
        click(form, u"Command1"_s);
        return printScreen();
    }
    static int darkest(const QImage& image) {
        int value = 255;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                value = std::min(value, qGray(image.pixel(x, y)));
        return value;
    }
    QStringList messages() const {
        QStringList texts;
        for (const ShownMessage& message : platform.messages.shown)
            texts.append(message.text);
        return texts;
    }

    DataTree tree;
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    std::shared_ptr<PrintState> print = std::make_shared<PrintState>();
    UiTestPlatform platform;
};

TEST_F(PrintScreensTest, ThePreparationScreenOpensWithLevelOneShuffledAndNothingBlanked) {
    platform.random.setValues({0.95, 0.05, 0.5, 0.3, 0.8, 0.1, 0.6});
    FormPrint0* form = openPreparation();
    ASSERT_NE(form, nullptr);
    auto* label1 = control<QLabel>(form, u"Label1"_s);
    EXPECT_EQ(label1->text(), u"印刷設定"_s);
    EXPECT_DOUBLE_EQ(label1->font().pointSizeF(), 27.75);
    EXPECT_EQ(label1->palette().color(QPalette::Window), QColor(255, 128, 0));
    EXPECT_EQ(control<QLabel>(form, u"Label2"_s)->text(), u"レベルを選んでください"_s);
    EXPECT_EQ(control<QLabel>(form, u"Label3"_s)->text(),
              u"Shiftを押しながら選ぶと複数選択できます(そのうち15問が印刷されます)"_s);
    auto* list = control<QListWidget>(form, u"List1"_s);
    EXPECT_EQ(list->selectionMode(), QAbstractItemView::ExtendedSelection);
    QStringList items;
    for (int i = 0; i < list->count(); ++i)
        items.append(list->item(i)->text() + (list->item(i)->isSelected() ? u"*"_s : QString()));
    EXPECT_EQ(items, (QStringList{u"1*"_s, u"2"_s, u"3"_s, u"4"_s, u"5"_s, u"6"_s, u"7"_s, u"8"_s}));
    const QStringList captions{u"すべて印刷"_s, u"問題一カ所"_s, u"問題二カ所"_s, u"ことわざ部分を一つ消す"_s,
                               u"ことわざ部分を二つ消す"_s};
    for (int i = 1; i <= 5; ++i) {
        auto* option = control<QRadioButton>(form, u"Option1(%1)"_s.arg(i));
        EXPECT_EQ(option->text(), captions[i - 1]);
        EXPECT_EQ(option->isChecked(), i == 1);
    }
    EXPECT_EQ(control<QCheckBox>(form, u"Check1"_s)->text(), u"順序を変える"_s);
    EXPECT_TRUE(control<QCheckBox>(form, u"Check1"_s)->isChecked());
    EXPECT_EQ(control<QPushButton>(form, u"Command3"_s)->text(), u"再並べ替え"_s);
    EXPECT_EQ(control<QPushButton>(form, u"Command1"_s)->text(), u"印刷へ"_s);
    EXPECT_EQ(control<QPushButton>(form, u"Command2"_s)->text(), u"もどる"_s);

    // Prepared on opening: level 1 only, shuffled, 4 columns.
    EXPECT_EQ(print->SelectedProblemCount, 12);
    EXPECT_EQ(print->TableColumnCount, 4);
    EXPECT_EQ(platform.random.drawn(), 48u);
    QStringList fileOrder;
    for (int i = 1; i <= 12; ++i)
        fileOrder.append(u"p%1"_s.arg(i));
    EXPECT_NE(columnTexts(*print, 2, 12), fileOrder);
    EXPECT_TRUE(messages().isEmpty());
}

TEST_F(PrintScreensTest, EveryChoicePreparesAgainAndReshufflingGivesANewOrder) {
    FormPrint0* form = openPreparation();
    chooseLevels(form, {1, 2});
    EXPECT_EQ(print->SelectedProblemCount, 20);
    click(form, u"Option1(5)"_s);
    EXPECT_EQ(print->TableColumnCount, 6);
    EXPECT_TRUE(print->PrintTable(3, 1).isEmpty());
    click(form, u"Check1"_s); // no shuffle: file order
    QStringList fileOrder;
    for (int i = 1; i <= 12; ++i)
        fileOrder.append(u"p%1"_s.arg(i));
    for (int i = 101; i <= 108; ++i)
        fileOrder.append(u"p%1"_s.arg(i));
    EXPECT_EQ(columnTexts(*print, 2, 20), fileOrder);

    click(form, u"Check1"_s);
    platform.random.setValues({0.13, 0.71, 0.42, 0.05, 0.88, 0.37, 0.64, 0.29, 0.93, 0.51, 0.18});
    click(form, u"Command3"_s);
    const QStringList first = columnTexts(*print, 2, 20);
    click(form, u"Command3"_s);
    const QStringList second = columnTexts(*print, 2, 20);
    EXPECT_NE(first, second);
    for (QStringList order : {first, second}) {
        order.sort();
        QStringList sorted = fileOrder;
        sorted.sort();
        EXPECT_EQ(order, sorted);
    }
}

TEST_F(PrintScreensTest, AMissingSourceIsToldOnceNamingTheFile) {
    QFile::remove(sourcePath());
    FormPrint0* form = openPreparation();
    EXPECT_EQ(messages(),
              QStringList{u"印刷する問題のファイルが見つからないか、読めません。\n"_s + sourcePath()});
    EXPECT_EQ(print->SelectedProblemCount, 0);
    chooseLevels(form, {2});
    click(form, u"Command3"_s);
    EXPECT_EQ(messages().size(), 1);
    // Put back, it is read at the next choice.
    writeSource(sourceLines(2, 3));
    click(form, u"Command3"_s);
    EXPECT_EQ(print->SelectedProblemCount, 3);
    EXPECT_EQ(messages().size(), 1);
}

TEST_F(PrintScreensTest, WithoutAPrinterPrintWritesAPdfWhereTheTeacherChose) {
    frmPrint* screen = openPrintScreen(5);
    ASSERT_NE(screen, nullptr);
    EXPECT_EQ(platform.screens.current(), screens::frmPrint());
    EXPECT_TRUE(platform.screens.isVisible(screens::FormPrint0())) << "the preparation stays open beside it";
    EXPECT_EQ(control<QLabel>(screen, u"LabelPrinter"_s)->text(),
              u"プリンターがないため、「印刷」でPDFファイルに保存します。"_s);
    auto* picture1 = control(screen, u"Picture1"_s);
    EXPECT_EQ(picture1->geometry(), QRect(246, 21, 515, 728));
    EXPECT_FALSE(control(screen, u"Check1"_s)->isVisible());
    EXPECT_FALSE(control(screen, u"Check2"_s)->isVisible());
    EXPECT_TRUE(control<QCheckBox>(screen, u"Check2"_s)->isChecked());
    EXPECT_LT(darkest(screen->previewImage()), 100) << "the sheet is drawn on the preview";

    click(screen, u"Command9"_s);
    const QString proposed = QDir(QDir::homePath()).filePath(u"みらいドリル/プリント_20261209-100000.pdf"_s);
    ASSERT_EQ(platform.files.asked.size(), 1u);
    EXPECT_EQ(platform.files.asked[0].title, u"PDFファイルに保存"_s);
    EXPECT_EQ(platform.files.asked[0].proposed, proposed);
    EXPECT_EQ(platform.files.asked[0].filter, u"PDF (*.pdf)"_s);
    ASSERT_EQ(platform.printing.documents.size(), 1u);
    const DrawingLog& page = *platform.printing.documents[0];
    EXPECT_EQ(page.pdfPath, proposed);
    EXPECT_TRUE(page.ended);
    EXPECT_FALSE(page.discarded);
    EXPECT_EQ(page.pageCount(), 1);
    for (const QString& text : {u"１列目"_s, u"５列目"_s, u"①"_s, u"⑮"_s})
        EXPECT_TRUE(page.texts().contains(text)) << text.toStdString();
    EXPECT_EQ(page.ofKind(DrawOp::Line).size(), 17u + 7u);
    EXPECT_EQ(messages(), QStringList{u"PDFファイルに保存しました。\n"_s + proposed});
    // Back on the preview.
    EXPECT_EQ(screen->engine().ToPrinter, 0);
    EXPECT_FALSE(control<QCheckBox>(screen, u"Check1"_s)->isChecked());
    EXPECT_LT(darkest(screen->previewImage()), 100);
}

struct OutputCase {
    const char* name;
    bool printer;
    bool cancelDialog;
    bool failEnd;
    std::vector<QString> saveAnswers; // answers of the save dialog
    int documents;
    bool ended;
    QString pdfPath; // of the document
    QString message; // the start of the one message, or empty for none
};
void PrintTo(const OutputCase& c, std::ostream* out) {
    *out << c.name;
}

class PrintOutputs : public PrintScreensTest, public ::testing::WithParamInterface<OutputCase> {};

TEST_P(PrintOutputs, GoWhereTheStationCanPrint) {
    const OutputCase& c = GetParam();
    platform.printing.printerInstalled = c.printer;
    platform.printing.cancelDialog = c.cancelDialog;
    platform.printing.failEnd = c.failEnd;
    for (const QString& answer : c.saveAnswers)
        platform.files.scriptAnswers({answer});
    frmPrint* screen = openPrintScreen(1);
    if (c.printer) {
        EXPECT_EQ(control<QLabel>(screen, u"LabelPrinter"_s)->text(),
                  u"「印刷」で印刷の画面が開きます。\nPDFファイルにも保存できます。"_s);
    }
    click(screen, u"Command9"_s);

    ASSERT_EQ(static_cast<int>(platform.printing.documents.size()), c.documents);
    if (c.documents > 0) {
        EXPECT_EQ(platform.printing.documents[0]->ended, c.ended);
        EXPECT_EQ(platform.printing.documents[0]->pdfPath, c.pdfPath);
    }
    EXPECT_EQ(platform.files.asked.size(), c.saveAnswers.size());
    if (c.message.isEmpty()) {
        EXPECT_TRUE(messages().isEmpty()) << messages().join(u'|').toStdString();
    } else {
        ASSERT_EQ(messages().size(), 1);
        EXPECT_TRUE(messages()[0].startsWith(c.message)) << messages()[0].toStdString();
    }
    EXPECT_EQ(screen->engine().ToPrinter, 0);
    EXPECT_FALSE(screen->isPrinting());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrintOutputs,
    ::testing::Values(
        OutputCase{"Printer", true, false, false, {}, 1, true, QString(), QString()},
        OutputCase{"PrintDialogCancelled", true, true, false, {}, 0, false, QString(), QString()},
        OutputCase{"PrinterRefuses",
                   true,
                   false,
                   true,
                   {},
                   1,
                   false,
                   QString(),
                   u"印刷できませんでした。\nprinter refused"_s},
        OutputCase{"SaveDialogCancelled", false, false, false, {QString()}, 0, false, QString(), QString()},
        OutputCase{"NameWithoutSuffix",
                   false,
                   false,
                   false,
                   {u"/tmp/プリント/シート"_s},
                   1,
                   true,
                   u"/tmp/プリント/シート.pdf"_s,
                   u"PDFファイルに保存しました。\n/tmp/プリント/シート.pdf"_s},
        OutputCase{"PdfNotWritten",
                   false,
                   false,
                   true,
                   {u"/tmp/a.pdf"_s},
                   1,
                   false,
                   u"/tmp/a.pdf"_s,
                   u"PDFファイルを保存できませんでした。\n/tmp/a.pdf\nprinter refused"_s}),
    [](const ::testing::TestParamInfo<OutputCase>& info) { return std::string(info.param.name); });

TEST_F(PrintScreensTest, ClosingWhileThePageIsDrawnDiscardsTheDocument) {
    frmPrint* screen = openPrintScreen(3);
    int pumpsWhilePrinting = 0;
    platform.events.onPump = [&] {
        if (screen->isPrinting() && ++pumpsWhilePrinting == 5)
            click(screen, u"Command8"_s);
    };
    click(screen, u"Command9"_s);
    ASSERT_EQ(platform.printing.documents.size(), 1u);
    EXPECT_TRUE(platform.printing.documents[0]->discarded);
    EXPECT_FALSE(platform.printing.documents[0]->ended);
    EXPECT_LT(platform.printing.documents[0]->texts().size(), 20) << "the drawing stopped";
    EXPECT_TRUE(messages().isEmpty());
    EXPECT_FALSE(platform.screens.isLoaded(screens::frmPrint()));
    EXPECT_TRUE(platform.screens.isVisible(screens::FormPrint0()));
}

TEST_F(PrintScreensTest, PrintScreenAgainAfterNewChoicesRedrawsThePreview) {
    frmPrint* screen = openPrintScreen(1);
    FormPrint0* form = platform.screens.find<FormPrint0>(screens::FormPrint0());
    const QImage fourColumns = screen->previewImage().copy();
    click(form, u"Option1(5)"_s);
    EXPECT_EQ(screen->previewImage(), fourColumns) << "the preview waits for 印刷へ";
    click(form, u"Command1"_s);
    EXPECT_EQ(platform.screens.find<frmPrint>(screens::frmPrint()), screen)
        << "the same screen, brought forward";
    EXPECT_EQ(platform.screens.current(), screens::frmPrint());
    EXPECT_NE(screen->previewImage(), fourColumns);

    // 印刷へ while the preview is being drawn starts the drawing again with the new table.
    bool pressed = false;
    platform.events.onPump = [&] {
        if (pressed)
            return;
        pressed = true;
        click(form, u"Option1(2)"_s);
        click(form, u"Command1"_s);
    };
    click(form, u"Option1(1)"_s);
    click(form, u"Command1"_s);
    platform.events.onPump = nullptr;
    const QImage afterRestart = screen->previewImage().copy();
    screen->RunLayout();
    EXPECT_EQ(afterRestart, screen->previewImage()) << "the finished preview shows the last table whole";
    EXPECT_EQ(print->TableColumnCount, 5);
}

TEST_F(PrintScreensTest, PrintPressedDuringThePreviewPrintsOnceItIsDrawn) {
    FormPrint0* form = openPreparation();
    bool pressed = false;
    platform.events.onPump = [&] {
        frmPrint* screen = printScreen();
        if (pressed || !screen)
            return;
        pressed = true;
        click(screen, u"Command9"_s);
        EXPECT_TRUE(platform.printing.documents.empty()) << "not inside the preview's drawing";
    };
    click(form, u"Command1"_s);
    ASSERT_EQ(platform.printing.documents.size(), 1u);
    EXPECT_TRUE(platform.printing.documents[0]->ended);
    EXPECT_EQ(platform.printing.documents[0]->ofKind(DrawOp::Line).size(), 17u + 5u);
}

TEST_F(PrintScreensTest, BackClosesOnlyItsOwnScreen) {
    frmPrint* screen = openPrintScreen(1);
    FormPrint0* form = platform.screens.find<FormPrint0>(screens::FormPrint0());
    click(form, u"Command2"_s);
    EXPECT_FALSE(platform.screens.isLoaded(screens::FormPrint0()));
    EXPECT_TRUE(platform.screens.isVisible(screens::frmPrint()));
    QTest::keyClick(openPreparation(), Qt::Key_Escape);
    EXPECT_FALSE(platform.screens.isLoaded(screens::FormPrint0()));
    EXPECT_TRUE(platform.screens.isVisible(screens::frmPrint()));
    QTest::keyClick(screen, Qt::Key_Escape);
    EXPECT_FALSE(platform.screens.isLoaded(screens::frmPrint()));
}

} // namespace
} // namespace mirai::test
