#pragma once
// CEffect: one flip-book effect sprite played over a creature. The sheet is
// cut into columns x rows cells that run left to right, then top to bottom;
// the sprite steps through them by real time and follows the creature's
// projected anchor point on the screen.
#include "engine/Number.h"
#include "engine/Polygon.h"

#include <cstddef>
#include <vector>

namespace quolis {

// The fifteen effect kinds a creature can start on itself.
enum class EffectKind : int {
    Explosion1, // the first explosion sound
    Explosion2, // the second explosion sound
    Gravity,
    Flare,
    Crush,
    Slush,
    CS,
    Sonic,
    Beating,
    Condensation,
    Mist,
    ISonic,
    Plasma,
    Burn,
    Laser,
};
inline constexpr int kEffectKindCount = 15;

// Texture, cue and sheet layout of one kind. The cue is the UTF-8 form of the
// registered cue name (CP932 through CueName()).
struct EffectKindInfo {
    const char* texture;
    int cue; // index into the creature cue table
    int columns;
    int rows;
};
const EffectKindInfo& EffectInfo(EffectKind kind);

class CEffect : public CPolygon {
public:
    static constexpr std::size_t kMaxCells = 40;

    CEffect();

    // Cuts the sheet, shows the first cell, stores the frame time, offset and
    // size and the anchor references, and starts the stopwatch (unless time
    // is frozen). Does not make the effect active.
    void Start(int columns, int rows, float frameTime, const Vec3& offset, const Vec3& size,
               const Viewport* viewport, const Mat4* projection, const Mat4* view,
               const Mat4* placement, const AnchorReference* reference);
    // Active when there is at least one cell: 1, else 0.
    int Play();
    int IsActive() const { return active_; }
    // Copy the current cell once its frame time has passed, step on (ending
    // after the last cell), then follow the anchor.
    void Update();
    // A quad centred on the position, depth test off. Only while active.
    HRESULT Draw() override;

    std::size_t CellCount() const { return cells_.size(); }
    std::size_t CurrentCell() const { return current_; }
    const UVRect& Cell(std::size_t i) const { return cells_[i]; }
    float FrameTime() const { return frameTime_; }
    const Vec3& Offset() const { return offset_; }

private:
    void FollowAnchor();

    Vec3 offset_{0, 0, 0};
    const Viewport* viewport_ = nullptr;
    const Mat4* projection_ = nullptr;
    const Mat4* view_ = nullptr;
    const Mat4* placement_ = nullptr;
    const AnchorReference* reference_ = nullptr;
    std::vector<UVRect> cells_;
    std::size_t current_ = 0;
    float frameTime_ = 0;
    CStopwatch watch_;
    int active_ = 0;
};

} // namespace quolis
