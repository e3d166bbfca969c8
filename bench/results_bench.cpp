// Figures for the student's screens with a large school: 5000 listed students and a result file
// of 1,000,000 runs. The name list is rebuilt with its statistics and list filling; the hub is
// refreshed with both level rankings; the period list reads the newest 20000 runs; the progress
// graphs read them too, rank the school four times and draw on the canvas.

#include "Configuration.h"
#include "DrawingDoubles.h"
#include "Files.h"
#include "GraphPanel.h"
#include "GuiBenchMain.h"
#include "ProgressGraph.h"
#include "Rankings.h"
#include "RecordFiles.h"
#include "ResultRecords.h"
#include "Roster.h"
#include "ScreenNames.h"
#include "SharedState.h"
#include "Statistics.h"
#include "UiDoubles.h"
#include "namesel.h"
#include "seisekitime1.h"

#include <QFile>
#include <benchmark/benchmark.h>
#include <memory>
#include <random>

using namespace Qt::StringLiterals;

namespace {

using namespace mirai;

constexpr int kStudents = 5000;
constexpr std::int64_t kRecords = 1'000'000;

const QStringList kNames = {u"山田花子"_s,   u"佐藤一郎"_s,   u"鈴木次郎"_s,   u"高橋みさき"_s,
                            u"田中"_s,       u"伊藤ゆうと"_s, u"渡辺あかり"_s, u"中村そうた"_s,
                            u"小林ひなた"_s, u"加藤れん"_s};

// One station shared by every benchmark: roster, criteria and the long result file, written once.
class Station {
public:
    Station() {
        platform.clock.set(QDateTime(QDate(2026, 12, 9), QTime(10, 0, 0)));
        tree.writeDefaults();
        QStringList roster;
        roster.reserve(kStudents);
        for (int number = 1; number <= kStudents; ++number) {
            const int birthYear = 2008 + number % 15; // grades 12 down to pre-school
            roster.append(u"%1,%2,0,0,\"%3\",0,\"\",\"\""_s.arg(number).arg(birthYear).arg(
                kNames[number % kNames.size()] + QString::number(number % 100)));
        }
        tree.writeRoster(roster);
        writeResults();
        if (LoadConfiguration(*state, tree.appFolder()))
            qFatal("configuration of the benchmark station");
        setUpLevelValues(*state);
        ReadRoster(*state, platform.clock.today());
        state->StudentNumber = 2500;
        state->StudentName = u"山田花子"_s;
        state->StudentGroupText = u"小３"_s;
        state->SessionStart = 9 * 3600;
        registerNameSelection(platform.screens, ctx());
        registerResultsScreen(platform.screens, ctx());
    }

    Context ctx() { return {*state, platform}; }

    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    test::DataTree tree;
    test::UiTestPlatform platform;

private:
    // Runs spread over two years, the newest ones over the last weeks, written in chunks.
    void writeResults() {
        std::mt19937 engine(20261209);
        std::uniform_int_distribution<int> student(1, kStudents);
        std::uniform_int_distribution<int> seconds(25, 400);
        const QDate today = platform.clock.today();
        QFile file(tree.dataFolder() + u"成績累積データ.dat"_s);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the result file");
        constexpr std::int64_t kChunk = 50'000;
        for (std::int64_t start = 0; start < kRecords; start += kChunk) {
            std::vector<test::RawRecord> records;
            records.reserve(kChunk);
            for (std::int64_t i = start; i < start + kChunk && i < kRecords; ++i) {
                test::RawRecord record;
                // Oldest first: the last 20000 runs fall within the last 20 days.
                record.date = today.addDays(-static_cast<int>((kRecords - 1 - i) / 1000));
                record.time = QTime(9, 0).addSecs(static_cast<int>(i % 30000));
                record.student = static_cast<std::int16_t>(student(engine));
                record.level = static_cast<std::int16_t>(1 + i % 2);
                record.seconds = i % 97 == 0 ? 99999 : seconds(engine);
                records.push_back(record);
            }
            file.write(test::rawRecordBytes(records));
        }
    }
};

// Made on first use, removed (with its 44 MB file) before the application ends.
std::unique_ptr<Station> g_station;

Station& station() {
    if (!g_station)
        g_station = std::make_unique<Station>();
    return *g_station;
}

void BM_NameListRebuild(benchmark::State& bench) {
    Station& s = station();
    s.platform.screens.show(screens::namesel());
    auto* screen = s.platform.screens.find<namesel>(screens::namesel());
    const int mode = static_cast<int>(bench.range(0));
    screen->option1Click(mode);
    for (auto _ : bench)
        screen->名簿表示();
    bench.counters["students"] = static_cast<double>(s.state->ListedStudentCount);
    bench.counters["rows"] = static_cast<double>(screen->nameList().rows().size());
    s.platform.screens.close(screens::namesel());
}
BENCHMARK(BM_NameListRebuild)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_HubRefreshWithRankings(benchmark::State& bench) {
    Station& s = station();
    s.platform.screens.show(screens::seisekitime1());
    auto* hub = s.platform.screens.find<seisekitime1>(screens::seisekitime1());
    for (auto _ : bench)
        hub->RefreshResultsScreen();
    bench.counters["students"] = static_cast<double>(s.state->ListedStudentCount);
    s.platform.screens.close(screens::seisekitime1());
}
BENCHMARK(BM_HubRefreshWithRankings)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ShowPeriodResults(benchmark::State& bench) {
    Station& s = station();
    s.platform.screens.show(screens::seisekitime1());
    auto* hub = s.platform.screens.find<seisekitime1>(screens::seisekitime1());
    s.state->PeriodChoice = static_cast<std::int16_t>(bench.range(0));
    hub->option2Click(static_cast<int>(bench.range(1)));
    for (auto _ : bench)
        hub->ShowPeriodResults();
    bench.counters["records"] = static_cast<double>(kRecords);
    bench.counters["days"] = hub->periodDays();
    s.platform.screens.close(screens::seisekitime1());
}
// Every run of the window shown (all of them), in time and in points display.
BENCHMARK(BM_ShowPeriodResults)
    ->Args({5, 0})
    ->Args({5, 1})
    ->Args({1, 0})
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_ShowTodayResults(benchmark::State& bench) {
    Station& s = station();
    s.platform.screens.show(screens::seisekitime1());
    auto* hub = s.platform.screens.find<seisekitime1>(screens::seisekitime1());
    hub->option2Click(0);
    for (auto _ : bench)
        hub->ShowTodayResults();
    s.platform.screens.close(screens::seisekitime1());
}
BENCHMARK(BM_ShowTodayResults)->Unit(benchmark::kMillisecond)->UseRealTime();

// The ranking rule alone, without the list boxes.
void BM_LevelRanking(benchmark::State& bench) {
    Station& s = station();
    if (!ComputeResultStatistics(s.ctx()))
        bench.SkipWithError("statistics");
    for (auto _ : bench)
        benchmark::DoNotOptimize(levelRanking(*s.state, 1, kPointsDisplay, kCumulativeOrder, u"全学年"_s));
}
BENCHMARK(BM_LevelRanking)->Unit(benchmark::kMillisecond);

// The graph button's whole work: the newest 20000 runs read, both levels ranked for points and
// time, both graphs drawn on the canvas image.
void BM_GraphsOnTheCanvas(benchmark::State& bench) {
    Station& s = station();
    s.platform.screens.show(screens::seisekitime1());
    auto* hub = s.platform.screens.find<seisekitime1>(screens::seisekitime1());
    hub->option2Click(2);
    hub->command17Click(); // both levels selected
    auto* panel = hub->findChild<GraphPanel*>(u"Picture11"_s);
    for (auto _ : bench)
        panel->command24Click(0);
    bench.counters["records"] = static_cast<double>(kLoadWindow);
    s.platform.screens.close(screens::seisekitime1());
}
BENCHMARK(BM_GraphsOnTheCanvas)->Unit(benchmark::kMillisecond)->UseRealTime();

// The rules alone on records in memory: rankings, both passes and the drawing calls of two levels.
void BM_DrawGraphsRecorded(benchmark::State& bench) {
    Station& s = station();
    if (!ComputeResultStatistics(s.ctx()))
        bench.SkipWithError("statistics");
    const std::optional<RecordRange> range = readNewestRecords(s.ctx(), kLoadWindow);
    if (!range)
        bench.SkipWithError("records");
    GraphRequest request;
    request.student = s.state->StudentNumber;
    request.levels = {1, 2};
    request.groupText = u"全学年"_s;
    request.now = s.platform.clock.now();
    std::vector<GraphFigures> figures;
    for (auto _ : bench) {
        test::RecordingSurface surface(QSizeF(12300, 13500));
        benchmark::DoNotOptimize(DrawGraphs(surface, *s.state, range->records, request, figures));
    }
}
BENCHMARK(BM_DrawGraphsRecorded)->Unit(benchmark::kMillisecond);

} // namespace

int main(int argc, char** argv) {
    return mirai::bench::runWithScreens(argc, argv, [] { g_station.reset(); });
}
