// The battle's opening and the player's turn: the turn banner, the turn
// check, the free cursor with the enemy details window and "ターン終了", the
// command menu, the move through the blue area and the walk along the path.
#include "battle/Reach.h"
#include "common/Text.h"
#include "scenes/battle/BattleScene.h"

namespace quolis {

namespace {

constexpr Argb kMoveAreaColour = 0x800000C8u;

bool IsNothing(const std::string& file) {
    return file.empty() || file == "Nothing";
}

} // namespace

bool BattleScene::StepOpening(CGameApp& app, int code) {
    BattleData& d = *data_;
    GameState* state = app.OwnCampaign().State();
    switch (code) {
    case kBattleStart:
        if (app.Settings().flagMsg != 0 && state != nullptr && state->openingSeen == 0 &&
            !IsNothing(d.stage.openingStory)) {
            app.SetCycle(kCycleHalfUpQuiet, kSceneBattle, 50);
        } else {
            app.SetCycle(kCycleFadeIn, kSceneBattle, 90);
        }
        return true;
    case 50:
        if (CScript* script = app.ScriptEngine()) {
            script->RunFile(d.stage.openingStory);
        }
        if (app.Script() != nullptr) {
            app.Script()->SetBrightness(255);
        }
        app.SetCycle(kCycleScript, kSceneBattle, 80);
        return true;
    case 80:
        app.SetCycle(kCycleFadeIn, kSceneBattle, 90);
        return true;
    case 90:
        if (d.selected != nullptr) {
            const Cell c = CellOf(*d.selected);
            if (app.Camera().GlideToCell(c.x, c.y, Speed(app, kSpeedCameraMove)) != 0) {
                return true;
            }
            CursorTo(app, c);
        }
        if (state != nullptr) {
            state->openingSeen = 1;
        }
        app.SetCycle(kBattlePlayerTurn, kSceneBattle);
        return true;
    default:
        return false;
    }
}

bool BattleScene::StepPlayerTurn(CGameApp& app, int code) {
    BattleData& d = *data_;
    std::uint32_t* t = app.Triggers();
    switch (code) {
    case kBattlePlayerTurn:
        if (app.Settings().flagBattle == 0) {
            app.SetCycle(kBattleVictory, kSceneBattle);
            return true;
        }
        if (app.Midi() != nullptr) {
            app.Midi()->Play(d.stage.allyMusic);
        }
        d.panels.StartTurnBanner("Battle\\PlayerTurn.bmp");
        app.SetCycle(110, kSceneBattle);
        return true;
    case 110:
        if (d.panels.WipeTurnBannerIn(Speed(app, kSpeedWipe)) == 0) {
            app.SetCycle(120, kSceneBattle);
        }
        return true;
    case 120:
        if (d.panels.WipeTurnBannerOut(Speed(app, kSpeedWipe)) == 0) {
            app.SetCycle(kBattleTurnCheck, kSceneBattle);
        }
        return true;
    case kBattleTurnCheck: {
        bool enemyStanding = false;
        for (const auto& [name, e] : d.stage.EnemyUnits) {
            enemyStanding = enemyStanding || e.HP() > 0;
        }
        if (!enemyStanding) {
            d.panels.HideUnitPanels();
            app.SetCycle(kBattleVictory, kSceneBattle);
            return true;
        }
        bool unfinished = false;
        for (const auto& [name, u] : d.stage.PlayerUnits) {
            unfinished = unfinished || !u.Acted() || !u.Moved();
        }
        if (unfinished) {
            d.reach.Clear();
            app.SetCycle(kBattleFreeCursor, kSceneBattle);
        } else {
            EndPlayerTurn();
            app.SetCycle(kBattleEnemyTurn, kSceneBattle);
        }
        return true;
    }
    case kBattleFreeCursor:
        MoveCursor(app);
        if (t[kInputCancel] != 0) {
            app.PlayCue(SJ("キャンセルキー"));
            app.SetCycle(210, kSceneBattle);
        } else if (t[kInputDecide] != 0) {
            const int x = d.cursor.CellX(), y = d.cursor.CellY();
            if (CharaValues* unit = UnitAt(d.stage.PlayerUnits, x, y)) {
                if (!unit->Acted()) {
                    app.PlayCue(SJ("決定キー"));
                    d.selected = unit;
                    app.SetCycle(unit->Moved() ? 2000 : 250, kSceneBattle);
                }
            } else if (CharaValues* enemy = UnitAt(d.stage.EnemyUnits, x, y)) {
                app.PlayCue(SJ("決定キー"));
                OpenDetails(app, *enemy, kBattleFreeCursor);
            }
        }
        return true;
    case 202:
        if (d.panels.SlideDetailsIn(Speed(app, kSpeedSlide)) == 0) {
            app.SetCycle(204, kSceneBattle);
        }
        return true;
    case 204:
        if (t[kInputDecide] != 0 || t[kInputCancel] != 0) {
            app.PlayCue(SJ("キャンセルキー"));
            app.SetCycle(208, kSceneBattle);
        }
        return true;
    case 208:
        if (t[kInputDecide] != 0 && d.inspected != nullptr) {
            app.PlayCue(SJ("決定キー"));
            OpenDetails(app, *d.inspected, d.detailsFollow);
        } else if (d.panels.SlideDetailsOut(Speed(app, kSpeedSlide)) == 0) {
            app.SetCycle(d.detailsFollow, kSceneBattle);
            RefreshPanels();
        }
        return true;
    case 210: {
        CButtonRow& menu = d.panels.CommandMenu();
        menu.ClearEntries();
        menu.AddEntry(SJ("ターン終了"), "Button\\Battle\\TurnEnd.bmp", 0, 440, 50, 0.1f, 160, 32,
                      0);
        OpenMenu(menu);
        app.SetCycle(220, kSceneBattle);
        return true;
    }
    case 220:
        if (t[kInputCancel] != 0) {
            app.PlayCue(SJ("キャンセルキー"));
            d.panels.CloseMenus();
            app.SetCycle(kBattleTurnCheck, kSceneBattle);
        } else if (t[kInputDecide] != 0) {
            app.PlayCue(SJ("決定キー"));
            d.panels.CloseMenus();
            EndPlayerTurn();
            app.SetCycle(kBattleEnemyTurn, kSceneBattle);
        }
        return true;
    default:
        return false;
    }
}

void BattleScene::OpenDetails(CGameApp& app, CharaValues& enemy, int follow) {
    BattleData& d = *data_;
    d.inspected = &enemy;
    d.detailsFollow = follow;
    static const std::multimap<std::int32_t, std::string> kNone;
    const CharaType* type = app.OwnCampaign().Charas().Find(enemy.TypeName());
    d.panels.OpenDetails(BuildDetailColumns(enemy, type != nullptr ? type->armsByCost : kNone,
                                            app.OwnCampaign().Arms()),
                         enemy);
    app.SetCycle(202, kSceneBattle);
}

bool BattleScene::StepMove(CGameApp& app, int code) {
    BattleData& d = *data_;
    std::uint32_t* t = app.Triggers();
    if (d.selected == nullptr && code >= 990 && code <= 1110) {
        app.SetCycle(kBattleTurnCheck, kSceneBattle);
        return true;
    }
    switch (code) {
    case 990:
        PlayerMoveArea(d.stage, d.reach, *d.selected);
        ShowArea(kMoveAreaColour);
        app.SetCycle(1000, kSceneBattle);
        return true;
    case 1000: {
        MoveCursor(app);
        const Cell c{d.cursor.CellX(), d.cursor.CellY()};
        if (t[kInputCancel] != 0) {
            app.PlayCue(SJ("キャンセルキー"));
            HideArea();
            CursorTo(app, CellOf(*d.selected));
            app.SetCycle(250, kSceneBattle);
        } else if (t[kInputDecide] != 0) {
            if (d.reach.At(c) != 0) {
                app.PlayCue(SJ("決定キー"));
                BuildPath(d.stage, d.reach, *d.selected, c.x, c.y, d.selected->MblP(), d.path);
                units_.SetAlpha(*d.selected, 255);
                app.SetCycle(1100, kSceneBattle);
            } else if (CharaValues* enemy = UnitAt(d.stage.EnemyUnits, c.x, c.y)) {
                app.PlayCue(SJ("決定キー"));
                OpenDetails(app, *enemy, 1000);
            }
        }
        return true;
    }
    case 1100:
        // The next waypoint: turn toward it.
        if (d.path.empty()) {
            FinishMove(app);
            return true;
        }
        d.selected->SetDirectionValue(
            FacingToward(CellOf(*d.selected), d.path.back(), d.selected->Direction()));
        units_.Face(*d.selected);
        app.PlayCue(SJ("ＱＬ移動"));
        app.SetCycle(1110, kSceneBattle);
        return true;
    case 1110:
        if (units_.Glide(d, *d.selected, d.path.back(), Speed(app, kSpeedCharaMove)) != 0) {
            return true;
        }
        d.path.pop_back();
        CursorTo(app, CellOf(*d.selected));
        if (d.path.empty()) {
            FinishMove(app);
        } else {
            app.SetCycle(1100, kSceneBattle);
        }
        return true;
    default:
        return false;
    }
}

void BattleScene::FinishMove(CGameApp& app) {
    BattleData& d = *data_;
    d.selected->SetMoved(true);
    units_.SetAlpha(*d.selected, 128);
    CorePickup(app);
}

} // namespace quolis
