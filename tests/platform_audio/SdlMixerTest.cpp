// Renders effects and music through SdlMixer with SDL_AUDIODRIVER=disk and
// measures the samples SDL wrote.
#include "platform/sdl/SdlMixer.h"

#include "AudioTestUtil.h"
#include "SoundBytes.h"
#include "audio/Midi.h"
#include "audio/Sound.h"
#include "audio/Wav.h"
#include "data/DatArchive.h"
#include "data/DatArchiveWriter.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <unistd.h>

namespace quolis {
namespace {

using namespace testbytes;

struct Rendered {
    std::vector<std::int16_t> samples; // interleaved, device channels
    double Peak() const {
        int peak = 0;
        for (std::int16_t s : samples) {
            peak = std::max(peak, std::abs(static_cast<int>(s)));
        }
        return peak;
    }
    // The plain sum of the samples: linear, so sounds that add without
    // clipping give the sum of their sums wherever they overlap.
    double Sum() const {
        double sum = 0;
        for (std::int16_t s : samples) {
            sum += s;
        }
        return sum;
    }
    // Square root of the total energy: independent of how much silence
    // surrounds the sound.
    double Amplitude() const {
        double sum = 0;
        for (std::int16_t s : samples) {
            sum += double(s) * s;
        }
        return std::sqrt(sum);
    }
};

class SdlMixerTest : public ::testing::Test {
protected:
    void SetUp() override {
        file_ =
            std::string(QUOLIS_BINARY_DIR) + "/platform_audio_" + std::to_string(getpid()) + ".raw";
        setenv("SDL_AUDIODRIVER", "disk", 1);
        setenv("SDL_DISKAUDIOFILE", file_.c_str(), 1);
        // Four milliseconds per 1024-frame buffer: about six times real time.
        setenv("SDL_DISKAUDIODELAY", "4", 1);
    }
    void TearDown() override { std::remove(file_.c_str()); }

    // Opens the mixer, runs `play`, waits until `done` says so (at most 5 s
    // of wall time), closes and returns what was written.
    Rendered Render(const std::function<void(SdlMixer&)>& play,
                    const std::function<bool(SdlMixer&)>& done,
                    const std::function<void()>& finish = {}) {
        Rendered r;
        SdlMixer mixer;
        EXPECT_EQ(mixer.Open(), S_OK) << SDL_GetError();
        if (!mixer.IsOpen()) {
            return r;
        }
        EXPECT_EQ(mixer.DeviceChannels(), 2);
        play(mixer);
        for (int waited = 0; !done(mixer) && waited < 5000; waited += 5) {
            SDL_Delay(5);
        }
        EXPECT_TRUE(done(mixer)) << "timed out";
        if (finish) {
            finish();
        }
        mixer.Close();
        std::ifstream in(file_, std::ios::binary);
        std::vector<char> bytes((std::istreambuf_iterator<char>(in)),
                                std::istreambuf_iterator<char>());
        r.samples.resize(bytes.size() / 2);
        if (!r.samples.empty()) { // a render that ends at once may write nothing
            std::memcpy(r.samples.data(), bytes.data(), r.samples.size() * 2);
        }
        return r;
    }

    static bool EffectsDone(SdlMixer&) { return Mix_Playing(-1) == 0; }

    // Plays the pieces one after the other, each to its end, at full volume.
    Rendered PlayAll(const std::vector<Bytes>& pieces) {
        std::size_t next = 0;
        bool waiting = false;
        return Render([](SdlMixer& m) { ASSERT_EQ(m.SetMusicVolume(0), S_OK); },
                      [&](SdlMixer& m) {
                          if (waiting && m.TakeMusicEvent() != MusicEvent::EndOfStream) {
                              return false;
                          }
                          waiting = false;
                          if (next == pieces.size()) {
                              return true;
                          }
                          EXPECT_EQ(m.LoadMusic(pieces[next++]), S_OK);
                          EXPECT_EQ(m.PlayMusic(), S_OK);
                          waiting = true;
                          return false;
                      });
    }

    std::string file_;
};

PcmSound SineCue() {
    Bytes wav = MakeWav16(22050, 1, Sine(22050, 440, 22050 / 4, 8000));
    PcmSound pcm;
    EXPECT_EQ(ReadWav(wav.data(), wav.size(), pcm), S_OK);
    return pcm;
}

TEST_F(SdlMixerTest, CueSoundsAndMinus2000CentibelsIsTenTimesQuieter) {
    PcmSound cue = SineCue();
    auto render = [&](long master, long secondary) {
        return Render(
            [&](SdlMixer& m) {
                m.SetMasterVolume(master);
                m.SetPathVolume(SoundPath::Secondary, secondary);
                SoundId id = m.CreateSound(cue);
                ASSERT_NE(id, 0);
                ASSERT_EQ(m.PlaySound(id, SoundPath::Secondary, false), S_OK);
            },
            EffectsDone);
    };
    Rendered loud = render(0, 0);
    Rendered quiet = render(-2000, 0);
    Rendered quietPath = render(0, -2000);
    ASSERT_GT(loud.Peak(), 7000) << "the cue is not heard";
    EXPECT_LT(loud.Peak(), 9000);
    EXPECT_NEAR(quiet.Peak() / loud.Peak(), 0.1, 0.003);
    EXPECT_NEAR(quiet.Amplitude() / loud.Amplitude(), 0.1, 0.003);
    EXPECT_NEAR(quietPath.Peak() / loud.Peak(), 0.1, 0.003);
}

// Sounds created while the loads are held (before the first frame) play
// when asked, during the hold and after it, exactly as one created without
// the hold; one let go meanwhile is gone.
TEST_F(SdlMixerTest, SoundsCreatedWhileHeldPlayWhenAskedAndAfterTheRelease) {
    PcmSound cue = SineCue();
    const Rendered one = Render(
        [&](SdlMixer& m) {
            SoundId id = m.CreateSound(cue);
            ASSERT_NE(id, 0);
            ASSERT_EQ(m.PlaySound(id, SoundPath::Primary, false), S_OK);
        },
        EffectsDone);
    SoundId later = 0;
    bool released = false;
    const Rendered two = Render(
        [&](SdlMixer& m) {
            m.HoldLoads();
            SoundId now = m.CreateSound(cue);
            later = m.CreateSound(cue);
            SoundId dropped = m.CreateSound(cue);
            ASSERT_NE(now, 0);
            ASSERT_NE(later, 0);
            ASSERT_NE(dropped, 0);
            EXPECT_NE(now, later);
            m.ReleaseSound(dropped);
            EXPECT_EQ(m.PlaySound(dropped, SoundPath::Primary, false), E_FAIL);
            // Still held: played at once.
            ASSERT_EQ(m.PlaySound(now, SoundPath::Primary, false), S_OK);
        },
        [&](SdlMixer& m) {
            if (Mix_Playing(-1) != 0) {
                return false;
            }
            if (!released) {
                m.ReleaseLoads();
                released = true;
                EXPECT_EQ(m.PlaySound(later, SoundPath::Primary, false), S_OK);
                return false;
            }
            return true;
        });
    ASSERT_GT(one.Peak(), 7000) << "the cue is not heard";
    EXPECT_NEAR(two.Peak(), one.Peak(), 1.0);
    // Two whole cues, one after the other: twice the energy of one.
    EXPECT_NEAR(two.Amplitude() / one.Amplitude(), std::sqrt(2.0), 0.01);
}

TEST_F(SdlMixerTest, TwentyOverlappingInstancesAllSound) {
    // A constant level well below clipping even with all twenty at once: the
    // sum of all samples written is then twenty times that of one instance,
    // however the instances overlap (the mixing thread may start them a few
    // buffers apart on a busy machine).
    PcmSound flat;
    flat.rate = 44100;
    flat.channels = 1;
    flat.samples.assign(44100 / 2, 1000);
    auto render = [&](int count) {
        return Render(
            [&](SdlMixer& m) {
                SoundId id = m.CreateSound(flat);
                ASSERT_NE(id, 0);
                for (int i = 0; i < count; ++i) {
                    ASSERT_EQ(m.PlaySound(id, SoundPath::Primary, false), S_OK);
                }
            },
            EffectsDone);
    };
    const Rendered one = render(1);
    const Rendered twenty = render(20);
    ASSERT_GT(one.Sum(), 0.0) << "one instance is not heard";
    EXPECT_NEAR(twenty.Sum() / one.Sum(), 20.0, 0.05);
    EXPECT_LE(twenty.Peak(), 20000 + 200) << "more than twenty sounded";
}

// Sounds stay at their own rate and are converted to the device's format
// when they first play; instances of a sound share its copy. A short sound
// keeps its copy; of the longer ones, those played last keep theirs within
// half a megabyte, and an older copy goes only when it is not sounding.
// Every instance sounds in full: a copy is as long as the sound (SDL's
// resampler keeps back its last 23 ms unless pushed), so the energies of the
// flat sounds go as their lengths.
TEST_F(SdlMixerTest, SoundsAreConvertedWhenTheyPlayAndOnlyTheLastLongOnesStaySo) {
    auto flat = [](int frames, std::int16_t level) {
        PcmSound p;
        p.rate = 22050;
        p.channels = 1;
        p.samples.assign(static_cast<std::size_t>(frames), level);
        return p;
    };
    const PcmSound shortOne = flat(2205, 500), longOne = flat(22050 / 2, 500);
    std::size_t shortBytes = 0, longBytes = 0;
    auto render = [&](int shorts, int longs) {
        return Render(
            [&](SdlMixer& m) {
                const std::size_t perSecond = static_cast<std::size_t>(m.DeviceRate()) *
                                              m.DeviceChannels() * sizeof(std::int16_t);
                shortBytes = perSecond / 10;
                longBytes = perSecond / 2;
                const SoundId s = m.CreateSound(shortOne), l = m.CreateSound(longOne);
                ASSERT_TRUE(s != 0 && l != 0);
                EXPECT_EQ(m.ConvertedBytes(), 0u); // nothing before it plays
                for (int i = 0; i < std::max(shorts, longs); ++i) {
                    if (i < shorts) {
                        ASSERT_EQ(m.PlaySound(s, SoundPath::Primary, false), S_OK);
                    }
                    if (i < longs) {
                        ASSERT_EQ(m.PlaySound(l, SoundPath::Secondary, false), S_OK);
                    }
                }
                EXPECT_EQ(m.ConvertedBytes(),
                          (shorts > 0 ? shortBytes : 0) + (longs > 0 ? longBytes : 0));
            },
            EffectsDone);
    };
    const Rendered shorts = render(1, 0), longs = render(0, 1), mixed = render(2, 3);
    ASSERT_GT(shorts.Sum(), 0.0);
    ASSERT_GT(longs.Sum(), 0.0);
    EXPECT_NEAR(longs.Sum() / shorts.Sum(), 5.0, 0.05);
    EXPECT_NEAR(mixed.Sum() / (2 * shorts.Sum() + 3 * longs.Sum()), 1.0, 0.01);

    // Eight long sounds at once are more than the budget: none goes while it
    // sounds; once they have ended, the next start leaves the copies of the
    // ones played last within it, and the short one's copy stays.
    const PcmSound silent = flat(22050 / 2, 0);
    std::vector<SoundId> many;
    SoundId keys = 0;
    bool checked = false;
    Render(
        [&](SdlMixer& m) {
            keys = m.CreateSound(flat(2205, 0));
            ASSERT_EQ(m.PlaySound(keys, SoundPath::Primary, false), S_OK);
            for (int i = 0; i < 8; ++i) {
                many.push_back(m.CreateSound(silent));
                ASSERT_EQ(m.PlaySound(many.back(), SoundPath::Primary, false), S_OK);
            }
            EXPECT_EQ(m.ConvertedBytes(), shortBytes + 8 * longBytes);
        },
        [&](SdlMixer& m) {
            if (!checked && EffectsDone(m)) {
                // Played again: it and the four played last before it keep theirs.
                EXPECT_EQ(m.PlaySound(many[0], SoundPath::Primary, false), S_OK);
                const std::size_t budget = 512 * 1024;
                EXPECT_EQ(m.ConvertedBytes(), shortBytes + budget / longBytes * longBytes);
                // Letting a sound go takes its copy along.
                m.StopAllSounds();
                m.ReleaseSound(many[0]);
                EXPECT_EQ(m.ConvertedBytes(), shortBytes + (budget / longBytes - 1) * longBytes);
                checked = true;
            }
            return checked && EffectsDone(m);
        });
    EXPECT_TRUE(checked);

    // A long sound let go while it plays stops, and its copy goes with it.
    Render(
        [&](SdlMixer& m) {
            const SoundId l = m.CreateSound(longOne);
            ASSERT_EQ(m.PlaySound(l, SoundPath::Primary, true), S_OK);
            ASSERT_EQ(m.PlaySound(l, SoundPath::Primary, false), S_OK);
            EXPECT_EQ(m.ConvertedBytes(), longBytes);
            m.ReleaseSound(l);
            EXPECT_EQ(m.ConvertedBytes(), 0u);
            EXPECT_EQ(Mix_Playing(-1), 0);
            EXPECT_EQ(m.PlaySound(l, SoundPath::Primary, false), E_FAIL);
        },
        EffectsDone);
}

TEST_F(SdlMixerTest, MidiPlaysToItsEndAndReportsItOnTheGameThread) {
    ASSERT_FALSE(SdlMixer::FindSoundFont().empty())
        << "no General MIDI soundfont (install timgm6mb-soundfont or set QUOLIS_SOUNDFONT)";
    Bytes midi = MakeMidi({60, 64, 67, 72}, 48, 0, 120);
    auto render = [&](long volume, bool& ended) {
        ended = false;
        return Render(
            [&](SdlMixer& m) {
                ASSERT_EQ(m.LoadMusic(midi), S_OK);
                ASSERT_EQ(m.SetMusicVolume(volume), S_OK);
                ASSERT_EQ(m.PlayMusic(), S_OK);
                EXPECT_EQ(m.TakeMusicEvent(), MusicEvent::None);
            },
            [&](SdlMixer& m) {
                if (!ended) {
                    ended = m.TakeMusicEvent() == MusicEvent::EndOfStream;
                }
                return ended;
            });
    };
    bool endedLoud = false, endedQuiet = false;
    Rendered loud = render(0, endedLoud);
    Rendered quiet = render(-2000, endedQuiet);
    EXPECT_TRUE(endedLoud);
    EXPECT_TRUE(endedQuiet);
    ASSERT_GT(loud.Peak(), 1000) << "the piece is not heard";
    // Music volume goes through SDL_mixer's 0..128 steps: 13/128 for -2000 cB.
    EXPECT_NEAR(quiet.Amplitude() / loud.Amplitude(), 0.1, 0.01);
}

TEST_F(SdlMixerTest, StoppingMusicIsNoEndOfPieceAndGarbageDoesNotLoad) {
    Bytes midi = MakeMidi({60}, 960);
    int polls = 0;
    Render(
        [&](SdlMixer& m) {
            EXPECT_EQ(m.LoadMusic({}), E_FAIL);
            EXPECT_EQ(m.LoadMusic(Bytes(midi.begin(), midi.begin() + 20)), E_FAIL);
            EXPECT_EQ(m.LoadMusic(MakeWav16(8000, 1, {1, 2})), E_FAIL);
            EXPECT_EQ(m.PlayMusic(), E_FAIL);
            ASSERT_EQ(m.LoadMusic(midi), S_OK);
            ASSERT_EQ(m.PlayMusic(), S_OK);
            m.PauseMusic();
            m.ResumeMusic();
            m.StopMusic();
            ASSERT_EQ(m.PlayMusic(), S_OK);
            m.ReleaseMusic();
        },
        [&](SdlMixer& m) {
            EXPECT_EQ(m.TakeMusicEvent(), MusicEvent::None);
            SDL_Event e;
            while (SDL_PollEvent(&e)) {
                EXPECT_NE(e.type, SdlMixer::MusicEventType());
            }
            return ++polls > 40;
        });
}

// The players on the real mixer, as the game drives them: members from the
// archives, the end of the piece seen as an SDL event, handled on this thread.
TEST_F(SdlMixerTest, PlayersThroughTheRealMixer) {
    ScratchRoot root("platform_audio");
    auto archive = [&](const char* path, const char* name, const Bytes& bytes) {
        std::string out;
        ASSERT_TRUE(
            ComposeArchive({BinaryMember(name, std::string(bytes.begin(), bytes.end()))}, out));
        root.Write(path, Bytes(out.begin(), out.end()));
    };
    archive("GameData\\SE\\SE.Dat", "Battle\\Cannon.wav",
            MakeWav16(22050, 1, Sine(22050, 440, 22050 / 8, 8000)));
    archive("GameData\\MIDI\\MIDI.Dat", "Title.mid", MakeMidi({60, 67}, 48));
    CDatArchive content(false, true);

    CSound sound;
    CMidi midi;
    midi.SetDirectory("GameData\\MIDI\\");
    midi.SetVolume(0);
    bool started = false, ended = false, restarted = false;
    Rendered r = Render(
        [&](SdlMixer& m) {
            ASSERT_EQ(sound.Init(&m, "GameData\\SE\\", &content), S_OK);
            sound.SetMasterVolume(0);
            ASSERT_EQ(sound.Load("Battle\\Cannon.wav", "cannon", true), S_OK);
            ASSERT_EQ(sound.Play("cannon"), S_OK);
            EXPECT_EQ(Mix_Playing(-1), 1);
            ASSERT_EQ(midi.InitGraph(&m, &content), S_OK);
            ASSERT_EQ(midi.Play("Title.mid"), S_OK);
        },
        [&](SdlMixer& m) {
            // The piece starts once its loading has finished.
            started = started || m.MusicPlaying();
            SDL_Event e;
            while (!ended && SDL_PollEvent(&e)) {
                if (e.type == SdlMixer::MusicEventType()) {
                    EXPECT_FALSE(m.MusicPlaying());
                    midi.OnGraphEvent();
                    ended = true;
                }
            }
            // The piece loads again and starts over.
            restarted = ended && m.MusicPlaying();
            return restarted;
        },
        [&] {
            // Leaving the scene: the players let go of the mixer first.
            EXPECT_EQ(midi.Stop(), S_OK);
            midi.ReleaseGraph();
            EXPECT_EQ(sound.ReleaseAll(), S_OK);
            sound.Init(nullptr, "", nullptr);
        });
    EXPECT_TRUE(started);
    EXPECT_TRUE(restarted);
    EXPECT_GT(r.Peak(), 4000);
}

// A piece loads off the game thread: asked to play before it is ready, it
// starts when it is, keeping a pause asked for meanwhile; stopped or let go
// before it is ready, it never sounds.
TEST_F(SdlMixerTest, MusicLoadsOnAWorkerAndStartsWhenReady) {
    ASSERT_FALSE(SdlMixer::FindSoundFont().empty())
        << "no General MIDI soundfont (install timgm6mb-soundfont or set QUOLIS_SOUNDFONT)";
    Bytes midi = MakeMidi({60, 64}, 960);
    int step = 0;
    Render(
        [&](SdlMixer& m) {
            ASSERT_EQ(m.LoadMusic(midi), S_OK);
            ASSERT_EQ(m.PlayMusic(), S_OK);
            m.PauseMusic();
        },
        [&](SdlMixer& m) {
            if (step == 0 && m.MusicReady()) {
                // Started, and held by the pause asked for while it loaded.
                EXPECT_TRUE(m.MusicPlaying());
                EXPECT_TRUE(m.MusicPaused());
                m.ResumeMusic();
                EXPECT_FALSE(m.MusicPaused());
                // Loaded again and stopped before it is ready: silence.
                EXPECT_EQ(m.LoadMusic(midi), S_OK);
                EXPECT_FALSE(m.MusicPlaying());
                EXPECT_EQ(m.PlayMusic(), S_OK);
                m.StopMusic();
                step = 1;
            } else if (step == 1 && m.MusicReady()) {
                EXPECT_FALSE(m.MusicPlaying());
                // Let go while loading: the loader is waited for.
                EXPECT_EQ(m.LoadMusic(midi), S_OK);
                EXPECT_EQ(m.PlayMusic(), S_OK);
                m.ReleaseMusic();
                EXPECT_FALSE(m.MusicReady());
                EXPECT_FALSE(m.MusicPlaying());
                EXPECT_EQ(m.PlayMusic(), E_FAIL);
                step = 2;
            }
            return step == 2;
        });
    EXPECT_EQ(step, 2);
}

// Loads held until the first frame: a piece loaded and asked to play
// meanwhile stays silent and unloaded however long the hold lasts, then loads
// and starts when the hold ends; one stopped meanwhile loads but keeps quiet,
// and one let go meanwhile never loads. Without the hold, loads start at once.
TEST_F(SdlMixerTest, HeldLoadsWaitForTheReleaseThenPlayAsAskedMeanwhile) {
    ASSERT_FALSE(SdlMixer::FindSoundFont().empty())
        << "no General MIDI soundfont (install timgm6mb-soundfont or set QUOLIS_SOUNDFONT)";
    Bytes midi = MakeMidi({60, 64, 67}, 960);
    int step = 0, polls = 0, readyAt = 0;
    Rendered r = Render(
        [&](SdlMixer& m) {
            m.HoldLoads();
            ASSERT_EQ(m.LoadMusic(midi), S_OK);
            ASSERT_EQ(m.SetMusicVolume(0), S_OK);
            ASSERT_EQ(m.PlayMusic(), S_OK);
        },
        [&](SdlMixer& m) {
            ++polls;
            if (step == 0) {
                // Held: well past the time a load takes, nothing has loaded.
                EXPECT_FALSE(m.MusicReady());
                EXPECT_FALSE(m.MusicPlaying());
                if (polls >= 120) {
                    m.ReleaseLoads();
                    step = 1;
                }
            } else if (step == 1 && m.MusicReady()) {
                // Released: loaded and started, as asked while held.
                EXPECT_TRUE(m.MusicPlaying());
                readyAt = polls;
                step = 10;
            } else if (step == 10 && polls - readyAt >= 40) {
                // Heard for a while (the audio thread may be slow to run on
                // a busy machine).
                EXPECT_TRUE(m.MusicPlaying());
                // Held again, loaded and stopped: it loads on release, quietly.
                m.HoldLoads();
                EXPECT_EQ(m.LoadMusic(midi), S_OK);
                EXPECT_EQ(m.PlayMusic(), S_OK);
                m.StopMusic();
                m.ReleaseLoads();
                step = 2;
            } else if (step == 2 && m.MusicReady()) {
                EXPECT_FALSE(m.MusicPlaying());
                // Held, loaded and let go before the release: nothing loads,
                // and there is nothing to play.
                m.HoldLoads();
                EXPECT_EQ(m.LoadMusic(midi), S_OK);
                EXPECT_EQ(m.PlayMusic(), S_OK);
                m.ReleaseMusic();
                m.ReleaseLoads();
                EXPECT_FALSE(m.MusicReady());
                EXPECT_EQ(m.PlayMusic(), E_FAIL);
                // No longer held: the next piece loads at once.
                EXPECT_EQ(m.LoadMusic(midi), S_OK);
                step = 3;
            } else if (step == 3 && m.MusicReady()) {
                EXPECT_FALSE(m.MusicPlaying());
                step = 4;
            }
            return step == 4;
        });
    EXPECT_EQ(step, 4);
    EXPECT_GT(r.Peak(), 1000) << "the piece released from the hold was not heard";
}

// One synthesizer plays every piece: a piece after another sounds as it does
// alone, with its own instrument, nothing left over from the piece before and
// nothing cut; energies add, as the pieces do not overlap. (Not to the last
// sample: the chorus of a synthesizer that has played before is at another
// point of its sweep.)
TEST_F(SdlMixerTest, APieceAfterAnotherSoundsAsItDoesAlone) {
    ASSERT_FALSE(SdlMixer::FindSoundFont().empty());
    const Bytes piano = MakeMidi({48, 55, 60, 64}, 48, 0);
    const Bytes strings = MakeMidi({60, 67}, 96, 48);
    auto energy = [](const Rendered& r) { return r.Amplitude() * r.Amplitude(); };
    const Rendered alone = PlayAll({strings});
    const Rendered first = PlayAll({piano});
    const Rendered both = PlayAll({piano, strings});
    ASSERT_GT(alone.Peak(), 1000) << "the strings are not heard";
    ASSERT_GT(first.Peak(), 1000) << "the piano is not heard";
    EXPECT_NEAR((energy(both) - energy(first)) / energy(alone), 1.0, 0.1);
    // Another instrument is far from that.
    const Bytes organ = MakeMidi({60, 67}, 96, 19);
    EXPECT_GT(std::abs(energy(PlayAll({organ})) / energy(alone) - 1.0), 0.5);
}

// Each piece loads a small bank of the presets it can reach, not the whole
// soundfont (TimGM6mb: 136 presets): the piece's instrument, the grand piano
// and the standard kit, which every channel starts with.
TEST_F(SdlMixerTest, EachPieceLoadsOnlyThePresetsItCanReach) {
    ASSERT_FALSE(SdlMixer::FindSoundFont().empty());
    const int programs[] = {48, 19, 0};
    std::vector<std::size_t> counts;
    Render([](SdlMixer&) {},
           [&](SdlMixer& m) {
               if (!counts.empty()) {
                   if (!m.MusicReady()) {
                       return false;
                   }
                   counts.back() = m.LoadedPresets();
               }
               if (counts.size() == std::size(programs)) {
                   return true;
               }
               EXPECT_EQ(m.LoadMusic(MakeMidi({60}, 96, programs[counts.size()])), S_OK);
               counts.push_back(0);
               return false;
           });
    EXPECT_EQ(counts, (std::vector<std::size_t>{3, 3, 2}));
}

// Bytes that look like a MIDI file but hold garbage in their track: the piece
// ends or stays silent, and the next piece plays as usual.
TEST_F(SdlMixerTest, AGarbageTrackDoesNotStopTheNextPiece) {
    const Bytes good = MakeMidi({60, 64}, 96);
    std::vector<Bytes> garbage;
    for (std::uint32_t seed : {1u, 2u, 3u}) {
        Bytes g = good;
        for (std::size_t i = 22; i < g.size(); ++i) {
            seed = seed * 1103515245u + 12345u;
            g[i] = static_cast<std::uint8_t>(seed >> 16);
        }
        garbage.push_back(g);
    }
    // A track that ends in the middle of an event.
    garbage.push_back(Bytes(good.begin(), good.end() - 6));
    garbage.back()[21] = static_cast<std::uint8_t>(garbage.back().size() - 22);
    for (const Bytes& g : garbage) {
        int polls = 0;
        bool goodStarted = false, ended = false;
        Rendered r = Render(
            [&](SdlMixer& m) {
                if (m.LoadMusic(g) == S_OK) {
                    EXPECT_EQ(m.PlayMusic(), S_OK);
                }
            },
            [&](SdlMixer& m) {
                if (!goodStarted &&
                    (++polls > 60 || m.TakeMusicEvent() == MusicEvent::EndOfStream)) {
                    EXPECT_EQ(m.LoadMusic(good), S_OK);
                    EXPECT_EQ(m.SetMusicVolume(0), S_OK);
                    EXPECT_EQ(m.PlayMusic(), S_OK);
                    goodStarted = true;
                } else if (goodStarted && !ended) {
                    ended = m.TakeMusicEvent() == MusicEvent::EndOfStream;
                }
                return ended;
            });
        EXPECT_TRUE(ended);
        EXPECT_GT(r.Peak(), 1000) << "the piece after the garbage is not heard";
    }
}

// A soundfont FluidSynth cannot read: no piece ever becomes ready or sounds,
// nothing is reported, and the sound effects play as usual.
TEST_F(SdlMixerTest, AnUnreadableSoundFontKeepsMusicSilentAndEffectsSounding) {
    const std::string font = file_ + ".sf2";
    {
        std::ofstream out(font, std::ios::binary);
        out << "RIFF\x40\x00\x00\x00sfbkLIST\x10\x00\x00\x00INFOifil garbage";
    }
    setenv(SdlMixer::kSoundFontVariable, font.c_str(), 1);
    PcmSound cue = SineCue();
    bool loaded = false;
    Rendered r = Render(
        [&](SdlMixer& m) {
            EXPECT_EQ(m.SoundFont(), font);
            ASSERT_EQ(m.LoadMusic(MakeMidi({60, 64}, 96)), S_OK);
            ASSERT_EQ(m.PlayMusic(), S_OK); // loading: it would start when ready
            SoundId id = m.CreateSound(cue);
            ASSERT_NE(id, 0);
            ASSERT_EQ(m.PlaySound(id, SoundPath::Primary, false), S_OK);
        },
        [&](SdlMixer& m) {
            // Asked again once the loader has given up: nothing to play.
            loaded = loaded || m.PlayMusic() == E_FAIL;
            EXPECT_FALSE(m.MusicPlaying());
            EXPECT_EQ(m.TakeMusicEvent(), MusicEvent::None);
            return loaded && EffectsDone(m);
        });
    unsetenv(SdlMixer::kSoundFontVariable);
    std::remove(font.c_str());
    EXPECT_TRUE(loaded);
    EXPECT_GT(r.Peak(), 7000) << "the cue is not heard";
    EXPECT_LT(r.Peak(), 9000) << "more than the cue was heard";
}

} // namespace
} // namespace quolis
