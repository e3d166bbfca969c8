#include "GridColours.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace mirai {

namespace {

// The figures at which a column reads "needs help" fully.
constexpr double kRunsAWeek = 5.0;          // a run on each school day
constexpr double kPercentRightFloor = 50.0; // half the answers wrong
constexpr double kErrorShareCeiling = 25.0; // one answer in four
constexpr double kMarkNeedsHelp = 0.5;

// ColorBrewer's sequential "Oranges", six of its nine steps.
constexpr std::array<CellColours, kHelpSteps> kSteps{{
    {0xFFF5EB, 0x000000},
    {0xFDD0A2, 0x000000},
    {0xFDAE6B, 0x000000},
    {0xF16913, 0x000000},
    {0xD94801, 0x000000},
    {0x7F2704, 0xFFFFFF},
}};

double linear(std::uint32_t channel) {
    const double c = channel / 255.0;
    return c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4);
}

} // namespace

HelpDirection helpDirection(GridColumn column) {
    switch (column) {
    case GridColumn::RunsThisWeek:
    case GridColumn::Cleared:
    case GridColumn::PercentRight:
        return HelpDirection::LowNeedsHelp;
    case GridColumn::PointShare:
    case GridColumn::FactShare:
    case GridColumn::Blocked:
        return HelpDirection::HighNeedsHelp;
    }
    return HelpDirection::HighNeedsHelp;
}

std::optional<double> needsHelp(const GridCell& cell, GridColumn column) {
    const std::optional<double> figure = cell.figure(column);
    if (!figure)
        return std::nullopt;
    double help = 0.0;
    switch (column) {
    case GridColumn::RunsThisWeek:
        help = 1.0 - *figure / kRunsAWeek;
        break;
    case GridColumn::PercentRight:
        help = (100.0 - *figure) / (100.0 - kPercentRightFloor);
        break;
    case GridColumn::PointShare:
    case GridColumn::FactShare:
        help = *figure / kErrorShareCeiling;
        break;
    case GridColumn::Cleared:
        help = *figure > 0 ? 0.0 : kMarkNeedsHelp;
        break;
    case GridColumn::Blocked:
        help = *figure > 0 ? kMarkNeedsHelp : 0.0;
        break;
    }
    return std::clamp(help, 0.0, 1.0);
}

int helpStep(double needsHelp) {
    if (!(needsHelp > 0.0))
        return 0; // also NaN
    return std::min(static_cast<int>(needsHelp * kHelpSteps), kHelpSteps - 1);
}

CellColours helpStepColours(int step) {
    return kSteps[static_cast<std::size_t>(std::clamp(step, 0, kHelpSteps - 1))];
}

CellColours helpColours(double needsHelp) {
    return helpStepColours(helpStep(needsHelp));
}

CellColours noFigureColours() {
    return {0xFFFFFF, 0x000000};
}

CellColours cellColours(const GridCell& cell, GridColumn column) {
    const std::optional<double> help = needsHelp(cell, column);
    return help ? helpColours(*help) : noFigureColours();
}

double relativeLuminance(std::uint32_t rgb) {
    return 0.2126 * linear((rgb >> 16) & 0xFF) + 0.7152 * linear((rgb >> 8) & 0xFF) +
           0.0722 * linear(rgb & 0xFF);
}

double contrastRatio(std::uint32_t first, std::uint32_t second) {
    const double a = relativeLuminance(first);
    const double b = relativeLuminance(second);
    return (std::max(a, b) + 0.05) / (std::min(a, b) + 0.05);
}

} // namespace mirai
