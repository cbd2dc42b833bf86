#include "battle/Field.h"

#include <algorithm>

namespace quolis {

void ReachGrid::Touch(std::int32_t x, std::int32_t y) {
    minX_ = std::min(minX_, x);
    minY_ = std::min(minY_, y);
    maxX_ = std::max(maxX_, x);
    maxY_ = std::max(maxY_, y);
}

void ReachGrid::Clear() {
    for (std::int32_t y = minY_; y <= maxY_; ++y) {
        std::int32_t* row = &values_[GridIndex(minX_, y)];
        std::fill(row, row + (maxX_ - minX_ + 1), 0);
    }
    minX_ = minY_ = kGridSize;
    maxX_ = maxY_ = -1;
}

void ReachGrid::Raise(std::int32_t x, std::int32_t y, std::int32_t v) {
    if (!InGrid(x, y)) {
        return;
    }
    std::int32_t& e = values_[GridIndex(x, y)];
    if (v > e) {
        e = v;
        Touch(x, y);
    }
}

void ReachGrid::Set(std::int32_t x, std::int32_t y, std::int32_t v) {
    if (!InGrid(x, y)) {
        return;
    }
    values_[GridIndex(x, y)] = v;
    Touch(x, y);
}

WorldPoint CellToWorld(const StageData& stage, std::int32_t x, std::int32_t y) {
    const float h = static_cast<float>(stage.Height(x, y));
    return {static_cast<float>(x + y - stage.floorWidth) * kCellSize, h * kCellSize * 0.5f,
            static_cast<float>(y - x) * kCellSize};
}

void CreateField(StageData& stage, const FloorTex& floorTex) {
    stage.EnemyUnits.clear();
    stage.PlayerUnits.clear();
    stage.FieldCores.clear();
    stage.FloorObjects.clear();
    stage.floorWidth = 10;
    stage.floorDepth = 10;
    stage.battleBP = 0;
    stage.eventBonus = 0;
    stage.ending = 0;
    stage.cameraAngle = 0;
    const std::string* tex = floorTex.Find("1");
    const std::string texture = tex ? *tex : std::string();
    std::fill(stage.textureGrid.begin(), stage.textureGrid.end(), texture);
    std::fill(stage.objectGrid.begin(), stage.objectGrid.end(), std::string("Nothing"));
    std::fill(stage.heightGrid.begin(), stage.heightGrid.end(), 1);
    std::fill(stage.markerGrid.begin(), stage.markerGrid.end(), '0');
    std::fill(stage.facingGrid.begin(), stage.facingGrid.end(), '0');
}

void CreateFloorObjects(StageData& stage) {
    for (std::int32_t y = 0; y < stage.floorDepth; ++y) {
        for (std::int32_t x = 0; x < stage.floorWidth; ++x) {
            const std::string& name = stage.objectGrid[GridIndex(x, y)];
            if (name.empty() || name == "Nothing") {
                continue;
            }
            CharaValues c;
            c.SetName(name);
            c.SetCellValue(x, y);
            c.SetDirectionValue(FacingWord(stage.facingGrid[GridIndex(x, y)]));
            stage.FloorObjects.emplace(name, std::move(c));
        }
    }
}

void FillPlayerUnits(StageData& stage, const CharaMap& squad) {
    for (const auto& [name, c] : squad) {
        stage.PlayerUnits.emplace(name, c);
    }
}

namespace {
void Restore(CharaValues& c) {
    c.SetHP(c.MaxHP());
    c.SetMP(c.MaxMP());
}
} // namespace

void PlaceUnits(StageData& stage, CharaMap& squad) {
    std::size_t i = 0;
    for (auto& [name, c] : stage.PlayerUnits) {
        ++i;
        c.SetMoved(false);
        c.SetActed(false);
        if (i <= stage.allyStarts.size()) {
            const Cell cell = CellOf(stage.allyStarts[i - 1]);
            c.SetCellValue(cell.x, cell.y);
            c.SetDirectionValue(InGrid(cell.x, cell.y)
                                    ? FacingWord(stage.facingGrid[GridIndex(cell.x, cell.y)])
                                    : std::string());
        } else {
            c.SetCellValue(0, 0);
            c.SetDirectionValue("up");
        }
    }
    // The player's units begin every battle unhurt; the units on the field
    // are the squad's creatures, so both are restored.
    for (auto& [name, c] : squad) {
        Restore(c);
    }
    for (auto& [name, c] : stage.PlayerUnits) {
        Restore(c);
    }
    for (auto& [name, c] : stage.EnemyUnits) {
        Restore(c);
        c.SetMoved(false);
        c.SetActed(false);
    }
    stage.PlaceEnemies();
}

CharaValues* UnitAt(CharaMap& units, std::int32_t x, std::int32_t y) {
    for (auto& [name, c] : units) {
        if (c.CellX() == x && c.CellY() == y) {
            return &c;
        }
    }
    return nullptr;
}

const CharaValues* UnitAt(const CharaMap& units, std::int32_t x, std::int32_t y) {
    for (const auto& [name, c] : units) {
        if (c.CellX() == x && c.CellY() == y) {
            return &c;
        }
    }
    return nullptr;
}

void ForEachUnit(StageData& stage, const std::function<void(CharaValues&)>& update) {
    for (CharaMap* units :
         {&stage.PlayerUnits, &stage.EnemyUnits, &stage.FieldCores, &stage.FloorObjects}) {
        for (auto& [name, c] : *units) {
            update(c);
        }
    }
}

bool AnyPlayerStanding(const StageData& stage) {
    for (const auto& [name, c] : stage.PlayerUnits) {
        if (c.HP() > 0) {
            return true;
        }
    }
    return false;
}

} // namespace quolis
