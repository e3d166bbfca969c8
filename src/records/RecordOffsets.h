#pragma once

#include <QtEndian>
#include <cstdint>

namespace mirai {

constexpr int kRecordSize = 44;
constexpr int kLoadWindow = 20000; // the newest records the statistics look at

} // namespace mirai

namespace mirai::offsets {

// Where the fields of ResultRecord lie in the 44 bytes of a stored record, little-endian. The
// codec and the readers that go through many records at once (the statistics, record maintenance)
// all read them from here; reading a field in place spares decoding a million records.
constexpr int kDate = 0;
constexpr int kTime = 8;
constexpr int kStudent = 16;
constexpr int kLevel = 18;
constexpr int kSeconds = 20;
constexpr int kSiteCode = 24;
constexpr int kBlank = 29;
constexpr int kPoints = 34;
constexpr int kSpare = 39;
constexpr int kTextBytes = 5; // each of the four text fields

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
