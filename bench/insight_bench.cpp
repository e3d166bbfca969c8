// Figures for the analysis of the answer log: a student's picture and the class grid over a
// generated log of 5000 students (5 years of a busy school: 10,000,000 answers), with the time
// and the peak heap of the accumulators. The log is made in chunks outside the timing, so the
// figures are the analysis alone; reading the log file adds its own cost.

#include "ClassGrid.h"
#include "ErrorKind.h"
#include "LoggedAnswer.h"
#include "ResultRecords.h"
#include "StudentPicture.h"

#include <QDate>
#include <atomic>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <cstring>
#include <malloc.h>
#include <new>
#include <string>
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

} // namespace
