#include "../support/HeadlessGl.h"
#include "platform/sdl/PlatformHost.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace quolis {
namespace {

const std::uint16_t kQuad[6] = {0, 1, 2, 0, 2, 3};

using testgl::Rgb;
using testgl::ToRgb;

class GlDeviceTest : public testgl::HeadlessGlTest<> {
protected:
    void SetUp() override {
        HeadlessGlTest::SetUp();
        if (!HasGl()) {
            return;
        }
        Gl().ApplyDefaultStates();
        Gl().SetTexture(0);
        Gl().SetTransform(TransformKind::World, Mat4::Identity());
        Gl().SetTransform(TransformKind::View, Mat4::Identity());
        Gl().SetTransform(TransformKind::Projection, Mat4::Identity());
        Gl().BeginFrame();
    }

    // Light travelling into the screen (diffuse 0.8, ambient 0.2); material
    // white diffuse, ambient 0.5; no culling.
    void LightIntoTheScreen() {
        Light light;
        light.direction = {0, 0, 1};
        light.diffuse = {0.8f, 0.8f, 0.8f, 1};
        light.ambient = {0.2f, 0.2f, 0.2f, 1};
        Gl().SetLight(0, light);
        Gl().EnableLight(0, true);
        Material m;
        m.diffuse = {1, 1, 1, 1};
        m.ambient = {0.5f, 0.5f, 0.5f, 1};
        Gl().SetMaterial(m);
        Gl().SetCullMode(CullMode::None);
    }

    void ScreenQuad(float x0, float y0, float x1, float y1, Argb c, float z = 0) {
        VertexScreen v[4] = {{x0, y0, z, 1, c, 0, 0},
                             {x1, y0, z, 1, c, 1, 0},
                             {x1, y1, z, 1, c, 1, 1},
                             {x0, y1, z, 1, c, 0, 1}};
        Gl().DrawIndexedUP(VertexFormat::Screen, v, 4, kQuad, 6);
    }
};

TEST_F(GlDeviceTest, FrameClearsToOpaqueBlackAndPresents) {
    ScreenQuad(0, 0, 800, 600, 0xFFFFFFFF);
    Gl().EndFrame();
    Gl().BeginFrame();
    Gl().EndFrame();
    EXPECT_EQ(Pixel(0, 0), 0xFF000000u);
    EXPECT_EQ(Pixel(799, 599), 0xFF000000u);
    EXPECT_EQ(Pixel(400, 300), 0xFF000000u);
}

TEST_F(GlDeviceTest, ScreenQuadsCoverExactlyTheirPixels) {
    ScreenQuad(10, 20, 30, 50, 0xFF00FF00);
    Gl().EndFrame();
    EXPECT_EQ(Pixel(10, 20), 0xFF00FF00u);
    EXPECT_EQ(Pixel(29, 49), 0xFF00FF00u);
    EXPECT_EQ(Pixel(9, 20), 0xFF000000u);
    EXPECT_EQ(Pixel(30, 20), 0xFF000000u);
    EXPECT_EQ(Pixel(10, 19), 0xFF000000u);
    EXPECT_EQ(Pixel(10, 50), 0xFF000000u);
}

TEST_F(GlDeviceTest, ColourKeyedTexelIsTransparent) {
    // 2 × 2 texture, rows top to bottom: the top-left texel is the colour-keyed
    // black (alpha 0), the others opaque white; each texel covers 100 × 100.
    const Argb texels[4] = {0x00000000, 0xFFFFFFFF, 0xFFFFFFFF, 0xFFFFFFFF};
    TextureId tex = Gl().CreateTexture(2, 2, texels);
    ASSERT_NE(tex, 0u);
    ScreenQuad(0, 0, 800, 600, 0xFFFF0000); // red background
    Gl().SetTexture(tex);
    ScreenQuad(100, 100, 300, 300, 0xFFFFFFFF);
    Gl().SetTexture(0);
    Gl().EndFrame();
    EXPECT_EQ(Pixel(150, 150), 0xFFFF0000u); // background shows through
    EXPECT_EQ(Pixel(250, 150), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(150, 250), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(250, 250), 0xFFFFFFFFu);
    // Texture × diffuse: a half-grey vertex colour darkens the texels.
    Gl().BeginFrame();
    Gl().SetTexture(tex);
    ScreenQuad(100, 100, 300, 300, 0xFF808080);
    Gl().SetTexture(0);
    Gl().EndFrame();
    Reread();
    EXPECT_NEAR(ToRgb(Pixel(250, 250)).g, 128, 1);
    Gl().ReleaseTexture(tex);
}

TEST_F(GlDeviceTest, Alpha128BlendsHalfWay) {
    ScreenQuad(0, 0, 800, 600, 0xFF0000FF);     // blue
    ScreenQuad(100, 100, 200, 200, 0x80FF0000); // red at alpha 128
    Gl().SetAlphaBlend(false);
    ScreenQuad(300, 100, 400, 200, 0x80FF0000); // blending off: plain red
    Gl().SetAlphaBlend(true);
    Gl().EndFrame();
    Rgb c = ToRgb(Pixel(150, 150));
    EXPECT_NEAR(c.r, 128, 1);
    EXPECT_EQ(c.g, 0);
    EXPECT_NEAR(c.b, 127, 1);
    Rgb d = ToRgb(Pixel(350, 150));
    EXPECT_EQ(d.r, 255);
    EXPECT_EQ(d.b, 0);
}

TEST_F(GlDeviceTest, DepthTestOffDrawsOverNearerGeometry) {
    ScreenQuad(100, 100, 300, 300, 0xFF00FF00, 0.2f); // near, green
    ScreenQuad(100, 100, 200, 300, 0xFFFF0000, 0.8f); // farther: hidden
    Gl().SetDepthTest(false);
    ScreenQuad(200, 100, 300, 300, 0xFFFF0000, 0.8f); // farther but drawn over
    Gl().SetDepthTest(true);
    Gl().EndFrame();
    EXPECT_EQ(Pixel(150, 200), 0xFF00FF00u);
    EXPECT_EQ(Pixel(250, 200), 0xFFFF0000u);
}

// The depth buffer is made at the first depth-tested draw. Draws without the
// depth test before it leave no depth behind, the first depth-tested draw
// finds it cleared, and every later frame starts it cleared again.
TEST_F(GlDeviceTest, DepthBufferComesClearedWithTheFirstDepthTestedDraw) {
    Gl().EndFrame();
    GlDevice device; // a device of its own, on the same context
    ASSERT_TRUE(device.Ok()) << device.Error();
    auto quad = [&](float x0, float x1, Argb c, float z) {
        VertexScreen v[4] = {{x0, 100, z, 1, c, 0, 0},
                             {x1, 100, z, 1, c, 1, 0},
                             {x1, 300, z, 1, c, 1, 1},
                             {x0, 300, z, 1, c, 0, 1}};
        device.DrawIndexedUP(VertexFormat::Screen, v, 4, kQuad, 6);
    };
    auto pixel = [&](int x, int y) {
        std::vector<Argb> pixels;
        EXPECT_TRUE(device.ReadBackBuffer(pixels));
        return pixels.at(static_cast<std::size_t>(y) * 800 + x);
    };
    device.ApplyDefaultStates();
    device.SetDepthTest(false);
    device.BeginFrame();
    quad(100, 300, 0xFFFF0000, 0.9f); // red, no depth written
    EXPECT_FALSE(device.HasDepthBuffer());
    device.SetDepthTest(true);
    quad(100, 200, 0xFF00FF00, 0.95f); // green, behind the red: drawn
    EXPECT_TRUE(device.HasDepthBuffer());
    quad(100, 300, 0xFF0000FF, 0.97f); // blue: hidden by the green only
    device.EndFrame();
    EXPECT_EQ(pixel(150, 200), 0xFF00FF00u);
    EXPECT_EQ(pixel(250, 200), 0xFF0000FFu);

    device.BeginFrame();
    quad(100, 200, 0xFFFFFFFF, 0.99f); // behind last frame's green
    device.EndFrame();
    EXPECT_EQ(pixel(150, 200), 0xFFFFFFFFu);
    Gl().BeginFrame();
}

TEST_F(GlDeviceTest, CounterClockwiseCullingDropsTheRightTriangle) {
    // Left: corners run clockwise on screen; right: counter-clockwise.
    const std::uint16_t tri[3] = {0, 1, 2};
    VertexScreen left[3] = {{100, 100, 0, 1, 0xFFFFFFFF, 0, 0},
                            {200, 100, 0, 1, 0xFFFFFFFF, 0, 0},
                            {100, 200, 0, 1, 0xFFFFFFFF, 0, 0}};
    VertexScreen right[3] = {{500, 100, 0, 1, 0xFFFFFFFF, 0, 0},
                             {500, 200, 0, 1, 0xFFFFFFFF, 0, 0},
                             {600, 100, 0, 1, 0xFFFFFFFF, 0, 0}};
    auto draw = [&] {
        Gl().DrawIndexedUP(VertexFormat::Screen, left, 3, tri, 3);
        Gl().DrawIndexedUP(VertexFormat::Screen, right, 3, tri, 3);
    };
    draw();
    Gl().EndFrame();
    EXPECT_EQ(Pixel(120, 120), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(520, 120), 0xFF000000u);

    Gl().BeginFrame();
    Gl().SetCullMode(CullMode::Clockwise);
    draw();
    Gl().EndFrame();
    Reread();
    EXPECT_EQ(Pixel(120, 120), 0xFF000000u);
    EXPECT_EQ(Pixel(520, 120), 0xFFFFFFFFu);

    Gl().BeginFrame();
    Gl().SetCullMode(CullMode::None);
    draw();
    Gl().EndFrame();
    Reread();
    EXPECT_EQ(Pixel(120, 120), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(520, 120), 0xFFFFFFFFu);
}

TEST_F(GlDeviceTest, TransformedTrianglesCullByTheirScreenWinding) {
    // Seen from (0, 0, −5): top-left, top-right, bottom-left runs clockwise on
    // screen and stays; the reverse order is dropped.
    Gl().SetLighting(false);
    const Mat4 view = MatrixLookAtLH({0, 0, -5}, {0, 0, 0}, {0, 1, 0});
    const Mat4 proj = MatrixPerspectiveFovLH(0.785398f, 800.0f / 600.0f, 1, 100);
    Gl().SetTransform(TransformKind::View, view);
    Gl().SetTransform(TransformKind::Projection, proj);
    VertexColored v[6] = {{-3, 1, 0, 0xFFFFFFFF, 0, 0},  {-1, 1, 0, 0xFFFFFFFF, 0, 0},
                          {-3, -1, 0, 0xFFFFFFFF, 0, 0}, {1, 1, 0, 0xFFFFFFFF, 0, 0},
                          {1, -1, 0, 0xFFFFFFFF, 0, 0},  {3, 1, 0, 0xFFFFFFFF, 0, 0}};
    const std::uint16_t idx[6] = {0, 1, 2, 3, 4, 5};
    Gl().DrawIndexedUP(VertexFormat::Colored, v, 6, idx, 6);
    Gl().EndFrame();
    Vec3 kept = Project({-2.5f, 0.5f, 0}, Viewport{}, proj, view, Mat4::Identity());
    Vec3 culled = Project({1.5f, 0.5f, 0}, Viewport{}, proj, view, Mat4::Identity());
    EXPECT_EQ(Pixel(int(kept.x), int(kept.y)), 0xFFFFFFFFu);
    EXPECT_EQ(Pixel(int(culled.x), int(culled.y)), 0xFF000000u);
}

TEST_F(GlDeviceTest, FlatShadingUsesTheFirstVertexColourPerFace) {
    const std::uint16_t tri[3] = {0, 1, 2};
    VertexScreen v[3] = {{100, 100, 0, 1, 0xFFFF0000, 0, 0},
                         {400, 100, 0, 1, 0xFF00FF00, 0, 0},
                         {100, 400, 0, 1, 0xFF0000FF, 0, 0}};
    Gl().DrawIndexedUP(VertexFormat::Screen, v, 3, tri, 3);
    Gl().EndFrame();
    EXPECT_EQ(Pixel(105, 105), 0xFFFF0000u);
    EXPECT_EQ(Pixel(380, 105), 0xFFFF0000u);
    EXPECT_EQ(Pixel(105, 380), 0xFFFF0000u);
    EXPECT_EQ(Pixel(200, 200), 0xFFFF0000u);
}

TEST_F(GlDeviceTest, DirectionalLightAndMaterialLightFaces) {
    LightIntoTheScreen();
    const Mat4 view = MatrixLookAtLH({0, 0, -5}, {0, 0, 0}, {0, 1, 0});
    const Mat4 proj = MatrixPerspectiveFovLH(0.785398f, 800.0f / 600.0f, 1, 100);
    Gl().SetTransform(TransformKind::View, view);
    Gl().SetTransform(TransformKind::Projection, proj);
    // Two quads from a static buffer: facing the light (normal −z) and
    // turned away (normal +z).
    VertexLit v[8] = {{-3, 1, 0, 0, 0, -1, 0, 0},  {-1, 1, 0, 0, 0, -1, 0, 0},
                      {-1, -1, 0, 0, 0, -1, 0, 0}, {-3, -1, 0, 0, 0, -1, 0, 0},
                      {1, 1, 0, 0, 0, 1, 0, 0},    {3, 1, 0, 0, 0, 1, 0, 0},
                      {3, -1, 0, 0, 0, 1, 0, 0},   {1, -1, 0, 0, 0, 1, 0, 0}};
    const std::uint16_t idx[12] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
    BufferId b = Gl().CreateBuffers(VertexFormat::Lit, 8, 12, false);
    ASSERT_NE(b, 0u);
    ASSERT_TRUE(Gl().UpdateBuffers(b, v, 8, idx, 12));
    Gl().DrawIndexed(b, 0, 4);
    Gl().EndFrame();
    Vec3 lit = Project({-2, 0, 0}, Viewport{}, proj, view, Mat4::Identity());
    Vec3 dark = Project({2, 0, 0}, Viewport{}, proj, view, Mat4::Identity());
    // 0.2 × 0.5 + 0.8 × 1 = 0.9 and 0.2 × 0.5 = 0.1.
    EXPECT_NEAR(ToRgb(Pixel(int(lit.x), int(lit.y))).g, 230, 1);
    EXPECT_NEAR(ToRgb(Pixel(int(dark.x), int(dark.y))).g, 26, 1);

    // Lighting off: the vertices are white whatever the light.
    Gl().BeginFrame();
    Gl().SetLighting(false);
    Gl().DrawIndexed(b, 6, 2);
    Gl().EndFrame();
    Reread();
    EXPECT_EQ(Pixel(int(dark.x), int(dark.y)), 0xFFFFFFFFu);
    // A draw past the indices is refused.
    EXPECT_FALSE(Gl().UpdateBuffers(b, v, 8, idx, 13));
    Gl().ReleaseBuffers(b);
}

TEST_F(GlDeviceTest, NormalsAreNotRenormalisedAfterTheWorldTransform) {
    LightIntoTheScreen();
    const Mat4 view = MatrixLookAtLH({0, 0, -10}, {0, 0, 0}, {0, 1, 0});
    const Mat4 proj = MatrixPerspectiveFovLH(0.785398f, 800.0f / 600.0f, 1, 100);
    Gl().SetTransform(TransformKind::View, view);
    Gl().SetTransform(TransformKind::Projection, proj);
    // A unit quad facing the light, drawn at scale 2: its normals go through
    // the inverse transpose of the world matrix and come out half as long.
    VertexLit v[4] = {{-1, 1, 0, 0, 0, -1, 0, 0},
                      {1, 1, 0, 0, 0, -1, 0, 0},
                      {1, -1, 0, 0, 0, -1, 0, 0},
                      {-1, -1, 0, 0, 0, -1, 0, 0}};
    Gl().SetTransform(TransformKind::World, MatrixScaling(2, 2, 2));
    Gl().DrawIndexedUP(VertexFormat::Lit, v, 4, kQuad, 6);
    Gl().EndFrame();
    Vec3 centre = Project({0, 0, 0}, Viewport{}, proj, view, Mat4::Identity());
    // 0.2 × 0.5 + 0.8 × 0.5 = 0.5 (a renormalised normal would give 0.9).
    EXPECT_NEAR(ToRgb(Pixel(int(centre.x), int(centre.y))).g, 128, 1);
    // Unscaled, the same quad takes the full diffuse.
    Gl().BeginFrame();
    Gl().SetTransform(TransformKind::World, Mat4::Identity());
    Gl().DrawIndexedUP(VertexFormat::Lit, v, 4, kQuad, 6);
    Gl().EndFrame();
    Reread();
    EXPECT_NEAR(ToRgb(Pixel(int(centre.x), int(centre.y))).g, 230, 1);
}

TEST_F(GlDeviceTest, MaterialAlphaCarriesTransparencyAndVertexColourIsTheDiffuseSource) {
    const Mat4 view = MatrixLookAtLH({0, 0, -5}, {0, 0, 0}, {0, 1, 0});
    const Mat4 proj = MatrixPerspectiveFovLH(0.785398f, 800.0f / 600.0f, 1, 100);
    Gl().SetTransform(TransformKind::View, view);
    Gl().SetTransform(TransformKind::Projection, proj);
    Light light;
    light.direction = {0, 0, 1};
    light.diffuse = {1, 1, 1, 1};
    Gl().SetLight(0, light);
    Gl().EnableLight(0, true);
    Material m;
    m.diffuse = {1, 1, 1, 0.5f}; // half transparent white
    m.ambient = {1, 1, 1, 0.5f};
    Gl().SetMaterial(m);
    Gl().SetDepthTest(false);
    ScreenQuad(0, 0, 800, 600, 0xFFFF0000); // red background, no depth
    Gl().SetDepthTest(true);
    VertexLit lit[4] = {{-3, 1, 0, 0, 0, -1, 0, 0},
                        {-1, 1, 0, 0, 0, -1, 0, 0},
                        {-1, -1, 0, 0, 0, -1, 0, 0},
                        {-3, -1, 0, 0, 0, -1, 0, 0}};
    Gl().DrawIndexedUP(VertexFormat::Lit, lit, 4, kQuad, 6);
    // Lit coloured vertices: the vertex colour replaces the material diffuse;
    // with no normal only the ambient term and the vertex alpha remain.
    VertexColored col[4] = {{1, 1, 0, 0xFF00FF00, 0, 0},
                            {3, 1, 0, 0xFF00FF00, 0, 0},
                            {3, -1, 0, 0xFF00FF00, 0, 0},
                            {1, -1, 0, 0xFF00FF00, 0, 0}};
    Gl().DrawIndexedUP(VertexFormat::Colored, col, 4, kQuad, 6);
    Gl().EndFrame();
    Vec3 a = Project({-2, 0, 0}, Viewport{}, proj, view, Mat4::Identity());
    Vec3 b = Project({2, 0, 0}, Viewport{}, proj, view, Mat4::Identity());
    Rgb half = ToRgb(Pixel(int(a.x), int(a.y)));
    EXPECT_EQ(half.r, 255);
    EXPECT_NEAR(half.g, 128, 1);
    EXPECT_NEAR(half.b, 128, 1);
    // No ambient light: black, opaque from the vertex alpha.
    EXPECT_EQ(Pixel(int(b.x), int(b.y)), 0xFF000000u);
}

TEST_F(GlDeviceTest, DynamicBuffersShowTheirLatestContent) {
    BufferId b = Gl().CreateBuffers(VertexFormat::Screen, 4, 6, true);
    ASSERT_NE(b, 0u);
    auto fill = [&](float x0, Argb c) {
        VertexScreen v[4] = {{x0, 0, 0, 1, c, 0, 0},
                             {x0 + 100, 0, 0, 1, c, 0, 0},
                             {x0 + 100, 100, 0, 1, c, 0, 0},
                             {x0, 100, 0, 1, c, 0, 0}};
        ASSERT_TRUE(Gl().UpdateBuffers(b, v, 4, kQuad, 6));
        Gl().DrawIndexed(b, 0, 2);
    };
    fill(0, 0xFFFF0000);
    fill(200, 0xFF0000FF); // rewritten within the same frame
    Gl().EndFrame();
    EXPECT_EQ(Pixel(50, 50), 0xFFFF0000u);
    EXPECT_EQ(Pixel(250, 50), 0xFF0000FFu);
    Gl().ReleaseBuffers(b);
}

TEST_F(GlDeviceTest, RowVectorWorldViewProjectionPlacesAPointAtItsPixel) {
    Mat4 world = MatrixRotationY(0.5f) * MatrixTranslation(1, 2, 0);
    Mat4 view = MatrixLookAtLH({0, 3, -10}, {0, 0, 0}, {0, 1, 0});
    Mat4 proj = MatrixPerspectiveFovLH(1.0471976f, 800.0f / 600.0f, 1, 100);
    Gl().SetLighting(false);
    Gl().SetCullMode(CullMode::None);
    Gl().SetTransform(TransformKind::World, world);
    Gl().SetTransform(TransformKind::View, view);
    Gl().SetTransform(TransformKind::Projection, proj);
    // A small square around the local point (0.5, 0, 0), about 4 pixels wide.
    const float s = 0.04f;
    VertexColored v[4] = {{0.5f - s, s, 0, 0xFFFFFF00, 0, 0},
                          {0.5f + s, s, 0, 0xFFFFFF00, 0, 0},
                          {0.5f + s, -s, 0, 0xFFFFFF00, 0, 0},
                          {0.5f - s, -s, 0, 0xFFFFFF00, 0, 0}};
    Gl().DrawIndexedUP(VertexFormat::Colored, v, 4, kQuad, 6);
    Gl().EndFrame();
    Vec3 p = Project({0.5f, 0, 0}, Viewport{}, proj, view, world);
    // Well away from the centre, so a flipped axis would miss it.
    ASSERT_GT(p.x, 450);
    ASSERT_LT(p.y, 250);
    int px = int(p.x + 0.5f), py = int(p.y + 0.5f);
    EXPECT_EQ(Pixel(px, py), 0xFFFFFF00u) << p.x << "," << p.y;
    EXPECT_EQ(Pixel(px + 8, py), 0xFF000000u);
    EXPECT_EQ(Pixel(px - 8, py), 0xFF000000u);
    EXPECT_EQ(Pixel(px, py + 8), 0xFF000000u);
    EXPECT_EQ(Pixel(px, py - 8), 0xFF000000u);
}

// Draws switch among more textures than stay bound, with the window's
// interface, a new texture and a texture's release in between: every quad
// shows the texture it was drawn with.
TEST_F(GlDeviceTest, EachDrawShowsItsOwnTextureWhateverCameBetween) {
    auto solid = [](Argb c) { return Gl().CreateTexture(1, 1, &c); };
    const TextureId red = solid(0xFFFF0000), green = solid(0xFF00FF00), blue = solid(0xFF0000FF);
    ASSERT_TRUE(red != 0 && green != 0 && blue != 0);
    struct Drawn {
        int x;
        Argb expected;
    };
    std::vector<Drawn> drawn;
    auto quad = [&](TextureId tex, Argb expected) {
        const float x = static_cast<float>(drawn.size()) * 20.f;
        Gl().SetTexture(tex);
        ScreenQuad(x, 0, x + 10, 10, 0xFFFFFFFF);
        drawn.push_back({static_cast<int>(x) + 5, expected});
    };
    // Two textures in turn, a draw without one, then a third and back.
    quad(red, 0xFFFF0000);
    quad(green, 0xFF00FF00);
    quad(red, 0xFFFF0000);
    quad(0, 0xFFFFFFFF);
    quad(blue, 0xFF0000FF);
    quad(green, 0xFF00FF00);
    quad(red, 0xFFFF0000);
    quad(blue, 0xFF0000FF);
    // The window's interface binds its own texture.
    const Argb white = 0xFFFFFFFF;
    const TextureId ui = Gl().CreateUiTexture(1, 1, &white);
    ASSERT_NE(ui, 0u);
    const GlDevice::UiVertex uv[3] = {
        {0, 0, 0, 0, 0xFFFFFFFFu}, {4, 0, 1, 0, 0xFFFFFFFFu}, {0, 4, 0, 1, 0xFFFFFFFFu}};
    const std::uint16_t tri[3] = {0, 1, 2};
    Gl().BeginUi(800, 600);
    Gl().SetUiGeometry(uv, 3, tri, 3);
    Gl().DrawUi(ui, 0, 0, 800, 600, 0, 3);
    Gl().EndUi();
    quad(red, 0xFFFF0000);
    quad(blue, 0xFF0000FF);
    quad(red, 0xFFFF0000);
    // A texture made in the middle of a picture.
    const TextureId yellow = solid(0xFFFFFF00);
    ASSERT_NE(yellow, 0u);
    quad(red, 0xFFFF0000);
    quad(blue, 0xFF0000FF);
    quad(yellow, 0xFFFFFF00);
    // The two textures bound last released: a driver may give their names to
    // the next ones.
    Gl().ReleaseTexture(yellow);
    Gl().ReleaseTexture(blue);
    const TextureId cyan = solid(0xFF00FFFF), magenta = solid(0xFFFF00FF);
    ASSERT_TRUE(cyan != 0 && magenta != 0);
    quad(cyan, 0xFF00FFFF);
    quad(magenta, 0xFFFF00FF);
    quad(red, 0xFFFF0000);
    quad(cyan, 0xFF00FFFF);
    // Textures of other kinds (the units hold one kind at a time): sides
    // that are no powers of two, and alpha only, in turn with the others.
    const std::vector<Argb> wide(3 * 2, 0xFF808000);
    const std::vector<std::uint8_t> half(5 * 3, 0x80);
    const TextureId olive = Gl().CreateTexture(3, 2, wide.data());
    const TextureId grey = Gl().CreateAlphaTexture(5, 3, half.data());
    ASSERT_TRUE(olive != 0 && grey != 0);
    const Argb greyOnBlack = 0xBF808080; // half white over black, alpha blended too
    quad(olive, 0xFF808000);
    quad(red, 0xFFFF0000);
    quad(grey, greyOnBlack);
    quad(olive, 0xFF808000);
    quad(grey, greyOnBlack);
    quad(cyan, 0xFF00FFFF);
    quad(grey, greyOnBlack);
    quad(magenta, 0xFFFF00FF);
    Gl().SetTexture(0);
    Gl().EndFrame();
    for (std::size_t i = 0; i < drawn.size(); ++i) {
        EXPECT_EQ(Pixel(drawn[i].x, 5), drawn[i].expected) << "draw " << i;
    }
    for (TextureId t : {red, green, ui, cyan, magenta, olive, grey}) {
        Gl().ReleaseTexture(t);
    }
}

// Text is kept as alpha only: every alpha level, in a row of odd width,
// blended in colour over a background, gives the very pixels of the same
// texture made of white ARGB pixels, and neighbouring textures are unharmed.
TEST_F(GlDeviceTest, AnAlphaTextureDrawsAsItsWhiteArgbTexture) {
    constexpr int kWidth = 257, kHeight = 3;
    std::vector<std::uint8_t> alpha(kWidth * kHeight);
    std::vector<Argb> argb(alpha.size());
    for (std::size_t i = 0; i < alpha.size(); ++i) {
        alpha[i] = static_cast<std::uint8_t>((i * 97) % 256);
        argb[i] = (static_cast<Argb>(alpha[i]) << 24) | 0x00FFFFFFu;
    }
    const TextureId a = Gl().CreateAlphaTexture(kWidth, kHeight, alpha.data());
    const TextureId b = Gl().CreateTexture(kWidth, kHeight, argb.data());
    const Argb red = 0xFFFF0000;
    const TextureId plain = Gl().CreateTexture(1, 1, &red);
    ASSERT_TRUE(a != 0 && b != 0 && plain != 0);
    ScreenQuad(0, 0, 800, 600, 0xFF204060);
    // Each texel 2 x 4 pixels: one strip per texture, in an orange text colour.
    for (int strip = 0; strip < 2; ++strip) {
        Gl().SetTexture(strip == 0 ? a : b);
        const float y = 20.f + strip * 40.f;
        ScreenQuad(0, y, 2 * kWidth, y + 4 * kHeight, 0xC0FF8020);
    }
    Gl().SetTexture(plain);
    ScreenQuad(600, 200, 610, 210, 0xFFFFFFFF);
    Gl().SetTexture(0);
    Gl().EndFrame();
    int differing = 0, lit = 0;
    for (int y = 0; y < 4 * kHeight; ++y) {
        for (int x = 0; x < 2 * kWidth; ++x) {
            differing += Pixel(x, 20 + y) != Pixel(x, 60 + y);
            lit += Pixel(x, 20 + y) != 0xFF204060u;
        }
    }
    EXPECT_EQ(differing, 0);
    EXPECT_GT(lit, kWidth * kHeight * 6); // most texels show
    EXPECT_EQ(Pixel(605, 205), 0xFFFF0000u);
    EXPECT_EQ(Gl().CreateAlphaTexture(0, 1, alpha.data()), 0u);
    EXPECT_EQ(Gl().CreateAlphaTexture(1, 1, nullptr), 0u);
    for (TextureId t : {a, b, plain}) {
        Gl().ReleaseTexture(t);
    }
}

TEST_F(GlDeviceTest, RejectsBadTexturesAndIndices) {
    EXPECT_EQ(Gl().CreateTexture(0, 0, nullptr), 0u);
    const Argb px[1] = {0xFFFFFFFF};
    EXPECT_EQ(Gl().CreateTexture(1 << 20, 1, px), 0u);
    // An index past the vertices draws nothing.
    VertexScreen v[3] = {{0, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                         {800, 0, 0, 1, 0xFFFFFFFF, 0, 0},
                         {0, 600, 0, 1, 0xFFFFFFFF, 0, 0}};
    const std::uint16_t bad[3] = {0, 1, 3};
    Gl().DrawIndexedUP(VertexFormat::Screen, v, 3, bad, 3);
    Gl().DrawIndexed(12345, 0, 1);
    Gl().EndFrame();
    EXPECT_EQ(Pixel(10, 10), 0xFF000000u);
}

} // namespace
} // namespace quolis
