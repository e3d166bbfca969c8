// The PostgreSQL store beside the shared folder's, on one machine and a million runs: import and
// export with COPY, the hub's load (statistics on the newest 20,000), an append of a run with its
// answers, and the scan the record maintenance list opens with. Run it under
// scripts/with-pg-server (the server on loopback); each figure is named /files or /postgres.

#include "Doubles.h"
#include "FileSystem.h"
#include "PgLink.h"
#include "PgResultStore.h"
#include "PgSchema.h"
#include "RecordFiles.h"
#include "ResultRecords.h"
#include "ResultStore.h"
#include "SharedState.h"
#include "Statistics.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using namespace mirai;

constexpr std::int64_t kRecords = 1'000'000;
constexpr int kStudents = 5000;

QString server() {
    return qEnvironmentVariable("MIRAI_PG_TEST");
}
QString database(const char* role) {
    return server() + u" dbname=mirai_bench user="_s + QString::fromLatin1(role);
}
void admin(const QString& sql, const char* db = "mirai_bench") {
    const pg::ConnectionPtr link(pg::connect(server() + u" dbname="_s + QString::fromLatin1(db), 10));
    const pg::ResultPtr result(PQexec(link.get(), sql.toUtf8().constData()));
    if (!pg::succeeded(result.get()))
        qWarning("%s: %s", qPrintable(sql), PQresultErrorMessage(result.get()));
}

// A school of 5000 students and a million runs, once as a result file and once on the server,
// with one station for each store.
class School {
public:
    School() {
        QDir().mkpath(dataFolder());
        writeResults();
        admin(u"DROP DATABASE IF EXISTS mirai_bench"_s, "postgres");
        admin(u"CREATE DATABASE mirai_bench"_s, "postgres");
        {
            const pg::ConnectionPtr link(pg::connect(database("postgres"), 10));
            QString report;
            if (!pgschema::migrate(link.get(), report))
                qFatal("%s", qPrintable(report));
        }
        admin(u"CREATE ROLE bench_site LOGIN IN ROLE mirai_station"_s);
        admin(u"INSERT INTO mirai_sites VALUES ('12345', 'bench_site')"_s);
        if (const pgtransfer::Outcome in = pgtransfer::importResults(database("postgres"), resultFile());
            !in.error.isEmpty())
            qFatal("%s", qPrintable(in.error));
        for (int kind = 0; kind < 2; ++kind) {
            auto& state = states[kind];
            state = std::make_unique<SharedState>();
            state->DataFolder = dataFolder();
            state->CommonFolder = m_dir.path() + u"/"_s;
            state->QueueFolder = m_dir.path() + u"/station%1/"_s.arg(kind);
            state->SiteCode = u"12345"_s;
            state->SchoolYearStartMonth = Untyped::number(4);
            for (int level = 1; level <= 2; ++level) {
                LevelCriteriaRow& row = state->LevelCriteria[static_cast<std::size_t>(level)];
                row.TargetSeconds = 120;
                row.PointFactor = 1.5f;
                row.PassPeriodDays = Untyped::number(7);
                row.OverusePeriodDays = Untyped::number(1);
            }
            if (kind == 1)
                state->StoreConnection = database("bench_site");
        }
        seams = platform.platform();
        seams.disk = &disk;
    }
    ~School() {
        PgResultStore::closeConnections();
        admin(u"DROP DATABASE IF EXISTS mirai_bench"_s, "postgres");
    }

    QString dataFolder() const { return m_dir.path() + u"/data/"_s; }
    QString resultFile() const { return dataFolder() + u"成績累積データ.dat"_s; }
    Context ctx(int kind) { return Context{*states[kind], seams}; }

    test::TestPlatform platform;
    SystemFileSystem disk;
    Platform seams;
    std::unique_ptr<SharedState> states[2];

private:
    void writeResults() {
        QFile file(resultFile());
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the result file");
        const QDate today = platform.clock.now().date();
        QByteArray chunk;
        for (std::int64_t i = 0; i < kRecords; ++i) {
            test::RawRecord record;
            record.date = today.addDays(-static_cast<int>((kRecords - i) / 2000)); // newest last
            record.time = QTime(9, 0).addSecs(static_cast<int>(i % 36000));
            record.student = static_cast<std::int16_t>(1 + i % kStudents);
            record.level = static_cast<std::int16_t>(1 + (i / kStudents) % 2);
            record.seconds = static_cast<std::int32_t>(40 + (i * 7919) % 300);
            chunk += test::rawRecordBytes(record);
            if (chunk.size() >= (1 << 20)) {
                file.write(chunk);
                chunk.clear();
            }
        }
        file.write(chunk);
    }

    QTemporaryDir m_dir;
};

std::unique_ptr<School> g_school;
School& school() {
    if (!g_school)
        g_school = std::make_unique<School>();
    return *g_school;
}

const char* kindName(std::int64_t kind) {
    return kind == 0 ? "files" : "postgres";
}
// The stores of the hub's load: the file, the server with the newest runs kept from the last load
// (every load but a station's first), and the server for a station's first load (its connection
// and every run of the window fetched).
const char* loadName(std::int64_t kind) {
    return kind == 0 ? "files" : kind == 1 ? "postgres" : "postgres-first-load";
}

// The million runs into an empty database with COPY, in one transaction; then back out to a
// file, which must be the very file that went in.
void BM_ImportMillion(benchmark::State& run) {
    School& s = school();
    for (auto _ : run) {
        run.PauseTiming();
        admin(u"TRUNCATE mirai_runs RESTART IDENTITY"_s);
        run.ResumeTiming();
        const pgtransfer::Outcome outcome = pgtransfer::importResults(database("postgres"), s.resultFile());
        if (!outcome.error.isEmpty() || outcome.records != kRecords)
            run.SkipWithError(qPrintable(outcome.error));
    }
    run.counters["records"] = static_cast<double>(kRecords);
}
BENCHMARK(BM_ImportMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

void BM_ExportMillion(benchmark::State& run) {
    School& s = school();
    const QString out = s.dataFolder() + u"書き出し.dat"_s;
    bool same = false;
    for (auto _ : run) {
        const pgtransfer::Outcome outcome = pgtransfer::exportResults(database("postgres"), out);
        if (!outcome.error.isEmpty() || outcome.records != kRecords)
            run.SkipWithError(qPrintable(outcome.error));
        run.PauseTiming();
        QFile a(out), b(s.resultFile());
        same = a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly) && a.readAll() == b.readAll();
        run.ResumeTiming();
    }
    run.counters["byte_identical"] = same ? 1 : 0;
}
BENCHMARK(BM_ExportMillion)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

// The hub's load: the newest 20,000 of the million, and the statistics on them.
void BM_HubLoad(benchmark::State& run) {
    School& s = school();
    run.SetLabel(loadName(run.range(0)));
    const int kind = run.range(0) == 0 ? 0 : 1;
    for (auto _ : run) {
        if (run.range(0) == 2) {
            run.PauseTiming();
            PgResultStore::closeConnections();
            run.ResumeTiming();
        }
        if (!ComputeResultStatistics(s.ctx(kind)))
            run.SkipWithError("the load failed");
    }
    run.counters["loaded"] = s.states[kind]->LoadedResultCount;
}
BENCHMARK(BM_HubLoad)
    ->Arg(0)
    ->Arg(1)
    ->Arg(2)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// The end of a real run: its record and twelve answers, stored and flushed (committed).
void BM_AppendRunWithAnswers(benchmark::State& run) {
    School& s = school();
    run.SetLabel(kindName(run.range(0)));
    SharedState& state = *s.states[run.range(0)];
    state.StudentNumber = 17;
    state.CurrentLevel = 1;
    state.RunSeconds = 77;
    std::vector<LoggedAnswer> judged(12);
    for (int i = 0; i < 12; ++i) {
        LoggedAnswer& a = judged[static_cast<std::size_t>(i)];
        a.index = static_cast<std::uint8_t>(i + 1);
        a.digitA = 7;
        a.digitB = 8;
        a.placesB = 1;
        a.typed = {'5', '.', '6'};
        a.typedLength = 3;
        a.right = i % 6 != 0;
        a.ms = 3000;
    }
    std::uint64_t id = 1;
    for (auto _ : run) {
        state.RunAnswers = judged;
        state.RunId = (static_cast<std::uint64_t>(run.range(0)) << 40) + id++;
        if (!appendResultRecord(s.ctx(static_cast<int>(run.range(0))), AppendOptions{}))
            run.SkipWithError("the append failed");
    }
}
BENCHMARK(BM_AppendRunWithAnswers)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMicrosecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

// What the record maintenance list reads when it opens: every run, in order.
void BM_ScanEveryRun(benchmark::State& run) {
    School& s = school();
    run.SetLabel(kindName(run.range(0)));
    std::int64_t records = 0;
    for (auto _ : run) {
        records = 0;
        const StoreResult<std::int64_t> scanned =
            openResultStore(s.ctx(static_cast<int>(run.range(0))))->scan([&](const char*, std::int64_t n) {
                records += n;
            });
        if (!scanned)
            run.SkipWithError("the scan failed");
    }
    run.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_ScanEveryRun)
    ->Arg(0)
    ->Arg(1)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv) {
    if (server().isEmpty()) {
        std::fprintf(stderr, "pg_bench: run it under scripts/with-pg-server\n");
        return 2;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    g_school.reset();
    benchmark::Shutdown();
    return 0;
}
