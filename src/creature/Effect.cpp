#include "creature/Effect.h"

#include "creature/Cues.h"

namespace quolis {

namespace {

constexpr EffectKindInfo kKinds[kEffectKindCount] = {
    {"Effect\\Explosion.bmp", kCueExplosion1, 10, 3},
    {"Effect\\Explosion.bmp", kCueExplosion2, 10, 3},
    {"Effect\\Gravity.bmp", kCueGravity, 10, 2},
    {"Effect\\Flare.bmp", kCueAtomic, 10, 3},
    {"Effect\\Crush.bmp", kCueCrush, 10, 2},
    {"Effect\\Slush.bmp", kCueSlush, 10, 2},
    {"Effect\\CS.bmp", kCueCS, 10, 3},
    {"Effect\\Sonic.bmp", kCueSonic, 5, 3},
    {"Effect\\Beating.bmp", kCueBalkan, 10, 2},
    {"Effect\\Condensation.bmp", kCueNeedle, 10, 2},
    {"Effect\\Mist.bmp", kCueBreath, 10, 3},
    {"Effect\\ISonic.bmp", kCueISonic, 10, 2},
    {"Effect\\Plasma.bmp", kCuePlasma, 10, 4},
    {"Effect\\Burn.bmp", kCueBurn, 10, 3},
    {"Effect\\Laser.bmp", kCueLaser, 10, 2},
};

} // namespace

const EffectKindInfo& EffectInfo(EffectKind kind) {
    const int i = static_cast<int>(kind);
    return kKinds[i >= 0 && i < kEffectKindCount ? i : 0];
}

CEffect::CEffect() {
    depthTest_ = 0;
    cells_.reserve(kMaxCells);
}

void CEffect::Start(int columns, int rows, float frameTime, const Vec3& offset, const Vec3& size,
                    const Viewport* viewport, const Mat4* projection, const Mat4* view,
                    const Mat4* placement, const AnchorReference* reference) {
    cells_.clear();
    if (columns > 0 && rows > 0) {
        // Single precision steps, as the sheets were laid out for.
        const float du = 1.0f / static_cast<float>(columns);
        const float dv = 1.0f / static_cast<float>(rows);
        for (float v = 0; v < 1.0f; v += dv) {
            for (float u = 0; u < 1.0f; u += du) {
                if (cells_.size() >= kMaxCells * 4) // a guard against absurd sheets
                    break;
                cells_.push_back({u, v, u + du, v + dv});
            }
        }
    }
    current_ = 0;
    if (!cells_.empty())
        uv_ = cells_[0];
    frameTime_ = frameTime;
    offset_ = offset;
    size_ = size;
    viewport_ = viewport;
    projection_ = projection;
    view_ = view;
    placement_ = placement;
    reference_ = reference;
    if (!CStopwatch::TimeFrozen())
        watch_.MarkStart();
    FollowAnchor();
}

int CEffect::Play() {
    if (cells_.empty())
        return 0;
    active_ = 1;
    return 1;
}

void CEffect::Update() {
    if (!active_)
        return;
    if (!CStopwatch::TimeFrozen()) {
        watch_.Sample();
        if (watch_.SinceMark() > frameTime_) {
            // The copy comes before the step: the first cell stays for two
            // frame times and the last cell is never shown.
            uv_ = cells_[current_];
            ++current_;
            if (current_ >= cells_.size()) {
                active_ = 0;
                current_ = 0;
                return;
            }
            watch_.SetMark();
        }
    }
    FollowAnchor();
}

void CEffect::FollowAnchor() {
    if (viewport_ == nullptr || projection_ == nullptr || view_ == nullptr ||
        placement_ == nullptr || reference_ == nullptr)
        return;
    const Vec3 p{reference_->centreX, reference_->height, reference_->centreZ};
    pos_ = Project(p, *viewport_, *projection_, *view_, *placement_) + offset_;
}

HRESULT CEffect::Draw() {
    if (!active_ || !IsEnabled())
        return S_OK;
    const Vec3 corner{pos_.x - size_.x * 0.5f, pos_.y - size_.y * 0.5f, pos_.z};
    DrawScreenQuad(corner, size_, uv_, GetPacked(), texture_, false);
    return S_OK;
}

} // namespace quolis
