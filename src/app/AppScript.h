#pragma once
// The story script engine as the application hosts it: CScript on the content
// reader, the music and sound players, the texture cache, the action triggers
// and the 2-D drawing objects.
#include "app/AppPorts.h"
#include "audio/Midi.h"
#include "audio/Sound.h"
#include "script/AudioBinding.h"
#include "script/DatScriptStorage.h"
#include "script/EngineBinding.h"
#include "script/Script.h"

#include <cstdint>

namespace quolis {

class CAppScript final : public ScriptPort, public ScriptHost {
public:
    // `triggers` is the application's action-trigger array (256 entries).
    // `calendar` (may be null: the system calendar) is the script's time.
    CAppScript(CDatArchive& content, CSound& sound, CMidi& midi, std::uint32_t* triggers,
               Calendar* calendar = nullptr);

    void PrepareScene() override;
    void Show(bool visible) override { script_.Show(visible); }
    void SetBrightness(int level) override { script_.SetBrightness(level); }
    void StartEmpty() override { script_.RunTokens({}, false); }
    bool ServeStep(std::uint32_t* triggers) override;
    void ReleasePictures() override;
    void Update() override { script_.Update(); }
    void Draw() override { script_.Draw(canvas_); }

    // ScriptHost: the script clears a trigger it acted on.
    void ClearTrigger(int action) override;

    CScript& Engine() { return script_; }

private:
    DatScriptStorage storage_;
    CScriptAudioPort audio_;
    CEngineScriptTextures textures_;
    CEngineMsgCanvas canvas_;
    std::uint32_t* triggers_;
    Calendar* calendar_;
    CScript script_;
};

} // namespace quolis
