#pragma once

#include <QByteArray>
#include <QString>

namespace mirai::cp932 {

// Code page 932 (Windows Shift-JIS) as the stations' files use it.
QString decode(const QByteArray& bytes);
QByteArray encode(const QString& text);

// Exactly `bytes` bytes: the text encoded, cut without splitting a double-byte character,
// padded on the right with blanks.
QByteArray fixedField(const QString& text, int bytes);

} // namespace mirai::cp932
