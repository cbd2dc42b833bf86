#include "scenes/autoplay/BattlePolicy.h"

#include "input/Input.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <limits>

namespace quolis {

namespace {

std::int32_t Damage(const PlayUnit& attacker, const PlayArm& arm, const PlayUnit& target,
                    double attackRoll, double defenceRoll) {
    const float factor = static_cast<float>(attacker.level) * 0.3f + 1.0f;
    const double power = std::trunc(static_cast<double>(factor * static_cast<float>(arm.power)));
    const double d = (attacker.ap + power) * attackRoll - target.dp * defenceRoll;
    if (d <= 0) {
        return 0;
    }
    return d >= std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                         : static_cast<std::int32_t>(d);
}

} // namespace

std::int32_t LeastDamage(const PlayUnit& attacker, const PlayArm& arm, const PlayUnit& target) {
    return Damage(attacker, arm, target, 1.0, 0.8);
}

std::int32_t MeanDamage(const PlayUnit& attacker, const PlayArm& arm, const PlayUnit& target) {
    return Damage(attacker, arm, target, 1.1, 0.7);
}

std::int32_t CellSteps(Cell a, Cell b) {
    return std::abs(a.x - b.x) + std::abs(a.y - b.y);
}

bool ArmReaches(const PlayArm& arm, Cell from, Cell to) {
    const std::int32_t steps = CellSteps(from, to);
    return steps >= 1 && steps <= arm.range;
}

bool BetterAttack(const AttackPlan& a, const AttackPlan& b) {
    if (!b.Valid()) {
        return a.Valid();
    }
    if (!a.Valid()) {
        return false;
    }
    if (a.kill != b.kill) {
        return a.kill;
    }
    if (a.kill) {
        // Both beat their enemy: the cheaper blow, then the harder one.
        if (a.perMp != b.perMp) {
            return a.perMp > b.perMp;
        }
        return a.damage > b.damage;
    }
    if (a.perMp != b.perMp) {
        return a.perMp > b.perMp;
    }
    return a.damage > b.damage;
}

AttackPlan ChooseAttack(const PlayUnit& unit, const std::vector<PlayUnit>& enemies,
                        const ReachTest& reaches) {
    AttackPlan best;
    for (int a = 0; a < static_cast<int>(unit.arms.size()); ++a) {
        const PlayArm& arm = unit.arms[static_cast<std::size_t>(a)];
        if (arm.mpCost > unit.mp) {
            continue;
        }
        for (int e = 0; e < static_cast<int>(enemies.size()); ++e) {
            const PlayUnit& enemy = enemies[static_cast<std::size_t>(e)];
            if (enemy.hp <= 0 || !reaches(a, e)) {
                continue;
            }
            AttackPlan plan;
            plan.arm = a;
            plan.target = e;
            plan.kill = LeastDamage(unit, arm, enemy) >= enemy.hp;
            plan.damage = std::min(MeanDamage(unit, arm, enemy), enemy.hp);
            const double cost = std::max<std::int32_t>(arm.mpCost, 1);
            // A killing blow is judged by its cost alone: the enemy is gone
            // whatever the overkill.
            plan.perMp = plan.kill ? 1.0 / cost : plan.damage / cost;
            if (BetterAttack(plan, best)) {
                best = plan;
            }
        }
    }
    return best;
}

AttackPlan ChooseAttackByDistance(const PlayUnit& unit, const std::vector<PlayUnit>& enemies) {
    return ChooseAttack(unit, enemies, [&](int a, int e) {
        return ArmReaches(unit.arms[static_cast<std::size_t>(a)], unit.cell,
                          enemies[static_cast<std::size_t>(e)].cell);
    });
}

namespace {

std::int32_t NearestEnemySteps(Cell c, const std::vector<PlayUnit>& enemies) {
    std::int32_t best = std::numeric_limits<std::int32_t>::max();
    for (const PlayUnit& e : enemies) {
        if (e.hp > 0) {
            best = std::min(best, CellSteps(c, e.cell));
        }
    }
    return best;
}

bool HasCore(Cell c, const std::vector<Cell>& cores) {
    return std::find(cores.begin(), cores.end(), c) != cores.end();
}

} // namespace

std::vector<std::int32_t> WalkSteps(const PlayFloor& floor, const std::vector<Cell>& goals,
                                    std::int32_t riseP) {
    const std::size_t cells = static_cast<std::size_t>(std::max(floor.width, 0)) *
                              static_cast<std::size_t>(std::max(floor.depth, 0));
    std::vector<std::int32_t> steps(cells, -1);
    if (floor.heights.size() < cells || floor.blocked.size() < cells) {
        return steps;
    }
    std::vector<Cell> queue;
    for (const Cell g : goals) {
        if (floor.Inside(g) && steps[static_cast<std::size_t>(floor.Index(g))] < 0) {
            steps[static_cast<std::size_t>(floor.Index(g))] = 0;
            queue.push_back(g);
        }
    }
    static constexpr Cell kSides[4] = {{0, 1}, {0, -1}, {-1, 0}, {1, 0}};
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const Cell c = queue[head];
        const std::size_t ci = static_cast<std::size_t>(floor.Index(c));
        for (const Cell s : kSides) {
            const Cell n{c.x + s.x, c.y + s.y};
            if (!floor.Inside(n)) {
                continue;
            }
            const std::size_t ni = static_cast<std::size_t>(floor.Index(n));
            if (steps[ni] >= 0 || floor.blocked[ni] || floor.heights[ni] <= 0 ||
                std::abs(floor.heights[ni] - floor.heights[ci]) > riseP) {
                continue;
            }
            steps[ni] = steps[ci] + 1;
            queue.push_back(n);
        }
    }
    return steps;
}

AttackPlan ChooseAttackOnFloor(const PlayUnit& unit, const std::vector<PlayUnit>& enemies,
                               const PlayFloor* floor) {
    if (floor == nullptr) {
        return ChooseAttackByDistance(unit, enemies);
    }
    const std::vector<std::int32_t> steps = WalkSteps(*floor, {unit.cell}, std::max(unit.riseP, 0));
    return ChooseAttack(unit, enemies, [&](int a, int e) {
        const Cell c = enemies[static_cast<std::size_t>(e)].cell;
        if (!floor->Inside(c) || steps.empty()) {
            return false;
        }
        const std::int32_t s = steps[static_cast<std::size_t>(floor->Index(c))];
        return s >= 1 && s <= unit.arms[static_cast<std::size_t>(a)].range;
    });
}

int Threats(Cell c, const std::vector<PlayUnit>& enemies) {
    int n = 0;
    for (const PlayUnit& e : enemies) {
        if (e.hp <= 0) {
            continue;
        }
        std::int32_t reach = 1;
        for (const PlayArm& arm : e.arms) {
            if (arm.mpCost <= e.mp) {
                reach = std::max(reach, arm.range);
            }
        }
        n += CellSteps(c, e.cell) <= e.mblP + reach ? 1 : 0;
    }
    return n;
}

Cell ChooseMoveCell(const PlayUnit& unit, const std::vector<Cell>& reachable,
                    const std::vector<PlayUnit>& enemies, const std::vector<Cell>& cores,
                    bool cautious, const PlayFloor* floor) {
    const bool anyEnemy =
        std::any_of(enemies.begin(), enemies.end(), [](const PlayUnit& e) { return e.hp > 0; });
    if (reachable.empty() || !anyEnemy) {
        return unit.cell;
    }
    // Cells with an attack from there.
    bool found = false;
    AttackPlan bestPlan;
    Cell bestCell = unit.cell;
    bool bestCore = false;
    int bestThreats = 0;
    std::int32_t bestSpace = 0;
    for (const Cell c : reachable) {
        PlayUnit moved = unit;
        moved.cell = c;
        const AttackPlan plan = ChooseAttackOnFloor(moved, enemies, floor);
        if (!plan.Valid()) {
            continue;
        }
        const bool core = HasCore(c, cores);
        const int threats = Threats(c, enemies);
        const std::int32_t space = NearestEnemySteps(c, enemies);
        bool better = !found || BetterAttack(plan, bestPlan);
        if (found && !better && !BetterAttack(bestPlan, plan)) {
            better = (core && !bestCore) ||
                     (core == bestCore &&
                      (threats < bestThreats || (threats == bestThreats && space > bestSpace)));
        }
        if (better) {
            found = true;
            bestPlan = plan;
            bestCell = c;
            bestCore = core;
            bestThreats = threats;
            bestSpace = space;
        }
    }
    if (found) {
        return bestCell;
    }
    // No attack this turn: close in (out of the enemies' strike when
    // cautious).
    std::function<std::int32_t(Cell)> distance = [&](Cell c) {
        return NearestEnemySteps(c, enemies);
    };
    std::vector<std::int32_t> walk;
    if (floor != nullptr) {
        std::vector<Cell> goals;
        for (const PlayUnit& e : enemies) {
            if (e.hp > 0) {
                goals.push_back(e.cell);
            }
        }
        walk = WalkSteps(*floor, goals, std::max(unit.riseP, 1));
        distance = [&](Cell c) {
            const std::int32_t w = floor->Inside(c) && !walk.empty()
                                       ? walk[static_cast<std::size_t>(floor->Index(c))]
                                       : -1;
            // Cut off from every enemy: by the cells, behind every walkable way.
            return w >= 0 ? w : 100000 + NearestEnemySteps(c, enemies);
        };
    }
    std::int32_t bestSteps = distance(unit.cell);
    bestThreats = cautious ? Threats(unit.cell, enemies) : 0;
    bestCell = unit.cell;
    bestCore = false;
    for (const Cell c : reachable) {
        const std::int32_t steps = distance(c);
        const int threats = cautious ? Threats(c, enemies) : 0;
        const bool core = HasCore(c, cores);
        // A core within the walk is picked up on the way in (each one a
        // creature more in the squad); else the cell nearest the enemies.
        if (threats < bestThreats ||
            (threats == bestThreats &&
             ((core && !bestCore) || (core == bestCore && steps < bestSteps)))) {
            bestThreats = threats;
            bestSteps = steps;
            bestCell = c;
            bestCore = core;
        }
    }
    return bestCell;
}

int CursorKeyToward(Cell cursor, Cell goal, int angle) {
    if (cursor == goal) {
        return -1;
    }
    int best = -1;
    std::int32_t bestSteps = CellSteps(cursor, goal);
    for (const CursorAction& k : kCursorActions) {
        const Cell step = CursorStep(angle, k.key);
        const std::int32_t steps = CellSteps({cursor.x + step.x, cursor.y + step.y}, goal);
        if (steps < bestSteps) {
            bestSteps = steps;
            best = k.action;
        }
    }
    return best;
}

} // namespace quolis
