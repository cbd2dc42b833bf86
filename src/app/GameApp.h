#pragma once
// CGameApp: the application object. It owns the readers, the input, the
// music and sound players, the script and campaign ports, the settings, the
// ten scene stopwatches (through the frame base) and the six object pools,
// and drives the game as a two-level state machine: the current scene (0…11)
// and, per scene, an AppCycle code. Negative codes of the service table are
// run here (fades, script, the two menus, writing and loading saves) and end
// at the code the scene chose in advance (afterCycle, or cancelCycle).
#include "app/AppFrame.h"
#include "app/AppScript.h"
#include "app/Campaign.h"
#include "app/Settings.h"
#include "app/WindowMenu.h"
#include "audio/Midi.h"
#include "audio/Sound.h"
#include "engine/Camera.h"
#include "engine/Mesh.h"
#include "engine/Number.h"
#include "engine/Polygon.h"
#include "engine/TextureFiles.h"
#include "engine/Widgets.h"
#include "input/Input.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

namespace quolis {

enum SceneId : int {
    kSceneLogo = 0,
    kSceneTitle = 1,
    kScenePrologue = 2,
    kSceneMenu = 3,
    kSceneBattle = 4,
    kSceneStageEvent = 5,
    kSceneStatus = 6,
    kSceneLevelUp = 7,
    kSceneFusion = 8,
    kSceneRegeneration = 9,
    kSceneDiscard = 10,
    kSceneEnding = 11,
    kSceneCount = 12
};

// The shared services' AppCycle codes.
enum ServiceCycle : int {
    kCycleFadeIn = -100,
    kCycleFadeOut = -200,
    kCycleHalfUp = -300,
    kCycleHalfDown = -400,
    kCycleHalfUpQuiet = -500,
    kCycleHalfDownPicture = -600,
    kCycleScript = -1000,
    kCycleScriptStep = -1010,
    kCycleScript2 = -1100,
    kCycleScript2Step = -1110,
    kCycleSlotList = -3000,
    kCycleSlotListStep = -3010,
    kCycleButtonRow = -4000,
    kCycleButtonRowStep = -4010,
    kCycleWriteSave = -20000,
    kCycleLoadSave = -21000,
    kCycleLeave = 10000, // every scene's leave step, by convention
};

class CGameApp;

// A scene's five handlers. A scene without one of them keeps the default,
// which does nothing.
class CScene {
public:
    virtual ~CScene() = default;
    virtual HRESULT Build(CGameApp& /*app*/) { return S_OK; }
    virtual HRESULT SetUp(CGameApp& /*app*/) { return S_OK; }
    virtual HRESULT Frame(CGameApp& /*app*/) { return S_OK; }
    virtual HRESULT Draw(CGameApp& /*app*/) { return S_OK; }
    virtual HRESULT Teardown(CGameApp& /*app*/) { return S_OK; }
};

// A pool of 15 owned scene-object slots.
template <class T> class ObjectPool {
public:
    static constexpr int kSlots = 15;
    // Puts the object into the first free slot; null (object deleted) when
    // the pool is full.
    template <class U = T> U* Add(std::unique_ptr<U> object) {
        for (auto& slot : slots_) {
            if (!slot) {
                U* raw = object.get();
                slot = std::move(object);
                return raw;
            }
        }
        return nullptr;
    }
    T* Get(int i) const { return i >= 0 && i < kSlots ? slots_[i].get() : nullptr; }
    void Clear() {
        for (auto& slot : slots_) {
            slot.reset();
        }
    }
    int Used() const {
        int n = 0;
        for (const auto& slot : slots_) {
            n += slot ? 1 : 0;
        }
        return n;
    }

private:
    std::array<std::unique_ptr<T>, kSlots> slots_;
};

class CGameApp : public CAppFrame, public MenuCues {
public:
    static constexpr int kCycleTableSize = 30;
    static constexpr int kSavePathCount = 11;
    static constexpr const char* kSettingFile = "Setting.Dat";
    static constexpr const char* kUserFile = "User.ini";

    CGameApp();
    ~CGameApp() override;

    // Ports; set before Create. Without a script port the application hosts
    // the script engine itself (CAppScript); the campaign port defaults to
    // the application's own CCampaign (GameState and the master tables); the
    // creature speed hand-over is left out while no speed port is set.
    void SetScriptPort(ScriptPort* p) { externalScript_ = p; }
    void SetCampaignPort(CampaignPort* p) { campaign_ = p; }
    void SetSpeedPort(SpeedPort* p) { speedPort_ = p; }
    // Loose files: the content reader reads plain files in the archives'
    // layout instead of the archives (content under development). Set before
    // Create.
    void SetLooseFiles(bool loose) { looseFiles_ = loose; }
    // The handlers of a scene (replaces the empty ones).
    void SetSceneHandlers(int scene, std::unique_ptr<CScene> handlers);
    CScene* SceneHandlers(int scene) const;

    // --- virtual operations ---------------------------------------------
    HRESULT LoadData() override;
    HRESULT BuildScene() override;
    HRESULT EnterScene() override;
    HRESULT StepFrame() override;
    HRESULT DrawFrame() override;
    void LeaveScene() override;
    void ReleaseAll() override;
    int HandleMessage(int id) override;

    // --- cycle tables ---------------------------------------------------
    int SetCycle(int code, int scene, int after = -1, int cancel = -1);
    void SetScene(int sceneId, int index, int next = -1);
    void SetNextScene(int id, int index = 0);
    int GetCycle(int scene) const;
    int GetAfterCycle(int scene) const;
    int GetCancelCycle(int scene) const;
    int GetScene(int index = 0) const;
    int GetNextScene(int index = 0) const;
    // A scene's leave step: stop the music, leave, switch to the next scene,
    // build and enter it.
    HRESULT SwitchToNextScene();
    // Runs the shared service of `code` for the current scene; false when the
    // code is not a service.
    bool RunService(int code);

    // --- results of the shared menus ------------------------------------
    std::string ResultName;
    int ResultIndex = 0;

    // --- what the battle, the menu hub and the stage-event scene hand on ----
    // Kept by the application and reset at start-up: the event the
    // stage-event scene runs next, whether the battle follows it (opening
    // pending) and whether the stage-clear choice follows it (offer save).
    // The stage file of the next battle is the campaign's current stage file
    // (OwnCampaign().CurrentStageFile()).
    struct StageHandover {
        std::string eventName;
        std::int32_t openingPending = 0;
        std::int32_t offerSave = 0;
    };
    StageHandover Handover;

    // --- brightness and fades -------------------------------------------
    void SetBrightness(int value);
    void AddBrightness(int delta) { SetBrightness(brightness_ + delta); }
    int Brightness() const { return brightness_; }
    int FadeBrightness(int target, bool upward, int step);
    int FadeVolume(int target, bool upward, int step);

    // --- settings ---------------------------------------------------------
    bool ReadGameSettings(const char* fileName = kSettingFile);
    bool ReadUserSettings(const char* fileName = kUserFile);
    bool WriteUserSettings(const char* fileName = kUserFile);
    void SetGameSpeed(float factor, bool store, bool write);
    float GameSpeed() const { return user_.gameSpeed; }
    const GameSettings& Settings() const { return settings_; }
    float Speed(int key) const { return settings_.scaled[key]; }
    float RawSpeed(int key) const { return settings_.raw[key]; }
    int FirstPlay() const { return user_.firstPlay; }
    void SetFirstPlay(int v) { user_.firstPlay = v; }
    // The window menu's check marks.
    bool MenuChecked(int id) const;
    int SpeedMenuItem() const { return speedItem_; }

    // --- owned objects ----------------------------------------------------
    CDatArchive& ContentReader() { return *content_; }
    CDatArchive& SecureReader() { return *secure_; }
    CDatArchive& PlainReader() { return *plain_; }
    CInput* Input() { return input_.get(); }
    CSound* Sound() { return sound_.get(); }
    CMidi* Midi() { return midi_.get(); }
    ScriptPort* Script() { return script_; }
    // The application's own script engine (null when a port replaced it):
    // scenes run script files and token lists on it.
    CScript* ScriptEngine() { return ownScript_ ? &ownScript_->Engine() : nullptr; }
    CCamera& Camera() { return camera_; }
    // The calendar of this run: saves are dated from it and every random
    // generator of the game is seeded from it (the environment's calendar,
    // else the system calendar).
    Calendar& GameCalendar() {
        return Env().calendar != nullptr ? *Env().calendar : systemCalendar_;
    }
    CampaignPort* Campaign() { return campaign_; }
    // The application's own campaign (also when another port replaced it).
    CCampaign& OwnCampaign() { return ownCampaign_; }
    ButtonMaps& AppButtonMaps() { return appMaps_; }

    std::uint32_t* Triggers() { return triggers_.data(); }
    std::uint32_t* RawTriggers() { return rawTriggers_.data(); }
    std::uint32_t DeviceMask() const { return deviceMask_; }

    ObjectPool<CTextObject>& Texts() { return texts_; }
    ObjectPool<CScreenNumber>& Numbers() { return numbers_; }
    ObjectPool<CMesh>& Meshes() { return meshes_; }
    ObjectPool<CPolygon>& Polygons() { return polygons_; }
    ObjectPool<CSlotList>& SlotLists() { return slotLists_; }
    ObjectPool<CButtonRow>& ButtonRows() { return buttonRows_; }
    // The widgets the menu services −3000 and −4000 drive (in the pools).
    void SetSharedSlotList(CSlotList* list) { slotList_ = list; }
    void SetSharedButtonRow(CButtonRow* row) { buttonRow_ = row; }
    CSlotList* SharedSlotList() { return slotList_; }
    // Fills the shared slot list with "←" and the save slots 1…9 (in the
    // load list a slot without data is disabled).
    void FillSlotList(bool loadList);
    CButtonRow* SharedButtonRow() { return buttonRow_; }

    static const std::string& SavePath(int index);

    // --- window title -----------------------------------------------------
    // The application's title, "クオーリス　Ver1.00" (CP932).
    static std::string AppTitle();
    // Sets the window's title bar (CP932) through the host.
    void SetWindowTitle(const std::string& title);
    // The application's title, twelve spaces and a scene's name.
    void SetSceneTitle(const std::string& sceneName);
    const std::string& WindowTitle() const { return windowTitle_; }

    // MenuCues: a cue of the current scene.
    void PlayCue(const std::string& name) override;

protected:
    void OnActivated(bool active) override;
    void OnIdle() override;

private:
    bool ValidScene(int s) const { return s >= 0 && s < kSceneCount; }
    void ServiceDone(int s) { SetCycle(afterCycle_[s], s); }
    // The trace: a line when the current scene changes, and one when its
    // step code changes (the first code of a scene counts as a change).
    void TraceScene();
    void TraceStep();
    void TraceCampaign();
    void RestartScene(int scene);
    void ClearPools();

    std::array<std::int32_t, kCycleTableSize> cycle_{};
    std::array<std::int32_t, kCycleTableSize> afterCycle_{};
    std::array<std::int32_t, kCycleTableSize> cancelCycle_{};
    // [0] current scene, [1] next scene (and following entries).
    std::array<std::int32_t, kCycleTableSize> scenes_{};
    int brightness_ = 255;

    GameSettings settings_;
    UserSettings user_;
    int speedItem_ = kCmdSpeed10;

    std::unique_ptr<CDatArchive> content_, secure_, plain_;
    std::unique_ptr<ArchiveTextureFiles> textureFiles_;
    std::unique_ptr<CInput> input_;
    std::unique_ptr<CMidi> midi_;
    std::unique_ptr<CSound> sound_;
    ScriptPort* script_ = nullptr;
    ScriptPort* externalScript_ = nullptr;
    std::unique_ptr<CAppScript> ownScript_;
    CCamera camera_;
    SystemCalendar systemCalendar_;
    CCampaign ownCampaign_;
    CampaignPort* campaign_ = &ownCampaign_;
    SpeedPort* speedPort_ = nullptr;
    ButtonMaps appMaps_;

    std::array<std::uint32_t, kActionTriggerCount> triggers_{};
    std::array<std::uint32_t, kRawButtonCount> rawTriggers_{};
    std::uint32_t deviceMask_ = 0;

    std::array<std::unique_ptr<CScene>, kSceneCount> handlers_;

    ObjectPool<CTextObject> texts_;
    ObjectPool<CScreenNumber> numbers_;
    ObjectPool<CMesh> meshes_;
    ObjectPool<CPolygon> polygons_;
    ObjectPool<CSlotList> slotLists_;
    ObjectPool<CButtonRow> buttonRows_;
    CSlotList* slotList_ = nullptr;
    CButtonRow* buttonRow_ = nullptr;
    bool released_ = false;
    bool looseFiles_ = false;
    std::string windowTitle_;
    int tracedScene_ = -1;
    int tracedCycle_ = 0;
    bool cycleTraced_ = false;
};

} // namespace quolis
