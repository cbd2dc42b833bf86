// Scene 5: run the handed-over event, dim, then the battle, the menu hub or
// the stage-clear choice (with saving) as the hand-over asks.
#include "common/Log.h"
#include "common/Text.h"
#include "scenes/DrawOrder.h"
#include "scenes/stageevent/StageEvents.h"

namespace quolis {

namespace {

enum StageEventStep : int {
    kEventStart = 0,
    kEventRun = 100,
    kEventDim = 200,
    kEventDecide = 300,
    kEventChosen = 400,
    kEventSaveSlot = 500,
    kEventSaved = 600,
    kEventFadeOut = 900,
};

class StageEventScene final : public CScene {
public:
    HRESULT Build(CGameApp& app) override {
        list_ = app.SlotLists().Add(std::make_unique<CSlotList>());
        if (list_ != nullptr) {
            list_->SetupWidget(SJ("ＭＳ Ｐゴシック"), 14, 1);
        }
        app.SetSharedSlotList(list_);
        return S_OK;
    }

    HRESULT Frame(CGameApp& app) override {
        if (app.Script() != nullptr) {
            app.Script()->Update();
        }
        switch (app.GetCycle(kSceneStageEvent)) {
        case kEventStart:
            app.SetCycle(kCycleFadeIn, kSceneStageEvent, StartEvent(app) ? kEventRun : kEventDim,
                         -1);
            break;
        case kEventRun:
            app.SetCycle(kCycleScript, kSceneStageEvent, kEventDim, -1);
            break;
        case kEventDim:
            app.SetCycle(kCycleHalfDown, kSceneStageEvent, kEventDecide, -1);
            break;
        case kEventDecide:
            AfterEvent(app);
            break;
        case kEventChosen:
            Choose(app);
            break;
        case kEventSaveSlot:
            // "←" or cancel brings the choice back.
            app.SetCycle(kCycleWriteSave, kSceneStageEvent, kEventSaved, kEventDecide);
            break;
        case kEventSaved:
            ToMenuHub(app);
            break;
        case kEventFadeOut:
            app.SetCycle(kCycleFadeOut, kSceneStageEvent, kCycleLeave, -1);
            break;
        case kCycleLeave:
            return app.SwitchToNextScene();
        default:
            break;
        }
        return S_OK;
    }

    HRESULT Draw(CGameApp& app) override {
        DrawInOrder(app.Script(), list_);
        return S_OK;
    }

    HRESULT Teardown(CGameApp& /*app*/) override {
        list_ = nullptr;
        return S_OK;
    }

private:
    // Hands the event to the script engine and shows it; false when the
    // event cannot be run (the scene then goes on without it).
    bool StartEvent(CGameApp& app) {
        const std::string& event = app.Handover.eventName;
        CScript* script = app.ScriptEngine();
        // A file that cannot be read, or that ends in its first step, leaves
        // nothing to read: the scene goes on without waiting for a key.
        if (script == nullptr || event.empty() || Failed(script->RunFile(event)) ||
            !script->Running()) {
            LogLine("stage event \"" + Cp932ToUtf8(event) + "\" has nothing to show");
            return false;
        }
        app.Script()->Show(true);
        return true;
    }

    void AfterEvent(CGameApp& app) {
        if (app.Handover.openingPending != 0) {
            app.Handover.openingPending = 0;
            app.SetNextScene(kSceneBattle, 0);
            app.SetCycle(kEventFadeOut, kSceneStageEvent, -1, -1);
            return;
        }
        if (app.Handover.offerSave == 0) {
            ToMenuHub(app);
            return;
        }
        if (list_ != nullptr) {
            list_->ClearEntries();
            const GameState* state = app.OwnCampaign().State();
            std::vector<std::string> items = StageClearChoices(state ? state->filePath : "");
            for (std::size_t i = 0; i < items.size(); ++i) {
                list_->AddEntry(items[i], static_cast<int>(i), kChoiceX,
                                kChoiceY + kChoiceStep * static_cast<float>(i), 1.0f, 200,
                                kChoiceStep, 0);
            }
        }
        app.SetCycle(kCycleSlotList, kSceneStageEvent, kEventChosen, -1);
    }

    void Choose(CGameApp& app) {
        const std::string& r = app.ResultName;
        if (r == NextStageChoice()) {
            ToMenuHub(app);
        } else if (r == OverwriteChoice()) {
            GameState* state = app.OwnCampaign().State();
            if (state != nullptr &&
                app.OwnCampaign().WriteSave(app.SecureReader(), state->filePath)) {
                ToMenuHub(app);
            } else {
                // The player asked to keep the campaign: a failed write must
                // not pass for a saved one, so the choice comes back.
                LogLine("the campaign could not be written to its own file");
                app.SetCycle(kEventDecide, kSceneStageEvent, -1, -1);
            }
        } else if (r == SaveChoice()) {
            app.FillSlotList(false);
            app.SetCycle(kCycleSlotList, kSceneStageEvent, kEventSaveSlot, -1);
        } else {
            // Cancel: the choice stays until one of its items is taken.
            app.SetCycle(kEventDecide, kSceneStageEvent, -1, -1);
        }
    }

    void ToMenuHub(CGameApp& app) {
        app.Handover.offerSave = 0;
        app.SetNextScene(kSceneMenu, 0);
        app.SetCycle(kEventFadeOut, kSceneStageEvent, -1, -1);
    }

    CSlotList* list_ = nullptr;
};

} // namespace

std::unique_ptr<CScene> MakeStageEventScene() {
    return std::make_unique<StageEventScene>();
}

} // namespace quolis
