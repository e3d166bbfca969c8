#pragma once

#include "Context.h"
#include "RecordList.h"
#include "RecordOffsets.h"

#include <QByteArray>
#include <QString>
#include <array>
#include <climits>
#include <cstdint>
#include <vector>

namespace mirai {

// Every record of the result file as a spreadsheet row, in UTF-8 with a byte-order mark and CR LF
// (what common spreadsheet programs open correctly with Japanese text), every text field quoted as
// RFC 4180 has it.
class RecordsCsvWriter {
public:
    RecordsCsvWriter(const RosterTables& roster, SiteIdentity site);

    // The byte-order mark and the header row.
    static QByteArray header();
    // Appends the rows of `count` records (numbered on from the last call) to `out`.
    void add(const char* records, std::int64_t count, QByteArray& out);
    std::int64_t rows() const { return m_number; }

private:
    const QByteArray& studentFields(int student);

    const RosterTables& m_roster;
    SiteIdentity m_site;
    QByteArray m_ownSite, m_otherSite;
    std::vector<QByteArray> m_students; // ",name,grade" of each student, made when first needed
    std::int64_t m_number = 0;
    std::int32_t m_day = INT32_MIN; // the date of the last row and its field
    QByteArray m_dayField;
    // The last stored points field and its text: runs store the same "0" again and again.
    std::array<char, offsets::kTextBytes> m_points{};
    bool m_pointsKnown = false;
    QByteArray m_pointsField;
};

// What a spreadsheet file starts with, so spreadsheet programs read it as UTF-8.
inline constexpr char kUtf8Bom[] = "\xEF\xBB\xBF";

// A text field for a spreadsheet: in double quotes, a quote doubled. A text that a spreadsheet
// would run as a formula (it starts with "=", "+", "-", "@", a tab or a carriage return) is written
// with an apostrophe first, inside the quotes, so it is shown as the text it is.
QByteArray csvText(const QString& text);

// Writes every record of the result file to `path`. The file is written beside it and put in place
// only when it is complete, so a failed export leaves no file, or the old one. `error` is empty
// when the program is ending.
struct CsvExport {
    bool written = false;
    std::int64_t rows = 0;
    QString error;
};
CsvExport exportRecordsCsv(Context ctx, const QString& path, const RosterTables& roster);

} // namespace mirai
