#pragma once
// The one camera of the application: view and projection, direct moves, jumps
// to a floor cell and smooth glides.
#include "gfxutil/Math.h"
#include "platform/Device.h"

namespace quolis {

class CQuadList;

class CCamera {
public:
    static constexpr float kFieldOfView = 0.78539819f; // pi / 4
    static constexpr float kNear = 0.1f;
    static constexpr float kFar = 1000.0f;

    // View identity; perspective projection (left-handed) for the aspect.
    void Create(Device* device, float aspect);
    void SetEye(float x, float y, float z);
    void SetLookAt(float x, float y, float z);
    void SetUp(float x, float y, float z);
    // Sets the device's view and projection transforms.
    void Apply();

    // Class-wide settings of the cell operations: the glide shift along x, the
    // floor's quad list (cell -> world position) and the eye offset.
    static void InitCells(float glideShift, const CQuadList* floor, const Vec3& eyeOffset);
    // Looks at the cell's floor position from the eye offset. A cell without a
    // floor quad keeps the current look-at point.
    void LookAtCell(int column, int row);
    void MoveCell(int dColumn, int dRow) { LookAtCell(column_ + dColumn, row_ + dRow); }
    void GetCell(int* column, int* row) const {
        *column = column_;
        *row = row_;
    }
    int CellColumn() const { return column_; }
    int CellRow() const { return row_; }

    // Smooth moves, called once per frame: 1 while moving, 0 on arrival.
    int GlideToCell(int column, int row, float step);
    int GlideTo(const Vec3& point, const Vec3& eyeOffset, float step);
    // Forgets both glides (a new scene starts without one under way).
    static void ResetGlides();

    const Vec3& Eye() const { return eye_; }
    const Vec3& LookAt() const { return lookAt_; }
    const Vec3& Up() const { return up_; }
    const Mat4& View() const { return view_; }
    const Mat4& Projection() const { return projection_; }
    float Aspect() const { return aspect_; }

private:
    struct Glide {
        int phase = 0;
        Vec3 current;
        Vec3 target;
    };

    void Rebuild() { view_ = MatrixLookAtLH(eye_, lookAt_, up_); }
    Vec3 CellPosition(int column, int row) const;
    // One step of a glide; places the camera through `place`.
    template <class Place>
    static int Step(Glide& g, const Vec3& start, const Vec3& target, float step, Place place);

    Device* device_ = nullptr;
    float aspect_ = 800.0f / 600.0f;
    Vec3 eye_{0, 0, -1};
    Vec3 lookAt_{0, 0, 0};
    Vec3 up_{0, 1, 0};
    Mat4 view_ = Mat4::Identity();
    Mat4 projection_ = Mat4::Identity();
    int column_ = 0;
    int row_ = 0;

    static inline float glideShift_ = 0;
    static inline const CQuadList* floor_ = nullptr;
    static inline Vec3 eyeOffset_{0, 0, 0};
    static Glide cellGlide_;
    static Glide pointGlide_;
};

} // namespace quolis
