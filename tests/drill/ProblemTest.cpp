#include "AnswerEntry.h"
#include "Doubles.h"
#include "NumberText.h"
#include "Problems.h"

#include <QSet>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mirai {
namespace {

struct FormatCase {
    std::int64_t mantissa;
    float exponent;
    const char16_t* expected;
};

class FormatDecimalTest : public ::testing::TestWithParam<FormatCase> {};

TEST_P(FormatDecimalTest, WritesPlainDecimal) {
    const FormatCase& c = GetParam();
    EXPECT_EQ(FormatDecimal(c.mantissa, c.exponent), QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(Examples, FormatDecimalTest,
                         ::testing::Values(FormatCase{3, 2, u"300"}, FormatCase{8, 0, u"8"},
                                           FormatCase{7, -1, u"0.7"}, FormatCase{56, -2, u"0.56"},
                                           FormatCase{5, -2, u"0.05"}, FormatCase{40, -1, u"4"},
                                           FormatCase{10, -2, u"0.1"}, FormatCase{48, -3, u"0.048"},
                                           FormatCase{6, -4, u"0.0006"}, FormatCase{20, -1, u"2"},
                                           FormatCase{0, -2, u"0"}, FormatCase{81, -4, u"0.0081"},
                                           FormatCase{1, -25, u"0.0000000000000000000000001"}));

// Draws for one operand: digit d (1..9) and p decimal places.
std::vector<double> operand(int digit, int places, int kind) {
    const double choices = kind == 2 ? 3.0 : 2.0;
    return {(digit - 1 + 0.5) / 9.0, (places + 0.5) / choices};
}

std::vector<double> draws(std::initializer_list<std::vector<double>> parts) {
    std::vector<double> all;
    for (const auto& part : parts)
        all.insert(all.end(), part.begin(), part.end());
    return all;
}

struct ProblemCase {
    int kind;
    int digitA, placesA, digitB, placesB;
    const char16_t* textA;
    const char16_t* textB;
    const char16_t* answer;
    const char16_t* hint;
    int marks;
};

class ProblemExampleTest : public ::testing::TestWithParam<ProblemCase> {};

TEST_P(ProblemExampleTest, ShowsOperandsAnswerAndHint) {
    const ProblemCase& c = GetParam();
    test::ScriptedRandom random(
        draws({operand(c.digitA, c.placesA, c.kind), operand(c.digitB, c.placesB, c.kind)}));
    const Problem problem = makeProblem(random, c.kind);
    EXPECT_EQ(random.drawn(), 4u);
    EXPECT_EQ(problem.textA, QString::fromUtf16(c.textA));
    EXPECT_EQ(problem.textB, QString::fromUtf16(c.textB));
    EXPECT_EQ(problem.AnswerText, QString::fromUtf16(c.answer));
    EXPECT_EQ(problem.hintProduct, QString::fromUtf16(c.hint));
    EXPECT_EQ(problem.marks, c.marks);
    EXPECT_EQ(problem.hintText, u"小数点を"_s + QString::number(c.marks) + u"個動かす"_s);
}

INSTANTIATE_TEST_SUITE_P(Examples, ProblemExampleTest,
                         ::testing::Values(ProblemCase{2, 3, 2, 2, 2, u"0.03", u"0.02", u"0.0006", u"6.", 4},
                                           ProblemCase{1, 5, 1, 4, 0, u"0.5", u"4", u"2", u"20.", 1},
                                           ProblemCase{1, 2, 1, 5, 1, u"0.2", u"0.5", u"0.1", u"10.", 2},
                                           ProblemCase{1, 7, 1, 8, 1, u"0.7", u"0.8", u"0.56", u"56.", 2},
                                           ProblemCase{1, 1, 1, 9, 0, u"0.1", u"9", u"0.9", u"9.", 1},
                                           ProblemCase{2, 9, 2, 9, 1, u"0.09", u"0.9", u"0.081", u"81.", 3}));

TEST(ProblemDraws, RejectsOneAndTwoWholeOperandsInDrawOrder) {
    // A = 1 (drawn again), A = 4 whole, B = 1 (drawn again), B = 6 whole: both whole, so both
    // are drawn anew: 0.3 and 7.
    test::ScriptedRandom random(draws({operand(1, 0, 1), operand(4, 0, 1), operand(1, 0, 1), operand(6, 0, 1),
                                       operand(3, 1, 1), operand(7, 0, 1)}));
    const Problem problem = makeProblem(random, 1);
    EXPECT_EQ(random.drawn(), 12u);
    EXPECT_EQ(problem.textA, u"0.3"_s);
    EXPECT_EQ(problem.textB, u"7"_s);
    EXPECT_EQ(problem.AnswerText, u"2.1"_s);
}

TEST(ProblemDraws, DigitShiftDigitShiftOrder) {
    // Digit A 0.95 -> 9, shift A 0.1 -> whole, digit B 0.0 -> 1, shift B 0.6 -> one place.
    test::ScriptedRandom random({0.95, 0.1, 0.0, 0.6});
    const Problem problem = makeProblem(random, 1);
    EXPECT_EQ(problem.textA, u"9"_s);
    EXPECT_EQ(problem.textB, u"0.1"_s);
    EXPECT_EQ(problem.AnswerText, u"0.9"_s);
}

QSet<QString> expectedOperands(int kind) {
    QSet<QString> allowed;
    for (int d = 1; d <= 9; ++d) {
        if (d != 1)
            allowed.insert(QString::number(d));
        allowed.insert(u"0."_s + QString::number(d));
        if (kind == 2)
            allowed.insert(u"0.0"_s + QString::number(d));
    }
    return allowed;
}

class ProblemKindTest : public ::testing::TestWithParam<int> {};

TEST_P(ProblemKindTest, OperandsStayInTheirSetOverManyDraws) {
    const int kind = GetParam();
    StandardRandom random(20260101 + kind);
    const QSet<QString> allowed = expectedOperands(kind);
    QSet<QString> seen;
    for (int i = 0; i < 20000; ++i) {
        const Problem p = makeProblem(random, kind);
        ASSERT_TRUE(allowed.contains(p.textA)) << p.textA.toStdString();
        ASSERT_TRUE(allowed.contains(p.textB)) << p.textB.toStdString();
        ASSERT_FALSE(p.ShiftA == 0 && p.ShiftB == 0);
        // The answer is the exact decimal product of the two texts.
        ASSERT_NEAR(Val(p.AnswerText), Val(p.textA) * Val(p.textB), 1e-12);
        ASSERT_EQ(p.marks, static_cast<int>(-(p.ShiftA + p.ShiftB)));
        ASSERT_GE(p.marks, 1);
        ASSERT_LE(p.marks, kind == 2 ? 4 : 2);
        seen.insert(p.textA);
        seen.insert(p.textB);
    }
    // Every allowed operand turns up, "0.1" included.
    EXPECT_EQ(seen, allowed);
}

INSTANTIATE_TEST_SUITE_P(Kinds, ProblemKindTest, ::testing::Values(1, 2));

struct DelayCase {
    int correct;
    int ms;
};
class HintDelayTest : public ::testing::TestWithParam<DelayCase> {};

TEST_P(HintDelayTest, GrowsWithTheCorrectCount) {
    EXPECT_EQ(hintDelayMs(GetParam().correct), GetParam().ms);
}

INSTANTIATE_TEST_SUITE_P(Steps, HintDelayTest,
                         ::testing::Values(DelayCase{0, 4000}, DelayCase{1, 6000}, DelayCase{2, 8000},
                                           DelayCase{4, 8000}, DelayCase{5, 12000}, DelayCase{9, 12000}));

// ---- arrow keys ----

struct ShiftCase {
    const char16_t* input;
    int key;
    const char16_t* expected;
};
class ShiftedAnswerTest : public ::testing::TestWithParam<ShiftCase> {};

TEST_P(ShiftedAnswerTest, MovesThePoint) {
    const ShiftCase& c = GetParam();
    EXPECT_EQ(shiftedAnswer(QString::fromUtf16(c.input), c.key), QString::fromUtf16(c.expected));
}

INSTANTIATE_TEST_SUITE_P(
    Arrows, ShiftedAnswerTest,
    ::testing::Values(ShiftCase{u"56", keycode::Left, u"5.6"}, ShiftCase{u"5.6", keycode::Left, u"0.56"},
                      ShiftCase{u"0.56", keycode::Right, u"5.6"}, ShiftCase{u"", keycode::Right, u"0"},
                      ShiftCase{u"", keycode::Left, u"0"}, ShiftCase{u"12-3", keycode::Right, u"120"},
                      ShiftCase{u"*5", keycode::Left, u"0"}, ShiftCase{u"-5", keycode::Left, u"-0.5"},
                      ShiftCase{u"123456", keycode::Left, u"12345.6"}));

TEST(ShiftedAnswer, HoldingRightNeverOverflowsAndLeftComesBack) {
    QString text = u"123456"_s;
    for (int i = 0; i < 400; ++i) {
        text = shiftedAnswer(text, keycode::Right);
        ASSERT_TRUE(std::isfinite(Val(text))) << text.toStdString();
        ASSERT_FALSE(text.contains(u"inf"_s, Qt::CaseInsensitive));
    }
    EXPECT_GT(Val(text), 1e300);
    const QString top = text;
    EXPECT_EQ(shiftedAnswer(top, keycode::Right), top); // stays as it is at the top
    // Every step taken can be undone.
    int steps = 0;
    while (Val(text) > 123456.0 * 1.5) {
        text = shiftedAnswer(text, keycode::Left);
        ++steps;
    }
    EXPECT_EQ(text, u"123456"_s);
    for (int i = 0; i < steps; ++i)
        text = shiftedAnswer(text, keycode::Right);
    EXPECT_EQ(text, top);
}

TEST(ShiftedAnswer, HoldingLeftStaysReadable) {
    QString text = u"7"_s;
    for (int i = 0; i < 400; ++i)
        text = shiftedAnswer(text, keycode::Left);
    EXPECT_GT(Val(text), 0.0);
    QString back = text;
    for (int i = 0; i < 400; ++i)
        back = shiftedAnswer(back, keycode::Right);
    EXPECT_GT(Val(back), 1e15); // the exponent form reads back as the number it shows
    EXPECT_TRUE(text.contains(u"E-"_s));
}

} // namespace
} // namespace mirai
