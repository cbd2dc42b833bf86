#pragma once
// The battle camera's presets and distance levels, and which way the
// direction keys move the cursor for each preset.
#include "battle/Field.h"
#include "gfxutil/Math.h"

namespace quolis {

// One camera preset: the viewing angle, the base eye offset and the step
// added per distance level (world units).
struct CameraPreset {
    int angle = 0;
    Vec3 base;
    Vec3 step;
};

inline constexpr int kCameraPresetCount = 8;
const CameraPreset& CameraPresetAt(int index);

// The current preset and distance level (0, 2, 4, 6).
class BattleCameraSetting {
public:
    // The preset whose angle equals the stage's initial camera angle (the
    // first preset for an angle not in the table), level 0.
    void Start(int stageAngle);
    int Angle() const { return CameraPresetAt(preset_).angle; }
    int Level() const { return level_; }
    // base + level x step of the current preset.
    Vec3 EyeOffset() const;
    // The view distance key: 0, 2, 4, 6, then 0 again.
    void NextDistance() { level_ = level_ >= 6 ? 0 : level_ + 2; }
    // Rotate right: the previous angle (0 goes to 315).
    void RotateRight() { preset_ = (preset_ + kCameraPresetCount - 1) % kCameraPresetCount; }
    // Rotate left: the next angle (315 goes to 0).
    void RotateLeft() { preset_ = (preset_ + 1) % kCameraPresetCount; }

private:
    int preset_ = 0;
    int level_ = 0;
};

enum class CursorKey { Up, Down, Left, Right };

// The cell step of a direction key under a preset angle: at 0 and 45 up is
// +y; at 90 and 135 up is +x; at 180 and 225 up is -y; at 270 and 315 up is -x.
Cell CursorStep(int angle, CursorKey key);

// The four direction actions as cursor keys, in the order the battle tests
// them: up, down, left, right.
struct CursorAction {
    int action;
    CursorKey key;
};
extern const CursorAction kCursorActions[4];

} // namespace quolis
