#pragma once

#include "Context.h"
#include "Rankings.h"
#include "Screen.h"

#include <array>
#include <vector>

class QButtonGroup;
class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QProgressBar;
class QPushButton;
class QRadioButton;
class QWidget;

namespace mirai {

class GraphPanel;
class ScreenManager;

// The student's hub: one column per level with its figures, start button, list and target; the
// rankings and run lists; the overuse rule; the teachers' password panel.
class seisekitime1 : public Screen {
    Q_OBJECT
public:
    explicit seisekitime1(Context context, QWidget* parent = nullptr);

    void activate() override;

    // The screen's procedures.
    void BuildResultsScreen();
    bool RefreshResultsScreen();
    void ApplyStartRules();
    void StartLevel(int level, bool fromLevelName);
    bool BuildLevelRanking(int level);
    bool ShowBestTimes();
    bool ShowTodayResults();
    bool ShowPeriodResults();
    bool ShowPersonalResults();

    // Event handlers, also driven by tests.
    void option2Click(int kind);
    void option1Click(int choice);
    void combo1Click();
    void combo2Click(int index);
    void command1Click();
    void command8Click();
    void command10Click(int which);
    void command12Click();
    void command17Click();
    void command27Click();
    void classGridClick();

    bool keysEnabled() const { return m_keysEnabled; }
    int columnWidthTwips() const { return m_columnWidth; }
    int listMode() const { return m_listMode; }
    int pointsOrder() const { return m_pointsOrder; }
    int periodDays() const { return m_periodDays; }

protected:
    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;
    bool screenClick(QWidget* target) override;

private:
    struct Column {
        QLabel* label1 = nullptr;
        QLabel* label3 = nullptr;
        QPushButton* command4 = nullptr;
        QLabel* text1 = nullptr;
        QLabel* label9 = nullptr;
        QLabel* label10 = nullptr;
        QLabel* label14 = nullptr;
        QLabel* label15 = nullptr;
        QLabel* label8 = nullptr;
        QListWidget* list5 = nullptr;
        QLabel* label7 = nullptr;
        QPushButton* command3 = nullptr;
        int ownLine = -1;
    };

    void buildControls();
    // A panel of option buttons named like "Option1(%1)" from firstIndex on, each calling onClick
    // with its index when it becomes checked.
    QWidget* buildOptionRow(const QString& panelName, const QRect& geometry, const QString& optionName,
                            int firstIndex, const QStringList& captions, int optionWidth,
                            void (seisekitime1::*onClick)(int));
    void placeColumns();
    void openingDisplay();
    void beginListBuild();
    void endListBuild();
    void clearLists();
    void setHeadings(int level);
    void fillList(int level, const QStringList& lines, int ownLine);
    void scrollToOwnLines();
    void setListsVisible(bool visible);
    void setStartButtonsEnabled(bool enabled);
    bool showRunList(RunListKind kind, std::int64_t newest);
    void fillFigureLabels();
    bool isTeacher() const;
    bool pump();
    int levelCount() const;
    int checkedOption1() const;
    int checkedOption2() const;

    Context m_ctx;
    bool m_built = false;
    bool m_keysEnabled = false;
    bool m_refreshing = false;
    bool m_starting = false; // a run is being started
    int m_columnWidth = 0;   // twips
    int m_listMode = kPointsDisplay;
    int m_pointsOrder = kCumulativeOrder;
    int m_periodDays = 30;

    QLabel* m_label11 = nullptr;
    QLabel* m_label12 = nullptr;
    QLabel* m_label13 = nullptr;
    QLabel* m_label17 = nullptr;
    QLabel* m_label18 = nullptr;
    QLabel* m_label5 = nullptr;
    QLabel* m_stationNotice = nullptr;
    QWidget* m_picture1 = nullptr;
    QButtonGroup* m_option1Group = nullptr;
    std::array<QRadioButton*, 4> m_option1{}; // 1..3
    QWidget* m_picture5 = nullptr;
    QButtonGroup* m_option2Group = nullptr;
    std::array<QRadioButton*, 3> m_option2{};
    QComboBox* m_combo1 = nullptr;
    QComboBox* m_combo2 = nullptr;
    QPushButton* m_command1 = nullptr;
    QPushButton* m_command8 = nullptr;
    QPushButton* m_command27 = nullptr;
    QPushButton* m_command17 = nullptr;
    QPushButton* m_classGridButton = nullptr; // teachers: the class at a glance
    QWidget* m_picture2 = nullptr;
    QProgressBar* m_progressBar1 = nullptr;
    QWidget* m_picture6 = nullptr;
    QProgressBar* m_progressBar2 = nullptr;
    QWidget* m_picture7 = nullptr;
    QLineEdit* m_text3 = nullptr;
    std::array<QPushButton*, 3> m_command10{};
    QPushButton* m_command12 = nullptr;
    GraphPanel* m_picture11 = nullptr;
    std::vector<Column> m_columns; // index 0 unused; 1..LevelCount
};

// Registers the results screen and the teachers' screens it opens (the class grid, a student's
// picture) under their screen names.
void registerResultsScreen(ScreenManager& manager, Context context);

} // namespace mirai
