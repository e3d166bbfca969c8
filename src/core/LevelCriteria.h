#pragma once

#include <QString>

namespace mirai {

struct SharedState;
class TextFieldReader;

// Reads the level criteria table into rows 0..35 (line 1 is the title row 0). Rows the file
// does not reach keep their contents; lines past row 35 are ignored. False when the file is
// missing.
bool LoadLevelCriteria(SharedState& state);
void readLevelCriteria(SharedState& state, TextFieldReader& reader);

} // namespace mirai
