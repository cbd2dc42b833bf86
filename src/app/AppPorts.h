#pragma once
// What the application talks to. The frame base and the application object
// never create window-system objects: the program (or a test) hands them the
// device, the mixer, the input queue, the message boxes and a host that pumps
// window events; the script engine, the campaign state with the master
// tables, and the creature and model classes plug in through the ports below.
#include "common/Clock.h"
#include "common/Status.h"
#include "data/DatArchive.h"
#include "platform/Device.h"
#include "platform/Fonts.h"
#include "platform/InputEvents.h"
#include "platform/MessageBox.h"
#include "platform/Mixer.h"

#include <cstdint>
#include <string>

namespace quolis {

// The window side of the frame loop.
class AppHost {
public:
    virtual ~AppHost() = default;
    // Reads the pending window-system events into the input queue.
    virtual void PumpEvents() = 0;
    // An inactive game waits here for the next window-system event.
    virtual void WaitEvents() = 0;
    // Whether the game window has the keyboard focus.
    virtual bool Focused() = 0;
    // Unattended runs with a frame limit keep stepping toward it whatever
    // the focus: focus changes neither pause nor resume the game.
    virtual bool IgnoresFocus() { return false; }
    // After frame pass `pass` (counted from 0): screenshots, the fixed clock
    // step. False ends the run (an unattended run's frame limit).
    virtual bool FinishFramePass(int pass) = 0;
    // Start-up is done: show the window.
    virtual void ShowWindow() {}
    // The key configuration window (modal). Not built yet: the default does
    // nothing.
    virtual void RunKeyConfig() {}
    // The window's title bar text (CP932).
    virtual void SetWindowTitle(const std::string& /*title*/) {}
};

// Where a traced run writes its lines (scene switches, step codes, the
// campaign at exit), one line at a time without the line end.
class TraceSink {
public:
    virtual ~TraceSink() = default;
    virtual void TraceLine(const std::string& line) = 0;
};

// Where a profiled run sends the cost of each frame pass: the processor time
// of the thread in the logic step and in the drawing, and the wall time of
// each scene's build and entry.
class FrameMeter {
public:
    virtual ~FrameMeter() = default;
    virtual void PassStart() {}
    // `stepped` is false for a pass that only drew.
    virtual void FramePass(bool stepped, double stepCpuSeconds, double drawCpuSeconds) = 0;
    // Wall time, and the processor time of the calling thread, which other
    // programs on a busy machine do not inflate.
    virtual void SceneBuilt(int scene, double wallSeconds, double cpuSeconds) = 0;
};

struct AppEnvironment {
    Device* device = nullptr;
    Mixer* mixer = nullptr; // null: no sound at all
    InputEventQueue* input = nullptr;
    MessageBoxes* boxes = nullptr;
    FontRasterizer* fonts = nullptr; // null: texts are not drawn
    AppHost* host = nullptr;
    TraceSink* trace = nullptr; // null: no trace
    // The calendar the saves are dated from and the game's random numbers
    // are seeded from (null: the system calendar).
    Calendar* calendar = nullptr;
    FrameMeter* meter = nullptr; // null: no profile
};

// The story script engine with its message box, as the application uses it.
class ScriptPort {
public:
    virtual ~ScriptPort() = default;
    // Scene build: font "ＭＳ Ｐゴシック" 12, the content reader, the input and
    // its triggers, music and sound.
    virtual void PrepareScene() = 0;
    virtual void Show(bool visible) = 0;
    // Brightness of the script's pictures (0…255).
    virtual void SetBrightness(int level) = 0;
    // Scene entry: an empty script.
    virtual void StartEmpty() = 0;
    // One logic step of the service −1010/−1110: a decide press steps the
    // script (or chooses in its menu; the directions move through a menu);
    // true when the script has finished and is hidden.
    virtual bool ServeStep(std::uint32_t* triggers) = 0;
    // Once per logic step (typing, picture fades) and in the draw handler.
    virtual void Update() {}
    virtual void Draw() {}
    virtual void ReleasePictures() = 0;
};

// The campaign (GameState) and the master tables.
class CampaignPort {
public:
    virtual ~CampaignPort() = default;
    virtual void CreateState() = 0;
    // MAMaster, DirectionBonus, HeightBonus, CharaMaster, FloorTex, FloorObj
    // in this order, then the lookup maps. E_FAIL when any read failed (the
    // remaining reads still run); `failed` names the first that failed.
    virtual HRESULT LoadMasterData(CDatArchive& content, std::string* failed) = 0;
    virtual bool WriteSave(CDatArchive& secure, const std::string& path) = 0;
    virtual bool LoadSave(CDatArchive& secure, const std::string& path) = 0;
    virtual void Release() = 0;
};

// The creature class receives the scaled speeds and the game speed factor
// they were scaled by (the model loader gets its frame step from the
// application directly).
class SpeedPort {
public:
    virtual ~SpeedPort() = default;
    virtual void SetCreatureSpeeds(float effect, float cameraMove2, float fade,
                                   float gameSpeed) = 0;
};

} // namespace quolis
