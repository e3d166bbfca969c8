#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <ostream>

// Readable failure messages for Qt values in GoogleTest assertions.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}
inline void PrintTo(const QStringList& list, std::ostream* out) {
    *out << '{';
    for (qsizetype i = 0; i < list.size(); ++i)
        *out << (i ? ", \"" : "\"") << list.at(i).toStdString() << '"';
    *out << '}';
}
inline void PrintTo(const QByteArray& bytes, std::ostream* out) {
    *out << bytes.toHex(' ').toStdString();
}

namespace mirai::test {

// A row of a test table with a `name` shows that name in the test's output instead of its bytes;
// a table in an unnamed namespace brings it in with `using test::PrintTo;`.
template <class Case>
requires requires(const Case& row) {
    row.name;
}
void PrintTo(const Case& row, std::ostream* out) {
    *out << row.name;
}

} // namespace mirai::test
