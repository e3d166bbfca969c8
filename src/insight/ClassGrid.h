#pragma once

#include "SharedState.h"

#include <QString>
#include <array>
#include <climits>
#include <cstdint>
#include <optional>
#include <vector>

namespace mirai {

struct LoggedAnswer;

// The columns of the class grid, a set of them per level.
enum class GridColumn : std::uint8_t { RunsThisWeek, Cleared, PercentRight, PointShare, FactShare, Blocked };
constexpr int kGridColumns = 6;
constexpr std::array<GridColumn, kGridColumns> kAllGridColumns{
    GridColumn::RunsThisWeek, GridColumn::Cleared,   GridColumn::PercentRight,
    GridColumn::PointShare,   GridColumn::FactShare, GridColumn::Blocked};

// The title of a column: "今週の回数", "クリア", "正答率", "小数点の誤り", "九九の誤り", "やりすぎ禁止".
QString gridColumnTitle(GridColumn column);
// The same in two lines for narrow columns: "今週の\n回数", "小数点の\n誤り"; one line when short.
QString gridColumnShortTitle(GridColumn column);

// One student's figures at one level.
struct GridCell {
    std::uint32_t runsThisWeek = 0; // runs with a logged answer, Monday to today
    std::uint32_t answers = 0;      // answers within the grid's days
    std::uint32_t right = 0;
    std::uint32_t pointErrors = 0;
    std::uint32_t factErrors = 0;
    bool cleared = false; // given by the caller from the statistics
    bool blocked = false; // given by the caller: the level is blocked by the overuse rule

    // The figure of a column: runs, 1/0 for the marks, percentages 0..100. None where the student
    // has not worked on the level: the rates without answers, the runs without runs or answers.
    std::optional<double> figure(GridColumn column) const;
};

// The class at a glance: one row per student, fed the whole answer log once. Memory is one cell
// per student and level, whatever the length of the log.
class ClassGrid {
public:
    // `students`: the rows, roster numbers in roster order. `today` fixes this week (Monday to
    // today); the rates count answers of runs dated `firstDay` or later (all of them by default).
    ClassGrid(std::vector<std::int16_t> students, std::int32_t today, std::int32_t firstDay = INT32_MIN);

    void add(const LoggedAnswer& answer);
    // The marks the caller takes from the statistics.
    void setStatus(int row, int level, bool cleared, bool blocked);

    int rows() const { return static_cast<int>(m_students.size()); }
    std::int16_t student(int row) const { return m_students[static_cast<std::size_t>(row)]; }
    const GridCell& cell(int row, int level) const;

private:
    std::size_t index(int row, int level) const {
        return static_cast<std::size_t>(row) * kLevelRows + static_cast<std::size_t>(level);
    }

    std::vector<std::int16_t> m_students;
    std::vector<std::int32_t> m_rowOf; // by roster number; -1 when not in the grid
    std::int32_t m_today;
    std::int32_t m_weekStart;
    std::int32_t m_firstDay;
    std::vector<GridCell> m_cells;
    // The last run counted in a cell's runs this week: a run's answers lie together in the log.
    std::vector<std::uint64_t> m_lastRun;
    std::vector<bool> m_anyRun;
};

// An order of the grid's rows: by a column of a level, or by roster position when `level` is 0.
struct GridSort {
    int level = 0;
    GridColumn column = GridColumn::RunsThisWeek;
    bool descending = false;
};
// Row numbers in the chosen order. Rows with equal figures keep roster order; rows without a
// figure come last in either direction.
std::vector<int> sortedRows(const ClassGrid& grid, const GridSort& sort);

// The text written in a cell: "3", "○" or "未" (not cleared), "83%", "禁" (blocked), "-" for no
// figure; empty where a level is not blocked.
QString gridCellText(const GridCell& cell, GridColumn column);

} // namespace mirai
