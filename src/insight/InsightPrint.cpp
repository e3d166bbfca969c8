#include "InsightPrint.h"

#include "DrawingSurface.h"
#include "GridColours.h"

#include <algorithm>

using namespace Qt::StringLiterals;

namespace mirai {

namespace {

constexpr double kTwipsPerPoint = 20.0;
constexpr std::uint32_t kBlack = 0x000000;
constexpr std::uint32_t kRuleGrey = 0x909090;
constexpr std::uint32_t kHeaderFill = 0xF0E6DC; // &H00BBGGRR: a pale blue-grey
constexpr std::uint32_t kStripeFill = 0xF6F6F6;

bool isHalfWidth(char16_t c) {
    return (c >= 0x20 && c <= 0x7E) || (c >= 0xFF61 && c <= 0xFF9F);
}

// Text whose top is `top` and whose middle is at `centreX`.
void centredText(DrawingSurface& surface, double centreX, double top, const QString& text, double points) {
    surface.drawText(QPointF(centreX - fixedTextWidth(text, points) / 2, top), text);
}

// The top of a line of text of `points` centred in a band from `top`, `height` high.
double textTop(double top, double height, double points) {
    return top + (height - points * kTwipsPerPoint) / 2;
}

// A thin rule; printers and PDF files draw it one device pixel wide.
void rule(DrawingSurface& surface, QPointF from, QPointF to, std::uint32_t bgr = kRuleGrey, int width = 1) {
    surface.drawLine(from, to, width, bgr);
}

// The heading of a page: `heading` large on the left, the date and the page on the right.
void pageHeading(DrawingSurface& surface, const QString& family, const QString& heading, const QString& right,
                 double width) {
    surface.setTextColour(kBlack);
    surface.setFont(family, 15);
    surface.drawText(QPointF(0, 0), heading);
    surface.setFont(family, 9);
    surface.drawText(QPointF(width - fixedTextWidth(right, 9), 160), right);
}

// A table of texts: the title, the header on a tinted band, the rows striped. Returns the bottom.
double drawTextTable(DrawingSurface& surface, const QString& family, const TextTable& table, double top,
                     double width) {
    constexpr double kTitleHeight = 380;
    constexpr double kRowHeight = 330;
    constexpr double kPoints = 9.5;
    const double labelWidth = 0.36 * width;
    const int periods = std::max<int>(1, static_cast<int>(table.header.size()) - 1);
    const double periodWidth = (width - labelWidth) / periods;
    const auto columnCentre = [&](int column) { return labelWidth + (column - 0.5) * periodWidth; };

    surface.setTextColour(kBlack);
    surface.setFont(family, 11);
    surface.drawText(QPointF(0, textTop(top, kTitleHeight, 11)), table.title);
    double y = top + kTitleHeight;

    surface.fillRect(QRectF(0, y, width, kRowHeight), kHeaderFill);
    surface.setFont(family, kPoints);
    for (int column = 0; column < static_cast<int>(table.header.size()); ++column) {
        const QString& text = table.header[column];
        if (column == 0)
            surface.drawText(QPointF(120, textTop(y, kRowHeight, kPoints)), text);
        else
            centredText(surface, columnCentre(column), textTop(y, kRowHeight, kPoints), text, kPoints);
    }
    y += kRowHeight;
    rule(surface, QPointF(0, y), QPointF(width, y), kBlack);
    for (std::size_t r = 0; r < table.rows.size(); ++r) {
        if (r % 2 == 1)
            surface.fillRect(QRectF(0, y, width, kRowHeight), kStripeFill);
        const QStringList& cells = table.rows[r];
        for (int column = 0; column < static_cast<int>(cells.size()); ++column) {
            if (column == 0)
                surface.drawText(QPointF(120, textTop(y, kRowHeight, kPoints)), cells[column]);
            else
                centredText(surface, columnCentre(column), textTop(y, kRowHeight, kPoints), cells[column],
                            kPoints);
        }
        y += kRowHeight;
    }
    rule(surface, QPointF(0, y), QPointF(width, y), kBlack);
    return y;
}

} // namespace

double fixedTextWidth(const QString& text, double points) {
    int columns = 0;
    for (const QChar c : text)
        columns += c.isLowSurrogate() ? 0 : isHalfWidth(c.unicode()) ? 1 : 2;
    return columns * points * kTwipsPerPoint / 2;
}

std::uint32_t bgrOf(std::uint32_t rgb) {
    return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

void drawStudentPicture(DrawingSurface& surface, const PicturePaper& paper) {
    const double width = surface.sizeTwips().width();
    for (std::size_t i = 0; i < paper.levels.size(); ++i) {
        if (i > 0)
            surface.newPage();
        const PicturePaper::Level& level = paper.levels[i];
        pageHeading(surface, paper.family, paper.heading, paper.dateText, width);
        surface.setFont(paper.family, 13);
        surface.drawText(QPointF(0, 560), level.title);
        double y = 1000;
        for (const TextTable& table : pictureTables(level.figures))
            y = drawTextTable(surface, paper.family, table, y, width) + 260;
    }
}

int gridPageCount(int rows) {
    return std::max(1, (rows + kGridRowsPerPage - 1) / kGridRowsPerPage);
}

void drawClassGrid(DrawingSurface& surface, const ClassGrid& grid, const GridPaper& paper) {
    const QSizeF page = surface.sizeTwips();
    const double width = page.width();
    constexpr double kTableTop = 820;
    constexpr double kLevelHeight = 320;
    constexpr double kTitleHeight = 520;
    constexpr double kNameWidth = 2700;
    constexpr double kGradeWidth = 700;
    const int levelCount = static_cast<int>(paper.levels.size());
    const double cellWidth = (width - kNameWidth - kGradeWidth) / std::max(1, levelCount * kGridColumns);
    const double levelWidth = cellWidth * kGridColumns;
    const double rowsTop = kTableTop + kLevelHeight + kTitleHeight;
    const double rowHeight = (page.height() - rowsTop) / kGridRowsPerPage;
    // The figures as large as the cells allow: "100%" and "やりすぎ" must fit.
    const double points =
        std::min({8.5, rowHeight / kTwipsPerPoint * 0.7, cellWidth / (4.6 * kTwipsPerPoint)});
    const auto levelLeft = [&](int i) { return kNameWidth + kGradeWidth + i * levelWidth; };

    const int total = static_cast<int>(paper.rows.size());
    const int pages = gridPageCount(total);
    for (int p = 0; p < pages; ++p) {
        if (p > 0)
            surface.newPage();
        pageHeading(surface, paper.family, paper.heading,
                    paper.dateText + u"　"_s + u"%1/%2ページ"_s.arg(p + 1).arg(pages), width);
        surface.setFont(paper.family, 8);
        surface.drawText(QPointF(0, 440), paper.note);

        // Titles: the level over its columns, the column titles in up to two lines.
        surface.fillRect(QRectF(0, kTableTop, width, kLevelHeight + kTitleHeight), kHeaderFill);
        surface.setFont(paper.family, points);
        surface.drawText(QPointF(100, textTop(kTableTop + kLevelHeight, kTitleHeight, points)), u"名前"_s);
        centredText(surface, kNameWidth + kGradeWidth / 2,
                    textTop(kTableTop + kLevelHeight, kTitleHeight, points), u"学年"_s, points);
        for (int i = 0; i < levelCount; ++i) {
            const double left = levelLeft(i);
            surface.setFont(paper.family, 9);
            centredText(surface, left + levelWidth / 2, textTop(kTableTop, kLevelHeight, 9),
                        i < paper.levelTitles.size() ? paper.levelTitles[i] : QString(), 9);
            surface.setFont(paper.family, points);
            for (int c = 0; c < kGridColumns; ++c) {
                const QStringList lines =
                    gridColumnShortTitle(kAllGridColumns[static_cast<std::size_t>(c)]).split(u'\n');
                const double lineHeight = points * kTwipsPerPoint * 1.15;
                double y = kTableTop + kLevelHeight + (kTitleHeight - lines.size() * lineHeight) / 2;
                for (const QString& line : lines) {
                    centredText(surface, left + (c + 0.5) * cellWidth, y, line, points);
                    y += lineHeight;
                }
            }
            rule(surface, QPointF(left, kTableTop), QPointF(left, rowsTop), kBlack);
        }
        rule(surface, QPointF(0, kTableTop), QPointF(width, kTableTop), kBlack);
        rule(surface, QPointF(0, rowsTop), QPointF(width, rowsTop), kBlack);

        // The rows of this page.
        const int first = p * kGridRowsPerPage;
        const int last = std::min(total, first + kGridRowsPerPage);
        double y = rowsTop;
        for (int k = first; k < last; ++k, y += rowHeight) {
            const int row = paper.rows[static_cast<std::size_t>(k)];
            const StudentLabel label = paper.labelOf ? paper.labelOf(grid.student(row)) : StudentLabel{};
            const double top = textTop(y, rowHeight, points);
            surface.setTextColour(kBlack);
            surface.setFont(paper.family, points);
            surface.drawText(QPointF(100, top), label.name);
            centredText(surface, kNameWidth + kGradeWidth / 2, top, label.grade, points);
            for (int i = 0; i < levelCount; ++i) {
                const GridCell& cell = grid.cell(row, paper.levels[static_cast<std::size_t>(i)]);
                for (int c = 0; c < kGridColumns; ++c) {
                    const GridColumn column = kAllGridColumns[static_cast<std::size_t>(c)];
                    const CellColours colours = cellColours(cell, column);
                    const double left = levelLeft(i) + c * cellWidth;
                    surface.fillRect(QRectF(left, y, cellWidth, rowHeight), bgrOf(colours.background));
                    surface.setTextColour(bgrOf(colours.text));
                    centredText(surface, left + cellWidth / 2, top, gridCellText(cell, column), points);
                }
            }
            rule(surface, QPointF(0, y + rowHeight), QPointF(width, y + rowHeight));
        }
        for (int i = 0; i < levelCount; ++i)
            rule(surface, QPointF(levelLeft(i), rowsTop), QPointF(levelLeft(i), y), kBlack);
        rule(surface, QPointF(0, y), QPointF(width, y), kBlack);
    }
}

} // namespace mirai
