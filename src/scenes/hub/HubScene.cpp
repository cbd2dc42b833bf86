// Scene 3: opening (block, squad maximum, label, buttons), the wait for a
// choice with the map turning, and the requests the buttons make.
#include "scenes/hub/HubScene.h"
#include "scenes/DrawOrder.h"

#include "common/Text.h"
#include "manage/Roster.h"
#include "scenes/stageevent/StageEvents.h"

namespace quolis {

namespace {

// The hub's own steps.
enum HubStep : int {
    kHubOpen = 0,
    kHubMenu = 100,
    kHubChosen = 400,
    kHubFadeOut = 500,
    kHubSaveList = 1000,
    kHubSaveSlot = 1010,
    kHubBackToMenu = 1020,
    kHubLoadList = 1100,
    kHubLoadSlot = 1110,
    kHubLoaded = 1120,
    kHubWait = -10000, // in place of the shared button-row service
};

constexpr float kMapTurnStep = 0.2f;
constexpr float kMapTurnDegrees = 90;

class HubScene final : public CScene {
public:
    HRESULT Build(CGameApp& app) override {
        background_ = app.Polygons().Add(std::make_unique<CPolygon>());
        map_ = app.Meshes().Add(std::make_unique<CMesh>());
        label_ = app.Texts().Add(std::make_unique<CTextObject>());
        if (label_ != nullptr) {
            label_->SetFont(SJ("ＭＳ Ｐゴシック"), 20, 1);
            label_->position = {330, 450, 1.0f};
        }
        row_ = app.ButtonRows().Add(std::make_unique<CButtonRow>());
        if (row_ != nullptr) {
            row_->SetupWidget();
        }
        list_ = app.SlotLists().Add(std::make_unique<CSlotList>());
        if (list_ != nullptr) {
            list_->SetupWidget(SJ("ＭＳ Ｐゴシック"), 14, 1);
        }
        app.SetSharedButtonRow(row_);
        app.SetSharedSlotList(list_);
        return S_OK;
    }

    HRESULT SetUp(CGameApp& app) override {
        app.SetWindowTitle(CGameApp::AppTitle());
        if (background_ != nullptr) {
            background_->Setup(0, 0, 1.0f, 800, 600, 0, 255, 0);
            background_->SetTextureName("Menu\\BG.bmp");
        }
        if (list_ != nullptr) {
            list_->SetAlpha(255);
        }
        if (app.Midi() != nullptr) {
            app.Midi()->Play("Menu.mid");
        }
        return S_OK;
    }

    HRESULT Frame(CGameApp& app) override {
        const int step = app.GetCycle(kSceneMenu);
        TurnMap(app, step == kHubWait);
        switch (step) {
        case kHubOpen:
            Open(app);
            app.SetCycle(kCycleFadeIn, kSceneMenu, kHubMenu, -1);
            break;
        case kHubMenu:
            if (row_ != nullptr) {
                OpenMenu(*row_);
            }
            app.SetCycle(kHubWait, kSceneMenu, kHubChosen, -1);
            break;
        case kHubWait:
            WaitForChoice(app);
            break;
        case kHubChosen:
            Choose(app);
            break;
        case kHubFadeOut:
            app.SetCycle(kCycleFadeOut, kSceneMenu, kCycleLeave, -1);
            break;
        case kHubSaveList:
            app.FillSlotList(false);
            app.SetCycle(kCycleSlotList, kSceneMenu, kHubSaveSlot, -1);
            break;
        case kHubSaveSlot:
            app.SetCycle(kCycleWriteSave, kSceneMenu, kHubBackToMenu, kHubBackToMenu);
            break;
        case kHubBackToMenu:
            if (list_ != nullptr) {
                list_->ClearEntries();
            }
            app.SetCycle(kHubMenu, kSceneMenu, -1, -1);
            break;
        case kHubLoadList:
            app.FillSlotList(true);
            app.SetCycle(kCycleSlotList, kSceneMenu, kHubLoadSlot, -1);
            break;
        case kHubLoadSlot:
            // A loaded campaign opens the hub afresh on its own block.
            app.SetNextScene(kSceneMenu, 0);
            app.SetCycle(kCycleLoadSave, kSceneMenu, kHubLoaded, kHubBackToMenu);
            break;
        case kHubLoaded:
            app.SetCycle(kCycleFadeOut, kSceneMenu, kCycleLeave, -1);
            break;
        case kCycleLeave:
            return app.SwitchToNextScene();
        default:
            break;
        }
        return S_OK;
    }

    HRESULT Draw(CGameApp& /*app*/) override {
        DrawInOrder(background_, map_, label_, row_, list_);
        return S_OK;
    }

    HRESULT Teardown(CGameApp& /*app*/) override {
        background_ = nullptr; // the pools delete them
        map_ = nullptr;
        label_ = nullptr;
        row_ = nullptr;
        list_ = nullptr;
        return S_OK;
    }

private:
    void Open(CGameApp& app) {
        // The block decides the map and the squad maximum; the stage data is
        // only read for that and released again.
        std::string label;
        {
            StageData stage;
            if (ReadCurrentStage(app, stage)) {
                std::string mesh = HubMapMesh(stage.stageName);
                if (!mesh.empty() && map_ != nullptr) {
                    map_->SetMesh(mesh);
                }
                label = HubStageLabel(stage.stageName, stage.stageNumber, stage.stageName2);
            }
            app.OwnCampaign().SetSquadMax(SquadMaxForStage(stage.stageName));
        }
        if (label_ != nullptr) {
            label_->SetText(label);
        }
        targetYaw_ = kHubMapStartYaw;
        if (map_ != nullptr) {
            map_->SetRotation(0, kHubMapStartYaw, 0);
        }
        if (row_ != nullptr) {
            row_->ClearEntries();
            for (const HubButton& b : HubButtons(app.OwnCampaign().CurrentStageFile())) {
                row_->AddEntry(b.label, b.picture, b.key, b.x, b.y, 1.0f, kHubButtonWidth,
                               kHubButtonHeight, 0);
            }
        }
    }

    // The map slides toward its target yaw; only at rest do the turn keys
    // give it a new target, a quarter turn from where it stands.
    void TurnMap(CGameApp& app, bool keys) {
        if (map_ == nullptr) {
            return;
        }
        if (map_->SlideRotationTo(0, targetYaw_, 0, kMapTurnStep) != 0 || !keys) {
            return;
        }
        const std::uint32_t* t = app.Triggers();
        const float yaw = map_->GetRotation().y;
        if (t[kInputLeft] != 0 || t[kInputRotateLeft] != 0) {
            app.PlayCue(SJ("ターンマップキー"));
            targetYaw_ = yaw - kMapTurnDegrees;
        } else if (t[kInputRight] != 0 || t[kInputRotateRight] != 0) {
            app.PlayCue(SJ("ターンマップキー"));
            targetYaw_ = yaw + kMapTurnDegrees;
        }
    }

    // Up and down move through the buttons in key order; decide reads the
    // choice and goes on to the step chosen in advance.
    void WaitForChoice(CGameApp& app) {
        if (row_ == nullptr) {
            return;
        }
        std::uint32_t* t = app.Triggers();
        if (t[kInputUp] != 0) {
            app.PlayCue(SJ("方向キー"));
            t[kInputUp] = 0;
            row_->SelectPrev();
        } else if (t[kInputDown] != 0) {
            app.PlayCue(SJ("方向キー"));
            t[kInputDown] = 0;
            row_->SelectNext();
        }
        if (t[kInputDecide] != 0) {
            std::string name = app.ResultName;
            int key = app.ResultIndex;
            row_->GetSelected(name, &key);
            if (!name.empty()) {
                app.PlayCue(SJ("決定キー"));
                t[kInputDecide] = 0;
                app.ResultName = name;
                app.ResultIndex = key;
                app.SetCycle(app.GetAfterCycle(kSceneMenu), kSceneMenu);
            }
        }
    }

    void Choose(CGameApp& app) {
        const std::string& r = app.ResultName;
        int next = -1;
        if (r == HubNextBattleName()) {
            StageData stage;
            ReadCurrentStage(app, stage);
            next = NextBattleScene(app, stage);
        } else if (r == HubStatusName()) {
            next = kSceneStatus;
        } else if (r == HubLevelUpName()) {
            next = kSceneLevelUp;
        } else if (r == HubFusionName()) {
            next = kSceneFusion;
        } else if (r == HubRegenerationName()) {
            next = kSceneRegeneration;
        } else if (r == HubDiscardName()) {
            next = kSceneDiscard;
        } else if (r == HubSaveName()) {
            app.SetCycle(kHubSaveList, kSceneMenu, -1, -1);
            return;
        } else if (r == HubLoadName()) {
            app.SetCycle(kHubLoadList, kSceneMenu, -1, -1);
            return;
        } else {
            app.SetCycle(kHubMenu, kSceneMenu, -1, -1);
            return;
        }
        app.SetNextScene(next, 0);
        app.SetCycle(kHubFadeOut, kSceneMenu, -1, -1);
    }

    CPolygon* background_ = nullptr;
    CMesh* map_ = nullptr;
    CTextObject* label_ = nullptr;
    CButtonRow* row_ = nullptr;
    CSlotList* list_ = nullptr;
    float targetYaw_ = kHubMapStartYaw;
};

} // namespace

std::unique_ptr<CScene> MakeHubScene() {
    return std::make_unique<HubScene>();
}

} // namespace quolis
