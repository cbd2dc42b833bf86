#pragma once
// The script's music and sound statements on the game's players.
#include "audio/Midi.h"
#include "audio/Sound.h"
#include "script/ScriptPorts.h"

namespace quolis {

class CScriptAudioPort final : public ScriptAudio {
public:
    CScriptAudioPort(CSound& sound, CMidi& midi) : sound_(sound), midi_(midi) {}

    void PlayMidi(std::string_view file) override { midi_.Play(file); }
    void StopMidi() override { midi_.Stop(); }
    void SetMidiVolume(std::int32_t centiBel) override { midi_.SetVolume(centiBel); }
    // A file registered before keeps its first cue name (the player refuses
    // a second registration), as "SELoad" of an already loaded file does.
    void LoadCue(std::string_view cue, std::string_view file) override { sound_.Load(file, cue); }
    void PlayCue(std::string_view cue) override { sound_.Play(cue); }

private:
    CSound& sound_;
    CMidi& midi_;
};

} // namespace quolis
