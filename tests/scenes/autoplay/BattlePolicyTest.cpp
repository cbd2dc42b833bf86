// The autoplayer's battle decisions on plain figures: the damage it expects,
// which attack it takes, where it walks and how it steers the cursor.
#include "scenes/autoplay/BattlePolicy.h"

#include "input/Input.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quolis {
namespace {

PlayUnit Unit(Cell cell, std::int32_t hp, std::int32_t ap, std::int32_t dp,
              std::vector<PlayArm> arms = {}, std::int32_t mp = 10, std::int32_t level = 0) {
    PlayUnit u;
    u.cell = cell;
    u.hp = hp;
    u.mp = mp;
    u.ap = ap;
    u.dp = dp;
    u.level = level;
    u.arms = std::move(arms);
    return u;
}

const PlayArm kBite{"bite", 1, 10, 0};
const PlayArm kBlast{"blast", 3, 40, 5};

TEST(AutoplayDamage, LeastAndMeanFollowTheRollsBoundsAndTheLevel) {
    const PlayUnit a = Unit({0, 0}, 10, 20, 0, {}, 10, 0);
    const PlayUnit t = Unit({1, 0}, 10, 0, 10);
    // Least: AP + power at x1, defence at x0.8: 20 + 10 - 8.
    EXPECT_EQ(LeastDamage(a, kBite, t), 22);
    // Mean: (20 + 10) * 1.1 - 10 * 0.7 = 26.
    EXPECT_EQ(MeanDamage(a, kBite, t), 26);
    // Level 10 scales the power by 4: 20 + 40 - 8.
    PlayUnit strong = a;
    strong.level = 10;
    EXPECT_EQ(LeastDamage(strong, kBite, t), 52);
    // A defence above the attack gives 0, never less.
    const PlayUnit wall = Unit({1, 0}, 10, 0, 1000);
    EXPECT_EQ(LeastDamage(a, kBite, wall), 0);
    EXPECT_EQ(MeanDamage(a, kBite, wall), 0);
}

TEST(AutoplayReach, CommandsReachByCellStepsAndNeverTheOwnCell) {
    EXPECT_EQ(CellSteps({1, 1}, {4, 3}), 5);
    EXPECT_TRUE(ArmReaches(kBite, {2, 2}, {2, 3}));
    EXPECT_FALSE(ArmReaches(kBite, {2, 2}, {3, 3})); // diagonal: two steps
    EXPECT_FALSE(ArmReaches(kBite, {2, 2}, {2, 2}));
    EXPECT_TRUE(ArmReaches(kBlast, {0, 0}, {1, 2}));
    EXPECT_FALSE(ArmReaches(kBlast, {0, 0}, {2, 2}));
}

TEST(AutoplayAttack, AKillingBlowBeatsMoreDamageElsewhere) {
    const PlayUnit me = Unit({0, 0}, 50, 20, 5, {kBite, kBlast});
    // The weak enemy dies to the bite; the strong one takes more from the
    // blast but survives it.
    const std::vector<PlayUnit> enemies{Unit({0, 1}, 500, 0, 0), Unit({1, 0}, 15, 0, 0)};
    const AttackPlan plan = ChooseAttackByDistance(me, enemies);
    ASSERT_TRUE(plan.Valid());
    EXPECT_TRUE(plan.kill);
    EXPECT_EQ(plan.target, 1);
    EXPECT_EQ(plan.arm, 0); // the free bite: the cheapest killing blow
}

TEST(AutoplayAttack, WithoutAKillTheMostDamagePerMpPointWins) {
    // The blast deals (20 + 40) * 1.1 = 66 for 5 MP (13.2 a point); the bite
    // (20 + 10) * 1.1 = 33 for nothing (counted as one point).
    const PlayUnit me = Unit({0, 0}, 50, 20, 5, {kBlast, kBite});
    const std::vector<PlayUnit> enemies{Unit({0, 1}, 1000, 0, 0)};
    AttackPlan plan = ChooseAttackByDistance(me, enemies);
    ASSERT_TRUE(plan.Valid());
    EXPECT_FALSE(plan.kill);
    EXPECT_EQ(plan.arm, 1);
    EXPECT_EQ(plan.damage, 33);
    // A costly command that pays off: power 400 for 5 MP is 88 a point.
    const PlayUnit heavy = Unit({0, 0}, 50, 20, 5, {{"nova", 1, 400, 5}, kBite});
    plan = ChooseAttackByDistance(heavy, enemies);
    EXPECT_EQ(plan.arm, 0);
}

TEST(AutoplayAttack, UnpaidCommandsBeatenEnemiesAndOutOfReachAreNoChoice) {
    const PlayUnit poor = Unit({0, 0}, 50, 20, 5, {kBlast}, /*mp=*/4);
    const std::vector<PlayUnit> near{Unit({0, 1}, 100, 0, 0)};
    EXPECT_FALSE(ChooseAttackByDistance(poor, near).Valid());
    const PlayUnit me = Unit({0, 0}, 50, 20, 5, {kBite});
    EXPECT_FALSE(ChooseAttackByDistance(me, {Unit({0, 1}, 0, 0, 0)}).Valid());
    EXPECT_FALSE(ChooseAttackByDistance(me, {Unit({0, 2}, 10, 0, 0)}).Valid());
    // The reach test decides, not the distance: the red area on screen.
    const std::vector<PlayUnit> two{Unit({0, 1}, 10, 0, 0), Unit({5, 5}, 10, 0, 0)};
    const AttackPlan plan = ChooseAttack(me, two, [](int, int e) { return e == 1; });
    ASSERT_TRUE(plan.Valid());
    EXPECT_EQ(plan.target, 1);
}

TEST(AutoplayMove, WalksToTheCellWithTheBestAttack) {
    const PlayUnit me = Unit({0, 0}, 50, 20, 5, {kBite});
    const std::vector<PlayUnit> enemies{Unit({3, 0}, 1000, 0, 0), Unit({0, 3}, 10, 0, 0)};
    // (2, 0) reaches the strong enemy, (0, 2) the weak one it can beat.
    const std::vector<Cell> reachable{{1, 0}, {2, 0}, {0, 1}, {0, 2}};
    const Cell c = ChooseMoveCell(me, reachable, enemies, {});
    EXPECT_EQ(c, (Cell{0, 2}));
}

TEST(AutoplayMove, AmongEqualAttacksACoreThenDistanceFromTheEnemiesDecide) {
    const PlayUnit archer = Unit({0, 0}, 50, 20, 5, {{"bow", 3, 10, 0}});
    const std::vector<PlayUnit> enemies{Unit({4, 0}, 1000, 0, 0)};
    // Every cell reaches the enemy; the farthest is the safest.
    const std::vector<Cell> reachable{{3, 0}, {2, 0}, {1, 0}};
    EXPECT_EQ(ChooseMoveCell(archer, reachable, enemies, {}), (Cell{1, 0}));
    // A core lying on a cell of the same attack is picked up.
    EXPECT_EQ(ChooseMoveCell(archer, reachable, enemies, {{2, 0}}), (Cell{2, 0}));
}

TEST(AutoplayMove, WithoutAnAttackItClosesInOnTheNearestEnemy) {
    const PlayUnit me = Unit({0, 0}, 50, 20, 5, {kBite});
    const std::vector<PlayUnit> enemies{Unit({9, 9}, 10, 0, 0), Unit({0, 6}, 10, 0, 0),
                                        Unit({0, 3}, 0, 0, 0)}; // the last one is beaten
    const std::vector<Cell> reachable{{1, 0}, {0, 1}, {2, 0}, {0, 2}, {1, 1}};
    EXPECT_EQ(ChooseMoveCell(me, reachable, enemies, {}), (Cell{0, 2}));
    // Nothing better than where it stands, nothing reachable, nobody left:
    // it stays.
    EXPECT_EQ(ChooseMoveCell(me, {{1, 0}}, {Unit({0, 2}, 10, 0, 0)}, {}), (Cell{0, 0}));
    EXPECT_EQ(ChooseMoveCell(me, {}, enemies, {}), (Cell{0, 0}));
    EXPECT_EQ(ChooseMoveCell(me, reachable, {Unit({0, 6}, 0, 0, 0)}, {}), (Cell{0, 0}));
}

TEST(AutoplayMove, WithoutAnAttackACoreWithinTheWalkIsPickedUpFirst) {
    const PlayUnit me = Unit({0, 0}, 50, 20, 5, {kBite});
    const std::vector<PlayUnit> enemies{Unit({0, 6}, 10, 0, 0)};
    const std::vector<Cell> reachable{{1, 0}, {0, 1}, {2, 0}, {0, 2}, {1, 1}};
    // The core lies away from the enemy: it is still taken.
    EXPECT_EQ(ChooseMoveCell(me, reachable, enemies, {{2, 0}}), (Cell{2, 0}));
    // A core out of the walk changes nothing.
    EXPECT_EQ(ChooseMoveCell(me, reachable, enemies, {{5, 0}}), (Cell{0, 2}));
    // A cautious unit does not walk into the enemies' strike for it.
    std::vector<PlayUnit> near{Unit({4, 0}, 10, 0, 0, {kBite})};
    near[0].mblP = 3; // strikes up to 4 cells away
    EXPECT_EQ(ChooseMoveCell(me, {{1, 0}, {2, 0}, {0, 1}}, near, {{2, 0}}, true), (Cell{0, 1}));
}

TEST(AutoplayMove, ACautiousUnitWaitsOutsideTheEnemiesStrike) {
    const PlayUnit me = Unit({0, 0}, 50, 20, 5, {kBite});
    PlayUnit enemy = Unit({0, 8}, 10, 0, 0, {kBite, kBlast}, /*mp=*/5);
    enemy.mblP = 3;
    // It strikes up to 3 + 3 cells (the blast is paid for).
    const std::vector<PlayUnit> enemies{enemy};
    EXPECT_EQ(Threats({0, 2}, enemies), 1);
    EXPECT_EQ(Threats({0, 1}, enemies), 0);
    PlayUnit poor = enemy;
    poor.mp = 4; // without the blast: 3 + 1
    EXPECT_EQ(Threats({0, 3}, {poor}), 0);
    EXPECT_EQ(Threats({0, 4}, {poor}), 1);
    const std::vector<Cell> reachable{{0, 1}, {0, 2}, {0, 3}};
    // Bold: straight at it; cautious: the nearest cell out of its strike.
    EXPECT_EQ(ChooseMoveCell(me, reachable, enemies, {}, false), (Cell{0, 3}));
    EXPECT_EQ(ChooseMoveCell(me, reachable, enemies, {}, true), (Cell{0, 1}));
    // Already struck wherever it goes: the fewest threats, then nearer.
    PlayUnit second = enemy;
    second.cell = {2, 3};
    const Cell c = ChooseMoveCell(me, reachable, {enemy, second}, {}, true);
    EXPECT_EQ(c, (Cell{0, 1}));
    EXPECT_EQ(Threats(c, {enemy, second}), 1);
}

PlayFloor Floor(const std::vector<std::string>& rows) {
    // Digits are heights, '#' a floor object on height 1.
    PlayFloor f;
    f.depth = static_cast<std::int32_t>(rows.size());
    f.width = static_cast<std::int32_t>(rows.front().size());
    for (const std::string& row : rows) {
        for (char c : row) {
            f.heights.push_back(c == '#' ? 1 : c - '0');
            f.blocked.push_back(c == '#');
        }
    }
    return f;
}

TEST(AutoplayWalk, StepsGoAroundHolesObjectsAndCliffs) {
    // Row 0 is y = 0. A wall of objects and a hole between the walker's
    // side and the goal, with a way round on the right; a cliff (height 5)
    // that a climber of 1 cannot take.
    const PlayFloor f = Floor({"11111", "##0#1", "11111", "15555"});
    const std::vector<std::int32_t> steps = WalkSteps(f, {{0, 2}}, 1);
    auto at = [&](int x, int y) { return steps[static_cast<std::size_t>(f.Index({x, y}))]; };
    EXPECT_EQ(at(0, 2), 0);
    EXPECT_EQ(at(4, 2), 4);
    EXPECT_EQ(at(0, 0), 10); // round by (4, 1)
    EXPECT_EQ(at(2, 1), -1); // the hole
    EXPECT_EQ(at(0, 1), -1); // an object
    EXPECT_EQ(at(1, 3), -1); // the cliff
    // A climber of 4 takes the cliff.
    const std::vector<std::int32_t> climb = WalkSteps(f, {{0, 2}}, 4);
    EXPECT_EQ(climb[static_cast<std::size_t>(f.Index({1, 3}))], 2);
    // A floor without its tables reaches nothing.
    PlayFloor broken = f;
    broken.heights.clear();
    const std::vector<std::int32_t> none = WalkSteps(broken, {{0, 2}}, 1);
    EXPECT_TRUE(std::all_of(none.begin(), none.end(), [](std::int32_t v) { return v < 0; }));
}

TEST(AutoplayMove, OnFootTheUnitTakesTheWayRoundAWall) {
    // The enemy is straight across a wall: by the cells the left cell is
    // nearer, on foot the right one is.
    const PlayFloor f = Floor({"11111", "###11", "11111"});
    PlayUnit me = Unit({1, 0}, 50, 20, 5, {kBite});
    me.riseP = 1;
    const std::vector<PlayUnit> enemies{Unit({0, 2}, 10, 0, 0)};
    const std::vector<Cell> reachable{{0, 0}, {2, 0}};
    EXPECT_EQ(ChooseMoveCell(me, reachable, enemies, {}), (Cell{0, 0}));
    EXPECT_EQ(ChooseMoveCell(me, reachable, enemies, {}, false, &f), (Cell{2, 0}));
}

TEST(AutoplayMove, NoAttackIsCountedUpACliffTheUnitCannotClimb) {
    // The enemy stands on a plateau (height 3) beside low ground (1): by the
    // cells the low cell next to it is an attack; on foot the ramp (2)
    // below it is the only way to reach it.
    const PlayFloor f = Floor({"1133", "1233", "1111"});
    PlayUnit me = Unit({0, 2}, 50, 20, 5, {kBite});
    me.riseP = 1;
    const std::vector<PlayUnit> enemies{Unit({2, 0}, 10, 0, 0)};
    PlayUnit beside = me;
    beside.cell = {1, 0};
    EXPECT_TRUE(ChooseAttackByDistance(beside, enemies).Valid());
    EXPECT_FALSE(ChooseAttackOnFloor(beside, enemies, &f).Valid());
    PlayUnit onRamp = me;
    onRamp.cell = {1, 1};
    EXPECT_FALSE(ChooseAttackOnFloor(onRamp, enemies, &f).Valid()); // two steps
    PlayUnit below = me;
    below.cell = {2, 1};
    EXPECT_TRUE(ChooseAttackOnFloor(below, enemies, &f).Valid());
    // Walking: the cell beside the cliff is no attack; the plateau edge is.
    const std::vector<Cell> reachable{{1, 0}, {2, 1}};
    EXPECT_EQ(ChooseMoveCell(me, reachable, enemies, {}), (Cell{1, 0}));
    EXPECT_EQ(ChooseMoveCell(me, reachable, enemies, {}, false, &f), (Cell{2, 1}));
}

TEST(AutoplayCursor, TheKeyFollowsTheCameraPreset) {
    // At 0 up is +y, at 90 up is +x, at 180 up is -y, at 270 up is -x.
    EXPECT_EQ(CursorKeyToward({2, 2}, {2, 5}, 0), kInputUp);
    EXPECT_EQ(CursorKeyToward({2, 2}, {2, 5}, 180), kInputDown);
    EXPECT_EQ(CursorKeyToward({2, 2}, {5, 2}, 90), kInputUp);
    EXPECT_EQ(CursorKeyToward({2, 2}, {0, 2}, 270), kInputUp);
    EXPECT_EQ(CursorKeyToward({2, 2}, {2, 2}, 0), -1);
    // Walking the keys it gives reaches the goal under every preset.
    for (int angle = 0; angle < 360; angle += 45) {
        Cell c{1, 7};
        const Cell goal{6, 2};
        int steps = 0;
        for (int key; (key = CursorKeyToward(c, goal, angle)) >= 0 && steps < 50; ++steps) {
            const CursorKey k = key == kInputUp     ? CursorKey::Up
                                : key == kInputDown ? CursorKey::Down
                                : key == kInputLeft ? CursorKey::Left
                                                    : CursorKey::Right;
            const Cell s = CursorStep(angle, k);
            c = {c.x + s.x, c.y + s.y};
        }
        EXPECT_EQ(c, goal) << "angle " << angle;
        EXPECT_EQ(steps, 10) << "angle " << angle;
    }
}

} // namespace
} // namespace quolis
