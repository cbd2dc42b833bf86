#include "audio/Sound.h"
#include "audio/SceneCues.h"

#include "AudioTestUtil.h"
#include "SoundBytes.h"
#include "common/Text.h"
#include "platform/RecordingMixer.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

using namespace testbytes;

class SoundTest : public ::testing::Test {
protected:
    void SetUp() override {
        root_.Write("GameData\\SE\\Battle\\Cannon.wav", MakeWav16(22050, 1, {100, 200, 300}));
        root_.Write("GameData\\SE\\Battle\\Crush.wav", MakeWav16(44100, 2, {7, 8}));
        ASSERT_EQ(sound_.Init(&mixer_, "GameData\\SE\\", nullptr), S_OK);
    }

    ScratchRoot root_{"sound"};
    RecordingMixer mixer_;
    CSound sound_;
};

TEST_F(SoundTest, SecondLoadOfAFileIsRefusedAndKeepsTheFirstCue) {
    ASSERT_EQ(sound_.Load("Battle\\Cannon.wav", SJ("キャノン発射"), true), S_OK);
    EXPECT_EQ(sound_.Load("Battle\\Cannon.wav", SJ("大砲"), true), E_FAIL);
    EXPECT_EQ(sound_.Play(SJ("大砲")), E_FAIL);
    EXPECT_EQ(mixer_.LiveSoundCount(), 1u);

    ASSERT_EQ(sound_.Play(SJ("キャノン発射")), S_OK);
    ASSERT_EQ(mixer_.Sounding().size(), 1u);
    const RecordingMixer::Instance& i = mixer_.Sounding()[0];
    EXPECT_EQ(i.path, SoundPath::Secondary);
    EXPECT_FALSE(i.loop);
    ASSERT_NE(mixer_.Sound(i.id), nullptr);
    EXPECT_EQ(mixer_.Sound(i.id)->samples, (std::vector<std::int16_t>{100, 200, 300}));

    // A cue name already taken keeps its first file; the second file loads
    // (it cannot be loaded twice either) but plays under no name.
    ASSERT_EQ(sound_.Load("Battle\\Crush.wav", SJ("キャノン発射")), S_OK);
    EXPECT_EQ(sound_.Load("Battle\\Crush.wav", SJ("衝突音１")), E_FAIL);
    mixer_.StopAllSounds();
    sound_.Play(SJ("キャノン発射"));
    EXPECT_EQ(mixer_.Sound(mixer_.Sounding()[0].id)->channels, 1);
}

TEST_F(SoundTest, EveryPlayStartsAnotherInstance) {
    ASSERT_EQ(sound_.Load("Battle\\Cannon.wav", "a"), S_OK);
    ASSERT_EQ(sound_.Load("Battle\\Crush.wav", "b", false, false, true), S_OK);
    for (int i = 0; i < 20; ++i) {
        EXPECT_EQ(sound_.Play("a"), S_OK);
    }
    EXPECT_EQ(sound_.Play("b"), S_OK);
    ASSERT_EQ(mixer_.Sounding().size(), 21u);
    EXPECT_EQ(mixer_.Sounding()[0].path, SoundPath::Primary);
    EXPECT_TRUE(mixer_.Sounding()[20].loop);
    mixer_.FinishSounds();
    EXPECT_EQ(mixer_.Sounding().size(), 1u); // the endless one
    EXPECT_EQ(sound_.Play("never loaded"), E_FAIL);
}

TEST_F(SoundTest, DisabledPlayIsSilentAndSwitchingStopsWhatSounds) {
    ASSERT_EQ(sound_.Load("Battle\\Crush.wav", "long", false, false, true), S_OK);
    sound_.SetEnabled(0);
    EXPECT_EQ(sound_.IsEnabled(), 0);
    EXPECT_EQ(sound_.Play("long"), S_OK);
    EXPECT_EQ(sound_.Play("never loaded"), S_OK);
    EXPECT_TRUE(mixer_.Sounding().empty());
    // Loading goes on while effects are off.
    EXPECT_EQ(sound_.Load("Battle\\Cannon.wav", "short"), S_OK);

    sound_.SetEnabled(1);
    sound_.Play("long");
    sound_.Play("short");
    ASSERT_EQ(mixer_.Sounding().size(), 2u);
    sound_.SetEnabled(1); // the same flag stops them too
    EXPECT_TRUE(mixer_.Sounding().empty());
    sound_.Play("long");
    sound_.SetEnabled(0);
    EXPECT_TRUE(mixer_.Sounding().empty());
}

TEST_F(SoundTest, VolumesClampAndReachTheMixer) {
    EXPECT_EQ(mixer_.PathVolume(SoundPath::Primary), 0);
    sound_.SetMasterVolume(2000);
    EXPECT_EQ(sound_.MasterVolume(), 1000);
    EXPECT_EQ(mixer_.MasterVolume(), 1000);
    sound_.SetMasterVolume(-10001);
    EXPECT_EQ(sound_.MasterVolume(), -10000);
    sound_.SetPrimaryVolume(100);
    EXPECT_EQ(sound_.PrimaryVolume(), 0);
    sound_.SetSecondaryVolume(-20000);
    EXPECT_EQ(sound_.SecondaryVolume(), -9600);
    EXPECT_EQ(mixer_.PathVolume(SoundPath::Secondary), -9600);
    sound_.SetPrimaryVolume(-1234);

    // The next scene's Init puts the stored path volumes on the new paths.
    RecordingMixer next;
    sound_.Init(&next, "GameData\\SE\\", nullptr);
    EXPECT_EQ(next.PathVolume(SoundPath::Primary), -1234);
    EXPECT_EQ(next.PathVolume(SoundPath::Secondary), -9600);
    sound_.Init(&mixer_, "GameData\\SE\\", nullptr); // `next` goes before sound_
}

TEST_F(SoundTest, FailedLoadsRegisterNothing) {
    root_.Write("GameData\\SE\\Bad.wav", {'R', 'I', 'F', 'F', 0, 0});
    EXPECT_EQ(sound_.Load("Missing.wav", "m"), E_FAIL);
    EXPECT_EQ(sound_.Load("Bad.wav", "b"), E_FAIL);
    EXPECT_EQ(sound_.Load("Battle\\Cannon.wav", "midi", false, true), E_FAIL);
    EXPECT_EQ(sound_.CueCount(), 0u);
    EXPECT_EQ(sound_.Play("b"), E_FAIL);
    // Nothing was kept of the failed file: once repaired it loads.
    root_.Write("GameData\\SE\\Bad.wav", MakeWav16(8000, 1, {1}));
    EXPECT_EQ(sound_.Load("Bad.wav", "b"), S_OK);

    CSound lonely;
    EXPECT_EQ(lonely.Load("Battle\\Cannon.wav", "a"), E_FAIL);
    EXPECT_EQ(lonely.ReleaseAll(), E_FAIL);
}

TEST_F(SoundTest, ReleaseAllForgetsEveryCueForTheNextScene) {
    ASSERT_EQ(sound_.Load("Battle\\Cannon.wav", "a", false, false, true), S_OK);
    ASSERT_EQ(sound_.Load("Battle\\Crush.wav", "b"), S_OK);
    sound_.Play("a");
    EXPECT_EQ(sound_.ReleaseAll(), S_OK);
    EXPECT_TRUE(mixer_.Sounding().empty());
    EXPECT_EQ(mixer_.LiveSoundCount(), 0u);
    EXPECT_EQ(sound_.Play("a"), E_FAIL);
    EXPECT_EQ(sound_.Load("Battle\\Cannon.wav", "a"), S_OK);
}

TEST_F(SoundTest, SceneCueTables) {
    for (const char* f :
         {"Key\\DirKey.wav", "Key\\DecideKey.wav", "Key\\CancelKey.wav", "Key\\MsgForwardKey.wav",
          "Key\\TurnMapKey.wav", "Key\\StartKey.wav", "Key\\DirKey2.wav", "Key\\SlantChangeKey.wav",
          "Battle\\PreDC.wav", "Battle\\QLMove1.wav"}) {
        root_.Write(std::string("GameData\\SE\\") + f, MakeWav16(8000, 1, {1, 2}));
    }
    EXPECT_EQ(RegisterSceneCues(sound_, 3), S_OK);
    EXPECT_EQ(sound_.CueCount(), 5u);
    EXPECT_TRUE(sound_.HasCue(SJ("ターンマップキー")));
    sound_.ReleaseAll();

    EXPECT_EQ(RegisterSceneCues(sound_, 11), S_OK);
    EXPECT_EQ(sound_.CueCount(), 4u);
    EXPECT_TRUE(sound_.HasCue(SJ("メッセージ送りキー")));
    EXPECT_FALSE(sound_.HasCue(SJ("ターンマップキー")));
    sound_.ReleaseAll();

    EXPECT_EQ(RegisterSceneCues(sound_, 4), S_OK);
    EXPECT_EQ(sound_.CueCount(), 9u);
    for (const char* cue : {"方向キー２", "視点変更キー", "暗転前", "ＱＬ移動", "スタートキー"}) {
        EXPECT_TRUE(sound_.HasCue(Utf8ToCp932(cue))) << cue;
    }
    EXPECT_FALSE(sound_.HasCue(SJ("ターンマップキー")));
    sound_.ReleaseAll();

    // A missing file is reported, the others still register.
    std::filesystem::remove(HostPath("GameData\\SE\\Key\\CancelKey.wav"));
    EXPECT_EQ(RegisterSceneCues(sound_, 1), E_FAIL);
    EXPECT_EQ(sound_.CueCount(), 4u);
}

} // namespace
} // namespace quolis
