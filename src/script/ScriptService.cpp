#include "script/ScriptService.h"

#include "common/Log.h"
#include "common/Text.h"

namespace quolis {
namespace {

bool Take(std::span<std::uint32_t> triggers, int action) {
    const auto i = static_cast<std::size_t>(action);
    if (i >= triggers.size() || triggers[i] == 0) {
        return false;
    }
    triggers[i] = 0;
    return true;
}

} // namespace

bool IsScriptService(int cycle) {
    return cycle == -1000 || cycle == -1010 || cycle == -1100 || cycle == -1110;
}

ScriptServiceResult RunScriptService(int cycle, CScript& script, std::span<std::uint32_t> triggers,
                                     ScriptAudio& sounds) {
    ScriptServiceResult r;
    r.nextCycle = cycle;
    if (cycle == -1000 || cycle == -1100) {
        script.SetBrightness(255);
        script.Show(true);
        r.nextCycle = cycle - 10;
        return r;
    }
    if (cycle != -1010 && cycle != -1110) {
        return r;
    }
    HRESULT hr = kScriptBusy;
    if (script.MenuShown()) {
        // The menu cues are played by the script itself.
        if (Take(triggers, kActionUp)) {
            script.MenuKey(ScriptMenuKey::Up);
        } else if (Take(triggers, kActionDown)) {
            script.MenuKey(ScriptMenuKey::Down);
        } else if (Take(triggers, kActionLeft)) {
            script.MenuKey(ScriptMenuKey::Left);
        } else if (Take(triggers, kActionRight)) {
            script.MenuKey(ScriptMenuKey::Right);
        } else if (Take(triggers, kActionDecide)) {
            hr = script.MenuKey(ScriptMenuKey::Decide);
            r.stepped = hr != kScriptBusy;
        }
    } else if (Take(triggers, kActionDecide)) {
        hr = script.StepOnKey();
        r.stepped = true;
        if (hr != kScriptBusy) {
            sounds.PlayCue(SJ("メッセージ送りキー"));
        }
    }
    r.stepResult = hr;
    if (r.stepped && hr == E_FAIL) {
        script.Show(false);
        r.done = true;
        if (script.Stop().kind == ScriptStopKind::Error) {
            // The story ends all the same; the developer learns why.
            LogLine("story script " + DescribeScriptStop(script.Stop()));
        }
    }
    return r;
}

} // namespace quolis
