#pragma once

#include "RosterTables.h"

#include <QAbstractListModel>
#include <QByteArray>
#include <QString>
#include <climits>
#include <cstdint>
#include <variant>
#include <vector>

namespace mirai {

struct SharedState;

// The installation a record is compared with: a record whose five-byte site field is exactly its
// code shows its name, any other record "他塾".
struct SiteIdentity {
    QByteArray codeBytes; // the installation's SiteCode in code page 932; empty when it has none
    QString name;
    static SiteIdentity of(const SharedState& state);
    // Whether the 44 bytes of a record were stored by this installation.
    bool owns(const char* record) const;
};

// What a list line shows of one record, in 16 bytes: a million lines take 16 MB.
struct ListedRun {
    static constexpr std::int32_t kNoDay = INT32_MIN;
    std::int32_t day = kNoDay; // days since 30 December 1899; kNoDay when the stored date is none
    std::int32_t second = -1;  // second of the day; -1 when the stored time is none
    std::int32_t seconds = 0;
    std::int16_t student = 0;
    std::int16_t level = 0;
    static ListedRun of(const char* record);
};

// Date and time of a record as the list shows them: "2026/12/09", "9:05:00"; empty when none.
QString recordDateText(const ListedRun& run);
QString recordTimeText(const ListedRun& run);

// One line of the record list: number, date, time, level, seconds, student, name, grade, site.
QString recordLine(std::int64_t number, const ListedRun& run, bool ownSite, const RosterTables& roster,
                   const SiteIdentity& site);

// The lines of a result file, made chunk by chunk as the file is read. Records of level 0 have no
// line; every line knows the number of the record it shows.
class RecordLines {
public:
    explicit RecordLines(SiteIdentity site) : m_site(std::move(site)) {}
    // Room for the records a file of this many records will bring.
    void reserve(std::int64_t records);
    void add(const char* records, std::int64_t count);

    int count() const { return static_cast<int>(m_runs.size()); }
    const ListedRun& run(int row) const { return m_runs[static_cast<std::size_t>(row)]; }
    bool ownSite(int row) const { return m_ownSite[static_cast<std::size_t>(row)]; }
    const SiteIdentity& site() const { return m_site; }
    // The record number of a line (0 when there is no such line).
    std::int64_t recordNumber(int row) const;
    // The first line whose record number is at least `number`; -1 when there is none.
    int rowAtOrAfter(std::int64_t number) const;

private:
    SiteIdentity m_site;
    std::vector<ListedRun> m_runs;
    std::vector<bool> m_ownSite;
    std::vector<std::int64_t> m_skipped; // numbers of the records of level 0, ascending
    std::int64_t m_records = 0;          // records read so far
};

// The record lines for a view: only the lines the view shows are ever made into text.
class RecordListModel : public QAbstractListModel {
    Q_OBJECT
public:
    RecordListModel(const RosterTables& roster, QObject* parent = nullptr);

    void setLines(RecordLines lines);

    int rowCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;

    std::int64_t recordNumber(int row) const { return m_lines.recordNumber(row); }
    int rowAtOrAfter(std::int64_t number) const { return m_lines.rowAtOrAfter(number); }
    QString line(int row) const;

private:
    const RosterTables& m_roster;
    RecordLines m_lines{SiteIdentity{}};
};

// What the edit strip asks to store.
struct RecordChanges {
    std::int16_t student = 0;
    std::int32_t seconds = 0;
};

// Reads the student field and the seconds text as the save takes them (numbers read leniently,
// halves rounded to even). A text when they cannot be stored: it tells the teacher why.
std::variant<RecordChanges, QString> parseRecordChanges(const QString& studentField,
                                                        const QString& secondsText);

} // namespace mirai
