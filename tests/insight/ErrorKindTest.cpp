// The error kind of an answer: right, the point in the wrong place (how far, which way), a wrong
// times-table fact, or no answer; judged by value exactly as the drill judges.

#include "ErrorKind.h"

#include "Answers.h"
#include "NumberText.h"
#include "QtPrinters.h"

#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

struct KindCase {
    const char* typed;
    int a, placesA, b, placesB;
    ErrorKind kind;
    int shift = 0;
};
void PrintTo(const KindCase& c, std::ostream* out) {
    *out << '"' << c.typed << "\" for " << c.a << "e-" << c.placesA << " x " << c.b << "e-" << c.placesB;
}

class ErrorKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(ErrorKindTest, TellsTheKindAndHowFarThePointIsOff) {
    const KindCase& c = GetParam();
    const AnswerJudgement judged = judgeAnswer(c.typed, c.a, c.placesA, c.b, c.placesB);
    EXPECT_EQ(judged.kind, c.kind);
    EXPECT_EQ(judged.shift, c.shift);
}

constexpr auto R = ErrorKind::Right;
constexpr auto P = ErrorKind::Point;
constexpr auto F = ErrorKind::Fact;
constexpr auto O = ErrorKind::Other;

INSTANTIATE_TEST_SUITE_P(
    Answers, ErrorKindTest,
    ::testing::Values(
        // 0.7 × 0.08 = 0.056
        KindCase{"0.056", 7, 1, 8, 2, R}, KindCase{"0.56", 7, 1, 8, 2, P, 1},
        KindCase{"0.0056", 7, 1, 8, 2, P, -1}, KindCase{"5.6", 7, 1, 8, 2, P, 2},
        KindCase{"56", 7, 1, 8, 2, P, 3}, KindCase{"560", 7, 1, 8, 2, P, 4},
        KindCase{"0.00056", 7, 1, 8, 2, P, -2}, KindCase{"0.000056", 7, 1, 8, 2, P, -3},
        KindCase{"5.6E-06", 7, 1, 8, 2, P, -4}, KindCase{"54", 7, 1, 8, 2, F},
        KindCase{"0.054", 7, 1, 8, 2, F}, KindCase{"0.65", 7, 1, 8, 2, F}, KindCase{"0.0561", 7, 1, 8, 2, F},
        KindCase{"", 7, 1, 8, 2, O},
        // Written otherwise, read as Val reads it.
        KindCase{"0.0560", 7, 1, 8, 2, R}, KindCase{"00.056", 7, 1, 8, 2, R},
        KindCase{" 0.0 56", 7, 1, 8, 2, R}, KindCase{"0.056.1", 7, 1, 8, 2, R},
        KindCase{"56E-3", 7, 1, 8, 2, R}, KindCase{"5.6D-2", 7, 1, 8, 2, R},
        KindCase{"0.056E", 7, 1, 8, 2, R}, KindCase{"0.056e+", 7, 1, 8, 2, R},
        KindCase{"+0.056", 7, 1, 8, 2, R}, KindCase{"56/1000", 7, 1, 8, 2, P, 3},
        KindCase{"5,6", 7, 1, 8, 2, F}, KindCase{"0,056", 7, 1, 8, 2, O},
        // No answer: nothing, zero, no leading number, or below zero.
        KindCase{"0", 7, 1, 8, 2, O}, KindCase{"0.000", 7, 1, 8, 2, O}, KindCase{"-", 7, 1, 8, 2, O},
        KindCase{"*", 7, 1, 8, 2, O}, KindCase{"*5", 7, 1, 8, 2, O}, KindCase{"/56", 7, 1, 8, 2, O},
        KindCase{"-0.056", 7, 1, 8, 2, O}, KindCase{"1E-999", 7, 1, 8, 2, O},
        // Beyond a double: the drill reads the largest double, a wrong number.
        KindCase{"56E+400", 7, 1, 8, 2, F},
        // Whole-number products: 0.5 × 4 = 2, 8 × 0.5 = 4, 0.2 × 0.5 = 0.1.
        KindCase{"2", 5, 1, 4, 0, R}, KindCase{"2.0", 5, 1, 4, 0, R}, KindCase{"20", 5, 1, 4, 0, P, 1},
        KindCase{"200", 5, 1, 4, 0, P, 2}, KindCase{"0.2", 5, 1, 4, 0, P, -1},
        KindCase{"0.02", 5, 1, 4, 0, P, -2}, KindCase{"4", 5, 1, 4, 0, F}, KindCase{"25", 5, 1, 4, 0, F},
        KindCase{"40", 8, 0, 5, 1, P, 1}, KindCase{"4", 8, 0, 5, 1, R}, KindCase{"0.1", 2, 1, 5, 1, R},
        KindCase{"1", 2, 1, 5, 1, P, 1}, KindCase{"0.01", 2, 1, 5, 1, P, -1},
        // 0.3 × 0.4 = 0.12: Val reads "12-3" as 12; 0.2 × 6 = 1.2.
        KindCase{"12-3", 3, 1, 4, 1, P, 2}, KindCase{"12-3", 2, 1, 6, 0, P, 1},
        KindCase{"0.21", 3, 1, 4, 1, F},
        // Up to four places: 0.03 × 0.02 = 0.0006, 0.1 × 0.1 = 0.01.
        KindCase{"0.0006", 3, 2, 2, 2, R}, KindCase{"6", 3, 2, 2, 2, P, 4}, KindCase{"0.6", 3, 2, 2, 2, P, 3},
        KindCase{"0.00006", 3, 2, 2, 2, P, -1}, KindCase{"1000000", 1, 1, 1, 1, P, 8},
        KindCase{"0.81", 9, 1, 9, 1, R}, KindCase{"0.18", 9, 1, 9, 1, F},
        KindCase{"0.0081", 9, 1, 9, 1, P, -2},
        // Not a problem of this drill: no product to compare with.
        KindCase{"0", 0, 0, 8, 0, O}, KindCase{"56", 7, 3, 8, 0, O}, KindCase{"56", 10, 0, 8, 0, O}));

// The drill compares Val of the typed text with Val of the answer text in double precision; the
// rule must call an answer right exactly when the drill did, for every problem and for answers
// typed and moved with the arrow keys.
TEST(ErrorKindAgreesWithTheDrill, OnEveryProblemAndEveryPointPosition) {
    int judged = 0;
    for (int a = 1; a <= 9; ++a)
        for (int b = 1; b <= 9; ++b)
            for (int placesA = 0; placesA <= 2; ++placesA)
                for (int placesB = 0; placesB <= 2; ++placesB) {
                    const QString answerText = productText(a, placesA, b, placesB);
                    const double right = Val(answerText);
                    // The product's digits, a neighbour's, and the digits reversed.
                    for (const int digits : {a * b, a * b + 1, (a * b % 10) * 10 + a * b / 10}) {
                        QString typed = QString::number(digits);
                        for (int k = 0; k < 6; ++k) // Left arrow: divide by ten
                            typed = numberText(Val(typed) / 10);
                        for (int k = 0; k < 12; ++k, typed = numberText(Val(typed) * 10)) {
                            const AnswerJudgement result =
                                judgeAnswer(typed.toStdString(), a, placesA, b, placesB);
                            ++judged;
                            ASSERT_EQ(result.kind == ErrorKind::Right, Val(typed) == right)
                                << typed.toStdString() << " for " << answerText.toStdString();
                            if (result.kind == ErrorKind::Point) {
                                EXPECT_NEAR(Val(typed) / right, std::pow(10.0, result.shift),
                                            1e-9 * std::pow(10.0, result.shift))
                                    << typed.toStdString();
                            }
                        }
                    }
                }
    EXPECT_EQ(judged, 729 * 3 * 12);
}

struct TextCase {
    int a, placesA, b, placesB;
    const char16_t* operandA;
    const char16_t* operandB;
    const char16_t* product;
    Fact fact;
    int group;
};

class ProblemTextTest : public ::testing::TestWithParam<TextCase> {};

TEST_P(ProblemTextTest, WritesTheProblemAsTheDrillShowsIt) {
    const TextCase& c = GetParam();
    EXPECT_EQ(operandText(c.a, c.placesA), QString::fromUtf16(c.operandA));
    EXPECT_EQ(operandText(c.b, c.placesB), QString::fromUtf16(c.operandB));
    EXPECT_EQ(productText(c.a, c.placesA, c.b, c.placesB), QString::fromUtf16(c.product));
    EXPECT_EQ(factOf(c.a, c.b), c.fact);
    EXPECT_EQ(factOf(c.b, c.a), c.fact) << "7 × 8 and 8 × 7 are one fact";
    EXPECT_EQ(factGroup(c.fact), c.group);
    EXPECT_EQ(factOfSlot(factSlot(c.fact)), c.fact);
}

INSTANTIATE_TEST_SUITE_P(Problems, ProblemTextTest,
                         ::testing::Values(TextCase{7, 1, 8, 2, u"0.7", u"0.08", u"0.056", {7, 8}, 8},
                                           TextCase{8, 0, 7, 1, u"8", u"0.7", u"5.6", {7, 8}, 8},
                                           TextCase{3, 2, 2, 2, u"0.03", u"0.02", u"0.0006", {2, 3}, 3},
                                           TextCase{5, 1, 4, 0, u"0.5", u"4", u"2", {4, 5}, 5},
                                           TextCase{2, 1, 5, 1, u"0.2", u"0.5", u"0.1", {2, 5}, 5},
                                           TextCase{1, 1, 9, 0, u"0.1", u"9", u"0.9", {1, 9}, 9},
                                           TextCase{9, 2, 9, 2, u"0.09", u"0.09", u"0.0081", {9, 9}, 9}));

TEST(ErrorKindOfALoggedAnswer, ReadsOnlyTheTypedLength) {
    LoggedAnswer answer = Answer{.typed = "0.0569"};
    answer.typedLength = 5;
    EXPECT_EQ(judgeAnswer(answer).kind, ErrorKind::Right);
    answer.typedLength = 200; // damaged: cut to the field
    EXPECT_EQ(typedTextOf(answer).size(), 16u);
    EXPECT_EQ(judgeAnswer(answer).kind, ErrorKind::Fact);
}

} // namespace
} // namespace mirai::test
