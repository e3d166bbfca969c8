#pragma once

#include "ResultStore.h"

#include <QString>
#include <QStringList>
#include <optional>

namespace mirai {

struct Platform;
struct SharedState;

// The station's choice of result store, from `station.ini` in its own folder: `[store]`
// `postgresql=` a libpq service name or connection string. Empty: the shared folder.
QString storeSetting(const QString& stationFolder);

// What the PostgreSQL store needs of the station.
struct PgStoreSettings {
    QString connection;     // a service name (pg_service.conf) or a libpq connection string
    QString queue;          // <station's queue folder>成績待ちDB.dat: waiting runs with their run ids
    QString bareQueue;      // <station's queue folder>成績待ち.dat: runs a shared folder could not take
    QString answerQueue;    // <station's queue folder>解答待ち.dat: the waiting runs' answers
    QByteArray site;        // the station's site code as the records have it, without trailing blanks
    int connectSeconds = 5; // how long a connection is tried before the server counts as away
    static PgStoreSettings of(const SharedState& state);
};

// The result store on a PostgreSQL server: every site's runs and answers in one database, each
// run with its 44 bytes as made and its run id, so that a replay stores nothing twice. A server
// out of reach is reported as Unreachable, like a share that is away, and the run waits on the
// station. The connection is kept for the program's life and made again when the server drops it.
class PgResultStore final : public ResultStore {
public:
    PgResultStore(const Platform& platform, PgStoreSettings settings);

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

    // Closes the connections kept for every setting (tests that stop the server, the end).
    static void closeConnections();

private:
    struct Connection;
    template <class T, class Body> StoreResult<T> withConnection(StoreOperation operation, Body body);
    StoreResult<std::int64_t> storeQueuedAnd(Connection& link, const StoredRun* run);

    const Platform& m_platform;
    PgStoreSettings m_settings;
};

// Moving a shared folder's files in and out. Each returns how many records it moved, or what went
// wrong as a message for the one who ran it.
namespace pgtransfer {

struct Outcome {
    std::int64_t records = 0;
    QString error; // empty when it went well
};

// Adds the runs of a result file, in file order, with COPY; a part record at its end is left out.
Outcome importResults(const QString& connection, const QString& resultFile);
// Adds the answers of an answer log (for the runs of site `site`).
Outcome importAnswers(const QString& connection, const QString& answerLog, const QByteArray& site);
// Writes every run's 44 bytes in order: a result file as the shared folder keeps it.
Outcome exportResults(const QString& connection, const QString& resultFile);

} // namespace pgtransfer

// The command lines of the database's administrator, run without a window:
//   --migrate [<connection>]      the schema brought to this program's (default: the station's store)
//   --import <connection> <result file> [<answer log> <site code>]
//   --export <connection> <result file>
// nullopt when `arguments` (the program's name first) ask for none of them; else the exit code.
std::optional<int> runStoreCommand(const QStringList& arguments, const QString& stationFolder);

} // namespace mirai
