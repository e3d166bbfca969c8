#pragma once

#include "SharedState.h"

#include <memory>

namespace mirai::test {

// A roster in memory: students in file order with their names and birth years. 2017 is grade 3
// (③), 2016 grade 4 (④), 2012 grade 8 (Ⅱ).
class RankingState {
public:
    RankingState() {
        s->SchoolYear = 2026;
        s->LevelCount = 2;
        s->FinalLevel = 2;
        s->NumberByPosition = {0};
        s->BestSeconds.fill(kNoRecordSeconds);
        s->LevelCriteria[1].TargetSeconds = 120;
        s->LevelCriteria[2].TargetSeconds = 150;
    }
    void add(int number, const QString& name, int birthYear) {
        s->NumberByPosition.push_back(number);
        s->ListedStudentCount = static_cast<int>(s->NumberByPosition.size()) - 1;
        s->RosterNames[static_cast<std::size_t>(number)] = name.leftJustified(20, u' ');
        s->BirthYearByNumber[static_cast<std::size_t>(number)] = static_cast<std::int16_t>(birthYear);
    }
    SharedState& operator*() { return *s; }
    SharedState* operator->() { return s.get(); }

    std::unique_ptr<SharedState> s = std::make_unique<SharedState>();
};

} // namespace mirai::test
