#pragma once

#include <QDate>
#include <QString>
#include <QStringList>
#include <cstdint>
#include <optional>
#include <vector>

namespace mirai {

struct ListedRecord;
struct SharedState;

// The prompt of the name selection while no name is chosen.
QString noNameChosenText();
// The first row of the name list, which stands for "nobody".
QString nameListHeadRow();
// The twelve groups of the grade filters, in the order they are offered.
QStringList gradeFilterItems();

// The four figures shown beside a name, summed over all levels.
struct StudentFigures {
    std::int32_t runsToday = 0;
    std::int32_t pointsToday = 0;
    std::int32_t runsSoFar = 0;
    std::int32_t pointsSoFar = 0;
};

// Figures of every student 0..5000 from the statistic tables, in one pass over the tables.
std::vector<StudentFigures> allStudentFigures(const SharedState& state);

// The figure texts; each keeps its width in half-width columns when the figure is 0.
QString todayRunsText(std::int32_t runs);
QString todayPointsText(std::int32_t points);
QString runsSoFarText(std::int32_t runs);
QString pointsSoFarText(std::int32_t points);

// Display modes of the name list: which two figures follow each name.
constexpr int kModeRuns = 0;   // today's runs / runs so far
constexpr int kModePoints = 1; // today's points / points so far
constexpr int kModeToday = 2;  // today's points / today's runs
constexpr int kModeSoFar = 3;  // points so far / runs so far
constexpr int kDisplayModeCount = 4;

// One line of the sorted buffer: birth year, grade label, name, filler, two figures and, after
// the last "*", the student number.
QString nameListLine(const ListedRecord& record, const StudentFigures& figures, int displayMode);

// The name list of the selection screen: the sorted buffer of whole lines, the rows shown after
// the grade filter, and for each shown row its text with the student number.
class NameList {
public:
    // Reads the roster and builds every line for the display mode from the statistic tables
    // (which the caller has computed), then filters them for the group.
    void rebuild(SharedState& state, const QDate& today, int displayMode, const QString& groupText);

    void clear();
    void addLine(QString line);
    // Sorts the buffer by whole lines in code-unit order; equal lines keep their order.
    void sortBuffer();
    // Rows for the group: the head row, then every buffered line whose student belongs to it.
    void filter(int schoolYear, const QString& groupText);

    // Shown rows, the head row first.
    const QStringList& rows() const { return m_rows; }
    // Row text plus "*" and the number, for rows 1.. (entry r − 1 belongs to row r).
    const QStringList& entries() const { return m_entries; }
    const QStringList& buffer() const { return m_buffer; }

    // The student number of a row; nullopt for the head row, a row out of range or a number
    // outside the roster's range.
    std::optional<int> numberAtRow(int row) const;
    // The prompt text for a chosen row: its first ten characters (single click) or everything
    // before the figures (double click).
    QString promptForRow(int row) const;
    QString fullNameForRow(int row) const;

private:
    QStringList m_buffer;
    QStringList m_rows;
    QStringList m_entries;
};

// The row text and the list entry of a buffered line (both end before the last "*").
QString rowTextOfLine(const QString& line);
QString entryOfLine(const QString& line);

} // namespace mirai
