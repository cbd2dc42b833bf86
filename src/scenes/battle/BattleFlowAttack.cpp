// The player's attack: the command menu ("移動" / "攻撃"), the attack-only
// menu after a move, the command list with its preview, the red area and the
// target cursor, and the attack played out with its bonus labels.
#include "battle/Reach.h"
#include "common/Text.h"
#include "scenes/battle/BattleScene.h"

namespace quolis {

namespace {

constexpr Argb kAttackAreaColour = 0x80C80000u;

constexpr AttackCodes kBeforeMove{350, 500, 650, 700, 750, 800, 250};
constexpr AttackCodes kAfterMove{2200, 2300, 2400, 2500, 2600, 2700, 2000};

const AttackCodes* BranchOf(int code) {
    for (const AttackCodes* c : {&kBeforeMove, &kAfterMove}) {
        if (code == c->list || code == c->listStep || code == c->area || code == c->target ||
            code == c->play || code == c->back) {
            return c;
        }
    }
    return nullptr;
}

const MARecord* SelectedCommand(const CButtonRow& list, const CharaValues& unit) {
    std::string name;
    list.GetSelected(name);
    return unit.FindArm(name);
}

CharaMap::iterator FindEntry(CharaMap& units, const CharaValues* unit) {
    for (auto it = units.begin(); it != units.end(); ++it) {
        if (&it->second == unit) {
            return it;
        }
    }
    return units.end();
}

} // namespace

bool BattleScene::StepCommands(CGameApp& app, int code) {
    BattleData& d = *data_;
    std::uint32_t* t = app.Triggers();
    const bool menuCode = code == 250 || code == 300 || code == 2000 || code == 2100;
    const AttackCodes* branch = BranchOf(code);
    if (!menuCode && branch == nullptr) {
        return false;
    }
    if (d.selected == nullptr) {
        app.SetCycle(kBattleTurnCheck, kSceneBattle);
        return true;
    }
    CharaValues& unit = *d.selected;
    CButtonRow& menu = d.panels.CommandMenu();
    switch (code) {
    case 250: {
        menu.ClearEntries();
        menu.AddEntry(SJ("移動"), "Button\\Battle\\Move.bmp", 0, 440, 50, 0.1f, 160, 32, 0);
        menu.AddEntry(SJ("攻撃"), "Button\\Battle\\Attack.bmp", 1, 440, 82, 0.1f, 160, 32, 0);
        if (!AnyEnemyInReach(d.stage, d.reach, unit)) {
            menu.DisableEntry(1);
        }
        d.reach.Clear();
        OpenMenu(menu);
        units_.SetAlpha(unit, 128);
        app.SetCycle(300, kSceneBattle);
        return true;
    }
    case 300:
    case 2100:
        if (t[kInputUp] != 0 || t[kInputDown] != 0) {
            app.PlayCue(SJ("方向キー"));
            if (t[kInputUp] != 0) {
                menu.SelectPrev();
            } else {
                menu.SelectNext();
            }
        } else if (t[kInputCancel] != 0) {
            app.PlayCue(SJ("キャンセルキー"));
            d.panels.CloseMenus();
            if (code == 300) {
                units_.SetAlpha(unit, 255);
            }
            app.SetCycle(kBattleTurnCheck, kSceneBattle);
        } else if (t[kInputDecide] != 0) {
            std::string chosen;
            menu.GetSelected(chosen);
            if (chosen == SJ("移動") && code == 300) {
                app.PlayCue(SJ("決定キー"));
                d.panels.CloseMenus();
                app.SetCycle(990, kSceneBattle);
            } else if (chosen == SJ("攻撃")) {
                app.PlayCue(SJ("決定キー"));
                app.SetCycle(code == 300 ? kBeforeMove.list : kAfterMove.list, kSceneBattle);
            }
        }
        return true;
    case 2000: {
        // Attack after moving: with no enemy in reach the unit's turn is over.
        const bool inReach = AnyEnemyInReach(d.stage, d.reach, unit);
        d.reach.Clear();
        HideArea();
        if (!inReach) {
            unit.SetActed(true);
            app.SetCycle(kBattleTurnCheck, kSceneBattle);
            return true;
        }
        menu.ClearEntries();
        menu.AddEntry(SJ("攻撃"), "Button\\Battle\\Attack.bmp", 1, 440, 50, 0.1f, 160, 32, 0);
        OpenMenu(menu);
        units_.SetAlpha(unit, 128);
        app.SetCycle(2100, kSceneBattle);
        return true;
    }
    default:
        break;
    }
    StepAttack(app, code, *branch);
    return true;
}

void BattleScene::StepAttack(CGameApp& app, int code, const AttackCodes& c) {
    BattleData& d = *data_;
    std::uint32_t* t = app.Triggers();
    CharaValues& unit = *d.selected;
    CButtonRow& list = d.panels.CommandList();
    if (code == c.list) {
        d.panels.FillCommandList(unit);
        OpenMenu(list);
        d.panels.ShowPreview(unit, SelectedCommand(list, unit));
        app.SetCycle(c.listStep, kSceneBattle);
    } else if (code == c.listStep) {
        if (t[kInputUp] != 0 || t[kInputDown] != 0) {
            app.PlayCue(SJ("方向キー"));
            if (t[kInputUp] != 0) {
                list.SelectPrev();
            } else {
                list.SelectNext();
            }
            d.panels.ShowPreview(unit, SelectedCommand(list, unit));
        } else if (t[kInputCancel] != 0) {
            app.PlayCue(SJ("キャンセルキー"));
            list.ClearEntries();
            d.panels.HidePreview();
            app.SetCycle(c.cancelList, kSceneBattle);
        } else if (t[kInputDecide] != 0) {
            const MARecord* command = SelectedCommand(list, unit);
            if (command == nullptr || unit.MP() < command->mpCost) {
                app.PlayCue(SJ("キャンセルキー"));
            } else {
                app.PlayCue(SJ("決定キー"));
                d.command = command->name;
                d.panels.HidePreview();
                app.SetCycle(c.area, kSceneBattle);
            }
        }
    } else if (code == c.area) {
        d.panels.CloseMenus();
        const MARecord* command = unit.FindArm(d.command);
        AttackArea(d.stage, d.reach, unit, command != nullptr ? command->range : 0, true);
        ShowArea(kAttackAreaColour);
        app.SetCycle(c.target, kSceneBattle);
    } else if (code == c.target) {
        StepTarget(app, c);
    } else if (code == c.play) {
        StepPlayAttack(app, c);
    } else if (code == c.back) {
        if (d.panels.SlideAttackOut(Speed(app, kSpeedSlide),
                                    static_cast<int>(Speed(app, kSpeedFade))) != 0) {
            return;
        }
        d.panels.ClearBonus();
        HideArea();
        unit.SetActed(true);
        if (code == kBeforeMove.back) {
            unit.SetMoved(true);
        }
        units_.SetAlpha(unit, 128);
        RefreshPanels();
        app.SetCycle(kBattleTurnCheck, kSceneBattle);
    }
}

void BattleScene::StepTarget(CGameApp& app, const AttackCodes& c) {
    BattleData& d = *data_;
    std::uint32_t* t = app.Triggers();
    CharaValues& unit = *d.selected;
    MoveCursor(app);
    const Cell cell{d.cursor.CellX(), d.cursor.CellY()};
    if (t[kInputCancel] != 0) {
        app.PlayCue(SJ("キャンセルキー"));
        HideArea();
        CursorTo(app, CellOf(unit));
        app.SetCycle(c.list, kSceneBattle);
        return;
    }
    if (t[kInputDecide] == 0) {
        return;
    }
    CharaValues* enemy = UnitAt(d.stage.EnemyUnits, cell.x, cell.y);
    if (enemy == nullptr) {
        return;
    }
    if (d.reach.At(cell) < 1) {
        app.PlayCue(SJ("決定キー"));
        OpenDetails(app, *enemy, c.target);
        return;
    }
    app.PlayCue(SJ("決定キー"));
    d.target = enemy;
    const MARecord* command = unit.FindArm(d.command);
    const std::int32_t range = command != nullptr ? command->range : 0;
    CCampaign& campaign = app.OwnCampaign();
    d.bonus = AttackBonus(d.stage, BonusTables{&campaign.Directions(), &campaign.Heights()}, unit,
                          *enemy, AttackDistance(d.reach, range, cell));
    d.panels.ShowBonus(d.bonus, d.command);
    app.SetCycle(c.play, kSceneBattle);
}

void BattleScene::StepPlayAttack(CGameApp& app, const AttackCodes& c) {
    BattleData& d = *data_;
    CharaValues& unit = *d.selected;
    int busy = 0;
    if (d.target != nullptr) {
        busy |= units_.PlayAttack(d, unit, *d.target, d.command, d.bonus.Sum());
    }
    busy |= d.panels.SlideAttackIn(Speed(app, kSpeedSlide));
    if (busy != 0) {
        return;
    }
    auto it = FindEntry(d.stage.EnemyUnits, d.target);
    if (it != d.stage.EnemyUnits.end()) {
        const bool beaten = it->second.HP() < 1;
        if (beaten) {
            units_.Forget(it->second);
        }
        AttackOutcome outcome =
            FinishAttack(d.stage, unit, d.command, it, true, app.OwnCampaign().Charas(),
                         app.Settings().flagAlwaysCore != 0, d.random);
        if (outcome.coreDropped) {
            units_.Sync(d);
        }
    } else {
        PayForCommand(unit, d.command);
    }
    d.target = nullptr;
    app.SetCycle(c.back, kSceneBattle);
}

} // namespace quolis
