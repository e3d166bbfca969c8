#include "RecordsCsv.h"

#include "Cp932.h"
#include "NumberText.h"
#include "RecordFile.h"
#include "ResultRecords.h"
#include "RosterTables.h"
#include "SharedState.h"

#include <QSaveFile>
#include <charconv>
#include <cstring>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr qsizetype kFlushBytes = 1 << 20;

void appendNumber(QByteArray& out, std::int64_t value) {
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end - digits);
}

void appendTwoDigits(QByteArray& out, int value) {
    out.append(static_cast<char>('0' + value / 10));
    out.append(static_cast<char>('0' + value % 10));
}

} // namespace

QByteArray csvText(const QString& text) {
    QString field = text;
    if (!field.isEmpty() && (field.front() == u'=' || field.front() == u'+' || field.front() == u'-' ||
                             field.front() == u'@' || field.front() == u'\t' || field.front() == u'\r'))
        field.prepend(u'\'');
    field.replace(u"\""_s, u"\"\""_s);
    return '"' + field.toUtf8() + '"';
}

RecordsCsvWriter::RecordsCsvWriter(const RosterTables& roster, SiteIdentity site)
    : m_roster(roster), m_site(std::move(site)), m_ownSite(csvText(m_site.name)),
      m_otherSite(csvText(u"他塾"_s)), m_students(static_cast<std::size_t>(kStudentRows)) {}

QByteArray RecordsCsvWriter::header() {
    QByteArray out(kUtf8Bom);
    const QStringList names{u"記録番号"_s, u"日付"_s,     u"時刻"_s, u"レベル"_s, u"秒"_s,  u"時間切れ"_s,
                            u"ポイント"_s, u"生徒番号"_s, u"名前"_s, u"学年"_s,   u"教室"_s};
    for (const QString& name : names) {
        if (name != names.front())
            out += ',';
        out += csvText(name);
    }
    return out + "\r\n";
}

const QByteArray& RecordsCsvWriter::studentFields(int student) {
    static const QByteArray outside = ",\"\",\"\"";
    if (!isStudentNumber(student))
        return outside;
    QByteArray& fields = m_students[static_cast<std::size_t>(student)];
    if (fields.isEmpty())
        fields = ',' + csvText(m_roster.name(student)) + ',' + csvText(m_roster.grade(student));
    return fields;
}

void RecordsCsvWriter::add(const char* records, std::int64_t count, QByteArray& out) {
    for (std::int64_t i = 0; i < count; ++i, records += kRecordSize) {
        const ListedRun run = ListedRun::of(records);
        appendNumber(out, ++m_number);
        out += ',';
        if (run.day != m_day) {
            m_day = run.day;
            m_dayField = csvText(recordDateText(run));
        }
        out += m_dayField;
        out += ",\"";
        if (run.second >= 0) {
            appendNumber(out, run.second / 3600);
            out += ':';
            appendTwoDigits(out, run.second / 60 % 60);
            out += ':';
            appendTwoDigits(out, run.second % 60);
        }
        out += "\",";
        appendNumber(out, run.level);
        out += ',';
        // A time-out has no time: its seconds stay empty and the next column says so.
        if (run.seconds == kNoRecordSeconds) {
            out += ",\"○\",";
        } else {
            appendNumber(out, run.seconds);
            out += ",\"\",";
        }
        const char* points = records + offsets::kPoints;
        if (!m_pointsKnown || std::memcmp(points, m_points.data(), m_points.size()) != 0) {
            std::memcpy(m_points.data(), points, m_points.size());
            m_pointsKnown = true;
            QString text = cp932::decode(QByteArray(points, static_cast<qsizetype>(m_points.size())));
            text.remove(QChar(u'\0'));
            m_pointsField = csvText(trimBlanks(text));
        }
        out += m_pointsField;
        out += ',';
        appendNumber(out, run.student);
        out += studentFields(run.student);
        out += ',';
        out += m_site.owns(records) ? m_ownSite : m_otherSite;
        out += "\r\n";
    }
}

CsvExport exportRecordsCsv(Context ctx, const QString& path, const RosterTables& roster) {
    CsvExport result;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        result.error = file.errorString();
        return result;
    }
    RecordsCsvWriter writer(roster, SiteIdentity::of(ctx.state));
    QByteArray out = RecordsCsvWriter::header();
    out.reserve(2 * kFlushBytes);
    bool writing = true;
    const bool read = scanResultFile(ctx, [&](const char* records, std::int64_t count) {
        if (!writing)
            return;
        writer.add(records, count, out);
        if (out.size() >= kFlushBytes) {
            writing = file.write(out) == out.size();
            out.clear();
        }
    });
    if (!read) {
        // A message about the result file has been shown (or the program is ending).
        file.cancelWriting();
        return result;
    }
    if (writing)
        writing = file.write(out) == out.size();
    if (!writing || !file.commit()) {
        result.error = file.errorString();
        if (result.error.isEmpty())
            result.error = u"書き込みに失敗しました"_s;
        file.cancelWriting();
        return result;
    }
    result.written = true;
    result.rows = writer.rows();
    return result;
}

} // namespace mirai
