#include "audio/Sound.h"

#include "audio/Wav.h"
#include "common/Path.h"
#include "data/DatArchive.h"

#include <algorithm>

namespace quolis {

CSound::~CSound() {
    ReleaseAll();
}

HRESULT CSound::Init(Mixer* mixer, std::string directory, CDatArchive* archive) {
    mixer_ = mixer;
    directory_ = std::move(directory);
    archive_ = archive;
    if (mixer_ == nullptr) {
        return E_FAIL;
    }
    mixer_->SetPathVolume(SoundPath::Primary, primaryVolume_);
    mixer_->SetPathVolume(SoundPath::Secondary, secondaryVolume_);
    return S_OK;
}

HRESULT CSound::Load(std::string_view fileName, std::string_view cueName, bool secondary,
                     bool standardMidi, bool repeatForever) {
    if (byFile_.find(fileName) != byFile_.end()) {
        return E_FAIL;
    }
    if (mixer_ == nullptr) {
        return E_FAIL;
    }
    // The bytes stay in memory: from the archive member, or the loose file.
    ByteBuffer bytes;
    if (archive_ != nullptr && archive_->Archived()) {
        if (Failed(archive_->ReadMember(kArchivePath, fileName, bytes))) {
            return E_FAIL;
        }
    } else {
        std::string path = directory_;
        path += fileName;
        if (!ReadHostFile(HostPath(path), bytes)) {
            return E_FAIL;
        }
    }
    // A MIDI cue would need a second synthesiser beside the music's; the
    // game registers none, so such a cue is refused like an unreadable file.
    if (standardMidi) {
        return E_FAIL;
    }
    PcmSound pcm;
    if (Failed(ReadWav(bytes.data(), bytes.size(), pcm))) {
        return E_FAIL;
    }
    auto cue = std::make_shared<Cue>();
    cue->cueName = std::string(cueName);
    cue->fileName = std::string(fileName);
    cue->secondary = secondary;
    cue->repeatForever = repeatForever;
    cue->sound = mixer_->CreateSound(pcm);
    if (cue->sound == 0) {
        return E_FAIL;
    }
    // Inserting never replaces: a cue name already registered for another
    // file keeps playing that file. The file map holds every loaded file.
    byName_.emplace(cue->cueName, cue);
    byFile_.emplace(cue->fileName, cue);
    return S_OK;
}

HRESULT CSound::Play(std::string_view cueName) {
    if (!enabled_) {
        return S_OK;
    }
    auto it = byName_.find(cueName);
    if (it == byName_.end() || mixer_ == nullptr) {
        return E_FAIL;
    }
    const Cue& cue = *it->second;
    // A failed start is not reported, as the game never checked it.
    mixer_->PlaySound(cue.sound, cue.secondary ? SoundPath::Secondary : SoundPath::Primary,
                      cue.repeatForever);
    return S_OK;
}

void CSound::SetMasterVolume(long centibels) {
    masterVolume_ = std::clamp(centibels, kMasterMin, kMasterMax);
    if (mixer_ != nullptr) {
        mixer_->SetMasterVolume(masterVolume_);
    }
}

void CSound::SetPrimaryVolume(long centibels) {
    primaryVolume_ = std::clamp(centibels, kPathMin, kPathMax);
    if (mixer_ != nullptr) {
        mixer_->SetPathVolume(SoundPath::Primary, primaryVolume_);
    }
}

void CSound::SetSecondaryVolume(long centibels) {
    secondaryVolume_ = std::clamp(centibels, kPathMin, kPathMax);
    if (mixer_ != nullptr) {
        mixer_->SetPathVolume(SoundPath::Secondary, secondaryVolume_);
    }
}

HRESULT CSound::ReleaseAll() {
    if (mixer_ == nullptr) {
        return E_FAIL;
    }
    mixer_->StopAllSounds();
    for (auto& [file, cue] : byFile_) {
        mixer_->ReleaseSound(cue->sound);
    }
    byName_.clear();
    byFile_.clear();
    return S_OK;
}

void CSound::SetEnabled(int flag) {
    if (mixer_ != nullptr) {
        mixer_->StopAllSounds();
    }
    enabled_ = flag;
}

bool CSound::HasCue(std::string_view cueName) const {
    return byName_.find(cueName) != byName_.end();
}

} // namespace quolis
