#include "Untyped.h"

#include "NumberText.h"

namespace mirai {

namespace {

// Whether the whole text is one decimal number (sign, digits, one point, optional exponent).
bool isNumeric(const QString& text) {
    qsizetype i = 0;
    const qsizetype n = text.size();
    if (i < n && (text.at(i) == u'-' || text.at(i) == u'+'))
        ++i;
    bool digits = false;
    while (i < n && text.at(i).isDigit() && text.at(i).unicode() < 128) {
        ++i;
        digits = true;
    }
    if (i < n && text.at(i) == u'.') {
        ++i;
        while (i < n && text.at(i).unicode() >= u'0' && text.at(i).unicode() <= u'9') {
            ++i;
            digits = true;
        }
    }
    if (!digits)
        return false;
    if (i < n && (text.at(i) == u'e' || text.at(i) == u'E')) {
        ++i;
        if (i < n && (text.at(i) == u'-' || text.at(i) == u'+'))
            ++i;
        bool exponent = false;
        while (i < n && text.at(i).unicode() >= u'0' && text.at(i).unicode() <= u'9') {
            ++i;
            exponent = true;
        }
        if (!exponent)
            return false;
    }
    return i == n;
}

} // namespace

Untyped Untyped::fromField(const QString& field, bool quoted) {
    Untyped value;
    value.m_text = field;
    if (field.isEmpty() && !quoted) {
        value.m_kind = Kind::Empty;
    } else if (!quoted && isNumeric(field)) {
        value.m_kind = Kind::Number;
        value.m_number = Val(field);
    } else {
        value.m_kind = Kind::Text;
    }
    return value;
}

Untyped Untyped::number(double value) {
    Untyped result;
    result.m_kind = Kind::Number;
    result.m_number = value;
    result.m_text = numberText(value);
    return result;
}

Untyped Untyped::text(const QString& value) {
    Untyped result;
    result.m_kind = Kind::Text;
    result.m_text = value;
    return result;
}

double Untyped::toDouble() const {
    switch (m_kind) {
    case Kind::Empty:
        return 0.0;
    case Kind::Number:
        return m_number;
    case Kind::Text:
        return Val(m_text);
    }
    return 0.0;
}

bool Untyped::operator==(const Untyped& other) const {
    if (m_kind == Kind::Number || other.m_kind == Kind::Number)
        return toDouble() == other.toDouble();
    return m_text == other.m_text;
}

} // namespace mirai
