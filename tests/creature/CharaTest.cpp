#include "CreatureTestUtil.h"

using namespace quolis;
using namespace quolis::creaturetest;

namespace {

using CharaTest = CreatureTest;

TEST_F(CharaTest, InitRegistersTheNineteenCuesInOrder) {
    // Registration order decides the mixer's sound numbers 1..19.
    EXPECT_EQ(sound_.CueCount(), 19u);
    EXPECT_EQ(mixer_.LiveSoundCount(), 19u);
    ASSERT_EQ(sound_.Play(SJ("メカ１")), S_OK);
    ASSERT_EQ(sound_.Play(SJ("キャノン発射")), S_OK);
    EXPECT_EQ(mixer_.Log(), (std::vector<std::string>{"PlaySound 19", "PlaySound 1"}));
}

TEST_F(CharaTest, ConstructionAndCreation) {
    CChara c;
    EXPECT_EQ(c.GetAnimation(), "wait");
    EXPECT_EQ(c.HP(), 0);
    EXPECT_TRUE(c.Name().empty());
    EXPECT_FALSE(c.Created());
    c.Create();
    ASSERT_TRUE(c.Created());
    // The number sprite and nine effects, all idle and hidden.
    EXPECT_EQ(c.Attachments().size(), 10u);
    EXPECT_EQ(c.Attachments()[0], c.NumberSprite());
    EXPECT_EQ(c.NumberSprite()->IsShown(), 0);
    EXPECT_EQ(c.NumberSprite()->GetRed(), 255);
    EXPECT_EQ(c.NumberSprite()->GetGreen(), 0);
    EXPECT_EQ(c.AnyEffectActive(), 0);
    c.Release();
    EXPECT_TRUE(c.Attachments().empty());
    EXPECT_FALSE(c.Created());
}

TEST_F(CharaTest, ValuesOfALoadedCreatureAreCarriedAndClamped) {
    CharaValues v;
    v.SetName("a");
    v.SetLevel(12);
    CChara c(v);
    EXPECT_EQ(c.Name(), "a");
    EXPECT_EQ(c.Level(), 12);
    c.SetHP(-5);
    EXPECT_EQ(c.HP(), 0);
    c.SetHP(100000);
    EXPECT_EQ(c.HP(), 99999);
    c.SetLevel(100);
    EXPECT_EQ(c.Level(), 99);
    c.AddHP(-200000);
    EXPECT_EQ(c.HP(), 0);
}

TEST_F(CharaTest, CoreFlagTakesTheAnimationFromTheCoreFolder) {
    CChara c;
    c.SetModelFolder("T");
    EXPECT_EQ(c.AnimationMember("Dead1"), "T\\Dead1.mdl");
    c.SetCoreFlag(1);
    EXPECT_EQ(c.AnimationMember("Dead1"), "Core\\Dead1.mdl");
    // Core\Dead1 has three keys, T\Dead1 two: the loaded model tells them apart.
    ASSERT_EQ(c.SetAnimation("Dead1"), S_OK);
    EXPECT_EQ(c.Model()->keyCount, 3);
    EXPECT_EQ(c.GetAnimation(), "Dead1");
    EXPECT_EQ(c.IsPlaying(), 1);
}

TEST_F(CharaTest, OnlyWaitLoopsOtherAnimationsHoldTheirLastPose) {
    CChara c;
    Place(c, 1, 1, "up");
    c.SetAnimation("Damage1");
    c.Update();
    c.Update();
    EXPECT_EQ(c.IsPlaying(), 0);
    c.Update();
    EXPECT_EQ(c.IsPlaying(), 0);
    EXPECT_FLOAT_EQ(c.KeyPosition(), 1.0f);

    c.SetAnimation("wait");
    c.Update();
    EXPECT_FLOAT_EQ(c.KeyPosition(), 0.5f);
    c.Update(); // reaches the last key and starts again at once
    EXPECT_EQ(c.IsPlaying(), 1);
    EXPECT_FLOAT_EQ(c.KeyPosition(), 0.0f);
    c.Update();
    EXPECT_FLOAT_EQ(c.KeyPosition(), 0.5f);
}

TEST_F(CharaTest, MissingAnimationLeavesAnEmptyModel) {
    CChara c;
    Place(c, 1, 1, "up");
    EXPECT_EQ(c.SetAnimation("NoSuchAnim"), E_FAIL);
    EXPECT_EQ(c.GetAnimation(), "NoSuchAnim");
    EXPECT_TRUE(c.Model()->Empty());
    c.Update();
    EXPECT_EQ(c.IsPlaying(), 0);
    dev_.ClearRecord();
    c.Draw();
    EXPECT_TRUE(dev_.Draws().empty());
}

TEST_F(CharaTest, DirectionsTurnTheModelAndOtherNamesKeepTheRotation) {
    CChara c;
    const std::pair<const char*, float> turns[] = {
        {"up", -135}, {"down", 45}, {"left", 135}, {"right", -45}};
    for (const auto& [name, yaw] : turns) {
        c.SetDirection(name);
        EXPECT_EQ(c.GetDirection(), name);
        EXPECT_FLOAT_EQ(c.GetRotation().y, yaw) << name;
    }
    c.SetDirection("north");
    EXPECT_EQ(c.GetDirection(), "north");
    EXPECT_FLOAT_EQ(c.GetRotation().y, -45);
}

TEST_F(CharaTest, FaceCellTestsRowsFirstAndFaceBackTakesTheOpposite) {
    CChara a, b;
    a.SetCellValue(3, 3);
    a.SetDirection("left");
    b.SetCellValue(2, 4); // one row up, one column left
    a.FaceCell(b);
    EXPECT_EQ(a.GetDirection(), "up");
    b.SetCellValue(4, 2);
    a.FaceCell(b);
    EXPECT_EQ(a.GetDirection(), "down");
    b.SetCellValue(1, 3);
    a.FaceCell(b);
    EXPECT_EQ(a.GetDirection(), "left");
    b.SetCellValue(5, 3);
    a.FaceCell(b);
    EXPECT_EQ(a.GetDirection(), "right");
    b.SetCellValue(3, 3);
    a.FaceCell(b);
    EXPECT_EQ(a.GetDirection(), "right"); // same cell: unchanged

    const std::pair<const char*, const char*> back[] = {
        {"up", "down"}, {"down", "up"}, {"left", "right"}, {"right", "left"}};
    for (const auto& [theirs, mine] : back) {
        b.SetDirection(theirs);
        a.FaceBack(b);
        EXPECT_EQ(a.GetDirection(), mine);
    }
    b.SetDirection("north");
    a.FaceBack(b);
    EXPECT_EQ(a.GetDirection(), "left"); // unchanged
}

TEST_F(CharaTest, SetCellStandsOnTheFloorQuadShifted) {
    CChara c;
    c.SetCell(2, 3);
    int x = 0, y = 0;
    c.GetCell(&x, &y);
    EXPECT_EQ(x, 2);
    EXPECT_EQ(y, 3);
    // Reference corner (10, 0, 2) + (0.5 - 0.03, 0, 0.01).
    test3d::ExpectNear(c.GetPosition(), {10.47f, 0, 2.01f});
    // No quad there: the cell is stored, the creature stays.
    c.SetCell(40, 40);
    EXPECT_EQ(c.CellX(), 40);
    test3d::ExpectNear(c.GetPosition(), {10.47f, 0, 2.01f});
}

TEST_F(CharaTest, GlideWithStepOneEndsOnTheThirdCall) {
    CChara c;
    c.SetCell(0, 0);
    EXPECT_EQ(c.MoveToCell(1, 0, 1.0f), 1); // start
    EXPECT_EQ(c.MoveToCell(1, 0, 1.0f), 1); // moves all the way
    test3d::ExpectNear(c.GetPosition(), {2.47f, 0, -1.99f});
    EXPECT_EQ(c.CellX(), 0); // the cell changes on arrival
    EXPECT_EQ(c.MoveToCell(1, 0, 1.0f), 0);
    EXPECT_EQ(c.CellX(), 1);
    EXPECT_EQ(c.MoveToCell(1, 0, 1.0f), 0); // standing there
}

TEST_F(CharaTest, GlideIsExponentialAndRestartsForAnotherCell) {
    CChara c;
    c.SetCell(0, 0);
    c.MoveToCell(0, 2, 0.5f);
    c.MoveToCell(0, 2, 0.5f);
    // Half of the way from (0.47, 0, 0.01) to (4.47, 0, 4.01).
    test3d::ExpectNear(c.GetPosition(), {2.47f, 0, 2.01f});
    EXPECT_EQ(c.MoveToCell(3, 0, 0.5f), 1); // another cell: back to the start
    EXPECT_EQ(c.MoveToCell(3, 0, 0.5f), 1); // the new start
    test3d::ExpectNear(c.GetPosition(), {2.47f, 0, 2.01f});
    EXPECT_EQ(c.MoveToCell(3, 0, 0.5f), 1);
    // The new glide starts from the creature's cell, not from where it was.
    test3d::ExpectNear(c.GetPosition(), {0.47f + 3.0f, 0, 0.01f - 3.0f});
    int calls = 0;
    while (c.MoveToCell(3, 0, 0.5f) != 0 && calls < 100)
        ++calls;
    EXPECT_LT(calls, 100);
    EXPECT_EQ(c.CellX(), 3);
}

TEST_F(CharaTest, GlideToACellWithoutFloorEndsAtOnce) {
    CChara c;
    c.SetCell(0, 0);
    EXPECT_EQ(c.MoveToCell(50, 50, 0.5f), 0);
    EXPECT_EQ(c.CellX(), 50);
}

TEST_F(CharaTest, AlphaReachesEveryAttachment) {
    CChara c;
    c.Create();
    c.SetAlpha(80);
    EXPECT_EQ(c.GetAlpha(), 80);
    for (CSceneObject* a : c.Attachments())
        EXPECT_EQ(a->GetAlpha(), 80);
}

TEST_F(CharaTest, NumberFloatsOverTheCreature) {
    CChara c;
    Place(c, 2, 2, "up");
    camera_.SetLookAt(8, 0, 0);
    camera_.SetEye(-2, 12, 10);
    c.NumberSprite()->SetNumber(25);
    c.NumberSprite()->Show(1);
    c.Update();
    const Vec3 top =
        Project({0, 1, 0}, Viewport{}, camera_.Projection(), camera_.View(), c.Placement());
    const auto& d = c.NumberSprite()->Digits();
    ASSERT_EQ(d.VisibleCount(), 2);
    // Two digits of 35 x 35 laid out around the projected point above the centre.
    EXPECT_NEAR(d.At(0).size.x, 35, 1e-3);
    EXPECT_NEAR(d.At(0).pos.y, top.y, 40);
    EXPECT_NEAR(d.At(0).pos.x, top.x, 80);
    dev_.ClearRecord();
    c.DrawNumber();
    EXPECT_EQ(dev_.Draws().size(), 2u);
}

TEST_F(CharaTest, VisitedCellsAndApproachTarget) {
    CChara e, p;
    EXPECT_EQ(e.GetApproachTarget(), nullptr);
    e.SetApproachTarget(&p);
    EXPECT_EQ(e.GetApproachTarget(), &p);
    e.AddVisited(1, 2);
    e.AddVisited(1, 3);
    EXPECT_EQ(e.IsVisited(1, 3), 1);
    EXPECT_EQ(e.IsVisited(3, 1), 0);
    e.ClearVisited();
    EXPECT_EQ(e.IsVisited(1, 3), 0);
}

TEST_F(CharaTest, BattleRulesAreReachedThroughTheCreature) {
    CChara a, t;
    a.SetCellValue(2, 1);
    t.SetCellValue(2, 2);
    t.SetDirectionValue("up"); // a is below it: behind
    EXPECT_TRUE(a.IsBehind(t));
    EXPECT_FALSE(a.IsBeside(t));
    a.SetAP(50);
    const int before = calendar_.reads;
    EXPECT_GE(a.RollDamage(t, "x", 0), 50);
    EXPECT_EQ(calendar_.reads, before + 1); // the stage's generator
    EXPECT_FALSE(a.HasRange(2));
}

} // namespace
