#pragma once

#include "StudentPicture.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace mirai {

// A student's figures of one level for this week, this month and all time, in that order.
using PeriodFigures = std::array<PictureFigures, kPeriods>;
PeriodFigures periodFigures(const StudentPicture& picture, int level);

// "今週", "今月", "これまで".
QString periodTitle(Period period);

// A table as the screen and the paper show it: a row label, then one text per period.
struct TextTable {
    QString title;
    QStringList header;            // the label column's title, then the periods
    std::vector<QStringList> rows; // the label, then the texts
};

// Answers, % right, the three kinds of errors with their share, right answers without and with the
// hint showing.
TextTable summaryTable(const PeriodFigures& figures);
// Point errors by how far the point is off (1, 2, 3, 4 or more places) and which way.
TextTable pointErrorTable(const PeriodFigures& figures);
// The five facts most often wrong, with their errors and how often they were asked.
TextTable missedFactTable(const PeriodFigures& figures);
// The median answer time per times-table row (1の段 .. 9の段).
TextTable answerTimeTable(const PeriodFigures& figures);
// The four, in the order they are shown.
std::vector<TextTable> pictureTables(const PeriodFigures& figures);

// "83%", "-" without a figure; halves round to even.
QString percentText(std::optional<double> percent);
// "12（10%）": a count and its share of the answers; "-" without answers.
QString countWithShareText(std::uint32_t count, std::uint32_t answers);
// "3.2秒" from milliseconds, to a tenth of a second; "-" without a figure.
QString secondsText(std::optional<double> ms);
// "7×8　3回/12問": a fact, its errors and how often it was asked.
QString missedFactText(const MissedFact& fact);

} // namespace mirai
