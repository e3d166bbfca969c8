#include "RosterTableModel.h"

#include "Roster.h"
#include "RosterDocument.h"

using namespace Qt::StringLiterals;

namespace mirai {

RosterTableModel::RosterTableModel(const RosterDocument& roster, QObject* parent)
    : QAbstractTableModel(parent), m_roster(roster) {}

void RosterTableModel::refresh(int schoolYear, bool keepMark2) {
    beginResetModel();
    m_schoolYear = schoolYear;
    m_keepMark2 = keepMark2;
    endResetModel();
}

int RosterTableModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_roster.rowCount();
}

int RosterTableModel::columnCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : ColumnCount;
}

QString RosterTableModel::text(int row, Column column) const {
    const RosterRow& entry = m_roster.row(row);
    switch (column) {
    case Number:
        return QString::number(entry.number);
    case Name:
        return entry.name;
    case BirthYear:
        return QString::number(entry.birthYear);
    case Grade:
        return halfWidthGradeLabel(gradeNumber(m_schoolYear, entry.birthYear));
    case Listed:
        return isListedFlag(entry.listFlag, m_keepMark2) ? u"○"_s : u"－"_s;
    case Teacher:
        return isTeacherName(entry.name) ? u"★"_s : QString();
    case ColumnCount:
        break;
    }
    return {};
}

QVariant RosterTableModel::data(const QModelIndex& index, int role) const {
    if (!index.isValid() || index.row() >= rowCount())
        return {};
    const auto column = static_cast<Column>(index.column());
    if (role == Qt::DisplayRole)
        return text(index.row(), column);
    if (role == Qt::TextAlignmentRole)
        return QVariant::fromValue(column == Name ? Qt::AlignLeft | Qt::AlignVCenter : Qt::AlignCenter);
    return {};
}

QVariant RosterTableModel::headerData(int section, Qt::Orientation orientation, int role) const {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole)
        return {};
    static const char16_t* const titles[] = {u"番号", u"名前", u"生まれ年", u"学年", u"一覧", u"先生"};
    return section >= 0 && section < ColumnCount ? QString::fromUtf16(titles[section]) : QVariant();
}

} // namespace mirai
