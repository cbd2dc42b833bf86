// The player's turn driven by keys: attacks without moving, moves that end a
// unit's turn, the attack-only menu after a move, "ターン終了", the core case
// question, the pause during an attack, and defeat with the retry.
#include "BattleFixture.h"
#include "manage/Roster.h"

namespace quolis {
namespace {

using namespace testing_util;

class PlayerTurn : public BattleFixture {
protected:
    // Squad of the new-game data in name order: ウルフ1 (A), ホーネット1 (B),
    // ライノ1 (C).
    CharaValues& Unit(const char* utf8) {
        auto it = D().stage.PlayerUnits.find(SJ_(utf8));
        EXPECT_NE(it, D().stage.PlayerUnits.end());
        return it->second;
    }
    static std::string SJ_(const char* utf8) { return Utf8ToCp932(utf8); }

    void StartOn(const TestStage& s, int flagMsg = 0) {
        WriteData(flagMsg, 1);
        WriteStages({s});
        EnterBattle(s.name);
        ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    }
    // Commands the unit on (ux, uy) to attack the enemy on (ex, ey) with its
    // first command, without moving.
    void AttackWithoutMoving(int ux, int uy, int ex, int ey) {
        CursorTo(ux, uy);
        Tap(kKeyDecide);
        ASSERT_EQ(Code(), 300);
        Tap(kKeyDown); // "攻撃"
        Tap(kKeyDecide);
        ASSERT_EQ(Code(), 500);
        Tap(kKeyDecide);
        ASSERT_EQ(Code(), 700);
        CursorTo(ex, ey);
        Tap(kKeyDecide);
    }
    void MoveTo(int ux, int uy, int tx, int ty) {
        CursorTo(ux, uy);
        Tap(kKeyDecide);
        ASSERT_EQ(Code(), 300);
        Tap(kKeyDecide); // "移動"
        ASSERT_EQ(Code(), 1000);
        CursorTo(tx, ty);
        Tap(kKeyDecide);
    }
    static TestStage FacingRow() {
        TestStage s;
        s.enemies = {"名前 野良Ａ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 20 アングル down 位置 a",
                     "名前 野良Ｂ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 20 アングル down 位置 b",
                     "名前 野良Ｃ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 20 アングル down 位置 c"};
        s.markers = {"......", "......", "......", "......", "abc...", "ABC..."};
        return s;
    }
};

TEST_F(PlayerTurn, EveryUnitAttackingWithoutMovingStartsTheEnemyTurn) {
    StartOn(FacingRow());
    AttackWithoutMoving(0, 0, 0, 1);
    ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    EXPECT_TRUE(Unit("ウルフ1").Acted());
    EXPECT_TRUE(Unit("ウルフ1").Moved());
    AttackWithoutMoving(1, 0, 1, 1);
    ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    AttackWithoutMoving(2, 0, 2, 1);
    // No "ターン終了": the enemy's banner follows the last attack.
    ASSERT_GE(StepUntil(kBattleEnemyTurn, 200), 0);
    // The player's flags were cleared for the next turn.
    EXPECT_FALSE(Unit("ウルフ1").Acted());
    EXPECT_FALSE(Unit("ウルフ1").Moved());
}

TEST_F(PlayerTurn, AnAttackCostsMpAndTheBeatenEnemyLeavesWithItsBp) {
    TestStage s;
    s.enemies = {"名前 野良Ａ タイプ ＱＬ－１Ｅ 合成回数 0 レベル 1 アングル down 位置 a",
                 "名前 野良Ｂ タイプ ＱＬ－１Ｅ 合成回数 0 レベル 1 アングル down 位置 b"};
    s.markers = {".....b", "......", "......", "......", "a.....", "ABC..."};
    StartOn(s);
    // Make the first unit strong enough to beat the stray in one blow.
    Unit("ウルフ1").SetAP(5000);
    AttackWithoutMoving(0, 0, 0, 1);
    ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    EXPECT_EQ(D().stage.EnemyUnits.size(), 1u);
    EXPECT_GT(D().stage.battleBP, 0);
}

TEST_F(PlayerTurn, AMoveThatLeavesNoEnemyInReachEndsTheUnitsTurn) {
    TestStage s;
    s.enemies = {"名前 野良Ａ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 1 アングル down 位置 a"};
    s.markers = {".....a", "......", "......", "......", "......", "ABC..."};
    StartOn(s);
    MoveTo(0, 0, 0, 1);
    ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    CharaValues& wolf = Unit("ウルフ1");
    EXPECT_EQ(CellOf(wolf), (Cell{0, 1}));
    EXPECT_TRUE(wolf.Moved());
    EXPECT_TRUE(wolf.Acted());
    // Deciding on it again does nothing.
    CursorTo(0, 1);
    Tap(kKeyDecide);
    EXPECT_EQ(Code(), kBattleFreeCursor);
}

TEST_F(PlayerTurn, CancelInTheAttackOnlyMenuKeepsTheMoveSpentButTheAttackAvailable) {
    TestStage s;
    s.enemies = {"名前 野良Ａ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 1 アングル down 位置 a"};
    s.markers = {"......", "......", "a.....", "......", "......", "ABC..."};
    StartOn(s);
    MoveTo(0, 0, 0, 2);
    ASSERT_GE(StepUntil(2100, 400), 0);
    Tap(kKeyCancel);
    ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    CharaValues& wolf = Unit("ウルフ1");
    EXPECT_TRUE(wolf.Moved());
    EXPECT_FALSE(wolf.Acted());
    // Chosen again, it goes straight to the attack-only menu.
    CursorTo(0, 2);
    Tap(kKeyDecide);
    ASSERT_GE(StepUntil(2100, 10), 0);
    Tap(kKeyDecide);
    EXPECT_EQ(Code(), 2300);
}

TEST_F(PlayerTurn, TurnEndHandsOverToTheEnemyWhichComesBackToThePlayer) {
    TestStage s;
    s.enemies = {"名前 野良Ａ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 1 アングル down 位置 a"};
    s.markers = {".....a", "......", "......", "......", "......", "ABC..."};
    StartOn(s);
    const Cell before = CellOf(D().stage.EnemyUnits.begin()->second);
    Tap(kKeyCancel);
    ASSERT_EQ(Code(), 220);
    Tap(kKeyDecide);
    EXPECT_GE(Code(), kBattleEnemyTurn);
    ASSERT_GE(StepUntil(kBattleFreeCursor, 3000), 0);
    // The enemy could reach nobody: it walked toward the nearest unit.
    const Cell after = CellOf(D().stage.EnemyUnits.begin()->second);
    EXPECT_LT(CellDistance(after, Cell{0, 0}), CellDistance(before, Cell{0, 0}));
}

TEST_F(PlayerTurn, NineCoresAndDiscardNothingLeaveTheCoreOnTheFloor) {
    TestStage s;
    s.enemies = {"名前 野良Ａ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 1 アングル down 位置 a"};
    s.markers = {".....a", "......", "......", "......", "......", "ABC..."};
    WriteData(1, 1);
    WriteStages({s});
    EnterBattle(s.name);
    GameState& state = *app.OwnCampaign().State();
    CharaValues core = state.squad.begin()->second;
    core.SetCoreFlag(1);
    for (int i = 0; i < 9; ++i) {
        core.SetName("core" + std::to_string(i));
        state.cores.emplace(core.Name(), core);
    }
    ASSERT_GE(StepUntil(kBattleFreeCursor), 0);
    core.SetName("");
    core.SetCellValue(0, 1);
    D().stage.FieldCores.emplace("", core);
    MoveTo(0, 0, 0, 1);
    ASSERT_GE(StepUntil(kCycleScriptStep, 400), 0);
    ASSERT_GE(TapDecideUntil(kCycleSlotListStep), 0);
    EXPECT_EQ(MenuItems(), (std::vector<std::string>{SJ("廃棄する"), SJ("廃棄しない")}));
    Choose(SJ("廃棄しない"));
    ASSERT_GE(StepUntil(kBattleFreeCursor, 400), 0);
    EXPECT_EQ(D().stage.FieldCores.size(), 1u);
    EXPECT_EQ(state.cores.size(), 9u);
}

TEST_F(PlayerTurn, ACoreOnTheDestinationGoesIntoTheCase) {
    TestStage s;
    s.enemies = {"名前 野良Ａ タイプ ＱＬ－２Ｅ 合成回数 0 レベル 1 アングル down 位置 a"};
    s.markers = {".....a", "......", "......", "......", "......", "ABC..."};
    StartOn(s, 1);
    GameState& state = *app.OwnCampaign().State();
    const std::size_t before = state.cores.size();
    CharaValues core = state.squad.begin()->second;
    MakeCore(core);
    core.SetCellValue(0, 1);
    D().stage.FieldCores.emplace("", core);
    MoveTo(0, 0, 0, 1);
    ASSERT_GE(TapDecideUntil(kBattleFreeCursor, 400), 0);
    EXPECT_TRUE(D().stage.FieldCores.empty());
    EXPECT_EQ(state.cores.size(), before + 1);
}

TEST_F(PlayerTurn, PauseDuringAnAttackAndBackToTheGameResumesIt) {
    StartOn(FacingRow());
    CursorTo(0, 0);
    Tap(kKeyDecide);
    Tap(kKeyDown);
    Tap(kKeyDecide);
    Tap(kKeyDecide);
    CursorTo(0, 1);
    queue.Push(InputEvent::Key(kKeyDecide, true));
    Step();
    ASSERT_EQ(Code(), 750);
    queue.Push(InputEvent::Key(kKeyDecide, false));
    queue.Push(InputEvent::Key(kKeyStart, true));
    Step();
    EXPECT_EQ(D().paused, 1);
    EXPECT_EQ(D().savedCode, 750);
    EXPECT_EQ(D().panels.PauseLabel().GetText(), "Pause");
    queue.Push(InputEvent::Key(kKeyStart, false));
    ASSERT_GE(StepUntil(-10015, 400), 0);
    EXPECT_EQ(MenuItems(),
              (std::vector<std::string>{SJ("ゲームに戻る"), SJ("リトライ"), SJ("メニューへ")}));
    Tap(kKeyDecide);
    ASSERT_GE(StepUntil(750, 400), 0);
    EXPECT_EQ(D().paused, 0);
    EXPECT_EQ(D().panels.PauseLabel().GetText(), "");
    ASSERT_GE(StepUntil(kBattleFreeCursor, 400), 0);
    EXPECT_TRUE(Unit("ウルフ1").Acted());
}

TEST_F(PlayerTurn, DefeatOffersRetryWhichStartsAgainFromTheStartCells) {
    TestStage s = FacingRow();
    for (std::string& e : s.enemies) {
        e.replace(e.find("レベル 20"), std::string("レベル 20").size(), "レベル 99");
    }
    StartOn(s);
    for (int turn = 0; turn < 20 && Code() != kBattleDefeat; ++turn) {
        if (Code() == kBattleFreeCursor) {
            Tap(kKeyCancel);
            Tap(kKeyDecide);
        }
        for (int i = 0; i < 3000 && Code() != kBattleFreeCursor && Code() != kBattleDefeat; ++i) {
            Step();
        }
    }
    ASSERT_GE(TapDecideUntil(kCycleSlotListStep), 0);
    EXPECT_EQ(MenuItems(), (std::vector<std::string>{SJ("リトライ"), SJ("メニューへ戻る")}));
    Choose(SJ("リトライ"));
    ASSERT_GE(StepUntil(kBattleFreeCursor, 3000), 0);
    ASSERT_EQ(D().stage.PlayerUnits.size(), 3u);
    EXPECT_EQ(CellOf(Unit("ウルフ1")), (Cell{0, 0}));
    EXPECT_EQ(CellOf(Unit("ライノ1")), (Cell{2, 0}));
    EXPECT_EQ(Unit("ライノ1").HP(), Unit("ライノ1").MaxHP());
}

} // namespace
} // namespace quolis
