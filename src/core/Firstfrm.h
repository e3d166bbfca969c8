#pragma once

#include "Context.h"
#include "Screen.h"

class QLabel;
class QTimer;

namespace mirai {

// Splash screen: shows the era date in the season colour, then loads the configuration and
// hands over to the name selection.
class Firstfrm : public Screen {
    Q_OBJECT
public:
    Firstfrm(Context context, QString appFolder, QWidget* parent = nullptr);

    void activate() override;
    // The one tick of Timer1: loads the configuration and opens the name selection.
    void timer1Tick();

private:
    Context m_ctx;
    QString m_appFolder;
    bool m_loaded = false;
    QLabel* m_label5 = nullptr;
    QTimer* m_timer1 = nullptr;
};

// The level set-up done when a name is confirmed; opens the results screen.
void SetUpLevels(Context ctx);

} // namespace mirai
