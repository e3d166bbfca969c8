#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace mirai {

class RosterDocument;

// A student a spreadsheet file adds, with what the teacher should know before adding it.
struct ImportedStudent {
    int line = 0; // line of the file, from 1
    QString name;
    int birthYear = 0;
    QStringList warnings;
    int number = 0; // given by assignNumbers
};

// A line of the file that adds nobody, and why.
struct RefusedLine {
    int line = 0;
    QString text; // the line as written
    QString reason;
};

// What a spreadsheet file (CSV) would add to the roster. Its first line names the columns: the
// name and either the birth year or the grade, found by their titles ("名前", "生まれ年", "学年", …).
struct RosterImport {
    QString error;    // the whole file is refused (no usable title line)
    QString encoding; // "UTF-8（BOM付き）", "UTF-8" or "シフトJIS"
    bool byGrade = false;
    std::vector<ImportedStudent> students;
    std::vector<RefusedLine> refused;
};

// Reads a CSV file in UTF-8 (with or without a byte-order mark) or code page 932. Grades become
// birth years of `schoolYear`; names already in `rosterNames` are added with a warning.
RosterImport readRosterCsv(const QByteArray& bytes, int schoolYear, const QStringList& rosterNames);

// Gives each student of an import the next free number (see nextFreeNumber), in file order; a
// student left without one, when the numbers run out, becomes a refused line.
void assignNumbers(RosterImport& import, std::vector<bool> inRoster, const std::vector<bool>& withRuns);

// The birth year a text names: four digits (full-width ones too), "年" after them allowed, from 1900 to
// `schoolYear`; nullopt when it names none.
std::optional<int> birthYearOfText(const QString& text, int schoolYear);

// The grade number a grade text names ("小3", "小学３年", "中1", "高２", "幼3", "年長"); nullopt when it
// names none.
std::optional<int> gradeOfText(const QString& text);

// The roster as a spreadsheet file, by the rules of the record export (byte-order mark, CR LF, quoted
// texts, nothing a spreadsheet would run as a formula): number, name, birth year, grade, listed.
QByteArray rosterCsv(const RosterDocument& roster, int schoolYear, bool keepMark2);

} // namespace mirai
