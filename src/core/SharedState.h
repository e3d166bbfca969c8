#pragma once

#include "LoggedAnswer.h"
#include "Untyped.h"

#include <QByteArray>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

namespace mirai {

constexpr int kMaxLevel = 35;     // levels 0..35; level 0 is never a level
constexpr int kMaxStudent = 5000; // roster numbers 0..5000
constexpr int kLevelRows = kMaxLevel + 1;
constexpr int kStudentRows = kMaxStudent + 1;
constexpr std::int32_t kNoRecordSeconds = 99999; // best time "none", and a timed-out run

inline bool isLevelIndex(int level) {
    return level >= 0 && level <= kMaxLevel;
}
inline bool isStudentNumber(int student) {
    return student >= 0 && student <= kMaxStudent;
}

// A table indexed by (level 0..35, student 0..5000).
template <class T> class LevelStudentTable {
public:
    LevelStudentTable() : m_cells(static_cast<std::size_t>(kLevelRows) * kStudentRows) {}
    T& operator()(int level, int student) { return m_cells[index(level, student)]; }
    const T& operator()(int level, int student) const { return m_cells[index(level, student)]; }
    // The cells of one level, students 0..5000.
    T* row(int level) { return m_cells.data() + index(level, 0); }
    const T* row(int level) const { return m_cells.data() + index(level, 0); }
    void fill(const T& value) { std::fill(m_cells.begin(), m_cells.end(), value); }

private:
    static std::size_t index(int level, int student) {
        return static_cast<std::size_t>(level) * kStudentRows + static_cast<std::size_t>(student);
    }
    std::vector<T> m_cells;
};

// One row of the level criteria table, in file order.
struct LevelCriteriaRow {
    std::int32_t TargetSeconds = 0;
    std::int32_t MinimumLineSeconds = 0;
    std::int32_t ClearPoints = 0;
    std::int16_t ClearRuns = 0;
    float PointFactor = 0.0f;
    Untyped OveruseRuns;
    Untyped OverusePoints;
    Untyped PassPeriodDays;
    Untyped OverusePeriodDays;
    std::array<Untyped, 3> Unused; // kept and rewritten by the criteria editor
};

// Sound file names by role (roles 1..10, names 1..20).
struct SoundRole {
    QString name;
    std::array<QString, 21> files; // index 0 unused
    Untyped count;                 // stays empty when the block has no closing "*"
};
struct SoundTableData {
    std::array<SoundRole, 11> roles; // index 0 unused
};

// One loaded result record.
struct LoadedResult {
    double RunDate = 0.0;
    double RunTimeOfDay = 0.0;
    std::int16_t StudentNumber = 0;
    std::int16_t Level = 0;
    std::int32_t Seconds = 0;
};

// Every value that several screens read and write, under one roof. One instance lives as
// long as the program; tests make their own.
struct SharedState {
    // Folders, all with a trailing separator.
    QString AppFolder, CommonFolder, DataFolder, SoundFolder, ProgramFolderName;
    // Folder of this station (not shared) where runs wait while the data folder is out of reach.
    QString QueueFolder;
    // Where the results are kept: empty for the shared data folder, else a PostgreSQL service name
    // or connection string (the station's station.ini, [store] postgresql=).
    QString StoreConnection;

    // Common data file.
    Untyped SchoolYearStartMonth;
    QString SiteCode, SiteName;
    Untyped RosterKeepMark2;
    Untyped DataChangePassword;

    std::uint32_t SeasonColour = 0;

    // Identity of the drill.
    QString ProgramTitle;
    std::int16_t PrintAllowed = 0;
    std::int16_t AllLevelsOpen = 0;

    std::array<LevelCriteriaRow, kLevelRows> LevelCriteria{};
    SoundTableData SoundTable;
    int AnswerSoundFailures = 0; // failures in a row of the right/wrong answer sounds

    // Level set-up.
    std::int16_t LevelCount = 0;
    std::int32_t FinalLevel = 0;
    std::array<QString, kLevelRows> LevelNames{};

    // Current student and run.
    std::int16_t StudentNumber = 0;
    QString StudentName;
    std::int32_t SessionStart = 0;
    std::int16_t CurrentLevel = 0;
    std::int32_t RunSeconds = 0;
    std::int16_t TimedOut = 0;
    std::int16_t RunFinished = 0;
    std::int16_t Recording = 0;
    std::int16_t JudgingBusy = 0;
    std::int16_t PlusMode = 0;
    std::int32_t CorrectCount = 0;
    std::int16_t ProblemsPerRun = 10;
    std::int64_t RunStart = 0;       // tick (ms) when the run clock started; survives midnight
    std::int32_t ElapsedSeconds = 0; // of the run so far, as the last clock tick computed it
    std::int32_t TimeLimit = 0;      // 5 x MinimumLineSeconds of the level
    double TimeScale = 0.0;          // pixels of the time bar per second
    // The run's judged answers, kept for the answer log, and the id they are logged under.
    std::uint64_t RunId = 0;
    std::vector<LoggedAnswer> RunAnswers;

    // Flags of the last recorded run.
    std::int16_t PassFlag = 0;
    std::int16_t NewPersonalBest = 0;
    std::int16_t NewOverallBest = 0;
    std::int16_t RunKeptOnStation = 0; // the run waits in this station's queue, not in the shared file

    // What this station last read of the shared results, to go on with while the share is away.
    QByteArray ResultsWindowCache; // the newest records, as the last load that reached the share read them
    std::int64_t ResultsCacheTotal = 0; // the whole records the file held then
    bool ResultsLoaded = false;         // a load has reached the share since the program started
    std::int16_t ShareAway = 0;         // the last load could not reach the shared folder

    // Loaded result records and best times.
    std::vector<LoadedResult> LoadedResults; // valid entries only, oldest first
    std::int32_t LoadedResultCount = 0;
    LevelStudentTable<std::int32_t> BestSeconds;
    std::array<std::int32_t, kLevelRows> BestSecondsAll{};

    // Statistics, rebuilt from the loaded records.
    LevelStudentTable<std::int32_t> RunCountToday;
    LevelStudentTable<std::int32_t> PointsToday;
    LevelStudentTable<std::int32_t> RunCountSoFar;
    LevelStudentTable<std::int32_t> PointsSoFar;
    LevelStudentTable<std::int32_t> RunCountPassPeriod;
    LevelStudentTable<std::int32_t> PointsPassPeriod;
    LevelStudentTable<std::int32_t> RunCountOverusePeriod;
    LevelStudentTable<std::int32_t> PointsOverusePeriod;

    // Roster.
    QByteArray RosterCache; // the roster file as last read, for while the share is away
    std::array<QString, kStudentRows> RosterNames{};
    std::array<std::int16_t, kStudentRows> BirthYearByNumber{};
    std::array<QString, kStudentRows> GradeLabelByNumber{};
    std::vector<int> NumberByPosition; // index 0 unused; positions 1..ListedStudentCount
    int ListedStudentCount = 0;
    int SchoolYear = 0;
    QString StudentGroupText;
    QString GradeFilterText = QStringLiteral("全学年");

    // Results hub.
    std::int16_t RequiredRunsCleared = 0;
    std::int16_t PeriodChoice = 3;
};

} // namespace mirai
