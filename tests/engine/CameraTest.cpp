#include "engine/Camera.h"

#include "Engine3dTestData.h"
#include "engine/QuadList.h"

using namespace quolis;
using namespace quolis::test3d;

namespace {

// A floor whose cell (x, y) lies at world (x, 0, 10 y).
class CameraTest : public Engine3dTest {
protected:
    void SetUp() override {
        Engine3dTest::SetUp();
        for (int x = 0; x < 8; ++x)
            for (int y = 0; y < 8; ++y) {
                QuadRecord q;
                q.position = {float(x), 0, float(10 * y)};
                q.cellX = x;
                q.cellY = y;
                floor_.AddQuad(q);
            }
        CCamera::InitCells(0.5f, &floor_, {0, 8, -8});
        CCamera::ResetGlides();
        cam_.Create(&dev_, 4.0f / 3.0f);
    }
    void TearDown() override {
        CCamera::InitCells(0, nullptr, {});
        CCamera::ResetGlides();
        Engine3dTest::TearDown();
    }
    CQuadList floor_{0};
    CCamera cam_;
};

} // namespace

TEST_F(CameraTest, CreateAndApply) {
    EXPECT_EQ(cam_.View(), Mat4::Identity());
    // A 45° field of view at 4:3, near 0.1, far 1000 (left-handed, rows are
    // the images of the axes): y scale cot 22.5° = 1 + √2 = 2.4142136, x scale
    // that / (4/3) = 1.8106602, depth 1000 / 999.9 = 1.0001 and
    // -0.1 · 1000 / 999.9 = -0.10001, w taken from z.
    const Mat4 projection{{{1.8106602f, 0, 0, 0},
                           {0, 2.4142136f, 0, 0},
                           {0, 0, 1.00010001f, 1},
                           {0, 0, -0.100010001f, 0}}};
    ExpectNear(cam_.Projection(), projection, 1e-6f);
    cam_.SetEye(0, 5, -10);
    cam_.SetLookAt(0, 0, 0);
    // Looking from (0, 5, -10) at the origin: forward (0, -5, 10) / √125 =
    // (0, -0.4472136, 0.8944272), right (1, 0, 0), up forward × right =
    // (0, 0.8944272, 0.4472136); the eye lands on (0, 0, √125 = 11.18034).
    const Mat4 view{{{1, 0, 0, 0},
                     {0, 0.8944272f, -0.4472136f, 0},
                     {0, 0.4472136f, 0.8944272f, 0},
                     {0, 0, 11.18034f, 1}}};
    ExpectNear(cam_.View(), view, 1e-5f);
    cam_.Apply();
    EXPECT_EQ(dev_.GetTransform(TransformKind::View), cam_.View());
    EXPECT_EQ(dev_.GetTransform(TransformKind::Projection), cam_.Projection());
}

TEST_F(CameraTest, MoveCellLooksAtTheNeighbour) {
    cam_.LookAtCell(3, 4);
    cam_.MoveCell(1, 0);
    int c = 0, r = 0;
    cam_.GetCell(&c, &r);
    EXPECT_EQ(c, 4);
    EXPECT_EQ(r, 4);
    EXPECT_EQ(cam_.LookAt(), (Vec3{4, 0, 40}));
    EXPECT_EQ(cam_.Eye(), (Vec3{4, 8, 32}));
    EXPECT_EQ(cam_.Up(), (Vec3{0, 1, 0}));
    // A cell without a floor quad keeps the point looked at.
    cam_.LookAtCell(50, 50);
    EXPECT_EQ(cam_.LookAt(), (Vec3{4, 0, 40}));
}

TEST_F(CameraTest, GlideWithStepOneArrivesOnTheThirdCall) {
    cam_.SetLookAt(0, 0, 0);
    const Vec3 target{10, 0, 0}, offset{0, 5, -5};
    EXPECT_EQ(cam_.GlideTo(target, offset, 1.0f), 1); // start
    EXPECT_EQ(cam_.LookAt(), (Vec3{0, 0, 0}));
    EXPECT_EQ(cam_.GlideTo(target, offset, 1.0f), 1); // moves onto the target
    EXPECT_EQ(cam_.LookAt(), target);
    EXPECT_EQ(cam_.Eye(), (Vec3{10, 5, -5}));
    EXPECT_EQ(cam_.GlideTo(target, offset, 1.0f), 0); // distance 0: arrived
    EXPECT_EQ(cam_.GlideTo(target, offset, 1.0f), 0);
    EXPECT_EQ(cam_.GlideTo({0, 0, 0}, offset, 0.5f), 1); // another target starts over
    EXPECT_EQ(cam_.GlideTo({0, 0, 0}, offset, 0.5f), 1);
    EXPECT_EQ(cam_.GlideTo({0, 0, 0}, offset, 0.5f), 1);
    EXPECT_EQ(cam_.LookAt(), (Vec3{5, 0, 0}));
}

TEST_F(CameraTest, GlideToCellMovesShiftedAndLandsOnTheCell) {
    cam_.LookAtCell(1, 1);
    EXPECT_EQ(cam_.GlideToCell(2, 1, 0.5f), 1); // start
    EXPECT_EQ(cam_.GlideToCell(2, 1, 0.5f), 1);
    // Half-way from (1.8, 0, 10.3) to (2.8, 0, 10.3).
    ExpectNear(cam_.LookAt(), {2.3f, 0, 10.3f});
    ExpectNear(cam_.Eye(), {2.3f, 8, 2.3f});
    EXPECT_EQ(cam_.CellColumn(), 1);
    int calls = 0;
    while (cam_.GlideToCell(2, 1, 0.5f) != 0 && ++calls < 50) {
    }
    EXPECT_EQ(calls, 3); // 0.25, 0.125, 0.0625 left: then arrival
    EXPECT_EQ(cam_.CellColumn(), 2);
    EXPECT_EQ(cam_.LookAt(), (Vec3{2, 0, 10})); // LookAtCell on arrival
    EXPECT_EQ(cam_.GlideToCell(2, 1, 0.5f), 0);
}
