#pragma once
// The battle floor as drawn: one textured diamond per cell lifted to the
// cell's height (holes black at height 0) and upright wall quads, one per
// height unit, on every side where the floor falls away to a lower neighbour
// or to the floor's edge.
#include "data/StageData.h"
#include "engine/QuadList.h"

#include <string_view>

namespace quolis {

inline constexpr std::string_view kHoleTexture = "Floor\\Black.bmp";
inline constexpr std::string_view kWallTexture = "Wall\\Wall.bmp";

// Clears `floor`, adds the floor quad of every cell (walk: rows y = 0 up, x
// = 0 up within a row; tag empty) and builds it.
void BuildFloorQuads(const StageData& stage, CQuadList& floor);
// Clears `walls`, adds the wall quads of every cell above height 0 (sides in
// the order "front", "rear", "left", "right") and builds it. The lowest wall
// unit of a side is tagged with the side name; a unit k above it with the
// side name followed by k, so that every unit keeps its own key.
void BuildWallQuads(const StageData& stage, CQuadList& walls);

// The highlighted area: clears `area`, adds one untextured flat quad for
// every cell of the floor whose grid value is not 0 (same walk as the
// floor) and builds it; the list's colour shows alone.
class ReachGrid;
void BuildAreaQuads(const StageData& stage, const ReachGrid& grid, CQuadList& area);

class CFloorView {
public:
    // Floor culled counter-clockwise (seen from above only); walls not culled.
    CFloorView() : floor_(0), walls_(2) {}

    // Builds both lists from the stage's grids.
    HRESULT Build(const StageData& stage);
    // Draws the floor, then the walls, under the light the scene has set.
    HRESULT Draw();

    CQuadList& Floor() { return floor_; }
    CQuadList& Walls() { return walls_; }
    const CQuadList& Floor() const { return floor_; }
    const CQuadList& Walls() const { return walls_; }
    // The box holding every floor and wall quad (world units); both corners
    // are the origin for an empty floor.
    Vec3 BoundsLow() const { return low_; }
    Vec3 BoundsHigh() const { return high_; }

private:
    CQuadList floor_;
    CQuadList walls_;
    Vec3 low_{0, 0, 0};
    Vec3 high_{0, 0, 0};
};

} // namespace quolis
