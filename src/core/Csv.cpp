#include "Csv.h"

#include <charconv>

using namespace Qt::StringLiterals;

namespace mirai {

QByteArray csvText(const QString& text) {
    QString field = text;
    if (!field.isEmpty() && (field.front() == u'=' || field.front() == u'+' || field.front() == u'-' ||
                             field.front() == u'@' || field.front() == u'\t' || field.front() == u'\r'))
        field.prepend(u'\'');
    field.replace(u"\""_s, u"\"\""_s);
    return '"' + field.toUtf8() + '"';
}

QByteArray csvHeader(const QStringList& titles) {
    QByteArray out(kUtf8Bom);
    for (qsizetype i = 0; i < titles.size(); ++i) {
        if (i > 0)
            out += ',';
        out += csvText(titles.at(i));
    }
    return out + "\r\n";
}

void appendCsvNumber(QByteArray& out, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

} // namespace mirai
