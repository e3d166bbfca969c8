#include "TextFile.h"

#include "Cp932.h"
#include "NumberText.h"

#include <QFile>
#include <QSaveFile>
#include <cfloat>

namespace mirai {

namespace {
bool isBlank(QChar c) {
    return c == u' ' || c == u'\t';
}
bool isLineEnd(QChar c) {
    return c == u'\r' || c == u'\n';
}
} // namespace

bool TextFieldReader::open(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        setBytes({});
        return false;
    }
    setBytes(file.readAll());
    return true;
}

void TextFieldReader::setBytes(const QByteArray& bytes) {
    setText(cp932::decode(bytes));
}

void TextFieldReader::setText(const QString& text) {
    m_text = text;
    m_pos = 0;
    m_afterComma = false;
    const qsizetype ctrlZ = m_text.indexOf(QChar(0x1A));
    m_end = ctrlZ >= 0 ? ctrlZ : m_text.size();
}

bool TextFieldReader::atEnd() const {
    if (m_afterComma && m_pos < m_end)
        return false;
    for (qsizetype i = m_pos; i < m_end; ++i) {
        const QChar c = m_text.at(i);
        if (!isBlank(c) && !isLineEnd(c))
            return false;
    }
    return true;
}

void TextFieldReader::skipLineEnd() {
    // CR LF, a lone CR or a lone LF each end one line.
    if (m_pos < m_end && m_text.at(m_pos) == u'\r')
        ++m_pos;
    if (m_pos < m_end && m_text.at(m_pos) == u'\n')
        ++m_pos;
}

TextFieldReader::Field TextFieldReader::nextField() {
    Field field;
    while (m_pos < m_end && isBlank(m_text.at(m_pos)))
        ++m_pos;
    if (m_pos >= m_end)
        return field;
    if (m_text.at(m_pos) == u'"') {
        field.quoted = true;
        const qsizetype close = m_text.indexOf(u'"', m_pos + 1);
        const qsizetype stop = close < 0 || close > m_end ? m_end : close;
        field.text = m_text.mid(m_pos + 1, stop - m_pos - 1);
        m_pos = stop < m_end ? stop + 1 : m_end;
        // Anything between the closing quote and the delimiter is dropped.
        while (m_pos < m_end && m_text.at(m_pos) != u',' && !isLineEnd(m_text.at(m_pos)))
            ++m_pos;
    } else {
        const qsizetype start = m_pos;
        while (m_pos < m_end && m_text.at(m_pos) != u',' && !isLineEnd(m_text.at(m_pos)))
            ++m_pos;
        qsizetype stop = m_pos;
        while (stop > start && isBlank(m_text.at(stop - 1)))
            --stop;
        field.text = m_text.mid(start, stop - start);
    }
    m_afterComma = m_pos < m_end && m_text.at(m_pos) == u',';
    if (m_afterComma)
        ++m_pos;
    else
        skipLineEnd();
    return field;
}

QString TextFieldReader::readText() {
    return nextField().text;
}

std::int16_t TextFieldReader::readInt16() {
    return toInt16(Val(nextField().text));
}

std::int32_t TextFieldReader::readInt32() {
    return toInt32(Val(nextField().text));
}

float TextFieldReader::readSingle() {
    const double value = Val(nextField().text);
    if (value > FLT_MAX)
        return FLT_MAX;
    if (value < -FLT_MAX)
        return -FLT_MAX;
    return static_cast<float>(value);
}

Untyped TextFieldReader::readUntyped() {
    const Field field = nextField();
    return Untyped::fromField(field.text, field.quoted);
}

QByteArray TextFileWriter::bytes() const {
    return cp932::encode(m_text);
}

bool TextFileWriter::save(const QString& path) const {
    return writeWholeFile(path, bytes()).isEmpty();
}

QString writeWholeFile(const QString& path, const QByteArray& bytes) {
    QSaveFile file(path);
    if (file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() && file.commit())
        return {};
    const QString error = file.errorString();
    return error.isEmpty() ? QStringLiteral("書き込みに失敗しました") : error;
}

} // namespace mirai
