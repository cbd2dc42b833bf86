// How a battle ends: the victory with its figures, the closing story and the
// way on (ending, stage events or the next-stage menu with its saves), the
// defeat with "リトライ" / "メニューへ戻る", the pause menu, and the leaving.
#include "common/Text.h"
#include "scenes/battle/BattleScene.h"

namespace quolis {

namespace {

bool IsNothing(const std::string& file) {
    return file.empty() || file == "Nothing";
}

constexpr float kResultHold = 0.5f;

} // namespace

VictoryRoute RouteAfterVictory(const StageData& stage) {
    VictoryRoute r;
    if (stage.nextStageFile == "Ending") {
        r.kind = VictoryRoute::Ending;
        return r;
    }
    // A stage that names no next stage is treated as "Nothing".
    const bool next = !IsNothing(stage.nextStageFile);
    r.offerSave = next ? 1 : 0;
    if (!stage.closingEvent.empty()) {
        r.kind = VictoryRoute::StageEvent;
    } else if (next) {
        r.kind = VictoryRoute::NextStageMenu;
    } else {
        r.kind = VictoryRoute::SameScene;
    }
    return r;
}

std::vector<std::string> NextStageChoices(const std::string& gameStatePath) {
    std::vector<std::string> items{SJ("次のステージへ")};
    if (gameStatePath.find("Init.Dat") == std::string::npos) {
        items.push_back(SJ("上書きセーブして次のステージへ"));
    }
    items.push_back(SJ("セーブして次のステージへ"));
    return items;
}

bool BattleScene::StepVictory(CGameApp& app, int code) {
    if (code < kBattleVictory || code >= kBattleDefeat) {
        return false;
    }
    BattleData& d = *data_;
    GameState* state = app.OwnCampaign().State();
    const float vary = Speed(app, kSpeedVary);
    switch (code) {
    case kBattleVictory:
        app.SetCycle(kCycleHalfDownPicture, kSceneBattle, 10100);
        break;
    case 10100:
        if (state != nullptr) {
            state->openingSeen = 0;
        }
        Message(app, {SJ("ナレーション："), SJ("戦闘に勝利しました・・・。"), "."}, 10105);
        break;
    case 10105:
        d.panels.StartResultLine(0, d.stage.battleBP);
        app.SetCycle(10110, kSceneBattle);
        break;
    case 10110:
        if (d.panels.CountResultLine(0, vary) == 0) {
            d.panels.StartResultLine(1, d.stage.eventBonus);
            app.SetCycle(10115, kSceneBattle);
        }
        break;
    case 10115:
        if (d.panels.CountResultLine(1, vary) == 0) {
            int pool = 0;
            if (state != nullptr) {
                state->bpPool += d.stage.battleBP + d.stage.eventBonus;
                pool = state->bpPool;
            }
            d.panels.StartResultLine(2, pool);
            app.SetCycle(10120, kSceneBattle);
        }
        break;
    case 10120:
        if (d.panels.CountResultLine(2, vary) == 0) {
            d.resultWait.Clear();
            app.SetCycle(10125, kSceneBattle);
        }
        break;
    case 10125:
        if (d.resultWait.Done(app.SceneTimer(0), kResultHold)) {
            d.panels.ClearResults();
            app.SetCycle(10150, kSceneBattle);
        }
        break;
    case 10150:
        if (app.Settings().flagMsg == 0) {
            app.SetCycle(10210, kSceneBattle);
        } else if (IsNothing(d.stage.closingStory)) {
            app.SetCycle(10200, kSceneBattle);
        } else {
            if (CScript* script = app.ScriptEngine()) {
                script->RunFile(d.stage.closingStory);
            }
            app.SetCycle(kCycleScript, kSceneBattle, 10200);
        }
        break;
    case 10200: {
        const VictoryRoute route = RouteAfterVictory(d.stage);
        switch (route.kind) {
        case VictoryRoute::Ending:
            app.SetNextScene(kSceneEnding, 0);
            app.SetCycle(kBattleLeave, kSceneBattle);
            break;
        case VictoryRoute::StageEvent:
            app.Handover.offerSave = route.offerSave;
            app.Handover.openingPending = 0;
            app.OwnCampaign().SetCurrentStageFile(d.stage.nextStageFile);
            app.Handover.eventName = d.stage.closingEvent;
            app.SetNextScene(kSceneStageEvent, 0);
            app.SetCycle(kBattleLeave, kSceneBattle);
            break;
        case VictoryRoute::NextStageMenu:
            app.Handover.offerSave = route.offerSave;
            app.SetCycle(10210, kSceneBattle);
            break;
        case VictoryRoute::SameScene:
            // With no next stage and no closing event the battle would start
            // again; like the stage-clear scene after "Nothing", the game
            // returns to the menu hub instead.
            app.Handover.offerSave = route.offerSave;
            app.SetNextScene(kSceneMenu, 0);
            app.SetCycle(kBattleLeave, kSceneBattle);
            break;
        }
        break;
    }
    case 10210:
        app.SetCycle(kCycleHalfDownPicture, kSceneBattle, 10220);
        break;
    case 10220:
        FillMenu(NextStageChoices(state != nullptr ? state->filePath : std::string()));
        app.SetCycle(kCycleSlotList, kSceneBattle, 10300);
        break;
    case 10300: {
        app.OwnCampaign().SetCurrentStageFile(d.stage.nextStageFile);
        app.SetNextScene(kSceneMenu, 0);
        const std::string& chosen = app.ResultName;
        if (chosen == SJ("セーブして次のステージへ")) {
            app.SetCycle(10500, kSceneBattle);
        } else {
            if (chosen == SJ("上書きセーブして次のステージへ") && state != nullptr &&
                app.Campaign() != nullptr) {
                app.Campaign()->WriteSave(app.SecureReader(), state->filePath);
            }
            app.SetCycle(kBattleLeave, kSceneBattle);
        }
        break;
    }
    case 10500:
        FillSaveSlots(app);
        app.SetCycle(kCycleSlotList, kSceneBattle, 10600);
        break;
    case 10600:
        app.SetCycle(kCycleWriteSave, kSceneBattle, kBattleLeave, 10220);
        break;
    default:
        return false;
    }
    return true;
}

void BattleScene::FillSaveSlots(CGameApp& app) {
    CSlotList* menu = data_->menu;
    if (menu == nullptr) {
        return;
    }
    menu->ClearEntries();
    for (const SlotEntry& e : BuildSlotList(false, [&app](int slot) {
             return ReadSlotSummary(app.SecureReader(), app.ContentReader(),
                                    CGameApp::SavePath(slot));
         })) {
        menu->AddEntry(e.text, e.key, e.x, e.y, e.z, e.width, e.height, 0);
    }
    menu->SetAlpha(255);
}

bool BattleScene::StepDefeat(CGameApp& app, int code) {
    switch (code) {
    case kBattleDefeat:
        app.SetCycle(kCycleHalfDownPicture, kSceneBattle, 11010);
        return true;
    case 11010:
        if (app.Midi() != nullptr) {
            app.Midi()->Play("BattleLoss1.mid");
        }
        Message(app, {SJ("ナレーション："), SJ("戦闘に敗北しました・・・。"), "."}, 11100);
        return true;
    case 11100:
        app.SetCycle(kCycleHalfDownPicture, kSceneBattle, 11200);
        return true;
    case 11200:
        FillMenu({SJ("リトライ"), SJ("メニューへ戻る")});
        app.SetCycle(kCycleSlotList, kSceneBattle, 11400);
        return true;
    case 11400:
        app.SetNextScene(app.ResultName == SJ("リトライ") ? kSceneBattle : kSceneMenu, 0);
        app.SetCycle(kBattleLeave, kSceneBattle);
        return true;
    default:
        return false;
    }
}

bool BattleScene::StepLeave(CGameApp& app, int code) {
    BattleData& d = *data_;
    switch (code) {
    case kBattleLeave:
        app.SetCycle(kCycleFadeOut, kSceneBattle, kBattleLeaveSwitch);
        return true;
    case kBattleLeaveSwitch:
        if (app.Midi() != nullptr) {
            app.Midi()->Stop();
        }
        for (auto& [name, unit] : d.stage.PlayerUnits) {
            unit.SetHP(unit.MaxHP());
            unit.SetMP(unit.MaxMP());
        }
        app.SwitchToNextScene();
        return true;
    default:
        return false;
    }
}

void BattleScene::Resume() {
    BattleData& d = *data_;
    CStopwatch::ResumeAll();
    d.panels.ShowPause(false);
    if (d.menu != nullptr) {
        d.menu->ClearEntries();
    }
}

bool BattleScene::StepPause(CGameApp& app, int code) {
    BattleData& d = *data_;
    std::uint32_t* t = app.Triggers();
    switch (code) {
    case kBattlePause:
        CStopwatch::PauseAll();
        app.SetCycle(-10010, kSceneBattle);
        return true;
    case -10010:
        FillMenu({SJ("ゲームに戻る"), SJ("リトライ"), SJ("メニューへ")});
        if (d.menu != nullptr) {
            OpenMenu(*d.menu);
        }
        app.SetCycle(-10015, kSceneBattle, -10020);
        return true;
    case -10015:
        if (t[kInputStart] != 0) {
            t[kInputStart] = 0;
            app.PlayCue(SJ("スタートキー"));
            Resume();
            app.SetCycle(kCycleFadeIn, kSceneBattle, -10030);
        } else if (d.menu != nullptr && StepSlotListMenu(*d.menu, t, &app, app.ResultName,
                                                         app.ResultIndex) == MenuStep::Done) {
            app.SetCycle(-10020, kSceneBattle);
        }
        return true;
    case -10020: {
        const std::string& chosen = app.ResultName;
        if (chosen == SJ("リトライ") || chosen == SJ("メニューへ")) {
            d.paused = 0;
            Resume();
            units_.SwitchDarkening(0);
            app.SetNextScene(chosen == SJ("リトライ") ? kSceneBattle : kSceneMenu, 0);
            app.SetCycle(kBattleLeave, kSceneBattle);
        } else {
            Resume();
            app.SetCycle(kCycleFadeIn, kSceneBattle, -10030);
        }
        return true;
    }
    case -10030:
        d.paused = 0;
        app.SetCycle(d.savedCode, kSceneBattle, d.savedAfter);
        return true;
    default:
        return false;
    }
}

} // namespace quolis
