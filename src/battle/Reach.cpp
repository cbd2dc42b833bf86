#include "battle/Reach.h"

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

void CollectCells(const CharaMap& units, std::vector<std::uint8_t>& blocked) {
    for (const auto& [name, c] : units) {
        if (InGrid(c.CellX(), c.CellY())) {
            blocked[GridIndex(c.CellX(), c.CellY())] = 1;
        }
    }
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
    // Cells whose units block the way, marked once per fill.
    std::vector<std::uint8_t> blocked(kGridCells, 0);
    CollectCells(stage.FloorObjects, blocked);
    if (blockers & kBlockPlayers) {
        CollectCells(stage.PlayerUnits, blocked);
    }
    if (blockers & kBlockEnemies) {
        CollectCells(stage.EnemyUnits, blocked);
    }
    if (blockers & kBlockCores) {
        CollectCells(stage.FieldCores, blocked);
    }
    // Breadth first: every cell is met first at its shortest distance, so the
    // value it gets is the most that can be left on arriving there.
    std::vector<std::uint8_t> seen(kGridCells, 0);
    std::vector<Cell> queue;
    queue.reserve(256);
    queue.push_back({x, y});
    seen[GridIndex(x, y)] = 1;
    grid.Raise(x, y, points);
    const std::int32_t rise = creature.RiseP();
    std::vector<std::int32_t> left;
    left.reserve(256);
    left.push_back(points);
    for (std::size_t head = 0; head < queue.size(); ++head) {
        const Cell c = queue[head];
        const std::int32_t value = left[head] - 1;
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
            const std::size_t ni = GridIndex(nx, ny);
            if (seen[ni] || blocked[ni]) {
                continue;
            }
            const std::int32_t nh = stage.heightGrid[ni];
            if (nh == 0 || std::abs(h - nh) > rise) {
                continue;
            }
            seen[ni] = 1;
            grid.Raise(nx, ny, value);
            queue.push_back({nx, ny});
            left.push_back(value);
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
