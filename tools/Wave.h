#pragma once

#include <QByteArray>
#include <vector>

namespace mirai::demo {

// One note of a generated tone: frequency in Hz (0 = silence), length in ms, and whether it is
// a rough buzz (for the wrong-answer sounds) rather than a soft bell.
struct Note {
    double frequency = 0.0;
    int milliseconds = 0;
    bool buzz = false;
};

// A mono 16-bit PCM WAV file at 22050 Hz playing the notes one after another.
QByteArray toneWave(const std::vector<Note>& notes);

} // namespace mirai::demo
