#include "gfxutil/Math.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

constexpr float kDeg = 0.017453292f;
constexpr float kEps = 1e-5f;

#define EXPECT_VEC3_NEAR(v, ex, ey, ez)                                                            \
    do {                                                                                           \
        Vec3 v_ = (v);                                                                             \
        EXPECT_NEAR(v_.x, (ex), kEps);                                                             \
        EXPECT_NEAR(v_.y, (ey), kEps);                                                             \
        EXPECT_NEAR(v_.z, (ez), kEps);                                                             \
    } while (0)

void ExpectIdentity(const Mat4& m) {
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(m(r, c), r == c ? 1.0f : 0.0f, 1e-5f) << r << "," << c;
        }
    }
}

TEST(Vec3Math, DotCrossLengthNormalize) {
    EXPECT_FLOAT_EQ(Dot({1, 2, 3}, {4, -5, 6}), 12);
    // Left-handed or not, x × y = z as numbers.
    EXPECT_EQ(Cross({1, 0, 0}, {0, 1, 0}), Vec3(0, 0, 1));
    EXPECT_EQ(Cross({0, 1, 0}, {1, 0, 0}), Vec3(0, 0, -1));
    EXPECT_FLOAT_EQ(Length({3, 4, 12}), 13);
    EXPECT_VEC3_NEAR(Normalize({3, 0, 4}), 0.6f, 0, 0.8f);
    EXPECT_EQ(Normalize({0, 0, 0}), Vec3(0, 0, 0));
    EXPECT_EQ(Vec3(1, 2, 3) + Vec3(1, 1, 1) * 2, Vec3(3, 4, 5));
    EXPECT_EQ(-(Vec3(1, 2, 3) - Vec3(1, 1, 1)), Vec3(0, -1, -2));
}

TEST(Mat4Math, TranslationScalingAndProductOrder) {
    EXPECT_VEC3_NEAR(TransformCoord({1, 2, 3}, MatrixTranslation(10, 20, 30)), 11, 22, 33);
    EXPECT_VEC3_NEAR(TransformCoord({1, 2, 3}, MatrixScaling(2, 3, 4)), 2, 6, 12);
    // Row vectors: a × b applies a first.
    Mat4 scaleThenMove = MatrixScaling(2, 2, 2) * MatrixTranslation(1, 0, 0);
    Mat4 moveThenScale = MatrixTranslation(1, 0, 0) * MatrixScaling(2, 2, 2);
    EXPECT_VEC3_NEAR(TransformCoord({1, 0, 0}, scaleThenMove), 3, 0, 0);
    EXPECT_VEC3_NEAR(TransformCoord({1, 0, 0}, moveThenScale), 4, 0, 0);
    // The translation sits in the fourth row.
    Mat4 t = MatrixTranslation(5, 6, 7);
    EXPECT_FLOAT_EQ(t(3, 0), 5);
    EXPECT_FLOAT_EQ(t(3, 2), 7);
    EXPECT_FLOAT_EQ(t(0, 3), 0);
    EXPECT_EQ(MatrixTranspose(MatrixTranspose(t)), t);
    EXPECT_FLOAT_EQ(MatrixTranspose(t)(0, 3), 5);
}

TEST(Mat4Math, RotationsTurnTheWayOfALeftHandedSystem) {
    // 90° about Y takes +X to −Z; about X takes +Y to +Z; about Z takes +X to +Y.
    EXPECT_VEC3_NEAR(TransformCoord({1, 0, 0}, MatrixRotationY(90 * kDeg)), 0, 0, -1);
    EXPECT_VEC3_NEAR(TransformCoord({0, 0, 1}, MatrixRotationY(90 * kDeg)), 1, 0, 0);
    EXPECT_VEC3_NEAR(TransformCoord({0, 1, 0}, MatrixRotationX(90 * kDeg)), 0, 0, 1);
    EXPECT_VEC3_NEAR(TransformCoord({1, 0, 0}, MatrixRotationZ(90 * kDeg)), 0, 1, 0);
    // 30° about Y: cos 30 = 0.8660254, sin 30 = 0.5.
    EXPECT_VEC3_NEAR(TransformCoord({2, 0, 0}, MatrixRotationY(30 * kDeg)), 1.7320508f, 0, -1);
}

TEST(Mat4Math, YawPitchRollAppliesRollThenPitchThenYaw) {
    // Pitch first: +X is untouched by pitch, then yaw turns it to −Z. The
    // other order would give +Y.
    EXPECT_VEC3_NEAR(TransformCoord({1, 0, 0}, MatrixRotationYawPitchRoll(90 * kDeg, 90 * kDeg, 0)),
                     0, 0, -1);
    EXPECT_VEC3_NEAR(TransformCoord({0, 0, 1}, MatrixRotationYawPitchRoll(90 * kDeg, 90 * kDeg, 0)),
                     0, -1, 0);
    // Roll first: +X -> +Y, then yaw leaves +Y alone.
    EXPECT_VEC3_NEAR(TransformCoord({1, 0, 0}, MatrixRotationYawPitchRoll(90 * kDeg, 0, 90 * kDeg)),
                     0, 1, 0);
    // Pure yaw equals RotationY.
    Mat4 a = MatrixRotationYawPitchRoll(37 * kDeg, 0, 0);
    Mat4 b = MatrixRotationY(37 * kDeg);
    for (int r = 0; r < 4; ++r) {
        for (int c = 0; c < 4; ++c) {
            EXPECT_NEAR(a(r, c), b(r, c), 1e-6f);
        }
    }
}

TEST(Mat4Math, LookAtLeftHanded) {
    // From (0, 0, −10) towards the origin: only a translation by +10 in z.
    Mat4 v = MatrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    EXPECT_VEC3_NEAR(TransformCoord({0, 0, 0}, v), 0, 0, 10);
    EXPECT_VEC3_NEAR(TransformCoord({1, 2, 0}, v), 1, 2, 10);
    // From +X towards the origin: the view's right is world +Z.
    Mat4 side = MatrixLookAtLH({10, 0, 0}, {0, 0, 0}, {0, 1, 0});
    EXPECT_VEC3_NEAR(TransformCoord({0, 0, 5}, side), 5, 0, 10);
    EXPECT_VEC3_NEAR(TransformCoord({0, 3, 0}, side), 0, 3, 10);
    // Looking down at 45°: eye (0, 10, −10). The origin lies 14.142136 ahead.
    Mat4 down = MatrixLookAtLH({0, 10, -10}, {0, 0, 0}, {0, 1, 0});
    EXPECT_VEC3_NEAR(TransformCoord({0, 0, 0}, down), 0, 0, 14.142136f);
}

TEST(Mat4Math, PerspectiveFovLeftHanded) {
    // 90° field of view, square aspect, near 1, far 101.
    Mat4 p = MatrixPerspectiveFovLH(90 * kDeg, 1.0f, 1.0f, 101.0f);
    EXPECT_NEAR(p(0, 0), 1, 1e-6f);
    EXPECT_NEAR(p(1, 1), 1, 1e-6f);
    EXPECT_FLOAT_EQ(p(2, 2), 1.01f);
    EXPECT_FLOAT_EQ(p(3, 2), -1.01f);
    EXPECT_FLOAT_EQ(p(2, 3), 1);
    EXPECT_FLOAT_EQ(p(3, 3), 0);
    // Depth runs 0 at the near plane to 1 at the far plane.
    EXPECT_NEAR(TransformCoord({0, 0, 1}, p).z, 0, 1e-6f);
    EXPECT_NEAR(TransformCoord({0, 0, 101}, p).z, 1, 1e-6f);
    EXPECT_VEC3_NEAR(TransformCoord({2, 1, 2}, p), 1, 0.5f, 0.505f); // (1.01 × 2 − 1.01) / 2
    // Aspect 4:3 narrows x.
    Mat4 wide = MatrixPerspectiveFovLH(90 * kDeg, 4.0f / 3.0f, 1.0f, 100.0f);
    EXPECT_NEAR(wide(0, 0), 0.75f, 1e-6f);
    Vec4 h = Transform({0, 0, 10}, wide);
    EXPECT_FLOAT_EQ(h.w, 10);
}

TEST(Mat4Math, TransformNormalIgnoresTranslationAndCoordDividesByW) {
    Mat4 m = MatrixRotationZ(90 * kDeg) * MatrixTranslation(100, 0, 0);
    EXPECT_VEC3_NEAR(TransformNormal({1, 0, 0}, m), 0, 1, 0);
    EXPECT_VEC3_NEAR(TransformCoord({1, 0, 0}, m), 100, 1, 0);
    Mat4 w = Mat4::Identity();
    w(3, 3) = 2;
    EXPECT_VEC3_NEAR(TransformCoord({4, 6, 8}, w), 2, 3, 4);
}

TEST(Mat4Math, InverseUndoesAndRejectsSingular) {
    Mat4 m = MatrixScaling(2, 3, 4) * MatrixRotationYawPitchRoll(0.3f, -0.7f, 1.1f) *
             MatrixTranslation(5, -6, 7);
    Mat4 inv;
    ASSERT_TRUE(MatrixInverse(m, &inv));
    ExpectIdentity(m * inv);
    ExpectIdentity(inv * m);
    EXPECT_VEC3_NEAR(TransformCoord(TransformCoord({1, 2, 3}, m), inv), 1, 2, 3);
    Mat4 singular = MatrixScaling(1, 0, 1);
    EXPECT_FALSE(MatrixInverse(singular, &inv));
    ExpectIdentity(inv);
}

TEST(Mat4Math, ProjectIntoTheBackBufferViewport) {
    // 90° vertical field of view at 800 × 600: the view centre is (400, 300);
    // a point at 45° above the axis is on the top edge.
    Viewport vp;
    Mat4 proj = MatrixPerspectiveFovLH(90 * kDeg, 800.0f / 600.0f, 1.0f, 100.0f);
    Mat4 id = Mat4::Identity();
    EXPECT_VEC3_NEAR(Project({0, 0, 10}, vp, proj, id, id), 400, 300, 0.90909091f);
    Vec3 top = Project({0, 10, 10}, vp, proj, id, id);
    EXPECT_NEAR(top.y, 0, 1e-3f);
    // Half-way to the right edge and half-way down.
    Vec3 p = Project({0.5f * (4.0f / 3.0f) * 10, -5, 10}, vp, proj, id, id);
    EXPECT_NEAR(p.x, 600, 1e-3f);
    EXPECT_NEAR(p.y, 450, 1e-3f);
    // World and view take part in that order: world moves the point to
    // (0, 0, 10) in front of a camera at (0, 0, −10) -> depth 20.
    Mat4 view = MatrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    Mat4 world = MatrixTranslation(0, 0, 10);
    Vec3 q = Project({0, 0, 0}, vp, proj, view, world);
    EXPECT_NEAR(q.x, 400, 1e-3f);
    EXPECT_NEAR(q.z, 100.0f / 99.0f * (1.0f - 1.0f / 20.0f), 1e-5f);
    // A viewport offset and depth range carry through.
    Viewport small{100, 50, 200, 100, 0.5f, 1.0f};
    EXPECT_VEC3_NEAR(Project({0, 0, 100}, small, proj, id, id), 200, 100, 1.0f);
}

} // namespace
} // namespace quolis
