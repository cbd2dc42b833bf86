// The small banks against FluidSynth itself: a piece played from a bank cut
// for it sounds exactly as it does from the whole soundfont.
#include "platform/sdl/SoundFontBanks.h"

#include <fluidsynth.h>
#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace quolis {
namespace {

// What the test plays on each channel: an optional bank select, an optional
// program change and some notes.
struct Part {
    int channel;
    int bank;    // -1: none selected
    int program; // -1: the channel's first program
    std::vector<int> notes;
};

class Synth {
public:
    Synth() {
        settings_ = new_fluid_settings();
        fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
        fluid_settings_setint(settings_, "synth.lock-memory", 0);
        synth_ = new_fluid_synth(settings_);
    }
    ~Synth() {
        delete_fluid_synth(synth_);
        delete_fluid_settings(settings_);
    }
    fluid_synth_t* get() { return synth_; }
    fluid_settings_t* settings() { return settings_; }

    std::size_t Presets(int id) {
        fluid_sfont_t* font = fluid_synth_get_sfont_by_id(synth_, id);
        std::size_t n = 0;
        fluid_sfont_iteration_start(font);
        while (fluid_sfont_iteration_next(font) != nullptr) {
            ++n;
        }
        return n;
    }

    // Plays the parts together for half a second and returns the samples.
    std::vector<std::int16_t> Play(const std::vector<Part>& parts) {
        for (const Part& p : parts) {
            if (p.bank >= 0) {
                fluid_synth_cc(synth_, p.channel, 0, p.bank);
            }
            if (p.program >= 0) {
                fluid_synth_program_change(synth_, p.channel, p.program);
            }
            for (int n : p.notes) {
                fluid_synth_noteon(synth_, p.channel, n, 100);
            }
        }
        std::vector<std::int16_t> out(64 * 2 * 344); // 344 blocks of 64 frames
        for (std::size_t at = 0; at < out.size(); at += 128) {
            fluid_synth_write_s16(synth_, 64, out.data() + at, 0, 2, out.data() + at, 1, 2);
        }
        return out;
    }

private:
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
};

const char* kFont = "/usr/share/sounds/sf2/TimGM6mb.sf2";

TEST(SoundFontBanks, APieceFromItsSmallBankSoundsAsFromTheWholeSoundFont) {
    SoundFontTables tables;
    ASSERT_TRUE(ReadSoundFontTables(kFont, tables)) << "install timgm6mb-soundfont";
    // Strings asked for in a bank the soundfont lacks (bank 0's are taken), a
    // bass, a guitar, a channel left on its first program and the standard
    // kit.
    const std::vector<Part> parts = {{0, 8, 48, {60, 64, 67}}, {1, -1, 33, {40}},
                                     {2, -1, -1, {72}},        {3, -1, 25, {52, 59}},
                                     {9, -1, -1, {36, 42}},    {10, -1, -1, {}}};
    const std::vector<MidiProgram> wanted = {{0, 25}, {0, 33}, {8, 48}, {128, 0}};

    Synth whole;
    const int wholeId = fluid_synth_sfload(whole.get(), kFont, 1);
    ASSERT_NE(wholeId, FLUID_FAILED);

    Synth small;
    AddBankLoader(small.get(), small.settings());
    const std::vector<std::size_t> reach = tables.Reachable(wanted);
    const std::string name = RegisterBank(kFont, tables.Subset(reach));
    const int smallId = fluid_synth_sfload(small.get(), name.c_str(), 1);
    ASSERT_NE(smallId, FLUID_FAILED);
    EXPECT_EQ(small.Presets(smallId), reach.size());
    EXPECT_LT(small.Presets(smallId) * 10, whole.Presets(wholeId));

    const std::vector<std::int16_t> a = whole.Play(parts);
    const std::vector<std::int16_t> b = small.Play(parts);
    int peak = 0;
    std::size_t differing = 0;
    for (std::size_t i = 0; i < a.size(); ++i) {
        peak = std::max(peak, std::abs(static_cast<int>(a[i])));
        differing += a[i] != b[i];
    }
    EXPECT_GT(peak, 1000) << "nothing was heard";
    EXPECT_EQ(differing, 0u);

    // A kit neither has falls back to the standard kit in both.
    fluid_synth_program_change(whole.get(), 9, 99);
    fluid_synth_program_change(small.get(), 9, 99);
    EXPECT_EQ(whole.Play({{9, -1, -1, {38}}}), small.Play({{9, -1, -1, {38}}}));
    DropBank(name);
}

TEST(SoundFontBanks, OtherNamesOpenTheFileAsItIs) {
    Synth synth;
    AddBankLoader(synth.get(), synth.settings());
    const int id = fluid_synth_sfload(synth.get(), kFont, 1);
    ASSERT_NE(id, FLUID_FAILED);
    EXPECT_GT(synth.Presets(id), 100u);
    // A dropped bank's name is no file.
    SoundFontTables tables;
    ASSERT_TRUE(ReadSoundFontTables(kFont, tables));
    const std::string name = RegisterBank(kFont, tables.Subset({0}));
    DropBank(name);
    EXPECT_EQ(fluid_synth_sfload(synth.get(), name.c_str(), 1), FLUID_FAILED);
}

} // namespace
} // namespace quolis
