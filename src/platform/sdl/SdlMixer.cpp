#include "platform/sdl/SdlMixer.h"

#include "platform/sdl/SoundFontBanks.h"

#include <SDL.h>
#include <SDL_mixer.h>
#include <fluidsynth.h>

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

namespace quolis {
namespace {

// SDL_mixer has one device and one music hook per process; the open mixer.
std::atomic<SdlMixer*> g_openMixer{nullptr};
std::atomic<std::uint32_t> g_musicEventType{0};

int MixVolume(float gain) {
    return std::clamp(static_cast<int>(std::lround(gain * MIX_MAX_VOLUME)), 0, MIX_MAX_VOLUME);
}

} // namespace

SdlMixer::~SdlMixer() {
    Close();
}

std::string SdlMixer::FindSoundFont() {
    std::error_code ec;
    if (const char* env = std::getenv(kSoundFontVariable); env != nullptr && *env != '\0') {
        if (std::filesystem::is_regular_file(env, ec)) {
            return env;
        }
    }
    static const char* const kKnown[] = {
        "/usr/share/sounds/sf2/TimGM6mb.sf2",
        "/usr/share/sounds/sf2/FluidR3_GM.sf2",
        "/usr/share/sounds/sf2/default-GM.sf2",
        "/usr/share/soundfonts/default.sf2",
    };
    for (const char* path : kKnown) {
        if (std::filesystem::is_regular_file(path, ec)) {
            return path;
        }
    }
    return {};
}

std::uint32_t SdlMixer::MusicEventType() {
    return g_musicEventType.load();
}

HRESULT SdlMixer::Open() {
    if (open_) {
        return S_OK;
    }
    SdlMixer* expected = nullptr;
    if (!g_openMixer.compare_exchange_strong(expected, this)) {
        return E_FAIL;
    }
    if (SDL_InitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS) != 0) {
        g_openMixer = nullptr;
        return E_FAIL;
    }
    soundFont_ = FindSoundFont();
    if (Mix_OpenAudioDevice(44100, AUDIO_S16SYS, 2, 1024, nullptr,
                            SDL_AUDIO_ALLOW_FREQUENCY_CHANGE | SDL_AUDIO_ALLOW_CHANNELS_CHANGE) !=
        0) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
        g_openMixer = nullptr;
        return E_FAIL;
    }
    Uint16 format = 0;
    Mix_QuerySpec(&deviceRate_, &format, &deviceChannels_);
    if (deviceChannels_ != 2) {
        toDevice_ = SDL_NewAudioStream(AUDIO_S16SYS, 2, deviceRate_, AUDIO_S16SYS,
                                       static_cast<Uint8>(deviceChannels_), deviceRate_);
    }
    channels_ = Mix_AllocateChannels(kInitialChannels);
    if (g_musicEventType.load() == 0) {
        Uint32 type = SDL_RegisterEvents(1);
        if (type != static_cast<Uint32>(-1)) {
            g_musicEventType = type;
        }
    }
    // The music stream is ours: SDL_mixer's own music (a synthesizer and a
    // whole soundfont for every piece) is never used.
    Mix_HookMusic(&SdlMixer::RenderMusic, this);
    open_ = true;
    return S_OK;
}

void SdlMixer::Close() {
    if (!open_) {
        return;
    }
    Mix_HaltChannel(-1);
    ReleaseMusic();
    Mix_HookMusic(nullptr, nullptr);
    CloseSynth();
    if (toDevice_ != nullptr) {
        SDL_FreeAudioStream(toDevice_);
        toDevice_ = nullptr;
    }
    ReleaseAllSounds();
    Mix_CloseAudio();
    SDL_QuitSubSystem(SDL_INIT_AUDIO | SDL_INIT_EVENTS);
    open_ = false;
    g_openMixer = nullptr;
}

// A standard MIDI file: the "MThd" header and at least one whole "MTrk" chunk
// after it. FluidSynth only parses the file when it plays, so anything else
// would "play" and end at once.
static bool LooksLikeMidi(const std::vector<std::uint8_t>& b) {
    auto u32 = [&](std::size_t i) {
        return (std::uint32_t(b[i]) << 24) | (std::uint32_t(b[i + 1]) << 16) |
               (std::uint32_t(b[i + 2]) << 8) | b[i + 3];
    };
    if (b.size() < 22 || std::memcmp(b.data(), "MThd", 4) != 0) {
        return false;
    }
    std::uint32_t headerLength = u32(4);
    if (headerLength < 6 || headerLength > b.size() - 16) {
        return false;
    }
    std::size_t track = 8 + headerLength;
    return std::memcmp(b.data() + track, "MTrk", 4) == 0 && u32(track + 4) <= b.size() - track - 8;
}

HRESULT SdlMixer::LoadMusic(std::vector<std::uint8_t> bytes) {
    ReleaseMusic();
    if (!open_ || soundFont_.empty() || !LooksLikeMidi(bytes)) {
        return E_FAIL;
    }
    // The soundfont (at the first piece) and the piece's instruments are read
    // on a worker thread, so that no frame waits for them. A piece asked to
    // play before it is ready starts as soon as it is.
    musicBytes_ = std::move(bytes);
    std::lock_guard<std::mutex> lock(musicMutex_);
    loading_ = true;
    playRequested_ = false;
    musicPaused_ = false;
    if (loadsHeld_) {
        loadWaiting_ = true;
        return S_OK;
    }
    StartLoader();
    return S_OK;
}

void SdlMixer::HoldLoads() {
    std::lock_guard<std::mutex> lock(musicMutex_);
    loadsHeld_ = true;
}

void SdlMixer::ReleaseLoads() {
    std::lock_guard<std::mutex> lock(musicMutex_);
    loadsHeld_ = false;
    if (loadWaiting_) {
        loadWaiting_ = false;
        StartLoader();
    }
}

// On the loader thread, the first time: the synthesizer at the device's rate
// and the soundfont's tables. A soundfont that can be cut is read a small bank
// at a time (LoadBankFor); one that cannot is loaded whole, and its piano and
// standard drum kit, which every channel starts with, stay loaded.
bool SdlMixer::MakeSynth() {
    if (soundFontId_ == -2) {
        return false;
    }
    if (synth_ != nullptr) {
        return true;
    }
    settings_ = new_fluid_settings();
    if (settings_ == nullptr) {
        soundFontId_ = -2;
        return false;
    }
    fluid_settings_setnum(settings_, "synth.sample-rate", static_cast<double>(deviceRate_));
    fluid_settings_setint(settings_, "synth.dynamic-sample-loading", 1);
    // Pinning samples in RAM needs a locked-memory limit the game does not ask for.
    fluid_settings_setint(settings_, "synth.lock-memory", 0);
    synth_ = new_fluid_synth(settings_);
    if (synth_ != nullptr) {
        AddBankLoader(synth_, settings_);
        cutBanks_ = ReadSoundFontTables(soundFont_, tables_);
        if (!cutBanks_ && !LoadWholeSoundFont()) {
            soundFontId_ = -2;
        }
    }
    if (synth_ == nullptr || soundFontId_ == -2) {
        soundFontId_ = -2;
        CloseSynth();
        return false;
    }
    return true;
}

bool SdlMixer::LoadWholeSoundFont() {
    int id = fluid_synth_sfload(synth_, soundFont_.c_str(), 1);
    if (id == FLUID_FAILED) {
        return false;
    }
    soundFontId_ = id;
    fluid_synth_pin_preset(synth_, soundFontId_, 0, 0);
    fluid_synth_pin_preset(synth_, soundFontId_, 128, 0);
    return true;
}

// On the loader thread: the small bank of the presets the piece can reach
// replaces the one before, unless it would hold the same presets. The new
// bank is loaded first, so that the channels move straight to its presets,
// then the old one goes. When FluidSynth refuses a small bank, the whole
// soundfont is loaded instead, and kept.
bool SdlMixer::LoadBankFor(const std::vector<MidiProgram>& wanted) {
    if (!cutBanks_) {
        return soundFontId_ >= 0;
    }
    std::vector<std::size_t> presets = tables_.Reachable(wanted);
    if (soundFontId_ >= 0 && presets == bankPresets_) {
        return true;
    }
    std::string name = RegisterBank(soundFont_, tables_.Subset(presets));
    const int id = fluid_synth_sfload(synth_, name.c_str(), 1);
    DropLoadedBank();
    if (id == FLUID_FAILED) {
        DropBank(name);
        cutBanks_ = false;
        tables_ = SoundFontTables();
        if (!LoadWholeSoundFont()) {
            soundFontId_ = -2;
            return false;
        }
        return true;
    }
    bankName_ = std::move(name);
    soundFontId_ = id;
    bankPresets_ = std::move(presets);
    fluid_synth_pin_preset(synth_, soundFontId_, 0, 0);
    fluid_synth_pin_preset(synth_, soundFontId_, 128, 0);
    return true;
}

// The small bank loaded, with its samples, goes; nothing is playing, and the
// channels keep presets of the bank loaded after it (if any).
void SdlMixer::DropLoadedBank() {
    if (bankName_.empty()) {
        return;
    }
    if (synth_ != nullptr && soundFontId_ >= 0) {
        fluid_synth_sfunload(synth_, soundFontId_, 0);
    }
    DropBank(bankName_);
    bankName_.clear();
    bankPresets_.clear();
    pinned_.clear();
    soundFontId_ = -1;
}

// On the loader thread: the samples of the piece's instruments are read now,
// not when the audio thread meets the program change; those of the piece
// before that this one does not use may go (they stay while a channel still
// has them selected).
void SdlMixer::PinInstruments(const std::vector<MidiProgram>& wanted) {
    std::vector<MidiProgram> now;
    for (const MidiProgram& p : wanted) {
        if (fluid_synth_pin_preset(synth_, soundFontId_, p.bank, p.program) == FLUID_OK) {
            now.push_back(p);
        } else if (p.bank != 0 && p.bank != 128 &&
                   fluid_synth_pin_preset(synth_, soundFontId_, 0, p.program) == FLUID_OK) {
            // A bank the soundfont lacks falls back to the same program in bank 0.
            now.push_back({0, p.program});
        }
    }
    std::sort(now.begin(), now.end());
    for (const MidiProgram& p : pinned_) {
        const bool always = p.program == 0 && (p.bank == 0 || p.bank == 128);
        if (!always && !std::binary_search(now.begin(), now.end(), p)) {
            fluid_synth_unpin_preset(synth_, soundFontId_, p.bank, p.program);
        }
    }
    pinned_ = std::move(now);
}

void SdlMixer::CloseSynth() {
    DropLoadedBank();
    if (synth_ != nullptr) {
        delete_fluid_synth(synth_);
        synth_ = nullptr;
    }
    if (settings_ != nullptr) {
        delete_fluid_settings(settings_);
        settings_ = nullptr;
    }
    pinned_.clear();
    tables_ = SoundFontTables();
    cutBanks_ = false;
    // A soundfont FluidSynth could not read stays refused; any other is read
    // again by the next synthesizer.
    if (soundFontId_ != -2) {
        soundFontId_ = -1;
    }
}

// Called with musicMutex_ held, loading_ set and no loader running.
void SdlMixer::StartLoader() {
    loader_ = std::thread([this] {
        fluid_player_t* player = nullptr;
        const std::vector<MidiProgram> wanted =
            MidiProgramsUsed(musicBytes_.data(), musicBytes_.size());
        if (MakeSynth() && LoadBankFor(wanted)) {
            PinInstruments(wanted);
            player = new_fluid_player(synth_);
            // The player copies the file; FluidSynth parses it when it starts.
            if (player != nullptr &&
                fluid_player_add_mem(player, musicBytes_.data(), musicBytes_.size()) != FLUID_OK) {
                delete_fluid_player(player);
                player = nullptr;
            }
        }
        std::lock_guard<std::mutex> done(musicMutex_);
        music_ = player;
        loading_ = false;
        if (music_ != nullptr && playRequested_) {
            StartMusic();
        }
    });
}

void SdlMixer::HaltMusic() {
    {
        std::lock_guard<std::mutex> audio(audioMutex_);
        if (sounding_ != nullptr) {
            fluid_player_stop(sounding_);
            sounding_ = nullptr;
        }
        soundingPaused_ = false;
    }
    DropMusicEvents();
}

// Called with musicMutex_ held and music_ loaded. The piece plays once from
// its beginning; a stop before keeps the voices it had until it starts again,
// and starting from the beginning silences them.
bool SdlMixer::StartMusic() {
    HaltMusic();
    std::lock_guard<std::mutex> audio(audioMutex_);
    fluid_player_set_loop(music_, 1);
    fluid_player_seek(music_, 0);
    if (fluid_player_play(music_) != FLUID_OK) {
        return false;
    }
    sounding_ = music_;
    soundingPaused_ = musicPaused_;
    return true;
}

HRESULT SdlMixer::PlayMusic() {
    std::lock_guard<std::mutex> lock(musicMutex_);
    musicPaused_ = false;
    if (loading_) {
        playRequested_ = true;
        return S_OK;
    }
    if (music_ == nullptr) {
        return E_FAIL;
    }
    return StartMusic() ? S_OK : E_FAIL;
}

void SdlMixer::StopMusic() {
    if (open_) {
        std::lock_guard<std::mutex> lock(musicMutex_);
        playRequested_ = false;
        HaltMusic();
    }
}

void SdlMixer::PauseMusic() {
    if (open_) {
        std::lock_guard<std::mutex> lock(musicMutex_);
        musicPaused_ = true;
        std::lock_guard<std::mutex> audio(audioMutex_);
        soundingPaused_ = true;
    }
}

void SdlMixer::ResumeMusic() {
    if (open_) {
        std::lock_guard<std::mutex> lock(musicMutex_);
        musicPaused_ = false;
        std::lock_guard<std::mutex> audio(audioMutex_);
        soundingPaused_ = false;
    }
}

void SdlMixer::ReleaseMusic() {
    if (loader_.joinable()) {
        loader_.join();
    }
    std::lock_guard<std::mutex> lock(musicMutex_);
    playRequested_ = false;
    if (loadWaiting_) {
        // Let go before its loading began: nothing was loaded.
        loadWaiting_ = false;
        loading_ = false;
    }
    if (music_ != nullptr) {
        HaltMusic();
        // No rendering runs now, so the player can leave the synthesizer,
        // which drops what the piece left sounding and its instruments.
        delete_fluid_player(music_);
        music_ = nullptr;
        fluid_synth_system_reset(synth_);
    }
    musicBytes_.clear();
    musicBytes_.shrink_to_fit();
    DropMusicEvents();
}

bool SdlMixer::MusicReady() {
    std::lock_guard<std::mutex> lock(musicMutex_);
    return !loading_ && music_ != nullptr;
}

std::size_t SdlMixer::LoadedPresets() {
    std::lock_guard<std::mutex> lock(musicMutex_);
    if (loading_ || synth_ == nullptr || soundFontId_ < 0) {
        return 0;
    }
    fluid_sfont_t* font = fluid_synth_get_sfont_by_id(synth_, soundFontId_);
    if (font == nullptr) {
        return 0;
    }
    std::size_t n = 0;
    fluid_sfont_iteration_start(font);
    while (fluid_sfont_iteration_next(font) != nullptr) {
        ++n;
    }
    return n;
}

bool SdlMixer::MusicPlaying() {
    std::lock_guard<std::mutex> audio(audioMutex_);
    return sounding_ != nullptr;
}

bool SdlMixer::MusicPaused() {
    std::lock_guard<std::mutex> audio(audioMutex_);
    return sounding_ != nullptr && soundingPaused_;
}

HRESULT SdlMixer::SetMusicVolume(long centibels) {
    if (!open_) {
        return E_FAIL;
    }
    // The audio thread applies it: the synthesizer may be busy loading.
    musicVolume_ = MixVolume(CentibelsToGain(centibels));
    return S_OK;
}

void SdlMixer::DropMusicEvents() {
    std::lock_guard<std::mutex> lock(eventMutex_);
    ++generation_;
    events_.clear();
}

MusicEvent SdlMixer::TakeMusicEvent() {
    std::lock_guard<std::mutex> lock(eventMutex_);
    while (!events_.empty()) {
        auto [generation, event] = events_.front();
        events_.erase(events_.begin());
        if (generation == generation_.load()) {
            return event;
        }
    }
    return MusicEvent::None;
}

// Audio thread, from SDL_mixer's mixing before the sound effects are added:
// the stream holds silence on entry.
void SdlMixer::RenderMusic(void* self, std::uint8_t* stream, int len) {
    auto* mixer = static_cast<SdlMixer*>(self);
    std::lock_guard<std::mutex> audio(mixer->audioMutex_);
    if (mixer->sounding_ == nullptr || mixer->soundingPaused_ || mixer->synth_ == nullptr) {
        return;
    }
    // SDL_mixer's steps with the scale its FluidSynth music used: 1.2 at full
    // volume (FluidSynth's own default is 0.2).
    const int volume = mixer->musicVolume_.load(std::memory_order_relaxed);
    if (volume != mixer->appliedVolume_) {
        fluid_synth_set_gain(
            mixer->synth_, static_cast<float>(volume * 1.2 / static_cast<double>(MIX_MAX_VOLUME)));
        mixer->appliedVolume_ = volume;
    }
    if (mixer->toDevice_ == nullptr) {
        const int frames = len / static_cast<int>(2 * sizeof(std::int16_t));
        fluid_synth_write_s16(mixer->synth_, frames, stream, 0, 2, stream, 1, 2);
    } else {
        // Rendered in stereo and converted to the device's channels.
        constexpr int kFrames = 1024;
        mixer->stereo_.resize(kFrames * 2);
        while (SDL_AudioStreamAvailable(mixer->toDevice_) < len) {
            std::int16_t* buffer = mixer->stereo_.data();
            fluid_synth_write_s16(mixer->synth_, kFrames, buffer, 0, 2, buffer, 1, 2);
            if (SDL_AudioStreamPut(mixer->toDevice_, buffer,
                                   static_cast<int>(kFrames * 2 * sizeof(std::int16_t))) != 0) {
                break;
            }
        }
        SDL_AudioStreamGet(mixer->toDevice_, stream, len);
    }
    if (fluid_player_get_status(mixer->sounding_) != FLUID_PLAYER_PLAYING) {
        mixer->sounding_ = nullptr;
        mixer->FinishedOnAudioThread();
    }
}

// Audio thread, audioMutex_ held: the piece played to its end. Queued for the
// game thread with an event for its event loop.
void SdlMixer::FinishedOnAudioThread() {
    {
        std::lock_guard<std::mutex> lock(eventMutex_);
        events_.emplace_back(generation_.load(), MusicEvent::EndOfStream);
    }
    if (Uint32 type = g_musicEventType.load(); type != 0) {
        SDL_Event e;
        SDL_zero(e);
        e.type = type;
        e.user.code = 0x8001;
        SDL_PushEvent(&e);
    }
}

} // namespace quolis
