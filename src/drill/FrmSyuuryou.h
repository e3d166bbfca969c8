#pragma once

#include "Context.h"
#include "Screen.h"

class QLabel;
class QPushButton;
class QTimer;

namespace mirai {

class GradientPanel;

// The end-of-drill screen: time, points, clear banners, record message and sound, then the
// way back to the results screen or to another run of the same level.
class FrmSyuuryou : public Screen {
    Q_OBJECT
public:
    explicit FrmSyuuryou(Context context, QWidget* parent = nullptr);

    void activate() override;
    // The one tick of Timer1, public so that a test drives it.
    void timer1Tick();
    void command4Click(); // メニューへ
    void command5Click(); // もう一度

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool letPaint();

    Context m_ctx;
    bool m_leaving = false;
    QLabel* m_Label2 = nullptr;
    QLabel* m_Label13 = nullptr;
    QLabel* m_Label14 = nullptr;
    QLabel* m_Label15 = nullptr;
    QLabel* m_Label16 = nullptr;
    QLabel* m_Label17 = nullptr;
    QLabel* m_Label18 = nullptr;
    QLabel* m_Label19 = nullptr;
    QLabel* m_Label20 = nullptr;
    GradientPanel* m_Picture1 = nullptr;
    QPushButton* m_Command4 = nullptr;
    QPushButton* m_Command5 = nullptr;
    QTimer* m_Timer1 = nullptr;
};

} // namespace mirai
