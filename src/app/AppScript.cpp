#include "app/AppScript.h"

#include "common/Stopwatch.h"
#include "common/Text.h"
#include "input/Input.h"
#include "script/ScriptService.h"

namespace quolis {

CAppScript::CAppScript(CDatArchive& content, CSound& sound, CMidi& midi, std::uint32_t* triggers,
                       Calendar* calendar)
    : storage_(content), audio_(sound, midi), triggers_(triggers), calendar_(calendar) {}

void CAppScript::PrepareScene() {
    ScriptPortsRef ports;
    ports.storage = &storage_;
    ports.audio = &audio_;
    ports.textures = &textures_;
    ports.host = this;
    ports.clock = &CStopwatch::GetClock();
    ports.calendar = calendar_;
    script_.SetUp(ports, SJ("ＭＳ Ｐゴシック"), 12);
}

bool CAppScript::ServeStep(std::uint32_t* triggers) {
    ScriptServiceResult r = RunScriptService(
        -1010, script_, std::span<std::uint32_t>(triggers, kActionTriggerCount), audio_);
    return r.done;
}

void CAppScript::ReleasePictures() {
    script_.ReleasePictures();
    canvas_.Release();
}

void CAppScript::ClearTrigger(int action) {
    if (action >= 0 && action < kActionTriggerCount) {
        triggers_[action] = 0;
    }
}

} // namespace quolis
