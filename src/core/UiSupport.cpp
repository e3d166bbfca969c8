#include "UiSupport.h"

#include <QLabel>
#include <QPushButton>
#include <QWidget>

using namespace Qt::StringLiterals;

namespace mirai::ui {

QString fixedPitchFamily() {
    return u"IPAGothic"_s;
}

QString uiFamily() {
    return u"IPAPGothic"_s;
}

QFont uiFont(double points, bool bold) {
    QFont font(uiFamily());
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

QFont fixedFont(double points, bool bold) {
    QFont font(fixedPitchFamily());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPointSizeF(points);
    font.setBold(bold);
    return font;
}

void installFontSubstitutions() {
    QFont::insertSubstitution(u"ＭＳ ゴシック"_s, fixedPitchFamily());
    QFont::insertSubstitution(u"ＭＳ Ｐゴシック"_s, uiFamily());
}

void setBackground(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, colour);
    widget->setPalette(palette);
    widget->setAutoFillBackground(true);
}

void setTextColour(QWidget* widget, const QColor& colour) {
    QPalette palette = widget->palette();
    palette.setColor(QPalette::WindowText, colour);
    palette.setColor(QPalette::ButtonText, colour);
    widget->setPalette(palette);
}

QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                  const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    if (!geometry.isNull())
        label->setGeometry(geometry);
    label->setFont(font);
    return label;
}

QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                        const QFont& font) {
    auto* button = new QPushButton(text, parent);
    button->setObjectName(name);
    if (!geometry.isNull())
        button->setGeometry(geometry);
    button->setFont(font);
    return button;
}

} // namespace mirai::ui
