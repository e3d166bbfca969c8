#pragma once

#include "LoggedAnswer.h"

#include <QByteArray>
#include <cstdint>
#include <optional>

namespace mirai {

// The answer log, "解答記録.dat" beside the result file: every judged answer of every run.
//
// A header of 16 bytes: "MDANSLOG", the format's version (16-bit), the size of a record (16-bit)
// and four zero bytes. Then records of 48 bytes, little-endian, one per answer, a run's answers
// together and in order:
//
//   0  8  run id (random, made at the station when the run starts)
//   8  4  the run's date, OLE Automation day       \  as the run's 44-byte record has them:
//  12  4  the run's time of day in seconds         |  the answers join to the record by
//  16  2  student number                           |  date, time, student and level
//  18  1  level                                    /
//  19  1  the answer's place in the run, from 1
//  20  1  first operand: digit (low 4 bits) and decimal places (high 4 bits)
//  21  1  second operand, the same
//  22  1  flags: 1 right as the drill judged it, 2 the hint was showing
//  23  1  length of the typed text (0..16)
//  24  4  milliseconds from the problem's appearance to the judgement
//  28 16  the typed text as judged, ASCII, zero-padded
//  44  4  a checksum of bytes 0..43: a record a crash cut short is no record
//
// A reader takes the records whose checksum holds; an append writes after the last of them, so
// a record cut short is overwritten. A log with another version is neither read nor written.
namespace answerlog {

constexpr int kHeaderSize = 16;
constexpr int kRecordSize = 48;
constexpr std::uint16_t kVersion = 1;

QByteArray header();
enum class HeaderCheck { Ours, Missing, Foreign };
// What the first bytes of a log say: ours (this version), missing (an empty file), or foreign (a
// newer version or no answer log at all).
HeaderCheck checkHeader(const QByteArray& firstBytes);

QByteArray encode(const LoggedAnswer& answer);
// nullopt for a record whose checksum does not hold.
std::optional<LoggedAnswer> decode(const char* record);
bool isWhole(const char* record);

// The run id and place of a stored answer: what tells a queued answer already stored.
std::uint64_t runIdOf(const char* record);
std::uint8_t indexOf(const char* record);
// The student of a record, read before its checksum: a scan passes over other students' answers.
int studentOf(const char* record);

} // namespace answerlog
} // namespace mirai
