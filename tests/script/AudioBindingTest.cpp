// Music and sound statements reaching CSound and CMidi on a recording mixer.
#include "script/AudioBinding.h"
#include "ScriptTestUtil.h"
#include "common/Path.h"
#include "platform/RecordingMixer.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace quolis::test {
namespace {

namespace fs = std::filesystem;

// A 16-bit mono PCM WAV of three samples.
std::string Wav() {
    std::string b;
    auto put = [&](std::uint32_t v, int n) {
        for (int i = 0; i < n; ++i) {
            b.push_back(static_cast<char>(v >> (8 * i)));
        }
    };
    b += "RIFF";
    put(36 + 6, 4);
    b += "WAVEfmt ";
    put(16, 4);
    put(1, 2);
    put(1, 2);
    put(22050, 4);
    put(44100, 4);
    put(2, 2);
    put(16, 2);
    b += "data";
    put(6, 4);
    put(100, 2);
    put(200, 2);
    put(300, 2);
    return b;
}

class AudioBinding : public ::testing::Test {
public:
    void SetUp() override {
        oldRoot_ = GameRoot();
        root_ = fs::path(QUOLIS_BINARY_DIR) / "script_audio_binding";
        fs::remove_all(root_);
        fs::create_directories(root_ / "GameData" / "SE");
        for (const char* f : {"DirKey.wav", "DecideKey.wav", "bomb.wav"}) {
            std::ofstream(root_ / "GameData" / "SE" / f, std::ios::binary) << Wav();
        }
        SetGameRoot(root_.string());
        ASSERT_EQ(sound.Init(&mixer, "GameData\\SE\\", nullptr), S_OK);
        midi.SetDirectory("GameData\\MIDI\\");
    }
    void TearDown() override {
        sound.ReleaseAll();
        midi.ReleaseGraph();
        SetGameRoot(oldRoot_);
    }
    RecordingMixer mixer;
    CSound sound;
    CMidi midi;
    fs::path root_;
    std::string oldRoot_;
};

TEST_F(AudioBinding, CuesAndVolumeReachThePlayers) {
    CScriptAudioPort port(sound, midi);
    ScriptFixture f;
    ScriptPortsRef p;
    p.storage = &f.storage;
    p.audio = &port;
    p.clock = &f.clock;
    f.script.SetUp(p);
    EXPECT_TRUE(sound.HasCue(Sj("方向キー音")));
    EXPECT_TRUE(sound.HasCue(Sj("決定キー音")));
    f.script.RunTokens(Toks("SELoad 爆発 bomb.wav SEPlay 爆発 volume -1200 待つ"), false);
    EXPECT_EQ(mixer.Sounding().size(), 1u);
    EXPECT_EQ(midi.GetVolume(), -1200);
    f.script.RunTokens(Toks("FontMenu { menuitem { a 0 a b 1 b } }"), false);
    f.script.MenuKey(ScriptMenuKey::Down);
    EXPECT_EQ(mixer.Sounding().size(), 2u) << "the direction cue";
}

} // namespace
} // namespace quolis::test
