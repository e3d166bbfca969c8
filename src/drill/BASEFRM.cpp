#include "BASEFRM.h"

#include "DrillArt.h"
#include "UiSupport.h"

#include <QLabel>
#include <QPainter>

using namespace Qt::StringLiterals;

namespace mirai {

BASEFRM::BASEFRM(QWidget* parent) : Screen(parent) {
    setWindowTitle(u"みらいドリル"_s);
    setFixedSize(ui::kScreenWidth, ui::kScreenHeight);
    QLabel* label = ui::makeLabel(this, u"Label19"_s, u"Just a moment, please."_s,
                                  QRect(0, 340, ui::kScreenWidth, 80), ui::uiFont(30, true));
    label->setAlignment(Qt::AlignCenter);
    ui::setTextColour(label, QColor(236, 244, 252));
}

void BASEFRM::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBackdrop(painter, rect(), Backdrop::Waiting);
}

} // namespace mirai
