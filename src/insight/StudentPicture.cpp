#include "StudentPicture.h"

#include "LoggedAnswer.h"
#include "ResultRecords.h"

#include <algorithm>

namespace mirai {

std::int32_t weekStart(std::int32_t day) {
    // Day 0, 30 December 1899, was a Saturday: five days after a Monday.
    const std::int32_t sinceMonday = ((day + 5) % 7 + 7) % 7;
    return day - sinceMonday;
}

std::int32_t monthStart(std::int32_t day) {
    const QDate date = dateFromOle(day);
    return static_cast<std::int32_t>(oleDate(QDate(date.year(), date.month(), 1)));
}

std::optional<double> PictureFigures::percentRight() const {
    if (answers == 0)
        return std::nullopt;
    return 100.0 * right / answers;
}

struct StudentPicture::Tally {
    std::uint32_t answers = 0;
    std::uint32_t right = 0;
    std::uint32_t rightWithHint = 0;
    std::uint32_t hinted = 0;
    std::uint32_t point = 0;
    std::uint32_t fact = 0;
    std::uint32_t other = 0;
    std::array<std::uint32_t, kPointPlaceBuckets> tooBig{};
    std::array<std::uint32_t, kPointPlaceBuckets> tooSmall{};
    std::array<std::uint32_t, kFactSlots> factWrong{};
    std::array<std::uint32_t, kFactSlots> factAsked{};
    std::array<std::vector<std::uint32_t>, kFactGroups + 1> times;

    void add(const LoggedAnswer& answer, const AnswerJudgement& judged, Fact asked) {
        ++answers;
        hinted += answer.hintShown ? 1 : 0;
        const int slot = factSlot(asked);
        ++factAsked[static_cast<std::size_t>(slot)];
        times[static_cast<std::size_t>(factGroup(asked))].push_back(answer.ms);
        switch (judged.kind) {
        case ErrorKind::Right:
            ++right;
            rightWithHint += answer.hintShown ? 1 : 0;
            break;
        case ErrorKind::Point: {
            ++point;
            const auto bucket = static_cast<std::size_t>(std::min(judged.places(), kPointPlaceBuckets) - 1);
            ++(judged.tooBig() ? tooBig : tooSmall)[bucket];
            break;
        }
        case ErrorKind::Fact:
            ++fact;
            ++factWrong[static_cast<std::size_t>(slot)];
            break;
        case ErrorKind::Other:
            ++other;
            break;
        }
    }
};

struct StudentPicture::LevelTallies {
    std::array<Tally, kPeriods> periods;
};

StudentPicture::StudentPicture(int student, std::int32_t today)
    : m_student(student), m_today(today), m_weekStart(weekStart(today)), m_monthStart(monthStart(today)) {}

StudentPicture::~StudentPicture() = default;
StudentPicture::StudentPicture(StudentPicture&&) noexcept = default;
StudentPicture& StudentPicture::operator=(StudentPicture&&) noexcept = default;

void StudentPicture::add(const LoggedAnswer& answer) {
    if (answer.student != m_student || answer.level < 1 || answer.level > kMaxLevel ||
        !isDrillProblem(answer))
        return;
    std::unique_ptr<LevelTallies>& level = m_levels[static_cast<std::size_t>(answer.level)];
    if (!level)
        level = std::make_unique<LevelTallies>();
    const AnswerJudgement judged = judgeAnswer(answer);
    const Fact fact = factOf(answer.digitA, answer.digitB);
    // A run dated after today (a station whose clock ran ahead) counts for all time only.
    const bool upToToday = answer.runDay <= m_today;
    if (upToToday && answer.runDay >= m_weekStart)
        level->periods[static_cast<std::size_t>(Period::Week)].add(answer, judged, fact);
    if (upToToday && answer.runDay >= m_monthStart)
        level->periods[static_cast<std::size_t>(Period::Month)].add(answer, judged, fact);
    level->periods[static_cast<std::size_t>(Period::AllTime)].add(answer, judged, fact);
}

std::vector<int> StudentPicture::levels() const {
    std::vector<int> found;
    for (int level = 1; level <= kMaxLevel; ++level)
        if (m_levels[static_cast<std::size_t>(level)])
            found.push_back(level);
    return found;
}

namespace {

std::optional<double> median(std::vector<std::uint32_t> values) {
    if (values.empty())
        return std::nullopt;
    const auto middle = values.begin() + static_cast<std::ptrdiff_t>(values.size() / 2);
    std::nth_element(values.begin(), middle, values.end());
    if (values.size() % 2 == 1)
        return *middle;
    // An even count: halfway between the two middle times.
    const std::uint32_t below = *std::max_element(values.begin(), middle);
    return (static_cast<double>(below) + *middle) / 2.0;
}

} // namespace

PictureFigures StudentPicture::figures(int level, Period period) const {
    PictureFigures figures;
    if (level < 1 || level > kMaxLevel || !m_levels[static_cast<std::size_t>(level)])
        return figures;
    const Tally& tally = m_levels[static_cast<std::size_t>(level)]->periods[static_cast<std::size_t>(period)];
    figures.answers = tally.answers;
    figures.right = tally.right;
    figures.rightWithHint = tally.rightWithHint;
    figures.hinted = tally.hinted;
    figures.pointErrors = tally.point;
    figures.factErrors = tally.fact;
    figures.otherErrors = tally.other;
    figures.tooBig = tally.tooBig;
    figures.tooSmall = tally.tooSmall;
    for (int slot = 0; slot < kFactSlots; ++slot) {
        const std::uint32_t wrong = tally.factWrong[static_cast<std::size_t>(slot)];
        if (wrong > 0)
            figures.mostMissed.push_back(
                {factOfSlot(slot), wrong, tally.factAsked[static_cast<std::size_t>(slot)]});
    }
    // Stable: facts with as many errors stay in table order.
    std::stable_sort(figures.mostMissed.begin(), figures.mostMissed.end(),
                     [](const MissedFact& a, const MissedFact& b) { return a.wrong > b.wrong; });
    if (figures.mostMissed.size() > kMostMissedFacts)
        figures.mostMissed.resize(kMostMissedFacts);
    for (int group = 1; group <= kFactGroups; ++group)
        figures.medianMs[static_cast<std::size_t>(group)] =
            median(tally.times[static_cast<std::size_t>(group)]);
    return figures;
}

} // namespace mirai
