#include "RosterTables.h"

#include "NumberText.h"
#include "Roster.h"

using namespace Qt::StringLiterals;

namespace mirai {

QStringList RosterTables::LoadRosterChoices(const QString& rosterPath, int schoolYear) {
    QStringList choices;
    forEachRosterRecord(rosterPath, [&](const RosterEntry& record) {
        const QString name = trimBlanks(record.name);
        RosterNameTable[index(record.number)] = name;
        choices.append(studentChoiceText(record.number, name));
        const int grade = gradeNumber(schoolYear, record.birthYear);
        if (grade >= 0 && grade <= 10)
            GradeLabelTable[index(record.number)] = fullWidthGradeLabel(grade);
    });
    return choices;
}

QString studentChoiceText(int student, const QString& name) {
    return QString::number(student) + u" /  "_s + name;
}

std::optional<double> studentNumberOfChoice(const QString& text) {
    const qsizetype slash = text.indexOf(u'/');
    if (slash < 0)
        return std::nullopt;
    return Val(text.left(slash));
}

} // namespace mirai
