#pragma once
// The autoplayer's battle decisions over plain figures, as a player reads
// them off the screen: which command on which enemy, where to walk, which
// direction key brings the cursor nearer. No game rules are called here; the
// reach of a command is judged by the distance in cells and checked against
// the red area once the game shows it.
#include "battle/Field.h"
#include "scenes/battle/BattleCamera.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace quolis {

struct PlayArm {
    std::string name;
    std::int32_t range = 0;
    std::int32_t power = 0;
    std::int32_t mpCost = 0;
};

struct PlayUnit {
    Cell cell;
    std::int32_t hp = 0;
    std::int32_t mp = 0;
    std::int32_t ap = 0;
    std::int32_t dp = 0;
    std::int32_t level = 0; // the absolute level the damage grows with
    std::int32_t mblP = 0;  // cells it walks in a turn
    std::int32_t riseP = 0; // height it climbs in a step
    std::vector<PlayArm> arms;
};

// The damage the attack deals at the least and on average (the rolls vary AP
// and power by 1…1.2 and the defence by 0.6…0.8); never below 0.
std::int32_t LeastDamage(const PlayUnit& attacker, const PlayArm& arm, const PlayUnit& target);
std::int32_t MeanDamage(const PlayUnit& attacker, const PlayArm& arm, const PlayUnit& target);

// Manhattan distance between cells.
std::int32_t CellSteps(Cell a, Cell b);
// A command reaches from `from` to `to` when the target is 1…range cells away.
bool ArmReaches(const PlayArm& arm, Cell from, Cell to);

struct AttackPlan {
    int arm = -1;    // index into the attacker's arms; -1: no attack
    int target = -1; // index into the enemies
    bool kill = false;
    std::int32_t damage = 0;
    double perMp = 0;
    bool Valid() const { return arm >= 0 && target >= 0; }
};

// Whether command `arm` of the attacker reaches enemy `enemy` (indices).
using ReachTest = std::function<bool(int arm, int enemy)>;

// The best attack the unit can pay for: a certain killing blow first (the
// cheapest, then the strongest enemy beaten), else the most mean damage per
// MP point (a free command counts as one point), ties to more damage, then
// to the earlier command and enemy. Beaten enemies (HP 0) are no targets.
AttackPlan ChooseAttack(const PlayUnit& unit, const std::vector<PlayUnit>& enemies,
                        const ReachTest& reaches);
// True when plan `a` is better than plan `b` by the order above.
bool BetterAttack(const AttackPlan& a, const AttackPlan& b);

// ChooseAttack with the reach judged by distance from the unit's cell.
AttackPlan ChooseAttackByDistance(const PlayUnit& unit, const std::vector<PlayUnit>& enemies);

// How many standing enemies could strike cell `c` in their next turn: the
// cell lies within their walk plus the longest reach they can pay for.
int Threats(Cell c, const std::vector<PlayUnit>& enemies);

// The floor as the player sees it: its size, the height of each cell (0: a
// hole) and the cells taken by floor objects.
struct PlayFloor {
    std::int32_t width = 0;
    std::int32_t depth = 0;
    std::vector<std::int32_t> heights; // width * depth, row by row
    std::vector<bool> blocked;         // width * depth
    std::int32_t Index(Cell c) const { return c.y * width + c.x; }
    bool Inside(Cell c) const { return c.x >= 0 && c.y >= 0 && c.x < width && c.y < depth; }
};

// Steps on foot from each cell to the nearest of `goals` for a walker that
// climbs `riseP` per step (holes and floor objects are no footing; units are
// not counted, they move); -1 where no goal can be reached.
std::vector<std::int32_t> WalkSteps(const PlayFloor& floor, const std::vector<Cell>& goals,
                                    std::int32_t riseP);

// ChooseAttack with the reach judged on foot over `floor` from the unit's
// cell (a command of range r reaches a cell at most r steps away, climbing
// no more than the unit's RiseP per step, past no hole or floor object);
// by distance when `floor` is null.
AttackPlan ChooseAttackOnFloor(const PlayUnit& unit, const std::vector<PlayUnit>& enemies,
                               const PlayFloor* floor);

// Where the unit walks among the `reachable` cells: the cell with the best
// attack from there (ChooseAttackOnFloor) (ties to a cell with a core, then to fewer threats, then
// to the one farthest from the nearest enemy). With no attack from any cell
// it closes in on the nearest enemy: a cell with a core first (picked up on
// the way), else the cell nearest to it (on foot over `floor` when given,
// else in cells; ties to the first); a `cautious` unit keeps out
// of the enemies' strike while it can (fewest threats first, its own cell counted), so that the
// enemy walks into its reach rather than the other way round. The unit's own cell when nothing
// better is reachable or no enemy stands.
Cell ChooseMoveCell(const PlayUnit& unit, const std::vector<Cell>& reachable,
                    const std::vector<PlayUnit>& enemies, const std::vector<Cell>& cores,
                    bool cautious = false, const PlayFloor* floor = nullptr);

// The direction key (kInputUp, kInputDown, kInputLeft, kInputRight) whose
// cursor step under the camera preset `angle` brings the cursor nearest to
// `goal`; -1 when the cursor is there.
int CursorKeyToward(Cell cursor, Cell goal, int angle);

} // namespace quolis
