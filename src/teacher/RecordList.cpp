#include "RecordList.h"

#include "Cp932.h"
#include "NumberText.h"
#include "RecordOffsets.h"
#include "ResultRecords.h"
#include "SharedState.h"

#include <algorithm>
#include <cmath>
#include <cstring>

using namespace Qt::StringLiterals;

namespace mirai {

SiteIdentity SiteIdentity::of(const SharedState& state) {
    return {cp932::encode(state.SiteCode), state.SiteName};
}

bool SiteIdentity::owns(const char* record) const {
    // An installation without a code matches no record: their fields hold five blanks.
    return codeBytes.size() == offsets::kTextBytes &&
           std::memcmp(record + offsets::kSiteCode, codeBytes.constData(), offsets::kTextBytes) == 0;
}

ListedRun ListedRun::of(const char* record) {
    static const qint64 epoch = dateFromOle(0.0).toJulianDay();
    ListedRun run;
    const QDate date = dateFromOle(offsets::date(record));
    if (date.isValid())
        run.day = static_cast<std::int32_t>(date.toJulianDay() - epoch);
    const QTime time = timeFromOle(offsets::timeOfDay(record));
    if (time.isValid())
        run.second = time.msecsSinceStartOfDay() / 1000;
    run.seconds = offsets::seconds(record);
    run.student = offsets::student(record);
    run.level = offsets::level(record);
    return run;
}

QString recordDateText(const ListedRun& run) {
    if (run.day == ListedRun::kNoDay)
        return {};
    return dateFromOle(static_cast<double>(run.day)).toString(u"yyyy/MM/dd"_s);
}

QString recordTimeText(const ListedRun& run) {
    if (run.second < 0)
        return {};
    return QTime::fromMSecsSinceStartOfDay(run.second * 1000).toString(u"H:mm:ss"_s);
}

QString recordLine(std::int64_t number, const ListedRun& run, bool ownSite, const RosterTables& roster,
                   const SiteIdentity& site) {
    QString line;
    line.reserve(96);
    line += rightAligned(QString::number(number), 4);
    line += u' ';
    line += recordDateText(run);
    line += u'　';
    line += rightAligned(recordTimeText(run), 9);
    line += u"ﾚﾍﾞﾙ"_s;
    line += QString::number(run.level);
    line += u'　';
    line += rightAligned(QString::number(run.seconds), 5);
    line += u"秒 　"_s;
    line += rightAligned(QString::number(run.student), 4);
    line += u' ';
    line += (roster.name(run.student) + u"　　　　　"_s).left(6);
    line += u' ';
    line += roster.grade(run.student);
    line += u"++"_s;
    line += ownSite ? site.name : u"他塾"_s;
    return line;
}

void RecordLines::reserve(std::int64_t records) {
    m_runs.reserve(static_cast<std::size_t>(std::max<std::int64_t>(records, 0)));
    m_ownSite.reserve(static_cast<std::size_t>(std::max<std::int64_t>(records, 0)));
}

void RecordLines::add(const char* records, std::int64_t count) {
    for (std::int64_t i = 0; i < count; ++i, records += kRecordSize) {
        ++m_records;
        // Level 0 is no stored run; the lines keep the records' own numbers.
        if (offsets::level(records) == 0) {
            m_skipped.push_back(m_records);
            continue;
        }
        m_runs.push_back(ListedRun::of(records));
        m_ownSite.push_back(m_site.owns(records));
    }
}

std::int64_t RecordLines::recordNumber(int row) const {
    if (row < 0 || row >= count())
        return 0;
    // Skipped record i (from 0) has s[i] − 1 − i lines before it; those at or before `row` come
    // before the line's record.
    std::size_t low = 0, high = m_skipped.size();
    while (low < high) {
        const std::size_t mid = (low + high) / 2;
        if (m_skipped[mid] - 1 - static_cast<std::int64_t>(mid) <= row)
            low = mid + 1;
        else
            high = mid;
    }
    return row + 1 + static_cast<std::int64_t>(low);
}

int RecordLines::rowAtOrAfter(std::int64_t number) const {
    number = std::max<std::int64_t>(number, 1);
    const auto skippedBefore =
        std::lower_bound(m_skipped.begin(), m_skipped.end(), number) - m_skipped.begin();
    const std::int64_t row = number - 1 - skippedBefore;
    return row < count() ? static_cast<int>(row) : -1;
}

RecordListModel::RecordListModel(const RosterTables& roster, QObject* parent)
    : QAbstractListModel(parent), m_roster(roster) {}

void RecordListModel::setLines(RecordLines lines) {
    beginResetModel();
    m_lines = std::move(lines);
    endResetModel();
}

int RecordListModel::rowCount(const QModelIndex& parent) const {
    return parent.isValid() ? 0 : m_lines.count();
}

QVariant RecordListModel::data(const QModelIndex& index, int role) const {
    if (role != Qt::DisplayRole || !index.isValid() || index.row() >= rowCount())
        return {};
    return line(index.row());
}

QString RecordListModel::line(int row) const {
    if (row < 0 || row >= m_lines.count())
        return {};
    return recordLine(m_lines.recordNumber(row), m_lines.run(row), m_lines.ownSite(row), m_roster,
                      m_lines.site());
}

std::variant<RecordChanges, QString> parseRecordChanges(const QString& studentField,
                                                        const QString& secondsText) {
    const std::optional<double> number = studentNumberOfChoice(studentField);
    if (!number)
        return u"生徒の欄に「/」がありません。一覧から生徒を選ぶか、「番号 /  名前」の形で入れてください。"
               u"何も変更していません。"_s;
    const double student = roundHalfEven(*number);
    if (!(student >= 0 && student <= kMaxStudent))
        return u"生徒番号は 0 から 5000 までです。何も変更していません。"_s;
    const double seconds = roundHalfEven(Val(secondsText));
    if (seconds < 0)
        return u"秒数にマイナスは使えません。何も変更していません。"_s;
    if (!(seconds <= INT32_MAX))
        return u"秒数が大きすぎます。何も変更していません。"_s;
    return RecordChanges{static_cast<std::int16_t>(student), static_cast<std::int32_t>(seconds)};
}

} // namespace mirai
