#pragma once

#include "Context.h"
#include "RosterCsv.h"
#include "RosterDocument.h"
#include "RosterTableModel.h"
#include "Screen.h"

#include <optional>
#include <vector>

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;
class QTableView;

namespace mirai {

// The teachers' roster screen: every entry of the roster; new students with the next free number,
// by hand or from a spreadsheet file; a name or birth year changed; an entry hidden from the name list
// or shown again (nothing is deleted: runs refer to the number); a teacher marked with ★. Changes
// are written by "保存", only while the roster is still the one that was opened.
class FrmRoster : public Screen {
    Q_OBJECT
public:
    explicit FrmRoster(Context context, QWidget* parent = nullptr);

    void activate() override;

    // The screen's procedures, one for each button.
    void AddStudent();
    void ChangeStudent();
    void ToggleListed();
    void ToggleTeacher();
    void ImportCsv();
    void ConfirmImport();
    void CancelImport();
    void ExportCsv();
    bool Save();
    void ReturnToResults();

    const RosterDocument& roster() const { return m_roster; }
    const RosterTableModel& table() const { return m_model; }
    const RosterImport& pendingImport() const { return m_import; }
    int currentRow() const;

protected:
    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;

private:
    void buildControls();
    QWidget* buildImportPanel();
    // Reads the roster file again; false when the result file could not be read.
    bool load();
    void refresh(int selectRow);
    void rowChosen();
    void showGradeOfYear();
    // The name and birth year typed in, checked; nullopt (after a message) when they cannot be stored.
    std::optional<RosterRow> typedEntry();
    void warn(const QString& text);
    // Whether the numbers with runs are known; says so when not (no number can be given out).
    bool runsKnown();
    QString rosterPath() const;
    int schoolYear() const;
    bool keepMark2() const;

    Context m_ctx;
    bool m_opened = false;
    RosterDocument m_roster;
    RosterTableModel m_model;
    std::optional<std::vector<bool>> m_withRuns; // none when the result file could not be read
    RosterImport m_import;

    QLabel* m_count = nullptr;
    QTableView* m_table = nullptr;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_birthYear = nullptr;
    QComboBox* m_grade = nullptr;
    QLabel* m_gradeOfYear = nullptr;
    QPushButton* m_change = nullptr;
    QPushButton* m_listed = nullptr;
    QPushButton* m_teacher = nullptr;
    QPushButton* m_save = nullptr;
    QLabel* m_status = nullptr;
    QWidget* m_importPanel = nullptr;
    QLabel* m_importTitle = nullptr;
    QLabel* m_importAddTitle = nullptr;
    QListWidget* m_importAdded = nullptr;
    QLabel* m_importRefusedTitle = nullptr;
    QListWidget* m_importRefused = nullptr;
    QPushButton* m_importConfirm = nullptr;
};

} // namespace mirai
