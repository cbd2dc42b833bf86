#include "scenes/battle/BattleUnits.h"

#include "battle/Attack.h"
#include "scenes/battle/BattleScene.h"

namespace quolis {

std::string BattleStageFile(CGameApp& app) {
    const std::string& current = app.OwnCampaign().CurrentStageFile();
    if (!current.empty()) {
        return current;
    }
    if (GameState* state = app.OwnCampaign().State()) {
        return state->stageFile;
    }
    return {};
}

void BattleUnits::Build(CGameApp& /*app*/, BattleData& d) {
    scenery_ = std::make_unique<CMesh>();
    if (!d.stage.sceneryMesh.empty() && d.stage.sceneryMesh != "Nothing") {
        scenery_->SetMesh(d.stage.sceneryMesh);
    }
    scenery_->SetPosition(d.stage.sceneryPosition[0], d.stage.sceneryPosition[1],
                          d.stage.sceneryPosition[2]);
    scenery_->SetRotation(d.stage.sceneryAngle[0], d.stage.sceneryAngle[1],
                          d.stage.sceneryAngle[2]);
}

void BattleUnits::Place(CGameApp& /*app*/, BattleData& /*d*/) {}

void BattleUnits::Update(BattleData& /*d*/) {}

void BattleUnits::DrawScenery(CGameApp& /*app*/) {
    if (scenery_) {
        scenery_->Draw();
    }
}

void BattleUnits::DrawCreatures(BattleData& /*d*/) {}

void BattleUnits::DrawEffects(BattleData& /*d*/) {}

void BattleUnits::Release(BattleData& /*d*/) {
    scenery_.reset();
}

void BattleUnits::Forget(const CharaValues& /*unit*/) {}

void BattleUnits::Sync(BattleData& /*d*/) {}

void BattleUnits::Face(CharaValues& /*unit*/) {}

void BattleUnits::SetAlpha(CharaValues& /*unit*/, int /*alpha*/) {}

int BattleUnits::Glide(BattleData& /*d*/, CharaValues& unit, Cell to, float /*step*/) {
    unit.SetCellValue(to.x, to.y);
    return 0;
}

int BattleUnits::PlayAttack(BattleData& d, CharaValues& attacker, CharaValues& target,
                            const std::string& command, std::int32_t bonus) {
    const std::int32_t damage = RollDamage(d.random, attacker, target, command, bonus);
    target.AddHP(-damage);
    return 0;
}

} // namespace quolis
