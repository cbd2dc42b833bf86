#include "battle/EnemyTurn.h"
#include "BattleTestUtil.h"
#include "common/Clock.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {
using namespace quolis::test;

class EnemyTurnTest : public ::testing::Test {
protected:
    EnemyTurnTest() : random(&cal) { FlatFloor(stage, 10, 10); }

    EnemyTurn Turn() { return EnemyTurn(stage, {&direction, &height}, master, false, random); }

    CharaValues& Enemy(const std::string& name, std::int32_t x, std::int32_t y) {
        CharaValues c = Unit(name, x, y, "down");
        c.LearnArm(Arm("bite", 1, 10, 5));
        return Put(stage.EnemyUnits, c);
    }
    CharaValues& Player(const std::string& name, std::int32_t x, std::int32_t y,
                        std::int32_t level2, const std::string& facing = "up") {
        CharaValues c = Unit(name, x, y, facing);
        c.SetLevel2(level2);
        return Put(stage.PlayerUnits, c);
    }

    FixedCalendar cal{4242};
    GameRandom random;
    StageData stage;
    DirectionBonus direction;
    HeightBonus height;
    CharaMaster master;
};

TEST_F(EnemyTurnTest, OutOfReachItWalksWithoutAttacking) {
    Enemy("e", 0, 0);
    CharaValues& p = Player("p", 9, 0, 1);
    EnemyTurn turn = Turn();
    turn.Begin();
    ASSERT_EQ(turn.CheckNext(), EnemyTurn::Check::Act);
    const EnemyDecision d = turn.Decide();
    EXPECT_EQ(d.outcome, EnemyOutcome::Approach);
    EXPECT_EQ(d.target, nullptr);
    EXPECT_EQ(d.approachTarget, &p);
    ASSERT_EQ(d.approachPath.size(), 3u);
    EXPECT_EQ(d.approachPath.back(), (Cell{3, 0}));
    const EnemyActionResult r = turn.Play(d);
    EXPECT_FALSE(r.attacked);
    const CharaValues& e = stage.EnemyUnits.begin()->second;
    EXPECT_EQ(CellOf(e), (Cell{3, 0}));
    EXPECT_EQ(e.Direction(), "right");
    EXPECT_EQ(e.MP(), 50);
    EXPECT_EQ(p.HP(), 100);
    EXPECT_EQ(e.Visited().size(), 3u);
    turn.Next();
    // The only enemy has acted: the turn ends and the flags are cleared.
    EXPECT_EQ(turn.CheckNext(), EnemyTurn::Check::TurnOver);
    EXPECT_FALSE(e.Moved() || e.Acted());
}

TEST_F(EnemyTurnTest, HigherLevelChosenOverAKillableLowerOne) {
    CharaValues& e = Enemy("e", 5, 5);
    e.LearnArm(Arm("fang", 1, 40, 5));
    // The enemy stands behind the level 9 unit; the level 5 one it faces.
    CharaValues& weak = Player("weak", 5, 6, 5, "left");
    weak.SetHP(1);
    CharaValues& strong = Player("strong", 4, 5, 9, "left");
    strong.SetMaxHP(99999);
    strong.SetHP(99999);
    EnemyTurn turn = Turn();
    turn.Begin();
    ASSERT_EQ(turn.CheckNext(), EnemyTurn::Check::Act);
    const EnemyDecision d = turn.Decide();
    EXPECT_EQ(d.target, &strong);
    EXPECT_EQ(d.outcome, EnemyOutcome::AttackHere);
    EXPECT_TRUE(d.chosenCommand.empty());
    // The fallback: the strongest affordable command reaching it.
    EXPECT_EQ(d.attackCommand, "fang");
    EXPECT_EQ(d.attackDistance, 1);
    const EnemyActionResult r = turn.Play(d);
    EXPECT_TRUE(r.attacked);
    EXPECT_EQ(strong.HP(), 99999 - r.damage);
    EXPECT_EQ(weak.HP(), 1);
    EXPECT_EQ(e.MP(), 45);
}

TEST_F(EnemyTurnTest, MovesBehindWhenThatKillsEvenIfTheFrontWouldToo) {
    // The player faces "up": the cell in front of it is (5, 6), behind it (5, 4).
    CharaValues& e = Enemy("e", 5, 6);
    e.SetMblP(4);
    e.LearnArm(Arm("fang", 1, 200, 5));
    CharaValues& p = Player("p", 5, 5, 3, "up");
    p.SetHP(100);
    direction.ByRear = {{1, 50}};
    EnemyTurn turn = Turn();
    turn.Begin();
    ASSERT_EQ(turn.CheckNext(), EnemyTurn::Check::Act);
    const EnemyDecision d = turn.Decide();
    EXPECT_EQ(d.outcome, EnemyOutcome::MoveThenAttack);
    EXPECT_EQ(d.chosenPass, 5);
    EXPECT_EQ(d.chosenCommand, "fang");
    EXPECT_EQ(d.bestCell, (Cell{5, 4}));
    EXPECT_EQ(d.attackCell, (Cell{5, 4}));
    EXPECT_EQ(d.bonus.directionLabel, S("後方攻撃"));
    EXPECT_EQ(d.bonus.direction, 50);
    // A shortest walk around the player: 4 steps, destination at the front.
    ASSERT_EQ(d.movePath.size(), 4u);
    EXPECT_EQ(d.movePath.front(), (Cell{5, 4}));
    const EnemyActionResult r = turn.Play(d);
    EXPECT_EQ(CellOf(e), (Cell{5, 4}));
    EXPECT_TRUE(r.attacked);
    EXPECT_TRUE(r.attack.beaten);
    EXPECT_TRUE(stage.PlayerUnits.empty());
    turn.Next();
    EXPECT_EQ(turn.CheckNext(), EnemyTurn::Check::Defeat);
}

TEST_F(EnemyTurnTest, MPEqualToTheCostDoesNotCountForTheReach) {
    CharaValues& e = Enemy("e", 0, 0);
    e.SetMblP(0);
    e.LearnArm(Arm("lance", 3, 30, 10));
    e.SetMP(10);
    Player("p", 3, 0, 1);
    EnemyTurn turn = Turn();
    turn.Begin();
    ASSERT_EQ(turn.CheckNext(), EnemyTurn::Check::Act);
    EnemyDecision d = turn.Decide();
    EXPECT_EQ(d.reach, 1);
    EXPECT_EQ(d.outcome, EnemyOutcome::Approach);
    EXPECT_TRUE(d.approachPath.empty()); // MblP 0

    e.SetMP(11);
    d = turn.Decide();
    EXPECT_EQ(d.reach, 3);
    EXPECT_EQ(d.outcome, EnemyOutcome::AttackHere);
    EXPECT_EQ(d.attackCommand, "lance");
    EXPECT_EQ(d.attackDistance, 3);
}

TEST_F(EnemyTurnTest, NoAffordableCommandEndsWithoutAttacking) {
    CharaValues& e = Enemy("e", 5, 5);
    e.SetMP(0);
    CharaValues& p = Player("p", 5, 6, 1);
    EnemyTurn turn = Turn();
    turn.Begin();
    ASSERT_EQ(turn.CheckNext(), EnemyTurn::Check::Act);
    const EnemyDecision d = turn.Decide();
    EXPECT_EQ(d.outcome, EnemyOutcome::AttackHere);
    EXPECT_EQ(d.target, &p);
    EXPECT_TRUE(d.attackCommand.empty());
    const EnemyActionResult r = turn.Play(d);
    EXPECT_FALSE(r.attacked);
    EXPECT_EQ(p.HP(), 100);
    EXPECT_TRUE(e.Moved() && e.Acted());
}

TEST_F(EnemyTurnTest, NoStepPossible) {
    CharaValues& e = Enemy("e", 0, 0);
    Enemy("f", 1, 0).SetMblP(0);
    Put(stage.FieldCores, Unit("", 0, 1));
    Player("p", 9, 9, 1);
    EnemyTurn turn = Turn();
    turn.Begin();
    ASSERT_EQ(turn.CheckNext(), EnemyTurn::Check::Act);
    ASSERT_EQ(turn.Acting(), &e);
    const EnemyDecision d = turn.Decide();
    EXPECT_EQ(d.outcome, EnemyOutcome::NoStep);
}

TEST_F(EnemyTurnTest, OrderOfActionNearestUnfinishedNext) {
    for (auto [name, x] : {std::pair{"b", 0}, std::pair{"a", 5}, std::pair{"c", 1}}) {
        Enemy(name, x, 0).SetMblP(0);
    }
    Player("p", 9, 9, 1);
    EnemyTurn turn = Turn();
    std::vector<EnemyTurnRecord> log;
    EXPECT_EQ(RunEnemyTurn(turn, &log), EnemyTurn::Check::TurnOver);
    ASSERT_EQ(log.size(), 3u);
    EXPECT_EQ(log[0].decision.enemyName, "a");
    EXPECT_EQ(log[1].decision.enemyName, "c");
    EXPECT_EQ(log[2].decision.enemyName, "b");
}

TEST_F(EnemyTurnTest, EnemiesNamedAlikeBothActAndDefeatEndsTheTurn) {
    Enemy("twin", 0, 0);
    Enemy("twin", 0, 9);
    Player("p", 9, 5, 1);
    EnemyTurn turn = Turn();
    std::vector<EnemyTurnRecord> log;
    EXPECT_EQ(RunEnemyTurn(turn, &log), EnemyTurn::Check::TurnOver);
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0].decision.from, (Cell{0, 0}));
    EXPECT_EQ(log[1].decision.from, (Cell{0, 9}));

    stage.PlayerUnits.begin()->second.SetHP(0);
    log.clear();
    EXPECT_EQ(RunEnemyTurn(turn, &log), EnemyTurn::Check::Defeat);
    EXPECT_TRUE(log.empty());
}

TEST_F(EnemyTurnTest, TargetListVisitsLatestNameFirstAmongEqualLevels) {
    CharaValues& e = Enemy("e", 5, 5);
    e.SetMblP(0);
    // Both face away from the enemy's lines: only the last pass takes them.
    CharaValues& a = Player("a", 5, 6, 4, "down");
    CharaValues& b = Player("b", 4, 5, 4, "right");
    a.SetHP(99999);
    b.SetHP(99999);
    EnemyTurn turn = Turn();
    turn.Begin();
    ASSERT_EQ(turn.CheckNext(), EnemyTurn::Check::Act);
    const EnemyDecision d = turn.Decide();
    EXPECT_EQ(d.target, &b);
    EXPECT_EQ(d.chosenPass, 10);
}

TEST_F(EnemyTurnTest, AttacksFromAboveBehindFirst) {
    // Pass 0: behind the target and above it within RiseP, from where it stands.
    CharaValues& e = Enemy("e", 5, 4);
    e.LearnArm(Arm("fang", 1, 500, 5));
    SetHeight(stage, 5, 4, 2);
    CharaValues& p = Player("p", 5, 5, 2, "up");
    EnemyTurn turn = Turn();
    turn.Begin();
    ASSERT_EQ(turn.CheckNext(), EnemyTurn::Check::Act);
    const EnemyDecision d = turn.Decide();
    EXPECT_EQ(d.chosenPass, 0);
    EXPECT_EQ(d.target, &p);
    EXPECT_EQ(d.chosenCommand, "fang");
    EXPECT_EQ(d.outcome, EnemyOutcome::AttackHere);
    EXPECT_EQ(d.bonus.heightLabel, S("下方攻撃"));
}

TEST_F(EnemyTurnTest, AttackAreaIsLeftInTheReachGrid) {
    // No command kills the target, so all twelve passes run and the attack
    // uses the fallback command; its area (range 3 + 1 points, nothing
    // blocking) is what the battle shows in red, in the reach grid.
    CharaValues& e = Enemy("e", 0, 0);
    e.SetMblP(0);
    e.LearnArm(Arm("lance", 3, 1, 5));
    CharaValues& p = Player("p", 3, 0, 1, "left"); // faces the enemy
    p.SetHP(99999);
    Put(stage.FieldCores, Unit("core", 1, 1)); // blocks the passes, not the attack area
    EnemyTurn turn = Turn();
    turn.Begin();
    ASSERT_EQ(turn.CheckNext(), EnemyTurn::Check::Act);
    const EnemyDecision d = turn.Decide();
    ASSERT_EQ(d.outcome, EnemyOutcome::AttackHere);
    EXPECT_EQ(d.attackCommand, "lance");
    EXPECT_EQ(d.attackDistance, 3);
    const ReachGrid& red = turn.GetReachGrid();
    EXPECT_EQ(red.At(1, 0), 3);
    EXPECT_EQ(red.At(2, 0), 2);
    EXPECT_EQ(red.At(3, 0), 1); // the target's cell
    EXPECT_EQ(red.At(1, 1), 2); // the core's cell
    EXPECT_EQ(red.At(1, 2), 1);
    EXPECT_EQ(red.At(4, 0), 0);
    EXPECT_EQ(red.At(2, 2), 0);
}

TEST_F(EnemyTurnTest, TargetListIsKeyedByAbsoluteLevelNotLevel) {
    // "a" is fused once at level 2 (absolute level 21); "b" is unfused at
    // level 15 (absolute level 15). Neither can be killed and both stand in
    // front of the enemy, so only pass 10 takes them, highest key first.
    CharaValues& e = Enemy("e", 5, 5);
    e.SetMblP(0);
    CharaValues& a = Player("a", 5, 6, 21, "down");
    a.SetFusionCount(1);
    a.SetLevel(2);
    CharaValues& b = Player("b", 4, 5, 15, "right");
    b.SetLevel(15);
    a.SetHP(99999);
    b.SetHP(99999);
    EnemyTurn turn = Turn();
    turn.Begin();
    ASSERT_EQ(turn.CheckNext(), EnemyTurn::Check::Act);
    const EnemyDecision d = turn.Decide();
    EXPECT_EQ(d.target, &a);
    EXPECT_EQ(d.chosenPass, 10);
    EXPECT_EQ(d.attackCommand, "bite");
}

} // namespace
} // namespace quolis
