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
    auto* label = new QLabel(u"Just a moment, please."_s, this);
    label->setObjectName(u"Label19"_s);
    label->setGeometry(0, 340, ui::kScreenWidth, 80);
    label->setAlignment(Qt::AlignCenter);
    label->setFont(ui::uiFont(30, true));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(236, 244, 252));
    label->setPalette(palette);
}

void BASEFRM::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintBackdrop(painter, rect(), Backdrop::Waiting);
}

} // namespace mirai
