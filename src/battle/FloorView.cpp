#include "battle/FloorView.h"

#include "battle/Field.h"

#include <algorithm>
#include <string>

namespace quolis {

namespace {

Vec3 CellCorner(const StageData& stage, std::int32_t x, std::int32_t y) {
    const WorldPoint p = CellToWorld(stage, x, y);
    return {p.x, p.y, p.z};
}

} // namespace

void BuildFloorQuads(const StageData& stage, CQuadList& floor) {
    floor.ClearQuads();
    for (std::int32_t y = 0; y < stage.floorDepth; ++y) {
        for (std::int32_t x = 0; x < stage.floorWidth; ++x) {
            QuadRecord q;
            q.position = CellCorner(stage, x, y);
            q.extent = {kCellSize, 0, kCellSize};
            q.cellX = x;
            q.cellY = y;
            // A hole (height 0) is a black square on the ground.
            q.texture = stage.Height(x, y) == 0 ? std::string(kHoleTexture)
                                                : stage.textureGrid[GridIndex(x, y)];
            floor.AddQuad(q);
        }
    }
    floor.BuildQuads();
}

void BuildAreaQuads(const StageData& stage, const ReachGrid& grid, CQuadList& area) {
    area.ClearQuads();
    for (std::int32_t y = 0; y < stage.floorDepth; ++y) {
        for (std::int32_t x = 0; x < stage.floorWidth; ++x) {
            if (grid.At(x, y) == 0) {
                continue;
            }
            QuadRecord q;
            q.position = CellCorner(stage, x, y);
            q.extent = {kCellSize, kCellSize, kCellSize};
            q.texture = "Nothing";
            q.cellX = x;
            q.cellY = y;
            area.AddQuad(q);
        }
    }
    area.BuildQuads();
}

void BuildWallQuads(const StageData& stage, CQuadList& walls) {
    walls.ClearQuads();
    struct Side {
        const char* tag;
        std::int32_t dx, dy;
        int kind;
        float offsetX, offsetZ; // from the cell's corner, in cells
    };
    static constexpr Side kSides[4] = {
        {"front", 0, -1, 1, 0, 0},
        {"rear", 0, 1, 1, 1, 1},
        {"left", -1, 0, 2, 0, 0},
        {"right", 1, 0, 2, 1, -1},
    };
    for (std::int32_t y = 0; y < stage.floorDepth; ++y) {
        for (std::int32_t x = 0; x < stage.floorWidth; ++x) {
            const std::int32_t h = stage.Height(x, y);
            if (h <= 0) {
                continue;
            }
            const Vec3 p = CellCorner(stage, x, y);
            for (const Side& side : kSides) {
                const std::int32_t nx = x + side.dx;
                const std::int32_t ny = y + side.dy;
                const bool inside =
                    nx >= 0 && ny >= 0 && nx < stage.floorWidth && ny < stage.floorDepth;
                // A higher neighbour hides this face down to the ground; the
                // floor's edge shows it all the way down.
                std::int32_t bottom = 0;
                if (inside && stage.Height(nx, ny) <= h) {
                    bottom = stage.Height(nx, ny);
                }
                for (std::int32_t k = bottom; k < h; ++k) {
                    QuadRecord q;
                    q.position = {p.x + side.offsetX * kCellSize,
                                  static_cast<float>(k) * kCellSize * 0.5f,
                                  p.z + side.offsetZ * kCellSize};
                    q.extent = {kCellSize, kCellSize * 0.5f, kCellSize};
                    q.texture = std::string(kWallTexture);
                    q.kind = side.kind;
                    q.cellX = x;
                    q.cellY = y;
                    q.tag = side.tag;
                    if (k != bottom) {
                        q.tag += std::to_string(k);
                    }
                    walls.AddQuad(q);
                }
            }
        }
    }
    walls.BuildQuads();
}

HRESULT CFloorView::Build(const StageData& stage) {
    BuildFloorQuads(stage, floor_);
    BuildWallQuads(stage, walls_);
    low_ = high_ = {0, 0, 0};
    bool any = false;
    for (std::int32_t y = 0; y < stage.floorDepth; ++y) {
        for (std::int32_t x = 0; x < stage.floorWidth; ++x) {
            const Vec3 p = CellCorner(stage, x, y);
            // The diamond spans 2s along x and s either side along z.
            const Vec3 lo{p.x, 0, p.z - kCellSize};
            const Vec3 hi{p.x + 2 * kCellSize, p.y, p.z + kCellSize};
            if (!any) {
                low_ = lo;
                high_ = hi;
                any = true;
                continue;
            }
            low_ = {std::min(low_.x, lo.x), 0, std::min(low_.z, lo.z)};
            high_ = {std::max(high_.x, hi.x), std::max(high_.y, hi.y), std::max(high_.z, hi.z)};
        }
    }
    return S_OK;
}

HRESULT CFloorView::Draw() {
    const HRESULT floor = floor_.Draw();
    const HRESULT walls = walls_.Draw();
    return Failed(floor) ? floor : walls;
}

} // namespace quolis
