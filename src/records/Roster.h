#pragma once

#include <QByteArray>
#include <QDate>
#include <QString>
#include <array>
#include <cstdint>
#include <functional>

namespace mirai {

struct SharedState;
class Untyped;

// A roster record that is listed on the name-selection screen, as handed to the list builder.
struct ListedRecord {
    int number = 0;
    int birthYear = 0;
    QString name;           // trimmed
    QString halfWidthLabel; // "小3", "幼1", "大+", …
    int stageNumber = 0;    // below 1 marks a pre-school child
};

// One roster record as read, whatever its list flag.
struct RosterEntry {
    std::int16_t number = 0;
    std::int16_t birthYear = 0;
    QString name; // the first 20 characters, blank-padded
    std::int16_t listFlag = 0;
};

// One record of a roster text as it is written, whether the program can read it or not.
struct RosterRecordText {
    RosterEntry entry;             // as far as it could be read
    bool readable = false;         // false: the program skips the record
    QString name;                  // the whole name field, not cut
    std::array<QString, 4> unused; // fields 3, 4, 7 and 8 as written
    qsizetype begin = 0;           // where the record starts in the text
    qsizetype end = 0;             // just after it (its line end included)
};

// Hands every record of a roster text to `onRecord` in order, and returns where the last whole
// record ends: a text that ends inside a record leaves that record out.
qsizetype scanRosterText(const QString& text, const std::function<void(const RosterRecordText&)>& onRecord);

// Reads every record of a roster file in file order. Records whose number is outside 0..5000 or
// whose fields cannot be read are skipped. False when the file cannot be opened.
bool forEachRosterRecord(const QString& path, const std::function<void(const RosterEntry&)>& onRecord);
// The same over a roster file's bytes.
void forEachRosterRecordIn(const QByteArray& bytes, const std::function<void(const RosterEntry&)>& onRecord);

// Whether a record with this list flag is listed: 0 always, 2 when the common data says to keep it.
bool isListedFlag(int listFlag, bool keepMark2);

// A teacher's name holds "★" or "先生".
bool isTeacherName(const QString& name);

// The school year: today's calendar year, minus 1 before the start month of the school year.
int SchoolYearOf(const QDate& today, const Untyped& schoolYearStartMonth);

// Grade number g = school year − birth year − 6 (1..6 elementary, 7..9 lower secondary, …).
int gradeNumber(int schoolYear, int birthYear);

// "幼３", "小１" … "高１" for g in 0..10; empty otherwise.
QString fullWidthGradeLabel(int grade);
QString halfWidthGradeLabel(int grade);
int stageNumber(int grade);

// "①".."⑥" for grades 1..6, "Ⅰ".."Ⅲ" for 7..9, "　" otherwise.
QString GradeMark(int grade);

// Group membership of a grade for a grade filter text. The results screen's filter admits
// everyone for "家族"; the name-selection screen's filter admits nobody for it.
std::int16_t InSelectedGroup(const QString& groupText, int grade);
bool inNameSelectionGroup(const QString& groupText, int grade);

// Reads the roster file of the common folder into the roster tables of the shared state and
// hands every listed record, in file order, to `onListed`. Records whose number is outside
// 0..5000 or whose fields cannot be read are skipped; a missing file lists nobody.
void ReadRoster(SharedState& state, const QDate& today,
                const std::function<void(const ListedRecord&)>& onListed = {});

} // namespace mirai
