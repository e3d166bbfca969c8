#pragma once

#include "Context.h"
#include "DrawingSurface.h"
#include "ResultStore.h"
#include "Screen.h"

#include <QPointer>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace mirai {

struct PaperJob;

// What the teachers' screens of the answer log share: a title band with "印刷", "CSV出力" and
// "戻る", the wait panel while the log is read, and the ways to paper and to a CSV file. "戻る"
// and Escape close the screen and show what lay under it as it was.
class InsightScreen : public Screen {
    Q_OBJECT
public:
    void goBack();
    // Whether the log is being read (the wait panel is up).
    bool reading() const { return m_reading; }

protected:
    InsightScreen(Context context, const QString& screenName, const QString& title, QWidget* parent);

    virtual void print() = 0;
    virtual void exportCsv() = 0;

    // Reads every answer of the log into `onChunk`, behind the wait panel. False when the log could
    // not be read (a message said why) or the program is ending; the screen then stays as it is.
    bool readAnswerLog(const StudentFilter& students, const AnswerChunk& onChunk);
    // Draws a document through the program's one way to paper and tells how it went.
    void printDocument(const PaperJob& job, const std::function<void(DrawingSurface&)>& draw);
    // Asks where to save, proposing `fileName` in the documents folder, writes the file whole and
    // tells how it went: `doneText` and the path, or why it failed.
    void saveCsv(const QString& fileName, const QByteArray& bytes, const QString& doneText);
    // Lets pending events run; false when the screen is gone or the program is ending.
    bool pump();

    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;

    Context m_ctx;
    QLabel* m_subtitle = nullptr;
    QPushButton* m_printButton = nullptr;
    QPushButton* m_csvButton = nullptr;
    QPushButton* m_backButton = nullptr;

private:
    QString m_screenName;
    QWidget* m_waitPanel = nullptr;
    QProgressBar* m_progress = nullptr;
    QPointer<QWidget> m_returnFocus; // where the keys were before this screen came
    bool m_reading = false;
};

} // namespace mirai
