#pragma once

#include "Context.h"
#include "Screen.h"

class QLabel;

namespace mirai {

// "Version" & major & "." & minor & "." & revision, without blanks.
QString versionLine(int major, int minor, int revision);

// The version dialog: the drill's name, version, maker and notice of rights.
class frmver : public Screen {
    Q_OBJECT
public:
    explicit frmver(Context context, QWidget* parent = nullptr);
    void activate() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    Context m_ctx;
    QLabel* m_label1 = nullptr;
    QLabel* m_label2 = nullptr;
    QLabel* m_label4 = nullptr;
    QLabel* m_label5 = nullptr;
};

} // namespace mirai
