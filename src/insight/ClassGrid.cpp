#include "ClassGrid.h"

#include "ErrorKind.h"
#include "LoggedAnswer.h"
#include "NumberText.h"
#include "StudentPicture.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirai {

QString gridColumnTitle(GridColumn column) {
    switch (column) {
    case GridColumn::RunsThisWeek:
        return u"今週の回数"_s;
    case GridColumn::Cleared:
        return u"クリア"_s;
    case GridColumn::PercentRight:
        return u"正答率"_s;
    case GridColumn::PointShare:
        return u"小数点の誤り"_s;
    case GridColumn::FactShare:
        return u"九九の誤り"_s;
    case GridColumn::Blocked:
        return u"やりすぎ禁止"_s;
    }
    return {};
}

QString gridColumnShortTitle(GridColumn column) {
    switch (column) {
    case GridColumn::RunsThisWeek:
        return u"今週の\n回数"_s;
    case GridColumn::PointShare:
        return u"小数点の\n誤り"_s;
    case GridColumn::FactShare:
        return u"九九の\n誤り"_s;
    case GridColumn::Blocked:
        return u"やりすぎ\n禁止"_s;
    case GridColumn::Cleared:
    case GridColumn::PercentRight:
        break;
    }
    return gridColumnTitle(column);
}

std::optional<double> GridCell::figure(GridColumn column) const {
    const auto percent = [this](std::uint32_t part) -> std::optional<double> {
        if (answers == 0)
            return std::nullopt;
        return 100.0 * part / answers;
    };
    switch (column) {
    case GridColumn::RunsThisWeek:
        if (answers == 0 && runsThisWeek == 0)
            return std::nullopt; // a level the student has not worked on
        return runsThisWeek;
    case GridColumn::Cleared:
        return cleared ? 1.0 : 0.0;
    case GridColumn::PercentRight:
        return percent(right);
    case GridColumn::PointShare:
        return percent(pointErrors);
    case GridColumn::FactShare:
        return percent(factErrors);
    case GridColumn::Blocked:
        return blocked ? 1.0 : 0.0;
    }
    return std::nullopt;
}

ClassGrid::ClassGrid(std::vector<std::int16_t> students, std::int32_t today, std::int32_t firstDay)
    : m_students(std::move(students)), m_rowOf(kStudentRows, -1), m_today(today),
      m_weekStart(weekStart(today)), m_firstDay(firstDay), m_cells(m_students.size() * kLevelRows),
      m_lastRun(m_cells.size(), 0), m_anyRun(m_cells.size(), false) {
    // A number listed twice gets its figures in its first row.
    for (std::size_t row = m_students.size(); row-- > 0;) {
        const int student = m_students[row];
        if (isStudentNumber(student))
            m_rowOf[static_cast<std::size_t>(student)] = static_cast<std::int32_t>(row);
    }
}

void ClassGrid::add(const LoggedAnswer& answer) {
    if (!isStudentNumber(answer.student) || answer.level < 1 || answer.level > kMaxLevel)
        return;
    const std::int32_t row = m_rowOf[static_cast<std::size_t>(answer.student)];
    if (row < 0 || !isDrillProblem(answer))
        return;
    const std::size_t at = index(row, answer.level);
    GridCell& cell = m_cells[at];
    if (answer.runDay >= m_weekStart && answer.runDay <= m_today &&
        (!m_anyRun[at] || m_lastRun[at] != answer.runId)) {
        ++cell.runsThisWeek;
        m_anyRun[at] = true;
        m_lastRun[at] = answer.runId;
    }
    if (answer.runDay < m_firstDay)
        return;
    ++cell.answers;
    switch (judgeAnswer(answer).kind) {
    case ErrorKind::Right:
        ++cell.right;
        break;
    case ErrorKind::Point:
        ++cell.pointErrors;
        break;
    case ErrorKind::Fact:
        ++cell.factErrors;
        break;
    case ErrorKind::Other:
        break;
    }
}

void ClassGrid::setStatus(int row, int level, bool cleared, bool blocked) {
    if (row < 0 || row >= rows() || level < 1 || level > kMaxLevel)
        return;
    GridCell& cell = m_cells[index(row, level)];
    cell.cleared = cleared;
    cell.blocked = blocked;
}

const GridCell& ClassGrid::cell(int row, int level) const {
    static const GridCell none;
    if (row < 0 || row >= rows() || level < 1 || level > kMaxLevel)
        return none;
    return m_cells[index(row, level)];
}

std::vector<int> sortedRows(const ClassGrid& grid, const GridSort& sort) {
    std::vector<int> order(static_cast<std::size_t>(grid.rows()));
    for (int row = 0; row < grid.rows(); ++row)
        order[static_cast<std::size_t>(row)] = row;
    if (sort.level == 0) {
        if (sort.descending)
            std::reverse(order.begin(), order.end());
        return order;
    }
    std::vector<std::optional<double>> figures(order.size());
    for (int row = 0; row < grid.rows(); ++row)
        figures[static_cast<std::size_t>(row)] = grid.cell(row, sort.level).figure(sort.column);
    // Stable on roster order: equal figures keep it in both directions.
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        const std::optional<double>& x = figures[static_cast<std::size_t>(a)];
        const std::optional<double>& y = figures[static_cast<std::size_t>(b)];
        if (!x || !y)
            return x.has_value() && !y.has_value();
        return sort.descending ? *x > *y : *x < *y;
    });
    return order;
}

QString gridCellText(const GridCell& cell, GridColumn column) {
    const std::optional<double> figure = cell.figure(column);
    if (!figure)
        return u"-"_s;
    switch (column) {
    case GridColumn::RunsThisWeek:
        return numberText(*figure);
    case GridColumn::Cleared:
        // Not cleared is coloured as worth a look, so it is written too: a colour alone says
        // nothing to a teacher who cannot tell it.
        return cell.cleared ? u"○"_s : u"未"_s;
    case GridColumn::Blocked:
        return cell.blocked ? u"禁"_s : QString();
    case GridColumn::PercentRight:
    case GridColumn::PointShare:
    case GridColumn::FactShare:
        return numberText(roundHalfEven(*figure)) + u'%';
    }
    return {};
}

} // namespace mirai
