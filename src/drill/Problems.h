#pragma once

#include "LoggedAnswer.h"

#include <QString>
#include <cstdint>

namespace mirai {

class Random;

// M x 10^E written as a plain decimal: no sign, no leading zeros before "0.", no trailing
// zeros after the point, no point for a whole value. (56, -2) -> "0.56"; (40, -1) -> "4".
QString FormatDecimal(std::int64_t mantissa, float exponent);

// Kind 1: operands with 0 or 1 decimal places; kind 2: up to two.
int problemKind(int level);

// One problem as the drill screen shows it.
struct Problem {
    float OperandA = 0.0f; // digits 1..9
    float OperandB = 0.0f;
    float ShiftA = 0.0f; // 0, -1 or -2 decimal places as a power of ten
    float ShiftB = 0.0f;
    QString textA; // qLabel1
    QString textB; // qlabel2
    QString AnswerText;
    QString hintProduct; // digit product and "."
    int marks = 0;       // places the point moves
    QString hintText;    // "小数点を" n "個動かす"
};

// Draws a problem of the given kind: digit A, shift A, digit B, shift B, in that order; an
// operand that reads exactly 1 is drawn again, and two whole operands start both anew.
Problem makeProblem(Random& random, int kind);

// Delay before the hint panel appears: longer as the run goes on.
int hintDelayMs(std::int32_t correctCount, int problemsPerRun = 10);

// One judged answer of a problem as the answer log keeps it (the run's date, time, student and
// level are added when the run is stored). A text longer than the log's 16 characters (the point
// moved far with the arrow keys) is kept as the same value in exponent form.
LoggedAnswer judgedAnswer(const Problem& problem, const QString& typed, bool right, std::uint32_t ms,
                          bool hintShown, int index);

} // namespace mirai
