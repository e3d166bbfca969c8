#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <cstdint>

namespace mirai {

// Spreadsheet files: UTF-8 with a byte-order mark and CR LF (what common spreadsheet programs open
// correctly with Japanese text), every text field quoted as RFC 4180 has it, numbers bare.

// What a spreadsheet file starts with, so spreadsheet programs read it as UTF-8.
inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// A text field: in double quotes, a quote doubled. A text that a spreadsheet would run as a formula
// (it starts with "=", "+", "-", "@", a tab or a carriage return) is written with an apostrophe
// first, inside the quotes, so it is shown as the text it is.
QByteArray csvText(const QString& text);

// The byte-order mark and the row of column titles.
QByteArray csvHeader(const QStringList& titles);

// A whole number as a bare field.
void appendCsvNumber(QByteArray& out, std::int64_t value);

} // namespace mirai
