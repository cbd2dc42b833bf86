#include "engine/QuadList.h"

#include "Engine3dTestData.h"

using namespace quolis;
using namespace quolis::test3d;

namespace {

QuadRecord Floor(int x, int y, const std::string& texture, Vec3 p = {}) {
    QuadRecord q;
    q.position = p;
    q.extent = {2, 0, 2};
    q.texture = texture;
    q.cellX = x;
    q.cellY = y;
    return q;
}

class QuadListTest : public Engine3dTest {
protected:
    void SetUp() override {
        Engine3dTest::SetUp();
        textures_.files["a.bmp"] = Bitmap(2, 2, 0xFF0000);
        textures_.files["b.bmp"] = Bitmap(2, 2, 0x0000FF);
    }
};

} // namespace

TEST(QuadKeys, FiveDigitsEachThenTheTag) {
    EXPECT_EQ(MakeQuadKey(1, 23, ""), "0000100023");
    EXPECT_EQ(MakeQuadKey(12, 3, ""), "0001200003");
    EXPECT_EQ(MakeQuadKey(3, 12, "front"), "0000300012front");
}

TEST(QuadGeometry, CornersOfTheThreeKinds) {
    QuadRecord q;
    q.position = {0, 1, 0};
    q.extent = {2, 0, 2};
    VertexLit v[4];
    MakeQuadVertices(q, v);
    const Vec3 diamond[4] = {{2, 1, 2}, {4, 1, 0}, {2, 1, -2}, {0, 1, 0}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ((Vec3{v[i].x, v[i].y, v[i].z}), diamond[i]) << i;
        EXPECT_EQ((Vec3{v[i].nx, v[i].ny, v[i].nz}), (Vec3{0, 1, 0}));
    }
    EXPECT_EQ(v[2].u, 1.0f);
    EXPECT_EQ(v[2].v, 1.0f);
    EXPECT_EQ(v[3].u, 0.0f);
    EXPECT_EQ(v[3].v, 1.0f);
    q.extent = {2, 3, 2};
    q.kind = 1;
    MakeQuadVertices(q, v);
    EXPECT_EQ((Vec3{v[2].x, v[2].y, v[2].z}), (Vec3{2, 4, -2}));
    EXPECT_EQ((Vec3{v[3].x, v[3].y, v[3].z}), (Vec3{2, 1, -2}));
    q.kind = 2;
    MakeQuadVertices(q, v);
    EXPECT_EQ((Vec3{v[1].x, v[1].y, v[1].z}), (Vec3{0, 4, 0}));
    EXPECT_EQ((Vec3{v[2].x, v[2].y, v[2].z}), (Vec3{2, 4, 2}));
}

TEST_F(QuadListTest, FindQuadByCellAndTag) {
    CQuadList list(0);
    EXPECT_EQ(list.AddQuad(Floor(3, 12, "a.bmp", {7, 1, 8})), 1);
    QuadRecord wall = Floor(3, 12, "b.bmp", {9, 9, 9});
    wall.tag = "right";
    EXPECT_EQ(list.AddQuad(wall), 1);
    Vec3 p{-1, -1, -1};
    EXPECT_EQ(list.FindQuad(3, 12, "", &p), 1);
    EXPECT_EQ(p, (Vec3{7, 1, 8}));
    p = {-1, -1, -1};
    EXPECT_EQ(list.FindQuad(3, 12, "front", &p), 0);
    EXPECT_EQ(p, (Vec3{-1, -1, -1})); // not written
    EXPECT_EQ(list.FindQuad(3, 12, "right", &p), 1);
    EXPECT_EQ(p, (Vec3{9, 9, 9}));
    EXPECT_EQ(list.FindQuad(12, 3, "", &p), 0);
    // The same key again is refused; the first record stays.
    EXPECT_EQ(list.AddQuad(Floor(3, 12, "b.bmp", {0, 0, 0})), 0);
    list.FindQuad(3, 12, "", &p);
    EXPECT_EQ(p, (Vec3{7, 1, 8}));
    list.ClearQuads();
    EXPECT_EQ(list.FindQuad(3, 12, "", &p), 0);
    EXPECT_EQ(list.QuadCount(), 0u);
}

TEST_F(QuadListTest, BatchesByTextureInChunksOfFifty) {
    CQuadList list(0);
    for (int i = 0; i < 120; ++i)
        list.AddQuad(Floor(i, 0, "b.bmp", {float(i), 0, 0}));
    for (int i = 0; i < 10; ++i)
        list.AddQuad(Floor(i, 1, "a.bmp", {float(i), 0, 4}));
    ASSERT_EQ(list.BuildQuads(), S_OK);
    EXPECT_EQ(list.GroupCount(), 2u);
    EXPECT_EQ(list.ChunkCount(), 4u);
    EXPECT_EQ(list.ChunkQuads("b.bmp"), (std::vector<int>{50, 50, 20}));
    EXPECT_EQ(list.ChunkQuads("a.bmp"), (std::vector<int>{10}));

    list.Draw();
    auto draws = TakeDraws();
    ASSERT_EQ(draws.size(), 4u);
    TextureId a = 0, b = 0;
    CPolygon::GetTexture("a.bmp", &a);
    CPolygon::GetTexture("b.bmp", &b);
    // The smaller texture name first.
    EXPECT_EQ(draws[0].texture, a);
    EXPECT_EQ(draws[0].TriangleCount(), 20u);
    for (int i = 1; i < 4; ++i)
        EXPECT_EQ(draws[i].texture, b);
    EXPECT_EQ(draws[1].TriangleCount(), 100u);
    EXPECT_EQ(draws[3].TriangleCount(), 40u);
    // Buffers sized to the chunk: 20 quads -> 80 vertices and 120 indices.
    const RecordedBuffers* last = dev_.FindBuffers(draws[3].buffer);
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->maxVertices, 80u);
    EXPECT_EQ(last->maxIndices, 120u);
    EXPECT_FALSE(last->dynamic);
    // The second quad of a chunk: triangles (4, 6, 7) and (4, 5, 6).
    EXPECT_EQ(std::vector<std::uint16_t>(last->indices.begin() + 6, last->indices.begin() + 12),
              (std::vector<std::uint16_t>{4, 6, 7, 4, 5, 6}));
    EXPECT_TRUE(dev_.Errors().empty());

    // Rebuilding releases the old chunks.
    const std::size_t live = dev_.LiveBuffers();
    list.BuildQuads();
    EXPECT_EQ(dev_.LiveBuffers(), live);
    list.ClearQuads();
    EXPECT_EQ(dev_.LiveBuffers(), live - 4);
    list.Draw();
    EXPECT_TRUE(TakeDraws().empty());
}

TEST_F(QuadListTest, DrawMaterialFromColourAndCullMode) {
    CQuadList walls(2);
    walls.AddQuad(Floor(0, 0, "a.bmp"));
    walls.BuildQuads();
    walls.SetColour(128, 255, 0, 100);
    walls.Draw();
    auto draws = TakeDraws();
    ASSERT_EQ(draws.size(), 1u);
    const Material& m = draws[0].material;
    EXPECT_FLOAT_EQ(m.diffuse.r, 1.02f);
    EXPECT_FLOAT_EQ(m.diffuse.g, 0.0f);
    EXPECT_FLOAT_EQ(m.diffuse.b, 0.4f);
    EXPECT_FLOAT_EQ(m.diffuse.a, 0.512f);
    EXPECT_EQ(m.ambient, m.diffuse);
    EXPECT_EQ(m.specular, (ColorF{0, 0, 0, 0.512f}));
    EXPECT_EQ(m.emissive, (ColorF{0, 0, 0, 0.512f}));
    EXPECT_EQ(m.power, 0.0f);
    EXPECT_EQ(draws[0].states.cull, CullMode::None);
    EXPECT_EQ(dev_.States().cull, CullMode::CounterClockwise); // set back
    EXPECT_EQ(dev_.CurrentTexture(), 0u);

    CQuadList floor(1);
    floor.AddQuad(Floor(0, 0, "missing.bmp"));
    floor.BuildQuads();
    floor.Draw();
    draws = TakeDraws();
    ASSERT_EQ(draws.size(), 1u);
    EXPECT_EQ(draws[0].states.cull, CullMode::Clockwise);
    EXPECT_EQ(draws[0].texture, 0u); // a missing texture draws untextured
}

TEST_F(QuadListTest, CellCursorDrawsTheDiamondOnItsCell) {
    CQuadList floor(0);
    floor.AddQuad(Floor(4, 5, "a.bmp", {10, 2, -6}));
    CCellCursor::SetFloor(&floor);
    CCellCursor cursor;
    cursor.SetTextureName("b.bmp");
    cursor.SetSize(2, 0, 2);
    cursor.SetColour(200, 255, 255, 255);
    cursor.SetCell(4, 5);
    EXPECT_EQ(cursor.CellX(), 4);
    cursor.SetCell(9, 9); // no quad there: the diamond stays
    ExpectNear(TransformCoord({0, 0, 0}, cursor.LocalMatrix()), {10, 2, -6});
    cursor.Draw();
    auto draws = TakeDraws();
    ASSERT_EQ(draws.size(), 1u);
    const DrawRecord& d = draws[0];
    EXPECT_EQ(d.format, VertexFormat::Colored);
    ASSERT_EQ(d.colored.size(), 4u);
    const Vec3 corners[4] = {{0, 0, 0}, {2, 0, 2}, {4, 0, 0}, {2, 0, -2}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ((Vec3{d.colored[i].x, d.colored[i].y, d.colored[i].z}), corners[i]);
        EXPECT_EQ(d.colored[i].color, 0xC8FFFFFFu);
    }
    EXPECT_FALSE(d.states.lighting);
    EXPECT_FALSE(d.states.depthTest);
    EXPECT_NE(d.texture, 0u);
    EXPECT_TRUE(dev_.States().lighting);
    EXPECT_TRUE(dev_.States().depthTest);
    EXPECT_EQ(dev_.CurrentTexture(), 0u);
    CCellCursor::SetFloor(nullptr);
}
