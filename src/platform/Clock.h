#pragma once

#include <QDate>
#include <QDateTime>
#include <QTime>
#include <cstdint>

namespace mirai {

// Wall clock and monotonic ticks. One reading of `now()` gives date and time together,
// so a value stamped at midnight never mixes two days.
class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime now() const = 0;
    // Milliseconds from a fixed start; 64-bit and monotonic, never wraps.
    virtual std::int64_t tickMs() const = 0;

    QDate today() const { return now().date(); }
    QTime timeOfDay() const { return now().time(); }
    double secondsSinceMidnight() const { return now().time().msecsSinceStartOfDay() / 1000.0; }
};

class SystemClock final : public Clock {
public:
    SystemClock();
    QDateTime now() const override;
    std::int64_t tickMs() const override;

private:
    std::int64_t m_startNs;
};

} // namespace mirai
