#pragma once

#include "Context.h"
#include "RecordFile.h"
#include "RecordList.h"
#include "RosterTables.h"
#include "Screen.h"

#include <QByteArray>
#include <cstdint>

class QLabel;
class QListView;
class QPushButton;

namespace mirai {

class EditStrip;

// The teacher's record maintenance: every stored run as one line; a run opened from the list can
// be given another student or time, or be deleted.
class FrmData : public Screen {
    Q_OBJECT
public:
    explicit FrmData(Context context, QWidget* parent = nullptr);

    void activate() override;

    // The screen's procedures.
    bool BuildRecordList();
    void LoadRosterChoices();
    void OpenRecordForEdit();
    void CloseEditStrip();
    void StudentChosen();
    void SecondsScrolled(int value);
    void SaveRecordChanges();
    void DeleteRecord();
    void ReturnToResults();
    // "CSV出力": every record into a spreadsheet file the teacher chooses.
    void ExportCsv();

    std::int64_t selectedRecordNumber() const { return m_selectedRecordNumber; }
    const QByteArray& recordBuffer() const { return m_recordBuffer; }
    const RecordListModel& records() const { return m_model; }
    const RosterTables& roster() const { return m_roster; }
    bool editing() const;

protected:
    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;

private:
    void buildControls();
    // Makes `row` the current line (no line when it is -1) and shows it; the strip closes.
    void selectRow(int row);
    void selectRecord(std::int64_t number);
    // Shows the message of a save or delete; false when the program is ending.
    bool report(const MaintenanceResult& result);

    Context m_ctx;
    bool m_opened = false;
    bool m_busy = false; // a save or delete waits for the file; nothing else may start
    std::int64_t m_selectedRecordNumber = 0;
    QByteArray m_recordBuffer; // the 44 bytes of the open record, as read
    RosterTables m_roster;
    RecordListModel m_model;

    QListView* m_list1 = nullptr;
    QLabel* m_label5 = nullptr;
    QPushButton* m_command4 = nullptr;
    QPushButton* m_commandCsv = nullptr;
    EditStrip* m_picture3 = nullptr;
    QWidget* m_picture1 = nullptr;
};

} // namespace mirai
