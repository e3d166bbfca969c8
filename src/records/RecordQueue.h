#pragma once

#include "FileLock.h"
#include "RecordFileIo.h"

#include <QByteArray>
#include <QString>
#include <cstdint>

namespace mirai {

struct Platform;
struct SharedState;

// Runs that could not reach the shared result file wait on this station, in a file of the same
// 44-byte records, until the next append or load adds them to the shared file.

// The queue file in the station's queue folder; empty when the station has none.
QString recordQueuePath(const SharedState& state);

// Whole records waiting in the queue.
std::int64_t queuedRecordCount(const SharedState& state);

enum class QueueOutcome { Kept, Failed, Ending };
struct QueueWrite {
    QueueOutcome outcome = QueueOutcome::Failed;
    QString error; // why the record could not be kept
};

// Appends one record to the queue under the queue's own lock and flushes it, waiting while
// another program of this station holds the queue.
QueueWrite queueRecord(const Platform& platform, const QString& path, const QByteArray& record);

// The queue, locked for one replay into the shared file.
class HeldQueue {
public:
    enum class Take {
        Nothing, // no whole record waits, or the queue cannot be read now (it stays as it is)
        Held,    // records() holds every whole record, in order
        Busy,    // another program of this station holds the queue
    };

    HeldQueue() = default;
    ~HeldQueue();
    HeldQueue(const HeldQueue&) = delete;
    HeldQueue& operator=(const HeldQueue&) = delete;

    Take take(const QString& path);
    bool held() const { return m_file.get() >= 0; }
    const QByteArray& records() const { return m_records; }
    // Empties the queue: only once its records are safely in the shared file. A failure leaves
    // them waiting, and the next replay finds them stored already.
    void clear();

private:
    void release();

    fileio::Descriptor m_file;
    OfdFileLocker m_locker;
    QByteArray m_records;
};

// The records of `queued` that `stored` does not hold yet, in queue order. Each stored copy
// accounts for one queued copy, so two equal runs stay two runs.
QByteArray recordsNotYetStored(const QByteArray& queued, const QByteArray& stored);

} // namespace mirai
