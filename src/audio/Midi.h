#pragma once
// CMidi: the background music. One standard MIDI file at a time, taken from
// "GameData\MIDI\MIDI.Dat" (or the MIDI folder when the content reader reads
// plain files), played from memory and started again from its beginning each
// time it ends. The name of the piece that should be playing is remembered,
// so switching music on again (or asking for the empty name) restarts it.
#include "common/Status.h"
#include "platform/Mixer.h"

#include <string>
#include <string_view>

namespace quolis {

class CDatArchive;

class CMidi {
public:
    static constexpr const char* kArchivePath = "GameData\\MIDI\\MIDI.Dat";
    // The application message that tells the window a music event waits.
    static constexpr int kGraphEventMessage = 0x8001;
    static constexpr long kVolumeMin = -10000;
    static constexpr long kVolumeMax = 0;
    // Play's answer for a loose file that does not exist.
    static constexpr HRESULT kMissingFile = 2;

    CMidi() = default;
    CMidi(const CMidi&) = delete;
    CMidi& operator=(const CMidi&) = delete;
    ~CMidi() { ReleaseGraph(); }

    // The music graph: the mixer to play through and the content reader (may
    // be null: loose files). Run at every scene build; ReleaseGraph at every
    // scene leave. Returns E_FAIL without a mixer.
    HRESULT InitGraph(Mixer* mixer, CDatArchive* archive);
    void ReleaseGraph();
    bool HasGraph() const { return graph_; }

    // The loose-file folder ("GameData\MIDI\").
    void SetDirectory(std::string directory) { directory_ = std::move(directory); }

    // Starts a piece. The name now playing continues; the empty name starts
    // the remembered piece again when nothing plays; while music is off only
    // the name is remembered. 0 (also when the piece cannot be rendered),
    // kMissingFile for a missing loose file, E_FAIL without a graph.
    HRESULT Play(std::string_view name);
    HRESULT Stop();
    void Pause();
    // Continues the piece, only when one is playing.
    void Resume();
    // Window activation: active resumes, inactive pauses.
    void OnActivate(bool active);
    // Handles the waiting music events (on message kGraphEventMessage, or once
    // per pass of the event loop): a piece that reached its end starts again
    // from the beginning.
    void OnGraphEvent();

    // Clamped to -10000..0 cB and stored; applied when a graph exists (its
    // result is returned), else 0.
    HRESULT SetVolume(long centibels);
    HRESULT AddVolume(long delta) { return SetVolume(volume_ + delta); }
    long GetVolume() const { return volume_; }

    // Stores the flag, then 1 restarts the remembered piece and 0 stops.
    void SetEnabled(int flag);
    int IsEnabled() const { return enabled_; }

    const std::string& CurrentName() const { return currentName_; }
    bool IsPlaying() const { return playing_ != 0; }

private:
    int enabled_ = 1;
    std::string currentName_;
    std::string directory_;
    int playing_ = 0;
    long volume_ = -3000;

    bool graph_ = false;
    Mixer* mixer_ = nullptr;
    CDatArchive* archive_ = nullptr;
};

// One step of the application's music fade toward `target` (cB) by `step`
// per due step: downward (upward false) or upward. `stepDue` tells whether
// the fade timer says a step is due (at least 0.03 s since its last step;
// the music fade never moves that time itself). 1 while fading, 0 when the
// volume has been set to the target.
int FadeMusicVolume(CMidi& midi, long target, bool upward, long step, bool stepDue);

} // namespace quolis
