#pragma once
// The seams through which the story script engine talks to the rest of the
// game. The application object implements them with its content reader, its
// music and sound players, its texture cache, its action triggers and its 2-D
// drawing objects; tests and tools implement them in memory.
#include "common/Status.h"
#include "data/DatArchive.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>

namespace quolis {

// Where scripts and script save data come from.
class ScriptStorage {
public:
    virtual ~ScriptStorage() = default;
    // The tokens of script `name` ("Prologue\1.Dat"): a member of
    // "GameData\Text\Text.Dat" in archive mode, else the plain file
    // "GameData\Text\" + name. E_FAIL when it cannot be read.
    virtual HRESULT ReadScript(std::string_view name, TokenList& out) = 0;
    // The tokens of a plain token file (script save data), game path.
    virtual HRESULT ReadPlain(std::string_view gamePath, TokenList& out) = 0;
    // Replaces a plain token file atomically, one token per line.
    virtual HRESULT WritePlain(std::string_view gamePath, TokenList& tokens) = 0;
};

// Music and sound effects (CMidi and CSound).
class ScriptAudio {
public:
    virtual ~ScriptAudio() = default;
    // Plays the MIDI file `file` ("Title.mid") of "GameData\MIDI\".
    virtual void PlayMidi(std::string_view file) = 0;
    virtual void StopMidi() = 0;
    // Music volume in hundredths of a decibel (the player clamps -10000..0).
    virtual void SetMidiVolume(std::int32_t centiBel) = 0;
    // Registers the sound cue `cue` with the file `file` of the sound archive.
    virtual void LoadCue(std::string_view cue, std::string_view file) = 0;
    virtual void PlayCue(std::string_view cue) = 0;
};

// The scene-wide texture cache (keyed by file name).
class ScriptTextures {
public:
    virtual ~ScriptTextures() = default;
    virtual void Load(std::string_view file) = 0;
    virtual void Drop(std::string_view file) = 0;
};

// The application's side of a running script.
class ScriptHost {
public:
    virtual ~ScriptHost() = default;
    // Clears one entry of the action triggers (7 = decide).
    virtual void ClearTrigger(int action) = 0;
};

// Optional: told about every statement with a visible or audible effect, in
// words (CP932), for tools and logs of script authors.
class ScriptObserver {
public:
    virtual ~ScriptObserver() = default;
    virtual void OnEffect(std::string_view what) = 0;
    // A dialogue line has set the message (label and text, with its breaks).
    virtual void OnMessage(std::string_view message) = 0;
};

// Ports that do nothing (a script without music, pictures or host).
class NullScriptAudio final : public ScriptAudio {
public:
    void PlayMidi(std::string_view) override {}
    void StopMidi() override {}
    void SetMidiVolume(std::int32_t) override {}
    void LoadCue(std::string_view, std::string_view) override {}
    void PlayCue(std::string_view) override {}
};

class NullScriptTextures final : public ScriptTextures {
public:
    void Load(std::string_view) override {}
    void Drop(std::string_view) override {}
};

class NullScriptHost final : public ScriptHost {
public:
    void ClearTrigger(int) override {}
};

// Scripts and save files held in memory, keyed by name / game path. Used by
// tests, the fuzz target and tools that build scripts on the fly.
class MemoryScriptStorage final : public ScriptStorage {
public:
    std::map<std::string, TokenList> scripts;
    std::map<std::string, TokenList> files;
    bool failWrites = false;

    HRESULT ReadScript(std::string_view name, TokenList& out) override;
    HRESULT ReadPlain(std::string_view gamePath, TokenList& out) override;
    HRESULT WritePlain(std::string_view gamePath, TokenList& tokens) override;
};

} // namespace quolis
