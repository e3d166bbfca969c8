#pragma once

#include "Context.h"

#include <QString>

namespace mirai {

// The media command that plays one file of the sound folder to its end.
QString playCommand(const QString& soundFolder, const QString& fileName);

// The answer sounds. Each returns once its sound has ended; the fourth failure in a row of
// either of them tells the student to call the teacher and ends the program: then they
// return false and the caller stops at once.
bool PlayCorrectSound(Context ctx);
bool PlayWrongSound(Context ctx);

// The record and warning sounds; their playback errors are ignored.
void PlayPersonalBestSound(Context ctx);
void PlayMinimumLineSound(Context ctx);
void PlayOverallBestSound(Context ctx);
void PlayCourseClearedSound(Context ctx);
void PlayWarningSound(Context ctx);

// Reads every sound the cues can play and keeps it on this station, so that the drill sounds on
// while the shared folder is out of reach.
void PreloadSounds(Context ctx);

// Roles of the sound table the cues play.
namespace soundrole {
constexpr int Correct = 2;
constexpr int Wrong = 4;
constexpr int PersonalBest = 8;
constexpr int MinimumLine = 10;
} // namespace soundrole

// Plays one of the role's files at random and returns the media command's result.
int playRandomSound(Context ctx, int role);

} // namespace mirai
