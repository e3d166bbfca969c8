#pragma once

#include <QString>
#include <cstdint>

namespace mirai {

// Number of a text: blanks, tabs and line feeds anywhere are ignored; reading stops at the
// first character that cannot continue a number; 0 when there is none.
double Val(const QString& text);

// Shortest decimal text of a double: at most 15 significant digits, no blanks, no trailing
// zeros, no point for a whole value (5.6 / 10 -> "0.56"). Values that need an exponent are
// written as "1.5E+16" / "1E-05", which Val reads back.
QString numberText(double value);
// The same for a single: at most 7 significant digits (1.1f -> "1.1").
QString numberText(float value);
inline QString numberText(int value) {
    return QString::number(value);
}
inline QString numberText(std::int64_t value) {
    return QString::number(value);
}
inline QString numberText(std::int16_t value) {
    return QString::number(value);
}

// Str: like numberText, with one blank before a number that is not negative.
QString Str(double value);

// Int: rounds down (also for negatives).
double Int(double value);

// Conversion of a real to a whole number: to the nearest, halves to the even neighbour.
double roundHalfEven(double value);
// Rounds half to even and clamps into [low, high]; NaN gives 0.
std::int64_t toWhole(double value, std::int64_t low, std::int64_t high);
inline std::int16_t toInt16(double value) {
    return static_cast<std::int16_t>(toWhole(value, INT16_MIN, INT16_MAX));
}
inline std::int32_t toInt32(double value) {
    return static_cast<std::int32_t>(toWhole(value, INT32_MIN, INT32_MAX));
}

// Blanks in front, then only the last w characters of the text.
QString rightAligned(const QString& text, int width);

// The text without leading and trailing blanks, half-width and full-width (U+3000); inner
// blanks stay.
QString trimBlanks(const QString& text);
QString trimTrailingBlanks(const QString& text);

} // namespace mirai
