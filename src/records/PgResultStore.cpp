#include "PgResultStore.h"

#include "AnswerLog.h"
#include "AppControl.h"
#include "Cp932.h"
#include "FileSystem.h"
#include "PgLink.h"
#include "PgSchema.h"
#include "Platform.h"
#include "RecordOffsets.h"
#include "SharedState.h"
#include "StationQueue.h"

#include <QDir>
#include <QRandomGenerator>
#include <QSettings>
#include <QtEndian>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <map>
#include <vector>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

// An entry of the PostgreSQL station's queue: the run's id (8 bytes, little-endian), then its 44
// bytes. The id travels with the run, so a replay cut short after the server took it stores it
// once; the shared folder's queue keeps bare records, which its own replay recognises.
constexpr int kIdBytes = 8;
constexpr int kQueueEntry = kIdBytes + kRecordSize;

// Rows sent with one INSERT: libpq allows 65535 parameters, an answer takes 8.
constexpr int kRowsPerStatement = 1000;

// Records handed to a scan's reader at a time.
constexpr std::int64_t kScanChunk = kAnswersPerScanStep;

// A stable id for a run a shared folder's queue kept without one (the station used the shared
// folder before): the same bytes give the same id, so a replay cut short stores it once.
std::uint64_t idOfBareRecord(const char* record) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (int i = 0; i < kRecordSize; ++i) {
        hash ^= static_cast<unsigned char>(record[i]);
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

QByteArray siteOf(const QString& siteCode) {
    QByteArray site = cp932::encode(siteCode).left(offsets::kTextBytes);
    while (site.endsWith(' '))
        site.chop(1);
    return site;
}

// The newest runs a station read last, and what the database said of them: a load fetches only
// the runs added since, unless runs were corrected or deleted meanwhile (`changes`).
struct KeptWindow {
    std::int64_t changes = -1; // none kept
    std::int64_t lastSeq = 0;
    QByteArray bytes;
};

// What this program keeps per setting from one operation to the next: the connection (one costs
// the server a process, far more than the statement it is made for) and the newest runs read.
struct Kept {
    pg::ConnectionPtr link;
    KeptWindow window;
};
std::map<QString, Kept>& keptConnections() {
    static std::map<QString, Kept> kept;
    return kept;
}

// An explicit transaction that is rolled back unless it was committed.
class Transaction {
public:
    explicit Transaction(PGconn* link) : m_link(link) {}
    ~Transaction() {
        if (m_open && PQstatus(m_link) == CONNECTION_OK)
            PQclear(PQexec(m_link, "ROLLBACK"));
    }
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;

    pg::ResultPtr begin() {
        pg::ResultPtr result = pg::exec(m_link, "BEGIN");
        m_open = pg::succeeded(result.get());
        return result;
    }
    pg::ResultPtr commit() {
        pg::ResultPtr result = pg::exec(m_link, "COMMIT");
        m_open = false;
        return result;
    }

private:
    PGconn* m_link;
    bool m_open = false;
};

// Inserts `rows`, one parameter per column of `types`, with one statement per kRowsPerStatement
// rows; adds how many were stored to `stored`. The failed result, or null.
pg::ResultPtr insertRows(PGconn* link, const QByteArray& head, const std::vector<const char*>& types,
                         const QByteArray& tail, const std::vector<std::vector<pg::Param>>& rows,
                         std::int64_t& stored) {
    for (std::size_t from = 0; from < rows.size(); from += kRowsPerStatement) {
        const std::size_t to = std::min(rows.size(), from + kRowsPerStatement);
        QByteArray sql = head;
        std::vector<pg::Param> params;
        for (std::size_t row = from; row < to; ++row) {
            sql += row == from ? "(" : ",(";
            for (std::size_t column = 0; column < types.size(); ++column) {
                params.push_back(rows[row][column]);
                sql += (column == 0 ? "$" : ", $") + QByteArray::number(params.size()) + "::" + types[column];
            }
            sql += ")";
        }
        sql += tail;
        pg::ResultPtr result = pg::exec(link, sql.constData(), params);
        if (!pg::succeeded(result.get()))
            return result;
        stored += QByteArray(PQcmdTuples(result.get())).toLongLong();
    }
    return nullptr;
}

} // namespace

QString storeSetting(const QString& stationFolder) {
    if (stationFolder.isEmpty())
        return {};
    const QSettings file(QDir(stationFolder).filePath(u"station.ini"_s), QSettings::IniFormat);
    return file.value(u"store/postgresql"_s).toString().trimmed();
}

PgStoreSettings PgStoreSettings::of(const SharedState& state) {
    PgStoreSettings settings;
    settings.connection = state.StoreConnection;
    if (!state.QueueFolder.isEmpty()) {
        settings.queue = state.QueueFolder + u"成績待ちDB.dat"_s;
        settings.bareQueue = state.QueueFolder + u"成績待ち.dat"_s;
        settings.answerQueue = state.QueueFolder + u"解答待ち.dat"_s;
    }
    settings.site = siteOf(state.SiteCode);
    return settings;
}

// One operation's connection and the errors it reports.
struct PgResultStore::Connection {
    PGconn* link;
    StoreOperation operation;
    QString where;
    KeptWindow* window = nullptr;

    StoreError error(StoreStep step, const PGresult* result) const {
        StoreError e;
        e.operation = operation;
        e.step = step;
        const bool away = pg::unreachable(link, result);
        e.kind = away ? StoreErrorKind::Unreachable : StoreErrorKind::Failed;
        e.code = away ? ECONNREFUSED : pg::sqlState(result) == "42501" ? EACCES : EIO;
        e.path = where + u"\r\n"_s + pg::message(link, result);
        return e;
    }
    StoreError error(StoreErrorKind kind, StoreStep step, std::int64_t record = 0) const {
        StoreError e;
        e.kind = kind;
        e.operation = operation;
        e.step = step;
        e.path = where;
        e.record = record;
        return e;
    }
};

namespace {

// Where the store is, for messages: the server and database the connection names (also for one
// that failed), never its password.
QString describe(PGconn* link) {
    return u"PostgreSQL %1:%2/%3"_s.arg(QString::fromUtf8(PQhost(link)), QString::fromUtf8(PQport(link)),
                                        QString::fromUtf8(PQdb(link)));
}

} // namespace

PgResultStore::PgResultStore(const Platform& platform, PgStoreSettings settings)
    : m_platform(platform), m_settings(std::move(settings)) {}

void PgResultStore::closeConnections() {
    keptConnections().clear();
}

template <class T, class Body>
StoreResult<T> PgResultStore::withConnection(StoreOperation operation, Body body) {
    auto& kept = keptConnections();
    for (int attempt = 0;; ++attempt) {
        bool fresh = false;
        auto found = kept.find(m_settings.connection);
        if (found == kept.end() || PQstatus(found->second.link.get()) != CONNECTION_OK) {
            pg::ConnectionPtr link(pg::connect(m_settings.connection, m_settings.connectSeconds));
            Connection connection{link.get(), operation, describe(link.get())};
            if (PQstatus(link.get()) != CONNECTION_OK)
                return connection.error(StoreStep::Open, nullptr);
            const pgschema::Check fits = pgschema::check(link.get());
            switch (fits.fit) {
            case pgschema::Fit::Fits:
                break;
            case pgschema::Fit::Newer:
                return connection.error(StoreErrorKind::NewerFormat, StoreStep::Check, fits.version);
            case pgschema::Fit::NotSetUp:
            case pgschema::Fit::Older:
                return connection.error(StoreErrorKind::NotSetUp, StoreStep::Check, fits.version);
            case pgschema::Fit::Failed: {
                StoreError refused = connection.error(StoreErrorKind::Failed, StoreStep::Check);
                refused.code = EIO;
                refused.path += u"\r\n"_s + fits.message;
                return refused;
            }
            }
            found = kept.insert_or_assign(m_settings.connection, Kept{std::move(link), {}}).first;
            fresh = true;
        }
        PGconn* link = found->second.link.get();
        Connection connection{link, operation, describe(link), &found->second.window};
        StoreResult<T> result = body(connection);
        if (result || result.error().kind != StoreErrorKind::Unreachable)
            return result;
        // A connection the server has dropped since (a restart) is made again once.
        kept.erase(m_settings.connection);
        if (fresh || attempt > 0)
            return result;
    }
}

// Under one transaction: the runs and answers waiting on this station that the database lacks, in
// order, then `run` (none for a replay alone), the answers first. The queues are emptied only once
// the transaction is committed; one cut short leaves them, and the next replay stores nothing twice.
StoreResult<std::int64_t> PgResultStore::storeQueuedAnd(Connection& c, const StoredRun* run) {
    FileSystem& files = *m_platform.disk;
    HeldQueue bare(files, kRecordSize);
    HeldQueue queue(files, kQueueEntry);
    HeldQueue answerQueue(files, answerlog::kRecordSize);
    for (auto [held, path] : {std::pair{&bare, &m_settings.bareQueue}, std::pair{&queue, &m_settings.queue},
                              std::pair{&answerQueue, &m_settings.answerQueue}}) {
        // Another program of this station holds a queue only for a moment.
        HeldQueue::Take take = HeldQueue::Take::Nothing;
        for (int attempt = 0; !path->isEmpty(); ++attempt) {
            take = held->take(*path);
            if (take != HeldQueue::Take::Busy)
                break;
            if (attempt >= 100)
                return c.error(StoreErrorKind::Failed, StoreStep::Queue);
            waitWhilePumping(m_platform, 20);
        }
    }
    const bool hasRun = run && (!run->record.isEmpty() || !run->answers.isEmpty());
    if (!hasRun && !bare.held() && !queue.held() && !answerQueue.held())
        return std::int64_t{0};

    std::vector<std::vector<pg::Param>> answers;
    auto addAnswers = [&](const QByteArray& bytes) {
        for (qsizetype at = 0; at + answerlog::kRecordSize <= bytes.size(); at += answerlog::kRecordSize) {
            const std::optional<LoggedAnswer> answer = answerlog::decode(bytes.constData() + at);
            if (!answer)
                continue;
            answers.push_back({pg::text(static_cast<std::int64_t>(answer->runId)), pg::text(answer->index),
                               pg::bytes(m_settings.site), pg::bytes(bytes.mid(at, answerlog::kRecordSize)),
                               pg::text(answer->student), pg::text(answer->level),
                               pg::Param{answer->right ? "true" : "false"}, pg::text(answer->ms)});
        }
    };
    addAnswers(answerQueue.records());
    if (run)
        addAnswers(run->answers);

    std::vector<std::vector<pg::Param>> runs;
    auto addRun = [&](std::uint64_t id, const char* record) {
        runs.push_back({pg::text(static_cast<std::int64_t>(id)), pg::bytes(QByteArray(record, kRecordSize)),
                        pg::float8(offsets::date(record)), pg::float8(offsets::timeOfDay(record))});
    };
    for (qsizetype at = 0; at + kRecordSize <= bare.records().size(); at += kRecordSize)
        addRun(idOfBareRecord(bare.records().constData() + at), bare.records().constData() + at);
    for (qsizetype at = 0; at + kQueueEntry <= queue.records().size(); at += kQueueEntry) {
        const char* entry = queue.records().constData() + at;
        addRun(qFromLittleEndian<std::uint64_t>(entry), entry + kIdBytes);
    }
    if (run && run->record.size() == kRecordSize)
        addRun(run->runId, run->record.constData());

    Transaction transaction(c.link);
    if (pg::ResultPtr begun = transaction.begin(); !pg::succeeded(begun.get()))
        return c.error(StoreStep::Open, begun.get());
    if (pg::ResultPtr locked = pg::exec(c.link, pg::kAddLock); !pg::succeeded(locked.get()))
        return c.error(StoreStep::Lock, locked.get());
    std::int64_t stored = 0;
    std::int64_t answersStored = 0;
    if (pg::ResultPtr failed = insertRows(
            c.link,
            "INSERT INTO mirai_answers (run_id, idx, site, answer, student, level, is_right, ms) VALUES ",
            {"bigint", "smallint", "bytea", "bytea", "smallint", "smallint", "boolean", "integer"},
            " ON CONFLICT (run_id, idx) DO NOTHING", answers, answersStored))
        return c.error(StoreStep::Write, failed.get());
    if (pg::ResultPtr failed = insertRows(
            c.link, "INSERT INTO mirai_runs (run_id, record, run_date, run_time) VALUES ",
            {"bigint", "bytea", "float8", "float8"}, " ON CONFLICT (run_id) DO NOTHING", runs, stored))
        return c.error(StoreStep::Write, failed.get());
    if (pg::ResultPtr committed = transaction.commit(); !pg::succeeded(committed.get()))
        return c.error(StoreStep::Flush, committed.get());
    bare.clear();
    queue.clear();
    answerQueue.clear();
    return stored;
}

StoreResult<Appended> PgResultStore::append(const StoredRun& given) {
    StoredRun run = given;
    if (run.runId == 0)
        run.runId = QRandomGenerator::system()->generate64();
    // A log-out or shutdown meanwhile ends the program only once the run is kept somewhere.
    const AppControl::WriteInProgress writing(m_platform.app);
    const StoreResult<std::int64_t> stored = withConnection<std::int64_t>(
        StoreOperation::Append, [&](Connection& c) { return storeQueuedAnd(c, &run); });
    if (stored)
        return Appended{};
    // The server stays out of reach (or refused): the run waits on this station, with its id.
    QByteArray entry;
    if (run.record.size() == kRecordSize) {
        entry = QByteArray(kIdBytes, '\0');
        qToLittleEndian(run.runId, entry.data());
        entry += run.record;
    }
    return stationqueue::keepRun(*m_platform.disk, stored.error(),
                                 {m_settings.answerQueue, run.answers, answerlog::kRecordSize},
                                 {m_settings.queue, entry, kQueueEntry});
}

StoreResult<std::int64_t> PgResultStore::replay() {
    return withConnection<std::int64_t>(StoreOperation::Replay,
                                        [&](Connection& c) { return storeQueuedAnd(c, nullptr); });
}

namespace {

// The newest runs added after run number `after`, at most `count`, in stored order; with the
// count of every run and of the changes, all from one snapshot.
struct Added {
    std::int64_t total = 0;
    std::int64_t changes = 0;
    std::int64_t newestSeq = 0;
    QByteArray bytes;
};
template <class Connection>
StoreResult<Added> readAdded(const Connection& c, std::int64_t after, std::int64_t count) {
    // The counts are the row without a run number. (A join of the two would make the server
    // set the runs aside before sending them: several times slower for a whole window.)
    const pg::ResultPtr result =
        pg::exec(c.link,
                 "SELECT runs, changes, NULL::bigint AS seq, NULL::bytea AS record FROM mirai_run_count "
                 "UNION ALL (SELECT NULL, NULL, seq, record FROM mirai_runs WHERE seq > $1::bigint "
                 "ORDER BY seq DESC LIMIT $2::bigint)",
                 {pg::text(after), pg::text(count)}, true);
    const PGresult* rows = result.get();
    if (!pg::succeeded(rows))
        return c.error(StoreStep::Read, rows);
    Added added;
    bool counted = false;
    std::vector<std::pair<std::int64_t, const char*>> runs;
    runs.reserve(static_cast<std::size_t>(PQntuples(rows)));
    for (int row = 0; row < PQntuples(rows); ++row) {
        if (PQgetisnull(rows, row, 2)) {
            added.total = qFromBigEndian<std::int64_t>(PQgetvalue(rows, row, 0));
            added.changes = qFromBigEndian<std::int64_t>(PQgetvalue(rows, row, 1));
            counted = true;
        } else if (PQgetlength(rows, row, 3) == kRecordSize) {
            runs.emplace_back(qFromBigEndian<std::int64_t>(PQgetvalue(rows, row, 2)),
                              PQgetvalue(rows, row, 3));
        } else {
            return c.error(StoreErrorKind::Failed, StoreStep::Read);
        }
    }
    if (!counted)
        return c.error(StoreErrorKind::Failed, StoreStep::Read);
    std::sort(runs.begin(), runs.end());
    added.bytes.reserve(static_cast<qsizetype>(runs.size()) * kRecordSize);
    for (const auto& [seq, record] : runs)
        added.bytes.append(record, kRecordSize);
    if (!runs.empty())
        added.newestSeq = runs.back().first;
    return added;
}

} // namespace

StoreResult<RecordWindow> PgResultStore::readNewest(std::int64_t count) {
    return withConnection<RecordWindow>(
        StoreOperation::Load, [&](Connection& c) -> StoreResult<RecordWindow> {
            count = std::max<std::int64_t>(count, 0);
            KeptWindow& kept = *c.window;
            const std::int64_t keptRecords = kept.bytes.size() / kRecordSize;
            // Runs are added under one lock, in the order of their numbers, so the runs after the
            // newest kept are all there is to fetch, unless runs were corrected or deleted since.
            StoreResult<Added> added = readAdded(c, kept.changes < 0 ? 0 : kept.lastSeq, count);
            if (!added)
                return added.error();
            const std::int64_t wanted = std::min(count, added->total);
            const std::int64_t fresh = added->bytes.size() / kRecordSize;
            const bool keptCounts = kept.changes == added->changes && keptRecords + fresh >= wanted;
            if (kept.changes >= 0 && !keptCounts) {
                kept = KeptWindow{};
                added = readAdded(c, 0, count);
                if (!added)
                    return added.error();
            }
            RecordWindow window;
            window.total = added->total;
            // A fetch that reached `count` holds the whole window; the kept runs before it may not
            // join it without a gap.
            const bool whole = kept.changes < 0 || added->bytes.size() / kRecordSize >= count;
            const QByteArray joined = whole ? added->bytes : kept.bytes + added->bytes;
            window.bytes = joined.right(static_cast<qsizetype>(std::min(count, added->total)) * kRecordSize);
            window.first = window.total - window.count() + 1;
            kept.changes = added->changes;
            if (added->newestSeq > 0)
                kept.lastSeq = added->newestSeq;
            kept.bytes = joined.right(static_cast<qsizetype>(std::max<std::int64_t>(count, kLoadWindow)) *
                                      kRecordSize);
            return window;
        });
}

StoreResult<std::int64_t> PgResultStore::scan(const RecordChunk& onChunk) {
    return withConnection<std::int64_t>(
        StoreOperation::Scan, [&](Connection& c) -> StoreResult<std::int64_t> {
            QByteArray chunk;
            chunk.reserve(static_cast<qsizetype>(kScanChunk * kRecordSize));
            std::int64_t records = 0;
            pg::ResultPtr failure;
            const bool done = pg::copyOutColumn(
                c.link, "COPY (SELECT record FROM mirai_runs ORDER BY seq) TO STDOUT (FORMAT binary)",
                [&](const char* value, int length) {
                    if (length != kRecordSize)
                        return;
                    chunk.append(value, length);
                    if (chunk.size() >= kScanChunk * kRecordSize) {
                        onChunk(chunk.constData(), chunk.size() / kRecordSize);
                        records += chunk.size() / kRecordSize;
                        chunk.clear();
                    }
                },
                failure);
            if (!done)
                return c.error(StoreStep::Read, failure.get());
            if (!chunk.isEmpty())
                onChunk(chunk.constData(), chunk.size() / kRecordSize);
            return records + chunk.size() / kRecordSize;
        });
}

namespace {

// The run at place `number` (from 1) in stored order: its row and its bytes.
struct Located {
    std::int64_t seq = 0;
    QByteArray record;
};
std::optional<Located> locate(PGconn* link, std::int64_t number, pg::ResultPtr& result) {
    result = pg::exec(link, "SELECT seq, record FROM mirai_runs ORDER BY seq OFFSET $1::bigint LIMIT 1",
                      {pg::text(number - 1)}, true);
    if (!pg::succeeded(result.get()) || PQntuples(result.get()) != 1)
        return std::nullopt;
    return Located{qFromBigEndian<std::int64_t>(PQgetvalue(result.get(), 0, 0)),
                   QByteArray(PQgetvalue(result.get(), 0, 1), PQgetlength(result.get(), 0, 1))};
}

} // namespace

StoreResult<QByteArray> PgResultStore::readRecord(std::int64_t number) {
    return withConnection<QByteArray>(StoreOperation::Read, [&](Connection& c) -> StoreResult<QByteArray> {
        if (number < 1)
            return c.error(StoreErrorKind::NoSuchRecord, StoreStep::Read, number);
        pg::ResultPtr result;
        const std::optional<Located> found = locate(c.link, number, result);
        if (!pg::succeeded(result.get()))
            return c.error(StoreStep::Read, result.get());
        if (!found || found->record.size() != kRecordSize)
            return c.error(StoreErrorKind::NoSuchRecord, StoreStep::Read, number);
        return found->record;
    });
}

namespace {

// Why a change of record `seq` found no row to change: gone, changed, or another site's.
template <class Connection>
StoreError whyUnchanged(const Connection& c, std::int64_t seq, std::int64_t number,
                        const QByteArray& asRead) {
    const pg::ResultPtr now =
        pg::exec(c.link, "SELECT record FROM mirai_runs WHERE seq = $1::bigint", {pg::text(seq)}, true);
    if (!pg::succeeded(now.get()))
        return c.error(StoreStep::Check, now.get());
    if (PQntuples(now.get()) == 0)
        return c.error(StoreErrorKind::NoSuchRecord, StoreStep::Check, number);
    if (QByteArray(PQgetvalue(now.get(), 0, 0), PQgetlength(now.get(), 0, 0)) != asRead)
        return c.error(StoreErrorKind::Changed, StoreStep::Check, number);
    return c.error(StoreErrorKind::NotOwnSite, StoreStep::Check, number);
}

// Record `number` for a teacher's change, only while it still holds what the teacher read.
template <class Connection>
StoreResult<Located> locateUnchanged(const Connection& c, std::int64_t number, const QByteArray& asRead) {
    pg::ResultPtr result;
    std::optional<Located> found = number >= 1 ? locate(c.link, number, result) : std::nullopt;
    if (result && !pg::succeeded(result.get()))
        return c.error(StoreStep::Read, result.get());
    if (!found)
        return c.error(StoreErrorKind::NoSuchRecord, StoreStep::Check, number);
    if (found->record != asRead)
        return c.error(StoreErrorKind::Changed, StoreStep::Check, number);
    return std::move(*found);
}

} // namespace

StoreResult<Done> PgResultStore::patch(std::int64_t number, const QByteArray& asRead, std::int16_t student,
                                       std::int32_t seconds) {
    return withConnection<Done>(StoreOperation::Patch, [&](Connection& c) -> StoreResult<Done> {
        const StoreResult<Located> found = locateUnchanged(c, number, asRead);
        if (!found)
            return found.error();
        QByteArray patched = asRead;
        qToLittleEndian(student, patched.data() + offsets::kStudent);
        qToLittleEndian(seconds, patched.data() + offsets::kSeconds);
        // Only while the row still holds what the teacher read; the policies keep it to this site.
        const pg::ResultPtr updated = pg::exec(
            c.link, "UPDATE mirai_runs SET record = $2::bytea WHERE seq = $1::bigint AND record = $3::bytea",
            {pg::text(found->seq), pg::bytes(patched), pg::bytes(asRead)});
        if (!pg::succeeded(updated.get())) {
            StoreError e = c.error(StoreStep::Write, updated.get());
            e.record = number;
            e.restored = true; // a statement that fails changes nothing
            return e;
        }
        if (QByteArray(PQcmdTuples(updated.get())) != "1")
            return whyUnchanged(c, found->seq, number, asRead);
        return Done{};
    });
}

StoreResult<Done> PgResultStore::remove(std::int64_t number, const QByteArray& asRead) {
    return withConnection<Done>(StoreOperation::Delete, [&](Connection& c) -> StoreResult<Done> {
        Transaction transaction(c.link);
        if (pg::ResultPtr begun = transaction.begin(); !pg::succeeded(begun.get()))
            return c.error(StoreStep::Open, begun.get());
        const StoreResult<Located> found = locateUnchanged(c, number, asRead);
        if (!found)
            return found.error();
        const pg::ResultPtr deleted =
            pg::exec(c.link, "DELETE FROM mirai_runs WHERE seq = $1::bigint AND record = $2::bytea",
                     {pg::text(found->seq), pg::bytes(asRead)});
        if (!pg::succeeded(deleted.get())) {
            StoreError e = c.error(StoreStep::Write, deleted.get());
            e.record = number;
            e.restored = true;
            return e;
        }
        if (QByteArray(PQcmdTuples(deleted.get())) != "1")
            return whyUnchanged(c, found->seq, number, asRead);
        if (pg::ResultPtr committed = transaction.commit(); !pg::succeeded(committed.get())) {
            StoreError e = c.error(StoreStep::Flush, committed.get());
            e.record = number;
            e.restored = true; // a transaction that does not commit changes nothing
            return e;
        }
        return Done{};
    });
}

StoreResult<Recovery> PgResultStore::recover() {
    return Recovery{}; // a delete is one transaction: nothing is ever left half done
}

StoreResult<std::int64_t> PgResultStore::scanAnswers(const AnswerChunk& onChunk,
                                                     const StudentFilter& filter) {
    return withConnection<std::int64_t>(
        StoreOperation::Scan, [&](Connection& c) -> StoreResult<std::int64_t> {
            std::vector<LoggedAnswer> answers;
            answers.reserve(static_cast<std::size_t>(kScanChunk));
            std::int64_t count = 0;
            // COPY takes no parameters; the students are numbers, written into the query as such.
            QByteArray sql = "COPY (SELECT answer FROM mirai_answers ";
            if (!filter.everyone()) {
                QByteArrayList numbers;
                for (const int student : filter.students())
                    numbers.append(QByteArray::number(student));
                sql += "WHERE student IN (" + numbers.join(',') + ") ";
            }
            sql += "ORDER BY seq) TO STDOUT (FORMAT binary)";
            pg::ResultPtr failure;
            const bool done = pg::copyOutColumn(
                c.link, sql.constData(),
                [&](const char* value, int length) {
                    if (length != answerlog::kRecordSize)
                        return;
                    if (const std::optional<LoggedAnswer> answer = answerlog::decode(value))
                        answers.push_back(*answer);
                    if (static_cast<std::int64_t>(answers.size()) >= kScanChunk) {
                        onChunk(answers.data(), static_cast<std::int64_t>(answers.size()));
                        count += static_cast<std::int64_t>(answers.size());
                        answers.clear();
                    }
                },
                failure);
            if (!done)
                return c.error(StoreStep::Read, failure.get());
            onChunk(answers.data(), static_cast<std::int64_t>(answers.size()));
            return count + static_cast<std::int64_t>(answers.size());
        });
}

std::int64_t PgResultStore::queuedCount() {
    return queuedRecords().size() / kRecordSize;
}

QByteArray PgResultStore::queuedRecords() {
    FileSystem& files = *m_platform.disk;
    QByteArray records = stationqueue::read(files, m_settings.bareQueue, kRecordSize);
    const QByteArray entries = stationqueue::read(files, m_settings.queue, kQueueEntry);
    for (qsizetype at = 0; at + kQueueEntry <= entries.size(); at += kQueueEntry)
        records.append(entries.constData() + at + kIdBytes, kRecordSize);
    return records;
}

std::optional<std::int64_t> PgResultStore::takeCompletedDelete() {
    return std::nullopt;
}

} // namespace mirai
