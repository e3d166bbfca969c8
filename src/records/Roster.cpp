#include "Roster.h"

#include "Configuration.h"
#include "Cp932.h"
#include "NumberText.h"
#include "SharedState.h"
#include "TextFile.h"
#include "Untyped.h"

#include <QFile>
#include <array>
#include <cmath>
#include <optional>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr int kNameLength = 20;

// A whole-number field of the roster. An empty field is 0; a field that is not a number, or
// whose number does not fit a 16-bit slot, cannot be read.
std::optional<std::int16_t> wholeNumber(const Untyped& field) {
    if (field.isEmpty())
        return std::int16_t{0};
    // A quoted field is text to the reader; a quoted number is still a number here.
    if (!field.isNumber() && !Untyped::fromField(field.toText(), false).isNumber())
        return std::nullopt;
    const double value = roundHalfEven(Val(field.toText()));
    if (!std::isfinite(value) || value < INT16_MIN || value > INT16_MAX)
        return std::nullopt;
    return static_cast<std::int16_t>(value);
}

// Reads the eight fields of one record. False when the file ended before the record's list flag.
bool readRecord(TextFieldReader& reader, RosterRecordText& record) {
    bool readable = true;
    auto whole = [&](std::int16_t& slot, QString* text = nullptr) {
        const Untyped field = reader.readUntyped();
        if (text)
            *text = field.toText();
        if (const auto value = wholeNumber(field))
            slot = *value;
        else
            readable = false;
    };

    record.begin = reader.position();
    std::int16_t unused = 0;
    whole(record.entry.number);
    if (reader.atEnd())
        return false;
    whole(record.entry.birthYear);
    if (reader.atEnd())
        return false;
    whole(unused, &record.unused[0]);
    if (reader.atEnd())
        return false;
    whole(unused, &record.unused[1]);
    if (reader.atEnd())
        return false;
    record.name = reader.readText();
    record.entry.name = record.name.left(kNameLength).leftJustified(kNameLength, u' ');
    if (reader.atEnd())
        return false;
    whole(record.entry.listFlag);
    // The two text fields at the end are not used; a last record without them is still whole.
    record.unused[2] = reader.readText();
    record.unused[3] = reader.readText();
    record.end = reader.position();
    record.readable = readable && isStudentNumber(record.entry.number);
    return true;
}

} // namespace

qsizetype scanRosterText(const QString& text, const std::function<void(const RosterRecordText&)>& onRecord) {
    TextFieldReader reader;
    reader.setText(text);
    qsizetype wholeEnd = 0;
    while (!reader.atEnd()) {
        RosterRecordText record;
        if (!readRecord(reader, record))
            break;
        wholeEnd = record.end;
        onRecord(record);
    }
    return wholeEnd;
}

bool forEachRosterRecord(const QString& path, const std::function<void(const RosterEntry&)>& onRecord) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    forEachRosterRecordIn(file.readAll(), onRecord);
    return true;
}

void forEachRosterRecordIn(const QByteArray& bytes, const std::function<void(const RosterEntry&)>& onRecord) {
    scanRosterText(cp932::decode(bytes), [&](const RosterRecordText& record) {
        if (record.readable)
            onRecord(record.entry);
    });
}

bool isListedFlag(int listFlag, bool keepMark2) {
    return listFlag == 0 || (listFlag == 2 && keepMark2);
}

bool isTeacherName(const QString& name) {
    return name.contains(u"★"_s) || name.contains(u"先生"_s);
}

int SchoolYearOf(const QDate& today, const Untyped& schoolYearStartMonth) {
    return today.month() < schoolYearStartMonth.toDouble() ? today.year() - 1 : today.year();
}

int gradeNumber(int schoolYear, int birthYear) {
    return schoolYear - birthYear - 6;
}

QString fullWidthGradeLabel(int grade) {
    static const std::array<QString, 11> labels{u"幼３"_s, u"小１"_s, u"小２"_s, u"小３"_s,
                                                u"小４"_s, u"小５"_s, u"小６"_s, u"中１"_s,
                                                u"中２"_s, u"中３"_s, u"高１"_s};
    if (grade < 0 || grade > 10)
        return {};
    return labels[static_cast<std::size_t>(grade)];
}

QString halfWidthGradeLabel(int grade) {
    if (grade < -2)
        return u"幼-"_s;
    if (grade <= 0)
        return u"幼"_s + QString::number(grade + 3);
    if (grade <= 6)
        return u"小"_s + QString::number(grade);
    if (grade <= 9)
        return u"中"_s + QString::number(grade - 6);
    if (grade <= 12)
        return u"高"_s + QString::number(grade - 9);
    return u"大+"_s;
}

int stageNumber(int grade) {
    // Pre-school children count down from −6 (幼3), so every stage number below 1 marks one.
    if (grade <= 0)
        return grade - 6;
    if (grade <= 6)
        return grade;
    if (grade <= 9)
        return grade - 6;
    return grade - 9;
}

QString GradeMark(int grade) {
    static const std::array<QString, 9> marks{u"①"_s, u"②"_s, u"③"_s, u"④"_s, u"⑤"_s,
                                              u"⑥"_s, u"Ⅰ"_s, u"Ⅱ"_s, u"Ⅲ"_s};
    if (grade < 1 || grade > 9)
        return u"　"_s;
    return marks[static_cast<std::size_t>(grade - 1)];
}

namespace {

// Membership by the group table, "家族" aside.
bool inGradeGroup(const QString& groupText, int grade) {
    if (groupText == u"全学年")
        return true;
    if (groupText == u"小学生全体")
        return grade >= 1 && grade <= 6;
    if (groupText == u"中学生全体")
        return grade >= 7 && grade <= 9;
    static const std::array<QString, 9> single{u"小１"_s, u"小２"_s, u"小３"_s, u"小４"_s, u"小５"_s,
                                               u"小６"_s, u"中１"_s, u"中２"_s, u"中３"_s};
    for (std::size_t i = 0; i < single.size(); ++i) {
        if (groupText == single[i])
            return grade == static_cast<int>(i) + 1;
    }
    return false;
}

} // namespace

std::int16_t InSelectedGroup(const QString& groupText, int grade) {
    if (groupText == u"家族")
        return 1;
    return inGradeGroup(groupText, grade) ? 1 : 0;
}

bool inNameSelectionGroup(const QString& groupText, int grade) {
    return inGradeGroup(groupText, grade);
}

void ReadRoster(SharedState& state, const QDate& today,
                const std::function<void(const ListedRecord&)>& onListed) {
    state.SchoolYear = SchoolYearOf(today, state.SchoolYearStartMonth);
    state.NumberByPosition.assign(1, 0);
    state.ListedStudentCount = 0;

    // The roster as last read stands in while the shared folder is out of reach; a roster never
    // read lists nobody. Results stored under any number stay untouched either way.
    QFile file(state.CommonFolder + QString::fromUtf16(files::kRoster));
    if (file.open(QIODevice::ReadOnly))
        state.RosterCache = file.readAll();
    const bool keepMark2 = state.RosterKeepMark2 == 1.0;
    forEachRosterRecordIn(state.RosterCache, [&](const RosterEntry& record) {
        const int number = record.number;
        const int grade = gradeNumber(state.SchoolYear, record.birthYear);
        state.RosterNames[static_cast<std::size_t>(number)] = record.name;
        state.BirthYearByNumber[static_cast<std::size_t>(number)] = record.birthYear;
        if (grade >= 0 && grade <= 10)
            state.GradeLabelByNumber[static_cast<std::size_t>(number)] = fullWidthGradeLabel(grade);

        if (!isListedFlag(record.listFlag, keepMark2))
            return;
        state.NumberByPosition.push_back(number);
        ++state.ListedStudentCount;
        if (onListed) {
            onListed(ListedRecord{number, record.birthYear, trimBlanks(record.name),
                                  halfWidthGradeLabel(grade), stageNumber(grade)});
        }
    });
}

} // namespace mirai
