#include "ProgressGraph.h"

#include "DrawingSurface.h"
#include "NumberText.h"
#include "ResultRecords.h"
#include "Roster.h"
#include "SharedState.h"
#include "UiSupport.h"

#include <algorithm>
#include <cmath>

using namespace Qt::StringLiterals;

namespace mirai {

QString graphStudentLine(const QString& gradeLabel, const QString& trimmedName, int number) {
    return gradeLabel + u" /  "_s + trimmedName + u'/' + numberText(number);
}

std::optional<int> graphStudentOfLine(const QString& line) {
    const qsizetype slash = line.lastIndexOf(u'/');
    if (slash < 0)
        return std::nullopt;
    const QString tail = line.mid(slash + 1).trimmed();
    if (tail.isEmpty())
        return std::nullopt;
    const double value = Val(tail);
    if (value != std::floor(value) || !isStudentNumber(static_cast<int>(value)))
        return std::nullopt;
    return static_cast<int>(value);
}

LevelRanking RankForGraph(const SharedState& state, GraphRankKind kind, int level, int pointsOrder,
                          const QString& groupText, int student, GraphFigures& figures) {
    if (figures.student != student) {
        figures = GraphFigures{};
        figures.student = student;
    }
    const bool points = kind == GraphRankKind::Points;
    LevelRanking ranking =
        levelRanking(state, level, points ? kPointsDisplay : kTimeDisplay, pointsOrder, groupText, 3);
    if (points) {
        figures.schoolPointsCount = 0;
        figures.schoolPointsSum = 0;
    }
    bool found = false;
    for (std::size_t k = 0; k < ranking.students.size(); ++k) {
        const int s = ranking.students[k];
        const int rank = ranking.ranks[k];
        if (points) {
            const std::int32_t soFar = state.PointsSoFar(level, s);
            if (soFar > 0) {
                ++figures.schoolPointsCount;
                figures.schoolPointsSum += soFar;
            }
        }
        if (s != student || found)
            continue;
        found = true;
        if (points) {
            figures.pointsRank = numberText(rank);
            figures.points = state.PointsSoFar(level, s);
        } else {
            figures.timeRank = rank > 0 ? numberText(rank) : u"--"_s;
        }
    }
    return ranking;
}

bool isGraphRun(const ResultRecord& record, const GraphRecordFilter& filter) {
    return record.Level == filter.level && filter.level >= 1 && filter.level <= filter.levelCount &&
           record.RunDate > filter.nowOle - kGraphDays && record.Seconds >= 0 &&
           record.Seconds < kGraphSecondsLimit;
}

void firstGraphPass(const std::vector<ResultRecord>& records, const GraphRecordFilter& filter,
                    LevelGraphData& data) {
    data.n = 0;
    data.secondsSum = 0;
    data.largest = 0;
    for (const ResultRecord& record : records) {
        if (record.StudentNumber != filter.student || !isGraphRun(record, filter))
            continue;
        ++data.n;
        data.secondsSum += record.Seconds;
        data.largest = std::max(data.largest, record.Seconds);
    }
}

void secondGraphPass(const SharedState& state, const std::vector<ResultRecord>& records,
                     const GraphRecordFilter& filter, LevelGraphData& data) {
    data.schoolCount = 0;
    data.schoolSum = 0;
    data.schoolBest.reset();
    data.runs.clear();
    const int s = filter.student;
    const bool inGroup = isStudentNumber(s) && InSelectedGroup(filter.groupText, gradeOf(state, s)) != 0;
    std::optional<std::int32_t> fastest;
    for (const ResultRecord& record : records) {
        if (!isGraphRun(record, filter))
            continue;
        ++data.schoolCount;
        data.schoolSum += record.Seconds;
        data.schoolBest = std::min(data.schoolBest.value_or(record.Seconds), record.Seconds);
        if (record.StudentNumber != s || !inGroup)
            continue;
        const bool best = !fastest || record.Seconds < *fastest;
        if (best)
            fastest = record.Seconds;
        data.runs.push_back({record.Seconds, dateFromOle(record.RunDate), best});
    }
}

int graphYMax(std::int32_t largest) {
    return std::min(10 * (std::max(largest, 0) / 10 + 1), 1000);
}

namespace {

// A whole number as the "#" format writes it: nothing for 0.
QString hashFormat(double value) {
    const double whole = roundHalfEven(value);
    if (!std::isfinite(whole) || whole == 0.0)
        return {};
    return numberText(static_cast<std::int64_t>(whole));
}

QString secondsText(std::int32_t seconds) {
    return numberText(seconds) + u"秒"_s;
}

} // namespace

std::array<QString, 10> graphFigureLines(const LevelGraphData& data, const GraphFigures& figures) {
    QString lastBest;
    for (const GraphRun& run : data.runs) {
        if (run.best)
            lastBest = secondsText(run.seconds);
    }
    const QString schoolBest = data.schoolBest ? hashFormat(*data.schoolBest) : QString();

    std::array<QString, 10> lines;
    lines[0] = u"回数　　　　　　　"_s + rightAligned(hashFormat(data.n), 3) + u"回"_s;
    lines[1] = u"タイム  　　 　    本人 / 塾全体"_s;
    lines[2] = u"　　順位　　　　"_s + rightAligned(figures.timeRank, 5) + u"位"_s;
    lines[3] =
        u"　　最高　　　　"_s + rightAligned(lastBest, 6) + u" /"_s + rightAligned(schoolBest, 5) + u"秒"_s;
    // No averages without runs to average.
    if (data.n != 0) {
        const QString own = hashFormat(Int(static_cast<double>(data.secondsSum) / data.n));
        const QString school = data.schoolCount != 0
                                   ? hashFormat(static_cast<double>(data.schoolSum) / data.schoolCount)
                                   : QString();
        lines[4] = u"　　平均　　　　"_s + rightAligned(own, 5) + u"秒"_s + u" /"_s +
                   rightAligned(school, 5) + u"秒"_s;
    }
    lines[5] = u"ポイント  　　　"_s;
    lines[6] = u"　　順位　　　　"_s + rightAligned(figures.pointsRank, 5) + u"位"_s;
    lines[7] = u"　　獲得ポイント"_s +
               rightAligned(figures.points ? hashFormat(*figures.points) : QString(), 5) + u"点"_s;
    if (figures.schoolPointsCount != 0) {
        const double average = static_cast<double>(figures.schoolPointsSum) / figures.schoolPointsCount;
        lines[8] = u"　　　　　　　　　　　　/"_s + rightAligned(hashFormat(average), 5) + u"点"_s;
    }
    lines[9] = u"　　　　　　　　　　　　 (塾平均)"_s;
    return lines;
}

QPointF GraphBand::runAt(int t, int count, std::int32_t seconds, int yMax) const {
    // Another station may append runs between two readings: never divide by nothing.
    const double runs = std::max({count, t, 1});
    const double axisTop = std::max(yMax, 1);
    return {f * (0.7 * t / runs + 0.2), top + c * (0.8 - 0.7 * seconds / axisTop)};
}

namespace {

constexpr double kTwipsPerPoint = 20.0;
constexpr std::uint32_t kBlack = 0;
// Widths in screen pixels; paper gets the same width in its own pixels.
constexpr int kRuleWidth = 2;
constexpr int kAxisWidth = 2;
constexpr int kPointWidth = 5;
constexpr int kJoinWidth = 3;

// Width of a text in ems of the fixed-pitch face: half-width characters take half an em.
double emWidth(const QString& text) {
    double ems = 0.0;
    for (const QChar ch : text) {
        const char16_t code = ch.unicode();
        ems += code < 0x80 || (code >= 0xFF61 && code <= 0xFF9F) ? 0.5 : 1.0;
    }
    return ems;
}

// The size a text is written in: `points`, or smaller where it would not fit in `room` twips.
double fittedPoints(const QString& text, double points, double room) {
    const double width = emWidth(text) * points * kTwipsPerPoint;
    return width > room && width > 0.0 ? points * room / width : points;
}

int deviceWidth(const DrawingSurface& surface, int screenPixels) {
    const double perPixel = surface.twipsPerPixel() > 0.0 ? surface.twipsPerPixel() : ui::kTwipsPerPixel;
    return std::max(1, static_cast<int>(std::lround(screenPixels * ui::kTwipsPerPixel / perPixel)));
}

// Labels of the personal bests: the seconds left of the axis at the point's height and the date
// under the axis. The first best is always labelled; a later one only where its labels leave the
// ones already there readable.
class BestLabels {
public:
    BestLabels(DrawingSurface& surface, const GraphBand& band, double textHeight)
        : m_surface(surface), m_band(band), m_textHeight(textHeight), m_dateWidth(6.0 * textHeight) {}

    // A text left of the axis with its top at `top`; its row is taken.
    void writeRow(double top, const QString& text) {
        m_surface.drawText({0.12 * m_band.f, top}, text);
        m_rows.push_back(top);
    }
    // A date under the axis below the point `at`; its place is taken.
    void writeDate(const QDate& date, const QPointF& at) {
        const double left = dateLeft(at);
        m_surface.drawText({left, m_band.top + 0.815 * m_band.c}, dateText(date));
        m_dates.push_back(left);
    }

    void label(const GraphRun& run, const QPointF& at, bool always, bool withDate) {
        const double top = at.y() - m_textHeight / 2.0;
        if (!always && (crowded(m_rows, top, 1.25 * m_textHeight) ||
                        (withDate && crowded(m_dates, dateLeft(at), m_dateWidth))))
            return;
        writeRow(top, secondsText(run.seconds));
        if (withDate)
            writeDate(run.date, at);
    }

private:
    double dateLeft(const QPointF& at) const { return at.x() - 0.02 * m_band.f; }

    static bool crowded(const std::vector<double>& taken, double value, double room) {
        return std::any_of(taken.begin(), taken.end(),
                           [&](double other) { return std::abs(other - value) < room; });
    }

    DrawingSurface& m_surface;
    const GraphBand& m_band;
    double m_textHeight;
    double m_dateWidth;
    std::vector<double> m_rows;
    std::vector<double> m_dates;
};

// The figures block beside the plot; an empty line is left out but keeps its place.
void drawFigures(DrawingSurface& surface, const GraphTarget& target, const GraphBand& band,
                 const LevelGraph& graph) {
    surface.setFont(target.family, 1.5 * target.fontPoints);
    const double step = (target.printer ? 0.06 : 0.08) * band.c;
    const std::array<QString, 10> lines = graphFigureLines(graph.data, graph.figures);
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const double lineIndex = i + 1 < lines.size() ? static_cast<double>(i) : i + 0.5;
        if (!lines[i].isEmpty())
            surface.drawText({1.05 * band.f, band.top + 0.05 * band.c + lineIndex * step}, lines[i]);
    }
    surface.setFont(target.family, target.fontPoints);
}

// The newest run's date, the personal bests joined, the axis labels and the bests' labels.
void drawBests(DrawingSurface& surface, double fontPoints, const GraphBand& band, const LevelGraphData& data,
               const std::vector<QPointF>& at, int yMax) {
    BestLabels labels(surface, band, fontPoints * kTwipsPerPoint);
    labels.writeDate(data.runs.back().date, at.back());
    const QPointF* previousBest = nullptr;
    for (std::size_t i = 0; i < data.runs.size(); ++i) {
        if (!data.runs[i].best)
            continue;
        if (previousBest)
            surface.drawLine(*previousBest, at[i], deviceWidth(surface, kJoinWidth), kBestColour);
        previousBest = &at[i];
    }
    labels.writeRow(band.top + 0.79 * band.c, u"0秒"_s);
    labels.writeRow(band.top + 0.1 * band.c, numberText(yMax) + u"秒"_s);

    surface.setTextColour(kBestColour);
    bool first = true;
    for (std::size_t i = 0; i < data.runs.size(); ++i) {
        if (!data.runs[i].best)
            continue;
        // The newest run's date is written already.
        labels.label(data.runs[i], at[i], first, i + 1 < data.runs.size());
        first = false;
    }
    surface.setTextColour(kBlack);
}

} // namespace

void DrawLevelGraph(DrawingSurface& surface, const GraphTarget& target, double bandTop,
                    const LevelGraph& graph) {
    const QSizeF size = surface.sizeTwips();
    const double width = size.width();
    const double height = size.height();
    const GraphBand band{bandTop, width / 2.0, height / 3.0};
    const double f = band.f;
    const double c = band.c;
    const double top = bandTop; // N
    const double base = target.fontPoints;
    const LevelGraphData& data = graph.data;
    surface.setTextColour(kBlack);

    // The student's name heads each page.
    if (top < 0.08 * height) {
        surface.setFont(target.family, 3.0 * base);
        surface.drawText({0.01 * f, 0.02 * c}, graph.studentName);
    }
    surface.drawLine({0.0, top}, {width, top}, deviceWidth(surface, kRuleWidth), kBlack);
    surface.drawLine({0.0, top + 0.09 * c}, {width, top + 0.09 * c}, deviceWidth(surface, kRuleWidth),
                     kBlack);
    // The caption ends before the figures block, whose first line shares its strip.
    surface.setFont(target.family, fittedPoints(graph.caption, (target.printer ? 3.0 : 2.0) * base,
                                                (1.05 - 0.7 - 0.02) * f));
    surface.drawText({0.7 * f, top + 0.01 * c}, graph.caption);

    const int yMax = graphYMax(data.largest);
    surface.drawLine({0.2 * f, top + 0.8 * c}, {0.9 * f, top + 0.8 * c}, deviceWidth(surface, kAxisWidth),
                     kBlack);
    surface.drawLine({0.2 * f, top + 0.1 * c}, {0.2 * f, top + 0.8 * c}, deviceWidth(surface, kAxisWidth),
                     kBlack);

    const int count = std::max(data.n, static_cast<int>(data.runs.size()));
    std::vector<QPointF> at;
    at.reserve(data.runs.size());
    for (std::size_t i = 0; i < data.runs.size(); ++i) {
        const GraphRun& run = data.runs[i];
        at.push_back(band.runAt(static_cast<int>(i) + 1, count, run.seconds, yMax));
        surface.drawPoint(at.back(), deviceWidth(surface, kPointWidth), run.best ? kBestColour : kRunColour);
    }

    drawFigures(surface, target, band, graph);
    if (!data.runs.empty())
        drawBests(surface, base, band, data, at, yMax);
}

int DrawGraphs(DrawingSurface& surface, const SharedState& state, const std::vector<ResultRecord>& records,
               const GraphRequest& request, std::vector<GraphFigures>& figures) {
    const double height = surface.sizeTwips().height();
    const int levelCount = std::clamp<int>(state.LevelCount, 0, kMaxLevel);
    if (figures.size() < static_cast<std::size_t>(kLevelRows))
        figures.resize(kLevelRows);
    if (request.newPageFirst)
        surface.newPage();

    GraphRecordFilter filter;
    filter.student = request.student;
    filter.levelCount = levelCount;
    filter.nowOle = oleDate(request.now.date()) + oleTimeOfDay(request.now.time());
    filter.groupText = request.groupText;
    const QString name = isStudentNumber(request.student)
                             ? state.RosterNames[static_cast<std::size_t>(request.student)]
                             : QString();

    int drawn = 0;
    double y = -0.25 * height;
    for (const int level : request.levels) {
        if (level > levelCount)
            break;
        if (level < 1)
            continue;
        y += 0.3 * height;
        if (y > 0.9 * height) {
            surface.newPage();
            y = 0.05 * height;
        }
        GraphFigures& levelFigures = figures[static_cast<std::size_t>(level)];
        RankForGraph(state, GraphRankKind::Points, level, request.pointsOrder, request.groupText,
                     request.student, levelFigures);
        RankForGraph(state, GraphRankKind::Time, level, request.pointsOrder, request.groupText,
                     request.student, levelFigures);

        LevelGraph graph;
        graph.studentName = trimBlanks(name);
        graph.caption = state.LevelNames[static_cast<std::size_t>(level)] + u' ' + state.ProgramTitle;
        graph.figures = levelFigures;
        filter.level = level;
        firstGraphPass(records, filter, graph.data);
        secondGraphPass(state, records, filter, graph.data);
        DrawLevelGraph(surface, request.target, y, graph);
        ++drawn;
    }
    return drawn;
}

} // namespace mirai
