#pragma once

#include "Context.h"

#include <QByteArray>
#include <QDate>
#include <QString>
#include <QTime>
#include <cstdint>
#include <optional>
#include <vector>

class QFile;

namespace mirai {

struct SharedState;

constexpr int kRecordSize = 44;
constexpr int kLoadWindow = 20000; // the newest records the statistics look at

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

// Appends one record for the current run under the whole-file lock, after the runs waiting in
// this station's queue. When the shared file stays out of reach the run is kept in the queue
// instead (RunKeptOnStation, a message says so). False when the program is ending (a message has
// been shown); records already stored are never touched.
bool AppendResultRecord(Context ctx);

// AppendResultRecord with a choice the benchmarks compare: whether the append waits until the
// record has reached the disk (or the file server) before it lets the lock go.
struct AppendOptions {
    bool syncData = true;
};
bool appendResultRecord(Context ctx, const AppendOptions& options);

// Records a finished run of `level`: PassFlag, best times and flags, then the append.
// False when the program is ending.
bool RecordRunResult(Context ctx, int level);

// Rebuilds LoadedResults, LoadedResultCount, BestSeconds and BestSecondsAll from the newest
// records of the file, after adding the runs waiting in this station's queue where the share
// can be reached. False when the program is ending.
bool LoadResultRecords(Context ctx);

// Reads records first..last (numbered from 1) of the result file for the lists, with the
// loader's retry rules. Returns nullopt when the program is ending. A missing file is empty.
struct RecordRange {
    std::int64_t total = 0; // complete records in the file
    std::int64_t first = 1; // number of records.front()
    std::vector<ResultRecord> records;
};
std::optional<RecordRange> readNewestRecords(Context ctx, std::int64_t count);

// Takes the whole-file lock on an open result file with the append's waits: without limit while
// another station holds it, a few attempts when the system refuses it.
enum class LockOutcome { Locked, Refused, Ending };
LockOutcome lockResultFile(const Platform& platform, int fd);

// Opens the result file for reading and writing (created when missing) into `file`, with the
// loader's retry rules. False when the program is ending. Takes no lock.
bool OpenResultFile(Context ctx, QFile& file);

} // namespace mirai
