#pragma once

#include "Context.h"
#include "RecordOffsets.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace mirai {

class ResultStore;
struct SharedState;

// One stored run, 44 bytes little-endian. The fixed text fields keep their raw bytes so a
// rewrite never changes what it did not mean to change.
struct ResultRecord {
    double RunDate = 0.0;      // OLE Automation date, whole days
    double RunTimeOfDay = 0.0; // fraction of a day
    std::int16_t StudentNumber = 0;
    std::int16_t Level = 0;
    std::int32_t Seconds = 0;
    QByteArray SiteCode = QByteArray(5, ' ');
    QByteArray BlankField = QByteArray(5, ' ');
    QByteArray PointsText = QByteArray("0    ", 5);
    QByteArray SpareField = QByteArray(5, '\0');
};

QByteArray encodeRecord(const ResultRecord& record);
// Decodes 44 bytes (the caller guarantees the size).
ResultRecord decodeRecord(const char* bytes);

// OLE Automation dates: days since 30 December 1899.
double oleDate(const QDate& date);
double oleTimeOfDay(const QTime& time);
QDate dateFromOle(double days);
QTime timeFromOle(double dayFraction);

// Full path of the result file in the data folder.
QString resultFilePath(const SharedState& state);

// This station's result store: the PostgreSQL server its StoreConnection names, or else the shared
// data folder's result file; with the station's queue.
// `patient` stores retry a share out of reach a few times before they give up.
std::unique_ptr<ResultStore> openResultStore(Context ctx, bool patient = true);

// Appends one record for the current run under the whole-file lock, after the runs waiting in
// this station's queue. When the shared file stays out of reach the run is kept in the queue
// instead (RunKeptOnStation, a message says so). False when the program is ending (a message has
// been shown when there was one to show); records already stored are never touched.
bool AppendResultRecord(Context ctx);

// AppendResultRecord with a choice the benchmarks compare: whether the append waits until the
// record has reached the disk (or the file server) before it lets the lock go.
struct AppendOptions {
    bool syncData = true;
};
bool appendResultRecord(Context ctx, const AppendOptions& options);

// Records a finished run of `level`: PassFlag, best times and flags, then the append of its
// answers and its record. False when the program is ending.
bool RecordRunResult(Context ctx, int level);

// Keeps the answers of a run left before its end (no record is made for it). False when they
// could be kept nowhere.
bool RecordLeftRun(Context ctx);

// Rebuilds LoadedResults, LoadedResultCount, BestSeconds and BestSecondsAll from the newest
// records of the file, after adding the runs waiting in this station's queue where the share
// can be reached. When the share is away after a first load has reached it, the station goes on
// with the records it last read and the runs waiting on it (ShareAway). False when the program
// is ending: the first load that cannot reach the share ends it with a message.
bool LoadResultRecords(Context ctx);

// Reads the newest `count` records (numbered from 1) for the lists, with the loader's rules,
// also while the share is away. nullopt when the program is ending. A missing file is empty.
struct RecordRange {
    std::int64_t total = 0; // complete records in the file
    std::int64_t first = 1; // number of records.front()
    std::vector<ResultRecord> records;
};
std::optional<RecordRange> readNewestRecords(Context ctx, std::int64_t count);

// Runs waiting on this station to reach the shared file.
std::int64_t queuedRecordCount(Context ctx);

} // namespace mirai
