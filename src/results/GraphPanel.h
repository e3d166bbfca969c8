#pragma once

#include "Context.h"
#include "ProgressGraph.h"

#include <QImage>
#include <QWidget>
#include <array>
#include <functional>
#include <vector>

class QLabel;
class QListWidget;
class QPushButton;

namespace mirai {

// The progress graph panel of the results hub: a canvas with one student's graphs per level,
// the student list, the level list, and buttons to draw, print and go back.
class GraphPanel : public QWidget {
    Q_OBJECT
public:
    // What the panel takes from the hub each time it draws.
    struct HubSettings {
        QString groupText;
        int pointsOrder = kCumulativeOrder;
    };

    GraphPanel(Context context, std::function<HubSettings()> hubSettings, QWidget* parent);

    // Re-reads the roster into the student list (students listed by the roster, in file order).
    void FillGraphStudentList();
    // The level list: "1" .. levelCount.
    void fillLevelList(int levelCount);
    // "印刷" and "答えの分析": teachers only.
    void setTeacherButtonsVisible(bool visible);

    // The graph button of the hub: the current student's graphs of every level.
    void command17Click();
    // Draws on the canvas (0) or on paper (1) for the selected students.
    void command24Click(int k);
    void command25Click();
    void command18Click();
    // The picture of the student whose graphs are shown.
    void pictureClick();

    int graphStudent() const { return m_graphStudent; }
    void setGraphStudent(int student) { m_graphStudent = student; }
    double graphFontSize() const { return m_graphFontSize; }
    const GraphFigures& figures(int level) const;
    const QImage& canvas() const { return m_canvas; }

Q_SIGNALS:
    // The panel came into view or left it.
    void visibilityChanged(bool visible);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void buildControls();
    std::vector<int> selectedLevels() const;
    std::vector<int> selectedStudents() const;
    GraphRequest request(int student, bool printer) const;
    void showPanel();
    // Draws every student on the canvas in turn; the last one stays.
    void drawOnCanvas(const std::vector<int>& students, const std::vector<ResultRecord>& records);
    // On paper, or in a PDF file, through the program's one way to paper.
    void print(const std::vector<int>& students, const std::vector<ResultRecord>& records);

    Context m_ctx;
    std::function<HubSettings()> m_hubSettings;
    int m_graphStudent = 0;
    double m_graphFontSize = kGraphFontPoints;
    std::vector<GraphFigures> m_figures; // by level
    QImage m_canvas;

    QLabel* m_picture12 = nullptr;
    QListWidget* m_list2 = nullptr;
    QPushButton* m_command25 = nullptr;
    QListWidget* m_list3 = nullptr;
    std::array<QPushButton*, 2> m_command24{};
    QPushButton* m_pictureButton = nullptr;
};

} // namespace mirai
