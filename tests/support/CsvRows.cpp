#include "CsvRows.h"

#include <QString>

namespace mirai::test {

Rows readCsv(const QByteArray& bytes, bool* wellFormed) {
    const QString text = QString::fromUtf8(bytes.startsWith("\xEF\xBB\xBF") ? bytes.mid(3) : bytes);
    Rows rows;
    QStringList row;
    QString field;
    bool quoted = false;
    *wellFormed = true;
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == u'"' && i + 1 < text.size() && text.at(i + 1) == u'"') {
                field += u'"';
                ++i;
            } else if (c == u'"') {
                quoted = false;
            } else {
                field += c;
            }
        } else if (c == u'"') {
            quoted = true;
        } else if (c == u',') {
            row.append(field);
            field.clear();
        } else if (c == u'\r' && i + 1 < text.size() && text.at(i + 1) == u'\n') {
            row.append(field);
            rows.push_back(row);
            row.clear();
            field.clear();
            ++i;
        } else {
            *wellFormed &= c != u'\r' && c != u'\n'; // a bare line break outside quotes
            field += c;
        }
    }
    *wellFormed &= !quoted && row.isEmpty() && field.isEmpty();
    return rows;
}

} // namespace mirai::test
