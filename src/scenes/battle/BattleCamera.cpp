#include "scenes/battle/BattleCamera.h"

#include "input/Input.h"

#include <array>

namespace quolis {

namespace {

constexpr std::array<CameraPreset, kCameraPresetCount> kPresets = {{
    {0, {0, 11, -15}, {0, 2, -2}},
    {45, {-12, 12, -12}, {-2, 2, -2}},
    {90, {-15, 11, 0}, {-2, 2, 0}},
    {135, {-12, 12, 12}, {-2, 2, 2}},
    {180, {0, 11, 15}, {0, 2, 2}},
    {225, {12, 12, 12}, {2, 2, 2}},
    {270, {15, 11, 0}, {2, 2, 0}},
    {315, {12, 12, -12}, {2, 2, -2}},
}};

} // namespace

const CursorAction kCursorActions[4] = {{kInputUp, CursorKey::Up},
                                        {kInputDown, CursorKey::Down},
                                        {kInputLeft, CursorKey::Left},
                                        {kInputRight, CursorKey::Right}};

const CameraPreset& CameraPresetAt(int index) {
    return kPresets[static_cast<std::size_t>(index) % kPresets.size()];
}

void BattleCameraSetting::Start(int stageAngle) {
    preset_ = 0;
    level_ = 0;
    for (int i = 0; i < kCameraPresetCount; ++i) {
        if (kPresets[static_cast<std::size_t>(i)].angle == stageAngle) {
            preset_ = i;
        }
    }
}

Vec3 BattleCameraSetting::EyeOffset() const {
    const CameraPreset& p = CameraPresetAt(preset_);
    const float l = static_cast<float>(level_);
    return {p.base.x + l * p.step.x, p.base.y + l * p.step.y, p.base.z + l * p.step.z};
}

Cell CursorStep(int angle, CursorKey key) {
    // The "up" step of each quarter; down is its opposite, left and right
    // the quarter turned.
    Cell up{0, 1};
    if (angle >= 90 && angle < 180) {
        up = {1, 0};
    } else if (angle >= 180 && angle < 270) {
        up = {0, -1};
    } else if (angle >= 270) {
        up = {-1, 0};
    }
    // Right is up turned a quarter clockwise as seen on the grid.
    const Cell right{up.y, -up.x};
    switch (key) {
    case CursorKey::Up:
        return up;
    case CursorKey::Down:
        return {-up.x, -up.y};
    case CursorKey::Left:
        return {-right.x, -right.y};
    case CursorKey::Right:
        return right;
    }
    return {0, 0};
}

} // namespace quolis
