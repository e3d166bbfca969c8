#pragma once

#include <QAbstractTableModel>

namespace mirai {

class RosterDocument;

// The roster entries as the roster screen's table shows them: number, name, birth year, grade as the
// name list computes it, whether the name list shows the entry, and whether it is a teacher.
class RosterTableModel final : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { Number, Name, BirthYear, Grade, Listed, Teacher, ColumnCount };

    RosterTableModel(const RosterDocument& roster, QObject* parent = nullptr);

    // After the roster changed, or was read again.
    void refresh(int schoolYear, bool keepMark2);

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    QString text(int row, Column column) const;

private:
    const RosterDocument& m_roster;
    int m_schoolYear = 0;
    bool m_keepMark2 = false;
};

} // namespace mirai
