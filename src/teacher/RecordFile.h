#pragma once

#include "Context.h"

#include <QByteArray>
#include <QString>
#include <cstdint>
#include <functional>
#include <optional>

namespace mirai {

// The temporary copy a delete keeps of the result file until the delete is complete.
QString resultCopyPath(const QString& dataFolder);

// Reads the result file in chunks of whole records and hands each chunk to `onChunk`. False when
// it cannot be read (a message has been shown, or the program is ending).
using RecordChunk = std::function<void(const char* records, std::int64_t count)>;
bool scanResultFile(Context ctx, const RecordChunk& onChunk);

// Record n (from 1) of the result file as its 44 raw bytes. nullopt when the file holds no record
// n (a message has been shown when the file could not be read).
std::optional<QByteArray> readResultRecord(Context ctx, std::int64_t number);

// Where the rewrites read and write, so a test can make one step fail. Each call answers 0 or
// the error number of the failure; a read that comes back short is a failure too.
enum class FileRole { Results, Copy };
class RecordFileIo {
public:
    virtual ~RecordFileIo() = default;
    virtual int readAt(FileRole role, int fd, char* data, std::int64_t size, std::int64_t offset);
    virtual int writeAt(FileRole role, int fd, const char* data, std::int64_t size, std::int64_t offset);
    virtual int truncate(FileRole role, int fd, std::int64_t size);
    virtual int sync(FileRole role, int fd);
    // The first `size` bytes of the result file into the copy: inside the system where it can (on
    // a file server, without the bytes crossing the network), else through this program.
    virtual int copyAll(int results, int copy, std::int64_t size);

protected:
    // Copies inside the system from `done` on, moving `done`; an error number when it stops, one of
    // ENOSYS, EXDEV, EINVAL, EOPNOTSUPP when the system cannot copy these files by itself.
    virtual int systemCopy(int results, int copy, std::int64_t& done, std::int64_t size);
};

struct RewriteOptions {
    RecordFileIo* io = nullptr;        // the system's when null
    std::int64_t chunkRecords = 16384; // records moved at a time
};

// What became of a save or a delete. `message` is for the user; it is empty when there is nothing
// to say (done, or the program is ending).
struct MaintenanceResult {
    enum class Kind {
        Done,
        Changed, // the file no longer holds the record as it was read: nothing written
        Failed,  // nothing written, or every record put back
        Ending,
    };
    Kind kind = Kind::Done;
    QString message;
};

// Writes a record back with a new student and time. `asRead` are the 44 bytes read when the record
// was opened; only the two fields change. Takes the file's lock as an append does, so a station
// recording a run meanwhile is neither lost nor overwritten.
MaintenanceResult saveRecordChanges(Context ctx, std::int64_t number, const QByteArray& asRead,
                                    std::int16_t student, std::int32_t seconds,
                                    const RewriteOptions& options = {});

// Removes record `number` (which must still hold `asRead`): under the lock, copies the file, moves
// every later record down by one in place, shortens the file and flushes it, then removes the
// copy. The file itself is never removed, so a station waiting for the lock appends to it
// afterwards. A failure after the copy puts every record back from the copy and keeps the copy.
MaintenanceResult deleteResultRecord(Context ctx, std::int64_t number, const QByteArray& asRead,
                                     const RewriteOptions& options = {});

} // namespace mirai
