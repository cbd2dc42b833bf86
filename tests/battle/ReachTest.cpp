#include "battle/Reach.h"
#include "BattleTestUtil.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace quolis {
namespace {
using namespace quolis::test;

std::int32_t Marked(const ReachGrid& g) {
    std::int32_t n = 0;
    for (std::int32_t y = 0; y < kGridSize; ++y) {
        for (std::int32_t x = 0; x < kGridSize; ++x) {
            n += g.At(x, y) > 0;
        }
    }
    return n;
}

TEST(FloodReach, MovementDiamondWithoutTheOwnCell) {
    StageData s;
    FlatFloor(s, 11, 11);
    const CharaValues c = Unit("p", 5, 5);
    ReachGrid g;
    FloodReach(s, g, c, 5, 5, c.MblP() + 1, kBlockPlayers | kBlockEnemies);
    g.Set(5, 5, 0); // the movement area leaves the own cell out
    EXPECT_EQ(Marked(g), 4 + 8 + 12);
    for (std::int32_t y = 0; y < 11; ++y) {
        for (std::int32_t x = 0; x < 11; ++x) {
            const std::int32_t d = std::abs(x - 5) + std::abs(y - 5);
            const std::int32_t want = d >= 1 && d <= 3 ? 4 - d : 0;
            EXPECT_EQ(g.At(x, y), want) << x << "," << y;
        }
    }
}

TEST(FloodReach, ClimbingLimitAndHoles) {
    StageData s;
    FlatFloor(s, 7, 3);
    CharaValues c = Unit("p", 0, 1);
    c.SetRiseP(1);
    // A wall two units high across column 2.
    for (std::int32_t y = 0; y < 3; ++y) {
        SetHeight(s, 2, y, 3);
    }
    ReachGrid g;
    FloodReach(s, g, c, 0, 1, 10, kBlockNone);
    EXPECT_EQ(g.At(1, 1), 9);
    EXPECT_EQ(g.At(2, 1), 0);
    EXPECT_EQ(g.At(3, 1), 0);
    // One unit higher is a step it can take.
    SetHeight(s, 2, 1, 2);
    g.Clear();
    FloodReach(s, g, c, 0, 1, 10, kBlockNone);
    EXPECT_EQ(g.At(2, 1), 8);
    EXPECT_EQ(g.At(3, 1), 7);
}

TEST(FloodReach, HolesAreWalkedAround) {
    StageData s;
    FlatFloor(s, 3, 3);
    SetHeight(s, 1, 1, 0);
    const CharaValues c = Unit("p", 0, 1);
    ReachGrid g;
    FloodReach(s, g, c, 0, 1, 10, kBlockNone);
    EXPECT_EQ(g.At(1, 1), 0);
    // Around the hole: (0,1) -> (0,2) -> (1,2) -> (2,2) -> (2,1).
    EXPECT_EQ(g.At(2, 1), 6);
}

TEST(FloodReach, BlockersPerCollection) {
    StageData s;
    FlatFloor(s, 5, 1);
    Put(s.FieldCores, Unit("core", 1, 0));
    Put(s.EnemyUnits, Unit("e", 3, 0));
    const CharaValues p = Unit("p", 0, 0);
    ReachGrid g;
    // A player's movement area: a lying core can be entered, a unit cannot.
    FloodReach(s, g, p, 0, 0, 5, kBlockPlayers | kBlockEnemies);
    EXPECT_EQ(g.At(1, 0), 4);
    EXPECT_EQ(g.At(2, 0), 3);
    EXPECT_EQ(g.At(3, 0), 0);
    EXPECT_EQ(g.At(4, 0), 0);
    // An enemy's movement area: cores block.
    g.Clear();
    FloodReach(s, g, p, 0, 0, 5, kBlockPlayers | kBlockEnemies | kBlockCores);
    EXPECT_EQ(g.At(1, 0), 0);
    // Floor objects block whatever the mask; units on the start do not matter.
    Put(s.FloorObjects, Unit("tree", 2, 0));
    Put(s.PlayerUnits, Unit("self", 0, 0));
    g.Clear();
    FloodReach(s, g, p, 0, 0, 5, kBlockPlayers);
    EXPECT_EQ(g.At(0, 0), 5);
    EXPECT_EQ(g.At(1, 0), 4);
    EXPECT_EQ(g.At(2, 0), 0);
}

TEST(FloodReach, OnlyRaisesAndStaysInsideTheGrid) {
    StageData s;
    FlatFloor(s, 100, 100);
    s.floorWidth = 250; // a corrupt size never leads outside the grid
    s.floorDepth = -3;
    const CharaValues c = Unit("p", 99, 99);
    ReachGrid g;
    FloodReach(s, g, c, 99, 99, 99, kBlockNone);
    EXPECT_EQ(g.At(99, 99), 99); // depth -3: no neighbour lies on the floor
    FloodReach(s, g, c, -1, 5, 99, kBlockNone);
    FloodReach(s, g, c, 100, 5, 99, kBlockNone);
    EXPECT_EQ(Marked(g), 1);
    s.floorWidth = 100;
    s.floorDepth = 100;
    g.Set(98, 99, 500);
    FloodReach(s, g, c, 99, 99, 99, kBlockNone);
    EXPECT_EQ(g.At(98, 99), 500);
    EXPECT_EQ(g.At(99, 98), 98);
    EXPECT_EQ(g.At(0, 0), 0);  // 198 steps away
    EXPECT_EQ(g.At(1, 99), 1); // 98 steps away
    EXPECT_EQ(g.At(0, 99), 0); // 99 steps away
}

TEST(BuildPath, TakesThePlusYNeighbourFirst) {
    StageData s;
    FlatFloor(s, 5, 5);
    const CharaValues c = Unit("p", 2, 2);
    ReachGrid g;
    FloodReach(s, g, c, 2, 2, c.MblP() + 1, kBlockPlayers | kBlockEnemies);
    g.Set(2, 2, 0);
    Path path;
    // (3, 1) is two steps away: through (3, 2) (+y) or (2, 1) (-x).
    BuildPath(s, g, c, 3, 1, c.MblP(), path);
    ASSERT_EQ(path.size(), 2u);
    EXPECT_EQ(path.front(), (Cell{3, 1}));
    EXPECT_EQ(path.back(), (Cell{3, 2}));
    // Three steps: the walk climbs one value per cell back to the first step.
    BuildPath(s, g, c, 0, 1, c.MblP(), path);
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path[1], (Cell{0, 2}));
    EXPECT_EQ(path[2], (Cell{1, 2}));
}

TEST(ApproachPath, GreedyWalkWithVisitedList) {
    StageData s;
    FlatFloor(s, 10, 3);
    CharaValues e = Unit("e", 0, 1);
    e.SetMblP(3);
    ReachGrid g;
    FloodReach(s, g, e, 0, 1, e.MblP() + 1, kBlockPlayers | kBlockEnemies | kBlockCores);
    Path path;
    ApproachPath(s, g, e, 0, 1, 9, 1, e.MblP(), path);
    ASSERT_EQ(path.size(), 3u);
    EXPECT_EQ(path.front(), (Cell{1, 1}));
    EXPECT_EQ(path.back(), (Cell{3, 1}));
    EXPECT_EQ(e.Visited().size(), 3u);

    // No steps at all with MblP 0.
    CharaValues still = Unit("s", 0, 1);
    still.SetMblP(0);
    ApproachPath(s, g, still, 0, 1, 9, 1, still.MblP(), path);
    EXPECT_TRUE(path.empty());
    EXPECT_TRUE(still.Visited().empty());
}

TEST(ApproachPath, ForgetsVisitedCellsWhenNothingElseIsLeft) {
    StageData s;
    FlatFloor(s, 2, 1);
    CharaValues e = Unit("e", 0, 0);
    ReachGrid g;
    FloodReach(s, g, e, 0, 0, 4, kBlockPlayers | kBlockEnemies | kBlockCores);
    Path path;
    // The only neighbour was stepped on before: the list is emptied and the
    // walk goes there, then back.
    e.Visited().emplace_back(1, 0);
    ApproachPath(s, g, e, 0, 0, 1, 0, 2, path);
    ASSERT_EQ(path.size(), 2u);
    EXPECT_EQ(path[0], (Cell{1, 0}));
    EXPECT_EQ(path[1], (Cell{0, 0}));
    ASSERT_EQ(e.Visited().size(), 2u);

    // A third step would re-enter a cell of the path: the walk stops there,
    // after emptying the list once more.
    e.Visited().clear();
    ApproachPath(s, g, e, 0, 0, 1, 0, 3, path);
    EXPECT_EQ(path.size(), 2u);
    EXPECT_TRUE(e.Visited().empty());
}

TEST(ApproachPath, NeverStepsOnEnemiesOrCores) {
    StageData s;
    FlatFloor(s, 3, 3);
    CharaValues e = Unit("e", 0, 1);
    Put(s.EnemyUnits, Unit("other", 1, 1));
    ReachGrid g;
    FloodReach(s, g, e, 0, 1, 4, kBlockPlayers | kBlockEnemies | kBlockCores);
    Path path;
    ApproachPath(s, g, e, 0, 1, 2, 1, 1, path);
    ASSERT_EQ(path.size(), 1u);
    EXPECT_EQ(path[0], (Cell{0, 2})); // +y before -y at equal distance
}

TEST(PlayerAreas, MoveAndAttackAreas) {
    StageData s;
    FlatFloor(s, 6, 1);
    CharaValues p = Unit("p", 0, 0);
    p.SetMblP(4);
    p.LearnArm(Arm("gun", 3, 10, 10));
    p.LearnArm(Arm("cannon", 5, 20, 40));
    Put(s.FieldCores, Unit("", 1, 0));
    Put(s.PlayerUnits, Unit("ally", 3, 0));
    ReachGrid g;
    PlayerMoveArea(s, g, p);
    EXPECT_EQ(g.At(0, 0), 0);
    EXPECT_EQ(g.At(1, 0), 4); // a lying core can be walked onto
    EXPECT_EQ(g.At(3, 0), 0);
    // Units do not bar an attack; a step above RiseP does.
    SetHeight(s, 5, 0, 3);
    AttackArea(s, g, p, 5, true);
    EXPECT_EQ(g.At(0, 0), 0);
    EXPECT_EQ(AttackDistance(g, 5, {4, 0}), 4);
    EXPECT_EQ(g.At(5, 0), 0);
    AttackArea(s, g, p, 1, false);
    EXPECT_EQ(g.At(0, 0), 2);
    EXPECT_EQ(g.At(2, 0), 0);

    // Largest usable range: MP 39 affords only the gun (range 3).
    p.SetMP(39);
    Put(s.EnemyUnits, Unit("far", 4, 0));
    EXPECT_FALSE(AnyEnemyInReach(s, g, p));
    p.SetMP(40);
    EXPECT_TRUE(AnyEnemyInReach(s, g, p));
}

TEST(Facing, TowardTheWaypoint) {
    EXPECT_EQ(FacingToward({1, 1}, {1, 2}, "left"), "up");
    EXPECT_EQ(FacingToward({1, 1}, {1, 0}, "left"), "down");
    EXPECT_EQ(FacingToward({1, 1}, {2, 1}, "left"), "right");
    EXPECT_EQ(FacingToward({1, 1}, {0, 1}, "up"), "left");
    EXPECT_EQ(FacingToward({1, 1}, {1, 1}, "left"), "left");
}

} // namespace
} // namespace quolis
