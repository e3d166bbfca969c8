#include "RosterDocument.h"

#include "Cp932.h"
#include "SharedState.h"

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

QString recordText(const RosterRow& row, const std::array<QString, 4>& unused) {
    // The unused whole numbers keep their value; an empty one is written as the 0 it reads as.
    auto whole = [](const QString& text) { return text.isEmpty() ? u"0"_s : text; };
    return QString::number(row.number) + u',' + QString::number(row.birthYear) + u',' + whole(unused[0]) +
           u',' + whole(unused[1]) + u",\""_s + row.name + u"\","_s + QString::number(row.listFlag) +
           u",\""_s + unused[2] + u"\",\""_s + unused[3] + u"\"\r\n"_s;
}

bool endsLine(const QString& text) {
    return text.isEmpty() || text.endsWith(u'\n') || text.endsWith(u'\r');
}

} // namespace

RosterDocument::RosterDocument(std::optional<QByteArray> bytes) : m_opened(std::move(bytes)) {
    if (!m_opened)
        return;
    const QString text = cp932::decode(*m_opened);
    m_rewritable = cp932::encode(text) == *m_opened;
    const qsizetype wholeEnd = scanRosterText(text, [&](const RosterRecordText& read) {
        Record record;
        record.row = RosterRow{read.entry.number, read.entry.birthYear, read.name, read.entry.listFlag};
        record.unused = read.unused;
        record.text = text.mid(read.begin, read.end - read.begin);
        if (read.readable)
            m_rows.push_back(m_records.size());
        else
            ++m_unreadable;
        m_records.push_back(std::move(record));
    });
    m_tail = text.mid(wholeEnd);
}

void RosterDocument::change(int index, const std::function<void(RosterRow&)>& edit) {
    Record& record = m_records[m_rows[static_cast<std::size_t>(index)]];
    RosterRow edited = record.row;
    edit(edited);
    if (edited == record.row)
        return;
    record.row = edited;
    record.changed = true;
    m_modified = true;
}

void RosterDocument::setName(int index, const QString& name) {
    change(index, [&](RosterRow& row) { row.name = name; });
}

void RosterDocument::setBirthYear(int index, int birthYear) {
    change(index, [&](RosterRow& row) { row.birthYear = birthYear; });
}

void RosterDocument::setListFlag(int index, int flag) {
    change(index, [&](RosterRow& row) { row.listFlag = flag; });
}

int RosterDocument::append(const RosterRow& row) {
    Record record;
    record.row = row;
    record.changed = true;
    m_rows.push_back(m_records.size());
    m_records.push_back(std::move(record));
    m_modified = true;
    return rowCount() - 1;
}

std::vector<bool> RosterDocument::numbersInUse() const {
    std::vector<bool> used(kStudentRows, false);
    for (const Record& record : m_records) {
        if (isStudentNumber(record.row.number))
            used[static_cast<std::size_t>(record.row.number)] = true;
    }
    return used;
}

QByteArray RosterDocument::bytes() const {
    QString out;
    for (const Record& record : m_records) {
        if (!record.changed) {
            out += record.text;
            continue;
        }
        // A new record starts a line of its own; a changed one takes its old place.
        if (record.text.isEmpty() && !endsLine(out))
            out += u"\r\n"_s;
        out += recordText(record.row, record.unused);
    }
    return cp932::encode(out + m_tail);
}

} // namespace mirai
