#include "engine/ModelViewer.h"

#include "Engine3dTestData.h"

using namespace quolis;
using namespace quolis::test3d;

using ModelViewerTest = Engine3dTest;

TEST_F(ModelViewerTest, ShowsALoopingModelTurningUnderTheBattleLight) {
    WriteX("cube.x", CubeX());
    WriteMdl("Beast\\wait.mdl", "2 3 cube.x -1" + MdlKey(10, 0, 0) + MdlKey(10, 1, 0) +
                                    MdlKey(10, 0, 0) + "cube.x 0" + MdlKey(0, 2, 0) +
                                    MdlKey(0, 2, 0) + MdlKey(0, 2, 0));
    CModelViewer viewer;
    ASSERT_EQ(
        viewer.Open(&dev_, &archive_, &textures_, CModelViewer::Kind::Model, "Beast\\wait.mdl"),
        S_OK);
    // Framed on the spheres (radius r = sqrt 3) of the cubes at y = 0 and 2,
    // x = 10: a box of half extents (r, 1 + r, r) around (10, 1, 0).
    ExpectNear(viewer.FrameCentre(), {10, 1, 0});
    const float r = std::sqrt(3.0f);
    EXPECT_NEAR(viewer.FrameRadius(), std::sqrt(r * r + (1 + r) * (1 + r) + r * r), 1e-4f);
    for (int i = 0; i < 20; ++i)
        viewer.Step();
    EXPECT_FLOAT_EQ(viewer.Yaw(), 20 * CModelViewer::kTurnPerStep);
    EXPECT_EQ(viewer.Object().IsPlaying(), 1); // restarted after its last key
    viewer.Draw();
    auto draws = TakeDraws();
    ASSERT_EQ(draws.size(), 2u);
    const CCamera& cam = viewer.Camera();
    EXPECT_EQ(draws[0].view, cam.View());
    EXPECT_TRUE(draws[0].light0Enabled);
    ExpectNear(draws[0].light0.direction, Normalize(cam.LookAt() - cam.Eye()));
    EXPECT_EQ(draws[0].light0.diffuse, (ColorF{1.6f, 1.6f, 1.6f, 0}));
    // Turning about its own centre keeps the model in the middle of the view.
    const Vec3 bodyCentre = TransformCoord({0, 0, 0}, draws[0].world);
    const Vec3 screen =
        Project(bodyCentre, Viewport{}, cam.Projection(), cam.View(), Mat4::Identity());
    EXPECT_NEAR(screen.x, 400, 60);
    EXPECT_NEAR(screen.y, 300, 150);
    viewer.Close();
    EXPECT_EQ(CMesh::CachedMeshCount(), 0u);
}

TEST_F(ModelViewerTest, ModelsAreNamedFolderAndAnimationWithOrWithoutTheExtension) {
    EXPECT_EQ(CModelViewer::ModelMember("Beast\\wait"), "Beast\\wait.mdl");
    EXPECT_EQ(CModelViewer::ModelMember("Beast/wait.MDL"), "Beast\\wait.MDL");
    EXPECT_EQ(CModelViewer::ModelMember("Beast\\wait.mdl"), "Beast\\wait.mdl");
    EXPECT_EQ(CModelViewer::ModelMember("\x83\x5c/a"), "\x83\x5c\\a.mdl"); // "ソ" keeps its 0x5C
    WriteX("cube.x", CubeX());
    WriteMdl("Beast\\wait.mdl", "1 1 cube.x -1" + MdlKey(0, 0, 0));
    for (const char* name : {"Beast\\wait", "Beast/wait", "Beast\\wait.mdl"}) {
        CModelViewer viewer;
        EXPECT_EQ(viewer.Open(&dev_, &archive_, &textures_, CModelViewer::Kind::Model, name), S_OK)
            << name;
        viewer.Close();
    }
}

TEST_F(ModelViewerTest, ShowsAMeshAndReportsMissingContent) {
    WriteX("cube.x", CubeX());
    CModelViewer viewer;
    ASSERT_EQ(viewer.Open(&dev_, &archive_, &textures_, CModelViewer::Kind::Mesh, "cube.x"), S_OK);
    viewer.Step();
    viewer.Draw();
    EXPECT_EQ(TakeDraws().size(), 1u);
    EXPECT_EQ(viewer.Open(&dev_, &archive_, &textures_, CModelViewer::Kind::Mesh, "none.x"),
              E_FAIL);
    EXPECT_EQ(viewer.Open(&dev_, &archive_, &textures_, CModelViewer::Kind::Model, "none.mdl"),
              E_FAIL);
    viewer.Step();
    viewer.Draw();
    EXPECT_TRUE(TakeDraws().empty());
    viewer.Close();
}
