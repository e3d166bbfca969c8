#include "Problems.h"

#include "NumberText.h"
#include "Random.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace mirai {

QString FormatDecimal(std::int64_t mantissa, float exponent) {
    const QString digits = QString::number(mantissa < 0 ? -static_cast<std::uint64_t>(mantissa)
                                                        : static_cast<std::uint64_t>(mantissa));
    const int places = static_cast<int>(roundHalfEven(static_cast<double>(exponent)));
    if (places >= 0)
        return digits + QString(places, u'0');

    const int p = -places;
    QString t = QString(19, u'0') + digits;
    if (t.size() <= p) // more places than digits: the zeros in front are what the point needs
        t = QString(p - t.size() + 1, u'0') + t;
    t = t.left(t.size() - p) + u'.' + t.right(p);
    qsizetype first = 0;
    while (first < t.size() && t.at(first) == u'0' && !(first + 1 < t.size() && t.at(first + 1) == u'.'))
        ++first;
    qsizetype last = t.size();
    while (last > first && t.at(last - 1) == u'0')
        --last;
    if (last > first && t.at(last - 1) == u'.')
        --last;
    return t.mid(first, last - first);
}

int problemKind(int level) {
    return level == 2 ? 2 : 1;
}

namespace {

struct Operand {
    float digit = 0.0f;
    float shift = 0.0f;
    QString text;
};

Operand drawOperand(Random& random, int kind) {
    const double shiftChoices = kind == 2 ? 3.0 : 2.0;
    for (;;) {
        Operand operand;
        operand.digit = static_cast<float>(Int(9.0 * random.next() + 1.0));
        operand.shift = static_cast<float>(-Int(shiftChoices * random.next()));
        operand.text = FormatDecimal(static_cast<std::int64_t>(operand.digit), operand.shift);
        if (Val(operand.text) != 1.0)
            return operand;
    }
}

} // namespace

Problem makeProblem(Random& random, int kind) {
    Operand a;
    Operand b;
    do {
        a = drawOperand(random, kind);
        b = drawOperand(random, kind);
    } while (a.shift == 0.0f && b.shift == 0.0f);

    Problem problem;
    problem.OperandA = a.digit;
    problem.OperandB = b.digit;
    problem.ShiftA = a.shift;
    problem.ShiftB = b.shift;
    problem.textA = a.text;
    problem.textB = b.text;
    const auto product = static_cast<std::int64_t>(a.digit * b.digit);
    problem.AnswerText = FormatDecimal(product, a.shift + b.shift);
    problem.hintProduct = QString::number(product) + u'.';
    problem.marks = static_cast<int>(-(a.shift + b.shift));
    problem.hintText = u"小数点を"_s + QString::number(problem.marks) + u"個動かす"_s;
    return problem;
}

int hintDelayMs(std::int32_t correctCount, int problemsPerRun) {
    const double c = correctCount;
    if (c < problemsPerRun * 0.1)
        return 4000;
    if (c < problemsPerRun * 0.2)
        return 6000;
    if (c < problemsPerRun * 0.5)
        return 8000;
    return 12000;
}

LoggedAnswer judgedAnswer(const Problem& problem, const QString& typed, bool right, std::uint32_t ms,
                          bool hintShown, int index) {
    LoggedAnswer answer;
    answer.digitA = static_cast<std::uint8_t>(problem.OperandA);
    answer.placesA = static_cast<std::uint8_t>(-problem.ShiftA);
    answer.digitB = static_cast<std::uint8_t>(problem.OperandB);
    answer.placesB = static_cast<std::uint8_t>(-problem.ShiftB);
    QString text = typed;
    if (text.size() > static_cast<qsizetype>(answer.typed.size()))
        text = QString::number(Val(typed), 'G', 15).left(static_cast<qsizetype>(answer.typed.size()));
    const QByteArray ascii = text.toLatin1();
    answer.typedLength = static_cast<std::uint8_t>(std::min<qsizetype>(ascii.size(), answer.typed.size()));
    std::copy_n(ascii.constData(), answer.typedLength, answer.typed.begin());
    answer.right = right;
    answer.hintShown = hintShown;
    answer.ms = ms;
    answer.index = static_cast<std::uint8_t>(std::clamp(index, 0, 255));
    return answer;
}

} // namespace mirai
