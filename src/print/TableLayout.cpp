#include "TableLayout.h"

#include "NumberText.h"
#include "PrintEngine.h"
#include "PrintTable.h"

namespace mirai {

void DrawTableLayout(PrintEngine& engine, const PrintSheet& sheet) {
    const int rows = sheet.TableRowCount;
    const int columns = sheet.TableColumnCount;
    if (rows <= 0 || columns <= 0)
        return;
    engine.ClearPreview();
    engine.StartTextSize = 50;
    engine.RowHeight = 0.9 / rows;
    // The problems start at `top`; the header row (row 0) stands one row above them.
    constexpr double top = 0.1;
    const auto rowTop = [&engine](int row) { return 10000 * top + 10000 * (row - 1) * engine.RowHeight; };
    for (int row = 0; row <= rows; ++row) {
        engine.RowY = rowTop(row);
        for (int column = 1; column <= columns; ++column) {
            engine.CellX = sheet.ColumnStarts[column] + 0.01;
            engine.CellWidth = 0.95 * (sheet.ColumnStarts[column + 1] - sheet.ColumnStarts[column]);
            engine.文字表示3(sheet.cell(column, row));
            if (engine.stopped())
                return;
        }
        const double lineY = engine.RowY - 100;
        engine.ライン(0, toInt16(lineY), 10000, lineY, 1, 0);
    }
    const double firstLine = rowTop(0) - 100;
    const double closingLine = rowTop(rows + 1) - 100;
    engine.ライン(0, toInt16(closingLine), 10000, closingLine, 1, 0);
    for (int column = 1; column <= columns + 1; ++column) {
        const std::int16_t x = toInt16(10000 * sheet.ColumnStarts[column]);
        engine.ライン(x, toInt16(firstLine), x, closingLine, 1, 0);
    }
}

} // namespace mirai
