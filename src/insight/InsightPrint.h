#pragma once

#include "ClassGrid.h"
#include "InsightCsv.h"
#include "PictureTables.h"

#include <QString>
#include <functional>
#include <vector>

namespace mirai {

class DrawingSurface;

// The width of a text in twips in a fixed-pitch face whose full-width characters are two
// half-width columns wide (IPAGothic), so texts can be centred without measuring them.
double fixedTextWidth(const QString& text, double points);

// &H00BBGGRR of a 0xRRGGBB colour.
std::uint32_t bgrOf(std::uint32_t rgb);

// One student's picture on paper: a page per level with the four tables of the screen.
struct PicturePaper {
    QString family;   // a fixed-pitch face
    QString heading;  // who
    QString dateText; // when
    struct Level {
        QString title;
        PeriodFigures figures;
    };
    std::vector<Level> levels;
};
void drawStudentPicture(DrawingSurface& surface, const PicturePaper& paper);

// The class grid on paper: the rows in the order shown, kGridRowsPerPage to a page, the level and
// column titles at the top of every page, each cell coloured as on the screen.
constexpr int kGridRowsPerPage = 40;
int gridPageCount(int rows);

struct GridPaper {
    QString family;   // a fixed-pitch face
    QString heading;  // which group
    QString note;     // which answers the figures count
    QString dateText; // when
    std::vector<int> levels;
    QStringList levelTitles; // one per level
    std::vector<int> rows;   // rows of the grid, in the order shown
    std::function<StudentLabel(int student)> labelOf;
};
void drawClassGrid(DrawingSurface& surface, const ClassGrid& grid, const GridPaper& paper);

} // namespace mirai
