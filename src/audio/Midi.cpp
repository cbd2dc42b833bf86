#include "audio/Midi.h"

#include "common/Path.h"
#include "data/DatArchive.h"

#include <algorithm>
#include <filesystem>

namespace quolis {

HRESULT CMidi::InitGraph(Mixer* mixer, CDatArchive* archive) {
    if (graph_) {
        ReleaseGraph();
    }
    mixer_ = mixer;
    archive_ = archive;
    graph_ = mixer_ != nullptr;
    return graph_ ? S_OK : E_FAIL;
}

void CMidi::ReleaseGraph() {
    if (graph_) {
        mixer_->ReleaseMusic();
    }
    graph_ = false;
}

HRESULT CMidi::Play(std::string_view name) {
    if (!graph_) {
        return E_FAIL;
    }
    if (!name.empty() && name == currentName_) {
        return S_OK; // the piece goes on
    }
    if (name.empty()) {
        if (playing_) {
            return S_OK;
        }
    } else {
        currentName_ = std::string(name);
    }
    if (!enabled_) {
        return S_OK; // the name stays remembered
    }
    playing_ = 1;
    // A fresh graph for every start: what the old one played and any event
    // it still had waiting are gone.
    Mixer* mixer = mixer_;
    CDatArchive* archive = archive_;
    ReleaseGraph();
    InitGraph(mixer, archive);

    ByteBuffer bytes;
    if (archive_ != nullptr && archive_->Archived()) {
        // An absent member reads as no bytes, which cannot be rendered.
        if (Failed(archive_->ReadMember(kArchivePath, currentName_, bytes))) {
            return kMissingFile;
        }
    } else {
        std::string host = HostPath(directory_ + currentName_);
        std::error_code ec;
        if (!std::filesystem::exists(host, ec)) {
            return kMissingFile;
        }
        ReadHostFile(host, bytes); // a folder or unreadable file renders nothing
    }
    if (Succeeded(mixer_->LoadMusic(std::move(bytes))) && Succeeded(mixer_->PlayMusic())) {
        SetVolume(volume_);
    }
    return S_OK;
}

HRESULT CMidi::Stop() {
    if (!graph_) {
        return S_OK;
    }
    playing_ = 0;
    mixer_->StopMusic();
    return S_OK;
}

void CMidi::Pause() {
    if (graph_) {
        mixer_->PauseMusic();
    }
}

void CMidi::Resume() {
    if (graph_ && playing_) {
        mixer_->ResumeMusic();
    }
}

void CMidi::OnActivate(bool active) {
    if (active) {
        Resume();
    } else {
        Pause();
    }
}

void CMidi::OnGraphEvent() {
    while (graph_) {
        MusicEvent e = mixer_->TakeMusicEvent();
        if (e == MusicEvent::None) {
            return;
        }
        if (e == MusicEvent::EndOfStream) {
            Stop();
            Play("");
        }
    }
}

HRESULT CMidi::SetVolume(long centibels) {
    volume_ = std::clamp(centibels, kVolumeMin, kVolumeMax);
    if (!graph_) {
        return S_OK;
    }
    return mixer_->SetMusicVolume(volume_);
}

void CMidi::SetEnabled(int flag) {
    enabled_ = flag;
    if (flag == 1) {
        Play("");
    } else if (flag == 0) {
        Stop();
    }
}

int FadeMusicVolume(CMidi& midi, long target, bool upward, long step, bool stepDue) {
    const long volume = midi.GetVolume();
    if (!upward) {
        if (target >= volume) {
            midi.SetVolume(target);
            return 0;
        }
        step = -step;
    } else if (volume >= target) {
        midi.SetVolume(target);
        return 0;
    }
    if (stepDue) {
        midi.AddVolume(step);
    }
    return 1;
}

} // namespace quolis
