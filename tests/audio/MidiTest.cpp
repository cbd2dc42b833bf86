#include "audio/Midi.h"

#include "AudioTestUtil.h"
#include "SoundBytes.h"
#include "platform/RecordingMixer.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

using namespace testbytes;
using State = RecordingMixer::MusicState;

class MidiTest : public ::testing::Test {
protected:
    void SetUp() override {
        title_ = MakeMidi({60, 62}, 96);
        battle_ = MakeMidi({40}, 384, 30);
        root_.Write("GameData\\MIDI\\Title.mid", title_);
        root_.Write("GameData\\MIDI\\Battle1.mid", battle_);
        midi_.SetDirectory("GameData\\MIDI\\");
        ASSERT_EQ(midi_.InitGraph(&mixer_, nullptr), S_OK);
    }

    ScratchRoot root_{"midi"};
    RecordingMixer mixer_;
    CMidi midi_;
    Bytes title_, battle_;
};

TEST_F(MidiTest, SameNameContinuesAndEmptyNameRestartsOnlyWhenStopped) {
    EXPECT_EQ(midi_.GetVolume(), -3000);
    ASSERT_EQ(midi_.Play("Title.mid"), S_OK);
    EXPECT_EQ(mixer_.Music(), State::Playing);
    EXPECT_EQ(mixer_.MusicBytes(), title_);
    EXPECT_EQ(mixer_.MusicVolume(), -3000);
    EXPECT_EQ(midi_.Play("Title.mid"), S_OK);
    EXPECT_EQ(midi_.Play(""), S_OK); // playing: nothing to do
    EXPECT_EQ(mixer_.MusicStarts(), 1);

    EXPECT_EQ(midi_.Stop(), S_OK);
    EXPECT_FALSE(midi_.IsPlaying());
    EXPECT_EQ(mixer_.Music(), State::Stopped);
    EXPECT_EQ(midi_.Play(""), S_OK);
    EXPECT_EQ(mixer_.MusicStarts(), 2);
    EXPECT_EQ(mixer_.Music(), State::Playing);
    EXPECT_EQ(mixer_.MusicBytes(), title_);

    ASSERT_EQ(midi_.Play("Battle1.mid"), S_OK);
    EXPECT_EQ(midi_.CurrentName(), "Battle1.mid");
    EXPECT_EQ(mixer_.MusicBytes(), battle_);
    EXPECT_EQ(mixer_.MusicStarts(), 3);
}

TEST_F(MidiTest, EndOfPieceStartsItAgainFromTheBeginning) {
    ASSERT_EQ(midi_.Play("Title.mid"), S_OK);
    mixer_.FinishMusic();
    EXPECT_EQ(mixer_.Music(), State::Stopped);
    midi_.OnGraphEvent();
    EXPECT_EQ(mixer_.Music(), State::Playing);
    EXPECT_EQ(mixer_.MusicStarts(), 2);
    EXPECT_EQ(mixer_.MusicBytes(), title_);
    EXPECT_TRUE(midi_.IsPlaying());
    midi_.OnGraphEvent(); // no event waiting: nothing
    EXPECT_EQ(mixer_.MusicStarts(), 2);

    // An end that arrives after the game stopped the piece is forgotten.
    mixer_.FinishMusic();
    midi_.Stop();
    midi_.OnGraphEvent();
    EXPECT_EQ(mixer_.Music(), State::Stopped);
    EXPECT_EQ(mixer_.MusicStarts(), 2);
}

TEST_F(MidiTest, DisabledRemembersTheNameAndEnablingStartsIt) {
    midi_.SetEnabled(0);
    EXPECT_EQ(midi_.Play("Battle1.mid"), S_OK);
    EXPECT_EQ(mixer_.MusicStarts(), 0);
    EXPECT_NE(mixer_.Music(), State::Playing);
    EXPECT_EQ(midi_.CurrentName(), "Battle1.mid");
    midi_.SetEnabled(1);
    EXPECT_EQ(mixer_.Music(), State::Playing);
    EXPECT_EQ(mixer_.MusicBytes(), battle_);
    midi_.SetEnabled(0);
    EXPECT_EQ(mixer_.Music(), State::Stopped);
    EXPECT_FALSE(midi_.IsPlaying());
}

TEST_F(MidiTest, VolumeClampsAndFollowsTheGraph) {
    EXPECT_EQ(midi_.SetVolume(500), S_OK);
    EXPECT_EQ(midi_.GetVolume(), 0);
    midi_.SetVolume(-3000);
    midi_.AddVolume(-20000);
    EXPECT_EQ(midi_.GetVolume(), -10000);
    EXPECT_EQ(mixer_.MusicVolume(), -10000);

    midi_.ReleaseGraph();
    EXPECT_EQ(midi_.SetVolume(-1250), S_OK); // stored only
    EXPECT_EQ(mixer_.MusicVolume(), -10000);
    midi_.InitGraph(&mixer_, nullptr);
    midi_.Play("Title.mid");
    EXPECT_EQ(mixer_.MusicVolume(), -1250); // applied at the start
}

TEST_F(MidiTest, MissingLooseFileAnswersTwoAndLeavesSilence) {
    ASSERT_EQ(midi_.Play("Title.mid"), S_OK);
    EXPECT_EQ(midi_.Play("Nothing.mid"), CMidi::kMissingFile);
    EXPECT_EQ(mixer_.Music(), State::None); // the old piece was torn down
    EXPECT_TRUE(midi_.IsPlaying());
    EXPECT_EQ(midi_.Play(""), S_OK);
    EXPECT_EQ(mixer_.Music(), State::None);

    // A file that is no MIDI file: silent, yet success.
    root_.Write("GameData\\MIDI\\Broken.mid", {'x', 'y'});
    EXPECT_EQ(midi_.Play("Broken.mid"), S_OK);
    EXPECT_EQ(mixer_.Music(), State::None);
    EXPECT_EQ(midi_.Play("Title.mid"), S_OK);
    EXPECT_EQ(mixer_.Music(), State::Playing);
}

TEST_F(MidiTest, WithoutAGraph) {
    midi_.ReleaseGraph();
    EXPECT_FALSE(midi_.HasGraph());
    EXPECT_EQ(midi_.Play("Title.mid"), E_FAIL);
    EXPECT_EQ(midi_.CurrentName(), "");
    EXPECT_EQ(midi_.Stop(), S_OK);
    midi_.Pause();
    midi_.Resume();
    midi_.OnGraphEvent();
    EXPECT_EQ(mixer_.MusicStarts(), 0);
    EXPECT_EQ(midi_.InitGraph(nullptr, nullptr), E_FAIL);
}

TEST_F(MidiTest, PauseAndResumeFollowWindowActivation) {
    midi_.Play("Title.mid");
    midi_.OnActivate(false);
    EXPECT_EQ(mixer_.Music(), State::Paused);
    EXPECT_TRUE(midi_.IsPlaying());
    midi_.OnActivate(true);
    EXPECT_EQ(mixer_.Music(), State::Playing);
    EXPECT_EQ(mixer_.MusicStarts(), 1);

    midi_.Pause();
    midi_.Stop();
    midi_.Resume(); // nothing plays: stays stopped
    EXPECT_EQ(mixer_.Music(), State::Stopped);
}

TEST(MidiFadeTest, VolumeFadeMovesOneStepWhenDueAndEndsOnTheTarget) {
    RecordingMixer mixer;
    CMidi midi;
    midi.InitGraph(&mixer, nullptr);
    midi.SetVolume(-500);
    // Downward toward -3000 by 1000.
    EXPECT_EQ(FadeMusicVolume(midi, -3000, false, 1000, false), 1);
    EXPECT_EQ(midi.GetVolume(), -500);
    EXPECT_EQ(FadeMusicVolume(midi, -3000, false, 1000, true), 1);
    EXPECT_EQ(midi.GetVolume(), -1500);
    EXPECT_EQ(FadeMusicVolume(midi, -3000, false, 1000, true), 1);
    EXPECT_EQ(FadeMusicVolume(midi, -3000, false, 1000, true), 1);
    EXPECT_EQ(midi.GetVolume(), -3500); // overshoot ...
    EXPECT_EQ(FadeMusicVolume(midi, -3000, false, 1000, true), 0);
    EXPECT_EQ(midi.GetVolume(), -3000); // ... removed on the next call
    // Upward toward -1250 by 50.
    EXPECT_EQ(FadeMusicVolume(midi, -1250, true, 50, true), 1);
    EXPECT_EQ(midi.GetVolume(), -2950);
    midi.SetVolume(-1200);
    EXPECT_EQ(FadeMusicVolume(midi, -1250, true, 50, true), 0);
    EXPECT_EQ(midi.GetVolume(), -1250);
    EXPECT_EQ(mixer.MusicVolume(), -1250);
}

} // namespace
} // namespace quolis
