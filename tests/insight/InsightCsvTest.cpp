// The answers and the class grid as spreadsheet files: rows that a CSV reader reads back as
// written, numbers bare, texts quoted and guarded against formulas.

#include "InsightCsv.h"

#include "Answers.h"
#include "ClassGrid.h"
#include "CsvRows.h"
#include "QtPrinters.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

const std::int32_t kToday = day(2026, 12, 9);

QString nameOf(int student) {
    return student == 7 ? u"山田,花子"_s : student == 8 ? u"=佐藤"_s : QString();
}

struct AnswerRowCase {
    const char* name;
    Answer answer;
    QStringList row;
};
using test::PrintTo;

class AnswersCsvTest : public ::testing::TestWithParam<AnswerRowCase> {};

TEST_P(AnswersCsvTest, OneRowPerAnswerReadsBackAsWritten) {
    AnswersCsvWriter writer(nameOf);
    QByteArray bytes = AnswersCsvWriter::header();
    writer.add(GetParam().answer, bytes);
    bool wellFormed = false;
    const Rows rows = readCsv(bytes, &wellFormed);
    EXPECT_TRUE(wellFormed);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0],
              (QStringList{u"生徒番号"_s, u"名前"_s, u"記録ID"_s, u"日付"_s, u"レベル"_s, u"かけられる数"_s,
                           u"かける数"_s, u"入力した答え"_s, u"正しい答え"_s, u"判定"_s,
                           u"小数点のずれ(桁)"_s, u"ずれの向き"_s, u"ミリ秒"_s, u"ヒント"_s}));
    EXPECT_EQ(rows[1], GetParam().row);
}

INSTANTIATE_TEST_SUITE_P(
    Answers, AnswersCsvTest,
    ::testing::Values(
        AnswerRowCase{"pointTooBigWithHint",
                      {.runDay = kToday, .run = 100, .typed = "0.56", .ms = 5000, .hint = true},
                      {u"7"_s, u"山田,花子"_s, u"100"_s, u"2026/12/09"_s, u"1"_s, u"0.7"_s, u"0.08"_s,
                       u"0.56"_s, u"0.056"_s, u"小数点の誤り"_s, u"1"_s, u"大きい"_s, u"5000"_s, u"○"_s}},
        AnswerRowCase{"pointTooSmall",
                      {.student = 8,
                       .level = 2,
                       .runDay = kToday,
                       .run = 101,
                       .a = 3,
                       .placesA = 2,
                       .b = 2,
                       .placesB = 2,
                       .typed = "0.00006",
                       .ms = 800},
                      {u"8"_s, u"'=佐藤"_s, u"101"_s, u"2026/12/09"_s, u"2"_s, u"0.03"_s, u"0.02"_s,
                       u"0.00006"_s, u"0.0006"_s, u"小数点の誤り"_s, u"1"_s, u"小さい"_s, u"800"_s,
                       QString()}},
        AnswerRowCase{"fact",
                      {.student = 9,
                       .runDay = kToday - 400,
                       .run = 18446744073709551615u,
                       .a = 8,
                       .placesA = 0,
                       .b = 7,
                       .placesB = 1,
                       .typed = "54",
                       .ms = 0},
                      {u"9"_s, QString(), u"18446744073709551615"_s, u"2025/11/04"_s, u"1"_s, u"8"_s,
                       u"0.7"_s, u"54"_s, u"5.6"_s, u"九九の誤り"_s, QString(), QString(), u"0"_s,
                       QString()}},
        AnswerRowCase{"typedMinusIsGuarded",
                      {.runDay = kToday, .run = 1, .typed = "-5"},
                      {u"7"_s, u"山田,花子"_s, u"1"_s, u"2026/12/09"_s, u"1"_s, u"0.7"_s, u"0.08"_s, u"'-5"_s,
                       u"0.056"_s, u"その他の誤り"_s, QString(), QString(), u"1000"_s, QString()}},
        AnswerRowCase{"damagedOperands",
                      {.student = -3, .runDay = kToday, .run = 2, .a = 0, .placesA = 5, .typed = "7"},
                      {u"-3"_s, QString(), u"2"_s, u"2026/12/09"_s, u"1"_s, u"0"_s, u"8"_s, u"7"_s, QString(),
                       u"その他の誤り"_s, QString(), QString(), u"1000"_s, QString()}}),
    [](const ::testing::TestParamInfo<AnswerRowCase>& info) { return std::string(info.param.name); });

TEST(AnswersCsv, NumbersStandBareAndTextsQuoted) {
    AnswersCsvWriter writer(nameOf);
    QByteArray bytes;
    writer.add(Answer{.runDay = kToday, .run = 100, .typed = "0.56", .ms = 5000, .hint = true}, bytes);
    writer.add(Answer{.student = 10, .runDay = kToday + 1, .run = 100, .typed = "0.056"}, bytes);
    EXPECT_EQ(
        bytes,
        "7,\"山田,花子\",100,\"2026/12/09\",1,0.7,0.08,\"0.56\",0.056,\"小数点の誤り\",1,\"大きい\",5000,"
        "\"○\"\r\n10,\"\",100,\"2026/12/10\",1,0.7,0.08,\"0.056\",0.056,\"正解\",,\"\",1000,\"\"\r\n"_ba);
    EXPECT_TRUE(AnswersCsvWriter::header().startsWith("\xEF\xBB\xBF\"生徒番号\","));
}

TEST(ClassGridCsv, ARowPerStudentInTheGivenOrderWithEveryLevel) {
    ClassGrid grid({7, 8, 9}, kToday);
    for (const Answer& answer :
         {Answer{.runDay = kToday, .run = 1, .typed = "0.056"},
          Answer{.runDay = kToday, .run = 1, .typed = "0.56"},
          Answer{.runDay = kToday, .run = 1, .typed = "54"},
          Answer{.student = 8, .level = 2, .runDay = kToday, .run = 2, .typed = "0.056"}})
        grid.add(answer);
    grid.setStatus(0, 1, true, false);
    grid.setStatus(1, 1, false, true);
    const QByteArray bytes = classGridCsv(grid, {1, 0}, {1, 2}, [](int student) {
        return StudentLabel{nameOf(student), student == 7 ? u"小３"_s : u"小４"_s};
    });
    bool wellFormed = false;
    const Rows rows = readCsv(bytes, &wellFormed);
    EXPECT_TRUE(wellFormed);
    EXPECT_TRUE(bytes.startsWith("\xEF\xBB\xBF"));
    const Rows expected = {
        {u"生徒番号"_s, u"名前"_s, u"学年"_s, u"レベル1 今週の回数"_s, u"レベル1 クリア"_s,
         u"レベル1 正答率(%)"_s, u"レベル1 小数点の誤り(%)"_s, u"レベル1 九九の誤り(%)"_s,
         u"レベル1 やりすぎ禁止"_s, u"レベル2 今週の回数"_s, u"レベル2 クリア"_s, u"レベル2 正答率(%)"_s,
         u"レベル2 小数点の誤り(%)"_s, u"レベル2 九九の誤り(%)"_s, u"レベル2 やりすぎ禁止"_s},
        {u"8"_s, u"'=佐藤"_s, u"小４"_s, u"0"_s, QString(), QString(), QString(), QString(), u"○"_s, u"1"_s,
         QString(), u"100"_s, u"0"_s, u"0"_s, QString()},
        {u"7"_s, u"山田,花子"_s, u"小３"_s, u"1"_s, u"○"_s, u"33.3"_s, u"33.3"_s, u"33.3"_s, QString(),
         u"0"_s, QString(), QString(), QString(), QString(), QString()},
    };
    EXPECT_EQ(rows, expected);
}

} // namespace
} // namespace mirai::test
