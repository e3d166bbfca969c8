#pragma once

#include <QString>
#include <cstdint>
#include <string_view>

namespace mirai {

struct LoggedAnswer;

// What a judged answer tells a teacher. A point error has the digits of the product right and
// the decimal point in the wrong place; a fact error has other digits (the times-table fact is
// wrong); other is no answer at all: nothing, zero, or a text that starts with no number.
enum class ErrorKind : std::uint8_t { Right, Point, Fact, Other };

struct AnswerJudgement {
    ErrorKind kind = ErrorKind::Other;
    // Point errors only: the typed value is the right value times 10^shift, so 0.56 for 0.056
    // is +1 (ten times too big) and 0.0056 is -1.
    std::int32_t shift = 0;

    int places() const { return shift < 0 ? -shift : shift; }
    bool tooBig() const { return shift > 0; }
    bool operator==(const AnswerJudgement&) const = default;
};

// "正解", "小数点の誤り", "九九の誤り", "その他の誤り".
QString errorKindText(ErrorKind kind);

// Judges the typed text against the product of two operands (digit 1..9 with 0..2 decimal
// places), by value as the drill does: the typed value is the number at the start of the text,
// read as Val reads it. The comparison is made on decimal digits, never on a product in floating
// point, so no rounding can move an answer from one kind to another.
AnswerJudgement judgeAnswer(std::string_view typed, int digitA, int placesA, int digitB, int placesB);
AnswerJudgement judgeAnswer(const LoggedAnswer& answer);

// Whether the operands are a problem this drill asks: digits 1..9 with 0..2 decimal places each.
// Answers to anything else (a damaged log) are judged Other and left out of every figure.
bool isDrillProblem(int digitA, int placesA, int digitB, int placesB);
bool isDrillProblem(const LoggedAnswer& answer);

// The typed text of a logged answer; a length beyond the field is cut to the field.
std::string_view typedTextOf(const LoggedAnswer& answer);

// A times-table fact. 7 × 8 and 8 × 7 are the same fact to a teacher, so a fact is kept with the
// smaller digit first.
struct Fact {
    std::uint8_t small = 0;
    std::uint8_t large = 0;
    bool operator==(const Fact&) const = default;
};
Fact factOf(int digitA, int digitB);
// Facts 1 × 1 .. 9 × 9 numbered 0..99 for tables: 10 × small + large.
constexpr int kFactSlots = 100;
inline int factSlot(Fact fact) {
    return 10 * fact.small + fact.large;
}
inline Fact factOfSlot(int slot) {
    return {static_cast<std::uint8_t>(slot / 10), static_cast<std::uint8_t>(slot % 10)};
}

// A fact's group for answer times: the times-table row ("の段") of its larger digit, 1..9. With
// facts kept unordered this puts 7 × 8 in the 8の段, the hard facts in the rows 6 to 9.
inline int factGroup(Fact fact) {
    return fact.large;
}

// The texts of a problem as the drill shows them: an operand ("0.7", "8", "0.08") and the
// product ("0.056", "2" for 0.5 × 4).
QString operandText(int digit, int places);
QString productText(int digitA, int placesA, int digitB, int placesB);

} // namespace mirai
