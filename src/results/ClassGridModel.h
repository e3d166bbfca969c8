#pragma once

#include "ClassGrid.h"
#include "InsightCsv.h"

#include <QAbstractTableModel>
#include <optional>
#include <vector>

namespace mirai {

// A student of the class grid as the rows show him.
struct GridStudent {
    StudentLabel label;
    int grade = 0; // grade number, for the order by grade
};

// The class at a glance as a table: the name and grade, then the grid's columns level by level,
// each cell with its figure, coloured by how much help it says the student needs. The model
// holds the grid and the order of its rows; a sort keeps ties in roster order.
class ClassGridModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    static constexpr int kNameColumn = 0;
    static constexpr int kGradeColumn = 1;
    static constexpr int kFirstLevelColumn = 2;

    explicit ClassGridModel(QObject* parent = nullptr);

    // A new grid: `students` has one entry per row of the grid. Rows start in roster order.
    void setGrid(ClassGrid grid, std::vector<int> levels, std::vector<GridStudent> students);

    const ClassGrid& grid() const { return m_grid; }
    const std::vector<int>& levels() const { return m_levels; }
    // The grid's rows in the order shown.
    const std::vector<int>& order() const { return m_order; }
    // The student shown on a row of the table; nullopt outside it.
    std::optional<int> studentAt(int shownRow) const;
    StudentLabel labelOf(int student) const;

    // Where a column of the table lies in the grid: its level and column; nullopt for the name and
    // the grade.
    struct Place {
        int level = 0;
        GridColumn column = GridColumn::RunsThisWeek;
    };
    std::optional<Place> placeOf(int tableColumn) const;

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    // Two-line titles; a first click on a column sorts the students who need help to the top.
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;
    void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

private:
    ClassGrid m_grid{{}, 0};
    std::vector<int> m_levels;
    std::vector<GridStudent> m_students; // by grid row
    std::vector<int> m_order;
};

} // namespace mirai
