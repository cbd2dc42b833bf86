#pragma once
// The battle's view of the floor: cells, the reach grids, field creation with
// its defaults, unit placement at battle start and the unit-at-cell queries.
#include "data/CharaValues.h"
#include "data/FloorTables.h"
#include "data/StageData.h"

#include <array>
#include <cstdint>
#include <functional>

namespace quolis {

// A floor cell: x the column, y the row.
struct Cell {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Cell&, const Cell&) = default;
};

inline Cell CellOf(const CharaValues& c) {
    return {c.CellX(), c.CellY()};
}
// A stored start cell (x, 0, y) as used: coordinates truncated.
inline Cell CellOf(const CellPos& p) {
    return {static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.z)};
}

// Blocker bits of a reach fill. Floor objects always block.
enum Blockers : std::int32_t {
    kBlockNone = 0,
    kBlockPlayers = 1,
    kBlockEnemies = 2,
    kBlockCores = 4,
};

// A 100 x 100 grid of reach values indexed x + 100 * y (the battle's
// ReachGrid and TargetGrid). Clear() only wipes the box the fills since the
// last clear have written, so a small fill costs little to clear.
class ReachGrid {
public:
    ReachGrid() { values_.fill(0); }

    void Clear();
    std::int32_t At(std::int32_t x, std::int32_t y) const {
        return InGrid(x, y) ? values_[GridIndex(x, y)] : 0;
    }
    std::int32_t At(Cell c) const { return At(c.x, c.y); }
    // Raises (x, y) to v when v is greater; cells outside the grid are ignored.
    void Raise(std::int32_t x, std::int32_t y, std::int32_t v);
    void Set(std::int32_t x, std::int32_t y, std::int32_t v);

private:
    void Touch(std::int32_t x, std::int32_t y);

    std::array<std::int32_t, kGridCells> values_;
    std::int32_t minX_ = kGridSize, minY_ = kGridSize, maxX_ = -1, maxY_ = -1;
};

// The cell size in world units.
inline constexpr float kCellSize = 2.0f;

struct WorldPoint {
    float x = 0, y = 0, z = 0;
};
// The world point of a cell of height h: ((x + y - X size) * s, h * s * 0.5,
// (y - x) * s), the corner of its floor square with the smallest world X.
WorldPoint CellToWorld(const StageData& stage, std::int32_t x, std::int32_t y);

// A fresh field: empty collections, 10 x 10 cells, no BP, and every one of the
// 100 x 100 cells given the defaults (texture of key "1", no object, height 1,
// start code "0", start angle code "0").
void CreateField(StageData& stage, const FloorTex& floorTex);

// One floor object per cell whose object entry is not "Nothing" (walk: rows
// from y = 0, columns from x = 0), facing by the cell's start angle code and
// filed under the object's name. A cell whose character had no object row
// (empty entry) holds none.
void CreateFloorObjects(StageData& stage);

// Every squad member goes into PlayerUnits under its name.
void FillPlayerUnits(StageData& stage, const CharaMap& squad);

// Battle start placement: player units on the start cells in name order
// (the rest on (0, 0) facing "up"), squad members unhurt, enemies at full HP
// and MP on the cell of their position code (else (0, 0) facing "down"); the
// moved and acted flags of every unit cleared.
void PlaceUnits(StageData& stage, CharaMap& squad);

// The first unit of a collection, in name order, standing on (x, y).
CharaValues* UnitAt(CharaMap& units, std::int32_t x, std::int32_t y);
const CharaValues* UnitAt(const CharaMap& units, std::int32_t x, std::int32_t y);

// Per-frame upkeep order: players, enemies, field cores, floor objects, each
// collection in name order.
void ForEachUnit(StageData& stage, const std::function<void(CharaValues&)>& update);

// True when some player unit has HP above 0.
bool AnyPlayerStanding(const StageData& stage);

} // namespace quolis
