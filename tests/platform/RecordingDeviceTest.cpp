#include "platform/RecordingDevice.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

const std::uint16_t kQuadIndices[6] = {0, 1, 2, 0, 2, 3};

std::vector<VertexScreen> ScreenQuad(float x, float y, float w, float h, Argb c) {
    return {{x, y, 0, 1, c, 0, 0},
            {x + w, y, 0, 1, c, 1, 0},
            {x + w, y + h, 0, 1, c, 1, 1},
            {x, y + h, 0, 1, c, 0, 1}};
}

TEST(RecordingDevice, StartsWithTheDefaultStatesAndIdentityTransforms) {
    RecordingDevice dev;
    EXPECT_EQ(dev.States().cull, CullMode::CounterClockwise);
    EXPECT_TRUE(dev.States().lighting);
    EXPECT_TRUE(dev.States().depthTest);
    EXPECT_TRUE(dev.States().alphaBlend);
    EXPECT_EQ(dev.GetTransform(TransformKind::World), Mat4::Identity());
    EXPECT_EQ(dev.GetTransform(TransformKind::Projection), Mat4::Identity());
    EXPECT_EQ(dev.CurrentTexture(), 0u);
    EXPECT_EQ(dev.Width(), 800);
    EXPECT_EQ(dev.Height(), 600);
    std::vector<Argb> px{1, 2};
    EXPECT_FALSE(dev.ReadBackBuffer(px));
    EXPECT_TRUE(px.empty());
}

TEST(RecordingDevice, StateTogglesAreRecordedAndResetByDefaults) {
    RecordingDevice dev;
    dev.SetCullMode(CullMode::None);
    dev.SetDepthTest(false);
    dev.SetLighting(false);
    dev.SetAlphaBlend(false);
    EXPECT_EQ(dev.States(), (RenderStates{CullMode::None, false, false, false}));
    ASSERT_EQ(dev.Calls().size(), 4u);
    EXPECT_EQ(dev.Calls()[0].op, DeviceOp::SetCullMode);
    EXPECT_EQ(dev.Calls()[0].cull, CullMode::None);
    EXPECT_EQ(dev.Calls()[1].op, DeviceOp::SetDepthTest);
    EXPECT_FALSE(dev.Calls()[1].flag);
    dev.ApplyDefaultStates();
    EXPECT_EQ(dev.States(), RenderStates{});
    EXPECT_EQ(dev.CountOf(DeviceOp::ApplyDefaultStates), 1u);
}

TEST(RecordingDevice, KeepsTransformsLightsAndMaterial) {
    RecordingDevice dev;
    Mat4 t = MatrixTranslation(1, 2, 3);
    Mat4 p = MatrixPerspectiveFovLH(0.8f, 4.0f / 3.0f, 1, 100);
    dev.SetTransform(TransformKind::World, t);
    dev.SetTransform(TransformKind::Projection, p);
    EXPECT_EQ(dev.GetTransform(TransformKind::World), t);
    EXPECT_EQ(dev.GetTransform(TransformKind::View), Mat4::Identity());
    EXPECT_EQ(dev.GetTransform(TransformKind::Projection), p);

    Light l;
    l.direction = {0, -1, 0};
    l.diffuse = {0.8f, 0.8f, 0.8f, 1};
    dev.SetLight(0, l);
    EXPECT_FALSE(dev.LightEnabled(0));
    dev.EnableLight(0, true);
    ASSERT_NE(dev.GetLight(0), nullptr);
    EXPECT_EQ(*dev.GetLight(0), l);
    EXPECT_TRUE(dev.LightEnabled(0));
    EXPECT_EQ(dev.GetLight(1), nullptr);

    Material m;
    m.diffuse = {1, 0.5f, 0.25f, 0.5f};
    dev.SetMaterial(m);
    EXPECT_EQ(dev.CurrentMaterial(), m);
    EXPECT_TRUE(dev.Errors().empty());

    dev.SetLight(8, l);
    dev.EnableLight(-1, true);
    EXPECT_EQ(dev.Errors().size(), 2u);
}

TEST(RecordingDevice, TexturesKeepTheirPixelsAndReleasedOnesStopDrawing) {
    RecordingDevice dev;
    const Argb px[4] = {0xFF000000, 0xFFFFFFFF, 0x80FF0000, 0x00000000};
    TextureId a = dev.CreateTexture(2, 2, px);
    TextureId b = dev.CreateTexture(1, 1, px);
    EXPECT_NE(a, 0u);
    EXPECT_NE(a, b);
    const RecordedTexture* t = dev.FindTexture(a);
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->width, 2);
    EXPECT_EQ(t->pixels, std::vector<Argb>(px, px + 4));
    EXPECT_EQ(dev.CreateTexture(0, 4, px), 0u);
    EXPECT_EQ(dev.CreateTexture(4, 4, nullptr), 0u);
    dev.SetFailTextureCreation(true);
    EXPECT_EQ(dev.CreateTexture(2, 2, px), 0u);

    dev.SetTexture(a);
    EXPECT_EQ(dev.CurrentTexture(), a);
    dev.ReleaseTexture(a);
    EXPECT_EQ(dev.CurrentTexture(), 0u);
    EXPECT_EQ(dev.LiveTextures(), 1u);
    EXPECT_TRUE(dev.Errors().empty());
    dev.ReleaseTexture(a); // twice
    dev.SetTexture(a);     // stale handle
    EXPECT_EQ(dev.Errors().size(), 2u);
}

TEST(RecordingDevice, DrawIndexedUPRecordsTrianglesWithAStateSnapshot) {
    RecordingDevice dev;
    const Argb px[1] = {0xFFFFFFFF};
    TextureId tex = dev.CreateTexture(1, 1, px);
    dev.BeginFrame();
    dev.SetTexture(tex);
    dev.SetDepthTest(false);
    auto quad = ScreenQuad(10, 20, 30, 40, 0x80FF0000);
    dev.DrawIndexedUP(VertexFormat::Screen, quad.data(), quad.size(), kQuadIndices, 6);
    dev.SetDepthTest(true);
    dev.EndFrame();

    ASSERT_EQ(dev.Draws().size(), 1u);
    const DrawRecord& d = dev.Draws()[0];
    EXPECT_EQ(d.format, VertexFormat::Screen);
    EXPECT_EQ(d.TriangleCount(), 2u);
    ASSERT_EQ(d.VertexCount(), 4u);
    EXPECT_FLOAT_EQ(d.screen[2].x, 40);
    EXPECT_FLOAT_EQ(d.screen[2].y, 60);
    EXPECT_EQ(d.screen[0].color, 0x80FF0000u);
    EXPECT_EQ(d.texture, tex);
    EXPECT_FALSE(d.states.depthTest); // the state at the time of the draw
    EXPECT_TRUE(dev.States().depthTest);
    EXPECT_EQ(d.frame, 1);
    EXPECT_EQ(dev.Calls()[dev.Calls().size() - 3].drawIndex, 0u);
    EXPECT_TRUE(dev.Errors().empty());
}

TEST(RecordingDevice, BuffersDrawTheRequestedIndexRange) {
    RecordingDevice dev;
    BufferId id = dev.CreateBuffers(VertexFormat::Lit, 8, 12, false);
    ASSERT_NE(id, 0u);
    std::vector<VertexLit> v(8);
    for (int i = 0; i < 8; ++i) {
        v[i] = {float(i), 0, 0, 0, 1, 0, 0, 0};
    }
    const std::uint16_t idx[12] = {0, 1, 2, 0, 2, 3, 4, 5, 6, 4, 6, 7};
    ASSERT_TRUE(dev.UpdateBuffers(id, v.data(), 8, idx, 12));
    EXPECT_EQ(dev.FindBuffers(id)->updates, 1);
    EXPECT_FALSE(dev.FindBuffers(id)->dynamic);

    dev.BeginFrame();
    dev.DrawIndexed(id, 6, 2); // second quad only
    dev.EndFrame();
    ASSERT_EQ(dev.Draws().size(), 1u);
    const DrawRecord& d = dev.Draws()[0];
    EXPECT_EQ(d.buffer, id);
    ASSERT_EQ(d.lit.size(), 4u);
    EXPECT_FLOAT_EQ(d.lit[0].x, 4);
    EXPECT_FLOAT_EQ(d.lit[3].x, 7);
    EXPECT_EQ(d.indices, (std::vector<std::uint16_t>{0, 1, 2, 0, 2, 3}));
    EXPECT_TRUE(dev.Errors().empty());
}

TEST(RecordingDevice, RejectsWhatARealDeviceWouldReject) {
    RecordingDevice dev;
    BufferId id = dev.CreateBuffers(VertexFormat::Screen, 4, 6, true);
    auto quad = ScreenQuad(0, 0, 1, 1, 0xFFFFFFFF);
    std::vector<VertexScreen> five(5);
    // Larger than the buffer.
    EXPECT_FALSE(dev.UpdateBuffers(id, five.data(), 5, kQuadIndices, 6));
    EXPECT_FALSE(dev.UpdateBuffers(99, quad.data(), 4, kQuadIndices, 6));
    ASSERT_TRUE(dev.UpdateBuffers(id, quad.data(), 4, kQuadIndices, 6));
    dev.BeginFrame();
    dev.DrawIndexed(id, 0, 3); // only 6 indices
    dev.DrawIndexed(id, 9, 1); // start beyond the end
    dev.DrawIndexed(42, 0, 1); // unknown buffers
    const std::uint16_t bad[3] = {0, 1, 4};
    dev.DrawIndexedUP(VertexFormat::Screen, quad.data(), 4, bad, 3);
    dev.DrawIndexedUP(VertexFormat::Screen, quad.data(), 4, kQuadIndices, 4);
    dev.EndFrame();
    EXPECT_TRUE(dev.Draws().empty());
    EXPECT_EQ(dev.Errors().size(), 7u);

    dev.ClearRecord();
    dev.DrawIndexed(id, 0, 2); // outside a frame: drawn but reported
    EXPECT_EQ(dev.Draws().size(), 1u);
    EXPECT_EQ(dev.Errors().size(), 1u);
    dev.EndFrame();
    EXPECT_EQ(dev.Errors().size(), 2u);
    dev.ReleaseBuffers(id);
    EXPECT_EQ(dev.LiveBuffers(), 0u);
    EXPECT_EQ(dev.CreateBuffers(VertexFormat::Screen, 0, 6, true), 0u);
}

TEST(RecordingDevice, FramesAreCounted) {
    RecordingDevice dev;
    for (int i = 0; i < 3; ++i) {
        dev.BeginFrame();
        EXPECT_TRUE(dev.InFrame());
        dev.EndFrame();
    }
    EXPECT_FALSE(dev.InFrame());
    EXPECT_EQ(dev.FramesBegun(), 3);
    EXPECT_EQ(dev.FramesEnded(), 3);
    EXPECT_EQ(dev.CountOf(DeviceOp::BeginFrame), 3u);
    EXPECT_STREQ(DeviceOpName(DeviceOp::DrawIndexedUP), "DrawIndexedUP");
}

} // namespace
} // namespace quolis
