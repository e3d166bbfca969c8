#pragma once

#include "Roster.h"

#include <QByteArray>
#include <QString>
#include <optional>
#include <vector>

namespace mirai {

// A roster entry as the roster screen shows and edits it.
struct RosterRow {
    int number = 0;
    int birthYear = 0;
    QString name; // the whole name as written; the name list shows its first 20 characters
    int listFlag = 0;
    bool operator==(const RosterRow&) const = default;
};

// The list flag of a shown entry, and the one hiding sets.
constexpr int kListedFlag = 0;
constexpr int kHiddenFlag = 1;

// The roster file as the roster screen edits it. A record nobody changed is written back exactly as
// it was read, and so is a record the program cannot read (it is kept, never shown); changed and
// new records are written as the stations' rosters have them:
//   7,2015,0,0,"山田　花子",0,"",""
class RosterDocument {
public:
    // The bytes of a roster file; none when there is no file yet.
    explicit RosterDocument(std::optional<QByteArray> bytes = std::nullopt);

    // What was read, to tell whether the file changed since.
    const std::optional<QByteArray>& openedBytes() const { return m_opened; }
    // False when the file holds bytes that code page 932 does not read back the same: rewriting it
    // would change records nobody edited.
    bool rewritable() const { return m_rewritable; }
    // Records the program skips (kept as they are).
    int unreadableCount() const { return m_unreadable; }
    bool modified() const { return m_modified; }

    int rowCount() const { return static_cast<int>(m_rows.size()); }
    const RosterRow& row(int index) const { return m_records[m_rows[static_cast<std::size_t>(index)]].row; }

    void setName(int index, const QString& name);
    void setBirthYear(int index, int birthYear);
    void setListFlag(int index, int flag);
    // A new entry at the end; returns its index.
    int append(const RosterRow& row);

    // Numbers 0..5000 that a record holds (readable or not: the program may read one tomorrow).
    std::vector<bool> numbersInUse() const;

    // The file as it is now.
    QByteArray bytes() const;

private:
    struct Record {
        RosterRow row;
        std::array<QString, 4> unused; // fields 3, 4, 7 and 8 as written
        QString text;                  // as read; empty for a new record
        bool changed = false;
    };
    void change(int index, const std::function<void(RosterRow&)>& edit);

    std::optional<QByteArray> m_opened;
    bool m_rewritable = true;
    bool m_modified = false;
    int m_unreadable = 0;
    std::vector<Record> m_records;   // in file order, unreadable ones too
    std::vector<std::size_t> m_rows; // the readable records: the entries
    QString m_tail;                  // what follows the last whole record
};

} // namespace mirai
