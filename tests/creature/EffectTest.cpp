#include "CreatureTestUtil.h"

using namespace quolis;
using namespace quolis::creaturetest;

namespace {

using EffectTest = CreatureTest;

TEST(EffectSheet, CellsRunLeftToRightThenTopToBottom) {
    CEffect e;
    e.Start(10, 3, 0.05f, {0, 0, 0}, {160, 160, 0}, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_EQ(e.CellCount(), 30u);
    EXPECT_FLOAT_EQ(e.Cell(0).u0, 0.0f);
    EXPECT_FLOAT_EQ(e.Cell(0).u1, 0.1f);
    EXPECT_FLOAT_EQ(e.Cell(1).u0, 0.1f);
    EXPECT_FLOAT_EQ(e.Cell(1).v0, 0.0f);
    EXPECT_FLOAT_EQ(e.Cell(10).u0, 0.0f); // second row
    EXPECT_NEAR(e.Cell(10).v0, 1.0f / 3, 1e-6);
    EXPECT_NEAR(e.Cell(29).v1, 1.0f, 1e-6);
    EXPECT_EQ(e.GetUV(), e.Cell(0)); // the first cell shows
    EXPECT_EQ(e.IsActive(), 0);      // not before Play
    EXPECT_EQ(e.Play(), 1);
    for (auto [c, r] : {std::pair{5, 3}, {10, 4}, {10, 2}}) {
        e.Start(c, r, 0.05f, {}, {}, nullptr, nullptr, nullptr, nullptr, nullptr);
        EXPECT_EQ(e.CellCount(), std::size_t(c * r));
    }
    CEffect none;
    none.Start(0, 3, 0.05f, {}, {}, nullptr, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(none.Play(), 0);
}

TEST_F(EffectTest, SonicPlaysFifteenFrameTimesAndNeverShowsItsLastCell) {
    CChara c;
    Place(c, 1, 1, "up");
    ASSERT_EQ(c.StartEffect(EffectKind::Sonic, 0, 0, 0, 160, 160, 0, 255, 255, 255, 255, 0.05f), 1);
    const CEffect& e = *c.Effect(0);
    ASSERT_EQ(e.CellCount(), 15u);
    std::set<std::size_t> shown;
    int ms = 0;
    while (e.IsActive() && ms < 2000) {
        for (std::size_t i = 0; i < e.CellCount(); ++i)
            if (e.GetUV() == e.Cell(i))
                shown.insert(i);
        clock_.Advance(1);
        ms += 1;
        c.Update();
    }
    // Fifteen frame times, 0.75 s (each step waits for more than 50 ms).
    EXPECT_GE(ms, 750);
    EXPECT_LE(ms, 15 * 51);
    EXPECT_EQ(shown.size(), 14u);
    EXPECT_EQ(shown.count(14), 0u);
    EXPECT_EQ(e.CurrentCell(), 0u); // back to the first, free for the next start
}

TEST_F(EffectTest, TheFirstCellStaysForTwoFrameTimes) {
    CChara c;
    Place(c, 1, 1, "up");
    c.StartEffect(EffectKind::Crush, 0, 0, 0, 100, 100, 0, 255, 255, 255, 255, 0.1f);
    const CEffect& e = *c.Effect(0);
    clock_.Advance(110);
    c.Update();
    EXPECT_EQ(e.GetUV(), e.Cell(0)); // copied again
    EXPECT_EQ(e.CurrentCell(), 1u);
    clock_.Advance(110);
    c.Update();
    EXPECT_EQ(e.GetUV(), e.Cell(1));
}

TEST_F(EffectTest, TenStartsGiveNineEffectsAndOneSilentRefusal) {
    CChara c;
    Place(c, 1, 1, "up");
    int started = 0;
    for (int i = 0; i < 10; ++i)
        started +=
            c.StartEffect(EffectKind::Slush, 0, 0, 0, 160, 160, 0, 255, 255, 255, 255, 0.05f);
    EXPECT_EQ(started, 9);
    EXPECT_EQ(TakeCues().size(), 9u);
    for (int i = 0; i < CChara::kEffectCount; ++i)
        EXPECT_EQ(c.Effect(i)->IsActive(), 1);
    // Once they have run out the sprites are free again.
    for (int i = 0; i < 100; ++i) {
        clock_.Advance(16);
        c.Update();
    }
    EXPECT_EQ(c.AnyEffectActive(), 0);
    EXPECT_EQ(c.StartEffect(EffectKind::Slush, 0, 0, 0, 1, 1, 0, 0, 0, 0, 0, 0.05f), 1);
    EXPECT_EQ(TakeCues(), std::vector<std::string>{"スラッシュ"});
}

TEST_F(EffectTest, EachKindPlaysItsCueAndTexture) {
    const std::pair<EffectKind, const char*> kinds[] = {
        {EffectKind::Explosion1, "爆発音１"},       {EffectKind::Explosion2, "爆発音２"},
        {EffectKind::Gravity, "グラビティ"},        {EffectKind::Flare, "アトミック"},
        {EffectKind::Beating, "バルカン発射"},      {EffectKind::Condensation, "ニードル"},
        {EffectKind::ISonic, "イリーガルソニック"}, {EffectKind::Plasma, "プラズマ"}};
    for (const auto& [kind, cue] : kinds) {
        CChara c;
        Place(c, 1, 1, "up");
        c.StartEffect(kind, 0, 0, 0, 160, 160, 0, 255, 255, 255, 255, 0.05f);
        EXPECT_EQ(TakeCues(), std::vector<std::string>{cue});
    }
    CChara c;
    Place(c, 1, 1, "up");
    c.StartEffect(EffectKind::Flare, 0, 0, 0, 160, 160, 0, 255, 255, 255, 255, 0.05f);
    EXPECT_EQ(c.Effect(0)->TextureName(), "Effect\\Flare.bmp");
    EXPECT_NE(c.Effect(0)->Texture(), 0u);
    EXPECT_EQ(c.Effect(0)->CellCount(), 30u);
}

TEST_F(EffectTest, FrozenTimeKeepsTheCellButFollowsTheCreature) {
    CChara c;
    Place(c, 1, 1, "up");
    camera_.SetLookAt(4, 0, 0);
    camera_.SetEye(-6, 12, 10);
    c.StartEffect(EffectKind::Crush, 0, 0, 0, 160, 160, 0, 255, 255, 255, 255, 0.05f);
    const CEffect& e = *c.Effect(0);
    clock_.Advance(60);
    c.Update();
    clock_.Advance(60);
    c.Update();
    const std::size_t cell = e.CurrentCell();
    const Vec3 before = e.GetPos();
    CStopwatch::PauseAll();
    clock_.Advance(500);
    c.SetPosition(8, 0, 0);
    c.Update();
    EXPECT_EQ(e.CurrentCell(), cell);
    EXPECT_EQ(e.IsActive(), 1);
    const Vec3 after = e.GetPos();
    EXPECT_GT(std::abs(after.x - before.x) + std::abs(after.y - before.y), 5.0f);
    CStopwatch::ResumeAll();
    clock_.Advance(60);
    c.Update();
    EXPECT_EQ(e.CurrentCell(), cell + 1); // the pause did not count
}

TEST_F(EffectTest, ColourIsClampedAndTheQuadIsCentredOnTheAnchor) {
    CChara c;
    Place(c, 1, 1, "up");
    c.StartEffect(EffectKind::Mist, 10, -20, 0, 100, 60, 0, 300, 20, 255, 400, 0.05f);
    const CEffect& e = *c.Effect(0);
    EXPECT_EQ(e.GetRed(), 255);
    EXPECT_EQ(e.GetGreen(), 20);
    EXPECT_EQ(e.GetBlue(), 255);
    EXPECT_EQ(e.GetAlpha(), 255);
    c.Update();
    const Vec3 anchor = Project({c.Anchor().centreX, c.Anchor().height, c.Anchor().centreZ},
                                Viewport{}, camera_.Projection(), camera_.View(), c.Placement());
    test3d::ExpectNear(e.GetPos(), anchor + Vec3{10, -20, 0}, 1e-3f);
    dev_.ClearRecord();
    c.DrawEffects();
    ASSERT_EQ(dev_.Draws().size(), 1u);
    const auto& v = dev_.Draws()[0];
    ASSERT_EQ(v.screen.size(), 4u);
    EXPECT_NEAR(v.screen[0].x, e.GetPos().x - 50, 1e-3);
    EXPECT_NEAR(v.screen[2].y, e.GetPos().y + 30, 1e-3);
    EXPECT_EQ(v.screen[0].color, 0xFFFF14FFu);
}

} // namespace
