#include "EraDate.h"

#include <array>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

struct Era {
    const char16_t* name;
    QDate start;
};

// The modern eras, newest first.
const std::array<Era, 5>& eras() {
    static const std::array<Era, 5> table{{
        {u"令和", QDate(2019, 5, 1)},
        {u"平成", QDate(1989, 1, 8)},
        {u"昭和", QDate(1926, 12, 25)},
        {u"大正", QDate(1912, 7, 30)},
        {u"明治", QDate(1868, 9, 8)},
    }};
    return table;
}

} // namespace

QString weekdayName(const QDate& date) {
    static const char16_t names[] = u"月火水木金土日";
    const int day = date.dayOfWeek(); // 1 = Monday .. 7 = Sunday
    return day >= 1 && day <= 7 ? QString(QChar(names[day - 1])) : QString();
}

QString eraDateText(const QDate& date) {
    QString era;
    int year = date.year();
    for (const Era& entry : eras()) {
        if (date >= entry.start) {
            era = QString::fromUtf16(entry.name);
            year = date.year() - entry.start.year() + 1;
            break;
        }
    }
    return era + QString::number(year) + u"年 "_s + QString::number(date.month()) + u"月 "_s +
           QStringLiteral("%1").arg(date.day(), 2, 10, QChar(u'0')) + u"日（"_s + weekdayName(date) + u"）"_s;
}

std::uint32_t seasonColour(int month) {
    switch (month) {
    case 1:
    case 2:
        return 0x000080FF;
    case 3:
    case 4:
    case 5:
        return 0x00C0FFC0;
    case 6:
    case 7:
    case 8:
        return 0x00C0C000;
    case 9:
    case 10:
    case 11:
        return 0x000040C0;
    default:
        return 0x00C0FFC0;
    }
}

} // namespace mirai
