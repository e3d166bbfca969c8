#pragma once

#include <QString>
#include <array>
#include <vector>

namespace mirai {

class Random;

constexpr int kPrintTableLastColumn = 100;
constexpr int kPrintTableLastRow = 1000; // problem rows 1..1000; row 0 holds the headers
constexpr int kPrintLevels = 8;          // levels "1".."8" of the preparation screen
constexpr int kSheetRows = 15;           // problem rows of a printed sheet
constexpr int kSheetLastColumn = 6;      // the widest layout: labels, three texts, two answers

// What the preparation asks of the print screen.
struct PrintSettingsValues {
    int busyPanel = 0;     // 0: the preview is shown when the print screen becomes active
    int printAtOnce = 0;   // 0: the print screen waits for "印刷"
    int orientation = 1;   // 1: portrait
    int layout = 2;        // 2: the table layout
    int deviceSetting = 1; // handed to the printer when the print screen opens
};

// The cells of one printed page and their columns, taken from the shared print state when a
// drawing starts, so that a change of the choices meanwhile never mixes two tables on a page.
struct PrintSheet {
    int TableRowCount = 0;
    int TableColumnCount = 0;
    std::array<double, kSheetLastColumn + 2> ColumnStarts{};     // index 1..TableColumnCount + 1
    std::vector<std::array<QString, kSheetLastColumn + 1>> rows; // row 0..TableRowCount, column 0..6

    const QString& cell(int column, int row) const;
};

// The print state both print screens share; it lives as long as the program.
class PrintState {
public:
    PrintState();

    // Cell (column 0..100, row 0..1000); an index outside the table reads as empty and writes
    // nowhere.
    QString& PrintTable(int column, int row);
    const QString& PrintTable(int column, int row) const;

    std::array<double, kSheetLastColumn + 2> ColumnStarts{}; // index 1..7
    int TableRowCount = 0;
    int TableColumnCount = 0;
    int SelectedProblemCount = 0;
    PrintSettingsValues PrintSettings;

    PrintSheet sheet() const;

private:
    std::vector<QString> m_cells;
    QString m_outside;
};

// The preparation screen's choices.
struct PrintChoices {
    std::array<bool, kPrintLevels> levels{true}; // List1: level "1" selected at start
    bool shuffle = true;                         // Check1 "順序を変える"
    int option = 1;                              // Option1(1..5)
};

// How the print source was read.
struct PrepareOutcome {
    bool sourceRead = false; // false: the file is missing or unreadable; the table is empty
    int skippedLines = 0;    // lines whose level field is not 1..8
    int ignoredLines = 0;    // selected lines past the table's last row
};

// Builds the table of a sheet from the print source "プロト.csv" (9 fields a line: level, the
// three texts of a problem, five ignored fields) and the choices: shuffles the selected lines,
// blanks cells as the option says, sets the columns, headers, row labels and settings.
PrepareOutcome PreparePrintTable(PrintState& print, const QString& sourcePath, const PrintChoices& choices,
                                 Random& random);

// Blanking options: caption and column starts.
struct BlankingOption {
    const char16_t* caption;
    int columns;
    std::array<double, kSheetLastColumn + 2> starts; // index 1..columns + 1
};
const BlankingOption& blankingOption(int index); // 1..5; anything else gives option 1

} // namespace mirai
