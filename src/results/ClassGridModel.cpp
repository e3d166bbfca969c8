#include "ClassGridModel.h"

#include "GridColours.h"

#include <QColor>
#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

QColor rgbColour(std::uint32_t rgb) {
    return QColor(static_cast<int>((rgb >> 16) & 0xFF), static_cast<int>((rgb >> 8) & 0xFF),
                  static_cast<int>(rgb & 0xFF));
}

} // namespace

ClassGridModel::ClassGridModel(QObject* parent) : QAbstractTableModel(parent) {}

void ClassGridModel::setGrid(ClassGrid grid, std::vector<int> levels, std::vector<GridStudent> students) {
    beginResetModel();
    m_grid = std::move(grid);
    m_levels = std::move(levels);
    m_students = std::move(students);
    m_students.resize(static_cast<std::size_t>(m_grid.rows()));
    m_order = sortedRows(m_grid, GridSort{});
    endResetModel();
}

std::optional<int> ClassGridModel::studentAt(int shownRow) const {
    if (shownRow < 0 || shownRow >= static_cast<int>(m_order.size()))
        return std::nullopt;
    return m_grid.student(m_order[static_cast<std::size_t>(shownRow)]);
}

StudentLabel ClassGridModel::labelOf(int student) const {
    for (int row = 0; row < m_grid.rows(); ++row)
        if (m_grid.student(row) == student)
            return m_students[static_cast<std::size_t>(row)].label;
    return {};
}

std::optional<ClassGridModel::Place> ClassGridModel::placeOf(int tableColumn) const {
    const int at = tableColumn - kFirstLevelColumn;
    if (at < 0 || at >= static_cast<int>(m_levels.size()) * kGridColumns)
        return std::nullopt;
    return Place{m_levels[static_cast<std::size_t>(at / kGridColumns)],
                 kAllGridColumns[static_cast<std::size_t>(at % kGridColumns)]};
}

int ClassGridModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : static_cast<int>(m_order.size());
}

int ClassGridModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : kFirstLevelColumn + static_cast<int>(m_levels.size()) * kGridColumns;
}

QVariant ClassGridModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount() || index.column() >= columnCount())
        return {};
    const int row = m_order[static_cast<std::size_t>(index.row())];
    const GridStudent& student = m_students[static_cast<std::size_t>(row)];
    const std::optional<Place> place = placeOf(index.column());
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(index.column() == kNameColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                                 : Qt::AlignCenter);
    if (!place) {
        // Black on white, also on the selected row, whose cells keep their colours.
        switch (role) {
        case Qt::DisplayRole:
            return index.column() == kNameColumn ? student.label.name : student.label.grade;
        case Qt::BackgroundRole:
            return QColor(Qt::white);
        case Qt::ForegroundRole:
            return QColor(Qt::black);
        default:
            return {};
        }
    }
    const GridCell& cell = m_grid.cell(row, place->level);
    switch (role) {
    case Qt::DisplayRole:
        return gridCellText(cell, place->column);
    case Qt::BackgroundRole:
        return rgbColour(cellColours(cell, place->column).background);
    case Qt::ForegroundRole:
        return rgbColour(cellColours(cell, place->column).text);
    case Qt::ToolTipRole:
        return student.label.name + u"　レベル"_s + QString::number(place->level) + u' ' +
               gridColumnTitle(place->column) + u": "_s + gridCellText(cell, place->column);
    default:
        return {};
    }
}

QVariant ClassGridModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || section < 0 || section >= columnCount())
        return {};
    const std::optional<Place> place = placeOf(section);
    switch (role) {
    case Qt::DisplayRole:
        if (!place)
            return section == kNameColumn ? u"名前"_s : u"学年"_s;
        return gridColumnShortTitle(place->column);
    case Qt::ToolTipRole:
        if (!place)
            return section == kNameColumn ? u"名簿の順に並べます"_s : u"学年の順に並べます"_s;
        return u"レベル"_s + QString::number(place->level) + u' ' + gridColumnTitle(place->column);
    case Qt::InitialSortOrderRole:
        if (place && helpDirection(place->column) == HelpDirection::HighNeedsHelp)
            return static_cast<int>(Qt::DescendingOrder);
        return static_cast<int>(Qt::AscendingOrder);
    default:
        return {};
    }
}

void ClassGridModel::sort(int column, Qt::SortOrder order) {
    const bool descending = order == Qt::DescendingOrder;
    Q_EMIT layoutAboutToBeChanged({}, QAbstractItemModel::VerticalSortHint);
    const QModelIndexList before = persistentIndexList();
    std::vector<int> oldOrder = m_order;
    if (const std::optional<Place> place = placeOf(column)) {
        m_order = sortedRows(m_grid, GridSort{place->level, place->column, descending});
    } else if (column == kGradeColumn) {
        m_order = sortedRows(m_grid, GridSort{});
        std::stable_sort(m_order.begin(), m_order.end(), [&](int a, int b) {
            const int x = m_students[static_cast<std::size_t>(a)].grade;
            const int y = m_students[static_cast<std::size_t>(b)].grade;
            return descending ? x > y : x < y;
        });
    } else {
        m_order = sortedRows(m_grid, GridSort{0, GridColumn::RunsThisWeek, descending});
    }
    // The current row and the selection stay with their student.
    std::vector<int> shownAt(m_order.size());
    for (std::size_t i = 0; i < m_order.size(); ++i)
        shownAt[static_cast<std::size_t>(m_order[i])] = static_cast<int>(i);
    for (const QModelIndex& index : before)
        changePersistentIndex(
            index,
            createIndex(shownAt[static_cast<std::size_t>(oldOrder[static_cast<std::size_t>(index.row())])],
                        index.column()));
    Q_EMIT layoutChanged({}, QAbstractItemModel::VerticalSortHint);
}

} // namespace mirai
