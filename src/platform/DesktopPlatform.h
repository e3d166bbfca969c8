#pragma once

#include "AppControl.h"
#include "FileDialogs.h"
#include "MediaPlayer.h"
#include "MessageBoxes.h"

#include <QByteArray>
#include <QHash>
#include <QString>

namespace mirai {

class ScreenManager;

class QtMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override;
};

// The window system's file dialogs.
class QtFileDialogs final : public FileDialogs {
public:
    QString saveFileName(const QString& title, const QString& proposed, const QString& filter) override;
    QString openFileName(const QString& title, const QString& folder, const QString& filter) override;
    QString folderName(const QString& title, const QString& proposed) override;
};

// Ends the program: closes every screen, the last opened first, and leaves all event loops.
class QtAppControl final : public AppControl {
public:
    explicit QtAppControl(ScreenManager& screens) : m_screens(screens) {}
    void endProgram() override;

private:
    ScreenManager& m_screens;
};

// Plays WAV files through SDL2 and returns when the sound has ended, like the blocking
// media command it stands in for. No window events run while it plays. One device stays open at
// a fixed format with buffers of about 10 ms; every file is converted to it, so a cue returns
// within a few milliseconds of its sound's end whatever the file's rate.
class SdlMediaPlayer final : public MediaPlayer {
public:
    SdlMediaPlayer() = default;
    ~SdlMediaPlayer() override;
    SdlMediaPlayer(const SdlMediaPlayer&) = delete;
    SdlMediaPlayer& operator=(const SdlMediaPlayer&) = delete;

    int send(const QString& command) override;
    QString errorText(int error) const override;
    void preload(const QString& path) override;

private:
    bool ensureAudio();
    bool ensureDevice();
    void closeDevice();
    int play(const QByteArray& samples);
    // The sound at `path` in the device's format, read once and kept: a sound that played once
    // plays on while the shared folder is out of reach. 0 or a media error number.
    int samplesOf(const QString& path, QByteArray& samples);

    bool m_initialised = false;
    quint32 m_device = 0; // SDL_AudioDeviceID
    int m_rate = 0;
    int m_channels = 0;
    int m_bufferFrames = 0;
    QString m_lastDetail;
    QHash<QString, QByteArray> m_sounds;
};

} // namespace mirai
