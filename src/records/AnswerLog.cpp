#include "AnswerLog.h"

#include <QtEndian>
#include <algorithm>
#include <cstring>

namespace mirai::answerlog {

namespace {

constexpr char kMagic[8] = {'M', 'D', 'A', 'N', 'S', 'L', 'O', 'G'};
constexpr int kChecked = 44; // bytes under the checksum

// FNV-1a over the record's bytes: cheap, and any cut or mixed record fails it.
std::uint32_t checksumOf(const char* record) {
    std::uint32_t h = 2166136261u;
    for (int i = 0; i < kChecked; ++i) {
        h ^= static_cast<unsigned char>(record[i]);
        h *= 16777619u;
    }
    return h;
}

std::uint8_t operandByte(std::uint8_t digit, std::uint8_t places) {
    return static_cast<std::uint8_t>((digit & 0x0F) | ((places & 0x0F) << 4));
}

} // namespace

QByteArray header() {
    QByteArray bytes(kHeaderSize, '\0');
    std::memcpy(bytes.data(), kMagic, 8);
    qToLittleEndian<std::uint16_t>(kVersion, bytes.data() + 8);
    qToLittleEndian<std::uint16_t>(kRecordSize, bytes.data() + 10);
    return bytes;
}

HeaderCheck checkHeader(const QByteArray& firstBytes) {
    if (firstBytes.isEmpty())
        return HeaderCheck::Missing;
    if (firstBytes.size() < kHeaderSize)
        return header().startsWith(firstBytes) ? HeaderCheck::Missing : HeaderCheck::Foreign;
    return firstBytes.left(kHeaderSize) == header() ? HeaderCheck::Ours : HeaderCheck::Foreign;
}

QByteArray encode(const LoggedAnswer& answer) {
    QByteArray bytes(kRecordSize, '\0');
    char* out = bytes.data();
    qToLittleEndian(answer.runId, out);
    qToLittleEndian(answer.runDay, out + 8);
    qToLittleEndian(answer.runSecond, out + 12);
    qToLittleEndian(answer.student, out + 16);
    out[18] = static_cast<char>(std::clamp<int>(answer.level, 0, 255));
    out[19] = static_cast<char>(answer.index);
    out[20] = static_cast<char>(operandByte(answer.digitA, answer.placesA));
    out[21] = static_cast<char>(operandByte(answer.digitB, answer.placesB));
    out[22] = static_cast<char>((answer.right ? 1 : 0) | (answer.hintShown ? 2 : 0));
    const std::uint8_t length = std::min<std::uint8_t>(answer.typedLength, 16);
    out[23] = static_cast<char>(length);
    qToLittleEndian(answer.ms, out + 24);
    std::memcpy(out + 28, answer.typed.data(), length);
    qToLittleEndian(checksumOf(out), out + kChecked);
    return bytes;
}

bool isWhole(const char* record) {
    return qFromLittleEndian<std::uint32_t>(record + kChecked) == checksumOf(record);
}

std::optional<LoggedAnswer> decode(const char* record) {
    if (!isWhole(record))
        return std::nullopt;
    LoggedAnswer answer;
    answer.runId = qFromLittleEndian<std::uint64_t>(record);
    answer.runDay = qFromLittleEndian<std::int32_t>(record + 8);
    answer.runSecond = qFromLittleEndian<std::int32_t>(record + 12);
    answer.student = qFromLittleEndian<std::int16_t>(record + 16);
    answer.level = static_cast<unsigned char>(record[18]);
    answer.index = static_cast<unsigned char>(record[19]);
    answer.digitA = static_cast<unsigned char>(record[20]) & 0x0F;
    answer.placesA = static_cast<unsigned char>(record[20]) >> 4;
    answer.digitB = static_cast<unsigned char>(record[21]) & 0x0F;
    answer.placesB = static_cast<unsigned char>(record[21]) >> 4;
    answer.right = (record[22] & 1) != 0;
    answer.hintShown = (record[22] & 2) != 0;
    answer.typedLength = std::min<std::uint8_t>(static_cast<unsigned char>(record[23]), 16);
    answer.ms = qFromLittleEndian<std::uint32_t>(record + 24);
    std::memcpy(answer.typed.data(), record + 28, answer.typedLength);
    return answer;
}

std::uint64_t runIdOf(const char* record) {
    return qFromLittleEndian<std::uint64_t>(record);
}

std::uint8_t indexOf(const char* record) {
    return static_cast<unsigned char>(record[19]);
}

int studentOf(const char* record) {
    return qFromLittleEndian<std::int16_t>(record + 16);
}

} // namespace mirai::answerlog
