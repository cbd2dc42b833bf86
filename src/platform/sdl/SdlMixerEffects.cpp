// The sound effects of SdlMixer: SDL_mixer chunks, one mixer channel per
// sounding instance.
//
// A sound is kept as it was made, at its own rate and channels (a battle's
// effects, mostly 22 kHz mono, take a quarter of the memory they would in the
// device's format), and converted to the device's format when it first plays:
// about a millisecond for a second of sound. A short one (the keys, played at
// every press) keeps that copy. Of the longer ones, the copies of those
// played last stay, within half a megabyte, so that a sound played again and
// again (a unit's steps) is converted once; an older copy goes when its sound
// is not sounding.
#include "platform/sdl/SdlMixer.h"

#include <SDL.h>
#include <SDL_mixer.h>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace quolis {
namespace {

// A stream from the sound's format to the device's; nullptr when SDL cannot
// convert between them.
SDL_AudioStream* NewConversion(const PcmSound& pcm, int deviceChannels, int deviceRate) {
    return SDL_NewAudioStream(AUDIO_S16SYS, static_cast<Uint8>(pcm.channels), pcm.rate,
                              AUDIO_S16SYS, static_cast<Uint8>(deviceChannels), deviceRate);
}

} // namespace

SoundId SdlMixer::CreateSound(const PcmSound& pcm) {
    if (!open_ || pcm.rate <= 0 || (pcm.channels != 1 && pcm.channels != 2) ||
        pcm.samples.empty()) {
        return 0;
    }
    // Refused now, as before, if it could never be converted.
    SDL_AudioStream* stream = NewConversion(pcm, deviceChannels_, deviceRate_);
    if (stream == nullptr) {
        return 0;
    }
    SDL_FreeAudioStream(stream);
    SoundId id = nextId_++;
    sounds_[id].pcm = pcm;
    return id;
}

// SDL's audio stream keeps back the last stretch of a resampled sound even
// when flushed (1024 frames at 44.1 kHz: the end of every effect, half of a
// short key click, went missing). Silence after the sound pushes all of it
// through, and the output is cut to the sound's own length.
Mix_Chunk* SdlMixer::ConvertSound(const PcmSound& pcm) const {
    SDL_AudioStream* stream = NewConversion(pcm, deviceChannels_, deviceRate_);
    if (stream == nullptr) {
        return nullptr;
    }
    // Twice what it keeps back, in the sound's own frames.
    static const std::int16_t kSilence[2048] = {};
    const double padFrames = std::ceil(2048.0 * pcm.rate / deviceRate_) + 64;
    const int padBytes = static_cast<int>(std::min(padFrames, 1e6) * pcm.channels *
                                          static_cast<double>(sizeof(std::int16_t)));
    const double frames = std::round(static_cast<double>(pcm.Frames()) * deviceRate_ / pcm.rate);
    const double wanted = frames * deviceChannels_ * static_cast<double>(sizeof(std::int16_t));
    bool put = SDL_AudioStreamPut(stream, pcm.samples.data(),
                                  static_cast<int>(pcm.samples.size() * sizeof(std::int16_t))) == 0;
    for (int padded = 0; put && padded < padBytes; padded += sizeof kSilence) {
        put = SDL_AudioStreamPut(stream, kSilence, sizeof kSilence) == 0;
    }
    Uint8* buffer = nullptr;
    int outBytes = 0;
    if (put && SDL_AudioStreamFlush(stream) == 0 && wanted < INT32_MAX) {
        outBytes = std::min(SDL_AudioStreamAvailable(stream), static_cast<int>(wanted));
        buffer = outBytes > 0 ? static_cast<Uint8*>(SDL_malloc(outBytes)) : nullptr;
        if (buffer != nullptr) {
            outBytes = SDL_AudioStreamGet(stream, buffer, outBytes);
        }
    }
    SDL_FreeAudioStream(stream);
    if (buffer == nullptr || outBytes <= 0) {
        SDL_free(buffer);
        return nullptr;
    }
    auto* chunk = static_cast<Mix_Chunk*>(SDL_malloc(sizeof(Mix_Chunk)));
    if (chunk == nullptr) {
        SDL_free(buffer);
        return nullptr;
    }
    chunk->allocated = 1; // Mix_FreeChunk frees the samples with SDL_free
    chunk->abuf = buffer;
    chunk->alen = static_cast<Uint32>(outBytes);
    chunk->volume = MIX_MAX_VOLUME;
    return chunk;
}

bool SdlMixer::StaysConverted(const PcmSound& pcm) const {
    const double bytes = static_cast<double>(pcm.Frames()) * deviceRate_ / pcm.rate *
                         deviceChannels_ * static_cast<double>(sizeof(std::int16_t));
    return bytes <= static_cast<double>(kKeptConvertedBytes);
}

// Whether an instance of the sound is still playing.
bool SdlMixer::Sounding(SoundId id) const {
    for (int i = 0; i < channels_ && i < kMaxChannels; ++i) {
        if (playing_[i] == id && Mix_Playing(i) != 0) {
            return true;
        }
    }
    return false;
}

// The copies of the longer sounds played longest ago go while they are over
// the budget, except the one just started and any still sounding.
void SdlMixer::DropOldCopies(SoundId playing) {
    while (recentBytes_ > kRecentBytes) {
        Sound* oldest = nullptr;
        for (auto& [id, sound] : sounds_) {
            if (id != playing && sound.converted != nullptr && !sound.keeps &&
                (oldest == nullptr || sound.lastPlay < oldest->lastPlay) && !Sounding(id)) {
                oldest = &sound;
            }
        }
        if (oldest == nullptr) {
            return;
        }
        recentBytes_ -= oldest->converted->alen;
        Mix_FreeChunk(oldest->converted);
        oldest->converted = nullptr;
    }
}

std::size_t SdlMixer::ConvertedBytes() const {
    std::size_t bytes = 0;
    for (const auto& [id, sound] : sounds_) {
        bytes += sound.converted != nullptr ? sound.converted->alen : 0;
    }
    return bytes;
}

void SdlMixer::ReleaseSound(SoundId id) {
    auto it = sounds_.find(id);
    if (it == sounds_.end()) {
        return;
    }
    if (it->second.converted != nullptr) {
        if (!it->second.keeps) {
            recentBytes_ -= it->second.converted->alen;
        }
        Mix_FreeChunk(it->second.converted); // halts the channels that play it
    }
    for (SoundId& p : playing_) {
        p = p == id ? 0 : p;
    }
    sounds_.erase(it);
}

void SdlMixer::ReleaseAllSounds() {
    Mix_HaltChannel(-1);
    for (auto& [id, sound] : sounds_) {
        if (sound.converted != nullptr) {
            Mix_FreeChunk(sound.converted);
        }
    }
    sounds_.clear();
    recentBytes_ = 0;
    std::fill(std::begin(playing_), std::end(playing_), 0);
}

bool SdlMixer::GrowChannels() {
    if (channels_ >= kMaxChannels) {
        return false;
    }
    channels_ = Mix_AllocateChannels(std::min(channels_ * 2, kMaxChannels));
    return channels_ > 0;
}

void SdlMixer::ApplyGain(int channel, void* stream, int len, void* self) {
    auto* mixer = static_cast<SdlMixer*>(self);
    if (channel < 0 || channel >= kMaxChannels) {
        return;
    }
    const int path = mixer->channelPath_[channel].load(std::memory_order_relaxed);
    const float gain = mixer->masterGain_.load(std::memory_order_relaxed) *
                       mixer->pathGain_[path].load(std::memory_order_relaxed);
    if (gain == 1.0f) {
        return;
    }
    auto* samples = static_cast<Sint16*>(stream);
    const int count = len / static_cast<int>(sizeof(Sint16));
    for (int i = 0; i < count; ++i) {
        float v = samples[i] * gain;
        samples[i] = static_cast<Sint16>(std::clamp(v, -32768.0f, 32767.0f));
    }
}

HRESULT SdlMixer::PlaySound(SoundId id, SoundPath path, bool loop) {
    auto it = sounds_.find(id);
    if (!open_ || it == sounds_.end()) {
        return E_FAIL;
    }
    // A channel drops its effects whenever it stops, so the gain is attached
    // to an idle channel just before the instance starts on it.
    int channel = -1;
    for (int i = 0; i < channels_ && channel < 0; ++i) {
        if (Mix_Playing(i) == 0) {
            channel = i;
        }
    }
    if (channel < 0 && GrowChannels()) {
        channel = Mix_Playing(channels_ - 1) == 0 ? channels_ - 1 : -1;
    }
    if (channel < 0 || channel >= kMaxChannels) {
        return E_FAIL;
    }
    Sound& sound = it->second;
    if (sound.converted == nullptr) {
        sound.converted = ConvertSound(sound.pcm);
        if (sound.converted == nullptr) {
            return E_FAIL;
        }
        sound.keeps = StaysConverted(sound.pcm);
        if (!sound.keeps) {
            recentBytes_ += sound.converted->alen;
        }
    }
    sound.lastPlay = ++starts_;
    playing_[channel] = id;
    channelPath_[channel] = static_cast<int>(path);
    Mix_Volume(channel, MIX_MAX_VOLUME);
    Mix_UnregisterAllEffects(channel);
    Mix_RegisterEffect(channel, &SdlMixer::ApplyGain, nullptr, this);
    const bool started = Mix_PlayChannel(channel, sound.converted, loop ? -1 : 0) >= 0;
    DropOldCopies(id);
    return started ? S_OK : E_FAIL;
}

void SdlMixer::StopAllSounds() {
    if (open_) {
        Mix_HaltChannel(-1);
    }
}

void SdlMixer::SetMasterVolume(long centibels) {
    masterGain_ = CentibelsToGain(centibels);
}

void SdlMixer::SetPathVolume(SoundPath path, long centibels) {
    pathGain_[static_cast<int>(path)] = CentibelsToGain(centibels);
}

} // namespace quolis
