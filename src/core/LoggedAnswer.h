#pragma once

#include <array>
#include <cstdint>
#include <string_view>

namespace mirai {

// One judged answer of a run, as the drill keeps it and the analysis reads it from the answer log.
// With its run's date, time of day, student and level it is joined to the run's 44-byte record.
struct LoggedAnswer {
    std::uint64_t runId = 0;              // unique per run, shared by its answers
    std::int16_t student = 0;             // roster number (0..5000)
    std::int16_t level = 0;               // 1..35
    std::int32_t runDay = 0;              // the run's date as an OLE Automation day number (whole days)
    std::uint8_t digitA = 0, placesA = 0; // first operand: digit 1..9, decimal places 0..2
    std::uint8_t digitB = 0, placesB = 0; // second operand
    std::array<char, 16> typed{};         // the answer text as judged, ASCII, not 0-terminated
    std::uint8_t typedLength = 0;         // 0..16
    bool right = false;                   // as the drill judged it
    bool hintShown = false;               // the hint panel was showing when the answer was judged
    std::uint32_t ms = 0;                 // from the problem's appearance to the judgement
    std::int32_t runSecond = 0;           // the run's time of day in seconds, as its 44-byte record has it
    std::uint8_t index = 0;               // the answer's place in its run, from 1
    std::string_view typedText() const { return {typed.data(), typedLength}; }
};

} // namespace mirai
