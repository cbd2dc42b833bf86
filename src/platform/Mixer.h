#pragma once
// The audio mixer: what the sound-effect player and the music player need
// from the machine. SdlMixer (SDL2_mixer, FluidSynth for MIDI) makes the
// sound; RecordingMixer only records what it was asked for (tests).
//
// Volumes are hundredths of a decibel (0 = unchanged, -10000 = silent) and
// become linear gains through CentibelsToGain.
#include "common/Status.h"

#include <cstdint>
#include <vector>

namespace quolis {

// 10^(cB / 2000): -2000 cB is a tenth of the amplitude, +1000 cB about 3.16×.
// Anything at or below -10000 cB is silence (0).
float CentibelsToGain(long centibels);

// Decoded PCM: interleaved signed 16-bit samples.
struct PcmSound {
    int rate = 0;     // frames per second
    int channels = 0; // 1 or 2
    std::vector<std::int16_t> samples;

    std::size_t Frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// Handle of a sound loaded into the mixer; 0 is none.
using SoundId = int;

// The two effect paths: every instance on a path is scaled by that path's
// volume and by the effects' master volume.
enum class SoundPath { Primary = 0, Secondary = 1 };

// Music events reported by TakeMusicEvent.
enum class MusicEvent { None = 0, EndOfStream = 1 };

class Mixer {
public:
    virtual ~Mixer() = default;

    // --- Sound effects -----------------------------------------------------
    // Keeps a copy of the sound; 0 when it cannot be used.
    virtual SoundId CreateSound(const PcmSound& pcm) = 0;
    // Stops its instances and forgets it.
    virtual void ReleaseSound(SoundId id) = 0;
    // Starts a new instance from the beginning; instances already sounding go
    // on. loop: repeat without end. E_FAIL for an unknown sound or when no
    // instance can be started.
    virtual HRESULT PlaySound(SoundId id, SoundPath path, bool loop) = 0;
    // Stops every sounding effect at once.
    virtual void StopAllSounds() = 0;
    virtual void SetMasterVolume(long centibels) = 0;
    virtual void SetPathVolume(SoundPath path, long centibels) = 0;

    // --- Music (one piece at a time) ---------------------------------------
    // Takes a standard MIDI file from memory in place of the current piece
    // (which stops). E_FAIL when the bytes cannot be played; nothing is loaded
    // then.
    virtual HRESULT LoadMusic(std::vector<std::uint8_t> bytes) = 0;
    // Plays the loaded piece once from its beginning; E_FAIL when none.
    virtual HRESULT PlayMusic() = 0;
    virtual void StopMusic() = 0;
    virtual void PauseMusic() = 0;
    // Continues a paused piece; nothing otherwise.
    virtual void ResumeMusic() = 0;
    // Stops and forgets the piece; its pending events are dropped.
    virtual void ReleaseMusic() = 0;
    virtual HRESULT SetMusicVolume(long centibels) = 0;
    // The next event of the current piece (end of stream when it played to
    // its end), None when there is none. Called on the game thread; events of
    // a piece that was stopped, replaced or released since are never reported.
    virtual MusicEvent TakeMusicEvent() = 0;
};

} // namespace quolis
