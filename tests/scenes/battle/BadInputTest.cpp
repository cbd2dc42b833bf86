// A battle on bad input still runs: a stage that cannot be read, more units
// than start cells.
#include "BattleFixture.h"

namespace quolis {
namespace {

using namespace testing_util;

class BadInput : public BattleFixture {};

TEST_F(BadInput, AStageThatFailsToLoadRunsOnTheDefaultFloor) {
    WriteData(1, 0);
    // No stage archive at all.
    EnterBattle("Missing.Dat");
    EXPECT_FALSE(D().stageLoaded);
    EXPECT_EQ(D().stage.floorWidth, 10);
    EXPECT_EQ(D().stage.floorDepth, 10);
    // The floor of the defaults is drawn and the battle is won as usual; a
    // stage that names no next stage leads back to the menu hub.
    EXPECT_EQ(D().floor.Floor().QuadCount(), 100u);
    ASSERT_GE(TapDecideUntilScene(kSceneMenu), 0);
}

TEST_F(BadInput, UnitsBeyondTheStartCellsStandOnTheFirstCell) {
    TestStage s;
    s.enemies = {"名前 野良Ａ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 1 アングル down 位置 a"};
    s.markers = {".....a", "......", "......", "......", "......", "..A..."};
    WriteData(0, 1);
    WriteStages({s});
    EnterBattle(s.name);
    ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    int onOrigin = 0;
    for (const auto& [name, unit] : D().stage.PlayerUnits) {
        onOrigin += CellOf(unit) == Cell{0, 0} ? 1 : 0;
    }
    EXPECT_EQ(onOrigin, 2);
    EXPECT_EQ(CellOf(D().stage.PlayerUnits.begin()->second), (Cell{2, 0}));
}

TEST_F(BadInput, AnEnemyWithoutAStartLetterCellStandsOnTheOrigin) {
    TestStage s;
    s.enemies = {"名前 野良Ａ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 1 アングル down 位置 z",
                 "名前 野良Ｂ タイプ 不明 合成回数 0 レベル 1 アングル down 位置 a"};
    s.markers = {".....a", "......", "......", "......", "......", "ABC..."};
    WriteData(0, 1);
    WriteStages({s});
    EnterBattle(s.name);
    ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    // The enemy of an unknown type was rejected; the other stands on (0, 0).
    ASSERT_EQ(D().stage.EnemyUnits.size(), 1u);
    EXPECT_EQ(CellOf(D().stage.EnemyUnits.begin()->second), (Cell{0, 0}));
}

} // namespace
} // namespace quolis
