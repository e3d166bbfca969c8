#pragma once

#include "InsightScreen.h"
#include "LoggedAnswer.h"
#include "StudentPicture.h"

#include <array>
#include <optional>
#include <vector>

class QButtonGroup;
class QTableWidget;

namespace mirai {

struct TextTable;

// One student's picture (teachers): per level, for this week, this month and all time, the
// answers and % right, the point, fact and other errors, the point errors by how far and which way
// the point is off, the five facts most often wrong, the median answer time per times-table row,
// and right answers with and without the hint. "印刷" puts a page per level on paper; "CSV出力"
// writes the student's answers, one row each. The log is read once, when the screen opens.
class FrmPicture : public InsightScreen {
    Q_OBJECT
public:
    explicit FrmPicture(Context context, QWidget* parent = nullptr);

    // The student shown; set before the screen is shown.
    void setStudent(int student) { m_student = student; }
    int student() const { return m_student; }
    void activate() override;

    // Shows the figures of a level (1 .. the drill's levels).
    void ShowLevel(int level);
    int shownLevel() const { return m_level; }
    const StudentPicture* picture() const { return m_picture ? &*m_picture : nullptr; }

protected:
    void print() override;
    void exportCsv() override;
    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;

private:
    void buildControls();
    void readPicture();
    QString studentText() const;
    void fill(QTableWidget* table, const TextTable& texts);

    int m_student = 0;
    int m_level = 1;
    std::optional<int> m_readStudent;
    std::optional<StudentPicture> m_picture;
    std::vector<LoggedAnswer> m_answers; // the student's, for the CSV file
    QButtonGroup* m_levelButtons = nullptr;
    std::array<QLabel*, 4> m_tableTitles{};
    std::array<QTableWidget*, 4> m_tables{};
};

// Opens the picture of `student` over the current screen.
void openStudentPicture(Context context, int student);

} // namespace mirai
