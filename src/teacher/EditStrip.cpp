#include "EditStrip.h"

#include "UiSupport.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

using ui::twipRect;

// A button on a coloured square, as the strip shows its two writing buttons.
QPushButton* squareButton(QWidget* parent, const QString& name, const QString& text, const QRect& square,
                          const QColor& colour) {
    auto* back = new QWidget(parent);
    back->setObjectName(name + u"Square"_s);
    back->setGeometry(square);
    ui::setBackground(back, colour);
    auto* button = ui::makeButton(back, name, text, QRect(8, 8, square.width() - 16, square.height() - 16),
                                  ui::uiFont(12, true));
    button->setAutoDefault(true);
    return button;
}

QLabel* infoLabel(QWidget* parent, const QString& name, const QRect& geometry, double points) {
    QLabel* label = ui::makeLabel(parent, name, QString(), geometry, ui::uiFont(points, true));
    label->hide();
    return label;
}

} // namespace

EditStrip::EditStrip(QWidget* parent) : QFrame(parent) {
    setObjectName(u"Picture3"_s);
    ui::setBackground(this, QColor(226, 236, 252));
    setFrameShape(QFrame::Panel);
    setFrameShadow(QFrame::Raised);
    setLineWidth(2);

    label1 = infoLabel(this, u"Label1"_s, twipRect(180, 120, 1500, 450), 15);
    label1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    label1->setStyleSheet(u"background: white; border: 1px solid #8090b0; padding-right: 6px;"_s);
    label2[1] = infoLabel(this, u"Label2(1)"_s, twipRect(180, 660, 1500, 390), 13);
    label2[2] = infoLabel(this, u"Label2(2)"_s, twipRect(180, 1110, 1800, 390), 13);

    combo1 = new QComboBox(this);
    combo1->setObjectName(u"Combo1"_s);
    combo1->setGeometry(twipRect(2160, 150, 3750, 540));
    combo1->setFont(ui::uiFont(14, true));
    combo1->setEditable(true);
    combo1->setInsertPolicy(QComboBox::NoInsert);
    combo1->setMaxVisibleItems(20);
    combo1->hide();
    label2[4] = infoLabel(this, u"Label2(4)"_s, twipRect(2160, 810, 1500, 450), 14);

    text1 = new QLineEdit(this);
    text1->setObjectName(u"Text1(1)"_s);
    text1->setGeometry(twipRect(6150, 150, 1350, 540));
    text1->setFont(ui::uiFont(16, true));
    text1->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    text1->hide();
    label2[0] = infoLabel(this, u"Label2(0)"_s, twipRect(7560, 150, 450, 540), 16);
    label2[0]->setText(u"秒"_s);

    vScroll1 = new QScrollBar(Qt::Vertical, this);
    vScroll1->setObjectName(u"VScroll1"_s);
    vScroll1->setGeometry(twipRect(8100, 90, 330, 1470));
    vScroll1->setRange(0, 6000);
    vScroll1->setSingleStep(1);
    vScroll1->setPageStep(60);
    vScroll1->hide();

    command3 =
        squareButton(this, u"Command3"_s, u"消去"_s, twipRect(8640, 150, 1200, 1350), QColor(200, 24, 24));
    command3->setEnabled(false);
    command2 = squareButton(this, u"Command2"_s, u"変更して記録"_s, twipRect(9960, 150, 1800, 1350),
                            QColor(0, 96, 40));
    command2->setEnabled(false);
    command6 = ui::makeButton(this, u"Command6"_s, u"キャンセル"_s, twipRect(11880, 525, 1530, 600),
                              ui::uiFont(12, true));
    command6->setAutoDefault(true);
}

} // namespace mirai
