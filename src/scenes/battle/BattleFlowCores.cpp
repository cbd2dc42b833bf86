// Cores on the floor: a unit that ends its move on a lying core picks it up
// into the core case; with a full case the player may discard one first, or
// leave the core where it lies.
#include "common/Text.h"
#include "manage/Roster.h"
#include "scenes/battle/BattleScene.h"

namespace quolis {

namespace {

std::vector<std::string> Narration(const char* utf8) {
    return {SJ("ナレーション："), Utf8ToCp932(utf8), "."};
}

} // namespace

void BattleScene::DimForCores(CGameApp& app, bool on) {
    BattleData& d = *data_;
    if (on) {
        CColour::SetAllAlphaLimits(128, 180);
        app.SetBrightness(180);
    } else {
        CColour::SetAllAlphaLimits(0, 255);
        app.SetBrightness(255);
        d.panels.RestoreLimits();
        d.area.SetAlphaLimits(0, 128);
    }
}

void BattleScene::TakeCore(CGameApp& app, int after) {
    BattleData& d = *data_;
    GameState* state = app.OwnCampaign().State();
    CharaValues* core = UnitAt(d.stage.FieldCores, d.selected->CellX(), d.selected->CellY());
    if (state == nullptr || core == nullptr) {
        app.SetCycle(2000, kSceneBattle);
        return;
    }
    units_.Forget(*core);
    PickUpCore(*d.selected, d.stage.FieldCores, *state, app.OwnCampaign().Charas());
    units_.Sync(d);
    Message(app, Narration("コアを手に入れました・・・。"), after);
}

void BattleScene::CorePickup(CGameApp& app) {
    BattleData& d = *data_;
    GameState* state = app.OwnCampaign().State();
    if (state == nullptr ||
        UnitAt(d.stage.FieldCores, d.selected->CellX(), d.selected->CellY()) == nullptr) {
        app.SetCycle(2000, kSceneBattle);
        return;
    }
    DimForCores(app, true);
    if (static_cast<std::int32_t>(state->cores.size()) >= kCoreCaseCapacity) {
        app.SetCycle(1200, kSceneBattle);
        return;
    }
    TakeCore(app, 1260);
}

bool BattleScene::StepCores(CGameApp& app, int code) {
    BattleData& d = *data_;
    GameState* state = app.OwnCampaign().State();
    switch (code) {
    case 1200:
        Message(app,
                {SJ("ナレーション："), SJ("コアケースには９個までしか入りません。"), ".",
                 SJ("コアケースからどれか廃棄しますか？"), "."},
                1210);
        return true;
    case 1210:
        d.panels.ShowChoiceWindow(true);
        FillMenu({SJ("廃棄する"), SJ("廃棄しない")});
        app.SetCycle(kCycleSlotList, kSceneBattle, 1220);
        return true;
    case 1220:
        app.SetCycle(app.ResultName == SJ("廃棄する") ? 1230 : 1260, kSceneBattle);
        return true;
    case 1230: {
        std::vector<std::string> items;
        if (state != nullptr) {
            for (const auto& [name, core] : state->cores) {
                items.push_back(name);
            }
        }
        items.push_back(SJ("←やっぱり廃棄しない"));
        FillMenu(items);
        app.SetCycle(kCycleSlotList, kSceneBattle, 1240);
        return true;
    }
    case 1240: {
        const std::string& chosen = app.ResultName;
        if (state == nullptr || chosen == SJ("←やっぱり廃棄しない") || chosen == SJ("キャンセル")) {
            app.SetCycle(1210, kSceneBattle);
            return true;
        }
        // The chosen entry, counted in the case's order.
        auto it = state->cores.begin();
        for (int i = 0; it != state->cores.end() && i < app.ResultIndex; ++i) {
            ++it;
        }
        if (it != state->cores.end()) {
            state->cores.erase(it);
        }
        Message(app, Narration("コアを廃棄しました・・・。"), 1250);
        return true;
    }
    case 1250:
        TakeCore(app, 1260);
        return true;
    case 1260:
        d.panels.ShowChoiceWindow(false);
        if (d.menu != nullptr) {
            d.menu->ClearEntries();
        }
        DimForCores(app, false);
        app.SetCycle(2000, kSceneBattle);
        return true;
    default:
        return false;
    }
}

} // namespace quolis
