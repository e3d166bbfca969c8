#include "Rankings.h"

#include "NumberText.h"
#include "ResultRecords.h"
#include "Roster.h"
#include "SharedState.h"
#include "Statistics.h"

#include <algorithm>
#include <numeric>

using namespace Qt::StringLiterals;

namespace mirai {

QStringList periodItems() {
    return {u"　　　今週の全成績"_s, u"　　先週からの全成績"_s, u"　　１ヶ月間の全成績"_s,
            u"　　１年間の全成績"_s, u"　　今までの全成績\""_s};
}

int PeriodDaysFor(int periodChoice, const QDate& today) {
    // Monday is day 1 of the week; a Sunday closes the week that began six days before.
    const int weekday = today.dayOfWeek(); // Monday 1 .. Sunday 7
    switch (periodChoice) {
    case 1:
        return weekday == 7 ? 7 : weekday;
    case 2:
        return weekday == 7 ? 14 : weekday + 7;
    case 4:
        return 365;
    case 5:
        return 3650;
    default:
        return 30;
    }
}

QString rankField(int rank, int width) {
    return (QString(width - 1, u' ') + numberText(rank)).right(width);
}

QString rankingNameField(const QString& rosterName) {
    return (trimTrailingBlanks(rosterName) + u"　　　　　　"_s).left(5);
}

QString runListNameField(const QString& rosterName) {
    return (trimBlanks(rosterName) + u"　　　　"_s).left(5);
}

QString secondsField(std::int32_t seconds) {
    return (u"      "_s + numberText(seconds) + u"秒"_s).right(5);
}

QString dateText(const QDate& date) {
    return date.toString(u"yyyy/MM/dd"_s);
}

QString shortDateText(const QDate& date) {
    return dateText(date).right(5);
}

QString timeOfDayText(const QTime& time) {
    return time.toString(u"h:mm:ss"_s);
}

QString clockTimeText(const QTime& time) {
    return (u"00"_s + timeOfDayText(time)).right(8).left(5);
}

QString ownMark() {
    return u"●"_s;
}

std::vector<int> SortByKey(const std::vector<std::int32_t>& keys) {
    std::vector<int> order(keys.size());
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
        return keys[static_cast<std::size_t>(a)] < keys[static_cast<std::size_t>(b)];
    });
    return order;
}

std::vector<int> rankNumbers(const std::vector<std::int32_t>& sortedKeys) {
    std::vector<int> ranks(sortedKeys.size());
    for (std::size_t k = 0; k < sortedKeys.size(); ++k)
        ranks[k] = (k > 0 && sortedKeys[k] == sortedKeys[k - 1]) ? ranks[k - 1] : static_cast<int>(k) + 1;
    return ranks;
}

int gradeOf(const SharedState& state, int student) {
    return gradeNumber(state.SchoolYear, state.BirthYearByNumber[static_cast<std::size_t>(student)]);
}

LevelRanking levelRanking(const SharedState& state, int level, int listMode, int pointsOrder,
                          const QString& groupText, int rankWidth) {
    LevelRanking ranking;
    if (level < 1 || level > kMaxLevel)
        return ranking;
    const bool points = effectiveChoice(listMode) == kPointsDisplay;
    const bool todayOrder = effectiveChoice(pointsOrder) == kTodayOrder;

    // Students in roster order; positions beyond the table or numbers out of range are left out.
    std::vector<int> students;
    const int listed =
        std::min<int>(state.ListedStudentCount, static_cast<int>(state.NumberByPosition.size()) - 1);
    students.reserve(static_cast<std::size_t>(std::max(listed, 0)));
    for (int position = 1; position <= listed; ++position) {
        const int number = state.NumberByPosition[static_cast<std::size_t>(position)];
        if (isStudentNumber(number))
            students.push_back(number);
    }
    const std::size_t n = students.size();

    std::vector<std::int32_t> primary(n);
    std::vector<std::int32_t> secondary(n);
    for (std::size_t k = 0; k < n; ++k) {
        const int s = students[k];
        if (!points) {
            primary[k] = state.BestSeconds(level, s);
        } else {
            const std::int32_t soFar = state.PointsSoFar(level, s);
            const std::int32_t today = state.PointsToday(level, s);
            primary[k] = todayOrder ? today : soFar;
            secondary[k] = todayOrder ? soFar : today;
        }
    }

    std::vector<int> order;
    if (!points) {
        order = SortByKey(primary);
    } else {
        order.resize(n);
        std::iota(order.begin(), order.end(), 0);
        std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
            const auto ua = static_cast<std::size_t>(a);
            const auto ub = static_cast<std::size_t>(b);
            if (primary[ua] != primary[ub])
                return primary[ua] > primary[ub];
            return secondary[ua] > secondary[ub];
        });
    }
    std::vector<std::int32_t> sortedKeys(n);
    for (std::size_t k = 0; k < n; ++k)
        sortedKeys[k] = primary[static_cast<std::size_t>(order[k])];
    const std::vector<int> ranks = rankNumbers(sortedKeys);

    ranking.lines.reserve(static_cast<qsizetype>(n));
    ranking.students.reserve(n);
    ranking.ranks.reserve(n);
    for (std::size_t k = 0; k < n; ++k) {
        const int s = students[static_cast<std::size_t>(order[k])];
        const int grade = gradeOf(state, s);
        if (!InSelectedGroup(groupText, grade))
            continue;
        const bool own = s == state.StudentNumber;
        const QString before = own ? ownMark() : GradeMark(grade);
        const QString after = own ? ownMark() : u"　"_s;
        const QString name = rankingNameField(state.RosterNames[static_cast<std::size_t>(s)]);
        QString line;
        if (!points) {
            const std::int32_t best = sortedKeys[k];
            if (best == kFailedBestSeconds)
                line = rankField(ranks[k], rankWidth) + before + name + u"*失敗*"_s + u' ' + after;
            else if (best == kNoRecordSeconds)
                line = u"--"_s + before + name + u"------"_s + u' ' + after;
            else
                line = rankField(ranks[k], rankWidth) + before + name + rightAligned(numberText(best), 6) +
                       u' ' + after;
        } else {
            const std::int32_t today = state.PointsToday(level, s);
            if (todayOrder && today == 0)
                continue;
            line = rankField(ranks[k], rankWidth) + before + name + rightAligned(numberText(today), 3) +
                   u'/' + rightAligned(numberText(state.PointsSoFar(level, s)), 5);
        }
        if (own && ranking.ownLine < 0)
            ranking.ownLine = static_cast<int>(ranking.lines.size());
        ranking.lines.append(line);
        ranking.students.push_back(s);
        ranking.ranks.push_back(!points && sortedKeys[k] == kNoRecordSeconds ? 0 : ranks[k]);
    }
    return ranking;
}

QString runListLine(const SharedState& state, const RunListSettings& settings, const ResultRecord& record) {
    const int level = record.Level;
    const int s = record.StudentNumber;
    if (level < 1 || level > settings.levelCount || level > kMaxLevel || !isStudentNumber(s))
        return {};
    const QDate runDate = dateFromOle(record.RunDate);
    const double nowOle = oleDate(settings.now.date()) + oleTimeOfDay(settings.now.time());
    switch (settings.kind) {
    case RunListKind::Today:
        if (record.RunDate < 0 || runDate != settings.now.date())
            return {};
        break;
    case RunListKind::Period:
        if (!(record.RunDate > nowOle - settings.periodDays))
            return {};
        break;
    case RunListKind::Personal:
        if (s != settings.currentStudent || !(record.RunDate > nowOle - 3650))
            return {};
        break;
    }
    const int grade = gradeOf(state, s);
    if (!InSelectedGroup(settings.groupText, grade))
        return {};

    const bool failure = record.Seconds >= kFailureSeconds;
    const QTime timeOfDay = timeFromOle(record.RunTimeOfDay);
    if (settings.kind == RunListKind::Personal) {
        const QString stamp = dateText(runDate) + u' ' + timeOfDayText(timeOfDay);
        return failure ? stamp : stamp + secondsField(record.Seconds);
    }

    const bool own = s == settings.currentStudent;
    const QString mark = own ? ownMark() : GradeMark(grade);
    const QString name =
        runListNameField(s != 0 ? state.RosterNames[static_cast<std::size_t>(s)] : QString());
    const QString when =
        settings.kind == RunListKind::Today ? clockTimeText(timeOfDay) : shortDateText(runDate);
    if (failure)
        return u"　　× "_s + when + mark + name + mark;
    const std::int32_t points =
        basePoints(record.Seconds, state.LevelCriteria[static_cast<std::size_t>(level)].TargetSeconds);
    if (settings.kind == RunListKind::Period && effectiveChoice(settings.listMode) == kPointsDisplay)
        return rightAligned(numberText(points), 5) + u' ' + when + mark + name + mark +
               numberText(record.Seconds) + u"秒"_s;
    return secondsField(record.Seconds) + u' ' + when + mark + name + mark + numberText(points);
}

void appendRunLists(const SharedState& state, const RunListSettings& settings,
                    const std::vector<ResultRecord>& records, std::vector<QStringList>& lists,
                    const std::function<void(std::size_t)>& progress) {
    if (lists.size() < static_cast<std::size_t>(settings.levelCount) + 1)
        lists.resize(static_cast<std::size_t>(settings.levelCount) + 1);
    constexpr std::size_t kProgressStep = 500;
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ResultRecord& record = records[i];
        QString line = runListLine(state, settings, record);
        if (!line.isEmpty())
            lists[static_cast<std::size_t>(record.Level)].append(std::move(line));
        if (progress && (i + 1) % kProgressStep == 0)
            progress(i + 1);
    }
    if (progress)
        progress(records.size());
}

} // namespace mirai
