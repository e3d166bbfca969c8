#pragma once

#include "ResultStore.h"

#include <QString>

namespace mirai {

class FileSystem;
struct Platform;
struct SharedState;

// When a failed step is tried again, and how long is waited in between.
struct RetryPolicy {
    enum class Class {
        InUse,     // another station or program has the file or its lock: wait, without limit
        Transient, // a missing folder, a refused permission or lock, a share gone stale: a few tries
        Final,     // anything else: give up at once
    };
    static Class classify(int code);

    int transientAttempts = 4;  // tries in all before a transient failure is final
    int transientWaitMs = 5000; // between two of them
    bool stopWhenEnding = true; // an end asked for stops the waiting (the caller keeps what it has)
};

// The names of the store's files.
struct StorePaths {
    QString results; // <data folder>成績累積データ.dat
    QString copy;    // <data folder>成績累積データtemp.dat: the file as it was, while a delete runs
    QString intent;  // <data folder>成績累積データ消去中.dat: which delete the copy belongs to
    QString note; // <data folder>成績累積データ消去完了.dat: a delete finished for a crashed station
    QString answers;     // <data folder>解答記録.dat: every judged answer
    QString queue;       // <station's queue folder>成績待ち.dat, empty when the station has none
    QString answerQueue; // <station's queue folder>解答待ち.dat: the waiting runs' answers
    QString dataFolder;
    static StorePaths of(const SharedState& state);
};

// The result store on the shared data folder: every station appends to one file under a
// whole-file lock; readers take no lock. All file access goes through the platform's file seam.
class FileResultStore final : public ResultStore {
public:
    FileResultStore(const Platform& platform, StorePaths paths, RetryPolicy policy = {});

    using ResultStore::append;
    StoreResult<Appended> append(const StoredRun& run) override;
    StoreResult<std::int64_t> replay() override;
    StoreResult<RecordWindow> readNewest(std::int64_t count) override;
    StoreResult<std::int64_t> scan(const RecordChunk& onChunk) override;
    StoreResult<QByteArray> readRecord(std::int64_t number) override;
    StoreResult<Done> patch(std::int64_t number, const QByteArray& asRead, std::int16_t student,
                            std::int32_t seconds) override;
    StoreResult<Done> remove(std::int64_t number, const QByteArray& asRead) override;
    StoreResult<Recovery> recover() override;
    using ResultStore::scanAnswers;
    StoreResult<std::int64_t> scanAnswers(const AnswerChunk& onChunk, const StudentFilter& filter) override;
    std::int64_t queuedCount() override;
    QByteArray queuedRecords() override;
    std::optional<std::int64_t> takeCompletedDelete() override;

    // Records moved at a time by a delete, and read at a time by a scan.
    void setChunkRecords(std::int64_t records) { m_chunkRecords = records; }
    // Whether an append waits until its record has reached the disk or the file server before
    // it lets the lock go (the benchmarks compare both).
    void setSyncAppends(bool sync) { m_syncAppends = sync; }

private:
    class Session;

    const Platform& m_platform;
    FileSystem& m_files;
    StorePaths m_paths;
    RetryPolicy m_policy;
    std::int64_t m_chunkRecords = 16384;
    bool m_syncAppends = true;
};

} // namespace mirai
