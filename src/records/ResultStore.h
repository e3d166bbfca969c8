#pragma once

#include "Expected.h"
#include "LoggedAnswer.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

namespace mirai {

// What a store operation was doing when it failed.
enum class StoreOperation { Load, Append, Replay, Read, Scan, Patch, Delete, Recover };

// How far it had got.
enum class StoreStep {
    Open,
    Lock,
    Size,
    Read,
    Write,
    Flush,
    Truncate,
    Copy,
    Intent,
    Remove,
    Close,
    Queue,
    Check
};

enum class StoreErrorKind {
    Unreachable,   // the share, the file or the lock cannot be had now; it may come back
    Failed,        // the system refused otherwise (an I/O error, a full disk)
    Changed,       // the record is no longer the one that was read: nothing written
    NoSuchRecord,  // the file holds no such record (any more)
    Unrecoverable, // an interrupted delete whose copy no longer matches: everything left as it is
    Ending,        // the program is ending: the caller stops
    NotOwnSite,    // the record is another site's: this station may read it, not change it
    NewerFormat,   // the database was set up by a newer program: nothing read or written
    NotSetUp,      // the database lacks the tables this program needs (--migrate makes them)
};

struct StoreError {
    StoreErrorKind kind = StoreErrorKind::Failed;
    StoreOperation operation = StoreOperation::Load;
    StoreStep step = StoreStep::Open;
    int code = 0;            // the system's error number, 0 when there is none
    QString path;            // the file of the failed step
    std::int64_t record = 0; // the record concerned, 0 when none
    bool restored = false;   // a failed rewrite put every record back as it was
    bool foreign = false;    // the answer log is of a newer version than this program
    // An append that could not keep the run on this station either: why, and where it tried.
    int stationCode = 0;
    QString stationPath;
};

template <class T> using StoreResult = Expected<T, StoreError>;

// The newest whole records of the result file, as raw bytes.
struct RecordWindow {
    std::int64_t total = 0; // whole records in the file
    std::int64_t first = 1; // number (from 1) of the first record in `bytes`
    QByteArray bytes;       // whole records only
    std::int64_t count() const;
};

// How an append went: stored in the shared file, or kept on this station because the share
// could not take it (`why` says what the share answered).
struct Appended {
    bool keptOnStation = false;
    StoreError why;
};

// What an open of the store found and mended.
struct Recovery {
    bool completedDelete = false; // an interrupted delete was finished from its copy
    std::int64_t deletedRecord = 0;
    bool removedStrayCopy = false; // a copy without its intent (the delete never began) went
};

// Whole records of the result file, `count` at a time, in file order.
using RecordChunk = std::function<void(const char* records, std::int64_t count)>;
// Answers of the answer log, `count` at a time, in log order.
using AnswerChunk = std::function<void(const LoggedAnswer* answers, std::int64_t count)>;
// A scan of the answers calls its chunk function after every this many answers looked at, also
// when none of them was wanted, so that a screen can show how far it is.
constexpr std::int64_t kAnswersPerScanStep = 65536;

// The students whose answers a scan hands over; none named, every student. The log is read
// whole either way, but an answer of another student is passed over before it is checked and
// decoded, which is most of a scan's time.
class StudentFilter {
public:
    StudentFilter() = default;
    explicit StudentFilter(std::vector<int> students) : m_students(std::move(students)) {
        for (const int student : m_students) {
            if (student < 0)
                continue;
            if (static_cast<std::size_t>(student) >= m_wanted.size())
                m_wanted.resize(static_cast<std::size_t>(student) + 1);
            m_wanted[static_cast<std::size_t>(student)] = true;
        }
    }

    bool everyone() const { return m_students.empty(); }
    bool wants(int student) const {
        return everyone() || (student >= 0 && static_cast<std::size_t>(student) < m_wanted.size() &&
                              m_wanted[static_cast<std::size_t>(student)]);
    }
    const std::vector<int>& students() const { return m_students; }

private:
    std::vector<int> m_students;
    std::vector<bool> m_wanted;
};

// One run as it is stored: its 44-byte record and its answers (records of the answer log, in
// order; none for a run without them). A run left before its end has answers and no record.
struct StoredRun {
    QByteArray record;
    QByteArray answers;
    std::uint64_t runId = 0; // made at the station; a store that keeps ids stores a run only once
};

// The results of every station: the 44-byte result file, the runs waiting on this station while
// the share is away, and the crash-safe rewrites of teacher corrections. Every read and write of
// the results goes through it; it shows nothing and ends nothing, the caller decides what to tell.
class ResultStore {
public:
    virtual ~ResultStore() = default;

    // Appends one run, its answers and then its 44 bytes, after the runs waiting on this station,
    // under one lock. When the share cannot be reached after the retries, the run waits on this
    // station instead (`keptOnStation`); an error only when even that failed, or the program is
    // ending and the run could be kept.
    virtual StoreResult<Appended> append(const StoredRun& run) = 0;
    StoreResult<Appended> append(const QByteArray& record) { return append(StoredRun{record, {}}); }
    // Adds the runs waiting on this station, in order and once each. How many were stored.
    virtual StoreResult<std::int64_t> replay() = 0;
    // The newest `count` whole records.
    virtual StoreResult<RecordWindow> readNewest(std::int64_t count) = 0;
    // Every whole record in chunks; how many there were.
    virtual StoreResult<std::int64_t> scan(const RecordChunk& onChunk) = 0;
    // Record `number` (from 1) as its 44 bytes.
    virtual StoreResult<QByteArray> readRecord(std::int64_t number) = 0;
    // Writes record `number` back with a new student and time, only when it still holds `asRead`;
    // every other byte stays as read.
    virtual StoreResult<Done> patch(std::int64_t number, const QByteArray& asRead, std::int16_t student,
                                    std::int32_t seconds) = 0;
    // Removes record `number`, only when it still holds `asRead`. At any instant, also a crash or
    // a power cut, the file can be brought back to the file before or the file without exactly
    // that record, and the next open does so.
    virtual StoreResult<Done> remove(std::int64_t number, const QByteArray& asRead) = 0;
    // Finishes an interrupted delete, or clears what one left behind.
    virtual StoreResult<Recovery> recover() = 0;
    // Every whole answer of the answer log of the students `filter` wants, in chunks; how many
    // there were. An error, naming the log as `foreign`, for a log of a newer version.
    virtual StoreResult<std::int64_t> scanAnswers(const AnswerChunk& onChunk,
                                                  const StudentFilter& filter) = 0;
    StoreResult<std::int64_t> scanAnswers(const AnswerChunk& onChunk) { return scanAnswers(onChunk, {}); }
    // Whole runs waiting on this station, and their 44-byte records in order.
    virtual std::int64_t queuedCount() = 0;
    virtual QByteArray queuedRecords() = 0;
    // Whether a delete interrupted earlier was completed since a teacher last asked; asking
    // clears it.
    virtual std::optional<std::int64_t> takeCompletedDelete() = 0;
};

} // namespace mirai
