#include "Files.h"
#include "PrintFixture.h"
#include "Random.h"

#include <QTemporaryDir>
#include <set>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

class PrintTableTest : public ::testing::Test {
protected:
    QString source() const { return dir.path() + u"/プロト.csv"_s; }
    void writeSource(const QStringList& lines) { writeTextFile(source(), lines); }
    PrepareOutcome prepare(const PrintChoices& choices, Random& random) {
        return PreparePrintTable(print, source(), choices, random);
    }
    PrepareOutcome prepare(const PrintChoices& choices) { return prepare(choices, random); }
    static PrintChoices inOrder(int option = 1) {
        PrintChoices choices;
        choices.shuffle = false;
        choices.option = option;
        return choices;
    }

    QTemporaryDir dir;
    PrintState print;
    ScriptedRandom random;
};

TEST_F(PrintTableTest, DefaultChoicesPrepareLevelOneShuffledWithNothingBlanked) {
    writeSource(sourceLines(2, 3, 100) + sourceLines(1, 5) + sourceLines(3, 2, 200));
    random.setValues({0.1, 0.7, 0.5, 0.3, 0.9});
    const PrepareOutcome outcome = prepare(PrintChoices{});

    EXPECT_TRUE(outcome.sourceRead);
    EXPECT_EQ(print.SelectedProblemCount, 5);
    EXPECT_EQ(random.drawn(), 20u) << "2 x 5 swaps of two rows, no blanking draws";
    EXPECT_EQ(print.TableRowCount, 15);
    EXPECT_EQ(print.TableColumnCount, 4);
    EXPECT_EQ((std::vector<double>(print.ColumnStarts.begin() + 1, print.ColumnStarts.begin() + 6)),
              (std::vector<double>{0, 0.05, 0.6, 0.8, 1}));
    EXPECT_EQ((QStringList{print.PrintTable(1, 0), print.PrintTable(2, 0), print.PrintTable(3, 0),
                           print.PrintTable(4, 0)}),
              (QStringList{QString(), u"１列目"_s, u"２列目"_s, u"３列目"_s}));
    // The five level-1 problems, each row still whole.
    QStringList problems = columnTexts(print, 2, 5);
    for (int row = 1; row <= 5; ++row) {
        const QString number = print.PrintTable(2, row).mid(1);
        EXPECT_EQ(print.PrintTable(3, row), u"a"_s + number);
        EXPECT_EQ(print.PrintTable(4, row), u"h"_s + number);
    }
    problems.sort();
    EXPECT_EQ(problems, (QStringList{u"p1"_s, u"p2"_s, u"p3"_s, u"p4"_s, u"p5"_s}));
    EXPECT_NE(columnTexts(print, 2, 5), problems) << "the order changed";
    QString labels;
    for (int row = 1; row <= 15; ++row)
        labels += print.PrintTable(1, row);
    EXPECT_EQ(labels, u"①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮"_s);
    EXPECT_EQ(print.PrintSettings.busyPanel, 0);
    EXPECT_EQ(print.PrintSettings.printAtOnce, 0);
    EXPECT_EQ(print.PrintSettings.orientation, 1);
    EXPECT_EQ(print.PrintSettings.layout, 2);
    EXPECT_EQ(print.PrintSettings.deviceSetting, 1);
}

TEST_F(PrintTableTest, TheShuffleSwapsRowsTwiceAsOftenAsThereAreLines) {
    writeSource(sourceLines(1, 3));
    // Pairs of rows (1,3) (2,2) (2,1) (3,2) (1,3) (2,1).
    random.setValues({0.0, 0.9, 0.4, 0.4, 0.5, 0.0, 0.7, 0.34, 0.1, 0.99, 0.66, 0.1});
    prepare(PrintChoices{});
    EXPECT_EQ(random.drawn(), 12u);
    EXPECT_EQ(columnTexts(print, 2, 3), (QStringList{u"p1"_s, u"p3"_s, u"p2"_s}));
    EXPECT_EQ(columnTexts(print, 3, 3), (QStringList{u"a1"_s, u"a3"_s, u"a2"_s}));
    EXPECT_EQ(columnTexts(print, 4, 3), (QStringList{u"h1"_s, u"h3"_s, u"h2"_s}));
}

TEST_F(PrintTableTest, UnshuffledTheFirstLinesOfTheSelectedLevelsComeInFileOrder) {
    writeSource(sourceLines(1, 8) + sourceLines(4, 3, 50) + sourceLines(2, 12, 20) + sourceLines(1, 2, 90));
    PrintChoices choices = inOrder();
    choices.levels = {true, true, false, false, false, false, false, false};
    prepare(choices);
    EXPECT_EQ(print.SelectedProblemCount, 22);
    EXPECT_EQ(random.drawn(), 0u);
    QStringList expected;
    for (int i = 1; i <= 8; ++i)
        expected.append(u"p%1"_s.arg(i));
    for (int i = 20; i <= 31; ++i)
        expected.append(u"p%1"_s.arg(i));
    expected += QStringList{u"p90"_s, u"p91"_s};
    EXPECT_EQ(columnTexts(print, 2, 22), expected);
}

// Each option over 300 rows in file order: what is blanked, where it goes, and that every
// choice of a random option turns up.
struct OptionCase {
    int option;
    int columns;
    std::vector<double> starts;
    QStringList headers;
};
void PrintTo(const OptionCase& c, std::ostream* out) {
    *out << "option " << c.option;
}

class BlankingOptions : public PrintTableTest, public ::testing::WithParamInterface<OptionCase> {};

TEST_P(BlankingOptions, BlankAndMoveEachRowAsTheOptionSays) {
    const OptionCase& c = GetParam();
    constexpr int kRows = 300;
    writeSource(sourceLines(1, kRows));
    StandardRandom seeded(20261209);
    prepare(inOrder(c.option), seeded);

    EXPECT_EQ(print.TableColumnCount, c.columns);
    EXPECT_EQ(std::vector<double>(print.ColumnStarts.begin() + 1, print.ColumnStarts.begin() + c.columns + 2),
              c.starts);
    QStringList headers;
    for (int column = 1; column <= c.columns; ++column)
        headers.append(print.PrintTable(column, 0));
    EXPECT_EQ(headers, c.headers);

    std::map<QString, int> patterns; // which columns were blanked, e.g. "3" or "24"
    for (int row = 1; row <= kRows; ++row) {
        const QStringList original{u"p%1"_s.arg(row), u"a%1"_s.arg(row), u"h%1"_s.arg(row)};
        QString blanked;
        QStringList moved;
        for (int column = 2; column <= 4; ++column) {
            const QString& cell = print.PrintTable(column, row);
            if (cell.isEmpty()) {
                blanked += QString::number(column);
                moved.append(original[column - 2]);
            } else {
                EXPECT_EQ(cell, original[column - 2]) << "row " << row;
            }
        }
        ++patterns[blanked];
        QStringList answers;
        for (int column = 5; column <= c.columns; ++column)
            answers.append(print.PrintTable(column, row));
        EXPECT_EQ(answers, moved) << "row " << row << ": the blanked texts, in column order";
        if (c.option >= 4) {
            EXPECT_FALSE(print.PrintTable(2, row).isEmpty()) << "column 2 is never blanked";
        }
    }
    std::map<QString, int> expectedShare;
    switch (c.option) {
    case 1:
        expectedShare = {{QString(), kRows}};
        break;
    case 2:
        expectedShare = {{u"2"_s, 100}, {u"3"_s, 100}, {u"4"_s, 100}};
        break;
    case 3:
        expectedShare = {{u"34"_s, 100}, {u"24"_s, 100}, {u"23"_s, 100}};
        break;
    case 4:
        expectedShare = {{u"3"_s, 150}, {u"4"_s, 150}};
        break;
    default:
        expectedShare = {{u"34"_s, kRows}};
        break;
    }
    ASSERT_EQ(patterns.size(), expectedShare.size());
    for (const auto& [pattern, share] : expectedShare)
        EXPECT_NEAR(patterns[pattern], share, share * 0.3) << "blanked columns " << pattern.toStdString();
}

const QStringList kThree{QString(), u"１列目"_s, u"２列目"_s, u"３列目"_s};
INSTANTIATE_TEST_SUITE_P(
    AllFive, BlankingOptions,
    ::testing::Values(
        OptionCase{1, 4, {0, 0.05, 0.6, 0.8, 1}, kThree},
        OptionCase{2, 5, {0, 0.05, 0.4, 0.6, 0.8, 1}, kThree + QStringList{u"４列目"_s}},
        OptionCase{3, 6, {0, 0.05, 0.4, 0.6, 0.8, 0.9, 1}, kThree + QStringList{u"４列目"_s, u"５列目"_s}},
        OptionCase{4, 5, {0, 0.05, 0.4, 0.6, 0.8, 1}, kThree + QStringList{u"４列目"_s}},
        OptionCase{5, 6, {0, 0.05, 0.4, 0.6, 0.8, 0.9, 1}, kThree + QStringList{u"４列目"_s, u"５列目"_s}}));

// Sources that are not what they should be never stop the preparation.
struct BadSourceCase {
    const char* name;
    std::function<QStringList()> lines; // no source file at all when null
    int selected;
    int skipped;
    int ignored;
    QStringList firstProblems; // rows 1.. of column 2, in file order
};
void PrintTo(const BadSourceCase& c, std::ostream* out) {
    *out << c.name;
}

class BadSources : public PrintTableTest, public ::testing::WithParamInterface<BadSourceCase> {};

TEST_P(BadSources, ReadWhatCanBeReadAndSkipTheRest) {
    const BadSourceCase& c = GetParam();
    // An earlier sheet filled every row; none of it may show through.
    writeSource(sourceLines(1, 20, 500));
    prepare(inOrder(5));
    QFile::remove(source());
    if (c.lines)
        writeSource(c.lines());

    const PrepareOutcome outcome = prepare(inOrder(1));
    EXPECT_EQ(outcome.sourceRead, static_cast<bool>(c.lines));
    EXPECT_EQ(print.SelectedProblemCount, c.selected);
    EXPECT_EQ(outcome.skippedLines, c.skipped);
    EXPECT_EQ(outcome.ignoredLines, c.ignored);
    EXPECT_EQ(columnTexts(print, 2, static_cast<int>(c.firstProblems.size())), c.firstProblems);
    for (int row = c.selected + 1; row <= 15; ++row)
        for (int column = 2; column <= 6; ++column)
            EXPECT_TRUE(print.PrintTable(column, row).isEmpty()) << "row " << row << " column " << column;
    // The sheet around the rows is whole all the same.
    EXPECT_EQ(print.TableRowCount, 15);
    EXPECT_EQ(print.PrintTable(1, 15), u"⑮"_s);
    EXPECT_EQ(print.PrintTable(2, 0), u"１列目"_s);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadSources,
    ::testing::Values(BadSourceCase{"Missing", nullptr, 0, 0, 0, {}},
                      BadSourceCase{"Empty", [] { return QStringList{}; }, 0, 0, 0, {}},
                      BadSourceCase{"LevelFieldX",
                                    [] {
                                        return QStringList{sourceLine(u"1"_s, u"一"_s, u"a"_s, u"h"_s),
                                                           sourceLine(u"x"_s, u"エックス"_s, u"a"_s, u"h"_s),
                                                           sourceLine(u"1"_s, u"二"_s, u"a"_s, u"h"_s)};
                                    },
                                    2,
                                    1,
                                    0,
                                    {u"一"_s, u"二"_s}},
                      BadSourceCase{"LevelsOutside1To8",
                                    [] {
                                        return QStringList{sourceLine(u"0"_s, u"零"_s, u""_s, u""_s),
                                                           sourceLine(u"9"_s, u"九"_s, u""_s, u""_s),
                                                           sourceLine(u"-1"_s, u"負"_s, u""_s, u""_s),
                                                           sourceLine(u"32767"_s, u"大"_s, u""_s, u""_s),
                                                           sourceLine(u"1"_s, u"\"0.7 × 8, 小数\""_s,
                                                                      u"5.6"_s, u"ヒント"_s)};
                                    },
                                    1,
                                    4,
                                    0,
                                    {u"0.7 × 8, 小数"_s}},
                      BadSourceCase{"TwelveHundredLines",
                                    [] { return sourceLines(1, 1200); },
                                    1000,
                                    0,
                                    200,
                                    {u"p1"_s, u"p2"_s, u"p3"_s}}),
    [](const ::testing::TestParamInfo<BadSourceCase>& info) { return std::string(info.param.name); });

TEST_F(PrintTableTest, TwelveHundredLinesFillTheTableToItsLastRow) {
    writeSource(sourceLines(1, 1200));
    prepare(inOrder(2), random);
    EXPECT_EQ(print.SelectedProblemCount, 1000);
    // Row 1000 holds line 1000 (blanked as option 2 says); nothing is stored past the table.
    const QString last = print.PrintTable(2, 1000) + print.PrintTable(3, 1000) + print.PrintTable(4, 1000) +
                         print.PrintTable(5, 1000);
    EXPECT_TRUE(last.contains(u"p1000"_s) && last.contains(u"a1000"_s) && last.contains(u"h1000"_s));
    EXPECT_TRUE(print.PrintTable(2, 1001).isEmpty());
    print.PrintTable(2, 1001) = u"outside"_s;
    EXPECT_TRUE(print.PrintTable(2, 1001).isEmpty());
}

} // namespace
} // namespace mirai::test
