// Spreadsheet fields: texts that survive a CSV reader as they were written, and formula guards.

#include "Csv.h"

#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mirai;

namespace {

TEST(CsvTextTest, QuotedAndGuardedAgainstFormulas) {
    const std::pair<QString, QByteArray> cases[] = {
        {u"山田"_s, "\"山田\""_ba},
        {QString(), "\"\""_ba},
        {u"a,b"_s, "\"a,b\""_ba},
        {u"say \"hi\""_s, "\"say \"\"hi\"\"\""_ba},
        {u"two\r\nlines"_s, "\"two\r\nlines\""_ba},
        {u"=SUM(A1)"_s, "\"'=SUM(A1)\""_ba},
        {u"+1"_s, "\"'+1\""_ba},
        {u"-1"_s, "\"'-1\""_ba},
        {u"@cmd"_s, "\"'@cmd\""_ba},
        {u"\tx"_s, "\"'\tx\""_ba},
        {u"\rx"_s, "\"'\rx\""_ba},
        {u"=\"a\""_s, "\"'=\"\"a\"\"\""_ba},
        {u"a=b"_s, "\"a=b\""_ba},
        {u"＝全角"_s, "\"＝全角\""_ba},
    };
    for (const auto& [text, field] : cases)
        EXPECT_EQ(csvText(text), field) << text.toStdString();
}

TEST(CsvTextTest, HeaderAndNumbers) {
    EXPECT_EQ(csvHeader({u"生徒番号"_s, u"名前"_s}), "\xEF\xBB\xBF\"生徒番号\",\"名前\"\r\n"_ba);
    const std::pair<std::int64_t, QByteArray> numbers[] = {
        {0, "0"_ba}, {-4, "-4"_ba}, {123456, "123456"_ba}, {INT64_MIN, "-9223372036854775808"_ba}};
    for (const auto& [value, field] : numbers) {
        QByteArray out("x,");
        appendCsvNumber(out, value);
        EXPECT_EQ(out, "x,"_ba + field);
    }
}

} // namespace
