#pragma once

#include <QByteArray>
#include <QString>
#include <climits>
#include <cstdint>
#include <functional>
#include <vector>

namespace mirai {

class ClassGrid;
struct LoggedAnswer;

// The answers of the log as spreadsheet rows, one per answer, with the rules of the record export
// (Csv.h): student, run, date, level, operands, the answer as typed, the right answer, the kind of
// error and how far the point is off, milliseconds, and whether the hint was showing.
class AnswersCsvWriter {
public:
    // `nameOf` gives a student's name for the name column; without it the column stays empty.
    explicit AnswersCsvWriter(std::function<QString(int student)> nameOf = {});

    // The byte-order mark and the header row.
    static QByteArray header();
    void add(const LoggedAnswer& answer, QByteArray& out);

private:
    const QByteArray& nameField(int student);

    std::function<QString(int)> m_nameOf;
    std::vector<QByteArray> m_names; // the quoted name of each student, made when first needed
    std::int32_t m_day = INT32_MIN;  // the date of the last row and its field
    QByteArray m_dayField;
};

// What the grid's rows show of a student besides the number.
struct StudentLabel {
    QString name;
    QString grade;
};

// The class grid as a spreadsheet: a row per student in the given order, the student's number,
// name and grade, then the columns of each level: runs this week, cleared "○", the percentages
// with one decimal (empty without answers), blocked "○".
QByteArray classGridCsv(const ClassGrid& grid, const std::vector<int>& rows, const std::vector<int>& levels,
                        const std::function<StudentLabel(int student)>& labelOf);

} // namespace mirai
