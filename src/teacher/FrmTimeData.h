#pragma once

#include "Context.h"
#include "Distribution.h"
#include "Screen.h"

#include <QString>
#include <cstdint>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace mirai {

class DistributionPanel;

// The teacher's editor of the level criteria table: one grid row per level with a cell editor that
// always lies over the current cell, and beside it the distribution of the recorded times of the
// current row's level.
class FrmTimeData : public Screen {
    Q_OBJECT
public:
    explicit FrmTimeData(Context context, QWidget* parent = nullptr);

    void activate() override;

    // The screen's procedures.
    void TextToGrid転送();
    void GridToText転送();
    void PlaceCellEditor();
    void RefreshDistribution();

    // The buttons: "元に戻す" (load), "更新記録" (save), "戻る" (leave). Load and save answer
    // whether the file could be read or written.
    bool LoadCriteria();
    bool SaveCriteria();
    void LeaveEditor();

    // A click on a grid cell.
    void gridClick(int row, int column);

    int currentRow() const;
    int currentColumn() const;
    int rowCount() const;
    QString cellText(int row, int column) const;
    bool cellMarked(int row, int column) const;
    std::int16_t criteriaModified() const { return m_criteriaModified; }
    int lastCriteriaRow() const { return m_lastCriteriaRow; }

protected:
    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;

private:
    void buildControls();
    void setColumnWidths();
    // Makes a value cell current (rows 1.., columns 1..12) with a selection of that cell alone.
    void selectCell(int row, int column);
    void moveTo(int row, int column);
    void copyDown();
    // Writes a text into a cell; a change paints the cell yellow and marks the table as modified.
    void writeCell(int row, int column, const QString& text);
    void editorTextChanged(const QString& text);
    void showHint(bool refused);
    void showWaitPanel(bool shown);
    void afterButton();
    QTableWidgetItem* item(int row, int column) const;
    QString criteriaPath() const;

    Context m_ctx;
    std::int16_t m_criteriaModified = 0;
    int m_lastCriteriaRow = 0;
    int m_selectionEnd = 1;    // last row of the selection that Shift + Down extends
    bool m_loadFailed = false; // a file that could not be read is never written over
    DistributionBuilder m_distribution;

    QWidget* m_picture1 = nullptr;
    QTableWidget* m_grid = nullptr; // `MSFlexGrid1`
    QLineEdit* m_editor = nullptr;  // `Gridinputtext`
    QLabel* m_label3 = nullptr;
    QLabel* m_hint = nullptr;
    QPushButton* m_command3 = nullptr;
    QPushButton* m_command2 = nullptr;
    QPushButton* m_command4 = nullptr;
    QPushButton* m_command7 = nullptr;
    DistributionPanel* m_picture3 = nullptr;
    QWidget* m_picture6 = nullptr;
};

} // namespace mirai
