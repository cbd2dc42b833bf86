#pragma once
// The application's script services: -1000/-1100 show the script, -1010/-1110
// step it on each decide press until it finishes. While a script menu is
// shown, the direction keys move through it and decide chooses.
#include "script/Script.h"

#include <cstdint>
#include <span>

namespace quolis {

constexpr int kActionLeft = 3;
constexpr int kActionRight = 4;
constexpr int kActionUp = 5;
constexpr int kActionDown = 6;
constexpr int kActionDecide = 7;
constexpr int kActionCancel = 8;

struct ScriptServiceResult {
    int nextCycle = 0;         // the code to continue with while not done
    bool done = false;         // the service has finished: continue at afterCycle
    HRESULT stepResult = S_OK; // what the last step answered (when one ran)
    bool stepped = false;
};

// True for -1000, -1010, -1100 and -1110.
bool IsScriptService(int cycle);

// One logic step of the script service `cycle`. `triggers` are the action
// triggers (indexed by action number); the entries acted on are cleared.
// `sounds` plays the message-forward cue "メッセージ送りキー".
ScriptServiceResult RunScriptService(int cycle, CScript& script, std::span<std::uint32_t> triggers,
                                     ScriptAudio& sounds);

} // namespace quolis
