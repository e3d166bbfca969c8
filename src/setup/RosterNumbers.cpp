#include "RosterNumbers.h"

#include "RecordFile.h"
#include "RecordList.h"
#include "ResultRecords.h"
#include "ResultStore.h"
#include "SharedState.h"

namespace mirai {

namespace {
bool taken(const std::vector<bool>& table, int number) {
    return static_cast<std::size_t>(number) < table.size() && table[static_cast<std::size_t>(number)];
}
} // namespace

std::optional<int> nextFreeNumber(const std::vector<bool>& inRoster, const std::vector<bool>& withRuns) {
    for (int number = 1; number <= kMaxStudent; ++number) {
        if (!taken(inRoster, number) && !taken(withRuns, number))
            return number;
    }
    return std::nullopt;
}

std::optional<std::vector<bool>> numbersWithRuns(Context ctx) {
    std::vector<bool> numbers(kStudentRows, false);
    const bool read = scanResultFile(ctx, [&numbers](const char* records, std::int64_t count) {
        for (std::int64_t i = 0; i < count; ++i) {
            const int student = ListedRun::of(records + i * kRecordSize).student;
            if (isStudentNumber(student))
                numbers[static_cast<std::size_t>(student)] = true;
        }
    });
    if (!read)
        return std::nullopt;
    // Runs that wait on this station for the share are runs all the same.
    const QByteArray waiting = openResultStore(ctx)->queuedRecords();
    for (qsizetype at = 0; at + kRecordSize <= waiting.size(); at += kRecordSize) {
        const int student = ListedRun::of(waiting.constData() + at).student;
        if (isStudentNumber(student))
            numbers[static_cast<std::size_t>(student)] = true;
    }
    return numbers;
}

} // namespace mirai
