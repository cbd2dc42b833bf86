#include "battle/Attack.h"
#include "BattleTestUtil.h"
#include "common/Clock.h"
#include "data/Tokens.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {
using namespace quolis::test;

struct Bonus {
    DirectionBonus direction;
    HeightBonus height;
    BonusTables tables{&direction, &height};
    Bonus() {
        direction.BySide = {{1, 2}, {2, 3}};
        direction.ByRear = {{1, 4}, {2, 9}};
        height.ByUpper = {{1, 5}, {2, 7}};
        height.ByLower = {{1, -2}};
    }
};

TEST(Relations, RearAndSideByTheTargetsFacing) {
    const CharaValues up = Unit("t", 5, 5, "up");
    EXPECT_TRUE(IsBehindFrom({5, 3}, up));  // directly below
    EXPECT_FALSE(IsBehindFrom({5, 7}, up)); // in front
    EXPECT_FALSE(IsBehindFrom({4, 3}, up));
    EXPECT_TRUE(IsBesideFrom({1, 5}, up));
    EXPECT_FALSE(IsBesideFrom({5, 4}, up));

    const CharaValues left = Unit("t", 5, 5, "left");
    EXPECT_TRUE(IsBesideFrom({5, 9}, left)); // same column
    EXPECT_FALSE(IsBesideFrom({3, 5}, left));
    EXPECT_FALSE(IsBehindFrom({3, 5}, left)); // on its left: in front
    EXPECT_TRUE(IsBehindFrom({6, 5}, left));

    const CharaValues right = Unit("t", 5, 5, "right");
    EXPECT_TRUE(IsBehindFrom({2, 5}, right));
    const CharaValues down = Unit("t", 5, 5, "down");
    EXPECT_TRUE(IsBehindFrom({5, 8}, down));

    const CharaValues none = Unit("t", 5, 5, "");
    EXPECT_FALSE(IsBehindFrom({5, 3}, none));
    EXPECT_FALSE(IsBesideFrom({5, 3}, none));
    EXPECT_FALSE(IsBesideFrom({3, 5}, none));

    CharaValues c = Unit("c", 0, 0);
    c.SetRiseP(2);
    EXPECT_TRUE(IsAboveWithin(c, 3, 1));
    EXPECT_FALSE(IsAboveWithin(c, 4, 1));
    EXPECT_FALSE(IsAboveWithin(c, 1, 1));
}

TEST(AttackBonus, DirectionKeyedByDistanceAndHeightByDifference) {
    Bonus b;
    StageData s;
    FlatFloor(s, 10, 10);
    const CharaValues target = Unit("t", 5, 5, "up");
    CharaValues attacker = Unit("a", 5, 3);
    AttackBonusResult r = AttackBonus(s, b.tables, attacker, target, 2);
    EXPECT_EQ(r.directionLabel, S("後方攻撃"));
    EXPECT_EQ(r.direction, 9);
    EXPECT_EQ(r.height, 0);
    EXPECT_TRUE(r.heightLabel.empty());
    // A key beyond the table takes the greatest key's bonus.
    EXPECT_EQ(AttackBonus(s, b.tables, attacker, target, 5).direction, 9);

    SetHeight(s, 5, 3, 3);
    r = AttackBonus(s, b.tables, attacker, target, 1);
    EXPECT_EQ(r.heightLabel, S("下方攻撃"));
    EXPECT_EQ(r.height, 7); // ByUpper key 2
    EXPECT_EQ(r.Sum(), 4 + 7);

    // From an explicit cell, level with it across its line, from below.
    SetHeight(s, 2, 5, 1);
    SetHeight(s, 5, 5, 2);
    r = AttackBonus(s, b.tables, attacker, target, 3, CellPos{2, 0, 5});
    EXPECT_EQ(r.directionLabel, S("側方攻撃"));
    EXPECT_EQ(r.direction, 3);
    EXPECT_EQ(r.heightLabel, S("上方攻撃"));
    EXPECT_EQ(r.height, -2);
    // The target moved to an explicit cell keeps its facing.
    r = AttackBonus(s, b.tables, attacker, target, 1, kOwnCell, CellPos{5, 0, 4});
    EXPECT_EQ(r.directionLabel, S("後方攻撃"));
}

TEST(RollDamage, RangeOfTheRollAndNeverNegative) {
    FixedCalendar cal(1000);
    GameRandom random(&cal);
    CharaValues a = Unit("a", 0, 0);
    a.SetAP(30);
    a.SetLevel2(10);
    a.LearnArm(Arm("gun", 1, 20, 5));
    CharaValues t = Unit("t", 1, 0);
    t.SetDP(10);
    std::int32_t lo = 1000, hi = 0;
    for (std::int64_t sec = 0; sec < 300; ++sec) {
        cal.Set(sec * 7919);
        const std::int32_t d = RollDamage(random, a, t, "gun", 5);
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    }
    EXPECT_GE(lo, 122);
    EXPECT_LE(hi, 150);
    EXPECT_LT(lo, 130); // the roll really varies
    EXPECT_GT(hi, 140);

    CharaValues weak = Unit("w", 0, 0);
    weak.SetAP(10);
    weak.LearnArm(Arm("tap", 1, 0, 0));
    CharaValues armoured = Unit("t", 1, 0);
    armoured.SetDP(100);
    EXPECT_EQ(RollDamage(random, weak, armoured, "tap", 0), 0);
}

TEST(RollDamage, SameSecondSameRoll) {
    FixedCalendar cal(123456);
    GameRandom random(&cal);
    CharaValues a = Unit("a", 0, 0);
    a.SetAP(500);
    a.SetLevel2(30);
    a.LearnArm(Arm("gun", 1, 300, 5));
    const CharaValues t = Unit("t", 1, 0);
    const std::int32_t first = RollDamage(random, a, t, "gun", 3);
    random.Next(); // whatever happened in between
    EXPECT_EQ(RollDamage(random, a, t, "gun", 3), first);
    bool differs = false;
    for (int i = 1; i < 20 && !differs; ++i) {
        cal.Advance(1);
        differs = RollDamage(random, a, t, "gun", 3) != first;
    }
    EXPECT_TRUE(differs);
}

TEST(VaryRoll, NegativeValuesCollapseToTheUpperEnd) {
    GameRandom random;
    for (std::uint32_t seed : {1u, 77u, 4000000000u}) {
        random.Seed(seed);
        EXPECT_EQ(VaryRoll(random, -5, 1.0f, 1.2f), -6);
    }
}

TEST(Commands, RangesAndKillingCommand) {
    FixedCalendar cal(50);
    GameRandom random(&cal);
    CharaValues e = Unit("e", 0, 0);
    e.LearnArm(Arm("short", 1, 10, 5));
    e.LearnArm(Arm("long", 3, 1000, 10));
    e.SetMP(10);
    EXPECT_EQ(EnemyReach(e), 1); // MP equal to the cost does not count
    EXPECT_EQ(LargestUsableRange(e), 3);
    e.SetMP(11);
    EXPECT_EQ(EnemyReach(e), 3);
    e.SetMP(4);
    EXPECT_EQ(EnemyReach(e), 1);
    EXPECT_EQ(LargestUsableRange(e), 1);
    EXPECT_TRUE(HasRange(e, 3));
    EXPECT_FALSE(HasRange(e, 4));

    CharaValues t = Unit("t", 1, 0);
    t.SetHP(100);
    e.SetMP(10);
    // "short" cannot beat 100 HP with a fifth to spare; "long" can.
    EXPECT_EQ(ChooseKillingCommand(random, e, t, 1, 1, 1, 0), "long");
    EXPECT_EQ(ChooseKillingCommand(random, e, t, 4, 1, 1, 0), "");
    e.SetMP(9);
    EXPECT_EQ(ChooseKillingCommand(random, e, t, 1, 1, 1, 0), "");
    e.SetMP(10);
    e.SetRiseP(1);
    EXPECT_EQ(ChooseKillingCommand(random, e, t, 1, 3, 1, 0), "");
    // A fixed roll of 4 (AP 4, no power, no DP): it must beat 1.2 x HP.
    CharaValues fixed = Unit("x", 0, 0);
    fixed.SetAP(4);
    fixed.LearnArm(Arm("pin", 1, 0, 0));
    CharaValues soft = Unit("s", 1, 0);
    soft.SetHP(3);
    EXPECT_EQ(RollDamage(random, fixed, soft, "pin", 0), 4);
    EXPECT_EQ(ChooseKillingCommand(random, fixed, soft, 1, 1, 1, 0), "pin");
    soft.SetHP(4);
    EXPECT_EQ(ChooseKillingCommand(random, fixed, soft, 1, 1, 1, 0), "");
}

CharaMaster Master(int rate) {
    MAMaster arms;
    CharaMaster m;
    m.Parse(SplitTokens(
                S("／／名前 ＱＬ－３Ｅ QL3 敵 ＱＬ－１Ｅ QL1 敵 ＱＬ－２Ｅ QL2 敵 ／／名前終わり "
                  "／／コア出現率 ＱＬ－３Ｅ ＱＬ－１Ｅ ＱＬ－２Ｅ ／／ " +
                  std::to_string(rate) + " ／／ ／／コア出現率終わり")),
            arms);
    return m;
}

TEST(FinishAttack, BeatenEnemyPaysBPAndMayLeaveACore) {
    FixedCalendar cal(99);
    GameRandom random(&cal);
    StageData s;
    FlatFloor(s, 5, 5);
    CharaValues& p = Put(s.PlayerUnits, Unit("p", 0, 0));
    p.LearnArm(Arm("gun", 1, 10, 7));
    CharaValues enemy = Unit("e1", 3, 2);
    enemy.SetTypeName(S("ＱＬ－３Ｅ"));
    enemy.SetBP(40);
    enemy.SetLevel2(10);
    enemy.SetHP(0);
    Put(s.EnemyUnits, enemy);
    Put(s.EnemyUnits, Unit("e2", 4, 4));
    const CharaMaster always = Master(0);
    AttackOutcome out =
        FinishAttack(s, p, "gun", s.EnemyUnits.find("e1"), true, always, true, random);
    EXPECT_TRUE(out.beaten);
    EXPECT_TRUE(out.coreDropped);
    EXPECT_EQ(out.bpGained, 40);
    EXPECT_EQ(s.battleBP, 40);
    EXPECT_EQ(p.MP(), 43);
    EXPECT_TRUE(p.Moved() && p.Acted());
    EXPECT_EQ(s.EnemyUnits.size(), 1u);
    ASSERT_EQ(s.FieldCores.size(), 1u);
    const CharaValues& core = s.FieldCores.begin()->second;
    EXPECT_EQ(core.CoreFlag(), 1);
    EXPECT_EQ(CellOf(core), (Cell{3, 2}));
    EXPECT_EQ(core.TypeName(), S("ＱＬ－３"));

    // Types QL-1E and QL-2E never leave a core, even with the setting.
    for (const char* type : {"ＱＬ－１Ｅ", "ＱＬ－２Ｅ"}) {
        CharaValues e = Unit("x", 1, 1);
        e.SetTypeName(S(type));
        e.SetHP(0);
        Put(s.EnemyUnits, e);
        out = FinishAttack(s, p, "gun", s.EnemyUnits.find("x"), true, always, true, random);
        EXPECT_TRUE(out.beaten);
        EXPECT_FALSE(out.coreDropped);
    }
    EXPECT_EQ(s.FieldCores.size(), 1u);

    // Without the setting the rate decides: 0 never, 100 always.
    const CharaMaster never = Master(0);
    const CharaMaster sure = Master(100);
    for (std::int64_t t = 0; t < 10; ++t) {
        cal.Set(t * 1000 + 3);
        CharaValues e = Unit("y", 2, 2);
        e.SetTypeName(S("ＱＬ－３Ｅ"));
        e.SetHP(0);
        Put(s.EnemyUnits, e);
        EXPECT_FALSE(FinishAttack(s, p, "gun", s.EnemyUnits.find("y"), true, never, false, random)
                         .coreDropped);
        Put(s.EnemyUnits, e);
        EXPECT_TRUE(FinishAttack(s, p, "gun", s.EnemyUnits.find("y"), true, sure, false, random)
                        .coreDropped);
    }
}

TEST(FinishAttack, PlayerUnitLeavesAndSurvivorStays) {
    FixedCalendar cal(5);
    GameRandom random(&cal);
    StageData s;
    FlatFloor(s, 5, 5);
    CharaValues& e = Put(s.EnemyUnits, Unit("e", 0, 0));
    e.LearnArm(Arm("claw", 1, 10, 60)); // dearer than its MP: paid down to 0
    Put(s.PlayerUnits, Unit("p1", 1, 0)).SetHP(1);
    Put(s.PlayerUnits, Unit("p2", 2, 0)).SetHP(0);
    const CharaMaster m = Master(0);
    AttackOutcome out =
        FinishAttack(s, e, "claw", s.PlayerUnits.find("p1"), false, m, false, random);
    EXPECT_FALSE(out.beaten);
    EXPECT_EQ(e.MP(), 0);
    out = FinishAttack(s, e, "claw", s.PlayerUnits.find("p2"), false, m, false, random);
    EXPECT_TRUE(out.beaten);
    EXPECT_EQ(s.PlayerUnits.size(), 1u);
    EXPECT_EQ(s.battleBP, 0);
    EXPECT_TRUE(s.FieldCores.empty());
}

} // namespace
} // namespace quolis
