#pragma once

#include <QString>

namespace mirai {

// A value read into an untyped slot: kept as written, a number when the text is a number.
// Compared with a number it compares numerically (text through Val); compared with a
// text it compares as text. An empty field is Empty: 0 as a number, "" as a text.
class Untyped {
public:
    enum class Kind { Empty, Number, Text };

    Untyped() = default;
    static Untyped fromField(const QString& field, bool quoted);
    static Untyped number(double value);
    static Untyped text(const QString& value);

    Kind kind() const { return m_kind; }
    bool isEmpty() const { return m_kind == Kind::Empty; }
    bool isNumber() const { return m_kind == Kind::Number; }

    // Numeric value: the number, Val of a text, 0 when empty.
    double toDouble() const;
    // The text as written; a number set in code is written in its shortest form.
    QString toText() const { return m_text; }

    bool operator==(double value) const { return toDouble() == value; }
    bool operator==(const QString& value) const { return m_text == value; }
    bool operator==(const Untyped& other) const;

private:
    Kind m_kind = Kind::Empty;
    double m_number = 0.0;
    QString m_text;
};

} // namespace mirai
