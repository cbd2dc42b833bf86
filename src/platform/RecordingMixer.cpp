#include "platform/RecordingMixer.h"

#include <algorithm>
#include <cstring>

namespace quolis {

SoundId RecordingMixer::CreateSound(const PcmSound& pcm) {
    if (pcm.rate <= 0 || (pcm.channels != 1 && pcm.channels != 2) || pcm.samples.empty()) {
        log_.push_back("CreateSound failed");
        return 0;
    }
    SoundId id = nextId_++;
    sounds_[id] = pcm;
    log_.push_back("CreateSound " + std::to_string(id));
    return id;
}

void RecordingMixer::ReleaseSound(SoundId id) {
    std::erase_if(sounding_, [id](const Instance& i) { return i.id == id; });
    sounds_.erase(id);
    log_.push_back("ReleaseSound " + std::to_string(id));
}

HRESULT RecordingMixer::PlaySound(SoundId id, SoundPath path, bool loop) {
    if (sounds_.count(id) == 0) {
        log_.push_back("PlaySound failed");
        return E_FAIL;
    }
    sounding_.push_back({id, path, loop});
    log_.push_back("PlaySound " + std::to_string(id));
    return S_OK;
}

void RecordingMixer::StopAllSounds() {
    sounding_.clear();
    log_.push_back("StopAllSounds");
}

void RecordingMixer::SetMasterVolume(long centibels) {
    master_ = centibels;
    log_.push_back("SetMasterVolume " + std::to_string(centibels));
}

void RecordingMixer::SetPathVolume(SoundPath path, long centibels) {
    path_[static_cast<int>(path)] = centibels;
    log_.push_back("SetPathVolume " + std::to_string(static_cast<int>(path)) + " " +
                   std::to_string(centibels));
}

HRESULT RecordingMixer::LoadMusic(std::vector<std::uint8_t> bytes) {
    events_.clear();
    // Only what looks like a standard MIDI file can be played.
    if (bytes.size() < 14 || std::memcmp(bytes.data(), "MThd", 4) != 0) {
        musicState_ = MusicState::None;
        musicBytes_.clear();
        log_.push_back("LoadMusic failed");
        return E_FAIL;
    }
    musicBytes_ = std::move(bytes);
    musicState_ = MusicState::Stopped;
    log_.push_back("LoadMusic");
    return S_OK;
}

HRESULT RecordingMixer::PlayMusic() {
    if (musicState_ == MusicState::None) {
        log_.push_back("PlayMusic failed");
        return E_FAIL;
    }
    events_.clear();
    musicState_ = MusicState::Playing;
    ++musicStarts_;
    log_.push_back("PlayMusic");
    return S_OK;
}

void RecordingMixer::StopMusic() {
    if (musicState_ != MusicState::None) {
        musicState_ = MusicState::Stopped;
    }
    events_.clear();
    log_.push_back("StopMusic");
}

void RecordingMixer::PauseMusic() {
    if (musicState_ == MusicState::Playing) {
        musicState_ = MusicState::Paused;
    }
    log_.push_back("PauseMusic");
}

void RecordingMixer::ResumeMusic() {
    if (musicState_ == MusicState::Paused) {
        musicState_ = MusicState::Playing;
    }
    log_.push_back("ResumeMusic");
}

void RecordingMixer::ReleaseMusic() {
    musicState_ = MusicState::None;
    musicBytes_.clear();
    events_.clear();
    log_.push_back("ReleaseMusic");
}

HRESULT RecordingMixer::SetMusicVolume(long centibels) {
    musicVolume_ = centibels;
    log_.push_back("SetMusicVolume " + std::to_string(centibels));
    return S_OK;
}

MusicEvent RecordingMixer::TakeMusicEvent() {
    if (events_.empty()) {
        return MusicEvent::None;
    }
    MusicEvent e = events_.front();
    events_.pop_front();
    return e;
}

void RecordingMixer::FinishMusic() {
    if (musicState_ != MusicState::Playing) {
        return;
    }
    musicState_ = MusicState::Stopped;
    events_.push_back(MusicEvent::EndOfStream);
}

void RecordingMixer::FinishSounds() {
    std::erase_if(sounding_, [](const Instance& i) { return !i.loop; });
}

int RecordingMixer::SoundingCount(SoundId id) const {
    return static_cast<int>(std::count_if(sounding_.begin(), sounding_.end(),
                                          [id](const Instance& i) { return i.id == id; }));
}

const PcmSound* RecordingMixer::Sound(SoundId id) const {
    auto it = sounds_.find(id);
    return it == sounds_.end() ? nullptr : &it->second;
}

} // namespace quolis
