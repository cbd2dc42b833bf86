#pragma once
// Shared set-up of the script tests: in-memory storage, recording ports, a
// manual clock and a fixed calendar.
#include "common/Text.h"
#include "data/Tokens.h"
#include "script/Script.h"

#include <string>
#include <vector>

namespace quolis::test {

// Tokens of UTF-8 source text, converted to CP932.
inline TokenList Toks(std::string_view utf8) {
    return SplitTokens(Utf8ToCp932(utf8));
}
inline std::string U8(std::string_view cp932) {
    return Cp932ToUtf8(cp932);
}
inline std::string Sj(std::string_view utf8) {
    return Utf8ToCp932(utf8);
}

struct RecordingAudio final : ScriptAudio {
    std::vector<std::string> log; // UTF-8
    std::vector<std::int32_t> volumes;
    void PlayMidi(std::string_view f) override { log.push_back("play " + U8(f)); }
    void StopMidi() override { log.push_back("stop"); }
    void SetMidiVolume(std::int32_t v) override { volumes.push_back(v); }
    void LoadCue(std::string_view c, std::string_view f) override {
        log.push_back("load " + U8(c) + " " + U8(f));
    }
    void PlayCue(std::string_view c) override { log.push_back("cue " + U8(c)); }
};

struct RecordingTextures final : ScriptTextures {
    std::vector<std::string> log;
    void Load(std::string_view f) override { log.push_back("load " + U8(f)); }
    void Drop(std::string_view f) override { log.push_back("drop " + U8(f)); }
};

struct RecordingHost final : ScriptHost {
    std::vector<int> cleared;
    void ClearTrigger(int a) override { cleared.push_back(a); }
};

struct RecordingCanvas final : MsgCanvas {
    std::vector<std::string> calls;
    void DrawPicture(const MsgDrawable& d) override {
        calls.push_back("pic " + std::to_string(static_cast<int>(d.part)) + " " + U8(d.texture));
    }
    void DrawText(const MsgDrawable& d, std::string_view text, float x, float y, int level,
                  bool enabled) override {
        calls.push_back("text " + std::to_string(static_cast<int>(d.part)) + " " + U8(text) + " " +
                        std::to_string(static_cast<int>(x)) + "," +
                        std::to_string(static_cast<int>(y)) + " " + std::to_string(level) +
                        (enabled ? "" : " disabled"));
    }
};

// 2003-03-05 14:07:00 UTC, a Wednesday.
constexpr std::int64_t kWednesday = 1046873220;

class ScriptFixture {
public:
    ScriptFixture() : calendar(kWednesday) {
        ScriptPortsRef p;
        p.storage = &storage;
        p.audio = &audio;
        p.textures = &textures;
        p.host = &host;
        p.clock = &clock;
        p.calendar = &calendar;
        script.SetUp(p);
    }
    // Runs the script text as an inline token list.
    HRESULT Play(std::string_view utf8, bool autoNewline = false) {
        return script.RunTokens(Toks(utf8), autoNewline);
    }
    // Updates (16 ms per logic step) until neither typing nor fading, at most n steps.
    void Settle(int n = 10000) {
        for (int i = 0; i < n; ++i) {
            clock.Advance(16);
            script.Update();
            if (!script.Typing() && !script.FadeBusy()) {
                return;
            }
        }
    }
    std::int32_t IntVar(const std::string& name) const {
        auto it = script.IntVariables().find(name);
        return it == script.IntVariables().end() ? -999999 : it->second;
    }

    MemoryScriptStorage storage;
    RecordingAudio audio;
    RecordingTextures textures;
    RecordingHost host;
    ManualClock clock;
    FixedCalendar calendar;
    CScript script;
};

} // namespace quolis::test
