#pragma once

#include <QStringList>
#include <array>
#include <cstdint>
#include <vector>

namespace mirai {

// Frequency distributions of the recorded times of one level: every run in bins of 10 seconds up
// to "1000 and more", and each student's best time up to "300 and more".
constexpr int kDistributionMaxLevel = 50;
constexpr int kTimeBins = 101;   // bins 0..100
constexpr int kLastBestBin = 30; // the best times stop at bin 30

struct Distribution {
    int level = 0;
    std::int64_t runs = 0;
    std::array<std::int64_t, kTimeBins> times{};
    std::array<std::int64_t, kTimeBins> bests{};
};

// Builds the Distribution of one level from raw records, chunk by chunk, in one pass. Each
// student's best time is kept as its bin in a flat table over every 16-bit student number (a damaged
// number outside the roster's 0..5000 still has its best time), so no run list is ever sorted.
// Records of a level outside 1..50 or with negative seconds are left out.
class DistributionBuilder {
public:
    explicit DistributionBuilder(int level = 0);
    void reset(int level);
    void add(const char* records, std::int64_t count);
    Distribution finish() const;

private:
    int m_level = 0;
    std::int64_t m_runs = 0;
    std::array<std::int64_t, kTimeBins> m_times{};
    // The best bin (0..30) of each student, 0xFF where the student has none. The bin of the fewest
    // seconds is the fewest bin, so the bin is all the table needs to hold.
    std::vector<std::uint8_t> m_bestBin;
};

// The lines of the two lists: the header, then one line per bin from 0 to 1000 s.
struct DistributionLists {
    QStringList allTimes;
    QStringList bestTimes;
};
DistributionLists distributionLines(const Distribution& distribution);

} // namespace mirai
