#pragma once

#include <QByteArray>
#include <QString>

namespace mirai::demo {

// Writes a file, making its folder; false (and a line on stderr) when it cannot.
bool writeFile(const QString& path, const QByteArray& bytes);
QString readUtf8(const QString& path);
// A UTF-8 / LF source as a code page 932 / CR LF file.
bool convertText(const QString& source, const QString& target);

// The drill's sounds: generated WAV tones in `folder` and the sound table naming them, converted
// from `tableSource`.
bool writeSounds(const QString& folder, const QString& tableSource);

} // namespace mirai::demo
