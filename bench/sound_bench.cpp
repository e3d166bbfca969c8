// How long a cue keeps the drill waiting beyond the length of its sound, per WAV format. The
// drill's clock runs while a cue plays, so every millisecond here lands in the student's time.
// Runs under SDL's dummy driver, then on the real sound device when the machine has one.

#include "DesktopPlatform.h"

#include <QByteArray>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <SDL.h>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <vector>

namespace {

struct Format {
    int rate;
    int bits;
    int channels;
};

// A WAV file of a 440 Hz tone `ms` long in the given format.
QByteArray toneFile(const Format& format, int ms) {
    const int frames = format.rate * ms / 1000;
    const int bytesPerSample = format.bits / 8;
    const int dataSize = frames * format.channels * bytesPerSample;
    QByteArray out;
    auto put = [&out](quint32 value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
    };
    out.append("RIFF", 4);
    put(36 + dataSize, 4);
    out.append("WAVEfmt ", 8);
    put(16, 4);
    put(1, 2);
    put(format.channels, 2);
    put(format.rate, 4);
    put(format.rate * format.channels * bytesPerSample, 4);
    put(format.channels * bytesPerSample, 2);
    put(format.bits, 2);
    out.append("data", 4);
    put(dataSize, 4);
    for (int i = 0; i < frames; ++i) {
        const double v = 0.3 * std::sin(2.0 * M_PI * 440.0 * i / format.rate);
        for (int c = 0; c < format.channels; ++c) {
            if (format.bits == 8)
                put(static_cast<quint32>(128 + std::lround(127 * v)), 1);
            else
                put(static_cast<quint32>(static_cast<qint16>(std::lround(32767 * v))), 2);
        }
    }
    return out;
}

// Median of (time blocked - sound length) in ms over a few plays of each format.
void measure(const char* driver, const QString& folder, int soundMs) {
    const int rates[] = {8000, 11025, 22050, 44100, 48000};
    std::printf("\nDriver %s, %d ms tone: time blocked beyond the sound's end (median of 5), ms\n", driver,
                soundMs);
    std::printf("%8s %5s %9s %10s\n", "rate", "bits", "channels", "overshoot");
    mirai::SdlMediaPlayer player;
    for (int rate : rates) {
        for (int bits : {8, 16}) {
            for (int channels : {1, 2}) {
                const Format format{rate, bits, channels};
                const QString path =
                    QStringLiteral("%1/tone_%2_%3_%4.wav").arg(folder).arg(rate).arg(bits).arg(channels);
                QFile file(path);
                if (!file.open(QIODevice::WriteOnly) || file.write(toneFile(format, soundMs)) < 0)
                    return;
                file.close();
                std::vector<double> overshoots;
                for (int i = 0; i < 5; ++i) {
                    QElapsedTimer timer;
                    timer.start();
                    const int result = player.send(QStringLiteral("play ") + path + QStringLiteral(" wait"));
                    const double blocked = timer.nsecsElapsed() / 1e6;
                    if (result != 0) {
                        std::printf("%8d %5d %9d   error %d: %s\n", rate, bits, channels, result,
                                    qPrintable(player.errorText(result)));
                        return;
                    }
                    overshoots.push_back(blocked - soundMs);
                }
                std::sort(overshoots.begin(), overshoots.end());
                std::printf("%8d %5d %9d %10.1f\n", rate, bits, channels, overshoots[overshoots.size() / 2]);
            }
        }
    }
}

bool realDeviceAvailable() {
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0)
        return false;
    const char* driver = SDL_GetCurrentAudioDriver();
    const bool real = driver && std::string(driver) != "dummy" && std::string(driver) != "disk" &&
                      SDL_GetNumAudioDevices(0) > 0;
    SDL_QuitSubSystem(SDL_INIT_AUDIO);
    return real;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication application(argc, argv);
    QTemporaryDir folder;
    const char* chosen = std::getenv("SDL_AUDIODRIVER");
    const std::string chosenDriver = chosen ? chosen : "";
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    measure("dummy", folder.path(), 50);
    if (chosenDriver.empty())
        unsetenv("SDL_AUDIODRIVER");
    else
        setenv("SDL_AUDIODRIVER", chosenDriver.c_str(), 1);
    if (realDeviceAvailable())
        measure("real device", folder.path(), 50);
    else
        std::printf("\nNo real sound device on this machine: only the dummy driver was measured.\n");
    return 0;
}
