#include "app/GameApp.h"

#include "audio/SceneCues.h"
#include "common/Json.h"
#include "common/Log.h"
#include "common/Path.h"
#include "common/Text.h"
#include "data/SaveJson.h"
#include "data/Tokens.h"
#include "engine/Model.h"
#include "engine/TextObject.h"

#include <cmath>
#include <filesystem>
#include <system_error>
#if defined(__GLIBC__)
#include <malloc.h>
#endif

namespace quolis {

namespace {

constexpr const char* kIniFolder = "GameData\\Ini\\";
constexpr int kFadeTimer = 7; // the scene stopwatch that paces the fades
constexpr float kFadeStepSeconds = 0.03f;

std::string DataPath(const char* name) {
    return std::string("Data\\") + name;
}

} // namespace

CGameApp::CGameApp() {
    for (auto& h : handlers_) {
        h = std::make_unique<CScene>();
    }
}

CGameApp::~CGameApp() {
    ReleaseAll();
}

void CGameApp::SetSceneHandlers(int scene, std::unique_ptr<CScene> handlers) {
    if (ValidScene(scene) && handlers) {
        handlers_[scene] = std::move(handlers);
    }
}

CScene* CGameApp::SceneHandlers(int scene) const {
    return ValidScene(scene) ? handlers_[scene].get() : nullptr;
}

const std::string& CGameApp::SavePath(int index) {
    static const std::array<std::string, kSavePathCount> paths = [] {
        std::array<std::string, kSavePathCount> p;
        p[0] = "GameData\\Save\\Init.Dat";
        for (int i = 1; i < kSavePathCount; ++i) {
            p[i] = "GameData\\Save\\Save" + std::to_string(i) + ".Dat";
        }
        return p;
    }();
    static const std::string none;
    return index >= 0 && index < kSavePathCount ? paths[index] : none;
}

// --- window title -------------------------------------------------------------

std::string CGameApp::AppTitle() {
    return SJ("クオーリス　Ver1.00");
}

void CGameApp::SetWindowTitle(const std::string& title) {
    windowTitle_ = title;
    if (env_.host != nullptr) {
        env_.host->SetWindowTitle(title);
    }
}

void CGameApp::SetSceneTitle(const std::string& sceneName) {
    SetWindowTitle(AppTitle() + std::string(12, ' ') + sceneName);
}

// --- cycle tables -----------------------------------------------------------

int CGameApp::SetCycle(int code, int scene, int after, int cancel) {
    if (scene < 0 || scene >= kCycleTableSize) {
        return 1;
    }
    cycle_[scene] = code;
    if (after != -1) {
        afterCycle_[scene] = after;
    }
    if (cancel != -1) {
        cancelCycle_[scene] = cancel;
    }
    if (scene == scenes_[0]) {
        TraceStep();
    }
    return 1;
}

void CGameApp::SetScene(int sceneId, int index, int next) {
    if (index < 0 || index + 1 >= kCycleTableSize) {
        return;
    }
    scenes_[index] = sceneId;
    if (next != -1) {
        scenes_[index + 1] = next;
    }
    if (index == 0) {
        TraceScene();
    }
}

// --- trace ----------------------------------------------------------------------

void CGameApp::TraceScene() {
    if (env_.trace == nullptr || scenes_[0] == tracedScene_) {
        return;
    }
    env_.trace->TraceLine("trace " + std::to_string(PassNumber()) + " scene " +
                          std::to_string(tracedScene_) + " -> " + std::to_string(scenes_[0]));
    tracedScene_ = scenes_[0];
    cycleTraced_ = false;
}

void CGameApp::TraceStep() {
    if (env_.trace == nullptr) {
        return;
    }
    TraceScene();
    int code = GetCycle(scenes_[0]);
    if (cycleTraced_ && code == tracedCycle_) {
        return;
    }
    env_.trace->TraceLine("trace " + std::to_string(PassNumber()) + " step " +
                          std::to_string(scenes_[0]) + " " + std::to_string(code));
    tracedCycle_ = code;
    cycleTraced_ = true;
}

// The campaign as the inspector prints a save, on one line; "null" when
// there is no state of the application's own campaign.
void CGameApp::TraceCampaign() {
    if (env_.trace == nullptr) {
        return;
    }
    GameState* g = ownCampaign_.State();
    if (campaign_ != &ownCampaign_ || g == nullptr) {
        env_.trace->TraceLine("campaign null");
        return;
    }
    JsonWriter json(JsonWriter::Layout::OneLine);
    const std::string& stage = ownCampaign_.CurrentStageFile();
    WriteSaveJson(json, *g, stage.empty() ? g->stageFile : stage, true);
    env_.trace->TraceLine("campaign " + json.Text());
}

void CGameApp::SetNextScene(int id, int index) {
    if (index >= 0 && index + 1 < kCycleTableSize) {
        scenes_[index + 1] = id;
    }
}

int CGameApp::GetCycle(int scene) const {
    return scene >= 0 && scene < kCycleTableSize ? cycle_[scene] : 0;
}
int CGameApp::GetAfterCycle(int scene) const {
    return scene >= 0 && scene < kCycleTableSize ? afterCycle_[scene] : 0;
}
int CGameApp::GetCancelCycle(int scene) const {
    return scene >= 0 && scene < kCycleTableSize ? cancelCycle_[scene] : 0;
}
int CGameApp::GetScene(int index) const {
    return index >= 0 && index < kCycleTableSize ? scenes_[index] : 0;
}
int CGameApp::GetNextScene(int index) const {
    return index >= 0 && index + 1 < kCycleTableSize ? scenes_[index + 1] : 0;
}

// --- brightness ---------------------------------------------------------------

void CGameApp::SetBrightness(int value) {
    brightness_ = value > 255 ? 255 : value < 0 ? 0 : value;
    // Every live colour component (pooled objects, the battle's objects,
    // the script's pictures); locked components keep their level.
    CColour::SetAllAlpha(brightness_);
    if (script_ != nullptr) {
        script_->SetBrightness(brightness_);
    }
}

int CGameApp::FadeBrightness(int target, bool upward, int step) {
    if (!upward) {
        if (target >= brightness_) {
            SetBrightness(target);
            return 0;
        }
        step = -step;
    } else if (brightness_ >= target) {
        SetBrightness(target);
        return 0;
    }
    CStopwatch& t = timers_[kFadeTimer];
    t.Sample();
    if (t.SinceMark() >= kFadeStepSeconds) {
        AddBrightness(step);
        t.SetMark();
    }
    return 1;
}

int CGameApp::FadeVolume(int target, bool upward, int step) {
    if (!midi_) {
        return 0;
    }
    CStopwatch& t = timers_[kFadeTimer];
    t.Sample();
    bool due = t.SinceMark() >= kFadeStepSeconds;
    return FadeMusicVolume(*midi_, target, upward, step, due);
}

// --- settings -------------------------------------------------------------------

bool CGameApp::ReadGameSettings(const char* fileName) {
    TokenList tokens;
    HRESULT hr = content_->Archived()
                     ? content_->ReadTokens("GameData\\Data\\Data.Dat", DataPath(fileName), tokens)
                     : content_->ReadTokens({}, std::string("GameData\\Data\\") + fileName, tokens);
    if (Failed(hr)) {
        return false;
    }
    ParseGameSettings(tokens, settings_);
    ScaleSpeeds(settings_, 1.0f);
    return true;
}

bool CGameApp::ReadUserSettings(const char* fileName) {
    TokenList tokens;
    if (Failed(secure_->ReadTokens({}, std::string(kIniFolder) + fileName, tokens))) {
        return false;
    }
    UserSettings read = user_;
    UserSettingsFound found = ParseUserSettings(tokens, read);
    user_.firstPlay = read.firstPlay;
    if (found.gameSpeed) {
        SetGameSpeed(read.gameSpeed, true, false);
    }
    if (found.enableFps) {
        SetShowFrameRate(read.enableFps);
    }
    if (found.enableMusic && midi_) {
        midi_->SetEnabled(read.enableMusic != 0 ? 1 : 0);
    }
    if (found.enableSe && sound_) {
        sound_->SetEnabled(read.enableSe != 0 ? 1 : 0);
    }
    return true;
}

bool CGameApp::WriteUserSettings(const char* fileName) {
    UserSettings s = user_;
    s.enableFps = ShowFrameRate();
    s.enableMusic = midi_ ? midi_->IsEnabled() : user_.enableMusic;
    s.enableSe = sound_ ? sound_->IsEnabled() : user_.enableSe;
    TokenList tokens = ComposeUserSettings(s);
    std::string path = std::string(kIniFolder) + fileName;
    std::error_code ec;
    std::filesystem::create_directories(std::filesystem::path(HostWritePath(path)).parent_path(),
                                        ec);
    return secure_->WriteTokens(path, tokens) != E_FAIL;
}

void CGameApp::SetGameSpeed(float factor, bool store, bool write) {
    if (store) {
        user_.gameSpeed = factor;
        if (write) {
            WriteUserSettings();
        }
    }
    ScaleSpeeds(settings_, factor);
    if (content_) {
        CMdl::Init("GameData\\mdl\\", content_.get(), settings_.scaled[kSpeedMeshAnime]);
    }
    if (speedPort_ != nullptr) {
        speedPort_->SetCreatureSpeeds(settings_.scaled[kSpeedEffect],
                                      settings_.scaled[kSpeedCameraMove2],
                                      settings_.scaled[kSpeedFade], factor);
    }
    if (store) {
        if (const MenuItem* item = SpeedItemByFactor(factor)) {
            speedItem_ = item->id;
        }
    }
}

bool CGameApp::MenuChecked(int id) const {
    if (SpeedItemById(id) != nullptr) {
        return id == speedItem_;
    }
    switch (id) {
    case kCmdFrameRate:
        return ShowFrameRate() != 0;
    case kCmdMusic:
        return midi_ && midi_->IsEnabled();
    case kCmdSoundEffects:
        return sound_ && sound_->IsEnabled();
    default:
        return false;
    }
}

int CGameApp::HandleMessage(int id) {
    if (const MenuItem* item = SpeedItemById(id)) {
        SetGameSpeed(item->factor, true, true);
        // Outside battles the scaling goes back to normal at once, except
        // for 4.0 and 5.0, which stay active until the next scene switch.
        bool keeps = id == kCmdSpeed40 || id == kCmdSpeed50;
        if (!keeps && GetScene(0) != kSceneBattle) {
            SetGameSpeed(1.0f, false, false);
        }
        return 1;
    }
    switch (id) {
    case kCmdQuit:
        OnClose();
        return 1;
    case kCmdKeyConfig:
        if (env_.host != nullptr) {
            env_.host->RunKeyConfig();
        }
        return 1;
    case kCmdFrameRate:
        SetShowFrameRate(!ShowFrameRate());
        WriteUserSettings();
        return 1;
    case kCmdMusic:
        if (midi_) {
            midi_->SetEnabled(!midi_->IsEnabled());
        }
        WriteUserSettings();
        return 1;
    case kCmdSoundEffects:
        if (sound_) {
            sound_->SetEnabled(!sound_->IsEnabled());
        }
        WriteUserSettings();
        return 1;
    default:
        return 0;
    }
}

// --- start-up and scenes -------------------------------------------------------

HRESULT CGameApp::LoadData() {
    HRESULT result = S_OK;
    released_ = false;
    content_ = std::make_unique<CDatArchive>(false, !looseFiles_);
    secure_ = std::make_unique<CDatArchive>(true, false);
    plain_ = std::make_unique<CDatArchive>(false, false);
    textureFiles_ = std::make_unique<ArchiveTextureFiles>(*content_);

    ButtonMaps defaults = DefaultButtonMaps();
    appMaps_ = defaults;
    input_ = std::make_unique<CInput>();
    input_->Init(env_.input, defaults);
    if (input_->LoadSettings(*secure_, CInput::kSettingsFile)) {
        input_->GetMaps(appMaps_);
    }

    camera_.Create(env_.device, static_cast<float>(kWidth) / static_cast<float>(kHeight));
    midi_ = std::make_unique<CMidi>();
    midi_->SetDirectory("GameData\\MIDI\\");
    midi_->SetVolume(-3000);
    sound_ = std::make_unique<CSound>();
    script_ = externalScript_;
    if (script_ == nullptr) {
        ownScript_ = std::make_unique<CAppScript>(*content_, *sound_, *midi_, triggers_.data(),
                                                  &GameCalendar());
        script_ = ownScript_.get();
    }

    if (!ReadGameSettings()) {
        SetFailure("cannot read Setting.Dat from GameData\\Data\\Data.Dat");
        result = E_FAIL;
    }
    if (!ReadUserSettings()) {
        // A first start has no User.ini yet: start with the defaults and
        // write the file rather than refusing to start.
        user_ = UserSettings{};
        user_.firstPlay = 1;
        SetGameSpeed(1.0f, true, false);
        SetShowFrameRate(1);
        midi_->SetEnabled(1);
        sound_->SetEnabled(1);
        if (!WriteUserSettings()) {
            LogLine("User.ini could not be written");
        }
    }
    ownCampaign_.SetCalendar(&GameCalendar());
    if (campaign_ != nullptr) {
        campaign_->CreateState();
        std::string failed;
        if (Failed(campaign_->LoadMasterData(*content_, &failed))) {
            SetFailure("cannot read the master table " + Cp932ToUtf8(failed));
            result = E_FAIL;
        }
    }
    SetScene(user_.firstPlay != 0 ? kSceneLogo : kSceneTitle, 0, -1);
    return result;
}

void CGameApp::ClearPools() {
    slotList_ = nullptr;
    buttonRow_ = nullptr;
    texts_.Clear();
    numbers_.Clear();
    meshes_.Clear();
    polygons_.Clear();
    slotLists_.Clear();
    buttonRows_.Clear();
}

HRESULT CGameApp::BuildScene() {
    if (midi_) {
        midi_->InitGraph(env_.mixer, content_.get());
    }
    SetGameSpeed(1.0f, false, false);
    ClearPools();
    camera_.SetEye(0, 8, -15);
    camera_.SetLookAt(0, 0, 0);
    camera_.SetUp(0, 1, 0);
    CPolygon::InitTextures("GameData\\Texture\\", env_.device, textureFiles_.get());
    CMesh::Init("GameData\\XFile\\", env_.device, content_.get());
    if (sound_) {
        sound_->Init(env_.mixer, "GameData\\SE\\", content_.get());
        sound_->SetMasterVolume(1000);
        RegisterSceneCues(*sound_, GetScene(0));
    }
    if (script_ != nullptr) {
        script_->PrepareScene();
        script_->SetBrightness(255);
        script_->Show(false);
    }
    // The scene light: directional, from above and behind the camera.
    Light light;
    float len = std::sqrt(1.8f * 1.8f + 1.0f);
    light.direction = {0.0f, -1.8f / len, 1.0f / len};
    light.diffuse = {0.8f, 0.8f, 0.8f, 1.0f};
    light.ambient = {0.2f, 0.2f, 0.2f, 1.0f};
    env_.device->SetLight(0, light);
    env_.device->EnableLight(0, true);
    int s = GetScene(0);
    return ValidScene(s) ? handlers_[s]->Build(*this) : S_OK;
}

HRESULT CGameApp::EnterScene() {
    SetBrightness(0);
    if (script_ != nullptr) {
        script_->StartEmpty();
    }
    int s = GetScene(0);
    HRESULT hr = ValidScene(s) ? handlers_[s]->SetUp(*this) : S_OK;
    TraceStep();
    return hr;
}

void CGameApp::LeaveScene() {
    int s = GetScene(0);
    if (ValidScene(s)) {
        handlers_[s]->Teardown(*this);
    }
    if (midi_) {
        midi_->Stop();
    }
    ClearPools();
    if (sound_) {
        sound_->ReleaseAll();
    }
    if (script_ != nullptr) {
        script_->ReleasePictures();
    }
    CMesh::ReleaseAll();
    CPolygon::ReleaseTextures();
    if (midi_) {
        midi_->ReleaseGraph();
    }
}

namespace {

// Hands the heap's free pages back to the system (glibc keeps them, and a
// battle's freed models and meshes would otherwise stay resident).
void ReturnFreedMemory() {
#if defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace

HRESULT CGameApp::SwitchToNextScene() {
    if (midi_) {
        midi_->Stop();
    }
    LeaveScene();
    // What the old scene freed goes back to the system before the next one
    // is built, so that scenes do not stack their peaks in the heap.
    ReturnFreedMemory();
    SetScene(GetNextScene(0), 0, -1);
    SetCycle(0, GetScene(0));
    const double start = env_.meter != nullptr ? WallSeconds() : 0;
    const double cpuStart = env_.meter != nullptr ? ThreadCpuSeconds() : 0;
    HRESULT hr = BuildScene();
    HRESULT entered = EnterScene();
    if (env_.meter != nullptr) {
        env_.meter->SceneBuilt(GetScene(0), WallSeconds() - start, ThreadCpuSeconds() - cpuStart);
    }
    return Failed(hr) ? hr : entered;
}

void CGameApp::RestartScene(int scene) {
    LeaveScene();
    SetScene(scene, 0, -1);
    SetCycle(0, scene);
    BuildScene();
    EnterScene();
    if (midi_) {
        midi_->Play("");
    }
}

HRESULT CGameApp::StepFrame() {
    camera_.Apply();
    input_->Poll(triggers_.data(), rawTriggers_.data(), &deviceMask_, active_);
    if (triggers_[kInputResetAppCycle]) {
        RestartScene(GetScene(0));
    }
    if (triggers_[kInputGotoMenu]) {
        RestartScene(kSceneMenu); // the next-scene entry stays as it was
    }
    int s = GetScene(0);
    if (!ValidScene(s)) {
        return S_OK;
    }
    RunService(cycle_[s]);
    HRESULT hr = handlers_[s]->Frame(*this);
    TraceStep();
    return hr;
}

HRESULT CGameApp::DrawFrame() {
    CTextObject::NextFrame();
    int s = GetScene(0);
    HRESULT hr = ValidScene(s) ? handlers_[s]->Draw(*this) : S_OK;
    DrawFrameRate();
    return Failed(hr) ? hr : S_OK;
}

bool CGameApp::RunService(int code) {
    int s = GetScene(0);
    if (!ValidScene(s)) {
        return false;
    }
    const int fade = static_cast<int>(settings_.scaled[kSpeedFade]);
    const int volume = static_cast<int>(settings_.scaled[kSpeedFadeVolume]);
    switch (code) {
    case kCycleFadeIn: {
        int b = FadeBrightness(255, true, fade);
        int v = FadeVolume(-500, true, volume);
        if (b == 0 && v == 0) {
            ServiceDone(s);
        }
        return true;
    }
    case kCycleFadeOut: {
        int b = FadeBrightness(0, false, fade);
        int v = FadeVolume(-3000, false, volume);
        if (b == 0 && v == 0) {
            ServiceDone(s);
        }
        return true;
    }
    case kCycleHalfUp:
    case kCycleHalfDown: {
        bool up = code == kCycleHalfUp;
        int b = FadeBrightness(128, up, fade);
        int v = FadeVolume(-1250, up, volume);
        if (b == 0 && v == 0) {
            ServiceDone(s);
        }
        return true;
    }
    case kCycleHalfUpQuiet: {
        int b = FadeBrightness(128, true, fade);
        int v = FadeVolume(-500, true, 50);
        if (b == 0 && v == 0) {
            ServiceDone(s);
        }
        return true;
    }
    case kCycleHalfDownPicture:
        if (FadeBrightness(128, false, fade) == 0) {
            ServiceDone(s);
        }
        return true;
    case kCycleScript:
    case kCycleScript2:
        if (script_ != nullptr) {
            script_->SetBrightness(255);
            script_->Show(true);
        }
        SetCycle(code == kCycleScript ? kCycleScriptStep : kCycleScript2Step, s);
        return true;
    case kCycleScriptStep:
    case kCycleScript2Step:
        if (script_ == nullptr || script_->ServeStep(triggers_.data())) {
            ServiceDone(s);
        }
        return true;
    case kCycleSlotList:
        if (slotList_ != nullptr) {
            OpenMenu(*slotList_);
        }
        SetCycle(kCycleSlotListStep, s);
        return true;
    case kCycleSlotListStep:
        if (slotList_ != nullptr && StepSlotListMenu(*slotList_, triggers_.data(), this, ResultName,
                                                     ResultIndex) == MenuStep::Done) {
            ServiceDone(s);
        }
        return true;
    case kCycleButtonRow:
        if (buttonRow_ != nullptr) {
            OpenMenu(*buttonRow_);
        }
        SetCycle(kCycleButtonRowStep, s);
        return true;
    case kCycleButtonRowStep:
        if (buttonRow_ != nullptr && StepButtonRowMenu(*buttonRow_, triggers_.data(), this,
                                                       ResultName, ResultIndex) == MenuStep::Done) {
            ServiceDone(s);
        }
        return true;
    case kCycleWriteSave:
    case kCycleLoadSave: {
        // A result index that names no save slot is treated as a cancel
        // rather than writing or reading some other file.
        bool cancel = ResultName == SJ("←") || ResultName == SJ("キャンセル") ||
                      SavePath(ResultIndex).empty();
        if (cancel) {
            if (slotList_ != nullptr) {
                slotList_->ClearEntries();
            }
            SetCycle(cancelCycle_[s], s);
            return true;
        }
        if (campaign_ != nullptr) {
            if (code == kCycleWriteSave) {
                campaign_->WriteSave(*secure_, SavePath(ResultIndex));
            } else {
                campaign_->LoadSave(*secure_, SavePath(ResultIndex));
            }
        }
        ServiceDone(s);
        return true;
    }
    default:
        return false;
    }
}

void CGameApp::FillSlotList(bool loadList) {
    if (slotList_ == nullptr) {
        return;
    }
    slotList_->ClearEntries();
    std::vector<SlotEntry> entries = BuildSlotList(loadList, [this](int slot) {
        return ReadSlotSummary(*secure_, *content_, SavePath(slot));
    });
    for (const SlotEntry& e : entries) {
        slotList_->AddEntry(e.text, e.key, e.x, e.y, e.z, e.width, e.height, 0);
        if (!e.enabled) {
            slotList_->DisableEntry(e.key);
        }
    }
}

void CGameApp::PlayCue(const std::string& name) {
    if (sound_) {
        sound_->Play(name);
    }
}

void CGameApp::OnActivated(bool active) {
    if (midi_) {
        midi_->OnActivate(active);
    }
}

void CGameApp::OnIdle() {
    if (midi_) {
        midi_->OnGraphEvent();
    }
}

void CGameApp::ReleaseAll() {
    if (released_) {
        return;
    }
    released_ = true;
    ClearPools();
    // The script with its message box, the camera, the sound, the music, the
    // campaign, the input, the three readers.
    if (script_ != nullptr) {
        script_->ReleasePictures();
    }
    ownScript_.reset();
    script_ = nullptr;
    sound_.reset();
    midi_.reset();
    TraceCampaign();
    if (campaign_ != nullptr) {
        campaign_->Release();
    }
    input_.reset();
    // The texture and mesh caches forget the device and the files they were
    // given.
    CPolygon::InitTextures("", nullptr, nullptr);
    CMesh::ReleaseAll();
    CMesh::Init("", nullptr, nullptr);
    CMdl::Init("", nullptr, 1.0f);
    textureFiles_.reset();
    plain_.reset();
    secure_.reset();
    content_.reset();
}

} // namespace quolis
