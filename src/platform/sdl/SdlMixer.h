#pragma once
// The real mixer: SDL2_mixer chunks for the sound effects (one mixer channel
// per sounding instance, each sound kept at its own rate and converted to the
// device's when it plays); the MIDI pieces through one FluidSynth synthesizer
// of our own, fed to SDL2_mixer's music stream (Mix_HookMusic), with a General
// MIDI soundfont found at run time:
//   1. the file named by the environment variable QUOLIS_SOUNDFONT,
//   2. Debian's timgm6mb-soundfont (/usr/share/sounds/sf2/TimGM6mb.sf2),
//   3. other GM soundfonts Debian installs (FluidR3_GM.sf2, default-GM.sf2).
// The soundfont's tables are read once, at the first piece; each piece then
// loads a small bank cut from it with only the presets the piece can select
// (SoundFontSubset.h), and only the samples of the instruments in use are in
// memory (FluidSynth's dynamic sample loading). The instruments a piece asks
// for are loaded with the piece, off the audio thread.
// The end of a piece is noticed on the audio thread; it is queued for the
// game thread (TakeMusicEvent) and announced by an SDL event of type
// MusicEventType(), the counterpart of the window message 0x8001.
#include "platform/MidiPrograms.h"
#include "platform/Mixer.h"
#include "platform/SoundFontSubset.h"

#include <atomic>
#include <cstdint>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

struct Mix_Chunk;
struct _SDL_AudioStream;
typedef struct _fluid_hashtable_t fluid_settings_t;
typedef struct _fluid_synth_t fluid_synth_t;
typedef struct _fluid_player_t fluid_player_t;

namespace quolis {

class SdlMixer final : public Mixer {
public:
    static constexpr const char* kSoundFontVariable = "QUOLIS_SOUNDFONT";
    static constexpr int kInitialChannels = 64;
    static constexpr int kMaxChannels = 256;

    SdlMixer() = default;
    ~SdlMixer() override;
    SdlMixer(const SdlMixer&) = delete;
    SdlMixer& operator=(const SdlMixer&) = delete;

    // Opens the audio device (44100 Hz, 16-bit, stereo unless the device
    // wants otherwise) through SDL's current audio driver (SDL_AUDIODRIVER).
    // E_FAIL when there is no device or another SdlMixer is open.
    HRESULT Open();
    void Close();
    bool IsOpen() const { return open_; }
    // The device's rate and channel count once open.
    int DeviceRate() const { return deviceRate_; }
    int DeviceChannels() const { return deviceChannels_; }

    // The soundfont FluidSynth will use; empty when none was found (MIDI then
    // stays silent: LoadMusic fails). One FluidSynth cannot read keeps every
    // piece silent: none becomes ready.
    static std::string FindSoundFont();
    const std::string& SoundFont() const { return soundFont_; }
    // The SDL event type pushed when a music event waits; 0 before Open.
    static std::uint32_t MusicEventType();

    SoundId CreateSound(const PcmSound& pcm) override;
    void ReleaseSound(SoundId id) override;
    HRESULT PlaySound(SoundId id, SoundPath path, bool loop) override;
    void StopAllSounds() override;
    void SetMasterVolume(long centibels) override;
    void SetPathVolume(SoundPath path, long centibels) override;
    // Bytes of sound held in the device's format: the copies of the short
    // sounds, and those of the longer ones played last.
    std::size_t ConvertedBytes() const;

    // Loading a piece returns at once (E_FAIL for bytes that are no standard
    // MIDI file, or without a soundfont); the soundfont (at the first piece)
    // and the samples of the piece's instruments are read on a worker
    // thread, and PlayMusic before that has finished starts the piece when
    // it has. A piece FluidSynth cannot load stays silent.
    HRESULT LoadMusic(std::vector<std::uint8_t> bytes) override;
    HRESULT PlayMusic() override;
    void StopMusic() override;
    void PauseMusic() override;
    void ResumeMusic() override;
    void ReleaseMusic() override;
    HRESULT SetMusicVolume(long centibels) override;
    MusicEvent TakeMusicEvent() override;
    // Whether the loaded piece has finished loading and can play.
    bool MusicReady();
    // Whether a piece is playing (also while paused) and whether it is
    // paused: what the audio thread renders.
    bool MusicPlaying();
    bool MusicPaused();
    // How many presets the soundfont loaded for the piece holds: the small
    // bank's, or the whole soundfont's when it cannot be cut; 0 while the
    // piece loads or when none could be.
    std::size_t LoadedPresets();

    // Holds the loading of music until ReleaseLoads: a piece loaded (and
    // asked to play) meanwhile waits, then loads and starts as if it had been
    // loaded just then. The program holds the loads until its first frame is
    // on screen, so that the start neither shares the processor with the
    // soundfont nor carries its memory before then. (Sounds are never
    // converted before they first play.)
    void HoldLoads();
    void ReleaseLoads();

private:
    static void RenderMusic(void* self, std::uint8_t* stream, int len);
    static void ApplyGain(int channel, void* stream, int len, void* self);
    void FinishedOnAudioThread();
    void DropMusicEvents();
    void HaltMusic();
    bool StartMusic();
    void StartLoader();
    bool MakeSynth();
    bool LoadWholeSoundFont();
    bool LoadBankFor(const std::vector<MidiProgram>& wanted);
    void DropLoadedBank();
    void PinInstruments(const std::vector<MidiProgram>& wanted);
    void CloseSynth();
    bool GrowChannels();
    Mix_Chunk* ConvertSound(const PcmSound& pcm) const;
    bool StaysConverted(const PcmSound& pcm) const;
    bool Sounding(SoundId id) const;
    void DropOldCopies(SoundId playing);
    void ReleaseAllSounds();

    bool open_ = false;
    int deviceRate_ = 0;
    int deviceChannels_ = 0;
    int channels_ = 0;
    std::string soundFont_;

    // The sound effects (SdlMixerEffects.cpp): each as it was made, with its
    // copy in the device's format while it has one. A short sound keeps its
    // copy; the copies of longer ones are kept for the ones played last,
    // within kRecentBytes (and for any still sounding).
    static constexpr std::size_t kKeptConvertedBytes = 64 * 1024;
    static constexpr std::size_t kRecentBytes = 512 * 1024;
    struct Sound {
        PcmSound pcm;
        Mix_Chunk* converted = nullptr;
        bool keeps = false;         // a short sound: its copy stays
        std::uint64_t lastPlay = 0; // when it last started, in starts
    };
    std::map<SoundId, Sound> sounds_;
    std::uint64_t starts_ = 0;
    std::size_t recentBytes_ = 0;        // the longer sounds' copies
    SoundId playing_[kMaxChannels] = {}; // the sound last started on each channel
    SoundId nextId_ = 1;
    // Read on the audio thread by the gain effect of each channel.
    std::atomic<float> masterGain_{1.0f};
    std::atomic<float> pathGain_[2] = {1.0f, 1.0f};
    std::atomic<int> channelPath_[kMaxChannels] = {};

    // The synthesizer, made by the first loader and kept until Close. Only
    // the loader uses it while a piece loads, only the audio thread while
    // one plays: a load begins after the piece before it has stopped.
    fluid_settings_t* settings_ = nullptr;
    fluid_synth_t* synth_ = nullptr;
    int soundFontId_ = -1;            // -1: not read (yet); -2: FluidSynth could not read it
    std::vector<MidiProgram> pinned_; // instruments kept loaded for the piece
    // The soundfont's tables, when it can be cut, and the small bank loaded
    // from them: its name and the soundfont's presets it holds.
    SoundFontTables tables_;
    bool cutBanks_ = false;
    std::string bankName_;
    std::vector<std::size_t> bankPresets_;
    _SDL_AudioStream* toDevice_ = nullptr; // stereo to the device's channels, if not stereo

    // The piece and its loading: music_ and the flags are shared with the
    // loader thread under musicMutex_; musicBytes_ is written only while no
    // loader runs and kept alive while the loader reads it.
    std::mutex musicMutex_;
    std::thread loader_;
    fluid_player_t* music_ = nullptr;
    bool loading_ = false; // a loader runs, or a load waits for ReleaseLoads
    bool loadsHeld_ = false;
    bool loadWaiting_ = false; // loaded while held; no loader started yet
    bool playRequested_ = false;
    bool musicPaused_ = false;
    std::vector<std::uint8_t> musicBytes_;
    // Music volume in SDL_mixer's steps (0..128), applied by the audio thread.
    std::atomic<int> musicVolume_{128};

    // What the audio thread renders, under audioMutex_ (taken after
    // musicMutex_, never before it).
    std::mutex audioMutex_;
    fluid_player_t* sounding_ = nullptr; // playing, or paused
    bool soundingPaused_ = false;
    int appliedVolume_ = -1;
    std::vector<std::int16_t> stereo_; // render buffer when the device is not stereo

    // Music events, filled on the audio thread. Each carries the generation
    // of the piece it belongs to; a stop, load or restart moves to a new
    // generation so that older events are dropped.
    std::mutex eventMutex_;
    std::vector<std::pair<unsigned, MusicEvent>> events_;
    std::atomic<unsigned> generation_{0};
};

} // namespace quolis
