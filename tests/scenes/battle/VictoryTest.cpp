// The end of a battle: FLAG_BATTLE 0 wins at once, the BP enter the pool,
// and the victory hands over to the stage events, the ending or the
// next-stage menu.
#include "BattleFixture.h"

namespace quolis {
namespace {

using testing_util::BattleFixture;
using testing_util::TestStage;

class Victory : public BattleFixture {
protected:
    TestStage Stage() {
        TestStage s;
        s.enemies = {"名前 野良Ａ タイプ ＱＬ－１Ｅ 合成回数 0 レベル 1 アングル down 位置 a"};
        s.markers = {"..a...", "......", "......", "......", "......", "ABC..."};
        return s;
    }
};

TEST_F(Victory, FlagBattleZeroWinsAtOnceAndHandsOverToTheClosingEvent) {
    WriteData(1, 0);
    TestStage s = Stage();
    s.edEvent = "Event\\T_ED.Dat";
    s.next = "Next.Dat";
    s.eventBonus = 70;
    WriteStages({s});
    EnterBattle("Test.Dat");
    const int poolBefore = app.OwnCampaign().State()->bpPool;
    // The figures count up to the battle's BP (none: nothing was fought) and
    // the event bonus; the pool takes both.
    ASSERT_GE(TapDecideUntil(10125), 0);
    EXPECT_EQ(D().panels.ResultNumber(0).GetNumber(), 0);
    EXPECT_EQ(D().panels.ResultNumber(1).GetNumber(), 70);
    EXPECT_EQ(D().panels.ResultNumber(2).GetNumber(), poolBefore + 70);
    EXPECT_EQ(app.OwnCampaign().State()->bpPool, poolBefore + 70);
    ASSERT_GE(StepUntilScene(kSceneStageEvent), 0);
    EXPECT_EQ(app.Handover.eventName, "Event\\T_ED.Dat");
    EXPECT_EQ(app.Handover.offerSave, 1);
    EXPECT_EQ(app.OwnCampaign().CurrentStageFile(), "Next.Dat");
    EXPECT_EQ(app.OwnCampaign().State()->openingSeen, 0);
}

TEST_F(Victory, LastStageLeadsToTheEnding) {
    WriteData(1, 0);
    TestStage s = Stage();
    s.next = "Ending";
    s.edEvent = "Event\\T_ED.Dat";
    WriteStages({s});
    EnterBattle("Test.Dat");
    ASSERT_GE(TapDecideUntil(10200), 0);
    ASSERT_GE(StepUntilScene(kSceneEnding), 0);
}

TEST_F(Victory, WithoutStoriesTheNextStageMenuFollowsEvenOnTheLastStage) {
    WriteData(0, 0);
    TestStage s = Stage();
    s.next = "Ending";
    s.edEvent = "Event\\T_ED.Dat";
    WriteStages({s});
    EnterBattle("Test.Dat");
    ASSERT_GE(TapDecideUntil(kCycleSlotListStep), 0);
    // A campaign from the new-game data cannot be overwritten.
    EXPECT_EQ(MenuItems(),
              (std::vector<std::string>{SJ("次のステージへ"), SJ("セーブして次のステージへ")}));
    Choose(SJ("次のステージへ"));
    ASSERT_GE(StepUntilScene(kSceneMenu), 0);
    EXPECT_EQ(app.OwnCampaign().CurrentStageFile(), "Ending");
}

TEST_F(Victory, ASavedCampaignMayOverwriteItsOwnFile) {
    EXPECT_EQ(NextStageChoices("GameData\\Save\\Save3.Dat"),
              (std::vector<std::string>{SJ("次のステージへ"), SJ("上書きセーブして次のステージへ"),
                                        SJ("セーブして次のステージへ")}));
    StageData stage;
    stage.nextStageFile = "Nothing";
    EXPECT_EQ(RouteAfterVictory(stage).kind, VictoryRoute::SameScene);
    EXPECT_EQ(RouteAfterVictory(stage).offerSave, 0);
    stage.closingEvent = "Event\\X.Dat";
    EXPECT_EQ(RouteAfterVictory(stage).kind, VictoryRoute::StageEvent);
    EXPECT_EQ(RouteAfterVictory(stage).offerSave, 0);
    stage.nextStageFile = "B.Dat";
    EXPECT_EQ(RouteAfterVictory(stage).offerSave, 1);
}

TEST_F(Victory, SavingIntoASlotWritesThePoolAndLeavesForTheMenu) {
    WriteData(0, 0);
    TestStage s = Stage();
    s.next = "Next.Dat";
    s.eventBonus = 30;
    WriteStages({s});
    EnterBattle("Test.Dat");
    const int poolBefore = app.OwnCampaign().State()->bpPool;
    ASSERT_GE(TapDecideUntil(kCycleSlotListStep), 0);
    Choose(SJ("セーブして次のステージへ"));
    ASSERT_GE(StepUntil(kCycleSlotListStep), 0);
    // "←" first, then the slots: take slot 1.
    Tap(testing_util::kKeyDown);
    Tap(testing_util::kKeyDecide);
    ASSERT_GE(StepUntilScene(kSceneMenu), 0);
    GameState saved;
    ASSERT_TRUE(saved.Load(app.SecureReader(), CGameApp::SavePath(1), app.OwnCampaign().Charas(),
                           app.OwnCampaign().Arms()));
    EXPECT_EQ(saved.bpPool, poolBefore + 30);
    EXPECT_EQ(saved.stageFile, "Next.Dat");
}

} // namespace
} // namespace quolis
