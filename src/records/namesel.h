#pragma once

#include "Context.h"
#include "NameList.h"
#include "Screen.h"

#include <QFont>
#include <array>

class QButtonGroup;
class QComboBox;
class QLabel;
class QListWidget;
class QPushButton;
class QRadioButton;
class QWidget;

namespace mirai {

class ScreenManager;

// The name selection: the roster with two figures per student, a grade filter and four display
// modes. Confirming a name fixes the current student and opens the results screen; the station
// can also be handed back to the program menu.
class namesel : public Screen {
    Q_OBJECT
public:
    explicit namesel(Context context, QWidget* parent = nullptr);

    void activate() override;

    // Rebuilds the name list for the current display mode and grade filter.
    void 名簿表示();

    // Event handlers, also driven by tests.
    void option1Click(int mode);
    void combo1Click();
    void list1Click(int row);
    void list1DoubleClick(int row);
    void command14Click();
    void command7Click();
    void label4Click();

    int displayMode() const { return m_displayMode; }
    const NameList& nameList() const { return m_names; }

    // The command line of the program menu: executable and arguments.
    static QString launcherPath(const QString& appFolder);

protected:
    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;
    bool screenClick(QWidget* target) override;

private:
    void buildControls();
    void showWaitPanel(bool shown);

    Context m_ctx;
    bool m_opened = false;
    int m_displayMode = 0;
    QString m_listGroupText; // the filter the list was last built with
    NameList m_names;

    QWidget* m_picture4 = nullptr;
    QLabel* m_label4 = nullptr;
    QPushButton* m_command7 = nullptr;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QPushButton* m_command14 = nullptr;
    QButtonGroup* m_options = nullptr;
    std::array<QRadioButton*, kDisplayModeCount> m_option1{};
    QComboBox* m_combo1 = nullptr;
    QListWidget* m_list1 = nullptr;
    QWidget* m_picture5 = nullptr;
    QLabel* m_stationNotice = nullptr;
};

// The fixed-pitch face of the padded lists at a whole, even pixel size, so that a full-width
// character is exactly two half-width columns wide on every screen.
QFont fixedListFont(int pixelSize);

// Registers the name selection under its screen name.
void registerNameSelection(ScreenManager& manager, Context context);

} // namespace mirai
