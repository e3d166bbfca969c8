#include "NumberText.h"

#include "QtPrinters.h"

#include <cfloat>
#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;
using namespace mirai;

namespace {

struct ValCase {
    const char16_t* text;
    double value;
};

class ValTest : public ::testing::TestWithParam<ValCase> {};

TEST_P(ValTest, ReadsTheLeadingNumber) {
    EXPECT_DOUBLE_EQ(Val(QString::fromUtf16(GetParam().text)), GetParam().value)
        << QString::fromUtf16(GetParam().text).toStdString();
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ValTest,
    ::testing::Values(ValCase{u"", 0}, ValCase{u"56", 56}, ValCase{u"0.56", 0.56}, ValCase{u"12-3", 12},
                      ValCase{u"*5", 0}, ValCase{u" 1 2\t3\n4", 1234}, ValCase{u"-2.5", -2.5},
                      ValCase{u"+7", 7}, ValCase{u".5", 0.5}, ValCase{u"1.2.3", 1.2}, ValCase{u"1E3", 1000},
                      ValCase{u"1.5E+16", 1.5e16}, ValCase{u"1E-05", 1e-5}, ValCase{u"2D2", 200},
                      ValCase{u"3e", 3}, ValCase{u"4e+", 4}, ValCase{u"12345 北教室", 12345},
                      ValCase{u"目標Time", 0}, ValCase{u"-", 0}, ValCase{u"1,5", 1}, ValCase{u"１２", 0},
                      ValCase{u"1e999", DBL_MAX}, ValCase{u"1e-999", 0}));

struct TextCase {
    double value;
    const char16_t* text;
};

class NumberTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(NumberTextTest, WritesTheShortestDecimalForm) {
    EXPECT_EQ(numberText(GetParam().value), QString::fromUtf16(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Doubles, NumberTextTest,
                         ::testing::Values(TextCase{56, u"56"}, TextCase{5.6 / 10, u"0.56"},
                                           TextCase{1.5, u"1.5"}, TextCase{0, u"0"}, TextCase{-0.0, u"0"},
                                           TextCase{-2.25, u"-2.25"}, TextCase{0.1 + 0.2, u"0.3"},
                                           TextCase{123456, u"123456"}, TextCase{0.0006, u"0.0006"},
                                           TextCase{0.00001, u"1E-05"}, TextCase{1e15, u"1E+15"},
                                           TextCase{123456789012345, u"123456789012345"},
                                           TextCase{1.5e16, u"1.5E+16"}, TextCase{99999, u"99999"}));

TEST(NumberText, SinglesUseSevenDigits) {
    EXPECT_EQ(numberText(1.1f), u"1.1"_s);
    EXPECT_EQ(numberText(1.5f), u"1.5"_s);
    EXPECT_EQ(numberText(0.3f), u"0.3"_s);
    EXPECT_EQ(numberText(1234567.0f), u"1234567"_s);
}

TEST(NumberText, ExponentFormsReadBack) {
    for (double value : {1e-7, 1.23456e-9, 1e20, 9.87654321e30, 1.79e308}) {
        EXPECT_DOUBLE_EQ(Val(numberText(value)), value) << value;
    }
}

TEST(NumberText, StrPutsABlankBeforeNonNegativeNumbers) {
    EXPECT_EQ(Str(5), u" 5"_s);
    EXPECT_EQ(Str(0), u" 0"_s);
    EXPECT_EQ(Str(-5), u"-5"_s);
    EXPECT_EQ(Str(0.5), u" 0.5"_s);
}

struct RoundCase {
    double value;
    double intValue;
    double even;
};

class RoundingTest : public ::testing::TestWithParam<RoundCase> {};

TEST_P(RoundingTest, IntFloorsAndConversionsRoundHalfToEven) {
    EXPECT_EQ(Int(GetParam().value), GetParam().intValue) << GetParam().value;
    EXPECT_EQ(roundHalfEven(GetParam().value), GetParam().even) << GetParam().value;
}

INSTANTIATE_TEST_SUITE_P(Values, RoundingTest,
                         ::testing::Values(RoundCase{2.5, 2, 2}, RoundCase{3.5, 3, 4},
                                           RoundCase{-2.5, -3, -2}, RoundCase{-0.5, -1, -0.0},
                                           RoundCase{0.5, 0, 0}, RoundCase{1.49, 1, 1},
                                           RoundCase{-1.2, -2, -1}, RoundCase{82.5, 82, 82},
                                           RoundCase{83.5, 83, 84}));

TEST(NumberText, WholeSlotsClampToTheirRange) {
    EXPECT_EQ(toInt16(70000), 32767);
    EXPECT_EQ(toInt16(-70000), -32768);
    EXPECT_EQ(toInt32(9999999999.0), INT32_MAX);
    EXPECT_EQ(toInt32(std::nan("")), 0);
    EXPECT_EQ(toInt32(2.5), 2);
    EXPECT_EQ(toInt32(DBL_MAX), INT32_MAX);
}

TEST(NumberText, RightAlignmentKeepsTheLastCharacters) {
    EXPECT_EQ(rightAligned(u"2"_s, 3), u"  2"_s);
    EXPECT_EQ(rightAligned(u"1234"_s, 3), u"234"_s);
    EXPECT_EQ(rightAligned(u"15"_s, 5), u"   15"_s);
    EXPECT_EQ(rightAligned(u"abc"_s, 0), QString());
}

TEST(NumberText, TrimTakesBothKindsOfBlankFromTheEndsOnly) {
    struct Case {
        QString text, trimmed, trailingTrimmed;
    };
    const Case cases[] = {
        {u"  山田 太郎   "_s, u"山田 太郎"_s, u"  山田 太郎"_s},
        {u"　山田　"_s, u"山田"_s, u"　山田"_s},
        {u"松本　美咲　"_s, u"松本　美咲"_s, u"松本　美咲"_s},
        {u" 　林 　 "_s, u"林"_s, u" 　林"_s},
        {u"　 　"_s, QString(), QString()},
        {u"\t林\t"_s, u"\t林\t"_s, u"\t林\t"_s},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(trimBlanks(c.text), c.trimmed) << c.text.toStdString();
        EXPECT_EQ(trimTrailingBlanks(c.text), c.trailingTrimmed) << c.text.toStdString();
    }
}

} // namespace
