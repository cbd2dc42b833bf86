#include "scenes/battle/BattleUnits.h"

#include "battle/Attack.h"
#include "common/Text.h"
#include "creature/AttackTable.h"
#include "scenes/battle/BattleScene.h"

namespace quolis {

namespace {

// A field fade moves one step every this many seconds.
constexpr float kFadeStepSeconds = 0.03f;

} // namespace

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

BattleUnits::~BattleUnits() {
    creatures_.clear();
    if (app_ != nullptr) {
        app_->SetSpeedPort(nullptr);
    }
}

void BattleUnits::Build(CGameApp& app, BattleData& d) {
    app_ = &app;
    data_ = &d;
    attacking_ = false;
    darkened_ = false;
    brightness_ = 255;
    scenery_ = std::make_unique<CMesh>();
    if (!d.stage.sceneryMesh.empty() && d.stage.sceneryMesh != "Nothing") {
        scenery_->SetMesh(d.stage.sceneryMesh);
    }
    scenery_->SetPosition(d.stage.sceneryPosition[0], d.stage.sceneryPosition[1],
                          d.stage.sceneryPosition[2]);
    scenery_->SetRotation(d.stage.sceneryAngle[0], d.stage.sceneryAngle[1],
                          d.stage.sceneryAngle[2]);

    CharaStage stage;
    stage.darkening = this;
    stage.random = &d.random;
    CCamera::ResetGlides();
    CChara::ResetGlide();
    // Forty creatures of a few types load the same animations over and over,
    // and the squad comes back to the next battle.
    CMdl::KeepParsedModels(true);
    // A cell's floor quad is found by its corner with the smallest world X;
    // the creatures stand one cell size further along X, on its centre.
    CChara::Init(stage, &app.Camera(), app.Sound(), kCellSize, &d.floor.Floor(), d.view.EyeOffset(),
                 app.Speed(kSpeedEffect), app.Speed(kSpeedCameraMove2), app.Speed(kSpeedFade),
                 app.GameSpeed());
    eye_ = d.view.EyeOffset();
    app.SetSpeedPort(this);
}

void BattleUnits::SetCreatureSpeeds(float effect, float cameraMove2, float fade, float gameSpeed) {
    CChara::SetSpeeds(effect, cameraMove2, fade, gameSpeed);
}

void BattleUnits::SetEyeOffset(const Vec3& eye) {
    eye_ = eye;
    CChara::SetEyeOffset(eye);
}

void BattleUnits::Create(const CharaValues& unit, bool floorObject) {
    auto c = std::make_unique<CChara>(unit);
    c->Create();
    c->SetCell(unit.CellX(), unit.CellY());
    c->SetDirection(unit.Direction());
    if (floorObject) {
        // A floor object's name is its model file.
        c->Load(unit.Name());
        c->Play();
    } else {
        c->SetAnimation("wait");
    }
    if (darkened_ && floorObject) {
        c->Lock(1);
    }
    creatures_[&unit] = std::move(c);
}

void BattleUnits::Place(CGameApp& /*app*/, BattleData& d) {
    creatures_.clear();
    Sync(d);
    // The models the last battle kept that none of these creatures loaded go;
    // the rest stay for this battle and the next.
    CMdl::ForgetUnusedModels();
}

void BattleUnits::Sync(BattleData& d) {
    // Forget the creatures of units that left their collection (an address
    // may come back for a new unit: the creature must then be made anew).
    std::map<const CharaValues*, bool> live;
    const CharaMap* all[] = {&d.stage.PlayerUnits, &d.stage.EnemyUnits, &d.stage.FieldCores,
                             &d.stage.FloorObjects};
    for (const CharaMap* units : all) {
        for (const auto& [name, unit] : *units) {
            live[&unit] = units == &d.stage.FloorObjects;
        }
    }
    for (auto it = creatures_.begin(); it != creatures_.end();) {
        const auto found = live.find(it->first);
        const bool same = found != live.end() && it->second->Name() == it->first->Name() &&
                          it->second->CoreFlag() == it->first->CoreFlag();
        it = same ? std::next(it) : creatures_.erase(it);
    }
    for (const auto& [unit, floorObject] : live) {
        if (creatures_.find(unit) == creatures_.end()) {
            Create(*unit, floorObject);
        }
    }
}

CChara* BattleUnits::CreatureOf(const CharaValues& unit) const {
    const auto it = creatures_.find(&unit);
    return it != creatures_.end() ? it->second.get() : nullptr;
}

void BattleUnits::Update(BattleData& d) {
    for (CharaMap* units :
         {&d.stage.PlayerUnits, &d.stage.EnemyUnits, &d.stage.FieldCores, &d.stage.FloorObjects}) {
        for (auto& [name, unit] : *units) {
            if (CChara* c = CreatureOf(unit)) {
                c->Update();
            }
        }
    }
}

void BattleUnits::DrawScenery(CGameApp& /*app*/) {
    if (scenery_) {
        scenery_->Draw();
    }
}

void BattleUnits::DrawCreatures(BattleData& d) {
    for (CharaMap* units :
         {&d.stage.FieldCores, &d.stage.PlayerUnits, &d.stage.EnemyUnits, &d.stage.FloorObjects}) {
        for (auto& [name, unit] : *units) {
            if (CChara* c = CreatureOf(unit)) {
                c->Draw();
            }
        }
    }
    for (CharaMap* units : {&d.stage.PlayerUnits, &d.stage.EnemyUnits}) {
        for (auto& [name, unit] : *units) {
            if (CChara* c = CreatureOf(unit)) {
                c->DrawNumber();
            }
        }
    }
}

void BattleUnits::DrawEffects(BattleData& d) {
    for (CharaMap* units : {&d.stage.PlayerUnits, &d.stage.EnemyUnits}) {
        for (auto& [name, unit] : *units) {
            if (CChara* c = CreatureOf(unit)) {
                c->DrawEffects();
            }
        }
    }
}

void BattleUnits::Release(BattleData& /*d*/) {
    if (darkened_) {
        LockField(0);
    }
    creatures_.clear();
    scenery_.reset();
    CMdl::KeepParsedModels(false); // what was parsed stays for the next battle
    CChara::ResetGlide();
    if (app_ != nullptr) {
        app_->SetSpeedPort(nullptr);
        // The creature class forgets this battle's floor, camera and darkening.
        CChara::Init({}, nullptr, nullptr, 0, nullptr, {0, 0, 0}, app_->Speed(kSpeedEffect),
                     app_->Speed(kSpeedCameraMove2), app_->Speed(kSpeedFade), app_->GameSpeed());
    }
    app_ = nullptr;
    data_ = nullptr;
    attacking_ = false;
    darkened_ = false;
}

void BattleUnits::Forget(const CharaValues& unit) {
    creatures_.erase(&unit);
}

void BattleUnits::Face(CharaValues& unit) {
    if (CChara* c = CreatureOf(unit)) {
        c->SetDirection(unit.Direction());
    }
}

void BattleUnits::SetAlpha(CharaValues& unit, int alpha) {
    if (CChara* c = CreatureOf(unit)) {
        c->SetAlpha(alpha);
    }
}

int BattleUnits::Glide(BattleData& /*d*/, CharaValues& unit, Cell to, float step) {
    CChara* c = CreatureOf(unit);
    if (c == nullptr) {
        unit.SetCellValue(to.x, to.y);
        return 0;
    }
    if (c->MoveToCell(to.x, to.y, step) != 0) {
        return 1;
    }
    unit.SetCellValue(to.x, to.y);
    return 0;
}

int BattleUnits::PlayAttack(BattleData& d, CharaValues& attacker, CharaValues& target,
                            const std::string& command, std::int32_t bonus) {
    CChara* a = CreatureOf(attacker);
    CChara* t = CreatureOf(target);
    if (a == nullptr || t == nullptr || FindAttackScript(command) < 0) {
        // Nothing to show: the command still lands, with the one damage roll
        // a presentation would have made.
        const std::int32_t damage = RollDamage(d.random, attacker, target, command, bonus);
        target.AddHP(-damage);
        attacking_ = false;
        return 0;
    }
    if (!attacking_) {
        // The pictures take the units' present values (HP, MP, facing, level)
        // for the damage roll and the reactions.
        static_cast<CharaValues&>(*a) = attacker;
        static_cast<CharaValues&>(*t) = target;
        attacking_ = true;
    }
    const int busy = a->PlayAttack(*t, command, bonus);
    // What the presentation changed goes back to the units: the target's HP
    // and both facings (the attacker turns to its target, the target to the
    // attacker).
    target.SetHP(t->HP());
    attacker.SetDirectionValue(a->Direction());
    target.SetDirectionValue(t->Direction());
    if (busy == 0) {
        attacking_ = false;
    }
    return busy;
}

// --- the field darkening ------------------------------------------------------

void BattleUnits::LockField(int on) {
    if (data_ == nullptr) {
        return;
    }
    BattleData& d = *data_;
    d.floor.Floor().Lock(on);
    d.floor.Walls().Lock(on);
    d.backdrop.Lock(on);
    if (scenery_) {
        scenery_->Lock(on);
    }
    for (auto& [name, unit] : d.stage.FloorObjects) {
        if (CChara* c = CreatureOf(unit)) {
            c->Lock(on);
        }
    }
}

void BattleUnits::SwitchDarkening(int on) {
    if (data_ == nullptr || app_ == nullptr) {
        return;
    }
    BattleData& d = *data_;
    darkened_ = on != 0;
    d.darkening = darkened_;
    d.backdrop.SetEnabled(on != 0 ? 1 : 0);
    // While dark, the screen's brightness changes leave the field alone.
    LockField(on != 0 ? 1 : 0);
    if (on != 0) {
        app_->PlayCue(SJ("暗転前"));
    }
}

void BattleUnits::SetFieldBrightness(int level) {
    brightness_ = level < 0 ? 0 : level > 255 ? 255 : level;
    if (data_ == nullptr) {
        return;
    }
    BattleData& d = *data_;
    d.fieldBrightness = brightness_;
    d.floor.Floor().ForceAlpha(brightness_);
    d.floor.Walls().ForceAlpha(brightness_);
    if (scenery_) {
        scenery_->ForceAlpha(brightness_);
    }
    for (auto& [name, unit] : d.stage.FloorObjects) {
        if (CChara* c = CreatureOf(unit)) {
            c->ForceAlpha(brightness_);
        }
    }
    d.area.SetAlpha(brightness_);
    if (!darkened_) {
        LockField(0);
    }
}

int BattleUnits::FadeDarkening(int level, int up, int step) {
    if (up != 0 ? brightness_ >= level : level >= brightness_) {
        SetFieldBrightness(level);
        return 0;
    }
    fadeWatch_.Sample();
    if (fadeWatch_.SinceMark() >= kFadeStepSeconds) {
        SetFieldBrightness(brightness_ + (up != 0 ? step : -step));
        fadeWatch_.SetMark();
    }
    return 1;
}

} // namespace quolis
