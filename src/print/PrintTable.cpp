#include "PrintTable.h"

#include "NumberText.h"
#include "Random.h"
#include "TextFile.h"

#include <algorithm>
#include <utility>

namespace mirai {

namespace {

constexpr int kColumns = kPrintTableLastColumn + 1;
constexpr int kRows = kPrintTableLastRow + 1;
constexpr int kSourceFields = 9;

const BlankingOption kOptions[] = {
    {u"すべて印刷", 4, {0, 0, 0.05, 0.6, 0.8, 1, 0, 0}},
    {u"問題一カ所", 5, {0, 0, 0.05, 0.4, 0.6, 0.8, 1, 0}},
    {u"問題二カ所", 6, {0, 0, 0.05, 0.4, 0.6, 0.8, 0.9, 1}},
    {u"ことわざ部分を一つ消す", 5, {0, 0, 0.05, 0.4, 0.6, 0.8, 1, 0}},
    {u"ことわざ部分を二つ消す", 6, {0, 0, 0.05, 0.4, 0.6, 0.8, 0.9, 1}},
};

const char16_t* const kHeaders[] = {u"１列目", u"２列目", u"３列目", u"４列目", u"５列目"};
const char16_t kRowLabels[] = u"①②③④⑤⑥⑦⑧⑨⑩⑪⑫⑬⑭⑮⑯⑰⑱⑲⑳";

// One of `count` choices with equal chance, 0-based.
int pick(Random& random, int count) {
    const int chosen = static_cast<int>(Int(random.next() * count));
    return std::clamp(chosen, 0, count - 1);
}

// Moves the text of `from` into the answer column `to` and leaves the blank.
void moveToAnswer(PrintState& print, int row, int from, int to) {
    print.PrintTable(to, row) = std::exchange(print.PrintTable(from, row), QString());
}

void blankRow(PrintState& print, int option, int row, Random& random) {
    switch (option) {
    case 2:
        moveToAnswer(print, row, 2 + pick(random, 3), 5);
        break;
    case 3: {
        // One column is kept; the other two move to the answers in column order.
        const int kept = 2 + pick(random, 3);
        int answer = 5;
        for (int column = 2; column <= 4; ++column)
            if (column != kept)
                moveToAnswer(print, row, column, answer++);
        break;
    }
    case 4:
        moveToAnswer(print, row, 3 + pick(random, 2), 5);
        break;
    case 5:
        moveToAnswer(print, row, 3, 5);
        moveToAnswer(print, row, 4, 6);
        break;
    default:
        break;
    }
}

} // namespace

const BlankingOption& blankingOption(int index) {
    return index >= 1 && index <= 5 ? kOptions[index - 1] : kOptions[0];
}

const QString& PrintSheet::cell(int column, int row) const {
    static const QString empty;
    if (row < 0 || row >= static_cast<int>(rows.size()) || column < 0 || column > kSheetLastColumn)
        return empty;
    return rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)];
}

PrintState::PrintState() : m_cells(static_cast<std::size_t>(kColumns) * kRows) {}

QString& PrintState::PrintTable(int column, int row) {
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows) {
        m_outside.clear();
        return m_outside;
    }
    return m_cells[static_cast<std::size_t>(row) * kColumns + static_cast<std::size_t>(column)];
}

const QString& PrintState::PrintTable(int column, int row) const {
    static const QString empty;
    if (column < 0 || column >= kColumns || row < 0 || row >= kRows)
        return empty;
    return m_cells[static_cast<std::size_t>(row) * kColumns + static_cast<std::size_t>(column)];
}

PrintSheet PrintState::sheet() const {
    PrintSheet sheet;
    sheet.TableRowCount = std::clamp(TableRowCount, 0, kPrintTableLastRow);
    sheet.TableColumnCount = std::clamp(TableColumnCount, 0, kSheetLastColumn);
    sheet.ColumnStarts = ColumnStarts;
    sheet.rows.resize(static_cast<std::size_t>(sheet.TableRowCount) + 1);
    for (int row = 0; row <= sheet.TableRowCount; ++row)
        for (int column = 0; column <= kSheetLastColumn; ++column)
            sheet.rows[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] =
                PrintTable(column, row);
    return sheet;
}

PrepareOutcome PreparePrintTable(PrintState& print, const QString& sourcePath, const PrintChoices& choices,
                                 Random& random) {
    PrepareOutcome outcome;
    int n = 0;
    TextFieldReader reader;
    outcome.sourceRead = reader.open(sourcePath);
    while (outcome.sourceRead && !reader.atEnd()) {
        const int level = reader.readInt16();
        std::array<QString, kSourceFields> fields;
        for (int field = 1; field < kSourceFields; ++field)
            fields[static_cast<std::size_t>(field)] = reader.readText();
        if (level < 1 || level > kPrintLevels) {
            ++outcome.skippedLines;
            continue;
        }
        if (!choices.levels[static_cast<std::size_t>(level - 1)])
            continue;
        if (n >= kPrintTableLastRow) {
            ++outcome.ignoredLines;
            continue;
        }
        ++n;
        for (int column = 2; column <= 4; ++column)
            print.PrintTable(column, n) = fields[static_cast<std::size_t>(column - 1)];
    }
    print.SelectedProblemCount = n;
    // No text of an earlier preparation is left below the last selected line.
    for (int row = n + 1; row <= kPrintTableLastRow; ++row)
        for (int column = 2; column <= kSheetLastColumn; ++column)
            print.PrintTable(column, row).clear();

    if (choices.shuffle) {
        for (int swap = 0; swap < 2 * n; ++swap) {
            const int a = 1 + pick(random, n);
            const int b = 1 + pick(random, n);
            for (int column = 2; column <= 4; ++column)
                std::swap(print.PrintTable(column, a), print.PrintTable(column, b));
        }
    }

    const int option = choices.option >= 1 && choices.option <= 5 ? choices.option : 1;
    for (int row = 1; row <= n; ++row)
        blankRow(print, option, row, random);
    const BlankingOption& layout = blankingOption(option);
    print.TableColumnCount = layout.columns;
    print.ColumnStarts = layout.starts;
    print.PrintTable(1, 0).clear();
    for (int column = 2; column <= layout.columns; ++column)
        print.PrintTable(column, 0) = QString::fromUtf16(kHeaders[column - 2]);

    print.TableRowCount = kSheetRows;
    for (int row = 1; row <= kSheetRows; ++row)
        print.PrintTable(1, row) = QString(QChar(kRowLabels[row - 1]));

    print.PrintSettings = PrintSettingsValues{};
    return outcome;
}

} // namespace mirai
