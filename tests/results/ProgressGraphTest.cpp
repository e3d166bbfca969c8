#include "ProgressGraph.h"

#include "DrawingDoubles.h"
#include "QtPrinters.h"
#include "RankingState.h"
#include "ResultRecords.h"
#include "SharedState.h"

#include <QRegularExpression>
#include <cmath>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace mirai::test {
namespace {

using test::PrintTo;

// Wednesday 9 December 2026, 10:00; school year 2026.
const QDateTime kNow(QDate(2026, 12, 9), QTime(10, 0, 0));
// A canvas of 800 x 600 pixels: f = 6000, c = 3000 twips.
const QSizeF kCanvas(12000, 9000);
constexpr double kF = 6000;
constexpr double kC = 3000;

ResultRecord run(int student, int level, std::int32_t seconds, int daysAgo = 0) {
    ResultRecord record;
    record.RunDate = oleDate(kNow.date().addDays(-daysAgo));
    record.RunTimeOfDay = oleTimeOfDay(QTime(9, 0));
    record.StudentNumber = static_cast<std::int16_t>(student);
    record.Level = static_cast<std::int16_t>(level);
    record.Seconds = seconds;
    return record;
}

// Students 1 "あおい" (③), 2 "いちろう" (④) and 3 "うみ" (Ⅱ); the title of the drill and the
// names of its two levels.
RankingState graphState(int levelCount = 2) {
    RankingState state;
    state.add(1, u"あおい"_s, 2017);
    state.add(2, u"いちろう"_s, 2016);
    state.add(3, u"うみ"_s, 2012);
    state->LevelCount = static_cast<std::int16_t>(levelCount);
    state->ProgramTitle = u"みらいドリル"_s;
    for (int level = 1; level <= levelCount; ++level)
        state->LevelNames[static_cast<std::size_t>(level)] = u"ﾚﾍﾞﾙ"_s + QString::number(level);
    return state;
}

GraphRequest canvasRequest(int student, std::vector<int> levels) {
    GraphRequest request;
    request.student = student;
    request.levels = std::move(levels);
    request.groupText = u"全学年"_s;
    request.now = kNow;
    request.target.family = u"IPAGothic"_s;
    return request;
}

// Texts drawn in one font size, in drawing order.
QStringList textsOfSize(const DrawingLog& log, double points) {
    QStringList found;
    for (const DrawOp& op : log.ops)
        if (op.kind == DrawOp::Text && std::abs(op.points - points) < 1e-9)
            found.append(op.text);
    return found;
}

// Full-width lines of the given pixel width: the two rules of each band.
std::vector<double> ruleTops(const DrawingLog& log, double width) {
    std::vector<double> tops;
    for (const DrawOp& op : log.ofKind(DrawOp::Line))
        if (op.from.x() == 0.0 && op.to.x() == width)
            tops.push_back(op.from.y());
    return tops;
}

struct PlotCase {
    const char* name;
    std::vector<std::int32_t> seconds; // the student's runs on level 1, oldest first
    std::vector<std::uint32_t> colours;
    QString axisTop;
    QString countLine;
};

class PlotTest : public ::testing::TestWithParam<PlotCase> {};

TEST_P(PlotTest, PlotsFinishedRunsAndMarksThePersonalBests) {
    const PlotCase& test = GetParam();
    RankingState state = graphState();
    std::vector<ResultRecord> records;
    for (const std::int32_t seconds : test.seconds)
        records.push_back(run(1, 1, seconds, 3));
    records.push_back(run(2, 1, 20));      // another student's run: the school's only
    records.push_back(run(1, 2, 10));      // another level
    records.push_back(run(1, 1, 5, 3651)); // too old
    RecordingSurface canvas(kCanvas);
    std::vector<GraphFigures> figures;
    ASSERT_EQ(DrawGraphs(canvas, *state, records, canvasRequest(1, {1}), figures), 1);

    const std::vector<DrawOp> points = canvas.log().ofKind(DrawOp::Point);
    std::vector<std::uint32_t> colours;
    for (const DrawOp& point : points)
        colours.push_back(point.colour);
    EXPECT_EQ(colours, test.colours);
    EXPECT_EQ(textsOfSize(canvas.log(), 9).value(0), test.countLine);

    // The red points, joined in order by red lines three pixels wide.
    std::vector<QPointF> bests;
    for (const DrawOp& point : points)
        if (point.colour == kBestColour)
            bests.push_back(point.from);
    std::vector<std::pair<QPointF, QPointF>> joins;
    for (const DrawOp& line : canvas.log().ofKind(DrawOp::Line))
        if (line.colour == kBestColour && line.widthPixels == 3)
            joins.emplace_back(line.from, line.to);
    ASSERT_EQ(joins.size(), bests.empty() ? 0 : bests.size() - 1);
    for (std::size_t i = 0; i < joins.size(); ++i) {
        EXPECT_EQ(joins[i].first, bests[i]);
        EXPECT_EQ(joins[i].second, bests[i + 1]);
    }
    EXPECT_EQ(canvas.log().texts().contains(test.axisTop), !points.empty()) << test.axisTop.toStdString();
}

const std::uint32_t R = kBestColour;
const std::uint32_t B = kRunColour;

INSTANTIATE_TEST_SUITE_P(
    Runs, PlotTest,
    ::testing::Values(
        PlotCase{"example", {45, 52, 40, 41, 38}, {R, B, R, B, R}, u"60秒"_s, u"回数　　　　　　　  5回"_s},
        PlotCase{"slowAndFailedLeftOut",
                 {45, 1800, 52, 99999, 40, 2500, 41, 99998, 38},
                 {R, B, R, B, R},
                 u"60秒"_s,
                 u"回数　　　　　　　  5回"_s},
        PlotCase{"equalIsNoNewBest", {40, 40, 39}, {R, B, R}, u"50秒"_s, u"回数　　　　　　　  3回"_s},
        PlotCase{"axisAtMost1000", {1799, 30}, {R, R}, u"1000秒"_s, u"回数　　　　　　　  2回"_s},
        PlotCase{"nothingFinished", {1800, 99999}, {}, u"10秒"_s, u"回数　　　　　　　   回"_s}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ProgressGraph, TheExamplesPointsLieOnTheAxesScale) {
    RankingState state = graphState();
    std::vector<ResultRecord> records;
    for (const std::int32_t seconds : {45, 52, 40, 41, 38})
        records.push_back(run(1, 1, seconds));
    RecordingSurface canvas(kCanvas);
    std::vector<GraphFigures> figures;
    DrawGraphs(canvas, *state, records, canvasRequest(1, {1}), figures);
    const std::vector<DrawOp> points = canvas.log().ofKind(DrawOp::Point);
    ASSERT_EQ(points.size(), 5u);
    const double top = 0.05 * kCanvas.height();
    const std::vector<int> seconds{45, 52, 40, 41, 38};
    for (std::size_t i = 0; i < points.size(); ++i) {
        EXPECT_NEAR(points[i].from.x(), kF * (0.7 * static_cast<double>(i + 1) / 5 + 0.2), 1e-6);
        EXPECT_NEAR(points[i].from.y(), top + kC * (0.8 - 0.7 * seconds[i] / 60.0), 1e-6);
        EXPECT_EQ(points[i].widthPixels, 5);
    }
    // Axis labels, the first best's seconds and date, and the newest run's date.
    const QStringList texts = canvas.log().texts();
    for (const QString& label : {u"0秒"_s, u"60秒"_s, u"45秒"_s, u"2026/12/09"_s})
        EXPECT_TRUE(texts.contains(label)) << label.toStdString();
}

struct BandCase {
    const char* name;
    int levelCount;
    std::vector<int> levels;
    bool printer;
    std::vector<double> bandTops; // in heights, in drawing order
    int pages;
    QStringList captions;
};

class BandTest : public ::testing::TestWithParam<BandCase> {};

TEST_P(BandTest, ThreeBandsAPageFromTheFirstAtFivePercent) {
    const BandCase& test = GetParam();
    RankingState state = graphState(test.levelCount);
    const QSizeF size = test.printer ? QSizeF(11906, 16838) : kCanvas;
    RecordingSurface surface(size, test.printer ? 2.4 : 15.0);
    GraphRequest request = canvasRequest(2, test.levels);
    request.target.printer = test.printer;
    std::vector<GraphFigures> figures;
    std::vector<ResultRecord> records;
    for (int level = 1; level <= test.levelCount; ++level)
        records.push_back(run(2, level, 50));
    DrawGraphs(surface, *state, records, request, figures);

    std::vector<double> expected;
    for (const double top : test.bandTops) {
        expected.push_back(top * size.height());
        expected.push_back(top * size.height() + 0.09 * size.height() / 3);
    }
    const std::vector<double> rules = ruleTops(surface.log(), size.width());
    ASSERT_EQ(rules.size(), expected.size());
    for (std::size_t i = 0; i < rules.size(); ++i)
        EXPECT_NEAR(rules[i], expected[i], 1e-6);
    EXPECT_EQ(surface.log().pageCount(), test.pages);
    // The name heads every page; captions are larger on paper.
    EXPECT_EQ(textsOfSize(surface.log(), 18).count(u"いちろう"_s), test.pages);
    EXPECT_EQ(surface.log().texts().filter(u"みらいドリル"_s), test.captions);
    // Figure lines are closer on paper; a point 5 screen pixels across is as wide there.
    std::vector<double> figureTops;
    for (const DrawOp& op : surface.log().ofKind(DrawOp::Text))
        if (op.points == 9)
            figureTops.push_back(op.from.y());
    ASSERT_GE(figureTops.size(), 2u);
    EXPECT_NEAR(figureTops[1] - figureTops[0], (test.printer ? 0.06 : 0.08) * size.height() / 3, 1e-6);
    const std::vector<DrawOp> points = surface.log().ofKind(DrawOp::Point);
    ASSERT_EQ(points.size(), test.bandTops.size());
    for (const DrawOp& point : points)
        EXPECT_EQ(point.widthPixels, test.printer ? 31 : 5);
}

INSTANTIATE_TEST_SUITE_P(
    Pages, BandTest,
    ::testing::Values(
        BandCase{"bothLevels",
                 2,
                 {1, 2},
                 false,
                 {0.05, 0.35},
                 1,
                 {u"ﾚﾍﾞﾙ1 みらいドリル"_s, u"ﾚﾍﾞﾙ2 みらいドリル"_s}},
        BandCase{"secondOnly", 2, {2}, false, {0.05}, 1, {u"ﾚﾍﾞﾙ2 みらいドリル"_s}},
        BandCase{"fourthStartsANewPage",
                 4,
                 {1, 2, 3, 4},
                 false,
                 {0.05, 0.35, 0.65, 0.05},
                 2,
                 {u"ﾚﾍﾞﾙ1 みらいドリル"_s, u"ﾚﾍﾞﾙ2 みらいドリル"_s, u"ﾚﾍﾞﾙ3 みらいドリル"_s,
                  u"ﾚﾍﾞﾙ4 みらいドリル"_s}},
        BandCase{"beyondTheLevelsStops",
                 2,
                 {1, 2, 3},
                 false,
                 {0.05, 0.35},
                 1,
                 {u"ﾚﾍﾞﾙ1 みらいドリル"_s, u"ﾚﾍﾞﾙ2 みらいドリル"_s}},
        BandCase{
            "onPaper", 2, {1, 2}, true, {0.05, 0.35}, 1, {u"ﾚﾍﾞﾙ1 みらいドリル"_s, u"ﾚﾍﾞﾙ2 みらいドリル"_s}}),
    [](const auto& info) { return std::string(info.param.name); });

// The caption is written 2 x the base size on the canvas and 3 x on paper, smaller only where it
// would run into the figures block beside it.
TEST(ProgressGraph, TheCaptionKeepsItsSizeUnlessItWouldRunIntoTheFigures) {
    struct Case {
        QString title;
        bool printer;
        double points;
    };
    for (const Case& test :
         {Case{u"算数"_s, false, 12.0}, Case{u"算数"_s, true, 18.0}, Case{u"みらいドリル"_s, false, 11.0},
          Case{u"みらいドリル"_s, true, 0.33 * 5953 / 180}}) {
        RankingState state = graphState();
        state->ProgramTitle = test.title;
        RecordingSurface surface(test.printer ? QSizeF(11906, 16838) : kCanvas, test.printer ? 2.4 : 15.0);
        GraphRequest request = canvasRequest(1, {1});
        request.target.printer = test.printer;
        std::vector<GraphFigures> figures;
        DrawGraphs(surface, *state, {}, request, figures);
        bool found = false;
        for (const DrawOp& op : surface.log().ofKind(DrawOp::Text)) {
            if (op.text != u"ﾚﾍﾞﾙ1 "_s + test.title)
                continue;
            found = true;
            EXPECT_NEAR(op.points, test.points, 1e-9) << test.title.toStdString() << test.printer;
            EXPECT_NEAR(op.from.x(), 0.7 * surface.sizeTwips().width() / 2, 1e-9);
        }
        EXPECT_TRUE(found);
    }
}

struct FiguresCase {
    const char* name;
    int student;
    QString group;
    std::array<QString, 10> lines;
};

class FiguresTest : public ::testing::TestWithParam<FiguresCase> {};

TEST_P(FiguresTest, TheBlockComparesTheStudentWithTheSchool) {
    const FiguresCase& test = GetParam();
    RankingState state = graphState();
    state->PointsSoFar(1, 1) = 50;
    state->PointsSoFar(1, 2) = 30;
    state->BestSeconds(1, 1) = 30;
    state->BestSeconds(1, 2) = 40;
    const std::vector<ResultRecord> records{run(2, 1, 45), run(1, 1, 30), run(2, 1, 52), run(2, 1, 40),
                                            run(1, 1, 60)};
    RecordingSurface canvas(kCanvas);
    GraphRequest request = canvasRequest(test.student, {1});
    request.groupText = test.group;
    std::vector<GraphFigures> figures;
    DrawGraphs(canvas, *state, records, request, figures);
    QStringList expected;
    for (const QString& line : test.lines)
        if (!line.isEmpty())
            expected.append(line);
    EXPECT_EQ(textsOfSize(canvas.log(), 9), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Students, FiguresTest,
    ::testing::Values(
        FiguresCase{"withRunsAndPoints",
                    2,
                    u"全学年"_s,
                    {u"回数　　　　　　　  3回"_s, u"タイム  　　 　    本人 / 塾全体"_s,
                     u"　　順位　　　　    2位"_s, u"　　最高　　　　   40秒 /   30秒"_s,
                     u"　　平均　　　　   45秒 /   45秒"_s, u"ポイント  　　　"_s,
                     u"　　順位　　　　    2位"_s, u"　　獲得ポイント   30点"_s,
                     u"　　　　　　　　　　　　/   40点"_s, u"　　　　　　　　　　　　 (塾平均)"_s}},
        FiguresCase{"withoutRunsOrPoints",
                    3,
                    u"全学年"_s,
                    {u"回数　　　　　　　   回"_s, u"タイム  　　 　    本人 / 塾全体"_s,
                     u"　　順位　　　　   --位"_s, u"　　最高　　　　       /   30秒"_s, QString(),
                     u"ポイント  　　　"_s, u"　　順位　　　　    3位"_s, u"　　獲得ポイント     点"_s,
                     u"　　　　　　　　　　　　/   40点"_s, u"　　　　　　　　　　　　 (塾平均)"_s}},
        // Outside the chosen grade: counted, but neither plotted nor ranked.
        FiguresCase{"outsideTheGroup",
                    2,
                    u"小３"_s,
                    {u"回数　　　　　　　  3回"_s, u"タイム  　　 　    本人 / 塾全体"_s,
                     u"　　順位　　　　     位"_s, u"　　最高　　　　       /   30秒"_s,
                     u"　　平均　　　　   45秒 /   45秒"_s, u"ポイント  　　　"_s,
                     u"　　順位　　　　     位"_s, u"　　獲得ポイント     点"_s,
                     u"　　　　　　　　　　　　/   50点"_s, u"　　　　　　　　　　　　 (塾平均)"_s}}),
    [](const auto& info) { return std::string(info.param.name); });

// Both rankings of level 1 for a student, points first as the graphs take them.
LevelRanking rankLevel1(const SharedState& state, const QString& group, int student, GraphFigures& figures) {
    LevelRanking ranking =
        RankForGraph(state, GraphRankKind::Points, 1, kCumulativeOrder, group, student, figures);
    RankForGraph(state, GraphRankKind::Time, 1, kCumulativeOrder, group, student, figures);
    return ranking;
}

struct OwnLineCase {
    const char* name;
    int student;
    QString pointsRank;
    std::int32_t points;
    QString timeRank;
};

class OwnLineTest : public ::testing::TestWithParam<OwnLineCase> {};

// "林" is contained in "小林", and the two long names share their first five characters: each
// student still gets the figures of his own line.
TEST_P(OwnLineTest, TheStudentsOwnLineGivesTheFigures) {
    const OwnLineCase& test = GetParam();
    RankingState state;
    state.add(1, u"小林"_s, 2017);
    state.add(2, u"林"_s, 2017);
    state.add(3, u"やまだはなこ"_s, 2016);
    state.add(4, u"やまだはなみ"_s, 2016);
    state->StudentNumber = 4;
    const std::array<std::int32_t, 5> points{0, 50, 20, 35, 10};
    const std::array<std::int32_t, 5> best{0, 30, 40, 50, 35};
    for (int s = 1; s <= 4; ++s) {
        state->PointsSoFar(1, s) = points[static_cast<std::size_t>(s)];
        state->BestSeconds(1, s) = best[static_cast<std::size_t>(s)];
    }
    GraphFigures figures;
    const LevelRanking ranking = rankLevel1(*state, u"全学年"_s, test.student, figures);
    EXPECT_EQ(figures.pointsRank, test.pointsRank);
    EXPECT_EQ(figures.points, test.points);
    EXPECT_EQ(figures.timeRank, test.timeRank);
    EXPECT_EQ(figures.schoolPointsCount, 4);
    EXPECT_EQ(figures.schoolPointsSum, 115);
    // The working list writes ranks in three characters.
    EXPECT_EQ(ranking.lines.value(0), u"  1③小林　　　  0/   50"_s);
}

INSTANTIATE_TEST_SUITE_P(Names, OwnLineTest,
                         ::testing::Values(OwnLineCase{"longName", 1, u"1"_s, 50, u"1"_s},
                                           OwnLineCase{"containedName", 2, u"3"_s, 20, u"3"_s},
                                           OwnLineCase{"samePrefixFirst", 3, u"2"_s, 35, u"4"_s},
                                           OwnLineCase{"samePrefixSecond", 4, u"4"_s, 10, u"2"_s}),
                         [](const auto& info) { return std::string(info.param.name); });

// Students with equal points or equal best times share a rank: the graph of each shows the rank
// written in that student's own line of the hub's ranking, never the line's position.
TEST(RankForGraph, TiedStudentsShowTheRankTheirRankingLinesShow) {
    RankingState state;
    state.add(1, u"青木"_s, 2016);
    state.add(2, u"井上"_s, 2016);
    state.add(3, u"上田"_s, 2016);
    state.add(4, u"江口"_s, 2016);
    const std::array<std::int32_t, 5> points{0, 50, 50, 30, 30};
    const std::array<std::int32_t, 5> best{0, 40, 35, 35, 60};
    for (int s = 1; s <= 4; ++s) {
        state->PointsSoFar(1, s) = points[static_cast<std::size_t>(s)];
        state->BestSeconds(1, s) = best[static_cast<std::size_t>(s)];
    }
    struct Case {
        int student;
        QString pointsRank;
        QString timeRank;
    };
    for (const Case& c : {Case{1, u"1"_s, u"3"_s}, Case{2, u"1"_s, u"1"_s}, Case{3, u"3"_s, u"1"_s},
                          Case{4, u"3"_s, u"4"_s}}) {
        SCOPED_TRACE(c.student);
        state->StudentNumber = static_cast<std::int16_t>(c.student);
        GraphFigures figures;
        rankLevel1(*state, u"全学年"_s, c.student, figures);
        EXPECT_EQ(figures.pointsRank, c.pointsRank);
        EXPECT_EQ(figures.timeRank, c.timeRank);
        // The rank at the start of the student's own line in the hub's lists.
        for (const int mode : {kPointsDisplay, kTimeDisplay}) {
            const LevelRanking hub = levelRanking(*state, 1, mode, kCumulativeOrder, u"全学年"_s);
            ASSERT_GE(hub.ownLine, 0);
            EXPECT_EQ(hub.lines.value(hub.ownLine).left(2).trimmed(),
                      mode == kPointsDisplay ? figures.pointsRank : figures.timeRank);
        }
    }
}

TEST(RankForGraph, AnotherStudentsFiguresAreClearedAndTheSameStudentsKept) {
    RankingState state = graphState();
    state->PointsSoFar(1, 1) = 50;
    state->BestSeconds(1, 1) = 30;
    GraphFigures figures;
    rankLevel1(*state, u"全学年"_s, 1, figures);
    EXPECT_EQ(figures.points, 50);
    EXPECT_EQ(figures.timeRank, u"1"_s);
    // The same student outside the chosen grade keeps what the level showed.
    rankLevel1(*state, u"中２"_s, 1, figures);
    EXPECT_EQ(figures.points, 50);
    EXPECT_EQ(figures.pointsRank, u"1"_s);
    EXPECT_EQ(figures.timeRank, u"1"_s);
    EXPECT_EQ(figures.schoolPointsCount, 0);
    // Another student without a line shows nothing of the first one's.
    rankLevel1(*state, u"中２"_s, 2, figures);
    EXPECT_EQ(figures.student, 2);
    EXPECT_FALSE(figures.points.has_value());
    EXPECT_TRUE(figures.pointsRank.isEmpty());
    EXPECT_TRUE(figures.timeRank.isEmpty());
}

TEST(ProgressGraph, NoRunsInTheFirstPassButPointsInTheSecondDoNotDivideByNothing) {
    for (const int n : {0, 1}) {
        LevelGraph graph;
        graph.data.n = n; // another station appended after the first pass
        graph.data.largest = 0;
        graph.data.runs = {{40, kNow.date(), true}, {35, kNow.date(), true}, {50, kNow.date(), false}};
        graph.data.schoolCount = 0;
        RecordingSurface canvas(kCanvas);
        DrawLevelGraph(canvas, GraphTarget{}, 0.05 * kCanvas.height(), graph);
        const std::vector<DrawOp> points = canvas.log().ofKind(DrawOp::Point);
        ASSERT_EQ(points.size(), 3u);
        for (const DrawOp& point : points) {
            EXPECT_TRUE(std::isfinite(point.from.x()) && std::isfinite(point.from.y()));
            EXPECT_GT(point.from.x(), 0.2 * kF);
            EXPECT_LE(point.from.x(), 0.9 * kF + 1e-6);
        }
        // Averages only where there is something to average.
        const QStringList figures = textsOfSize(canvas.log(), 9);
        EXPECT_EQ(figures.filter(QRegularExpression(u"^　　平均"_s)).value(0),
                  n == 0 ? QString() : u"　　平均　　　　     秒 /     秒"_s);
    }
}

TEST(ProgressGraph, StudentLinesAndTheirNumbers) {
    EXPECT_EQ(graphStudentLine(u"小３"_s, u"山田花子"_s, 7), u"小３ /  山田花子/7"_s);
    EXPECT_EQ(graphStudentLine(QString(), u"先生"_s, 5000), u" /  先生/5000"_s);
    const std::vector<std::pair<QString, std::optional<int>>> cases{
        {u"小３ /  山田花子/7"_s, 7},    {u"中１ /  a/b/12"_s, 12},     {u" /  x/0"_s, 0},
        {u"小３ /  x/"_s, std::nullopt}, {u"x/5001"_s, std::nullopt},   {u"x/-1"_s, std::nullopt},
        {u"x/3.5"_s, std::nullopt},      {u"no number"_s, std::nullopt}};
    for (const auto& [line, number] : cases)
        EXPECT_EQ(graphStudentOfLine(line), number) << line.toStdString();
}

TEST(ProgressGraph, AxisTopIsTheNextTenAboveTheSlowestRun) {
    const std::vector<std::pair<std::int32_t, int>> cases{{52, 60}, {50, 60},   {0, 10},     {9, 10},
                                                          {10, 20}, {989, 990}, {990, 1000}, {1799, 1000}};
    for (const auto& [largest, top] : cases)
        EXPECT_EQ(graphYMax(largest), top) << largest;
}

} // namespace
} // namespace mirai::test
