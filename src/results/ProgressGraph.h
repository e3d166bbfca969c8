#pragma once

#include "Rankings.h"

#include <QDate>
#include <QDateTime>
#include <QPointF>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace mirai {

class DrawingSurface;
struct ResultRecord;
struct SharedState;

// Runs of this many seconds or more (and failed runs) stay out of the graphs.
constexpr std::int32_t kGraphSecondsLimit = 1800;
// The graphs look this many days back.
constexpr int kGraphDays = 3650;
// Personal bests are red, the other runs blue (&H00BBGGRR).
constexpr std::uint32_t kBestColour = 0x0000FF;
constexpr std::uint32_t kRunColour = 0xFF0000;
// Base font size of the canvas as the graph button sets it, and of the printer.
constexpr double kGraphFontPoints = 6.0;

// A student line of the graph's student list: "小３ /  山田花子/7".
QString graphStudentLine(const QString& gradeLabel, const QString& trimmedName, int number);
// The student number after the line's last "/"; nullopt when it is no roster number.
std::optional<int> graphStudentOfLine(const QString& line);

// The rank and points figures of one level, as the rankings give them.
struct GraphFigures {
    int student = -1;   // whose figures these are; -1 before the first drawing
    QString timeRank;   // "3", "--" without a time, empty when unknown
    QString pointsRank; // "3", empty when unknown
    std::optional<std::int32_t> points;
    std::int32_t schoolPointsCount = 0; // students of the ranking with points
    std::int64_t schoolPointsSum = 0;
};

enum class GraphRankKind { Points, Time };

// Builds the level's ranking as the hub does (same keys, order and group), with ranks in three
// characters, and takes the figures of `student` from the student's own line. Figures of
// another student are cleared first; a student without a line keeps what the level showed for
// the same student before. Returns the ranking (the working list of the graph).
LevelRanking RankForGraph(const SharedState& state, GraphRankKind kind, int level, int pointsOrder,
                          const QString& groupText, int student, GraphFigures& figures);

// Which stored runs make one graph.
struct GraphRecordFilter {
    int level = 1;
    int student = 0;
    int levelCount = 2;
    double nowOle = 0.0; // the present moment as an OLE date
    QString groupText;   // the hub's grade filter
};

// One plotted run of the graph's student.
struct GraphRun {
    std::int32_t seconds = 0;
    QDate date;
    bool best = false; // faster than every earlier plotted run
};

// What the two passes over the stored runs found for one graph.
struct LevelGraphData {
    // First pass: the student's runs.
    int n = 0;
    std::int64_t secondsSum = 0;
    std::int32_t largest = 0;
    // Second pass: every student's runs, and the student's runs that are plotted.
    std::int64_t schoolCount = 0;
    std::int64_t schoolSum = 0;
    std::optional<std::int32_t> schoolBest;
    std::vector<GraphRun> runs;
};

// Whether a record is a finished run of the filter's level within the graph's days.
bool isGraphRun(const ResultRecord& record, const GraphRecordFilter& filter);
// First pass: counts, sums and the largest time of the student's runs.
void firstGraphPass(const std::vector<ResultRecord>& records, const GraphRecordFilter& filter,
                    LevelGraphData& data);
// Second pass: the school's runs, and the student's runs (when the student is in the group) in
// file order with their personal bests.
void secondGraphPass(const SharedState& state, const std::vector<ResultRecord>& records,
                     const GraphRecordFilter& filter, LevelGraphData& data);

// Top of the time axis: the next ten above the largest time, at most 1000.
int graphYMax(std::int32_t largest);

// The ten lines of the figures block; a line that is left out is empty.
std::array<QString, 10> graphFigureLines(const LevelGraphData& data, const GraphFigures& figures);

// Where a graph goes: the canvas or paper, and the base font.
struct GraphTarget {
    bool printer = false;
    double fontPoints = kGraphFontPoints;
    QString family;
};

// One band of a page: the band top N, f = half the width, c = a third of the height.
struct GraphBand {
    double top = 0.0;
    double f = 0.0;
    double c = 0.0;

    // Position of run t (1-based) of `count` runs on an axis up to `yMax` seconds.
    QPointF runAt(int t, int count, std::int32_t seconds, int yMax) const;
};

struct LevelGraph {
    QString studentName; // trimmed
    QString caption;     // level name and program title
    LevelGraphData data;
    GraphFigures figures;
};

// Draws one level's graph in the band starting at `bandTop`.
void DrawLevelGraph(DrawingSurface& surface, const GraphTarget& target, double bandTop,
                    const LevelGraph& graph);

// What DrawGraphs draws.
struct GraphRequest {
    int student = 0;
    std::vector<int> levels; // the selected lines of the level list, 1-based, in order
    int pointsOrder = kCumulativeOrder;
    QString groupText;
    QDateTime now;
    GraphTarget target;
    bool newPageFirst = false; // clear the canvas, or start this student on a new sheet
};

// Draws the student's graphs three to a page, bands 0.3 of the height apart from 0.05 down.
// `figures` (indexed by level) keeps each level's rank figures between drawings. Returns the
// number of graphs drawn.
int DrawGraphs(DrawingSurface& surface, const SharedState& state, const std::vector<ResultRecord>& records,
               const GraphRequest& request, std::vector<GraphFigures>& figures);

} // namespace mirai
