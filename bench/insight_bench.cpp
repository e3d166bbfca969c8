// Figures for the analysis of the answer log: a student's picture and the class grid over a
// generated log of 5000 students (5 years of a busy school: 10,000,000 answers), with the time
// and the peak heap of the accumulators. The first figures feed answers made in memory (the
// analysis alone); the "File" figures read a real answer log file through the result store, as
// the two screens do: the file is written once into a temporary folder, and read from the
// system's file cache (a station's second look; the first one reads 480 MB from the disk or the
// share).

#include "AnswerLog.h"
#include "ClassGrid.h"
#include "Doubles.h"
#include "ErrorKind.h"
#include "FileResultStore.h"
#include "FileSystem.h"
#include "LoggedAnswer.h"
#include "ResultRecords.h"
#include "SharedState.h"
#include "StudentPicture.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtEndian>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>
#include <string>
#include <sys/resource.h>
#include <vector>

// Every allocation of the program is counted, so a benchmark can give the peak heap its
// accumulator reached.
namespace {
std::atomic<std::int64_t> g_heapBytes{0};
std::atomic<std::int64_t> g_heapPeak{0};

void* counted(void* block) {
    if (!block)
        throw std::bad_alloc();
    const std::int64_t now = g_heapBytes += static_cast<std::int64_t>(malloc_usable_size(block));
    for (std::int64_t peak = g_heapPeak; now > peak && !g_heapPeak.compare_exchange_weak(peak, now);) {
    }
    return block;
}
void uncounted(void* block) {
    if (block) {
        g_heapBytes -= static_cast<std::int64_t>(malloc_usable_size(block));
        std::free(block);
    }
}
} // namespace

void* operator new(std::size_t size) {
    return counted(std::malloc(size ? size : 1));
}
void* operator new[](std::size_t size) {
    return counted(std::malloc(size ? size : 1));
}
void operator delete(void* block) noexcept {
    uncounted(block);
}
void operator delete[](void* block) noexcept {
    uncounted(block);
}
void operator delete(void* block, std::size_t) noexcept {
    uncounted(block);
}
void operator delete[](void* block, std::size_t) noexcept {
    uncounted(block);
}

namespace {

using namespace mirai;

constexpr int kStudents = 5000;
constexpr std::int64_t kBusySchool = 10'000'000;
constexpr std::size_t kChunk = 1 << 16;
const std::int32_t kToday = static_cast<std::int32_t>(oleDate(QDate(2026, 12, 9)));
constexpr std::int32_t kFiveYears = 1826;

// A deterministic log: runs of 10 to 14 answers by a random student on level 1 or 2 on a day of
// the last five years. Each student leans one way: most answer well, some misplace the point,
// some miss facts such as 7 × 8 and 6 × 9.
class LogMaker {
public:
    // Fills `chunk` with the next answers; the last chunk may be short.
    void next(std::vector<LoggedAnswer>& chunk, std::int64_t left) {
        chunk.resize(static_cast<std::size_t>(std::min<std::int64_t>(left, kChunk)));
        for (LoggedAnswer& answer : chunk)
            make(answer);
    }

private:
    std::uint64_t random() {
        // splitmix64
        std::uint64_t z = (m_state += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    int below(int n) { return static_cast<int>(random() % static_cast<std::uint64_t>(n)); }

    void make(LoggedAnswer& answer) {
        if (m_left == 0) {
            ++m_run;
            m_left = 10 + below(5);
            m_student = static_cast<std::int16_t>(1 + below(kStudents));
            m_level = static_cast<std::int16_t>(1 + below(2));
            m_day = kToday - below(kFiveYears);
        }
        --m_left;
        answer = LoggedAnswer{};
        answer.runId = m_run;
        answer.student = m_student;
        answer.level = m_level;
        answer.runDay = m_day;
        const int places = m_level == 1 ? 2 : 3;
        do {
            answer.digitA = static_cast<std::uint8_t>(1 + below(9));
            answer.placesA = static_cast<std::uint8_t>(below(places));
            answer.digitB = static_cast<std::uint8_t>(1 + below(9));
            answer.placesB = static_cast<std::uint8_t>(below(places));
        } while (answer.placesA + answer.placesB == 0);
        const int product = answer.digitA * answer.digitB;
        const int placesOfProduct = answer.placesA + answer.placesB;
        const int lean = m_student % 10; // 0..5 answer well, 6..7 misplace points, 8..9 miss facts
        const int roll = below(100);
        std::string typed;
        if (roll < 2) {
            typed = ""; // nothing typed
        } else if (roll < (lean >= 6 && lean <= 7 ? 30 : 5)) {
            typed = text(product, placesOfProduct + (below(2) ? 1 : -1) * (1 + below(2)));
        } else if (roll < (lean >= 8 ? 30 : 8)) {
            typed = text(product + (below(2) ? 1 : -1) * (1 + below(3)), placesOfProduct);
        } else {
            typed = text(product, placesOfProduct);
        }
        answer.typedLength = static_cast<std::uint8_t>(std::min(typed.size(), answer.typed.size()));
        std::memcpy(answer.typed.data(), typed.data(), answer.typedLength);
        answer.right = judgeAnswer(answer).kind == ErrorKind::Right;
        answer.hintShown = below(10) == 0;
        answer.ms = static_cast<std::uint32_t>(1500 + below(12000));
    }

    // The display text of value × 10^-places, as the arrow keys leave it.
    static std::string text(int value, int places) {
        if (value <= 0)
            return "0";
        std::string digits = std::to_string(value);
        if (places < 0)
            return digits + std::string(static_cast<std::size_t>(-places), '0');
        if (digits.size() <= static_cast<std::size_t>(places))
            digits.insert(0, static_cast<std::size_t>(places) - digits.size() + 1, '0');
        digits.insert(digits.size() - static_cast<std::size_t>(places), 1, '.');
        while (digits.back() == '0')
            digits.pop_back();
        if (digits.back() == '.')
            digits.pop_back();
        return digits;
    }

    std::uint64_t m_state = 20261209;
    std::uint64_t m_run = 0;
    int m_left = 0;
    std::int16_t m_student = 0;
    std::int16_t m_level = 0;
    std::int32_t m_day = 0;
};

// Feeds `answers` generated answers to `accumulator` (made anew each iteration by `make`), timing
// only the feeding, and reports the rate and the peak heap above what was in use before.
template <class Make> void feed(benchmark::State& state, std::int64_t answers, Make make) {
    std::vector<LoggedAnswer> chunk;
    chunk.reserve(kChunk);
    std::int64_t peakAbove = 0;
    for (auto _ : state) {
        state.PauseTiming();
        LogMaker maker;
        const std::int64_t before = g_heapBytes;
        g_heapPeak = before;
        state.ResumeTiming();
        auto accumulator = make();
        for (std::int64_t left = answers; left > 0; left -= static_cast<std::int64_t>(chunk.size())) {
            state.PauseTiming();
            maker.next(chunk, left);
            state.ResumeTiming();
            for (const LoggedAnswer& answer : chunk)
                accumulator.add(answer);
        }
        benchmark::DoNotOptimize(accumulator);
        state.PauseTiming();
        peakAbove = std::max(peakAbove, g_heapPeak - before);
        state.ResumeTiming();
    }
    state.counters["answers"] = static_cast<double>(answers);
    state.counters["answers_per_s"] =
        benchmark::Counter(static_cast<double>(answers), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_heap_MB"] = static_cast<double>(peakAbove) / (1024.0 * 1024.0);
}

// One student's picture of every level (a student of this log has about 2000 answers).
void BM_StudentPicture(benchmark::State& state) {
    feed(state, state.range(0), [] { return StudentPicture(1234, kToday); });
}
BENCHMARK(BM_StudentPicture)->Arg(kBusySchool)->Unit(benchmark::kMillisecond)->Iterations(3);

// The grid of `range(1)` students, every tenth roster number when 500, over `range(0)` answers.
void BM_ClassGrid(benchmark::State& state) {
    const auto students = static_cast<int>(state.range(1));
    std::vector<std::int16_t> rows;
    for (int i = 0; i < students; ++i)
        rows.push_back(static_cast<std::int16_t>(1 + i * (kStudents / students)));
    feed(state, state.range(0), [&] { return ClassGrid(rows, kToday); });
}
BENCHMARK(BM_ClassGrid)
    ->Args({1'000'000, 500})
    ->Args({5'000'000, 500})
    ->Args({kBusySchool, 500})
    ->Args({kBusySchool, kStudents})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

// ---- through the answer log file ----

// A data folder with an answer log of `kBusySchool` answers made by LogMaker, written once.
class LogFile {
public:
    static LogFile& instance() {
        static LogFile file;
        return file;
    }
    StorePaths paths() const { return StorePaths::of(m_state); }
    const Platform& platform() const { return m_seams; }

private:
    LogFile() {
        QDir().mkpath(m_dir.path() + QStringLiteral("/data"));
        m_state.DataFolder = m_dir.path() + QStringLiteral("/data/");
        m_state.CommonFolder = m_dir.path() + QStringLiteral("/");
        m_seams = m_platform.platform();
        m_seams.disk = &m_disk;
        QFile file(paths().answers);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write the answer log");
        file.write(answerlog::header());
        LogMaker maker;
        std::vector<LoggedAnswer> chunk;
        QByteArray bytes;
        for (std::int64_t left = kBusySchool; left > 0; left -= static_cast<std::int64_t>(chunk.size())) {
            maker.next(chunk, left);
            bytes.clear();
            for (const LoggedAnswer& answer : chunk)
                bytes += answerlog::encode(answer);
            if (file.write(bytes) != bytes.size())
                qFatal("cannot write the answer log");
        }
    }

    QTemporaryDir m_dir;
    SharedState m_state;
    test::TestPlatform m_platform;
    SystemFileSystem m_disk;
    Platform m_seams;
};

double peakRssMb() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0; // kilobytes on Linux
}

// Scans the whole log through the store into `take` (the accumulator made anew each iteration by
// `make`), timing the scan, and reports the rate, the peak heap above what was in use before and
// the peak resident size of the whole benchmark process.
template <class Make, class Take>
void scanFile(benchmark::State& state, const StudentFilter& students, Make make, Take take) {
    LogFile& log = LogFile::instance();
    std::int64_t peakAbove = 0;
    std::int64_t scanned = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::int64_t before = g_heapBytes;
        g_heapPeak = before;
        state.ResumeTiming();
        auto accumulator = make();
        const StoreResult<std::int64_t> read =
            FileResultStore(log.platform(), log.paths())
                .scanAnswers([&](const LoggedAnswer* answers,
                                 std::int64_t count) { take(accumulator, answers, count); },
                             students);
        if (!read)
            state.SkipWithError("the answer log could not be read");
        scanned = read ? *read : 0;
        benchmark::DoNotOptimize(accumulator);
        state.PauseTiming();
        peakAbove = std::max(peakAbove, g_heapPeak - before);
        state.ResumeTiming();
    }
    state.counters["answers"] = static_cast<double>(scanned);
    state.counters["answers_per_s"] =
        benchmark::Counter(static_cast<double>(scanned), benchmark::Counter::kIsIterationInvariantRate);
    state.counters["peak_heap_MB"] = static_cast<double>(peakAbove) / (1024.0 * 1024.0);
    state.counters["peak_rss_MB"] = peakRssMb();
}

// The scan alone: reading the file and checking and decoding its records.
void BM_FileScanOnly(benchmark::State& state) {
    scanFile(
        state, {}, [] { return std::int64_t{0}; },
        [](std::int64_t& seen, const LoggedAnswer*, std::int64_t count) { seen += count; });
}
BENCHMARK(BM_FileScanOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

// What the student's picture does on opening: one pass, the student's figures and his answers
// kept for the CSV file.
struct PictureWithAnswers {
    StudentPicture picture{1234, kToday};
    std::vector<LoggedAnswer> answers;
};
void BM_FileStudentPicture(benchmark::State& state) {
    scanFile(
        state, StudentFilter({1234}), [] { return PictureWithAnswers{}; },
        [](PictureWithAnswers& seen, const LoggedAnswer* answers, std::int64_t count) {
            for (std::int64_t i = 0; i < count; ++i) {
                seen.picture.add(answers[i]);
                seen.answers.push_back(answers[i]);
            }
        });
}
BENCHMARK(BM_FileStudentPicture)->Unit(benchmark::kMillisecond)->Iterations(3);

// What the class grid does on opening, for 500 students (every tenth roster number) and rates
// over the last four weeks.
void BM_FileClassGrid(benchmark::State& state) {
    const auto students = static_cast<int>(state.range(0));
    std::vector<std::int16_t> rows;
    for (int i = 0; i < students; ++i)
        rows.push_back(static_cast<std::int16_t>(1 + i * (kStudents / students)));
    scanFile(
        state, StudentFilter(std::vector<int>(rows.begin(), rows.end())),
        [&] { return ClassGrid(rows, kToday, kToday - 27); },
        [](ClassGrid& grid, const LoggedAnswer* answers, std::int64_t count) {
            for (std::int64_t i = 0; i < count; ++i)
                grid.add(answers[i]);
        });
}
BENCHMARK(BM_FileClassGrid)->Arg(500)->Arg(kStudents)->Unit(benchmark::kMillisecond)->Iterations(3);

// Where the time of a scan goes, part one: the file read in the store's chunks of 65,536
// records, nothing checked or decoded.
void BM_FileReadOnly(benchmark::State& state) {
    const QString path = LogFile::instance().paths().answers;
    QByteArray buffer(65536 * answerlog::kRecordSize, Qt::Uninitialized);
    std::int64_t bytes = 0;
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            state.SkipWithError("the answer log could not be opened");
        bytes = 0;
        for (qint64 got; (got = file.read(buffer.data(), buffer.size())) > 0;)
            bytes += got;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["MB"] = static_cast<double>(bytes) / (1024.0 * 1024.0);
}
BENCHMARK(BM_FileReadOnly)->Unit(benchmark::kMillisecond)->Iterations(3);

// Where the time of a scan goes, part two: the checksums of every record, as the store checks
// them.
template <class Check> void checkFile(benchmark::State& state, Check check) {
    const QString path = LogFile::instance().paths().answers;
    QByteArray buffer(65536 * answerlog::kRecordSize, Qt::Uninitialized);
    std::int64_t whole = 0;
    for (auto _ : state) {
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly) || file.read(answerlog::kHeaderSize) != answerlog::header())
            state.SkipWithError("the answer log could not be read");
        whole = 0;
        for (qint64 got; (got = file.read(buffer.data(), buffer.size())) > 0;)
            whole += check(reinterpret_cast<const unsigned char*>(buffer.constData()),
                           got / answerlog::kRecordSize);
        benchmark::DoNotOptimize(whole);
    }
    if (whole != kBusySchool)
        state.SkipWithError("a checksum did not hold");
    state.counters["whole"] = static_cast<double>(whole);
}

void BM_FileChecksumsOneByOne(benchmark::State& state) {
    checkFile(state, [](const unsigned char* records, std::int64_t count) {
        std::int64_t whole = 0;
        for (std::int64_t i = 0; i < count; ++i)
            whole += answerlog::isWhole(reinterpret_cast<const char*>(records + i * answerlog::kRecordSize))
                         ? 1
                         : 0;
        return whole;
    });
}
BENCHMARK(BM_FileChecksumsOneByOne)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
