// The battle scene's five handlers and the work done before every step:
// the pause key, the camera keys and the creatures' upkeep.
#include "scenes/battle/BattleScene.h"

#include "battle/Reach.h"
#include "common/Log.h"
#include "common/Text.h"
#include "scenes/battle/BattleUnits.h"

#include <algorithm>

namespace quolis {

namespace {

// Codes at which the start key does not pause: the fades and menus of the
// victory, the defeat and the leaving, and the story and menu services.
bool PauseAllowed(int code) {
    static constexpr int kNoPause[] = {10000, 10100, 10105, 10110, 10115, 10120, 10125, 10150,
                                       10200, 10210, 10220, 10300, 10500, 10600, 11000, 11010,
                                       11100, 11200, 11400, 50000, 50010, -1000, -1010, -1100,
                                       -1110, -3000, -3010, -4000, -4010};
    return std::find(std::begin(kNoPause), std::end(kNoPause), code) == std::end(kNoPause);
}

} // namespace

float BattleScene::Speed(CGameApp& app, int key) const {
    return app.Speed(key);
}

HRESULT BattleScene::Build(CGameApp& app) {
    data_ = std::make_unique<BattleData>();
    BattleData& d = *data_;
    d.random.SetCalendar(&app.GameCalendar());
    CCampaign& campaign = app.OwnCampaign();
    CreateField(d.stage, campaign.FloorTextures());
    const std::string stageFile = BattleStageFile(app);
    bool ok = d.stage.ReadFloor(app.ContentReader(), stageFile, campaign.FloorTextures(),
                                campaign.FloorObjects());
    ok = d.stage.ReadBattleData(app.ContentReader(), stageFile, campaign.Charas(),
                                campaign.Arms()) &&
         ok;
    d.stageLoaded = ok;
    if (!ok) {
        LogLine("battle: the stage file " + Cp932ToUtf8(stageFile) +
                " could not be read; the battle runs on the default floor");
    }
    d.floor.Build(d.stage);
    CCellCursor::SetFloor(&d.floor.Floor());
    CreateFloorObjects(d.stage);

    d.backdrop.Setup(0, 0, 1.0f, 800, 600, 0, 255, 0);
    d.backdrop.SetTextureName("Battle\\ScrBoard.bmp");
    d.backdrop.SetScroll(-0.007f, -0.0035f);
    d.backdrop.SetEnabled(0);
    d.cursor.SetTextureName("Battle\\Cursor.bmp");
    d.cursor.SetSize(kCellSize, 0, kCellSize);
    d.cursor.SetDepthTest(0);
    d.panels.Create();
    d.area.SetAlphaLimits(0, 128);

    // The shared selection menu (victory, defeat, pause, core case).
    d.menu = app.SlotLists().Add(std::make_unique<CSlotList>());
    if (d.menu != nullptr) {
        d.menu->SetupWidget(SJ("ＭＳ Ｐゴシック"), 14, 1);
    }
    app.SetSharedSlotList(d.menu);

    if (GameState* state = app.OwnCampaign().State()) {
        FillPlayerUnits(d.stage, state->squad);
    }
    d.enemyTurn = std::make_unique<EnemyTurn>(
        d.stage, BonusTables{&campaign.Directions(), &campaign.Heights()}, campaign.Charas(),
        app.Settings().flagAlwaysCore != 0, d.random);
    units_.Build(app, d);
    app.SetGameSpeed(app.GameSpeed(), false, false);
    return ok ? S_OK : E_FAIL;
}

HRESULT BattleScene::SetUp(CGameApp& app) {
    if (!data_) {
        return S_OK;
    }
    BattleData& d = *data_;
    CharaMap none;
    GameState* state = app.OwnCampaign().State();
    PlaceUnits(d.stage, state != nullptr ? state->squad : none);
    d.selected = d.stage.PlayerUnits.empty() ? nullptr : &d.stage.PlayerUnits.begin()->second;
    units_.Place(app, d);
    d.view.Start(d.stage.cameraAngle);
    ApplyCamera(app, false);
    app.Camera().LookAtCell(d.stage.floorWidth / 2, d.stage.floorDepth / 2);
    ApplyCamera(app, true);
    d.cursor.SetCell(d.stage.floorWidth / 2, d.stage.floorDepth / 2);
    app.SetSceneTitle(StageLabel(d.stage.stageName, d.stage.stageNumber, d.stage.stageName2));
    if (app.Midi() != nullptr) {
        app.Midi()->Play(d.stage.allyMusic);
    }
    return S_OK;
}

HRESULT BattleScene::Frame(CGameApp& app) {
    if (!data_) {
        return S_OK;
    }
    const int code = app.GetCycle(kSceneBattle);
    PreStep(app, code);
    // The pause may have changed the code.
    const int now = app.GetCycle(kSceneBattle);
    if (now != code) {
        return S_OK;
    }
    StepOpening(app, code) || StepPlayerTurn(app, code) || StepCommands(app, code) ||
        StepMove(app, code) || StepCores(app, code) || StepEnemyTurn(app, code) ||
        StepVictory(app, code) || StepDefeat(app, code) || StepPause(app, code) ||
        StepLeave(app, code);
    return S_OK;
}

void BattleScene::PreStep(CGameApp& app, int code) {
    BattleData& d = *data_;
    std::uint32_t* t = app.Triggers();
    if (PauseAllowed(code) && t[kInputStart] != 0 && d.paused == 0) {
        app.PlayCue(SJ("スタートキー"));
        d.paused = 1;
        d.savedCode = code;
        d.savedAfter = app.GetAfterCycle(kSceneBattle);
        d.panels.ShowPause(true);
        t[kInputStart] = 0;
        app.SetCycle(kCycleHalfDownPicture, kSceneBattle, kBattlePause);
    }
    CameraKeys(app);
    if (d.paused == 0) {
        if (d.backdrop.IsEnabled() != 0) {
            d.backdrop.UpdateScroll();
        }
        if (app.Script() != nullptr) {
            app.Script()->Update();
        }
        units_.Update(d);
    }
}

HRESULT BattleScene::Draw(CGameApp& app) {
    if (!data_) {
        return S_OK;
    }
    BattleData& d = *data_;
    d.backdrop.Draw();
    units_.DrawScenery(app);
    d.floor.Draw();
    d.area.Draw();
    d.cursor.Draw();
    units_.DrawCreatures(d);
    d.panels.DrawCommandBanner();
    units_.DrawEffects(d);
    d.panels.DrawPanels();
    if (d.menu != nullptr) {
        d.menu->Draw();
    }
    d.panels.DrawTexts();
    if (app.Script() != nullptr) {
        app.Script()->Draw();
    }
    return S_OK;
}

HRESULT BattleScene::Teardown(CGameApp& app) {
    if (!data_) {
        return S_OK;
    }
    app.SetSharedSlotList(nullptr);
    Release();
    return S_OK;
}

BattleScene::~BattleScene() {
    Release();
}

void BattleScene::Release() {
    if (!data_) {
        return;
    }
    units_.Release(*data_);
    data_->stage.PlayerUnits.clear();
    // The cursor and the camera forget the floor that goes with the battle.
    CCellCursor::SetFloor(nullptr);
    CCamera::InitCells(0, nullptr, {0, 0, 0});
    data_.reset();
}

// --- helpers shared by the steps --------------------------------------------

void BattleScene::Message(CGameApp& app, const std::vector<std::string>& lines, int after) {
    if (CScript* script = app.ScriptEngine()) {
        TokenList tokens(lines.begin(), lines.end());
        script->RunTokens(tokens, true);
    }
    app.SetCycle(kCycleScript, kSceneBattle, after);
}

void BattleScene::FillMenu(const std::vector<std::string>& items) {
    CSlotList* menu = data_->menu;
    if (menu == nullptr) {
        return;
    }
    menu->ClearEntries();
    int key = 0;
    for (const std::string& item : items) {
        menu->AddEntry(item, key, 300, 200.0f + 30.0f * static_cast<float>(key), 0.1f, 200, 30, 0);
        ++key;
    }
    menu->SetAlpha(255);
}

void BattleScene::ShowArea(Argb colour) {
    BattleData& d = *data_;
    BuildAreaQuads(d.stage, d.reach, d.area);
    d.area.SetColour(static_cast<int>(colour >> 24), static_cast<int>((colour >> 16) & 0xFF),
                     static_cast<int>((colour >> 8) & 0xFF), static_cast<int>(colour & 0xFF));
}

void BattleScene::HideArea() {
    data_->area.ClearQuads();
}

void BattleScene::EndPlayerTurn() {
    for (auto& [name, unit] : data_->stage.PlayerUnits) {
        unit.SetMoved(false);
        unit.SetActed(false);
        units_.SetAlpha(unit, 255);
    }
}

std::unique_ptr<CScene> MakeBattleScene() {
    return std::make_unique<BattleScene>();
}

void InstallBattleScene(CGameApp& app) {
    app.SetSceneHandlers(kSceneBattle, MakeBattleScene());
}

} // namespace quolis
