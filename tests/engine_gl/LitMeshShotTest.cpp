// A textured cube mesh and a two-part model under light 0, drawn by the
// OpenGL device: faces turned to the light are bright, faces turned away show
// only the ambient part.
#include "../engine/Engine3dTestData.h"
#include "../support/HeadlessGl.h"
#include "engine/ModelViewer.h"
#include "platform/sdl/PlatformHost.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

using namespace test3d;

using testgl::Rgb;
using testgl::ToRgb;

class LitMeshShot : public testgl::HeadlessGlTest<Engine3dTest> {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp(); // the test data's own set-up included
        if (!HasGl())
            return;
        GlDevice& gl = Gl();
        // The test data lives on the GL device instead of the recording one.
        CPolygon::InitTextures("GameData\\Texture\\", &gl, &textures_);
        CMesh::Init("GameData\\XFile\\", &gl, &archive_);
        gl.ApplyDefaultStates();
        Light light;
        light.direction = Normalize({-1, -0.5f, 0}); // travelling toward -x: +x faces lit
        light.diffuse = {1, 1, 1, 1};
        light.ambient = {0.2f, 0.2f, 0.2f, 1};
        gl.SetLight(0, light);
        gl.EnableLight(0, true);
        cam_.Create(&gl, 800.0f / 600.0f);
        cam_.SetEye(4, 5, -9);
        cam_.SetLookAt(0, 0.5f, 0);
    }
    void TearDown() override {
        if (!HasGl())
            return;
        CMesh::ReleaseAll();
        CPolygon::ReleaseTextures();
        HeadlessGlTest::TearDown();
    }

    // The pixel a world point is drawn on. A point outside the view (or a
    // short read-back) is a failure and answers -1 in every channel, which no
    // colour check accepts; the buffer is never read out of its bounds.
    Rgb PixelAt(const Vec3& world) {
        const Vec3 s = Project(world, Viewport{}, cam_.Projection(), cam_.View(), Mat4::Identity());
        const int x = int(s.x), y = int(s.y);
        if (x < 0 || x >= 800 || y < 0 || y >= 600 || pixels_.size() != 800u * 600u) {
            ADD_FAILURE() << "(" << world.x << ", " << world.y << ", " << world.z
                          << ") is drawn outside the view at " << x << ", " << y;
            return {-1, -1, -1};
        }
        return ToRgb(pixels_[std::size_t(y) * 800 + std::size_t(x)]);
    }

    CCamera cam_;
};

TEST_F(LitMeshShot, LitAndShadowedFacesOfAMeshAndAModel) {
    GlDevice& gl = Gl();
    WriteX("cube.x", CubeX("cube.bmp"));
    // Body at the origin, an arm of half size standing on it.
    WriteMdl("two.mdl",
             "2 1 cube.x -1" + MdlKey(0, 0, 0) + "cube.x 0" + MdlKey(0, 1.5f, 0, 0, 0, 0, 0.5f));
    CMesh mesh;
    ASSERT_EQ(mesh.SetMesh("cube.x"), S_OK);
    mesh.SetPosition(-2.5f, 0, 0);
    CMdl model;
    ASSERT_EQ(model.Load("two.mdl"), S_OK);
    model.SetPosition(2.5f, 0, 0);

    gl.BeginFrame();
    cam_.Apply();
    mesh.Draw();
    model.Draw();
    ASSERT_TRUE(gl.ReadBackBuffer(pixels_));
    gl.EndFrame();

    // Material (0.8, 0.6, 0.4) on a white texture: a face square to the light
    // gets about 0.8 x (0.2 + 0.89) of full red, a face turned away 0.8 x 0.2.
    // The arm is drawn at half size: its normals come out of the world
    // transform twice as long and are not renormalised (the fixed-function
    // default), so its lit face takes twice the diffuse light: red and green
    // saturate, blue about 0.4 x (0.2 + 1.79) instead of 0.4 x (0.2 + 0.89).
    struct Face {
        const char* what;
        Vec3 lit, shadowed;
        bool halfSize;
    };
    const Face faces[] = {
        {"mesh", {-1.5f, 0, 0}, {-2.5f, 0, -1}, false},
        {"model body", {3.5f, 0, 0}, {2.5f, 0, -1}, false},
        {"model arm", {3.0f, 1.5f, 0}, {2.5f, 1.5f, -0.5f}, true},
    };
    for (const Face& f : faces) {
        const Rgb lit = PixelAt(f.lit), dark = PixelAt(f.shadowed);
        EXPECT_GT(lit.r, 180) << f.what;
        if (f.halfSize) {
            EXPECT_EQ(lit.r, 255) << f.what;
            EXPECT_EQ(lit.g, 255) << f.what;
            EXPECT_GT(lit.b, 190) << f.what;
        } else {
            EXPECT_GT(lit.r, lit.g) << f.what; // the material's hue survives the texture
            EXPECT_LT(lit.g, 180) << f.what;
        }
        EXPECT_GT(lit.g, lit.b) << f.what;
        EXPECT_GT(dark.r, 20) << f.what; // ambient only, but not black
        EXPECT_LT(dark.r, 70) << f.what;
    }
    // Between the objects: the cleared background.
    const Rgb gap = PixelAt({0, -3, 0});
    EXPECT_EQ(gap.r + gap.g + gap.b, 0);
}

TEST_F(LitMeshShot, ViewerShowsTheModelInTheMiddleOfTheView) {
    GlDevice& gl = Gl();
    WriteX("cube.x", CubeX("cube.bmp"));
    WriteMdl("Beast\\wait.mdl", "2 2 cube.x -1" + MdlKey(0, 0, 0) + MdlKey(0, 0, 0, 90) +
                                    "cube.x 0" + MdlKey(0, 2, 0) + MdlKey(0, 2, 0));
    CModelViewer viewer;
    ASSERT_EQ(viewer.Open(&gl, &archive_, &textures_, CModelViewer::Kind::Model, "Beast\\wait.mdl"),
              S_OK);
    std::vector<Argb> before;
    for (int frame = 0; frame < 3; ++frame) {
        viewer.Step();
        gl.BeginFrame();
        viewer.Draw();
        ASSERT_TRUE(gl.ReadBackBuffer(pixels_));
        gl.EndFrame();
        if (frame == 0)
            before = pixels_;
    }
    ASSERT_EQ(pixels_.size(), 800u * 600u);
    const Rgb centre = ToRgb(pixels_[300 * 800 + 400]);
    EXPECT_GT(centre.r, 60); // the model, lit from the eye
    const Rgb corner = ToRgb(pixels_[5 * 800 + 5]);
    EXPECT_EQ(corner.r + corner.g + corner.b, 0);
    EXPECT_NE(before, pixels_); // it turns
    viewer.Close();
}

} // namespace
} // namespace quolis
