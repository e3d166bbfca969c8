#include "NameList.h"

#include "NumberText.h"
#include "Roster.h"
#include "SharedState.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirai {

QString noNameChosenText() {
    return u"名前を選びなさい"_s;
}

QString nameListHeadRow() {
    return u"－－－－－－"_s;
}

QStringList gradeFilterItems() {
    return {u"全学年"_s, u"中学生全体"_s, u"小学生全体"_s, u"中３"_s, u"中２"_s, u"中１"_s,
            u"小６"_s,   u"小５"_s,       u"小４"_s,       u"小３"_s, u"小２"_s, u"小１"_s};
}

std::vector<StudentFigures> allStudentFigures(const SharedState& state) {
    std::vector<StudentFigures> figures(kStudentRows);
    for (int level = 1; level <= kMaxLevel; ++level) {
        const std::int32_t* runsToday = state.RunCountToday.row(level);
        const std::int32_t* pointsToday = state.PointsToday.row(level);
        const std::int32_t* runsSoFar = state.RunCountSoFar.row(level);
        const std::int32_t* pointsSoFar = state.PointsSoFar.row(level);
        for (int student = 0; student < kStudentRows; ++student) {
            StudentFigures& f = figures[static_cast<std::size_t>(student)];
            f.runsToday += runsToday[student];
            f.pointsToday += pointsToday[student];
            f.runsSoFar += runsSoFar[student];
            f.pointsSoFar += pointsSoFar[student];
        }
    }
    return figures;
}

QString todayRunsText(std::int32_t runs) {
    return runs != 0 ? rightAligned(numberText(runs), 3) + u"回"_s : u"     "_s;
}

QString todayPointsText(std::int32_t points) {
    return points != 0 ? rightAligned(numberText(points), 4) : u"  　"_s;
}

QString runsSoFarText(std::int32_t runs) {
    return runs != 0 ? rightAligned(numberText(runs), 5) + u"回"_s : u"     　"_s;
}

QString pointsSoFarText(std::int32_t points) {
    return points != 0 ? rightAligned(numberText(points), 7) : u"       "_s;
}

QString nameListLine(const ListedRecord& record, const StudentFigures& figures, int displayMode) {
    QString first;
    QString second;
    switch (displayMode) {
    case kModePoints:
        first = todayPointsText(figures.pointsToday);
        second = pointsSoFarText(figures.pointsSoFar);
        break;
    case kModeToday:
        first = todayPointsText(figures.pointsToday);
        second = todayRunsText(figures.runsToday);
        break;
    case kModeSoFar:
        first = pointsSoFarText(figures.pointsSoFar);
        second = runsSoFarText(figures.runsSoFar);
        break;
    default:
        first = todayRunsText(figures.runsToday);
        second = runsSoFarText(figures.runsSoFar);
        break;
    }
    // Pre-school children stand two columns further right, except in the points mode.
    const int width = (record.stageNumber < 1 && displayMode != kModePoints) ? 11 : 9;
    const QString labelAndName = record.halfWidthLabel + u' ' + record.name;
    // A name too long for the column gets no filler: the line is simply longer.
    const qsizetype filler = std::max<qsizetype>(0, width - labelAndName.size());

    QString line;
    line.reserve(48);
    line += numberText(record.birthYear);
    line += labelAndName;
    line += QString(filler, QChar(u'　'));
    line += first;
    line += u'/';
    line += second;
    line += u'*';
    line += numberText(record.number);
    return line;
}

QString rowTextOfLine(const QString& line) {
    // The number follows the last "*": a "*" inside a name must not move it.
    const qsizetype star = line.lastIndexOf(u'*');
    if (star < 0)
        return line.mid(4);
    return star > 4 ? line.mid(4, star - 4) : QString();
}

QString entryOfLine(const QString& line) {
    const qsizetype star = line.lastIndexOf(u'*');
    if (star < 0)
        return line.mid(4);
    // From the fifth character on, as many characters as the 1-based position of "*": the row
    // text, the "*" and up to four digits of the number.
    return line.mid(4, star + 1);
}

void NameList::clear() {
    m_buffer.clear();
    m_rows.clear();
    m_entries.clear();
}

void NameList::addLine(QString line) {
    m_buffer.append(std::move(line));
}

void NameList::sortBuffer() {
    std::stable_sort(m_buffer.begin(), m_buffer.end());
}

void NameList::filter(int schoolYear, const QString& groupText) {
    m_rows.clear();
    m_entries.clear();
    m_rows.reserve(m_buffer.size() + 1);
    m_entries.reserve(m_buffer.size());
    m_rows.append(nameListHeadRow());
    for (const QString& line : m_buffer) {
        // The grade is taken from the line itself: its first four characters are the birth year.
        const int birthYear = toInt32(Val(line.left(4)));
        if (!inNameSelectionGroup(groupText, gradeNumber(schoolYear, birthYear)))
            continue;
        m_rows.append(rowTextOfLine(line));
        m_entries.append(entryOfLine(line));
    }
}

void NameList::rebuild(SharedState& state, const QDate& today, int displayMode, const QString& groupText) {
    clear();
    const std::vector<StudentFigures> figures = allStudentFigures(state);
    m_buffer.reserve(state.ListedStudentCount + 16);
    ReadRoster(state, today, [&](const ListedRecord& record) {
        const StudentFigures none;
        const StudentFigures& f =
            isStudentNumber(record.number) ? figures[static_cast<std::size_t>(record.number)] : none;
        addLine(nameListLine(record, f, displayMode));
    });
    sortBuffer();
    filter(state.SchoolYear, groupText);
}

std::optional<int> NameList::numberAtRow(int row) const {
    if (row < 1 || row > m_entries.size())
        return std::nullopt;
    const QString& entry = m_entries[row - 1];
    const qsizetype star = entry.lastIndexOf(u'*');
    if (star < 0)
        return std::nullopt;
    const double number = Val(entry.mid(star + 1));
    if (number < 0 || number > kMaxStudent)
        return std::nullopt;
    return static_cast<int>(number);
}

QString NameList::promptForRow(int row) const {
    if (row < 1 || row >= m_rows.size())
        return noNameChosenText();
    return trimBlanks(trimBlanks(m_rows[row]).left(10));
}

QString NameList::fullNameForRow(int row) const {
    if (row < 1 || row >= m_rows.size())
        return noNameChosenText();
    const QString& text = m_rows[row];
    // The figures start at the last "/"; a "/" inside a name stays part of the name.
    const qsizetype slash = text.lastIndexOf(u'/');
    return trimBlanks(slash < 0 ? text : text.left(slash));
}

} // namespace mirai
