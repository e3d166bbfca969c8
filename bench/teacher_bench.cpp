// Figures for the teacher's screens on a large school: a result file of 1,000,000 runs and 5000
// students. Opening the record list, scrolling it to its end, deleting near its end and near its
// start, the distribution of the criteria editor on every key stroke against one plain read of
// the whole file, and the CSV export of every record.

#include "Configuration.h"
#include "Distribution.h"
#include "FileSystem.h"
#include "Files.h"
#include "FrmData.h"
#include "FrmTimeData.h"
#include "GuiBenchMain.h"
#include "LevelCriteria.h"
#include "PgLink.h"
#include "PgResultStore.h"
#include "PgSchema.h"
#include "RecordFile.h"
#include "RecordFiles.h"
#include "RecordsCsv.h"
#include "ResultRecords.h"
#include "RosterTables.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "TeacherScreens.h"
#include "UiDoubles.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLineEdit>
#include <QListView>
#include <QTest>
#include <benchmark/benchmark.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using namespace mirai;

constexpr int kStudents = 5000;
constexpr std::int64_t kRecords = 1'000'000;

// Resident and peak memory of this process in MB, from the kernel's status page.
double statusMegabytes(const char* key) {
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith(key))
            return line.mid(static_cast<qsizetype>(std::strlen(key)))
                       .trimmed()
                       .split(' ')
                       .value(0)
                       .toDouble() /
                   1024.0;
    }
    return 0;
}

// The school, written once: a roster of 5000 and a million runs, with the real whole-file lock.
class School {
public:
    School() {
        platform.clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0)));
        tree.writeDefaults();
        QStringList roster;
        for (int number = 1; number <= kStudents; ++number)
            roster.append(
                u"%1,%2,0,0,\"生徒%3\",0,\"\",\"\""_s.arg(number).arg(2008 + number % 15).arg(number));
        tree.writeRoster(roster);
        QFile file(tree.dataFolder() + u"成績累積データ.dat"_s);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the result file");
        QByteArray chunk;
        for (std::int64_t i = 0; i < kRecords; ++i) {
            test::RawRecord record;
            record.date = QDate(2024, 4, 1).addDays(static_cast<int>(i / 1200));
            record.time = QTime(9, 0).addSecs(static_cast<int>(i % 36000));
            record.student = static_cast<std::int16_t>(1 + (i * 7919) % kStudents);
            // The two levels in no pattern a branch predictor could learn.
            record.level =
                static_cast<std::int16_t>(1 + ((static_cast<std::uint64_t>(i) * 0x9E3779B97F4A7C15U) >> 63));
            record.seconds = i % 101 == 0 ? 99999 : static_cast<std::int32_t>(25 + (i * 31) % 380);
            chunk += test::rawRecordBytes(record);
            if (chunk.size() >= (1 << 20)) {
                file.write(chunk);
                chunk.clear();
            }
        }
        file.write(chunk);
        file.close();
        if (LoadConfiguration(*state, tree.appFolder()))
            qFatal("configuration of the benchmark school");
        setUpLevelValues(*state);
        seams = platform.platform();
        seams.disk = &disk;
        registerTeacherScreens(platform.screens, ctx());
    }
    Context ctx() { return {*state, seams}; }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    test::DataTree tree;
    test::UiTestPlatform platform;
    SystemFileSystem disk;
    Platform seams;
};

std::unique_ptr<School> g_school;

School& school() {
    if (!g_school)
        g_school = std::make_unique<School>();
    return *g_school;
}

void settle() {
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void BM_OpenRecordList(benchmark::State& bench) {
    School& s = school();
    const double before = statusMegabytes("VmRSS:");
    double open = 0;
    int lines = 0;
    for (auto _ : bench) {
        auto* screen = static_cast<FrmData*>(s.platform.screens.show(screens::FrmData()));
        bench.PauseTiming();
        lines = screen->records().rowCount();
        open = statusMegabytes("VmRSS:");
        s.platform.screens.close(screens::FrmData());
        settle();
        bench.ResumeTiming();
    }
    bench.counters["lines"] = lines;
    bench.counters["rss_open_MB"] = open;
    bench.counters["rss_before_MB"] = before;
    bench.counters["peak_MB"] = statusMegabytes("VmHWM:");
}
BENCHMARK(BM_OpenRecordList)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

// The same list on the PostgreSQL store, the school's million runs imported into a database of the
// server scripts/with-pg-server started (skipped without one).
void BM_OpenRecordListOnPostgres(benchmark::State& bench) {
    const QString server = qEnvironmentVariable("MIRAI_PG_TEST");
    if (server.isEmpty()) {
        bench.SkipWithError("no PostgreSQL server: run under scripts/with-pg-server");
        return;
    }
    School& s = school();
    const QString admin = server + u" dbname=mirai_list_bench"_s;
    auto run = [](const QString& connection, const char* sql) {
        const pg::ConnectionPtr link(pg::connect(connection, 10));
        PQclear(PQexec(link.get(), sql));
    };
    run(server, "DROP DATABASE IF EXISTS mirai_list_bench");
    run(server, "CREATE DATABASE mirai_list_bench");
    {
        const pg::ConnectionPtr link(pg::connect(admin, 10));
        QString report;
        if (!pgschema::migrate(link.get(), report)) {
            bench.SkipWithError(qPrintable(report));
            return;
        }
    }
    run(admin, "CREATE ROLE list_bench_site LOGIN IN ROLE mirai_station");
    run(admin, "INSERT INTO mirai_sites VALUES ('12345', 'list_bench_site')");
    const pgtransfer::Outcome imported =
        pgtransfer::importResults(admin, s.tree.dataFolder() + u"成績累積データ.dat"_s);
    if (!imported.error.isEmpty()) {
        bench.SkipWithError(qPrintable(imported.error));
        return;
    }
    s.state->StoreConnection = admin + u" user=list_bench_site"_s;
    int lines = 0;
    for (auto _ : bench) {
        auto* screen = static_cast<FrmData*>(s.platform.screens.show(screens::FrmData()));
        bench.PauseTiming();
        lines = screen->records().rowCount();
        s.platform.screens.close(screens::FrmData());
        settle();
        bench.ResumeTiming();
    }
    s.state->StoreConnection.clear();
    PgResultStore::closeConnections();
    run(server, "DROP DATABASE mirai_list_bench");
    bench.counters["lines"] = lines;
}
BENCHMARK(BM_OpenRecordListOnPostgres)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(5);

void BM_ScrollToTheEnd(benchmark::State& bench) {
    School& s = school();
    auto* screen = static_cast<FrmData*>(s.platform.screens.show(screens::FrmData()));
    auto* list = screen->findChild<QListView*>(u"List1"_s);
    for (auto _ : bench) {
        bench.PauseTiming();
        list->scrollToTop();
        benchmark::DoNotOptimize(list->viewport()->grab());
        bench.ResumeTiming();
        list->scrollToBottom();
        benchmark::DoNotOptimize(list->viewport()->grab()); // the visible lines are made and painted
    }
    s.platform.screens.close(screens::FrmData());
    settle();
}
BENCHMARK(BM_ScrollToTheEnd)->Unit(benchmark::kMillisecond)->UseRealTime();

// Deletes record `from end ? total − 10 : 10`, reading it first as the screen does.
void BM_Delete(benchmark::State& bench) {
    School& s = school();
    const bool nearEnd = bench.range(0) == 1;
    for (auto _ : bench) {
        bench.PauseTiming();
        const std::int64_t total = QFile(resultFilePath(*s.state)).size() / kRecordSize;
        const std::int64_t number = nearEnd ? total - 10 : 10;
        const std::optional<QByteArray> asRead = readResultRecord(s.ctx(), number);
        bench.ResumeTiming();
        const MaintenanceResult result = deleteResultRecord(s.ctx(), number, asRead.value_or(QByteArray()));
        if (result.kind != MaintenanceResult::Kind::Done)
            bench.SkipWithError("delete failed");
    }
    bench.counters["records"] = static_cast<double>(QFile(resultFilePath(*s.state)).size() / kRecordSize);
}
BENCHMARK(BM_Delete)
    ->ArgName("near_end")
    ->Arg(1)
    ->Arg(0)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Iterations(5);

// One key stroke in the criteria editor against one plain read of the whole file, in one run.
void BM_KeyStrokeAgainstOneRead(benchmark::State& bench) {
    School& s = school();
    auto* screen = static_cast<FrmTimeData*>(s.platform.screens.show(screens::FrmTimeData()));
    auto* editor = screen->findChild<QLineEdit*>(u"Gridinputtext"_s);
    double readMs = 0, refreshMs = 0, keyMs = 0, passMs = 0;
    std::int64_t rounds = 0;
    QElapsedTimer timer;
    for (auto _ : bench) {
        timer.start();
        std::int64_t records = 0;
        scanResultFile(s.ctx(), [&](const char*, std::int64_t count) { records += count; });
        readMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        benchmark::DoNotOptimize(records);

        timer.start();
        {
            DistributionBuilder builder(1);
            scanResultFile(s.ctx(), [&](const char* r, std::int64_t count) { builder.add(r, count); });
            benchmark::DoNotOptimize(builder.finish());
        }
        passMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;

        timer.start();
        screen->RefreshDistribution();
        refreshMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;

        timer.start();
        QTest::keyClick(editor, Qt::Key_Down); // moves a row: refresh, editor text, caret
        keyMs += static_cast<double>(timer.nsecsElapsed()) / 1e6;
        QTest::keyClick(editor, Qt::Key_Up);
        ++rounds;
    }
    const double n = static_cast<double>(std::max<std::int64_t>(rounds, 1));
    bench.counters["read_ms"] = readMs / n;
    bench.counters["refresh_ms"] = refreshMs / n;
    bench.counters["pass_ms"] = passMs / n;
    bench.counters["key_ms"] = keyMs / n;
    bench.counters["refresh_over_read"] = refreshMs / readMs;
    bench.counters["key_over_read"] = keyMs / readMs;
    s.platform.screens.close(screens::FrmTimeData());
    settle();
}
BENCHMARK(BM_KeyStrokeAgainstOneRead)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(10);

// "CSV出力" of every record, with the names and grades of 5000 students.
void BM_ExportCsv(benchmark::State& bench) {
    School& s = school();
    RosterTables roster;
    roster.LoadRosterChoices(s.state->CommonFolder + u"新名簿.txt"_s, 2026);
    const QString path = s.tree.root() + u"成績一覧.csv"_s;
    CsvExport result;
    for (auto _ : bench) {
        result = exportRecordsCsv(s.ctx(), path, roster);
        if (!result.written)
            bench.SkipWithError("export failed");
    }
    bench.counters["rows"] = static_cast<double>(result.rows);
    bench.counters["file_MB"] = static_cast<double>(QFile(path).size()) / (1024.0 * 1024.0);
    QFile::remove(path);
}
BENCHMARK(BM_ExportCsv)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv) {
    return mirai::bench::runWithScreens(argc, argv, [] { g_school.reset(); });
}
