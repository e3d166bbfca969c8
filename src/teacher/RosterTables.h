#pragma once

#include "SharedState.h"

#include <QString>
#include <QStringList>
#include <array>
#include <optional>

namespace mirai {

// The roster as the record maintenance screen knows it: name and grade label by student number.
// Entries of numbers the roster no longer holds keep what they held; numbers outside 0..5000
// have neither.
class RosterTables {
public:
    QString name(int student) const {
        return isStudentNumber(student) ? RosterNameTable[index(student)] : QString();
    }
    QString grade(int student) const {
        return isStudentNumber(student) ? GradeLabelTable[index(student)] : QString();
    }

    // Reads the roster file (every record, whatever its list flag) into the tables and returns the
    // student choices "number /  name" in file order. A missing roster gives no choices.
    QStringList LoadRosterChoices(const QString& rosterPath, int schoolYear);

    std::array<QString, kStudentRows> RosterNameTable{};
    std::array<QString, kStudentRows> GradeLabelTable{};

private:
    static std::size_t index(int student) { return static_cast<std::size_t>(student); }
};

// A student choice as the list offers it and the student field shows it: "7 /  山田花子".
QString studentChoiceText(int student, const QString& name);

// The student number of a choice or a typed student field: the number before the first "/".
// nullopt when the text holds no "/".
std::optional<double> studentNumberOfChoice(const QString& text);

} // namespace mirai
