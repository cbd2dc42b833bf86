#include "battle/Reach.h"

#include "battle/Attack.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>
#include <vector>

namespace quolis {
namespace {

// Neighbour order: +y, -y, -x, +x.
constexpr std::int32_t kStepX[4] = {0, 0, -1, 1};
constexpr std::int32_t kStepY[4] = {1, -1, 0, 0};

std::int32_t FloorWidth(const StageData& s) {
    return std::clamp(s.floorWidth, 0, kGridSize);
}
std::int32_t FloorDepth(const StageData& s) {
    return std::clamp(s.floorDepth, 0, kGridSize);
}
bool OnFloor(const StageData& s, std::int32_t x, std::int32_t y) {
    return x >= 0 && y >= 0 && x < FloorWidth(s) && y < FloorDepth(s);
}

bool Occupied(const CharaMap& units, std::int32_t x, std::int32_t y) {
    return UnitAt(units, x, y) != nullptr;
}

} // namespace

float CellDistance(Cell a, Cell b) {
    const float dx = static_cast<float>(a.x - b.x);
    const float dy = static_cast<float>(a.y - b.y);
    const float sq = dx * dx + dy * dy;
    return std::sqrt(sq);
}

void FloodReach(const StageData& stage, ReachGrid& grid, const CharaValues& creature,
                std::int32_t x, std::int32_t y, std::int32_t points, std::int32_t blockers) {
    if (!InGrid(x, y) || points <= 0) {
        return;
    }
    // Only the box of cells within points - 1 steps can be reached; the
    // working marks cover that box alone.
    const std::int32_t span = std::min(points - 1, kGridSize);
    const std::int32_t x0 = std::max(x - span, 0);
    const std::int32_t y0 = std::max(y - span, 0);
    const std::int32_t x1 = std::min(x + span, kGridSize - 1);
    const std::int32_t y1 = std::min(y + span, kGridSize - 1);
    const std::int32_t bw = x1 - x0 + 1;
    const std::size_t boxCells =
        static_cast<std::size_t>(bw) * static_cast<std::size_t>(y1 - y0 + 1);
    const auto box = [&](std::int32_t cx, std::int32_t cy) {
        return static_cast<std::size_t>(cx - x0) +
               static_cast<std::size_t>(bw) * static_cast<std::size_t>(cy - y0);
    };
    constexpr std::uint8_t kSeen = 1, kBlocked = 2;
    std::vector<std::uint8_t> mark(boxCells, 0);
    const auto block = [&](const CharaMap& units) {
        for (const auto& [name, c] : units) {
            if (c.CellX() >= x0 && c.CellX() <= x1 && c.CellY() >= y0 && c.CellY() <= y1) {
                mark[box(c.CellX(), c.CellY())] |= kBlocked;
            }
        }
    };
    block(stage.FloorObjects);
    if (blockers & kBlockPlayers) {
        block(stage.PlayerUnits);
    }
    if (blockers & kBlockEnemies) {
        block(stage.EnemyUnits);
    }
    if (blockers & kBlockCores) {
        block(stage.FieldCores);
    }
    // Breadth first: every cell is met first at its shortest distance, so the
    // value it gets is the most that can be left on arriving there.
    struct Item {
        Cell cell;
        std::int32_t left;
    };
    std::vector<Item> queue;
    queue.reserve(std::min<std::size_t>(boxCells, 1024));
    queue.push_back({{x, y}, points});
    mark[box(x, y)] |= kSeen;
    grid.Raise(x, y, points);
    const std::int32_t rise = creature.RiseP();
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const Cell c = queue[head].cell;
        const std::int32_t value = queue[head].left - 1;
        if (value <= 0) {
            continue;
        }
        const std::int32_t h = stage.heightGrid[GridIndex(c.x, c.y)];
        for (int k = 0; k < 4; ++k) {
            const std::int32_t nx = c.x + kStepX[k];
            const std::int32_t ny = c.y + kStepY[k];
            if (!OnFloor(stage, nx, ny)) {
                continue;
            }
            std::uint8_t& m = mark[box(nx, ny)];
            if (m != 0) {
                continue;
            }
            const std::int32_t nh = stage.heightGrid[GridIndex(nx, ny)];
            if (nh == 0 || std::abs(h - nh) > rise) {
                continue;
            }
            m = kSeen;
            grid.Raise(nx, ny, value);
            queue.push_back({{nx, ny}, value});
        }
    }
}

void BuildPath(const StageData& stage, const ReachGrid& grid, const CharaValues& creature,
               std::int32_t x, std::int32_t y, std::int32_t mblP, Path& path) {
    path.clear();
    Cell c{x, y};
    // Each step climbs one value, so the walk ends within 100 * 100 steps.
    for (std::size_t guard = 0; guard <= kGridCells; ++guard) {
        path.push_back(c);
        const std::int32_t value = grid.At(c);
        if (value == mblP || !InGrid(c.x, c.y)) {
            return;
        }
        const std::int32_t h = stage.heightGrid[GridIndex(c.x, c.y)];
        bool moved = false;
        for (int k = 0; k < 4; ++k) {
            const Cell n{c.x + kStepX[k], c.y + kStepY[k]};
            if (!OnFloor(stage, n.x, n.y) ||
                std::abs(h - stage.heightGrid[GridIndex(n.x, n.y)]) > creature.RiseP()) {
                continue;
            }
            if (grid.At(n) > value) {
                c = n;
                moved = true;
                break;
            }
        }
        if (!moved) {
            return;
        }
    }
}

void ApproachPath(const StageData& stage, const ReachGrid& grid, CharaValues& creature,
                  std::int32_t x, std::int32_t y, std::int32_t goalX, std::int32_t goalY,
                  std::int32_t steps, Path& path) {
    path.clear();
    auto& visited = creature.Visited();
    const auto isVisited = [&](Cell c) {
        return std::find(visited.begin(), visited.end(), std::make_pair(c.x, c.y)) != visited.end();
    };
    const Cell goal{goalX, goalY};
    Cell here{x, y};
    for (; steps > 0; --steps) {
        if (!InGrid(here.x, here.y)) {
            return;
        }
        struct Candidate {
            Cell cell;
            float distance;
        };
        Candidate cand[4];
        int count = 0;
        for (int k = 0; k < 4; ++k) {
            const Cell n{here.x + kStepX[k], here.y + kStepY[k]};
            if (OnFloor(stage, n.x, n.y)) {
                cand[count++] = {n, CellDistance(n, goal)};
            }
        }
        std::stable_sort(cand, cand + count, [](const Candidate& a, const Candidate& b) {
            return a.distance < b.distance;
        });
        const std::int32_t h = stage.heightGrid[GridIndex(here.x, here.y)];
        const auto passable = [&](Cell c) {
            return grid.At(c) >= 1 &&
                   std::abs(h - stage.heightGrid[GridIndex(c.x, c.y)]) <= creature.RiseP();
        };
        bool allExcluded = true;
        bool visitedOnly = false;
        for (int i = 0; i < count; ++i) {
            const Cell c = cand[i].cell;
            const bool other = !passable(c) || Occupied(stage.EnemyUnits, c.x, c.y) ||
                               Occupied(stage.FieldCores, c.x, c.y);
            const bool seen = isVisited(c);
            if (!other && !seen) {
                allExcluded = false;
            } else if (!other && seen) {
                visitedOnly = true;
            }
        }
        if (allExcluded && visitedOnly) {
            visited.clear();
        }
        const Candidate* next = nullptr;
        for (int i = 0; i < count; ++i) {
            if (passable(cand[i].cell) && !isVisited(cand[i].cell)) {
                next = &cand[i];
                break;
            }
        }
        if (next == nullptr) {
            return;
        }
        if (std::find(path.begin(), path.end(), next->cell) != path.end()) {
            return;
        }
        visited.emplace_back(next->cell.x, next->cell.y);
        path.push_back(next->cell);
        here = next->cell;
    }
}

void PlayerMoveArea(const StageData& stage, ReachGrid& grid, const CharaValues& unit) {
    grid.Clear();
    FloodReach(stage, grid, unit, unit.CellX(), unit.CellY(), unit.MblP() + 1,
               kBlockPlayers | kBlockEnemies);
    grid.Set(unit.CellX(), unit.CellY(), 0);
}

void AttackArea(const StageData& stage, ReachGrid& grid, const CharaValues& unit,
                std::int32_t range, bool player) {
    grid.Clear();
    FloodReach(stage, grid, unit, unit.CellX(), unit.CellY(), range + 1, kBlockNone);
    if (player) {
        grid.Set(unit.CellX(), unit.CellY(), 0);
    }
}

bool AnyEnemyInReach(const StageData& stage, ReachGrid& grid, const CharaValues& unit) {
    AttackArea(stage, grid, unit, LargestUsableRange(unit), true);
    for (const auto& [name, e] : stage.EnemyUnits) {
        if (grid.At(CellOf(e)) >= 1) {
            return true;
        }
    }
    return false;
}

std::string FacingToward(Cell from, Cell to, const std::string& current) {
    if (from.y < to.y) {
        return "up";
    }
    if (from.y > to.y) {
        return "down";
    }
    if (from.x < to.x) {
        return "right";
    }
    if (from.x > to.x) {
        return "left";
    }
    return current;
}

} // namespace quolis
