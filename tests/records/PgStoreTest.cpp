// The PostgreSQL store beyond the contract both stores keep: sites kept apart by the server,
// the schema's version, replays that store nothing twice, the server stopped while stations are
// in use, and moving a shared folder's files in and out byte for byte.

#include "AnswerLog.h"
#include "Doubles.h"
#include "Files.h"
#include "PgLink.h"
#include "PgResultStore.h"
#include "PgSchema.h"
#include "PgServer.h"
#include "RecordFiles.h"
#include "ResultRecords.h"
#include "SharedState.h"
#include "StoreMessages.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtEndian>
#include <functional>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

const QString kKept = u"この記録はこのコンピューターに保存しました。"_s;

RawRecord run(int student, int seconds, const char* site = pgserver::kCodeA) {
    return pgserver::siteRun(student, seconds, 2, site);
}

// A station of one site on the test database.
class PgStation {
public:
    explicit PgStation(const char* role = pgserver::kSiteA, const char* site = pgserver::kCodeA)
        : m_state(std::make_unique<SharedState>()) {
        QDir().mkpath(tree.dataFolder());
        state().CommonFolder = tree.commonFolder();
        state().DataFolder = tree.dataFolder();
        state().QueueFolder = tree.root() + u"端末/"_s;
        state().SiteCode = QString::fromLatin1(site);
        state().ProgramTitle = u"みらいドリル"_s;
        state().StoreConnection = pgserver::as(role);
        state().CurrentLevel = 2;
        state().BestSeconds.fill(kNoRecordSeconds);
        state().BestSecondsAll.fill(kNoRecordSeconds);
        platform.events.stepMs = 100;
    }
    SharedState& state() { return *m_state; }
    Context ctx() { return Context{*m_state, platform.platform()}; }
    std::unique_ptr<ResultStore> store() { return openResultStore(ctx()); }
    bool finish(int student, int seconds) {
        platform.clock.set(platform.clock.now().addSecs(60));
        state().StudentNumber = static_cast<std::int16_t>(student);
        state().RunSeconds = seconds;
        state().RunId = 0x5000u + static_cast<std::uint64_t>(student);
        return RecordRunResult(ctx(), state().CurrentLevel);
    }
    std::int64_t stored() {
        const StoreResult<RecordWindow> window = store()->readNewest(1);
        return window ? window->total : -1;
    }

    DataTree tree;
    TestPlatform platform;

private:
    std::unique_ptr<SharedState> m_state;
};

class PgFixture : public ::testing::Test {
protected:
    void SetUp() override {
        if (!pgserver::available())
            GTEST_SKIP() << "no PostgreSQL server (run under scripts/with-pg-server)";
        pgserver::prepare();
    }
};

// ---- The station's choice ---------------------------------------------------------------------------

struct SettingCase {
    const char* name;
    const char* ini; // station.ini, none when null
    const char* setting;
    const char* connection; // what libpq is given
};

const SettingCase kSettings[] = {
    {"NoFileKeepsTheSharedFolder", nullptr, "", ""},
    {"NoStoreSectionKeepsTheSharedFolder", "[display]\r\nmode=window\r\n", "", ""},
    {"AServiceName", "[store]\r\npostgresql=mirai_honkou\r\n", "mirai_honkou", "service=mirai_honkou"},
    {"AConnectionString", "[store]\npostgresql=host=db.example dbname=mirai sslmode=verify-full\n",
     "host=db.example dbname=mirai sslmode=verify-full", "host=db.example dbname=mirai sslmode=verify-full"},
    {"AnAddress", "[store]\npostgresql=postgresql://db.example/mirai\n", "postgresql://db.example/mirai",
     "postgresql://db.example/mirai"},
};

class StoreSettings : public ::testing::TestWithParam<SettingCase> {};

TEST_P(StoreSettings, TheStationsSettingChoosesTheStore) {
    const SettingCase& c = GetParam();
    QTemporaryDir station;
    if (c.ini)
        writeBytes(station.filePath(u"station.ini"_s), QByteArray(c.ini));
    const QString setting = storeSetting(station.path());
    EXPECT_EQ(setting, QString::fromUtf8(c.setting));
    EXPECT_EQ(pg::connectionString(setting), QByteArray(c.connection)) << c.name;
    PgStation chosen;
    chosen.state().StoreConnection = setting;
    const std::unique_ptr<ResultStore> store = chosen.store();
    EXPECT_EQ(dynamic_cast<PgResultStore*>(store.get()) != nullptr, !setting.isEmpty());
}

INSTANTIATE_TEST_SUITE_P(Files, StoreSettings, ::testing::ValuesIn(kSettings),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- Sites kept apart ------------------------------------------------------------------------

struct SiteCase {
    const char* name;
    const char* role; // who tries
    const char* sql;  // on site A's run (seq 1) or with a run of the given site
    bool refused;     // the server raises an error
    const char* rows; // rows the statement touched when it ran
};

// Site A's station has stored one run; each row is one statement as the named role, straight to
// the server (a station program altered to try it gets no further).
const SiteCase kSites[] = {
    {"EveryoneReadsEveryRun", pgserver::kSiteB, "SELECT * FROM mirai_runs", false, "1"},
    {"AnotherSiteCannotCorrect", pgserver::kSiteB, "UPDATE mirai_runs SET record = record", false, "0"},
    {"AnotherSiteCannotDelete", pgserver::kSiteB, "DELETE FROM mirai_runs", false, "0"},
    {"AnotherSiteCannotAddUnderThisSite", pgserver::kSiteB,
     "INSERT INTO mirai_runs (record, run_date, run_time) SELECT record, 1, 0 FROM mirai_runs", true, ""},
    {"AnotherSiteCannotMoveARunToItself", pgserver::kSiteB,
     "UPDATE mirai_runs SET record = overlay(record PLACING '67890'::bytea FROM 25)", false, "0"},
    {"NoSiteCannotAddAnswersUnderThisSite", pgserver::kSiteB,
     "INSERT INTO mirai_answers (run_id, idx, site, answer, student, level, is_right, ms) "
     "VALUES (1, 1, '12345', decode(repeat('00', 48), 'hex'), 1, 1, true, 1)",
     true, ""},
    {"TheOwnSiteCorrects", pgserver::kSiteA, "UPDATE mirai_runs SET record = record", false, "1"},
    {"TheOwnSiteCannotMoveARunAway", pgserver::kSiteA,
     "UPDATE mirai_runs SET record = overlay(record PLACING '67890'::bytea FROM 25)", true, ""},
    {"TheOwnSiteDeletes", pgserver::kSiteA, "DELETE FROM mirai_runs", false, "1"},
};

class SitesApart : public PgFixture, public ::testing::WithParamInterface<SiteCase> {};

TEST_P(SitesApart, OnlyTheRunsOwnSiteChangesIt) {
    PgStation stationA;
    ASSERT_TRUE(stationA.store()->append(mirai::StoredRun{rawRecordBytes(run(7, 70)), {}, 1}).ok());
    const SiteCase& c = GetParam();
    const pg::ConnectionPtr link(pg::connect(pgserver::as(c.role), 5));
    ASSERT_EQ(PQstatus(link.get()), CONNECTION_OK);
    const pg::ResultPtr result = pg::exec(link.get(), c.sql);
    EXPECT_EQ(!pg::succeeded(result.get()), c.refused) << PQresultErrorMessage(result.get());
    if (c.refused)
        EXPECT_EQ(pg::sqlState(result.get()), "42501");
    else if (PQresultStatus(result.get()) == PGRES_TUPLES_OK)
        EXPECT_EQ(QByteArray::number(PQntuples(result.get())), c.rows);
    else
        EXPECT_EQ(QByteArray(PQcmdTuples(result.get())), c.rows);
}

INSTANTIATE_TEST_SUITE_P(Statements, SitesApart, ::testing::ValuesIn(kSites),
                         [](const auto& info) { return std::string(info.param.name); });

// Through the store, as a teacher of site B would: A's run is seen, and neither corrected nor
// deleted, and the teacher is told why.
TEST_F(PgFixture, ATeacherOfAnotherSiteSeesTheRunAndCannotChangeIt) {
    PgStation stationA;
    PgStation stationB(pgserver::kSiteB, pgserver::kCodeB);
    const QByteArray record = rawRecordBytes(run(7, 70));
    ASSERT_TRUE(stationA.store()->append(mirai::StoredRun{record, {}, 1}).ok());
    auto store = stationB.store();
    ASSERT_EQ(*store->readRecord(1), record);
    const StoreResult<Done> patched = store->patch(1, record, 8, 80);
    ASSERT_FALSE(patched.ok());
    EXPECT_EQ(patched.error().kind, StoreErrorKind::NotOwnSite);
    EXPECT_TRUE(storeErrorMessage(patched.error()).contains(u"ほかの教室"_s));
    const StoreResult<Done> removed = store->remove(1, record);
    ASSERT_FALSE(removed.ok());
    EXPECT_EQ(removed.error().kind, StoreErrorKind::NotOwnSite);
    EXPECT_EQ(*store->readRecord(1), record);
}

// Two stations of different sites: each one's loader ranks the other's students too.
TEST_F(PgFixture, StationsOfTwoSitesShareTheirRankings) {
    PgStation stationA;
    PgStation stationB(pgserver::kSiteB, pgserver::kCodeB);
    ASSERT_TRUE(stationA.finish(21, 70));
    ASSERT_TRUE(stationB.finish(22, 65));
    for (PgStation* station : {&stationA, &stationB}) {
        ASSERT_TRUE(LoadResultRecords(station->ctx()));
        ASSERT_EQ(station->state().LoadedResultCount, 2);
        EXPECT_EQ(station->state().BestSeconds(2, 21), 70);
        EXPECT_EQ(station->state().BestSeconds(2, 22), 65);
        EXPECT_EQ(station->state().BestSecondsAll[2], 65);
    }
    const std::optional<RecordRange> newest = readNewestRecords(stationA.ctx(), 10);
    ASSERT_TRUE(newest.has_value());
    ASSERT_EQ(newest->records.size(), 2u);
    EXPECT_EQ(newest->records[0].SiteCode, QByteArray(pgserver::kCodeA));
    EXPECT_EQ(newest->records[1].SiteCode, QByteArray(pgserver::kCodeB));
}

// ---- The newest runs a station keeps between loads ------------------------------------------------

struct WindowCase {
    const char* name;
    std::int64_t first;  // runs asked for by the first load
    std::int64_t second; // and by the next
    std::function<void(ResultStore& other)> meanwhile;
};

const WindowCase kWindows[] = {
    {"NothingChanged", 10, 10, [](ResultStore&) {}},
    {"RunsAdded", 10, 10,
     [](ResultStore& other) {
         for (int i = 0; i < 3; ++i)
             other.append(
                 mirai::StoredRun{rawRecordBytes(run(60 + i, 60)), {}, 900u + static_cast<unsigned>(i)});
     }},
    {"MoreAddedThanAsked", 10, 10,
     [](ResultStore& other) {
         for (int i = 0; i < 25; ++i)
             other.append(
                 mirai::StoredRun{rawRecordBytes(run(60 + i, 61)), {}, 800u + static_cast<unsigned>(i)});
     }},
    {"ARunCorrected", 10, 10, [](ResultStore& other) { other.patch(38, *other.readRecord(38), 99, 9); }},
    {"AnOldRunCorrected", 10, 10, [](ResultStore& other) { other.patch(2, *other.readRecord(2), 99, 9); }},
    {"ARunDeleted", 10, 10, [](ResultStore& other) { other.remove(35, *other.readRecord(35)); }},
    {"MoreAskedThanKept", 5, 30, [](ResultStore&) {}},
    {"FewerAskedThanKept", 30, 4, [](ResultStore&) {}},
};

class KeptWindows : public PgFixture, public ::testing::WithParamInterface<WindowCase> {};

// Whatever another station did meanwhile, a station's next load is what a station that kept
// nothing reads.
TEST_P(KeptWindows, TheNextLoadIsWhatAFreshStationReads) {
    const WindowCase& c = GetParam();
    PgStation station;
    PgStation other;
    other.state().StoreConnection += u" application_name=other"_s;
    for (int i = 1; i <= 40; ++i)
        ASSERT_TRUE(other.store()
                        ->append(mirai::StoredRun{
                            rawRecordBytes(run(i, 50 + i)), {}, 100u + static_cast<unsigned>(i)})
                        .ok());
    ASSERT_TRUE(station.store()->readNewest(c.first).ok());
    c.meanwhile(*other.store());
    const StoreResult<RecordWindow> next = station.store()->readNewest(c.second);
    PgStation fresh;
    fresh.state().StoreConnection += u" application_name=fresh"_s;
    const StoreResult<RecordWindow> expected = fresh.store()->readNewest(c.second);
    ASSERT_TRUE(next.ok());
    ASSERT_TRUE(expected.ok());
    EXPECT_EQ(next->total, expected->total);
    EXPECT_EQ(next->first, expected->first);
    EXPECT_TRUE(next->bytes == expected->bytes);
    EXPECT_EQ(next->count(), std::min<std::int64_t>(c.second, expected->total));
}

INSTANTIATE_TEST_SUITE_P(Changes, KeptWindows, ::testing::ValuesIn(kWindows),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The schema's version ------------------------------------------------------------------------

struct SchemaCase {
    const char* name;
    const char* change; // made to a freshly migrated database
    std::optional<StoreErrorKind> refusal;
    const char* words; // in the message
};

const SchemaCase kSchemas[] = {
    {"TheKnownOneIsUsed", "SELECT 1", std::nullopt, ""},
    {"ANewerOneIsRefused", "UPDATE mirai_schema SET version = version + 1", StoreErrorKind::NewerFormat,
     "このプログラムより新しい"},
    {"AnOlderOneAsksForAMigration", "UPDATE mirai_schema SET version = version - 1", StoreErrorKind::NotSetUp,
     "--migrate"},
    {"NoneAsksForAMigration", "DROP TABLE mirai_schema", StoreErrorKind::NotSetUp, "まだ作られていない"},
};

class SchemaVersions : public PgFixture, public ::testing::WithParamInterface<SchemaCase> {};

TEST_P(SchemaVersions, OnlyTheKnownSchemaIsUsed) {
    const SchemaCase& c = GetParam();
    pgserver::admin(u"DROP DATABASE IF EXISTS mirai_schema_case"_s, u"postgres"_s);
    ASSERT_TRUE(pg::succeeded(pgserver::admin(u"CREATE DATABASE mirai_schema_case"_s, u"postgres"_s).get()));
    {
        const pg::ConnectionPtr link(pg::connect(pgserver::as("postgres", u"mirai_schema_case"_s), 5));
        QString report;
        ASSERT_TRUE(pgschema::migrate(link.get(), report)) << report.toStdString();
    }
    ASSERT_TRUE(pg::succeeded(pgserver::admin(QString::fromLatin1(c.change), u"mirai_schema_case"_s).get()));

    PgStation station;
    station.state().StoreConnection = pgserver::as("postgres", u"mirai_schema_case"_s);
    if (!c.refusal) {
        EXPECT_TRUE(LoadResultRecords(station.ctx()));
        EXPECT_EQ(station.platform.app.endCalls, 0);
    } else {
        const StoreResult<RecordWindow> window = station.store()->readNewest(10);
        ASSERT_FALSE(window.ok());
        EXPECT_EQ(window.error().kind, *c.refusal);
        // The first load shows why and ends the program, as with a shared folder it cannot read.
        EXPECT_FALSE(LoadResultRecords(station.ctx()));
        ASSERT_EQ(station.platform.messages.shown.size(), 1u);
        EXPECT_TRUE(station.platform.messages.shown[0].text.contains(QString::fromUtf8(c.words)))
            << station.platform.messages.shown[0].text.toStdString();
        EXPECT_EQ(station.platform.app.endCalls, 1);
    }
    PgResultStore::closeConnections();
    pgserver::admin(u"DROP DATABASE mirai_schema_case"_s, u"postgres"_s);
}

INSTANTIATE_TEST_SUITE_P(Versions, SchemaVersions, ::testing::ValuesIn(kSchemas),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PgFixture, AMigrationRefusesANewerSchemaAndChangesNothing) {
    ASSERT_TRUE(pg::succeeded(pgserver::admin(u"UPDATE mirai_schema SET version = 99"_s).get()));
    const pg::ConnectionPtr link(pg::connect(pgserver::as("postgres"), 5));
    QString report;
    EXPECT_FALSE(pgschema::migrate(link.get(), report));
    EXPECT_TRUE(report.contains(u"このプログラムの知る形式"_s)) << report.toStdString();
    const pg::ResultPtr version = pgserver::admin(u"SELECT version FROM mirai_schema"_s);
    EXPECT_EQ(QByteArray(PQgetvalue(version.get(), 0, 0)), "99");
    pgserver::admin(u"UPDATE mirai_schema SET version = %1"_s.arg(pgschema::knownVersion()));
    QString again;
    EXPECT_TRUE(pgschema::migrate(link.get(), again));
    EXPECT_TRUE(again.contains(u"最新"_s)) << again.toStdString();
}

// ---- Replays store nothing twice --------------------------------------------------------------------

struct ReplayCase {
    const char* name;
    const char* queue; // the queue file the waiting run is in
    bool idInQueue;    // the PostgreSQL station's queue, with the run's id
};

const ReplayCase kReplays[] = {
    {"AWaitingRunWithItsId", "成績待ちDB.dat", true},
    {"ARunTheSharedFolderKeptWaiting", "成績待ち.dat", false},
};

class Replays : public PgFixture, public ::testing::WithParamInterface<ReplayCase> {};

// A replay cut short after the server committed and before the queue was emptied: the queue still
// holds runs the database has. The next replays store each once.
TEST_P(Replays, ARunAlreadyStoredIsNotStoredAgain) {
    const ReplayCase& c = GetParam();
    PgStation station;
    const QByteArray record = rawRecordBytes(run(9, 99));
    QByteArray entry = record;
    if (c.idInQueue) {
        QByteArray id(8, '\0');
        qToLittleEndian<std::uint64_t>(0xABCDEFu, id.data());
        entry = id + record;
    }
    QDir().mkpath(station.state().QueueFolder);
    const QString queue = station.state().QueueFolder + QString::fromUtf8(c.queue);
    writeBytes(queue, entry);
    ASSERT_EQ(*station.store()->replay(), 1);
    EXPECT_EQ(station.store()->queuedCount(), 0);
    writeBytes(queue, entry + entry.right(44 + (c.idInQueue ? 8 : 0)));
    EXPECT_EQ(station.store()->queuedCount(), 2);
    ASSERT_EQ(*station.store()->replay(), 0);
    EXPECT_EQ(station.stored(), 1);
    EXPECT_EQ(station.store()->readNewest(5)->bytes, record);
}

INSTANTIATE_TEST_SUITE_P(Queues, Replays, ::testing::ValuesIn(kReplays),
                         [](const auto& info) { return std::string(info.param.name); });

// ---- The server stopped while stations are in use ---------------------------------------------------

TEST_F(PgFixture, TheServerStoppedMeanwhileKeepsRunsOnTheStationAndStoresThemOnce) {
    if (qEnvironmentVariableIsEmpty("MIRAI_PG_DATA"))
        GTEST_SKIP() << "the server cannot be stopped from here";
    PgStation stationA;
    PgStation stationB(pgserver::kSiteB, pgserver::kCodeB);
    ASSERT_TRUE(stationA.finish(31, 70));
    ASSERT_TRUE(LoadResultRecords(stationA.ctx()));
    ASSERT_TRUE(LoadResultRecords(stationB.ctx()));

    ASSERT_TRUE(pgserver::stop());
    struct Restart {
        ~Restart() { pgserver::start(); }
    } restartWhateverHappens;
    // Both stations go on: their runs wait on them, each student is told, the lists show what the
    // stations know.
    ASSERT_TRUE(stationA.finish(32, 60));
    ASSERT_TRUE(stationB.finish(33, 50));
    for (PgStation* station : {&stationA, &stationB}) {
        EXPECT_EQ(station->state().RunKeptOnStation, 1);
        ASSERT_EQ(station->platform.messages.shown.size(), 1u);
        EXPECT_TRUE(station->platform.messages.shown[0].text.contains(kKept));
        EXPECT_EQ(station->platform.app.endCalls, 0);
        EXPECT_EQ(station->store()->queuedCount(), 1);
        EXPECT_TRUE(LoadResultRecords(station->ctx()));
        EXPECT_EQ(station->state().ShareAway, 1);
    }
    EXPECT_EQ(stationA.state().LoadedResultCount, 2);

    ASSERT_TRUE(pgserver::start());
    // The next loads store the waiting runs, once, and every station sees all three.
    for (int load = 0; load < 2; ++load) {
        for (PgStation* station : {&stationA, &stationB}) {
            ASSERT_TRUE(LoadResultRecords(station->ctx()));
            EXPECT_EQ(station->state().ShareAway, 0);
            EXPECT_EQ(station->store()->queuedCount(), 0);
        }
    }
    EXPECT_EQ(stationA.stored(), 3);
    EXPECT_EQ(stationB.state().LoadedResultCount, 3);
    EXPECT_EQ(stationA.platform.app.endCalls, 0);
}

// ---- Moving in and out ---------------------------------------------------------------------------------

struct TransferCase {
    const char* name;
    int records;
    int tornBytes; // a record cut short at the end, which is not moved
};

const TransferCase kTransfers[] = {
    {"AnEmptyFile", 0, 0},
    {"OneRun", 1, 0},
    {"ManyRunsOfTwoSites", 5000, 0},
    {"ACutRecordAtTheEndIsLeftOut", 3, 20},
};

class Transfers : public PgFixture, public ::testing::WithParamInterface<TransferCase> {};

TEST_P(Transfers, AFileComesBackByteForByte) {
    const TransferCase& c = GetParam();
    QTemporaryDir folder;
    std::vector<RawRecord> runs;
    for (int i = 0; i < c.records; ++i) {
        RawRecord record = run(i % 5000, i, i % 3 == 0 ? pgserver::kCodeB : pgserver::kCodeA);
        record.time = QTime(8, 0).addMSecs(i * 1237); // times with fractions of seconds stay as they were
        record.level = static_cast<std::int16_t>(1 + i % 35);
        runs.push_back(record);
    }
    const QByteArray bytes = rawRecordBytes(runs);
    const QString in = folder.filePath(u"成績累積データ.dat"_s);
    writeBytes(in, bytes + QByteArray(c.tornBytes, '\x7f'));
    const pgtransfer::Outcome imported = pgtransfer::importResults(pgserver::as("postgres"), in);
    ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
    EXPECT_EQ(imported.records, c.records);
    const QString out = folder.filePath(u"書き出し.dat"_s);
    const pgtransfer::Outcome exported = pgtransfer::exportResults(pgserver::as("postgres"), out);
    ASSERT_TRUE(exported.error.isEmpty()) << exported.error.toStdString();
    EXPECT_EQ(exported.records, c.records);
    EXPECT_TRUE(readBytes(out) == bytes);
    PgStation station;
    EXPECT_EQ(station.stored(), c.records);
}

INSTANTIATE_TEST_SUITE_P(Files, Transfers, ::testing::ValuesIn(kTransfers),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(PgFixture, AnAnswerLogIsImportedWholeAndADamagedAnswerIsLeftOut) {
    QTemporaryDir folder;
    QByteArray answers;
    for (int i = 1; i <= 4; ++i) {
        LoggedAnswer answer;
        answer.runId = 77;
        answer.index = static_cast<std::uint8_t>(i);
        answer.student = 5;
        answer.level = 2;
        answer.right = i != 2;
        answers += answerlog::encode(answer);
    }
    QByteArray damaged = answers.right(answerlog::kRecordSize);
    damaged[10] = static_cast<char>(damaged[10] ^ 0x55);
    const QString log = folder.filePath(u"解答記録.dat"_s);
    writeBytes(log, answerlog::header() + answers + damaged);
    const pgtransfer::Outcome imported =
        pgtransfer::importAnswers(pgserver::as("postgres"), log, QByteArray(pgserver::kCodeA));
    ASSERT_TRUE(imported.error.isEmpty()) << imported.error.toStdString();
    EXPECT_EQ(imported.records, 4);
    PgStation station;
    QByteArray back;
    ASSERT_TRUE(station.store()
                    ->scanAnswers([&](const LoggedAnswer* a, std::int64_t n) {
                        for (std::int64_t i = 0; i < n; ++i)
                            back += answerlog::encode(a[i]);
                    })
                    .ok());
    EXPECT_EQ(back, answers);
}

} // namespace
} // namespace mirai::test
