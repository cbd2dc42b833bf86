#include "engine/SceneObject.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace quolis {
namespace {

class EngineClockTest : public ::testing::Test {
protected:
    void SetUp() override { CStopwatch::SetClock(&clock); }
    void TearDown() override {
        CStopwatch::SetTimeFrozen(false);
        CStopwatch::SetClock(nullptr);
    }
    ManualClock clock{5000};
};

using ColourTest = EngineClockTest;

TEST_F(ColourTest, SetColourClampsAndPacks) {
    CColour c;
    EXPECT_EQ(c.GetPacked(), 0xFFFFFFFFu);
    c.SetColour(300, -5, 128, 256);
    EXPECT_EQ(c.GetAlpha(), 255);
    EXPECT_EQ(c.GetRed(), 0);
    EXPECT_EQ(c.GetGreen(), 128);
    EXPECT_EQ(c.GetBlue(), 255);
    EXPECT_EQ(c.GetPacked(), 0xFF0080FFu);
    c.SetColourF(10.9f, 20.2f, 30.7f, 40.99f);
    EXPECT_EQ(c.GetPacked(), 0x280A141Eu);
}

TEST_F(ColourTest, AlphaLimitsAndReset) {
    CColour c;
    c.SetAlphaLimits(0, 128);
    c.SetAlpha(200);
    EXPECT_EQ(c.GetAlpha(), 128);
    c.SetAlphaLimits(50, 255);
    c.SetAlpha(10);
    EXPECT_EQ(c.GetAlpha(), 50);
    c.ResetColour();
    c.SetAlpha(200);
    EXPECT_EQ(c.GetAlpha(), 200);
    EXPECT_EQ(c.GetPacked() >> 24, 200u);
}

TEST_F(ColourTest, LockRefusesPlainSettersButNotForcedOnes) {
    CColour c;
    c.SetColour(100, 1, 2, 3);
    c.Lock(1);
    c.SetAlpha(10);
    c.SetColour(20, 9, 9, 9);
    c.AddAlpha(5);
    EXPECT_EQ(c.GetPacked(), 0x64010203u);
    c.ForceAlpha(30);
    EXPECT_EQ(c.GetAlpha(), 30);
    EXPECT_TRUE(c.IsLocked());
    c.ForceAddAlpha(-10);
    EXPECT_EQ(c.GetAlpha(), 20);
    c.ForceColour(7, 4, 5, 6);
    EXPECT_EQ(c.GetPacked(), 0x07040506u);
    EXPECT_TRUE(c.IsLocked());
    c.SetAlphaUnlocked(90);
    EXPECT_EQ(c.GetAlpha(), 90);
    EXPECT_FALSE(c.IsLocked());
}

TEST_F(ColourTest, FadeDownStepsEvery30Milliseconds) {
    CColour c;
    std::vector<int> seen;
    int guard = 0;
    clock.Advance(30);
    while (c.FadeAlpha(0, 0, 40) != 0 && ++guard < 100) {
        seen.push_back(c.GetAlpha());
        clock.Advance(30);
    }
    EXPECT_EQ(seen, (std::vector<int>{215, 175, 135, 95, 55, 15, 0}));
    EXPECT_EQ(c.FadeAlpha(0, 0, 40), 0);
}

TEST_F(ColourTest, FadeWaitsForTheStopwatchNotTheFrame) {
    CColour c;
    c.SetAlpha(0);
    clock.Advance(30);
    EXPECT_EQ(c.FadeAlpha(255, 1, 50), 1);
    EXPECT_EQ(c.GetAlpha(), 50);
    clock.Advance(29);
    EXPECT_EQ(c.FadeAlpha(255, 1, 50), 1);
    EXPECT_EQ(c.GetAlpha(), 50); // too early: no change
    clock.Advance(1);
    EXPECT_EQ(c.FadeAlpha(255, 1, 50), 1);
    EXPECT_EQ(c.GetAlpha(), 100);
}

TEST_F(ColourTest, FadeOnLockedComponentNeedsTheForcedForm) {
    CColour c;
    c.Lock(1);
    clock.Advance(30);
    EXPECT_EQ(c.FadeAlpha(0, 0, 40), 0);
    EXPECT_EQ(c.GetAlpha(), 255);
    EXPECT_EQ(c.FadeAlphaForced(0, 0, 40), 1);
    EXPECT_EQ(c.GetAlpha(), 215);
    EXPECT_TRUE(c.IsLocked());
}

TEST_F(ColourTest, ProcessWideOperationsReachEveryLiveComponent) {
    int before = CColour::LiveColourCount();
    {
        auto a = std::make_unique<CColour>();
        auto b = std::make_unique<CColour>();
        CColour locked;
        locked.Lock(1);
        EXPECT_EQ(CColour::LiveColourCount(), before + 3);
        CColour::SetAllAlpha(0);
        EXPECT_EQ(a->GetAlpha(), 0);
        EXPECT_EQ(b->GetAlpha(), 0);
        EXPECT_EQ(locked.GetAlpha(), 255);
        b.reset(); // leaves the list; the others are still reached
        CColour::SetAllAlphaLimits(0, 100);
        CColour::SetAllAlpha(255);
        EXPECT_EQ(a->GetAlpha(), 100);
        CColour::ResetAllColours();
        EXPECT_FALSE(locked.IsLocked());
        CColour::SetAllAlpha(255);
        EXPECT_EQ(a->GetAlpha(), 255);
        EXPECT_EQ(locked.GetAlpha(), 255);
    }
    EXPECT_EQ(CColour::LiveColourCount(), before);
}

// A minimal quad: stores size and rectangle like the 2-D classes do.
class TestQuad : public CSceneObject {
public:
    void SetSize(float w, float h, float d) override { size_ = {w, h, d}; }
    Vec3 GetSize() const override { return size_; }
    void SetUV(float u0, float v0, float u1, float v1) override { uv_ = {u0, v0, u1, v1}; }
};

TEST(SceneObject, DefaultsOfTheBaseInterface) {
    CSceneObject o;
    EXPECT_EQ(o.IsEnabled(), 1);
    o.SetEnabled(0);
    EXPECT_EQ(o.IsEnabled(), 0);
    o.SetPos(1, 2, 3);
    EXPECT_EQ(o.GetPos(), Vec3(1, 2, 3));
    o.AddPos(5, 5, 5); // the base does not move
    EXPECT_EQ(o.GetPos(), Vec3(1, 2, 3));
    o.SetSize(9, 9, 9);
    EXPECT_EQ(o.GetSize(), Vec3(0, 0, 0));
    EXPECT_EQ(o.GetAlpha(), 255);
}

TEST(SceneObject, GlideApproachesExponentiallyAndSnaps) {
    CSceneObject o;
    o.SetPos(0, 0, 0);
    EXPECT_EQ(o.GlideTo(100, 0, 0, 0.5f), 1); // starts only
    EXPECT_EQ(o.GetPos().x, 0.f);
    std::vector<float> xs;
    int r = 1;
    int guard = 0;
    while ((r = o.GlideTo(100, 0, 0, 0.5f)) == 1 && ++guard < 100) {
        xs.push_back(o.GetPos().x);
    }
    ASSERT_GE(xs.size(), 3u);
    EXPECT_FLOAT_EQ(xs[0], 50.f);
    EXPECT_FLOAT_EQ(xs[1], 75.f);
    EXPECT_FLOAT_EQ(xs[2], 87.5f);
    EXPECT_GT(100.f - xs.back(), 0.f);
    EXPECT_LE(100.f - xs.back(), 0.2f);
    EXPECT_EQ(o.GetPos().x, 100.f); // snapped exactly
    EXPECT_EQ(o.GlideTo(100, 0, 0, 0.5f), 0);
    EXPECT_EQ(o.GetPos().x, 100.f);
}

TEST(SceneObject, NewTargetRestartsFromTheCurrentPosition) {
    CSceneObject o;
    o.GlideTo(100, 0, 0, 0.5f);
    o.GlideTo(100, 0, 0, 0.5f);             // x = 50
    EXPECT_EQ(o.GlideTo(0, 0, 0, 0.5f), 1); // target changed: state back to idle
    EXPECT_EQ(o.GetPos().x, 50.f);
    EXPECT_EQ(o.GlideTo(0, 0, 0, 0.5f), 1); // restart from 50
    EXPECT_EQ(o.GlideTo(0, 0, 0, 0.5f), 1);
    EXPECT_FLOAT_EQ(o.GetPos().x, 25.f);
}

TEST(SceneObject, ArrivedGlideRestartsWhenMovedAway) {
    CSceneObject o;
    o.SetPos(100, 0, 0);
    o.GlideTo(100, 0, 0, 0.5f);
    EXPECT_EQ(o.GlideTo(100, 0, 0, 0.5f), 0);
    o.SetPos(0, 0, 0);
    EXPECT_EQ(o.GlideTo(100, 0, 0, 0.5f), 1);
    EXPECT_EQ(o.GlideTo(100, 0, 0, 0.5f), 1);
    EXPECT_EQ(o.GlideTo(100, 0, 0, 0.5f), 1);
    EXPECT_FLOAT_EQ(o.GetPos().x, 50.f);
}

TEST(SceneObject, WipeInFromTheLeftKeepsTheRightEdge) {
    TestQuad q;
    q.SetPos(100, 20, 0.5f);
    q.SetSize(200, 40, 0);
    q.SetAlpha(0);
    EXPECT_EQ(q.Wipe(1, "left", 0.25f), 1);
    EXPECT_EQ(q.GetAlpha(), 255);
    EXPECT_EQ(q.GetSize().x, 0.f);
    EXPECT_EQ(q.GetPos().x, 300.f);
    const float widths[] = {50, 100, 150};
    for (float w : widths) {
        EXPECT_EQ(q.Wipe(1, "left", 0.25f), 1);
        EXPECT_FLOAT_EQ(q.GetSize().x, w);
        EXPECT_FLOAT_EQ(q.GetPos().x + q.GetSize().x, 300.f);
        EXPECT_FLOAT_EQ(q.GetUV().u0, 1.f - w / 200.f);
    }
    EXPECT_EQ(q.Wipe(1, "left", 0.25f), 1); // 200 wide: restored
    EXPECT_EQ(q.GetPos(), Vec3(100, 20, 0.5f));
    EXPECT_EQ(q.GetSize(), Vec3(200, 40, 0));
    EXPECT_EQ(q.GetUV(), (UVRect{0, 0, 1, 1}));
    EXPECT_EQ(q.Wipe(1, "left", 0.25f), 0);
    // Once the owner clears the alpha, the next call starts afresh.
    q.SetAlpha(0);
    EXPECT_EQ(q.Wipe(1, "left", 0.25f), 1);
    EXPECT_EQ(q.Glides().state[1], 0);
}

TEST(SceneObject, WipeInDownAndUpCutThePicture) {
    TestQuad q;
    q.SetPos(0, 100, 0);
    q.SetSize(50, 80, 0);
    q.Wipe(1, "up", 0.5f);
    EXPECT_EQ(q.GetPos().y, 180.f);
    q.Wipe(1, "up", 0.5f);
    EXPECT_FLOAT_EQ(q.GetSize().y, 40.f);
    EXPECT_FLOAT_EQ(q.GetPos().y, 140.f);
    EXPECT_FLOAT_EQ(q.GetUV().v0, 0.5f);

    TestQuad d;
    d.SetSize(50, 80, 0);
    d.Wipe(1, "down", 0.5f);
    EXPECT_EQ(d.GetUV(), (UVRect{0, 0, 1, 0}));
    d.Wipe(1, "down", 0.5f);
    EXPECT_FLOAT_EQ(d.GetSize().y, 40.f);
    EXPECT_EQ(d.GetPos().y, 0.f);
}

TEST(SceneObject, WipeOutRollsUpAndEndsTransparent) {
    TestQuad q;
    q.SetPos(100, 0, 0);
    q.SetSize(200, 10, 0);
    EXPECT_EQ(q.Wipe(0, "right", 0.5f), 1);
    EXPECT_EQ(q.Wipe(0, "right", 0.5f), 1);
    EXPECT_FLOAT_EQ(q.GetSize().x, 100.f);
    EXPECT_FLOAT_EQ(q.GetPos().x, 200.f); // the right edge stays at 300
    EXPECT_EQ(q.Wipe(0, "right", 0.5f), 1);
    EXPECT_EQ(q.GetAlpha(), 0);
    EXPECT_EQ(q.GetPos().x, 100.f);
    EXPECT_EQ(q.GetSize().x, 200.f);
    EXPECT_EQ(q.GetUV().u0, q.GetUV().u1); // left collapsed
    EXPECT_EQ(q.Wipe(0, "right", 0.5f), 0);
    q.SetAlpha(255);
    EXPECT_EQ(q.Wipe(0, "right", 0.5f), 1);
    EXPECT_EQ(q.Glides().state[1], 0);
}

TEST(SceneObject, WipeOutLeftShrinksTowardTheLeftEdge) {
    TestQuad q;
    q.SetPos(10, 0, 0);
    q.SetSize(100, 10, 0);
    q.Wipe(0, "left", 0.25f);
    q.Wipe(0, "left", 0.25f);
    EXPECT_FLOAT_EQ(q.GetSize().x, 75.f);
    EXPECT_EQ(q.GetPos().x, 10.f);
}

} // namespace
} // namespace quolis
