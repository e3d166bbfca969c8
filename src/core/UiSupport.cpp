#include "UiSupport.h"

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

} // namespace mirai::ui
