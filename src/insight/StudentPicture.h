#pragma once

#include "ErrorKind.h"
#include "SharedState.h"

#include <array>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

namespace mirai {

struct LoggedAnswer;

// The periods a student's figures are given for: this week (Monday to today), this month (the
// 1st to today) and all time. The school week starts on Monday, so a Monday shows that day only.
enum class Period : std::uint8_t { Week, Month, AllTime };
constexpr int kPeriods = 3;

// The first day of the week and of the month that hold `day` (OLE Automation day numbers).
std::int32_t weekStart(std::int32_t day);
std::int32_t monthStart(std::int32_t day);

constexpr int kPointPlaceBuckets = 4; // 1, 2, 3, and 4 or more places
constexpr int kMostMissedFacts = 5;
constexpr int kFactGroups = 9; // 1の段 .. 9の段

struct MissedFact {
    Fact fact;
    std::uint32_t wrong = 0; // fact errors on it
    std::uint32_t asked = 0; // answers to it
    bool operator==(const MissedFact&) const = default;
};

// One level's figures of one student for one period.
struct PictureFigures {
    std::uint32_t answers = 0;
    std::uint32_t right = 0;
    std::uint32_t rightWithHint = 0; // right answers given while the hint was showing
    std::uint32_t hinted = 0;        // answers given while the hint was showing
    std::uint32_t pointErrors = 0;
    std::uint32_t factErrors = 0;
    std::uint32_t otherErrors = 0;
    // Point errors by how far the point is off: index 0 one place .. 3 four places or more.
    std::array<std::uint32_t, kPointPlaceBuckets> tooBig{};
    std::array<std::uint32_t, kPointPlaceBuckets> tooSmall{};
    // The facts with the most fact errors, at most five: most errors first, then in table order.
    std::vector<MissedFact> mostMissed;
    // Median milliseconds of all answers (right or wrong) per fact group 1..9; index 0 unused.
    std::array<std::optional<double>, kFactGroups + 1> medianMs{};

    std::uint32_t rightWithoutHint() const { return right - rightWithHint; }
    // Right answers in percent of all answers; none without answers.
    std::optional<double> percentRight() const;
};

// The figures of one student, fed the answer log one answer at a time. It keeps counters per
// level and period and, for the medians, the answer times of this student only: its memory grows
// with the student's own answers (4 bytes per answer and period), not with the log.
class StudentPicture {
public:
    StudentPicture(int student, std::int32_t today);
    ~StudentPicture();
    StudentPicture(StudentPicture&&) noexcept;
    StudentPicture& operator=(StudentPicture&&) noexcept;

    void add(const LoggedAnswer& answer);

    int student() const { return m_student; }
    // The levels the student has answered, in order.
    std::vector<int> levels() const;
    PictureFigures figures(int level, Period period) const;

private:
    struct Tally;
    struct LevelTallies;

    int m_student;
    std::int32_t m_today;
    std::int32_t m_weekStart;
    std::int32_t m_monthStart;
    std::array<std::unique_ptr<LevelTallies>, kLevelRows> m_levels;
};

} // namespace mirai
