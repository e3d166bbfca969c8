#include "Wave.h"

#include <QtEndian>
#include <cmath>
#include <numbers>

namespace mirai::demo {

namespace {

constexpr int kRate = 22050;

void put16(QByteArray& out, quint16 value) {
    char bytes[2];
    qToLittleEndian(value, bytes);
    out.append(bytes, 2);
}

void put32(QByteArray& out, quint32 value) {
    char bytes[4];
    qToLittleEndian(value, bytes);
    out.append(bytes, 4);
}

} // namespace

QByteArray toneWave(const std::vector<Note>& notes) {
    std::vector<qint16> samples;
    for (const Note& note : notes) {
        const int count = kRate * note.milliseconds / 1000;
        for (int i = 0; i < count; ++i) {
            const double t = static_cast<double>(i) / kRate;
            // Short attack, exponential decay: a bell rather than a beep.
            const double envelope = std::min(1.0, i / (0.005 * kRate)) * std::exp(-3.0 * i / count);
            double wave = 0.0;
            if (note.frequency > 0) {
                const double phase = 2.0 * std::numbers::pi * note.frequency * t;
                wave = note.buzz ? (std::sin(phase) > 0 ? 0.5 : -0.5) + 0.3 * std::sin(3 * phase)
                                 : std::sin(phase) + 0.25 * std::sin(2 * phase);
            }
            samples.push_back(static_cast<qint16>(std::lround(9000.0 * envelope * wave)));
        }
    }
    const quint32 dataBytes = static_cast<quint32>(samples.size() * 2);
    QByteArray out;
    out.append("RIFF", 4);
    put32(out, 36 + dataBytes);
    out.append("WAVEfmt ", 8);
    put32(out, 16);
    put16(out, 1); // PCM
    put16(out, 1); // mono
    put32(out, kRate);
    put32(out, kRate * 2);
    put16(out, 2);
    put16(out, 16);
    out.append("data", 4);
    put32(out, dataBytes);
    for (qint16 sample : samples)
        put16(out, static_cast<quint16>(sample));
    return out;
}

} // namespace mirai::demo
