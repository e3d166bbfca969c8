#include "Clock.h"

#include <chrono>

namespace mirai {

namespace {
std::int64_t steadyNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}
} // namespace

SystemClock::SystemClock() : m_startNs(steadyNs()) {}

QDateTime SystemClock::now() const {
    return QDateTime::currentDateTime();
}

std::int64_t SystemClock::tickMs() const {
    return (steadyNs() - m_startNs) / 1'000'000;
}

} // namespace mirai
