#include "battle/FloorView.h"

#include "../engine/EngineTestUtil.h"
#include "BattleTestUtil.h"

#include <gtest/gtest.h>

#include <algorithm>

using namespace quolis;
using namespace quolis::test;
using quolis::testutil::Bmp24Row;

namespace {

class FloorViewTest : public quolis::testutil::EngineFixture {
protected:
    void SetUp() override {
        EngineFixture::SetUp();
        files.files["tex\\Floor\\Black.bmp"] = Bmp24Row({0x000000});
        files.files["tex\\Wall\\Wall.bmp"] = Bmp24Row({0x808080});
        files.files["tex\\Floor\\Grass.bmp"] = Bmp24Row({0x00FF00});
        files.files["tex\\Floor\\Stone.bmp"] = Bmp24Row({0x999999});
    }
    // A w x d floor of height h, every cell "Floor\Grass.bmp".
    void Flat(std::int32_t w, std::int32_t d, std::int32_t h) {
        FlatFloor(stage, w, d, h);
        for (std::int32_t y = 0; y < d; ++y)
            for (std::int32_t x = 0; x < w; ++x)
                stage.textureGrid[GridIndex(x, y)] = "Floor\\Grass.bmp";
    }
    Vec3 Find(const CQuadList& list, int x, int y, const char* tag) {
        Vec3 p{-99, -99, -99};
        EXPECT_EQ(list.FindQuad(x, y, tag, &p), 1) << x << "," << y << " " << tag;
        return p;
    }
    bool Has(const CQuadList& list, int x, int y, const char* tag) {
        Vec3 p;
        return list.FindQuad(x, y, tag, &p) == 1;
    }
    TextureId Texture(const char* name) {
        TextureId id = 0;
        CPolygon::GetTexture(name, &id);
        return id;
    }

    StageData stage;
    CFloorView view;
};

} // namespace

TEST_F(FloorViewTest, SingleRaisedCellHasTwoWallUnitsPerSide) {
    Flat(1, 1, 2);
    ASSERT_EQ(view.Build(stage), S_OK);
    // X size 1: P = ((0 + 0 - 1) * 2, 2 * 1, 0).
    EXPECT_EQ(Find(view.Floor(), 0, 0, ""), (Vec3{-2, 2, 0}));
    EXPECT_EQ(view.Floor().QuadCount(), 1u);
    EXPECT_EQ(view.Walls().QuadCount(), 8u);
    EXPECT_EQ(Find(view.Walls(), 0, 0, "front"), (Vec3{-2, 0, 0}));
    EXPECT_EQ(Find(view.Walls(), 0, 0, "front1"), (Vec3{-2, 1, 0}));
    EXPECT_EQ(Find(view.Walls(), 0, 0, "rear"), (Vec3{0, 0, 2}));
    EXPECT_EQ(Find(view.Walls(), 0, 0, "rear1"), (Vec3{0, 1, 2}));
    EXPECT_EQ(Find(view.Walls(), 0, 0, "left"), (Vec3{-2, 0, 0}));
    EXPECT_EQ(Find(view.Walls(), 0, 0, "left1"), (Vec3{-2, 1, 0}));
    EXPECT_EQ(Find(view.Walls(), 0, 0, "right"), (Vec3{0, 0, -2}));
    EXPECT_EQ(Find(view.Walls(), 0, 0, "right1"), (Vec3{0, 1, -2}));

    // The walls are one group of one chunk, drawn without culling, on the
    // diamond's edges: the "front" unit from P to P + (s, 0, -s), one unit high.
    ASSERT_EQ(view.Draw(), S_OK);
    auto draws = device.Draws();
    ASSERT_EQ(draws.size(), 2u);
    EXPECT_EQ(draws[0].texture, Texture("Floor\\Grass.bmp"));
    EXPECT_EQ(draws[1].texture, Texture("Wall\\Wall.bmp"));
    EXPECT_NE(draws[1].texture, 0u);
    EXPECT_EQ(draws[1].TriangleCount(), 16u);
    EXPECT_EQ(draws[0].states.cull, CullMode::CounterClockwise);
    EXPECT_EQ(draws[1].states.cull, CullMode::None);
    ASSERT_GE(draws[1].lit.size(), 32u);
    float top = -1, low = 99;
    for (const VertexLit& v : draws[1].lit) {
        top = std::max(top, v.y);
        low = std::min(low, v.y);
    }
    EXPECT_EQ(low, 0.0f);
    EXPECT_EQ(top, 2.0f);
}

TEST_F(FloorViewTest, OnlyTheHigherOfTwoNeighboursShowsAFace) {
    Flat(2, 1, 1);
    SetHeight(stage, 0, 0, 3);
    view.Build(stage);
    // Cell (0, 0) faces (1, 0) on its right: units 1 and 2 only.
    EXPECT_EQ(Find(view.Walls(), 0, 0, "right").y, 1.0f);
    EXPECT_EQ(Find(view.Walls(), 0, 0, "right2").y, 2.0f);
    EXPECT_FALSE(Has(view.Walls(), 0, 0, "right1"));
    // Toward the higher cell, cell (1, 0) keeps its face from the ground (it
    // stands behind the higher cell's), never above its own top.
    EXPECT_EQ(Find(view.Walls(), 1, 0, "left"), (Vec3{-2, 0, -2}));
    EXPECT_FALSE(Has(view.Walls(), 1, 0, "left1"));
    // 3 + 3 + 3 + 2 on the high cell, one unit per side on the low one.
    EXPECT_EQ(view.Walls().QuadCount(), 15u);
    // Equal neighbours show nothing between them.
    Flat(2, 1, 2);
    view.Build(stage);
    EXPECT_FALSE(Has(view.Walls(), 0, 0, "right"));
    EXPECT_FALSE(Has(view.Walls(), 1, 0, "left"));
    EXPECT_EQ(view.Walls().QuadCount(), 12u);
}

TEST_F(FloorViewTest, HoleIsABlackSquareOnTheGround) {
    Flat(2, 1, 1);
    SetHeight(stage, 0, 0, 0);
    view.Build(stage);
    EXPECT_EQ(Find(view.Floor(), 0, 0, ""), (Vec3{-4, 0, 0}));
    EXPECT_EQ(Find(view.Floor(), 1, 0, ""), (Vec3{-2, 1, -2}));
    EXPECT_EQ(Find(view.Walls(), 1, 0, "left"), (Vec3{-2, 0, -2}));
    EXPECT_FALSE(Has(view.Walls(), 1, 0, "left1"));
    for (const char* side : {"front", "rear", "left", "right"})
        EXPECT_FALSE(Has(view.Walls(), 0, 0, side)) << side;
    EXPECT_EQ(view.Walls().QuadCount(), 4u);

    device.ClearRecord();
    view.Floor().Draw();
    auto draws = device.Draws();
    ASSERT_EQ(draws.size(), 2u); // "Floor\Black.bmp" before "Floor\Grass.bmp"
    EXPECT_EQ(draws[0].texture, Texture("Floor\\Black.bmp"));
    EXPECT_NE(draws[0].texture, 0u);
    for (const VertexLit& v : draws[0].lit)
        EXPECT_EQ(v.y, 0.0f);
}

TEST_F(FloorViewTest, TopRowGetsRearWallsFromTheGround) {
    Flat(6, 4, 2);
    view.Build(stage);
    for (int x = 0; x < 6; ++x) {
        EXPECT_EQ(Find(view.Walls(), x, 3, "rear").y, 0.0f);
        EXPECT_TRUE(Has(view.Walls(), x, 3, "rear1"));
        EXPECT_FALSE(Has(view.Walls(), x, 2, "rear"));
        EXPECT_TRUE(Has(view.Walls(), x, 0, "front"));
    }
    EXPECT_FALSE(Has(view.Walls(), 2, 1, "left"));
    // The edge: 2 units on each of 6 + 6 + 4 + 4 cell sides.
    EXPECT_EQ(view.Walls().QuadCount(), 40u);
    EXPECT_EQ(view.Floor().QuadCount(), 24u);
}

TEST_F(FloorViewTest, CornerCellDiamondOnFloorOfWidthFour) {
    Flat(4, 2, 3);
    view.Build(stage);
    EXPECT_EQ(Find(view.Floor(), 0, 0, ""), (Vec3{-8, 3, 0}));
    EXPECT_EQ(Find(view.Floor(), 3, 1, ""), (Vec3{0, 3, -4}));
    // A cell's world position agrees with the floor quad.
    const WorldPoint w = CellToWorld(stage, 3, 1);
    EXPECT_EQ(Find(view.Floor(), 3, 1, ""), (Vec3{w.x, w.y, w.z}));

    Flat(4, 1, 3);
    view.Build(stage);
    device.ClearRecord();
    view.Floor().Draw();
    auto draws = device.Draws();
    ASSERT_EQ(draws.size(), 1u);
    ASSERT_EQ(draws[0].lit.size(), 16u);
    // The diamond of cell (0, 0): the corners that no other cell shares
    // appear once, the corner shared with cell (1, 0) twice.
    std::vector<Vec3> drawn;
    for (const VertexLit& v : draws[0].lit)
        drawn.push_back({v.x, v.y, v.z});
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), Vec3{-8, 3, 0}), 1);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), Vec3{-6, 3, 2}), 1);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), Vec3{-4, 3, 0}), 2);
    EXPECT_EQ(std::count(drawn.begin(), drawn.end(), Vec3{-6, 3, -2}), 2);
    // Bounds: x from P of cell (0, 0) to the far corner of cell (3, 0); z
    // from cell (3, 0)'s lowest corner to cell (0, 0)'s highest.
    EXPECT_EQ(view.BoundsLow(), (Vec3{-8, 0, -8}));
    EXPECT_EQ(view.BoundsHigh(), (Vec3{2, 3, 2}));
}

TEST_F(FloorViewTest, QuadsBatchByTextureAndRebuildReplaces) {
    Flat(10, 6, 1);
    for (std::int32_t x = 0; x < 10; ++x)
        stage.textureGrid[GridIndex(x, 5)] = "Floor\\Stone.bmp";
    view.Build(stage);
    EXPECT_EQ(view.Floor().GroupCount(), 2u);
    EXPECT_EQ(view.Floor().ChunkQuads("Floor\\Grass.bmp"), (std::vector<int>{50}));
    EXPECT_EQ(view.Floor().ChunkQuads("Floor\\Stone.bmp"), (std::vector<int>{10}));
    // 32 edge sides, one unit each, in one wall group.
    EXPECT_EQ(view.Walls().ChunkQuads("Wall\\Wall.bmp"), (std::vector<int>{32}));

    device.ClearRecord();
    view.Draw();
    auto draws = device.Draws();
    ASSERT_EQ(draws.size(), 3u);
    EXPECT_EQ(draws[0].texture, Texture("Floor\\Grass.bmp"));
    EXPECT_EQ(draws[1].texture, Texture("Floor\\Stone.bmp"));
    EXPECT_EQ(draws[0].TriangleCount(), 100u);
    EXPECT_EQ(draws[1].TriangleCount(), 20u);

    // Building again replaces everything: a smaller floor leaves no old quad.
    Flat(2, 2, 1);
    view.Build(stage);
    EXPECT_EQ(view.Floor().QuadCount(), 4u);
    EXPECT_FALSE(Has(view.Floor(), 5, 5, ""));
    EXPECT_EQ(view.Walls().QuadCount(), 8u);
}
