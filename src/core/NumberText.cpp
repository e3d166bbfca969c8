#include "NumberText.h"

#include <cfloat>
#include <charconv>
#include <cmath>
#include <string>

using namespace Qt::StringLiterals;

namespace mirai {

double Val(const QString& text) {
    // Collect the characters that form the leading number, skipping blanks, tabs and line feeds.
    std::string number;
    number.reserve(32);
    enum class Stage { Sign, Mantissa, ExponentSign, Exponent } stage = Stage::Sign;
    bool seenPoint = false;
    bool seenDigit = false;
    std::size_t beforeExponent = 0;
    for (QChar ch : text) {
        const char16_t c = ch.unicode();
        if (c == u' ' || c == u'\t' || c == u'\n')
            continue;
        const bool digit = c >= u'0' && c <= u'9';
        if (stage == Stage::Sign) {
            stage = Stage::Mantissa;
            if (c == u'-' || c == u'+') {
                if (c == u'-')
                    number.push_back('-');
                continue;
            }
        }
        if (stage == Stage::Mantissa) {
            if (digit) {
                number.push_back(static_cast<char>(c));
                seenDigit = true;
            } else if (c == u'.' && !seenPoint) {
                number.push_back('.');
                seenPoint = true;
            } else if ((c == u'e' || c == u'E' || c == u'd' || c == u'D') && seenDigit) {
                beforeExponent = number.size();
                number.push_back('e');
                stage = Stage::ExponentSign;
            } else {
                break;
            }
        } else if (stage == Stage::ExponentSign) {
            stage = Stage::Exponent;
            if (c == u'-' || c == u'+') {
                number.push_back(static_cast<char>(c));
                continue;
            }
            if (!digit)
                break;
            number.push_back(static_cast<char>(c));
        } else if (stage == Stage::Exponent) {
            if (!digit)
                break;
            number.push_back(static_cast<char>(c));
        }
    }
    if (!seenDigit)
        return 0.0;
    // An exponent mark without digits is not part of the number.
    if (beforeExponent > 0 && (number.back() == 'e' || number.back() == '-' || number.back() == '+'))
        number.resize(beforeExponent);
    const char* first = number.data();
    if (*first == '-')
        ++first;
    double value = 0.0;
    const auto result = std::from_chars(first, number.data() + number.size(), value);
    if (result.ec == std::errc::result_out_of_range) {
        // Too large keeps its sign at the largest double; too small is 0.
        const bool tiny = number.find("e-") != std::string::npos;
        value = tiny ? 0.0 : DBL_MAX;
    }
    return number.front() == '-' ? -value : value;
}

namespace {

template <class Real> QString shortestText(Real value, int digits) {
    if (value == 0 || std::isnan(value))
        return u"0"_s;
    if (std::isinf(value))
        return value > 0 ? u"1E+309"_s : u"-1E+309"_s;
    char buffer[64];
    const auto result =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::general, digits);
    std::string text(buffer, result.ptr);
    const auto e = text.find('e');
    if (e != std::string::npos) {
        // "1.5e+16" -> "1.5E+16": the exponent form the toolkit wrote and Val reads.
        text[e] = 'E';
    }
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

QString numberText(double value) {
    return shortestText(value, 15);
}

QString numberText(float value) {
    return shortestText(value, 7);
}

QString Str(double value) {
    const QString text = numberText(value);
    return value < 0 ? text : u" "_s + text;
}

double Int(double value) {
    return std::floor(value);
}

double roundHalfEven(double value) {
    return std::nearbyint(value);
}

std::int64_t toWhole(double value, std::int64_t low, std::int64_t high) {
    if (std::isnan(value))
        return 0;
    const double rounded = roundHalfEven(value);
    if (rounded <= static_cast<double>(low))
        return low;
    if (rounded >= static_cast<double>(high))
        return high;
    return static_cast<std::int64_t>(rounded);
}

QString rightAligned(const QString& text, int width) {
    if (width <= 0)
        return {};
    if (text.size() >= width)
        return text.right(width);
    return QString(width - text.size(), u' ') + text;
}

namespace {
// Names are typed with either kind of blank; both pad a name, neither belongs to it.
bool isBlank(QChar c) {
    return c == u' ' || c == u'\u3000';
}
} // namespace

QString trimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && isBlank(text.at(first)))
        ++first;
    while (last > first && isBlank(text.at(last - 1)))
        --last;
    return text.mid(first, last - first);
}

QString trimTrailingBlanks(const QString& text) {
    qsizetype last = text.size();
    while (last > 0 && isBlank(text.at(last - 1)))
        --last;
    return text.left(last);
}

} // namespace mirai
