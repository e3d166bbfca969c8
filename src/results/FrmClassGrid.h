#pragma once

#include "ClassGridModel.h"
#include "InsightScreen.h"

#include <vector>

class QTableView;

namespace mirai {

class ScreenManager;

// The class at a glance (teachers): a row per listed student of the results screen's grade group,
// in roster order, and for every level the runs this week, cleared, % right, the shares of point
// and fact errors of the last four weeks, and the overuse block; each cell coloured by how much
// help it says the student needs. A click on a column title sorts by it, a click or Enter on a row
// opens the student's picture. The log is read once, when the screen opens.
class FrmClassGrid : public InsightScreen {
    Q_OBJECT
public:
    explicit FrmClassGrid(Context context, QWidget* parent = nullptr);

    // The grade group of the rows ("全学年", "小３", …); set before the screen is shown.
    void setGroup(const QString& groupText) { m_group = groupText; }
    void activate() override;

    // The screen's procedures.
    void OpenStudent(int shownRow);

    const ClassGridModel& model() const { return m_model; }

protected:
    void print() override;
    void exportCsv() override;
    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;

private:
    void buildControls();
    void readGrid();
    void placeLevelTitles();
    QStringList levelTitles() const;

    ClassGridModel m_model;
    QString m_group;
    bool m_read = false;
    QTableView* m_table = nullptr;
    std::vector<QLabel*> m_levelTitles;
};

// Opens the class grid of a grade group over the current screen.
void openClassGrid(Context context, const QString& groupText);

} // namespace mirai
