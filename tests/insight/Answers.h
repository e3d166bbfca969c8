#pragma once

#include "ErrorKind.h"
#include "LoggedAnswer.h"
#include "ResultRecords.h"

#include <QDate>
#include <algorithm>
#include <cstring>
#include <string_view>

namespace mirai::test {

inline std::int32_t day(int year, int month, int dayOfMonth) {
    return static_cast<std::int32_t>(oleDate(QDate(year, month, dayOfMonth)));
}

// One logged answer; the drill's own judgement is filled in as the drill would have judged.
struct Answer {
    int student = 7;
    int level = 1;
    std::int32_t runDay = 0;
    std::uint64_t run = 1;
    int a = 7, placesA = 1, b = 8, placesB = 2;
    std::string_view typed{};
    std::uint32_t ms = 1000;
    bool hint = false;

    operator LoggedAnswer() const {
        LoggedAnswer answer;
        answer.runId = run;
        answer.student = static_cast<std::int16_t>(student);
        answer.level = static_cast<std::int16_t>(level);
        answer.runDay = runDay;
        answer.digitA = static_cast<std::uint8_t>(a);
        answer.placesA = static_cast<std::uint8_t>(placesA);
        answer.digitB = static_cast<std::uint8_t>(b);
        answer.placesB = static_cast<std::uint8_t>(placesB);
        answer.typedLength = static_cast<std::uint8_t>(std::min(typed.size(), answer.typed.size()));
        std::memcpy(answer.typed.data(), typed.data(), answer.typedLength);
        answer.right = judgeAnswer(answer).kind == ErrorKind::Right;
        answer.hintShown = hint;
        answer.ms = ms;
        return answer;
    }
};

} // namespace mirai::test
