#pragma once

#include <QString>

namespace mirai {

// The media command of the original platform: "play <path>.wav wait" returns 0 once the
// sound has played to its end, or an error number; errorText explains a number.
class MediaPlayer {
public:
    virtual ~MediaPlayer() = default;
    virtual int send(const QString& command) = 0;
    virtual QString errorText(int error) const = 0;
    // Reads a sound now and keeps it, so that it plays later even when its folder is out of
    // reach. A file that cannot be read now is simply not kept.
    virtual void preload(const QString& path) { (void)path; }
};

// Error numbers of the media command.
enum MediaError : int {
    MediaOk = 0,
    MediaBadCommand = 1,
    MediaFileNotFound = 2,
    MediaBadFile = 3,
    MediaNoDevice = 4,
};

// The path of a play command: everything between "play " and the last " wait" (a path may hold
// blanks). Empty when the command is not a play command.
QString playCommandPath(const QString& command);

} // namespace mirai
