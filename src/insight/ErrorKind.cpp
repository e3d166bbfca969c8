#include "ErrorKind.h"

#include "LoggedAnswer.h"

#include <algorithm>
#include <cstring>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

// A decimal number as digits and a power of ten: value = digits × 10^exponent, the digits
// without leading or trailing zeros (none at all for zero).
struct Decimal {
    static constexpr int kKept = 24; // far more than any product of this drill has
    bool negative = false;
    char digits[kKept] = {};
    int count = 0;
    bool tooLong = false; // more significant digits than kept: it equals no product
    std::int64_t exponent = 0;

    void push(char digit) {
        if (count < kKept)
            digits[count++] = digit;
        else
            tooLong = true;
    }
    bool sameDigits(const Decimal& other) const {
        return !tooLong && !other.tooLong && count == other.count &&
               std::memcmp(digits, other.digits, static_cast<std::size_t>(count)) == 0;
    }
};

// Exponents are held far inside what an int64 can count however many digits a text has.
constexpr std::int64_t kExponentLimit = 1'000'000;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\n';
}

// The number at the start of a text, read as Val reads it: blanks, tabs and line feeds anywhere
// are skipped, a sign may come first, one point, an exponent mark (E or D) only after a digit and
// only when digits follow it; reading stops at the first character that cannot continue.
Decimal leadingNumber(std::string_view text) {
    Decimal number;
    std::size_t i = 0;
    const auto peek = [&]() -> int {
        while (i < text.size() && isBlank(text[i]))
            ++i;
        return i < text.size() ? static_cast<unsigned char>(text[i]) : -1;
    };
    int c = peek();
    if (c == '-' || c == '+') {
        number.negative = c == '-';
        ++i;
    }
    bool point = false;
    bool anyDigit = false;
    std::int64_t zeros = 0; // zeros after the last significant digit read so far
    for (c = peek(); c != -1; c = peek()) {
        if (c >= '0' && c <= '9') {
            anyDigit = true;
            if (c == '0') {
                if (number.count > 0)
                    ++zeros;
            } else {
                for (; zeros > 0; --zeros)
                    number.push('0');
                number.push(static_cast<char>(c));
            }
            if (point)
                number.exponent = std::max(number.exponent - 1, -kExponentLimit);
        } else if (c == '.' && !point) {
            point = true;
        } else {
            break;
        }
        ++i;
    }
    number.exponent += zeros;
    if (anyDigit && (c == 'e' || c == 'E' || c == 'd' || c == 'D')) {
        ++i;
        int s = peek();
        bool negativeExponent = false;
        if (s == '-' || s == '+') {
            negativeExponent = s == '-';
            ++i;
        }
        std::int64_t exponent = 0;
        bool exponentDigits = false;
        for (s = peek(); s >= '0' && s <= '9'; s = peek()) {
            exponentDigits = true;
            exponent = std::min(exponent * 10 + (s - '0'), kExponentLimit);
            ++i;
        }
        if (exponentDigits)
            number.exponent += negativeExponent ? -exponent : exponent;
    }
    if (number.count == 0)
        number.exponent = 0;
    return number;
}

Decimal productOf(int digitA, int placesA, int digitB, int placesB) {
    Decimal product;
    int value = digitA * digitB;
    product.exponent = -(placesA + placesB);
    if (value <= 0)
        return product;
    for (; value % 10 == 0; value /= 10)
        ++product.exponent;
    if (value >= 10)
        product.push(static_cast<char>('0' + value / 10));
    product.push(static_cast<char>('0' + value % 10));
    return product;
}

// The range of a double: a text beyond it is read as the largest double, a text below it as 0.
constexpr std::int64_t kLargestPower = 308;
constexpr std::int64_t kSmallestPower = -324;

} // namespace

QString errorKindText(ErrorKind kind) {
    switch (kind) {
    case ErrorKind::Right:
        return u"正解"_s;
    case ErrorKind::Point:
        return u"小数点の誤り"_s;
    case ErrorKind::Fact:
        return u"九九の誤り"_s;
    case ErrorKind::Other:
        return u"その他の誤り"_s;
    }
    return {};
}

bool isDrillProblem(int digitA, int placesA, int digitB, int placesB) {
    const auto operand = [](int digit, int places) {
        return digit >= 1 && digit <= 9 && places >= 0 && places <= 2;
    };
    return operand(digitA, placesA) && operand(digitB, placesB);
}

bool isDrillProblem(const LoggedAnswer& answer) {
    return isDrillProblem(answer.digitA, answer.placesA, answer.digitB, answer.placesB);
}

AnswerJudgement judgeAnswer(std::string_view typed, int digitA, int placesA, int digitB, int placesB) {
    if (!isDrillProblem(digitA, placesA, digitB, placesB))
        return {}; // no product to compare with
    const Decimal value = leadingNumber(typed);
    const std::int64_t power = value.exponent + value.count - 1; // of the first significant digit
    if (value.count == 0 || power < kSmallestPower)
        return {}; // nothing, or zero
    // A product of this drill is positive: a minus sign is a stray key, not an answer.
    if (value.negative)
        return {};
    const Decimal product = productOf(digitA, placesA, digitB, placesB);
    if (power > kLargestPower || !value.sameDigits(product))
        return {ErrorKind::Fact, 0};
    const auto shift = static_cast<std::int32_t>(value.exponent - product.exponent);
    return {shift == 0 ? ErrorKind::Right : ErrorKind::Point, shift};
}

std::string_view typedTextOf(const LoggedAnswer& answer) {
    return {answer.typed.data(), std::min<std::size_t>(answer.typedLength, answer.typed.size())};
}

AnswerJudgement judgeAnswer(const LoggedAnswer& answer) {
    return judgeAnswer(typedTextOf(answer), answer.digitA, answer.placesA, answer.digitB, answer.placesB);
}

Fact factOf(int digitA, int digitB) {
    const auto a = static_cast<std::uint8_t>(std::clamp(digitA, 0, 9));
    const auto b = static_cast<std::uint8_t>(std::clamp(digitB, 0, 9));
    return {std::min(a, b), std::max(a, b)};
}

namespace {

// A whole number with `places` decimal places, in the drill's display form: no trailing zeros
// after the point, no point for a whole value.
QString decimalText(int mantissa, int places) {
    QString digits = QString::number(mantissa);
    if (places <= 0)
        return digits;
    if (digits.size() <= places)
        digits.prepend(QString(places - digits.size() + 1, u'0'));
    digits.insert(digits.size() - places, u'.');
    while (digits.endsWith(u'0'))
        digits.chop(1);
    if (digits.endsWith(u'.'))
        digits.chop(1);
    return digits;
}

} // namespace

QString operandText(int digit, int places) {
    return decimalText(digit, places);
}

QString productText(int digitA, int placesA, int digitB, int placesB) {
    return decimalText(digitA * digitB, placesA + placesB);
}

} // namespace mirai
