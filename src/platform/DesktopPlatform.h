#pragma once

#include "AppControl.h"
#include "FileDialogs.h"
#include "MediaPlayer.h"
#include "MessageBoxes.h"

#include <QByteArray>

namespace mirai {

class ScreenManager;

class QtMessageBoxes final : public MessageBoxes {
public:
    MessageAnswer show(const QString& text, const QString& title, MessageButtons buttons,
                       MessageIcon icon) override;
};

// The window system's save dialog.
class QtFileDialogs final : public FileDialogs {
public:
    QString saveFileName(const QString& title, const QString& proposed, const QString& filter) override;
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
// media command it stands in for. No window events run while it plays.
class SdlMediaPlayer final : public MediaPlayer {
public:
    SdlMediaPlayer() = default;
    ~SdlMediaPlayer() override;
    SdlMediaPlayer(const SdlMediaPlayer&) = delete;
    SdlMediaPlayer& operator=(const SdlMediaPlayer&) = delete;

    int send(const QString& command) override;
    QString errorText(int error) const override;

private:
    bool ensureAudio();
    bool m_initialised = false;
    QString m_lastDetail;
};

} // namespace mirai
