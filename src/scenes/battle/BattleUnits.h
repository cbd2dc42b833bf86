#pragma once
// The battle's creatures as the player sees them: the scenery model around
// the floor and, for every unit of the four collections, its creature object
// (CChara) standing on the unit's cell: its walk from cell to cell, its
// attacks, its alpha, its number and effect sprites. The rules keep the
// values (StageData's collections hold plain CharaValues); each creature is
// the unit's picture, refreshed from the unit when an attack starts and
// writing back only what an attack changes (HP and facing).
#include "app/AppPorts.h"
#include "battle/Field.h"
#include "creature/Chara.h"
#include "creature/FieldDarkening.h"
#include "engine/Mesh.h"

#include <map>
#include <memory>
#include <string>

namespace quolis {

class CGameApp;
struct BattleData;

// The stage file of the battle about to be built: the one the application
// holds for the next battle, else the campaign's own.
std::string BattleStageFile(CGameApp& app);

class BattleUnits final : public FieldDarkening, public SpeedPort {
public:
    BattleUnits() = default;
    ~BattleUnits() override;
    BattleUnits(const BattleUnits&) = delete;
    BattleUnits& operator=(const BattleUnits&) = delete;

    // The scenery model, and the creature class set up for this battle (the
    // application's camera and sound, the floor, this darkening, the
    // battle's generator, the scaled speeds).
    void Build(CGameApp& app, BattleData& d);
    // After the units were placed: every creature on its cell, facing its
    // way, playing "wait".
    void Place(CGameApp& app, BattleData& d);
    // Per-frame upkeep, collection by collection: players, enemies, field
    // cores, floor objects.
    void Update(BattleData& d);
    void DrawScenery(CGameApp& app);
    // The models of the field cores, players, enemies and floor objects,
    // then the number sprites of the players and enemies.
    void DrawCreatures(BattleData& d);
    // The effect sprites of the players and enemies.
    void DrawEffects(BattleData& d);
    void Release(BattleData& d);

    // The camera's standard eye offset (the creatures' attacks start from it).
    void SetEyeOffset(const Vec3& eye);
    // A unit is about to leave its collection: its creature goes.
    void Forget(const CharaValues& unit);
    // Creatures for units that joined a collection (a dropped core); those of
    // units no longer there go.
    void Sync(BattleData& d);
    // The creature turns to the unit's facing.
    void Face(CharaValues& unit);
    void SetAlpha(CharaValues& unit, int alpha);
    // One step of a walk to a neighbouring cell: 1 while moving, 0 once the
    // unit stands there.
    int Glide(BattleData& d, CharaValues& unit, Cell to, float step);
    // One step of an attack's presentation: 1 while it plays, 0 when done
    // (the damage has then been dealt). A command without a presentation
    // deals its damage at once.
    int PlayAttack(BattleData& d, CharaValues& attacker, CharaValues& target,
                   const std::string& command, std::int32_t bonus);

    // The creature showing a unit (null when it has none).
    CChara* CreatureOf(const CharaValues& unit) const;
    std::size_t CreatureCount() const { return creatures_.size(); }

    // --- the field darkening of the special attacks ------------------------
    void SwitchDarkening(int on) override;
    int FadeDarkening(int level, int up, int step) override;
    // The level of the stage model, floor, walls, floor objects and area.
    void SetFieldBrightness(int level);
    int FieldBrightness() const { return brightness_; }
    bool Darkened() const { return darkened_; }

    // --- speeds from the window menu ----------------------------------------
    void SetCreatureSpeeds(float effect, float cameraMove2, float fade, float gameSpeed) override;

private:
    // A creature for `unit` from its values; `floorObject`: the model is the
    // unit's name (a floor object's file), else its "wait" animation.
    void Create(const CharaValues& unit, bool floorObject);
    void LockField(int on);

    CGameApp* app_ = nullptr;
    BattleData* data_ = nullptr;
    std::unique_ptr<CMesh> scenery_;
    std::map<const CharaValues*, std::unique_ptr<CChara>> creatures_;
    Vec3 eye_{0, 0, 0};
    bool attacking_ = false;
    bool darkened_ = false;
    int brightness_ = 255;
    CStopwatch fadeWatch_;
};

} // namespace quolis
