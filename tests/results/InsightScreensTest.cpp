#include "../insight/Answers.h"
#include "AnswerLog.h"
#include "FrmClassGrid.h"
#include "FrmPicture.h"
#include "GraphPanel.h"
#include "GridColours.h"
#include "HubFixture.h"
#include "QtPrintService.h"
#include "QtPrinters.h"

#include <QFile>
#include <QHeaderView>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

// Real PDF files, never a printer: what a station without one does.
class PdfOnlyService final : public PrintService {
public:
    bool hasPrinter() const override { return false; }
    QSizeF pageSizeTwips(PageOrientation orientation) const override {
        return m_real.pageSizeTwips(orientation);
    }
    std::unique_ptr<PrintDocument> openPrinter(PageOrientation, QString*) override { return nullptr; }
    std::unique_ptr<PrintDocument> openPdf(const QString& path, PageOrientation orientation) override {
        return m_real.openPdf(path, orientation);
    }

private:
    QtPrintService m_real;
};

// The output of a poppler tool on a PDF file.
QString poppler(const QString& tool, const QStringList& arguments) {
    QProcess process;
    process.start(tool, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return {};
    return QString::fromUtf8(process.readAllStandardOutput());
}

// MIRAI_KEEP_PDF=<folder> keeps the files for a look.
void keepPdf(const QString& path, const QString& name) {
    const QString folder = qEnvironmentVariable("MIRAI_KEEP_PDF");
    if (folder.isEmpty())
        return;
    QFile::remove(folder + u'/' + name);
    QFile::copy(path, folder + u'/' + name);
}

// The hub's three students have worked on level 1 today: 山田花子 (7) right every time in two
// runs, 佐藤一郎 (8) half right with the point misplaced in one run, 鈴木次郎 (9) three in four
// right with one times-table slip in three runs.
class InsightScreensTest : public HubFixture {
protected:
    void SetUp() override {
        HubFixture::SetUp();
        state->GradeFilterText = u"全学年"_s;
        const std::int32_t today = day(2026, 12, 9);
        std::vector<LoggedAnswer> answers;
        const auto add = [&](int student, std::uint64_t run, std::string_view typed) {
            // 0.7 × 0.08 = 0.056
            answers.push_back(Answer{.student = student, .runDay = today, .run = run, .typed = typed});
        };
        for (const std::uint64_t run : {71u, 72u})
            for (int i = 0; i < 2; ++i)
                add(7, run, "0.056");
        for (const std::string_view typed : {"0.056", "0.56", "0.056", "5.6"})
            add(8, 81, typed);
        add(9, 91, "0.056");
        add(9, 92, "0.056");
        add(9, 93, "0.056");
        add(9, 93, "0.054");
        writeAnswers(answers);
    }

    QString answerLog() const { return tree.dataFolder() + u"解答記録.dat"_s; }
    void writeAnswers(const std::vector<LoggedAnswer>& answers) {
        QByteArray bytes = answerlog::header();
        for (const LoggedAnswer& answer : answers)
            bytes += answerlog::encode(answer);
        writeBytes(answerLog(), bytes);
    }

    // The class grid, opened from the hub by a teacher.
    FrmClassGrid* openGrid() {
        state->StudentName = u"★山口先生"_s;
        seisekitime1* hub = open();
        auto* button = control<QPushButton>(hub, u"classGridButton"_s);
        if (!button || !button->isVisible())
            return nullptr;
        QTest::mouseClick(button, Qt::LeftButton);
        auto* grid = platform.screens.find<FrmClassGrid>(screens::FrmClassGrid());
        EXPECT_EQ(platform.screens.current(), screens::FrmClassGrid());
        return grid;
    }
    QTableView* table(QWidget* grid) { return control<QTableView>(grid, u"gridTable"_s); }
    // The names of the rows, top to bottom, as the table shows them.
    QStringList shownNames(QTableView* view) {
        QStringList names;
        for (int row = 0; row < view->model()->rowCount(); ++row)
            names.append(view->model()->index(row, ClassGridModel::kNameColumn).data().toString());
        return names;
    }
    int columnOf(int level, GridColumn column) {
        return ClassGridModel::kFirstLevelColumn + (level - 1) * kGridColumns + static_cast<int>(column);
    }
    void clickTitle(QTableView* view, int section) {
        QHeaderView* header = view->horizontalHeader();
        QTest::mouseClick(header->viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
                                 header->height() / 2));
    }
    void clickRow(QTableView* view, int row) {
        const QRect cell = view->visualRect(view->model()->index(row, ClassGridModel::kNameColumn));
        QTest::mouseClick(view->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
    }
    FrmPicture* picture() { return platform.screens.find<FrmPicture>(screens::FrmPicture()); }
    // A text of the picture's summary: row 0 answers, 1 % right, 2 point errors, 3 fact errors;
    // column 1 this week .. 3 all time.
    QString summary(QWidget* screen, int row, int column) {
        auto* summaryTable = control<QTableWidget>(screen, u"summaryTable"_s);
        QTableWidgetItem* item = summaryTable ? summaryTable->item(row, column) : nullptr;
        return item ? item->text() : QString();
    }
};

TEST_F(InsightScreensTest, TheGridShowsTheListedStudentsInRosterOrderWithTheirFigures) {
    FrmClassGrid* grid = openGrid();
    ASSERT_NE(grid, nullptr);
    EXPECT_FALSE(grid->reading());
    QTableView* view = table(grid);
    EXPECT_EQ(shownNames(view), (QStringList{u"山田花子"_s, u"佐藤一郎"_s, u"鈴木次郎"_s}));
    EXPECT_EQ(labelText(grid, u"subtitleLabel"_s), u"全学年　3人"_s);
    const QAbstractItemModel* model = view->model();
    EXPECT_EQ(model->index(1, columnOf(1, GridColumn::RunsThisWeek)).data().toString(), u"1"_s);
    EXPECT_EQ(model->index(1, columnOf(1, GridColumn::PercentRight)).data().toString(), u"50%"_s);
    EXPECT_EQ(model->index(1, columnOf(1, GridColumn::PointShare)).data().toString(), u"50%"_s);
    EXPECT_EQ(model->index(2, columnOf(1, GridColumn::FactShare)).data().toString(), u"25%"_s);
    EXPECT_EQ(model->index(2, columnOf(1, GridColumn::RunsThisWeek)).data().toString(), u"3"_s);
    // Level 2 has no answers: no figures.
    EXPECT_EQ(model->index(0, columnOf(2, GridColumn::PercentRight)).data().toString(), u"-"_s);
}

// Clicks on a column title and the order of the names after them.
struct SortCase {
    const char* name;
    int level; // 0: the name column
    GridColumn column;
    int clicks;
    QStringList names;
};

class GridSortTest : public InsightScreensTest, public ::testing::WithParamInterface<SortCase> {};

TEST_P(GridSortTest, AClickOnATitleSortsWhoNeedsHelpFirstAndAnotherTurnsItRound) {
    const SortCase& test = GetParam();
    FrmClassGrid* grid = openGrid();
    ASSERT_NE(grid, nullptr);
    QTableView* view = table(grid);
    const int section = test.level == 0 ? ClassGridModel::kNameColumn : columnOf(test.level, test.column);
    for (int i = 0; i < test.clicks; ++i)
        clickTitle(view, section);
    EXPECT_EQ(shownNames(view), test.names);
}

const QString kYamada = u"山田花子"_s, kSato = u"佐藤一郎"_s, kSuzuki = u"鈴木次郎"_s;

INSTANTIATE_TEST_SUITE_P(
    Titles, GridSortTest,
    ::testing::Values(
        SortCase{"rosterTurnedRound", 0, GridColumn::RunsThisWeek, 1, {kSuzuki, kSato, kYamada}},
        SortCase{"rosterAgain", 0, GridColumn::RunsThisWeek, 2, {kYamada, kSato, kSuzuki}},
        SortCase{"fewestRunsFirst", 1, GridColumn::RunsThisWeek, 1, {kSato, kYamada, kSuzuki}},
        SortCase{"mostRunsFirst", 1, GridColumn::RunsThisWeek, 2, {kSuzuki, kYamada, kSato}},
        SortCase{"lowestRightFirst", 1, GridColumn::PercentRight, 1, {kSato, kSuzuki, kYamada}},
        SortCase{"highestRightFirst", 1, GridColumn::PercentRight, 2, {kYamada, kSuzuki, kSato}},
        SortCase{
            "mostPointErrorsFirstTiesInRosterOrder", 1, GridColumn::PointShare, 1, {kSato, kYamada, kSuzuki}},
        SortCase{"fewestPointErrorsFirst", 1, GridColumn::PointShare, 2, {kYamada, kSuzuki, kSato}},
        SortCase{"mostFactErrorsFirst", 1, GridColumn::FactShare, 1, {kSuzuki, kYamada, kSato}},
        SortCase{"noFiguresStayLast", 2, GridColumn::PercentRight, 1, {kYamada, kSato, kSuzuki}}));

// The colour a cell shows and the figure written in it, on the one scale.
struct ColourCase {
    const char* name;
    int row; // in roster order
    GridColumn column;
    int level;
    QString text;
    CellColours colours;
};

class GridColourTest : public InsightScreensTest, public ::testing::WithParamInterface<ColourCase> {};

TEST_P(GridColourTest, EachCellIsColouredByHowMuchHelpItSays) {
    const ColourCase& test = GetParam();
    FrmClassGrid* grid = openGrid();
    ASSERT_NE(grid, nullptr);
    const QModelIndex cell = table(grid)->model()->index(test.row, columnOf(test.level, test.column));
    EXPECT_EQ(cell.data().toString(), test.text);
    EXPECT_EQ(cell.data(Qt::BackgroundRole).value<QColor>().rgb() & 0xFFFFFF, test.colours.background);
    EXPECT_EQ(cell.data(Qt::ForegroundRole).value<QColor>().rgb() & 0xFFFFFF, test.colours.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cells, GridColourTest,
    ::testing::Values(
        ColourCase{"allRightIsFine", 0, GridColumn::PercentRight, 1, u"100%"_s, helpColours(0.0)},
        ColourCase{"halfRightIsTheDarkest", 1, GridColumn::PercentRight, 1, u"50%"_s, helpColours(1.0)},
        ColourCase{"threeInFourIsHalfWay", 2, GridColumn::PercentRight, 1, u"75%"_s, helpColours(0.5)},
        ColourCase{"halfPointErrorsIsTheDarkest", 1, GridColumn::PointShare, 1, u"50%"_s, helpColours(1.0)},
        ColourCase{"noPointErrorIsFine", 2, GridColumn::PointShare, 1, u"0%"_s, helpColours(0.0)},
        ColourCase{"aQuarterFactErrorsIsTheDarkest", 2, GridColumn::FactShare, 1, u"25%"_s, helpColours(1.0)},
        ColourCase{"notClearedIsWrittenAndWorthALook", 0, GridColumn::Cleared, 1, u"未"_s, helpColours(0.5)},
        ColourCase{"noAnswersIsOffTheScale", 0, GridColumn::PercentRight, 2, u"-"_s, noFigureColours()}));

TEST_F(InsightScreensTest, TheWaitPanelCoversTheGridWhileTheLogIsRead) {
    // What the teacher sees at each pump while the grid opens: whether the wait panel is up.
    std::vector<bool> panelUp;
    platform.events.onPump = [&] {
        auto* grid = platform.screens.find<FrmClassGrid>(screens::FrmClassGrid());
        auto* panel = grid ? grid->findChild<QWidget*>(u"waitPanel"_s) : nullptr;
        if (panel && grid->reading())
            panelUp.push_back(panel->isVisible());
    };
    FrmClassGrid* grid = openGrid();
    platform.events.onPump = nullptr;
    ASSERT_NE(grid, nullptr);
    ASSERT_FALSE(panelUp.empty());
    EXPECT_EQ(std::count(panelUp.begin(), panelUp.end(), false), 0);
    EXPECT_FALSE(control<QWidget>(grid, u"waitPanel"_s)->isVisible());
}

TEST_F(InsightScreensTest, TheGridWritesItsCsvInTheOrderShown) {
    QTemporaryDir dir;
    const QString path = dir.path() + u"/一覧.csv"_s;
    platform.files.scriptAnswers({path});
    FrmClassGrid* grid = openGrid();
    ASSERT_NE(grid, nullptr);
    clickTitle(table(grid), columnOf(1, GridColumn::PercentRight)); // 佐藤, 鈴木, 山田
    QTest::mouseClick(control<QPushButton>(grid, u"csvButton"_s), Qt::LeftButton);
    ASSERT_EQ(platform.files.asked.size(), 1u);
    EXPECT_TRUE(platform.files.asked[0].proposed.endsWith(u"/クラス一覧_20261209.csv"_s));
    const QByteArray bytes = readBytes(path);
    ASSERT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const QString text = QString::fromUtf8(bytes.mid(3));
    const QStringList lines = text.split(u"\r\n"_s, Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 4) << text.toStdString();
    EXPECT_TRUE(lines[1].contains(kSato));
    EXPECT_TRUE(lines[2].contains(kSuzuki));
    EXPECT_TRUE(lines[3].contains(kYamada));
    EXPECT_TRUE(platform.messages.shown.back().text.startsWith(u"3人の一覧"_s));
}

TEST_F(InsightScreensTest, AClickOnARowOpensThatStudentsPictureAndEscapeComesBack) {
    FrmClassGrid* grid = openGrid();
    ASSERT_NE(grid, nullptr);
    QTableView* view = table(grid);
    clickTitle(view, columnOf(1, GridColumn::PercentRight)); // 佐藤一郎 first
    clickRow(view, 0);
    ASSERT_EQ(platform.screens.current(), screens::FrmPicture());
    FrmPicture* shown = picture();
    ASSERT_NE(shown, nullptr);
    EXPECT_EQ(shown->student(), 8);
    EXPECT_TRUE(labelText(shown, u"subtitleLabel"_s).startsWith(kSato));
    EXPECT_EQ(summary(shown, 0, 3), u"4"_s);
    EXPECT_EQ(summary(shown, 1, 3), u"50%"_s);
    EXPECT_EQ(summary(shown, 2, 3), u"2（50%）"_s);
    auto* points = control<QTableWidget>(shown, u"pointTable"_s);
    ASSERT_NE(points, nullptr);
    // 0.56 and 5.6 for 0.056: one place and two places too big.
    EXPECT_EQ(points->item(0, 3)->text(), u"1"_s);
    EXPECT_EQ(points->item(2, 3)->text(), u"1"_s);
    EXPECT_EQ(points->item(1, 3)->text(), u"0"_s);

    QTest::keyClick(shown, Qt::Key_Escape);
    EXPECT_FALSE(platform.screens.isLoaded(screens::FrmPicture()));
    EXPECT_TRUE(platform.screens.isVisible(screens::FrmClassGrid()));
    // As it was: the order kept, the keys on the table; Enter opens the row under the cursor.
    EXPECT_EQ(shownNames(view).first(), kSato);
    view->setCurrentIndex(view->model()->index(1, 0));
    QTest::keyClick(view, Qt::Key_Return);
    ASSERT_EQ(platform.screens.current(), screens::FrmPicture());
    EXPECT_EQ(picture()->student(), 9);
    EXPECT_TRUE(labelText(picture(), u"subtitleLabel"_s).startsWith(kSuzuki));
    EXPECT_EQ(summary(picture(), 3, 3), u"1（25%）"_s);
}

TEST_F(InsightScreensTest, TheGraphPanelOpensThePictureOfTheStudentItShows) {
    state->StudentName = u"★山口先生"_s;
    seisekitime1* hub = open();
    control<QRadioButton>(hub, u"Option2(2)"_s)->click();
    control<QPushButton>(hub, u"Command17"_s)->click();
    auto* graphs = control<GraphPanel>(hub, u"Picture11"_s);
    ASSERT_NE(graphs, nullptr);
    control<QPushButton>(hub, u"Command25"_s)->click();
    auto* list = control<QListWidget>(hub, u"List2"_s);
    const QList<QListWidgetItem*> items = list->findItems(kSuzuki, Qt::MatchContains);
    ASSERT_EQ(items.size(), 1);
    items[0]->setSelected(true);
    control<QPushButton>(hub, u"Command24(0)"_s)->click();
    auto* button = control<QPushButton>(hub, u"pictureButton"_s);
    ASSERT_TRUE(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    ASSERT_EQ(platform.screens.current(), screens::FrmPicture());
    EXPECT_EQ(picture()->student(), 9);
    EXPECT_EQ(summary(picture(), 0, 1), u"4"_s);
    QTest::mouseClick(control<QPushButton>(picture(), u"backButton"_s), Qt::LeftButton);
    EXPECT_FALSE(platform.screens.isLoaded(screens::FrmPicture()));
    // The hub as it was: the graphs still shown.
    EXPECT_TRUE(platform.screens.isVisible(screens::seisekitime1()));
    EXPECT_TRUE(graphs->isVisible());
}

TEST_F(InsightScreensTest, AStudentSeesNeitherTeachersButton) {
    seisekitime1* hub = open(); // 山田花子
    control<QRadioButton>(hub, u"Option2(2)"_s)->click();
    control<QPushButton>(hub, u"Command17"_s)->click();
    EXPECT_FALSE(control<QPushButton>(hub, u"classGridButton"_s)->isVisible());
    EXPECT_FALSE(control<QPushButton>(hub, u"pictureButton"_s)->isVisible());
}

TEST_F(InsightScreensTest, ALogOfANewerVersionIsSaidAndTheGridOpensWithoutFigures) {
    QByteArray newer = answerlog::header();
    newer[8] = 9; // the version
    writeBytes(answerLog(), newer + QByteArray(answerlog::kRecordSize, 'x'));
    FrmClassGrid* grid = openGrid();
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_TRUE(platform.messages.shown[0].text.contains(u"新しい形式"_s));
    QTableView* view = table(grid);
    EXPECT_EQ(shownNames(view), (QStringList{kYamada, kSato, kSuzuki}));
    EXPECT_EQ(view->model()->index(1, columnOf(1, GridColumn::PercentRight)).data().toString(), u"-"_s);
    clickRow(view, 1);
    ASSERT_EQ(platform.screens.current(), screens::FrmPicture());
    EXPECT_EQ(platform.messages.shown.size(), 2u);
    EXPECT_EQ(summary(picture(), 0, 3), u"0"_s);
}

TEST_F(InsightScreensTest, ThePicturePrintsAnA4PortraitPagePerLevelWithItsFigures) {
    openGrid();
    clickRow(table(platform.screens.find<FrmClassGrid>(screens::FrmClassGrid())), 1);
    ASSERT_NE(picture(), nullptr);
    QTest::mouseClick(control<QPushButton>(picture(), u"printButton"_s), Qt::LeftButton);
    ASSERT_EQ(platform.printing.documents.size(), 1u);
    const DrawingLog& pdf = *platform.printing.documents[0];
    EXPECT_EQ(pdf.orientation, PageOrientation::Portrait);
    EXPECT_TRUE(pdf.ended);
    EXPECT_EQ(pdf.pageCount(), 2); // two levels
    QStringList texts;
    for (const DrawOp& op : pdf.ofKind(DrawOp::Text))
        texts.append(op.text);
    EXPECT_EQ(texts.count(u"答えの分析　佐藤一郎（小４・8番）"_s), 2) << texts.join(u'|').toStdString();
    EXPECT_TRUE(texts.contains(u"2（50%）"_s));
    EXPECT_TRUE(texts.contains(u"小数点の位置の誤り"_s));
}

TEST_F(InsightScreensTest, ThePicturePrintsIntoARealA4PortraitPdf) {
    PdfOnlyService pdfOnly;
    platform.usePrintService(&pdfOnly);
    QTemporaryDir dir;
    const QString path = dir.path() + u"/答えの分析.pdf"_s;
    platform.files.scriptAnswers({path});
    openGrid();
    clickRow(table(platform.screens.find<FrmClassGrid>(screens::FrmClassGrid())), 1);
    QTest::mouseClick(control<QPushButton>(picture(), u"printButton"_s), Qt::LeftButton);
    keepPdf(path, u"picture.pdf"_s);

    const QString info = poppler(u"pdfinfo"_s, {path});
    EXPECT_TRUE(info.contains(QRegularExpression(u"Pages:\\s+2\\n"_s))) << info.toStdString();
    EXPECT_TRUE(
        info.contains(QRegularExpression(u"Page size:\\s+595(\\.\\d+)? x 84[12](\\.\\d+)? pts \\(A4\\)"_s)))
        << info.toStdString();
    const QString first = poppler(u"pdftotext"_s, {u"-l"_s, u"1"_s, path, u"-"_s});
    for (const QString& text : {u"佐藤一郎"_s, u"小数点の位置の誤り"_s, u"まちがえの多い九九"_s, u"50%"_s})
        EXPECT_TRUE(first.contains(text)) << text.toStdString() << "\n" << first.toStdString();
}

TEST_F(InsightScreensTest, ThePictureWritesTheStudentsAnswersAsCsv) {
    QTemporaryDir dir;
    const QString path = dir.path() + u"/答え.csv"_s;
    platform.files.scriptAnswers({path});
    openGrid();
    clickRow(table(platform.screens.find<FrmClassGrid>(screens::FrmClassGrid())), 1);
    QTest::mouseClick(control<QPushButton>(picture(), u"csvButton"_s), Qt::LeftButton);
    ASSERT_EQ(platform.files.asked.size(), 1u);
    EXPECT_TRUE(platform.files.asked[0].proposed.endsWith(u"/答え_佐藤一郎_20261209.csv"_s));
    const QByteArray bytes = readBytes(path);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    EXPECT_EQ(bytes.count("\r\n"), 5); // the header and four answers
    EXPECT_TRUE(QString::fromUtf8(bytes).contains(u"5.6"_s));
    ASSERT_FALSE(platform.messages.shown.empty());
    EXPECT_TRUE(platform.messages.shown.back().text.startsWith(u"4件の答え"_s));
}

// Forty-five students of the third grade: two A4 landscape pages of a real PDF file, the titles
// on both, every student on the page his place in the order gives him.
TEST_F(InsightScreensTest, TheGridPrintsOneLandscapePagePerFortyStudentsIntoARealPdf) {
    QStringList roster;
    QStringList names;
    for (int number = 1; number <= 45; ++number) {
        names.append(u"生徒%1"_s.arg(number, 2, 10, QChar(u'0')));
        roster.append(u"%1,2017,0,0,\"%2\",0,\"\",\"\""_s.arg(number).arg(names.back()));
    }
    tree.writeRoster(roster);
    readRoster();
    PdfOnlyService pdfOnly;
    platform.usePrintService(&pdfOnly);
    QTemporaryDir dir;
    const QString path = dir.path() + u"/クラス一覧.pdf"_s;
    platform.files.scriptAnswers({path});

    FrmClassGrid* grid = openGrid();
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->model().rowCount(), 45);
    clickTitle(table(grid), ClassGridModel::kNameColumn); // 生徒45 first
    QTest::mouseClick(control<QPushButton>(grid, u"printButton"_s), Qt::LeftButton);
    ASSERT_FALSE(platform.messages.shown.empty());
    EXPECT_EQ(platform.messages.shown.back().text, u"PDFファイルに保存しました。\n"_s + path);

    keepPdf(path, u"grid.pdf"_s);
    const QString info = poppler(u"pdfinfo"_s, {path});
    EXPECT_TRUE(info.contains(QRegularExpression(u"Pages:\\s+2\\n"_s))) << info.toStdString();
    EXPECT_TRUE(
        info.contains(QRegularExpression(u"Page size:\\s+84[12](\\.\\d+)? x 595(\\.\\d+)? pts \\(A4\\)"_s)))
        << info.toStdString();
    for (int page = 1; page <= 2; ++page) {
        const QString text = poppler(
            u"pdftotext"_s, {u"-f"_s, QString::number(page), u"-l"_s, QString::number(page), path, u"-"_s});
        EXPECT_TRUE(text.contains(u"クラス一覧"_s) && text.contains(u"全学年"_s)) << page;
        EXPECT_TRUE(text.contains(u"%1/2ページ"_s.arg(page))) << page;
        EXPECT_TRUE(text.contains(u"正答率"_s)) << page;
        for (int i = 0; i < names.size(); ++i) {
            const int shownAt = names.size() - 1 - i; // the order turned round
            EXPECT_EQ(text.contains(names[i]), shownAt / 40 + 1 == page) << names[i].toStdString() << page;
        }
    }
}

} // namespace
} // namespace mirai::test
