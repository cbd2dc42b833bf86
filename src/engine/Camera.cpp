#include "engine/Camera.h"

#include "engine/QuadList.h"

namespace quolis {

CCamera::Glide CCamera::cellGlide_;
CCamera::Glide CCamera::pointGlide_;

void CCamera::Create(Device* device, float aspect) {
    device_ = device;
    aspect_ = aspect;
    view_ = Mat4::Identity();
    projection_ = MatrixPerspectiveFovLH(kFieldOfView, aspect, kNear, kFar);
}

void CCamera::SetEye(float x, float y, float z) {
    eye_ = {x, y, z};
    Rebuild();
}

void CCamera::SetLookAt(float x, float y, float z) {
    lookAt_ = {x, y, z};
    Rebuild();
}

void CCamera::SetUp(float x, float y, float z) {
    up_ = {x, y, z};
    Rebuild();
}

void CCamera::Apply() {
    if (!device_)
        return;
    device_->SetTransform(TransformKind::View, view_);
    device_->SetTransform(TransformKind::Projection, projection_);
}

void CCamera::InitCells(float glideShift, const CQuadList* floor, const Vec3& eyeOffset) {
    glideShift_ = glideShift;
    floor_ = floor;
    eyeOffset_ = eyeOffset;
}

Vec3 CCamera::CellPosition(int column, int row) const {
    Vec3 p = lookAt_;
    if (floor_)
        floor_->FindQuad(column, row, "", &p);
    return p;
}

void CCamera::LookAtCell(int column, int row) {
    column_ = column;
    row_ = row;
    const Vec3 p = CellPosition(column, row);
    eye_ = p + eyeOffset_;
    lookAt_ = p;
    up_ = {0, 1, 0};
    Rebuild();
}

template <class Place>
int CCamera::Step(Glide& g, const Vec3& start, const Vec3& target, float step, Place place) {
    switch (g.phase) {
    case 0:
        g.current = start;
        g.target = target;
        g.phase = 1;
        return 1;
    case 1: {
        const Vec3 d = g.target - g.current;
        if (Length(d) <= 0.1f) {
            g.current = g.target;
            place(g.current);
            g.phase = 2;
            return 0;
        }
        g.current = g.current + d * step;
        place(g.current);
        return 1;
    }
    default:
        if (target == g.target)
            return 0;
        g.phase = 0;
        return 1;
    }
}

int CCamera::GlideTo(const Vec3& point, const Vec3& eyeOffset, float step) {
    return Step(pointGlide_, lookAt_, point, step, [&](const Vec3& c) {
        lookAt_ = c;
        eye_ = c + eyeOffset;
        Rebuild();
    });
}

int CCamera::GlideToCell(int column, int row, float step) {
    const Vec3 shift{glideShift_ + 0.3f, 0, 0.3f};
    const Vec3 target = CellPosition(column, row) + shift;
    const Vec3 start = CellPosition(column_, row_) + shift;
    const int phaseBefore = cellGlide_.phase;
    const int r = Step(cellGlide_, start, target, step, [&](const Vec3& c) {
        eye_ = c + eyeOffset_;
        lookAt_ = c;
        Rebuild();
    });
    if (r == 0 && phaseBefore == 1) // the arriving call
        LookAtCell(column, row);
    return r;
}

void CCamera::ResetGlides() {
    cellGlide_ = Glide{};
    pointGlide_ = Glide{};
}

} // namespace quolis
