#pragma once

#include "Context.h"
#include "Screen.h"
#include "SharedFolder.h"

class QComboBox;
class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace mirai {

// The first start of a station without a path file: make a new shared folder, or point at one that
// another station made. Nothing is written until "設定する" succeeds; "やめる" leaves nothing behind.
class FrmSetup : public Screen {
    Q_OBJECT
public:
    FrmSetup(Context context, SetupPlaces places, QWidget* parent = nullptr);

    void activate() override;

    // "設定する": makes or checks the folder and writes the path file; the screen closes when done.
    void Confirm();
    // "やめる".
    void Cancel();
    // "参照…": chooses the folder with the window system's dialog.
    void Browse();

    // Whether the last Confirm set this station up.
    bool done() const { return m_done; }

protected:
    bool screenKeyPress(QObject* receiver, QKeyEvent* event) override;

private:
    void buildControls();
    void showChoice();
    NewSharedFolder answers() const;
    void leave();

    Context m_ctx;
    SetupPlaces m_places;
    bool m_done = false;

    QRadioButton* m_newOption = nullptr;
    QRadioButton* m_existingOption = nullptr;
    QLineEdit* m_folder = nullptr;
    QGroupBox* m_newPanel = nullptr;
    QLineEdit* m_siteCode = nullptr;
    QLineEdit* m_siteName = nullptr;
    QComboBox* m_startMonth = nullptr;
    QLineEdit* m_teacher = nullptr;
    QLineEdit* m_password = nullptr;
    QLineEdit* m_passwordAgain = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace mirai
