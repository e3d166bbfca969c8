#pragma once

#include "ClassGrid.h"

#include <cstdint>
#include <optional>

namespace mirai {

// Which end of a column needs help: few runs, not cleared and a low share of right answers; or a
// high share of point or fact errors and a level blocked for overuse.
enum class HelpDirection { LowNeedsHelp, HighNeedsHelp };
HelpDirection helpDirection(GridColumn column);

// How much a cell says that the student needs help, from 0 (fine) to 1; none for a cell without a
// figure. Five runs a week, all answers right, no errors read 0; two runs, 75 % right or a 12.5 %
// error share read about 0.5; no run, 50 % right or less, or a 25 % error share or more read 1. A
// level not cleared or blocked reads 0.5: usual on the way, worth a look, not an alarm.
std::optional<double> needsHelp(const GridCell& cell, GridColumn column);

// Colours as 0xRRGGBB.
struct CellColours {
    std::uint32_t background = 0xFFFFFF;
    std::uint32_t text = 0x000000;
    bool operator==(const CellColours&) const = default;
};

// One sequential scale for every column: a single hue (orange) from nearly white to dark brown.
// Its steps differ in lightness, which every kind of colour vision sees, so the order reads the
// same to a colour-blind teacher; each step's text colour contrasts with it by at least 4.5:1.
constexpr int kHelpSteps = 6;
int helpStep(double needsHelp); // 0 .. kHelpSteps - 1
CellColours helpStepColours(int step);
CellColours helpColours(double needsHelp);
// A cell without a figure: white, off the scale, its "-" in black.
CellColours noFigureColours();
CellColours cellColours(const GridCell& cell, GridColumn column);

// Relative luminance of a colour and the contrast ratio of two colours (1 to 21).
double relativeLuminance(std::uint32_t rgb);
double contrastRatio(std::uint32_t first, std::uint32_t second);

} // namespace mirai
