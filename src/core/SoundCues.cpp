#include "SoundCues.h"

#include "AppControl.h"
#include "MediaPlayer.h"
#include "MessageBoxes.h"
#include "NumberText.h"
#include "Platform.h"
#include "Random.h"
#include "SharedState.h"

using namespace Qt::StringLiterals;

namespace mirai {

QString playCommand(const QString& soundFolder, const QString& fileName) {
    return u"play "_s + soundFolder + fileName + u".wav wait"_s;
}

int playRandomSound(Context ctx, int role) {
    const SoundRole& entry = ctx.state.SoundTable.roles[static_cast<std::size_t>(role)];
    const double count = entry.count.toDouble();
    const double draw = ctx.platform.random->next();
    // The count is our own "j - 1" from the table; still keep the pick inside the 20 names.
    const double pick = Int(draw * count + 1.0);
    QString fileName;
    if (pick >= 1.0 && pick <= 20.0)
        fileName = entry.files[static_cast<std::size_t>(pick)];
    return ctx.platform.media->send(playCommand(ctx.state.SoundFolder, fileName));
}

namespace {

// Counts failures of the answer sounds; the fourth in a row ends the program.
bool answerSoundResult(Context ctx, int result) {
    int& failures = ctx.state.AnswerSoundFailures;
    if (result == 0) {
        failures = 0;
        return true;
    }
    if (failures < 3) {
        ++failures;
        return true;
    }
    const QString errorText = ctx.platform.media->errorText(result);
    ctx.platform.messages->show(u"音声がでません。先生を呼びなさい。"_s + u"\r\n"_s + errorText,
                                u"音声エラー"_s, MessageButtons::Ok, MessageIcon::Critical);
    ctx.platform.app->endProgram();
    return false;
}

void playFixed(Context ctx, const QString& fileName) {
    ctx.platform.media->send(playCommand(ctx.state.SoundFolder, fileName));
}

} // namespace

bool PlayCorrectSound(Context ctx) {
    return answerSoundResult(ctx, playRandomSound(ctx, soundrole::Correct));
}

bool PlayWrongSound(Context ctx) {
    return answerSoundResult(ctx, playRandomSound(ctx, soundrole::Wrong));
}

void PlayPersonalBestSound(Context ctx) {
    playRandomSound(ctx, soundrole::PersonalBest);
}

void PlayMinimumLineSound(Context ctx) {
    playRandomSound(ctx, soundrole::MinimumLine);
}

void PlayOverallBestSound(Context ctx) {
    playFixed(ctx, u"最高1"_s);
}

void PlayCourseClearedSound(Context ctx) {
    playFixed(ctx, u"合格"_s);
}

void PlayWarningSound(Context ctx) {
    playFixed(ctx, u"警告1"_s);
}

void PreloadSounds(Context ctx) {
    const SharedState& state = ctx.state;
    for (const int role : {soundrole::Correct, soundrole::Wrong, soundrole::PersonalBest, soundrole::MinimumLine}) {
        for (const QString& file : state.SoundTable.roles[static_cast<std::size_t>(role)].files) {
            if (!file.isEmpty())
                ctx.platform.media->preload(state.SoundFolder + file + u".wav"_s);
        }
    }
    for (const QString& file : {u"最高1"_s, u"合格"_s, u"警告1"_s})
        ctx.platform.media->preload(state.SoundFolder + file + u".wav"_s);
}

} // namespace mirai
