#include "SoundCues.h"

#include "Doubles.h"
#include "Files.h"
#include "MediaPlayer.h"
#include "SharedState.h"
#include "SoundTable.h"

#include <gtest/gtest.h>
#include <memory>

using namespace Qt::StringLiterals;

namespace mirai {
namespace {

class SoundCuesTest : public ::testing::Test {
protected:
    void SetUp() override {
        state->SoundFolder = tree.soundFolder();
        setSoundRoleNames(*state);
    }
    void loadTable(const QStringList& lines) {
        tree.writeSoundTable(lines);
        ASSERT_TRUE(LoadSoundTable(*state));
    }
    Context ctx() { return {*state, platform}; }
    QString command(const QString& file) const {
        return u"play "_s + tree.soundFolder() + file + u".wav wait"_s;
    }

    test::DataTree tree;
    std::unique_ptr<SharedState> state = std::make_unique<SharedState>();
    test::TestPlatform platform;
};

TEST_F(SoundCuesTest, ReadsSeveralNamesPerRoleAndPicksEachAtRandom) {
    loadTable({u"正解音2,good1,good2,good3,*"_s, u"間違い音2,bad1,*"_s});
    EXPECT_EQ(state->SoundTable.roles[2].count.toText(), u"3"_s);
    EXPECT_EQ(state->SoundTable.roles[4].count.toText(), u"1"_s);

    platform.random.setValues({0.0, 0.34, 0.67, 0.999});
    for (int i = 0; i < 4; ++i)
        ASSERT_TRUE(PlayCorrectSound(ctx()));
    EXPECT_EQ(platform.media.commands, QStringList({command(u"good1"_s), command(u"good2"_s),
                                                    command(u"good3"_s), command(u"good3"_s)}));
}

TEST_F(SoundCuesTest, EveryNameOfTheRoleIsAboutEquallyLikely) {
    loadTable({u"正解音2,good1,good2,good3,*"_s});
    StandardRandom random(4242);
    Platform real = platform.platform();
    real.random = &random;
    const Context context{*state, real};
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(PlayCorrectSound(context));
    for (const QString& name : {u"good1"_s, u"good2"_s, u"good3"_s}) {
        const auto plays = platform.media.commands.count(command(name));
        EXPECT_NEAR(plays, 1000, 120) << name.toStdString();
    }
}

TEST_F(SoundCuesTest, MissingRolePlaysTheBareExtensionAndCountsAsFailure) {
    loadTable({u"正解音2,good1,*"_s});
    platform.media.failAlways(MediaFileNotFound);
    ASSERT_TRUE(PlayWrongSound(ctx()));
    EXPECT_EQ(platform.media.commands.back(), u"play "_s + tree.soundFolder() + u".wav wait"_s);
    EXPECT_EQ(state->AnswerSoundFailures, 1);
}

TEST_F(SoundCuesTest, TwentyNamesWithoutCloseKeepNoCountAndReadTheNextField) {
    QStringList fields{u"正解音2"_s};
    for (int i = 1; i <= 20; ++i)
        fields << u"n%1"_s.arg(i);
    fields << u"間違い音2"_s << u"bad1"_s << u"*"_s;
    loadTable({fields.join(u',')});
    const SoundRole& correct = state->SoundTable.roles[2];
    EXPECT_TRUE(correct.count.isEmpty());
    EXPECT_EQ(correct.files[20], u"n20"_s);
    EXPECT_EQ(state->SoundTable.roles[4].count.toText(), u"1"_s);

    // Without a count the first name is played.
    platform.random.setValues({0.9});
    ASSERT_TRUE(PlayCorrectSound(ctx()));
    EXPECT_EQ(platform.media.commands.back(), command(u"n1"_s));
}

TEST_F(SoundCuesTest, FourthFailureInARowEndsTheProgramWithTheMessage) {
    loadTable({u"正解音2,good1,*"_s, u"間違い音2,bad1,*"_s});
    platform.media.failAlways(MediaNoDevice);
    EXPECT_TRUE(PlayCorrectSound(ctx()));
    EXPECT_TRUE(PlayWrongSound(ctx())); // one counter for both answer sounds
    EXPECT_TRUE(PlayCorrectSound(ctx()));
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(platform.app.endCalls, 0);

    EXPECT_FALSE(PlayWrongSound(ctx()));
    ASSERT_EQ(platform.messages.shown.size(), 1u);
    EXPECT_EQ(platform.messages.shown[0].text, u"音声がでません。先生を呼びなさい。\r\nerror 4"_s);
    EXPECT_EQ(platform.messages.shown[0].title, u"音声エラー"_s);
    EXPECT_EQ(platform.messages.shown[0].buttons, MessageButtons::Ok);
    EXPECT_EQ(platform.app.endCalls, 1);
}

TEST_F(SoundCuesTest, OneSuccessInBetweenStartsTheCountAgain) {
    loadTable({u"正解音2,good1,*"_s, u"間違い音2,bad1,*"_s});
    platform.media.scriptResults({2, 2, 2, 0, 2, 2, 2});
    for (int i = 0; i < 7; ++i)
        EXPECT_TRUE(PlayCorrectSound(ctx())) << i;
    EXPECT_TRUE(platform.messages.shown.empty());
    platform.media.failAlways(2);
    EXPECT_FALSE(PlayWrongSound(ctx()));
    EXPECT_EQ(platform.app.endCalls, 1);
}

TEST_F(SoundCuesTest, OtherCuesPlayTheirFilesAndIgnoreFailures) {
    loadTable({u"自己最高音2,self1,self2,*"_s, u"不合格音1,line1,*"_s});
    platform.media.failAlways(MediaFileNotFound);
    platform.random.setValues({0.7});
    for (int i = 0; i < 6; ++i) {
        PlayWarningSound(ctx());
        PlayOverallBestSound(ctx());
        PlayCourseClearedSound(ctx());
        PlayPersonalBestSound(ctx());
        PlayMinimumLineSound(ctx());
    }
    EXPECT_EQ(platform.app.endCalls, 0);
    EXPECT_TRUE(platform.messages.shown.empty());
    EXPECT_EQ(state->AnswerSoundFailures, 0);
    EXPECT_EQ(platform.media.commands.mid(0, 5),
              QStringList({command(u"警告1"_s), command(u"最高1"_s), command(u"合格"_s), command(u"self2"_s),
                           command(u"line1"_s)}));
}

TEST_F(SoundCuesTest, FolderWithBlanksStaysInOnePath) {
    loadTable({u"正解音2,good one,*"_s});
    state->SoundFolder = u"/tmp/音 フォルダ/"_s;
    ASSERT_TRUE(PlayCorrectSound(ctx()));
    EXPECT_EQ(playCommandPath(platform.media.commands.back()), u"/tmp/音 フォルダ/good one.wav"_s);
}

} // namespace
} // namespace mirai
