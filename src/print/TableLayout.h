#pragma once

namespace mirai {

class PrintEngine;
struct PrintSheet;

// The worksheet: a header row and the sheet's problem rows, each cell's text fitted into its
// cell, ruled with a line above every row, a closing line and one line at every column edge.
// Drawn on whatever surface the engine was last prepared for; stops when the engine stops.
void DrawTableLayout(PrintEngine& engine, const PrintSheet& sheet);

} // namespace mirai
