#pragma once

#include <QtEndian>
#include <cstdint>

namespace mirai::offsets {

// Where the fields that record maintenance reads in bulk lie in the 44 bytes of a record (the
// layout of ResultRecord); reading them in place spares decoding a million records.
constexpr int kDate = 0;
constexpr int kTime = 8;
constexpr int kStudent = 16;
constexpr int kLevel = 18;
constexpr int kSeconds = 20;
constexpr int kSiteCode = 24;
constexpr int kSiteBytes = 5;
constexpr int kPoints = 34;
constexpr int kPointsBytes = 5;

inline double date(const char* record) {
    return qFromLittleEndian<double>(record + kDate);
}
inline double timeOfDay(const char* record) {
    return qFromLittleEndian<double>(record + kTime);
}

inline std::int16_t student(const char* record) {
    return qFromLittleEndian<std::int16_t>(record + kStudent);
}
inline std::int16_t level(const char* record) {
    return qFromLittleEndian<std::int16_t>(record + kLevel);
}
inline std::int32_t seconds(const char* record) {
    return qFromLittleEndian<std::int32_t>(record + kSeconds);
}

} // namespace mirai::offsets
