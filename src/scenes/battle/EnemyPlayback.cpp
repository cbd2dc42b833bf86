// The enemy's turn played out: the banner, then one enemy after another its
// decision, its walk along the path (glides from cell to cell), its attack
// through the creature's presentation, and the camera following it.
#include "battle/Reach.h"
#include "common/Text.h"
#include "scenes/battle/BattleScene.h"

namespace quolis {

namespace {

constexpr Argb kMoveAreaColour = 0x800000C8u;
constexpr Argb kAttackAreaColour = 0x80C80000u;
constexpr int kNextEnemy = 8000;
constexpr int kCheck = 5100;

} // namespace

void BattleScene::EnemyMoveArea(CharaValues& enemy) {
    BattleData& d = *data_;
    d.reach.Clear();
    FloodReach(d.stage, d.reach, enemy, enemy.CellX(), enemy.CellY(), enemy.MblP() + 1,
               kBlockPlayers | kBlockEnemies | kBlockCores);
    ShowArea(kMoveAreaColour);
}

void BattleScene::EndEnemyAction(CGameApp& app, CharaValues& enemy) {
    BattleData& d = *data_;
    enemy.SetMoved(true);
    enemy.SetActed(true);
    units_.SetAlpha(enemy, 128);
    HideArea();
    d.nextCode = kCheck;
    app.SetCycle(kNextEnemy, kSceneBattle);
}

bool BattleScene::StepEnemyTurn(CGameApp& app, int code) {
    if (code < 5000 || code > 9000) {
        return false;
    }
    BattleData& d = *data_;
    const float camera = Speed(app, kSpeedCameraMove);
    CharaValues* enemy = d.enemyTurn->Acting();
    switch (code) {
    case kBattleEnemyTurn:
        if (app.Midi() != nullptr) {
            app.Midi()->Play(d.stage.enemyMusic);
        }
        d.panels.StartTurnBanner("Battle\\EnemyTurn.bmp");
        app.SetCycle(5010, kSceneBattle);
        return true;
    case 5010:
        if (d.panels.WipeTurnBannerIn(Speed(app, kSpeedWipe)) == 0) {
            app.SetCycle(5020, kSceneBattle);
        }
        return true;
    case 5020:
        if (d.panels.WipeTurnBannerOut(Speed(app, kSpeedWipe)) == 0) {
            d.enemyTurn->Begin();
            d.nextCode = kCheck;
            app.SetCycle(7500, kSceneBattle);
        }
        return true;
    case kCheck:
        switch (d.enemyTurn->CheckNext()) {
        case EnemyTurn::Check::Defeat:
            app.SetCycle(kBattleDefeat, kSceneBattle);
            break;
        case EnemyTurn::Check::TurnOver:
            for (auto& [name, e] : d.stage.EnemyUnits) {
                units_.SetAlpha(e, 255);
            }
            app.SetCycle(9000, kSceneBattle);
            break;
        case EnemyTurn::Check::Act:
            d.nextCode = 5200;
            app.SetCycle(7500, kSceneBattle);
            break;
        }
        return true;
    case 7500:
    case kNextEnemy:
        if (code == kNextEnemy) {
            d.enemyTurn->Next();
        }
        app.SetCycle(d.nextCode, kSceneBattle);
        return true;
    case 9000:
        d.selected = d.stage.PlayerUnits.empty() ? nullptr : &d.stage.PlayerUnits.begin()->second;
        if (d.selected != nullptr) {
            const Cell c = CellOf(*d.selected);
            if (app.Camera().GlideToCell(c.x, c.y, camera) != 0) {
                return true;
            }
            CursorTo(app, c);
        }
        app.SetCycle(kBattlePlayerTurn, kSceneBattle);
        return true;
    default:
        break;
    }
    if (enemy == nullptr) {
        app.SetCycle(kCheck, kSceneBattle);
        return true;
    }
    switch (code) {
    case 5200:
        if (app.Camera().GlideToCell(enemy->CellX(), enemy->CellY(), camera) == 0) {
            CursorTo(app, CellOf(*enemy));
            app.SetCycle(5300, kSceneBattle);
        }
        return true;
    case 5300:
        units_.SetAlpha(*enemy, 128);
        d.decision = d.enemyTurn->Decide();
        switch (d.decision.outcome) {
        case EnemyOutcome::AttackHere:
            app.SetCycle(6300, kSceneBattle);
            break;
        case EnemyOutcome::MoveThenAttack:
            app.SetCycle(6000, kSceneBattle);
            break;
        case EnemyOutcome::Approach:
            app.SetCycle(7000, kSceneBattle);
            break;
        case EnemyOutcome::NoStep:
            EndEnemyAction(app, *enemy);
            break;
        }
        return true;
    case 6000:
    case 7000:
        EnemyMoveArea(*enemy);
        d.path = code == 6000 ? d.decision.movePath : d.decision.approachPath;
        if (d.path.empty()) {
            app.PlayCue(SJ("ＱＬ移動"));
        }
        app.SetCycle(code + 100, kSceneBattle);
        return true;
    case 6100:
    case 7100: {
        if (d.path.empty()) {
            app.SetCycle(code + 150, kSceneBattle);
            return true;
        }
        // A move path is walked from its back, an approach path from its front.
        const Cell next = code == 6100 ? d.path.back() : d.path.front();
        enemy->SetDirectionValue(FacingToward(CellOf(*enemy), next, enemy->Direction()));
        units_.Face(*enemy);
        app.PlayCue(SJ("ＱＬ移動"));
        app.SetCycle(code + 100, kSceneBattle);
        return true;
    }
    case 6200:
    case 7200: {
        const Cell next = code == 6200 ? d.path.back() : d.path.front();
        if (units_.Glide(d, *enemy, next, Speed(app, kSpeedCharaMove)) != 0) {
            return true;
        }
        if (code == 6200) {
            d.path.pop_back();
        } else {
            d.path.pop_front();
        }
        d.cursor.SetCell(enemy->CellX(), enemy->CellY());
        app.SetCycle(code - 100, kSceneBattle);
        return true;
    }
    case 6250:
    case 7250:
        HideArea();
        if (app.Camera().GlideToCell(enemy->CellX(), enemy->CellY(), camera) != 0) {
            return true;
        }
        CursorTo(app, CellOf(*enemy));
        if (code == 6250) {
            app.SetCycle(6300, kSceneBattle);
        } else {
            EndEnemyAction(app, *enemy);
        }
        return true;
    case 6300:
        EnemyAttackSetUp(app, *enemy);
        return true;
    case 6400:
        EnemyAttackPlay(app, *enemy);
        return true;
    case 6500:
        if (d.panels.SlideAttackOut(Speed(app, kSpeedSlide),
                                    static_cast<int>(Speed(app, kSpeedFade))) == 0) {
            d.panels.ClearBonus();
            RefreshPanels();
            EndEnemyAction(app, *enemy);
        }
        return true;
    default:
        return false;
    }
}

void BattleScene::EnemyAttackSetUp(CGameApp& app, CharaValues& enemy) {
    BattleData& d = *data_;
    d.target = const_cast<CharaValues*>(d.decision.target);
    const MARecord* command = enemy.FindArm(d.decision.attackCommand);
    if (d.target == nullptr || command == nullptr) {
        // No command both affordable and reaching the target: the action
        // ends without an attack.
        d.target = nullptr;
        EndEnemyAction(app, enemy);
        return;
    }
    d.command = command->name;
    AttackArea(d.stage, d.reach, enemy, command->range, false);
    ShowArea(kAttackAreaColour);
    d.cursor.SetCell(d.target->CellX(), d.target->CellY());
    RefreshPanels();
    CCampaign& campaign = app.OwnCampaign();
    d.bonus = AttackBonus(d.stage, BonusTables{&campaign.Directions(), &campaign.Heights()}, enemy,
                          *d.target, AttackDistance(d.reach, command->range, CellOf(*d.target)));
    d.panels.ShowBonus(d.bonus, d.command);
    units_.SetAlpha(enemy, 255);
    app.SetCycle(6400, kSceneBattle);
}

void BattleScene::EnemyAttackPlay(CGameApp& app, CharaValues& enemy) {
    BattleData& d = *data_;
    int busy = 0;
    if (d.target != nullptr) {
        busy |= units_.PlayAttack(d, enemy, *d.target, d.command, d.bonus.Sum());
    }
    busy |= d.panels.SlideAttackIn(Speed(app, kSpeedSlide));
    if (busy != 0) {
        return;
    }
    for (auto it = d.stage.PlayerUnits.begin(); it != d.stage.PlayerUnits.end(); ++it) {
        if (&it->second != d.target) {
            continue;
        }
        if (it->second.HP() < 1) {
            units_.Forget(it->second);
        }
        FinishAttack(d.stage, enemy, d.command, it, false, app.OwnCampaign().Charas(),
                     app.Settings().flagAlwaysCore != 0, d.random);
        break;
    }
    enemy.Visited().clear();
    d.target = nullptr;
    app.SetCycle(6500, kSceneBattle);
}

} // namespace quolis
