#pragma once
// The reach fill and the paths taken from it: where a creature can go and
// what it can reach, the shortest path to a cell of a movement fill, and the
// greedy approach walk of an enemy that cannot attack.
#include "battle/Field.h"

#include <deque>
#include <string>

namespace quolis {

// A path of cells. A BuildPath path runs from the destination (front) back to
// the first step (back) and is walked from the back; an ApproachPath path is
// built in walking order and walked from the front.
using Path = std::deque<Cell>;

// Fills `grid` from (x, y): the start gets `points`, a cell k steps away
// points - k, down to 1; entries are only ever raised. A step goes to an
// orthogonal neighbour inside the floor, of height above 0, within the
// creature's RiseP of the cell it leaves, with no unit of a blocking
// collection (`blockers` plus the floor objects) standing on it. Nothing is
// written outside the 100 x 100 grid.
void FloodReach(const StageData& stage, ReachGrid& grid, const CharaValues& creature,
                std::int32_t x, std::int32_t y, std::int32_t points, std::int32_t blockers);

// The path from (x, y) back to the first step of a movement fill made with
// mblP + 1 points: each step to the first neighbour (+y, -y, -x, +x) inside the
// floor, within RiseP and of a greater value, until the value is mblP.
void BuildPath(const StageData& stage, const ReachGrid& grid, const CharaValues& creature,
               std::int32_t x, std::int32_t y, std::int32_t mblP, Path& path);

// The greedy walk of up to `steps` cells from (x, y) toward (goalX, goalY)
// over an enemy's movement fill; every new cell goes into the creature's
// visited list. The list is emptied when every neighbour is excluded and one
// of them only because it was visited.
void ApproachPath(const StageData& stage, const ReachGrid& grid, CharaValues& creature,
                  std::int32_t x, std::int32_t y, std::int32_t goalX, std::int32_t goalY,
                  std::int32_t steps, Path& path);

// The player unit's blue area: MblP + 1 points, players and enemies
// blocking, its own cell then set to 0 (the grid is cleared first).
void PlayerMoveArea(const StageData& stage, ReachGrid& grid, const CharaValues& unit);
// The attack area of a command of `range`: range + 1 points, no units
// blocking (floor objects, holes and steps above RiseP still do). A player's
// area leaves its own cell out. The grid is cleared first.
void AttackArea(const StageData& stage, ReachGrid& grid, const CharaValues& unit,
                std::int32_t range, bool player);
// The distance of a marked cell in an attack area: range + 1 - value.
inline std::int32_t AttackDistance(const ReachGrid& area, std::int32_t range, Cell target) {
    return range + 1 - area.At(target);
}
// The command menu's test: some enemy stands in the area of the player
// unit's largest usable range. Leaves that area in `grid`.
bool AnyEnemyInReach(const StageData& stage, ReachGrid& grid, const CharaValues& unit);

// The facing for a step from `from` to `to`: "up" when the row grows, "down"
// when it shrinks, else "right" or "left"; `current` for the same cell.
std::string FacingToward(Cell from, Cell to, const std::string& current);

// Euclidean distance between two cells in single precision.
float CellDistance(Cell a, Cell b);

} // namespace quolis
