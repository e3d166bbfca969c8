#include "Distribution.h"

#include "NumberText.h"
#include "RecordOffsets.h"
#include "ResultRecords.h"

#include <algorithm>
#include <climits>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr std::uint8_t kNoRun = 0xFF;

// "   0～" … "1000～": the bin's lower bound in seconds, right-aligned in 4 (Str puts a blank first).
const QStringList& rowLabels() {
    static const QStringList labels = [] {
        QStringList made;
        for (int bin = 0; bin < kTimeBins; ++bin)
            made.append(rightAligned(u"  "_s + Str(10.0 * bin), 4) + u"～"_s);
        return made;
    }();
    return labels;
}

// Header and bin lines of one list: each bin shows one "★" per `scale` runs, to the nearest.
QStringList histogramLines(const QString& header, const std::array<std::int64_t, kTimeBins>& bins) {
    const std::int64_t scale = std::max<std::int64_t>(*std::max_element(bins.begin(), bins.end()) / 10, 1);
    QStringList lines;
    lines.reserve(kTimeBins + 1);
    lines.append(header.arg(scale));
    for (int bin = 0; bin < kTimeBins; ++bin) {
        const double stars =
            Int(static_cast<double>(bins[static_cast<std::size_t>(bin)]) / static_cast<double>(scale) + 0.5);
        lines.append(rowLabels()[bin] + QString(static_cast<qsizetype>(stars), u'★'));
    }
    return lines;
}

} // namespace

DistributionBuilder::DistributionBuilder(int level) : m_bestBin(std::size_t{UINT16_MAX} + 1) {
    reset(level);
}

void DistributionBuilder::reset(int level) {
    m_level = level;
    m_runs = 0;
    m_times.fill(0);
    std::fill(m_bestBin.begin(), m_bestBin.end(), kNoRun);
}

void DistributionBuilder::add(const char* records, std::int64_t count) {
    // No level outside 1..50 is counted: it is replaced by one no 16-bit level field can hold.
    const int wanted = m_level >= 1 && m_level <= kDistributionMaxLevel ? m_level : INT_MIN;
    // Every record goes through the same steps and adds 0 or 1, so the loop has no branch on the
    // data (the levels of a real file come in no order a processor could guess).
    std::int64_t runs = m_runs;
    std::int64_t* const times = m_times.data();
    std::uint8_t* const bests = m_bestBin.data();
    for (std::int64_t i = 0; i < count; ++i, records += kRecordSize) {
        const int level = offsets::level(records);
        const std::int32_t seconds = offsets::seconds(records);
        const auto student = static_cast<std::uint16_t>(offsets::student(records));
        const auto counted = static_cast<unsigned>(level == wanted) & static_cast<unsigned>(seconds >= 0);
        const std::uint32_t tens = static_cast<std::uint32_t>(seconds) / 10U;
        runs += counted;
        times[std::min<std::uint32_t>(tens, kTimeBins - 1)] += counted;
        // A record that does not count offers "no run", which changes no best bin.
        const auto bin =
            static_cast<std::uint8_t>(std::min<std::uint32_t>(tens, kLastBestBin) | (counted - 1U));
        bests[student] = std::min(bests[student], bin);
    }
    m_runs = runs;
}

Distribution DistributionBuilder::finish() const {
    Distribution result;
    result.level = m_level;
    result.runs = m_runs;
    result.times = m_times;
    for (const std::uint8_t bin : m_bestBin) {
        if (bin != kNoRun)
            ++result.bests[bin];
    }
    return result;
}

DistributionLists distributionLines(const Distribution& distribution) {
    const QString name = u"レベル"_s + QString::number(distribution.level);
    DistributionLists lists;
    lists.allTimes = histogramLines(
        name + u" 今まで"_s + QString::number(distribution.runs) + u"回  （★=%1）"_s, distribution.times);
    lists.bestTimes = histogramLines(name + u" （★=%1）"_s, distribution.bests);
    return lists;
}

} // namespace mirai
