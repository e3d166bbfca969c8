#pragma once

#include <QString>
#include <QStringList>
#include <array>
#include <optional>
#include <vector>

namespace mirai {

class Untyped;

// The level criteria table as the criteria editor shows and writes it: rows of 12 cell texts.
constexpr int kCriteriaFields = 12;
using CriteriaRow = std::array<QString, kCriteriaFields>;

// Row 0 of the editor and of a saved file: the nine column titles and three empty fields.
CriteriaRow criteriaTitles();
// The help text of a grid column (1..12); the parts are joined by CR LF.
QString criteriaHelpText(int column);

// A field as a cell shows it: a number in its shortest decimal form ("1.50" -> "1.5"), an empty
// field as an empty cell, other text unchanged.
QString criteriaDisplayForm(const Untyped& value);

// The level rows of the file (its first line, the titles, is read and dropped), in display form.
// `lastRow` is the index of the last row read, the title line counting as row 0. nullopt when the
// file cannot be read.
struct CriteriaFile {
    std::vector<CriteriaRow> levels; // levels[0] is level 1
    int lastRow = -1;
};
std::optional<CriteriaFile> loadCriteriaFile(const QString& path);

// Writes every row's 12 cells as they stand, joined by "," and ended by CR LF. Replaces the file as
// a whole through the safe writer: a failed save leaves the old file whole.
bool saveCriteriaFile(const QString& path, const std::vector<CriteriaRow>& rows);

// Characters a cell may not hold: they would change the field structure of the file that every
// station reads (a comma separates fields, a double quote starts a quoted field, a line break ends
// the row).
bool isRefusedInCell(QChar c);
QString withoutRefusedCharacters(const QString& text);

} // namespace mirai
