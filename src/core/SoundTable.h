#pragma once

namespace mirai {

struct SharedState;
class TextFieldReader;

// The ten role names of the sound table, 1..10.
void setSoundRoleNames(SharedState& state);
// Reads the sound table from the sound folder; false when the file is missing.
bool LoadSoundTable(SharedState& state);
void readSoundTable(SharedState& state, TextFieldReader& reader);

} // namespace mirai
