// Figures for the records library: statistics over a long result file, one append, and the
// roster of a large school. Each figure carries the record or student count it was taken with.

#include "Doubles.h"
#include "FileResultStore.h"
#include "FileSystem.h"
#include "Files.h"
#include "RecordFiles.h"
#include "ResultRecords.h"
#include "Roster.h"
#include "SharedState.h"
#include "Statistics.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <benchmark/benchmark.h>
#include <map>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

using namespace mirai;

constexpr int kStudents = 5000;
constexpr int kLevels = 2;

// A station tree with a result file of `records` runs by 5000 students over 2 levels, built
// once per size and shared by the benchmarks.
class Station {
public:
    explicit Station(std::int64_t records) {
        QDir().mkpath(dataFolder());
        state->DataFolder = dataFolder();
        state->CommonFolder = m_dir.path() + u"/"_s;
        state->SiteCode = u"12345"_s;
        state->SchoolYearStartMonth = Untyped::number(4);
        for (int level = 1; level <= kLevels; ++level) {
            LevelCriteriaRow& row = state->LevelCriteria[static_cast<std::size_t>(level)];
            row.TargetSeconds = 120;
            row.PointFactor = 1.5f;
            row.PassPeriodDays = Untyped::number(7);
            row.OverusePeriodDays = Untyped::number(1);
        }
        seams = platform.platform();
        seams.disk = &disk;
        writeResults(records);
    }

    QString dataFolder() const { return m_dir.path() + u"/data/"_s; }
    Context ctx() { return Context{*state, seams}; }

    test::TestPlatform platform;
    SystemFileSystem disk;
    Platform seams;
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();

private:
    void writeResults(std::int64_t records) {
        QFile file(resultFilePath(*state));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the result file");
        const QDate today = platform.clock.now().date();
        std::vector<test::RawRecord> chunk;
        chunk.reserve(10000);
        for (std::int64_t i = 0; i < records; ++i) {
            test::RawRecord record;
            record.date = today.addDays(-static_cast<int>((records - i) / 2000)); // newest last
            record.student = static_cast<std::int16_t>(1 + i % kStudents);
            record.level = static_cast<std::int16_t>(1 + (i / kStudents) % kLevels);
            record.seconds = static_cast<std::int32_t>(40 + (i * 7919) % 300);
            chunk.push_back(record);
            if (chunk.size() == chunk.capacity()) {
                file.write(test::rawRecordBytes(chunk));
                chunk.clear();
            }
        }
        file.write(test::rawRecordBytes(chunk));
    }

    QTemporaryDir m_dir;
};

Station& stationWith(std::int64_t records) {
    static std::map<std::int64_t, std::unique_ptr<Station>> stations;
    auto& station = stations[records];
    if (!station)
        station = std::make_unique<Station>(records);
    return *station;
}

void BM_ComputeResultStatistics(benchmark::State& run) {
    Station& station = stationWith(run.range(0));
    for (auto _ : run) {
        if (!ComputeResultStatistics(station.ctx()))
            run.SkipWithError("the load failed");
        benchmark::DoNotOptimize(station.state->PointsSoFar(1, 1));
    }
    run.counters["records"] = static_cast<double>(run.range(0));
    run.counters["loaded"] = station.state->LoadedResultCount;
}
// The same window out of files of very different lengths: the cost must not follow the length.
BENCHMARK(BM_ComputeResultStatistics)
    ->Arg(20000)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

void BM_LoadResultRecords(benchmark::State& run) {
    Station& station = stationWith(run.range(0));
    for (auto _ : run) {
        if (!LoadResultRecords(station.ctx()))
            run.SkipWithError("the load failed");
    }
    run.counters["records"] = static_cast<double>(run.range(0));
}
BENCHMARK(BM_LoadResultRecords)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// Open, lock, write, unlock and close, on the long file, with no other station about; with
// `answers` judged answers of the run, which go to the answer log first.
void appendBenchmark(benchmark::State& run, bool syncData, int answers = 0) {
    Station& station = stationWith(run.range(0));
    station.state->StudentNumber = 17;
    station.state->CurrentLevel = 1;
    station.state->RunSeconds = 77;
    std::vector<LoggedAnswer> judged(static_cast<std::size_t>(answers));
    for (int i = 0; i < answers; ++i) {
        LoggedAnswer& a = judged[static_cast<std::size_t>(i)];
        a.index = static_cast<std::uint8_t>(i + 1);
        a.digitA = 7;
        a.placesA = 1;
        a.digitB = 8;
        a.placesB = 1;
        a.typed = {'0', '.', '5', '6'};
        a.typedLength = 4;
        a.right = i % 4 != 0;
        a.ms = 3000;
    }
    for (auto _ : run) {
        station.state->RunAnswers = judged;
        if (!appendResultRecord(station.ctx(), AppendOptions{syncData}))
            run.SkipWithError("the append failed");
    }
    run.counters["records"] = static_cast<double>(run.range(0));
    run.counters["answers"] = answers;
}
// As the program appends: the record reaches the disk before the lock is let go.
void BM_AppendResultRecord(benchmark::State& run) {
    appendBenchmark(run, true);
}
// For comparison: the same without waiting for the disk.
void BM_AppendResultRecordWithoutSync(benchmark::State& run) {
    appendBenchmark(run, false);
}
// The end of a real run: its record and its answers (twelve: ten right, two wrong) under one
// lock, each file flushed.
void BM_AppendRunWithAnswers(benchmark::State& run) {
    appendBenchmark(run, true, 12);
}
BENCHMARK(BM_AppendRunWithAnswers)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_AppendResultRecord)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_AppendResultRecordWithoutSync)
    ->Arg(1000000)
    ->Unit(benchmark::kMicrosecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

// A delete of the first record of a million, cut short right after its intent was flushed, so the
// whole file is still to be moved; then the next open of the store completes it.
void BM_RecoverInterruptedDelete(benchmark::State& run) {
    Station& station = stationWith(run.range(0));
    const QString path = resultFilePath(*station.state);
    const QByteArray original = test::readBytes(path);
    const StorePaths paths = StorePaths::of(*station.state);
    test::TestPlatform crashing;
    crashing.events.stepMs = 1;
    for (auto _ : run) {
        run.PauseTiming();
        test::writeBytes(path, original);
        crashing.disk.onCall = [&](test::FaultyFileSystem::Call call, int index) {
            if (call == test::FaultyFileSystem::Call::Write && QFileInfo(paths.intent).size() > 0)
                crashing.disk.dieAtCall(index + 1); // the station dies before the first record moves
        };
        FileResultStore(crashing.platform(), paths).remove(1, original.left(44));
        crashing.disk.clearFaults();
        crashing.disk.onCall = nullptr;
        crashing.disk.log.clear();
        if (!QFileInfo::exists(paths.intent))
            run.SkipWithError("the delete was not cut short");
        run.ResumeTiming();
        if (!FileResultStore(station.ctx().platform, paths).recover())
            run.SkipWithError("the recovery failed");
    }
    if (test::readBytes(path) != original.mid(44))
        run.SkipWithError("the recovery did not complete the delete");
    test::writeBytes(path, original);
    run.counters["records"] = static_cast<double>(run.range(0));
}
BENCHMARK(BM_RecoverInterruptedDelete)
    ->Arg(1000000)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(3)
    ->ReportAggregatesOnly(true);

void BM_ReadRoster(benchmark::State& run) {
    Station& station = stationWith(0);
    QStringList lines;
    for (int number = 1; number <= run.range(0); ++number)
        lines.append(QString::number(number) + u","_s + QString::number(1994 + number % 12) +
                     u",0,0,\"生徒　"_s + QString::number(number) + u"\","_s +
                     QString::number(number % 17 == 0 ? 1 : 0) + u",\"\",\"\""_s);
    test::writeTextFile(station.state->CommonFolder + u"新名簿.txt"_s, lines);
    int listed = 0;
    for (auto _ : run) {
        listed = 0;
        ReadRoster(*station.state, QDate(2026, 12, 9), [&listed](const ListedRecord&) { ++listed; });
    }
    run.counters["students"] = static_cast<double>(run.range(0));
    run.counters["listed"] = listed;
}
BENCHMARK(BM_ReadRoster)
    ->Arg(5000)
    ->Unit(benchmark::kMillisecond)
    ->Repetitions(7)
    ->ReportAggregatesOnly(true);

} // namespace
