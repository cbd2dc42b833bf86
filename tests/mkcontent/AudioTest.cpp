#include "HardNames.h"
#include "Mkcontent.h"

#include "audio/Midi.h"
#include "audio/Wav.h"
#include "common/Path.h"
#include "platform/RecordingMixer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <fstream>

using namespace quolis;
using namespace quolis::mkcontent;

namespace {

std::vector<std::string> HardNamesOf(qcheck::AssetKind kind) {
    std::vector<std::string> out;
    for (const auto& hard : qcheck::HardCodedNames()) {
        if (hard.kind == kind) {
            out.push_back(hard.name);
        }
    }
    return out;
}

TEST(SoundsTest, EveryCueReadsAsShortUnclippedPcm) {
    std::vector<std::string> names = HardNamesOf(qcheck::AssetKind::Sound);
    for (const char* story : {"Story\\Alarm.wav", "Story\\Water.wav", "Story\\Unknown.wav"}) {
        names.push_back(story);
    }
    for (const auto& name : names) {
        const Bytes wav = EncodeWav(SynthesiseCue(name, 22050), 22050);
        PcmSound pcm;
        ASSERT_EQ(ReadWav(wav.data(), wav.size(), pcm), S_OK) << name;
        ASSERT_FALSE(pcm.samples.empty()) << name;
        int peak = 0;
        for (std::int16_t s : pcm.samples) {
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        }
        EXPECT_LT(peak, 32000) << name << " clips";
        EXPECT_GT(peak, 8000) << name << " is nearly silent";
        const double seconds = static_cast<double>(pcm.samples.size()) / pcm.channels / pcm.rate;
        EXPECT_LE(seconds, 2.5) << name;
        // Fades at both ends: no click when the cue starts or stops.
        EXPECT_LT(std::abs(pcm.samples.front()), 200) << name;
        EXPECT_LT(std::abs(pcm.samples.back()), 200) << name;
    }
}

TEST(SoundsTest, CuesDifferAndRepeatExactly) {
    EXPECT_NE(SynthesiseCue("Key\\DecideKey.wav", 22050),
              SynthesiseCue("Key\\CancelKey.wav", 22050));
    EXPECT_EQ(EncodeWav(SynthesiseCue("Battle\\Explosion.wav", 22050), 22050),
              EncodeWav(SynthesiseCue("Battle\\Explosion.wav", 22050), 22050));
}

// Notes on and off per channel and key must balance, and nothing may sound
// past the end of the piece, or the loop would restart over a hanging note.
void ExpectBalancedNotes(const Bytes& smf, const std::string& name) {
    ASSERT_GE(smf.size(), 14u);
    std::size_t at = 14;
    int tracks = 0;
    while (at + 8 <= smf.size()) {
        ASSERT_EQ(std::string(smf.begin() + static_cast<long>(at),
                              smf.begin() + static_cast<long>(at) + 4),
                  "MTrk");
        const std::size_t len = static_cast<std::size_t>(smf[at + 4]) << 24 |
                                static_cast<std::size_t>(smf[at + 5]) << 16 |
                                static_cast<std::size_t>(smf[at + 6]) << 8 | smf[at + 7];
        ASSERT_LE(at + 8 + len, smf.size()) << name;
        std::map<int, int> open;
        bool ended = false;
        std::size_t p = at + 8;
        while (p < at + 8 + len) {
            while (smf[p] & 0x80) {
                ++p;
            }
            ++p;
            const std::uint8_t status = smf[p];
            ASSERT_TRUE(status & 0x80) << name << ": running status is not written";
            if (status == 0xFF) {
                ended = smf[p + 1] == 0x2F;
                p += 3 + smf[p + 2];
            } else if ((status & 0xF0) == 0xC0) {
                p += 2;
            } else {
                const int key = (status & 0x0F) * 128 + smf[p + 1];
                if ((status & 0xF0) == 0x90 && smf[p + 2] > 0) {
                    ++open[key];
                } else if ((status & 0xF0) == 0x80) {
                    --open[key];
                }
                p += 3;
            }
        }
        EXPECT_TRUE(ended) << name << ": track without its end";
        for (const auto& [key, count] : open) {
            EXPECT_EQ(count, 0) << name << ": note " << key % 128 << " on channel " << key / 128;
        }
        at += 8 + len;
        ++tracks;
    }
    EXPECT_GE(tracks, 4) << name;
}

TEST(MusicTest, EveryPieceIsABalancedLoopOfHalfAMinuteToAMinuteAndAHalf) {
    std::vector<std::string> names = HardNamesOf(qcheck::AssetKind::Music);
    for (const char* more : {"Battle1.mid", "Battle4.mid", "Enemy2.mid", "LastBattle.mid",
                             "Story3.mid", "Anything.mid"}) {
        names.push_back(more);
    }
    for (const auto& name : names) {
        const Bytes smf = ComposeMidi(name);
        const double seconds = MidiSeconds(smf);
        EXPECT_GE(seconds, 30) << name;
        EXPECT_LE(seconds, 90) << name;
        ExpectBalancedNotes(smf, name);
        EXPECT_EQ(smf, ComposeMidi(name)) << name << " is not deterministic";
    }
    EXPECT_NE(ComposeMidi("Title.mid"), ComposeMidi("Menu.mid"));
}

TEST(MusicTest, PiecesPlayAndLoopThroughTheMusicPlayer) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(QUOLIS_BINARY_DIR) / "mkcontent-music-test";
    fs::create_directories(root / "GameData" / "MIDI");
    SetGameRoot(root.string());
    RecordingMixer mixer;
    CMidi midi;
    midi.SetDirectory("GameData\\MIDI\\");
    ASSERT_EQ(midi.InitGraph(&mixer, nullptr), S_OK);
    for (const auto& name : HardNamesOf(qcheck::AssetKind::Music)) {
        const Bytes smf = ComposeMidi(name);
        std::ofstream(root / "GameData" / "MIDI" / name, std::ios::binary)
            .write(reinterpret_cast<const char*>(smf.data()),
                   static_cast<std::streamsize>(smf.size()));
        const int startsBefore = mixer.MusicStarts();
        ASSERT_EQ(midi.Play(name), S_OK) << name;
        EXPECT_EQ(mixer.MusicBytes(), smf) << name;
        EXPECT_EQ(mixer.Music(), RecordingMixer::MusicState::Playing) << name;
        mixer.FinishMusic();
        midi.OnGraphEvent();
        EXPECT_EQ(mixer.MusicStarts(), startsBefore + 2) << name << " did not restart at its end";
    }
    midi.ReleaseGraph();
    SetGameRoot("");
    fs::remove_all(root);
}

} // namespace
