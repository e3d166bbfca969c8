#pragma once

#include <QColor>
#include <QFont>
#include <QRect>
#include <QString>
#include <cstdint>

class QLabel;
class QPushButton;
class QWidget;

namespace mirai::ui {

// Screens are laid out in twips for a 1024 x 768 display: 15 twips to a pixel.
constexpr int kTwipsPerPixel = 15;
constexpr int kScreenWidth = 1024;
constexpr int kScreenHeight = 768;
inline int px(double twips) {
    return static_cast<int>(twips / kTwipsPerPixel + 0.5);
}
inline QRect twipRect(double left, double top, double width, double height) {
    return QRect(px(left), px(top), px(width), px(height));
}

// &H00BBGGRR -> colour.
inline QColor fromBgr(std::uint32_t value) {
    return QColor(static_cast<int>(value & 0xFF), static_cast<int>((value >> 8) & 0xFF),
                  static_cast<int>((value >> 16) & 0xFF));
}

// The fixed-pitch face for lists built from padded fields ("ＭＳ ゴシック" maps to it).
QString fixedPitchFamily();
// The proportional face for everything else.
QString uiFamily();
QFont uiFont(double points, bool bold = false);
QFont fixedFont(double points, bool bold = false);
// Registers the face substitutions once at start-up.
void installFontSubstitutions();

// Sets the background colour of a widget (and makes it paint it).
void setBackground(QWidget* widget, const QColor& colour);
// Sets the colour of a widget's text.
void setTextColour(QWidget* widget, const QColor& colour);

// A control named as the screens' tests and people find it, with its text, place and font. An
// empty geometry leaves the placing to the caller.
QLabel* makeLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                  const QFont& font);
QPushButton* makeButton(QWidget* parent, const QString& name, const QString& text, const QRect& geometry,
                        const QFont& font);

} // namespace mirai::ui
