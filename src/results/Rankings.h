#pragma once

#include <QDate>
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QTime>
#include <cstdint>
#include <functional>
#include <vector>

namespace mirai {

struct ResultRecord;
struct SharedState;

// What the level lists show: best times and runs, or points.
constexpr int kTimeDisplay = 1;
constexpr int kPointsDisplay = 2;
// Order of the points rankings.
constexpr int kCumulativeOrder = 1;
constexpr int kTodayOrder = 2;
// A value of 0 stands for the first choice.
inline int effectiveChoice(int value) {
    return value == 0 ? 1 : value;
}

// Seconds at or above which a stored run counts as a failure in the run lists.
constexpr std::int32_t kFailureSeconds = 90000;
// A best time stored for a failed run.
constexpr std::int32_t kFailedBestSeconds = 99998;

// The items of the period choice, in order (choice 1..5).
QStringList periodItems();
// Days counted back for a period choice on a given day: the weekly periods start on Monday.
int PeriodDaysFor(int periodChoice, const QDate& today);

// Pieces of the list lines.
// A blank and the rank number, cut to its last `width` characters.
QString rankField(int rank, int width = 2);
QString rankingNameField(const QString& rosterName);
QString runListNameField(const QString& rosterName);
QString secondsField(std::int32_t seconds);
QString dateText(const QDate& date);      // yyyy/mm/dd
QString shortDateText(const QDate& date); // mm/dd
QString timeOfDayText(const QTime& time); // h:mm:ss
QString clockTimeText(const QTime& time); // hh:mm
QString ownMark();

// Positions 0..n−1 ordered by key ascending; equal keys keep their input order.
std::vector<int> SortByKey(const std::vector<std::int32_t>& keys);
// Rank of each sorted position: a key equal to the one before shares its rank (1, 2, 2, 4).
std::vector<int> rankNumbers(const std::vector<std::int32_t>& sortedKeys);

// The grade number of student `student` (a roster number) in the state's school year.
int gradeOf(const SharedState& state, int student);

// One level's ranking as list lines, and the line of the current student (−1 when not shown).
// Each line carries its student's number and rank (0 for a student without a time), so a line
// is found by its student, never by a name that another name may contain.
struct LevelRanking {
    QStringList lines;
    int ownLine = -1;
    std::vector<int> students;
    std::vector<int> ranks;
};

// The ranking of a level over the listed students (roster order breaks ties). Students outside
// the group keep their rank number but get no line. `rankWidth` is the width of the rank field.
LevelRanking levelRanking(const SharedState& state, int level, int listMode, int pointsOrder,
                          const QString& groupText, int rankWidth = 2);

// The three run lists built from stored records.
enum class RunListKind { Today, Period, Personal };

struct RunListSettings {
    RunListKind kind = RunListKind::Today;
    int listMode = kTimeDisplay;
    int levelCount = 2;
    int currentStudent = 0;
    QString groupText;
    QDateTime now;
    int periodDays = 0;
};

// The line a record adds to the list of its level, or an empty text when the record is not
// shown in this list.
QString runListLine(const SharedState& state, const RunListSettings& settings, const ResultRecord& record);

// Appends the lines of `records` (in file order) to the lists of levels 1..levelCount
// (`lists[level]`). `progress` is told every so many records how many have been read.
void appendRunLists(const SharedState& state, const RunListSettings& settings,
                    const std::vector<ResultRecord>& records, std::vector<QStringList>& lists,
                    const std::function<void(std::size_t)>& progress = {});

} // namespace mirai
