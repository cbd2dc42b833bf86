#pragma once
// A mixer without an audio device: it keeps the sounds it is given, the
// instances that would be sounding, the volumes and the music state, and a
// log of the calls. Tests drive the end of a piece with FinishMusic.
#include "platform/Mixer.h"

#include <deque>
#include <map>
#include <string>
#include <vector>

namespace quolis {

class RecordingMixer final : public Mixer {
public:
    struct Instance {
        SoundId id = 0;
        SoundPath path = SoundPath::Primary;
        bool loop = false;
    };
    enum class MusicState { None, Stopped, Playing, Paused };

    SoundId CreateSound(const PcmSound& pcm) override;
    void ReleaseSound(SoundId id) override;
    HRESULT PlaySound(SoundId id, SoundPath path, bool loop) override;
    void StopAllSounds() override;
    void SetMasterVolume(long centibels) override;
    void SetPathVolume(SoundPath path, long centibels) override;

    HRESULT LoadMusic(std::vector<std::uint8_t> bytes) override;
    HRESULT PlayMusic() override;
    void StopMusic() override;
    void PauseMusic() override;
    void ResumeMusic() override;
    void ReleaseMusic() override;
    HRESULT SetMusicVolume(long centibels) override;
    MusicEvent TakeMusicEvent() override;

    // --- For tests ---------------------------------------------------------
    // The piece plays to its end: it stops and an end-of-stream event waits.
    // Nothing happens unless it is playing.
    void FinishMusic();
    // Every non-looping instance ends.
    void FinishSounds();

    const std::vector<Instance>& Sounding() const { return sounding_; }
    // Instances of one sound that are sounding now.
    int SoundingCount(SoundId id) const;
    const PcmSound* Sound(SoundId id) const;
    std::size_t LiveSoundCount() const { return sounds_.size(); }
    long MasterVolume() const { return master_; }
    long PathVolume(SoundPath path) const { return path_[static_cast<int>(path)]; }

    MusicState Music() const { return musicState_; }
    const std::vector<std::uint8_t>& MusicBytes() const { return musicBytes_; }
    // How many times a piece was started from its beginning.
    int MusicStarts() const { return musicStarts_; }
    long MusicVolume() const { return musicVolume_; }
    // "PlaySound 3", "LoadMusic", "PlayMusic", ... in call order.
    const std::vector<std::string>& Log() const { return log_; }
    void ClearLog() { log_.clear(); }

private:
    std::map<SoundId, PcmSound> sounds_;
    SoundId nextId_ = 1;
    std::vector<Instance> sounding_;
    long master_ = 0;
    long path_[2] = {0, 0};

    MusicState musicState_ = MusicState::None;
    std::vector<std::uint8_t> musicBytes_;
    int musicStarts_ = 0;
    long musicVolume_ = 0;
    std::deque<MusicEvent> events_;
    std::vector<std::string> log_;
};

} // namespace quolis
