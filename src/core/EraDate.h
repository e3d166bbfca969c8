#pragma once

#include <QDate>
#include <QString>
#include <cstdint>

namespace mirai {

// Date in the pattern "ggge年 m月 dd日（aaa）": 8 Feb 2004 -> "平成16年 2月 08日（日）".
// Dates before the first era of the table fall back to the Western year.
QString eraDateText(const QDate& date);

// One-character Japanese weekday name (日, 月, … 土).
QString weekdayName(const QDate& date);

// Background colour of the student screens by the month, as &H00BBGGRR.
std::uint32_t seasonColour(int month);

} // namespace mirai
