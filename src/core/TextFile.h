#pragma once

#include "Untyped.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace mirai {

// Reads a code page 932 / CR LF text file as one stream of comma-separated fields. The
// caller names the slot type of each field; rows are simply consecutive groups of fields.
class TextFieldReader {
public:
    // Reads the whole file; false when it cannot be opened.
    bool open(const QString& path);
    // For tests and in-memory data.
    void setBytes(const QByteArray& bytes);
    // Text already decoded; positions count its characters.
    void setText(const QString& text);

    // Where the next field starts, in characters of the decoded text.
    qsizetype position() const { return m_pos; }

    // True when nothing but blank lines (or a Ctrl-Z and what follows it) is left.
    bool atEnd() const;

    // A field past the end of the file reads as empty.
    QString readText();
    std::int16_t readInt16();
    std::int32_t readInt32();
    float readSingle();
    Untyped readUntyped();

private:
    struct Field {
        QString text;
        bool quoted = false;
    };
    Field nextField();
    void skipLineEnd();

    QString m_text;
    qsizetype m_pos = 0;
    qsizetype m_end = 0;       // position of a Ctrl-Z, or the length
    bool m_afterComma = false; // the last field ended in a comma: one more field is on this line
};

// Writes a file as a whole: written beside it first and put in its place only when complete, so a
// failed write never leaves half a file. The error, empty when written.
QString writeWholeFile(const QString& path, const QByteArray& bytes);

// Writes texts exactly as given; lines end in CR LF; the file is code page 932.
class TextFileWriter {
public:
    void write(const QString& text) { m_text += text; }
    void writeLine(const QString& text) { m_text += text + QStringLiteral("\r\n"); }
    // Replaces the file as a whole (written beside it first), so a failed save never leaves a
    // half-written table. False when it cannot be written.
    bool save(const QString& path) const;
    QByteArray bytes() const;

private:
    QString m_text;
};

} // namespace mirai
