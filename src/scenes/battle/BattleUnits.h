#pragma once
// The battle's creatures as the player sees them: the scenery model around
// the floor and, for every unit of the four collections, its place on the
// floor, its alpha, its walk from cell to cell and its attacks. The rules
// keep the values (StageData's collections); this layer presents them.
#include "battle/Field.h"
#include "engine/Mesh.h"

#include <memory>
#include <string>

namespace quolis {

class CGameApp;
struct BattleData;

// The stage file of the battle about to be built: the one the application
// holds for the next battle, else the campaign's own.
std::string BattleStageFile(CGameApp& app);

class BattleUnits {
public:
    void Build(CGameApp& app, BattleData& d);
    // After the units were placed: every creature on its cell, facing its way.
    void Place(CGameApp& app, BattleData& d);
    void Update(BattleData& d);
    void DrawScenery(CGameApp& app);
    void DrawCreatures(BattleData& d);
    void DrawEffects(BattleData& d);
    void Release(BattleData& d);

    // The camera's standard eye offset (the creatures' attacks start from it).
    void SetEyeOffset(const Vec3& eye) { eye_ = eye; }
    // A unit is about to leave its collection: its creature goes.
    void Forget(const CharaValues& unit);
    // Creatures for units that joined a collection (a dropped core).
    void Sync(BattleData& d);
    // The creature turns to the unit's facing.
    void Face(CharaValues& unit);
    void SetAlpha(CharaValues& unit, int alpha);
    // One step of a walk to a neighbouring cell: 1 while moving, 0 once the
    // unit stands there.
    int Glide(BattleData& d, CharaValues& unit, Cell to, float step);
    // One step of an attack's presentation: 1 while it plays, 0 when done
    // (the damage has then been dealt).
    int PlayAttack(BattleData& d, CharaValues& attacker, CharaValues& target,
                   const std::string& command, std::int32_t bonus);

private:
    std::unique_ptr<CMesh> scenery_;
    Vec3 eye_{0, 0, 0};
};

} // namespace quolis
