// The stage-event scene on the whole application: opening events lead to the
// battle, closing events to the menu hub or the stage-clear choice, with the
// overwrite and slot saves; missing scripts do not hang the scene.
#include "scenes/SceneTestUtil.h"
#include "scenes/stageevent/StageEvents.h"

namespace quolis {
namespace {

using namespace testing_util;

constexpr int kDecide = 300;

class StageEventScene : public SceneFixture {
protected:
    StageEventScene() {
        WriteScripts({{"Event\\Open.Dat", "ナレーション： 出撃の時だ。 ."},
                      {"Event\\Close.Dat", "ナレーション： 勝った。 . 次へ進もう。 ."}});
        WriteStages({{"Next.Dat", StageInfo("ブロックＢ", 1, "貨物集積場", "")}});
        StartGame();
        app.OwnCampaign().SetCurrentStageFile("Next.Dat");
    }
    void Run(const std::string& event, int openingPending, int offerSave) {
        app.Handover.eventName = Utf8ToCp932(event);
        app.Handover.openingPending = openingPending;
        app.Handover.offerSave = offerSave;
        Enter(kSceneStageEvent);
    }
    // Presses decide whenever the script waits; steps until the scene is at
    // `scene`/`cycle`.
    int ReadUntil(int scene, int cycle, int limit = 800) {
        for (int i = 0; i < limit; ++i) {
            if (app.GetScene(0) == scene && app.GetCycle(scene) == cycle) {
                return i;
            }
            if (app.GetScene(0) == kSceneStageEvent &&
                app.GetCycle(kSceneStageEvent) == kCycleScriptStep && i % 8 == 0) {
                Tap(kKeySpace);
            } else {
                Step();
            }
        }
        return -1;
    }
    std::vector<std::pair<std::string, float>> Choices() {
        std::vector<std::pair<std::string, float>> out;
        for (const auto& [key, e] : app.SharedSlotList()->Entries()) {
            EXPECT_EQ(e.pos.x, kChoiceX);
            out.emplace_back(e.name, e.pos.y);
        }
        return out;
    }
    GameState& State() { return *app.OwnCampaign().State(); }
};

TEST_F(StageEventScene, AnOpeningEventIsReadThenTheBattleFollows) {
    Run("Event\\Open.Dat", 1, 0);
    Step();
    ASSERT_NE(app.ScriptEngine(), nullptr);
    EXPECT_TRUE(app.ScriptEngine()->Running());
    ASSERT_GE(ReadUntil(kSceneStageEvent, kCycleHalfDown), 0);
    EXPECT_FALSE(app.ScriptEngine()->Running());
    ASSERT_GE(ReadUntil(kSceneBattle, 0), 0);
    EXPECT_EQ(app.Handover.openingPending, 0);
    EXPECT_EQ(app.Brightness(), 0); // the battle fades in from black
}

TEST_F(StageEventScene, ACampaignFromTheInitialDataOffersTwoChoicesTheSecondAtY230) {
    State().filePath = "GameData\\Save\\Init.Dat";
    Run("Event\\Close.Dat", 0, 1);
    ASSERT_GE(ReadUntil(kSceneStageEvent, kCycleSlotListStep), 0);
    EXPECT_EQ(app.Brightness(), 128);
    auto c = Choices();
    ASSERT_EQ(c.size(), 2u);
    EXPECT_EQ(c[0], std::make_pair(NextStageChoice(), 200.0f));
    EXPECT_EQ(c[1], std::make_pair(SaveChoice(), 230.0f));
    Tap(kKeySpace); // 次のステージへ
    ASSERT_GE(ReadUntil(kSceneMenu, 0), 0);
    EXPECT_EQ(app.Handover.offerSave, 0);
}

TEST_F(StageEventScene, ASavedCampaignOffersTheOverwriteAndItWritesItsOwnFile) {
    std::filesystem::create_directories(root.Host("GameData/Save"));
    State().filePath = "GameData\\Save\\Save4.Dat";
    State().bpPool = 1234;
    Run("Event\\Close.Dat", 0, 1);
    ASSERT_GE(ReadUntil(kSceneStageEvent, kCycleSlotListStep), 0);
    auto c = Choices();
    ASSERT_EQ(c.size(), 3u);
    EXPECT_EQ(c[1], std::make_pair(OverwriteChoice(), 230.0f));
    EXPECT_EQ(c[2], std::make_pair(SaveChoice(), 260.0f));
    Tap(kKeyDown);
    Tap(kKeySpace);
    ASSERT_GE(ReadUntil(kSceneMenu, 0), 0);
    GameState back;
    CDatArchive secure(true, false);
    ASSERT_TRUE(back.Load(secure, "GameData\\Save\\Save4.Dat", CharaMaster{}, MAMaster{}));
    EXPECT_EQ(back.bpPool, 1234);
    EXPECT_EQ(back.stageFile, "Next.Dat");
}

TEST_F(StageEventScene, SavingIntoASlotWritesItAndCancelBringsTheChoiceBack) {
    std::filesystem::create_directories(root.Host("GameData/Save"));
    State().filePath = "GameData\\Save\\Init.Dat";
    Run("Event\\Close.Dat", 0, 1);
    ASSERT_GE(ReadUntil(kSceneStageEvent, kCycleSlotListStep), 0);
    Tap(kKeyDown);
    Tap(kKeySpace); // セーブして次のステージへ
    ASSERT_GE(ReadUntil(kSceneStageEvent, kCycleSlotListStep), 0);
    EXPECT_EQ(app.SharedSlotList()->Entries().size(), 10u);
    Tap(kKeySpace); // "←"
    ASSERT_GE(ReadUntil(kSceneStageEvent, kCycleSlotListStep), 0);
    EXPECT_EQ(Choices().size(), 2u);
    Tap(kKeyB); // cancel keeps the choice
    ASSERT_GE(ReadUntil(kSceneStageEvent, kCycleSlotListStep), 0);
    EXPECT_EQ(Choices().size(), 2u);
    Tap(kKeyDown);
    Tap(kKeySpace);
    ASSERT_GE(ReadUntil(kSceneStageEvent, kCycleSlotListStep), 0);
    Tap(kKeyDown);
    Tap(kKeyDown);
    Tap(kKeySpace); // slot 2
    ASSERT_GE(ReadUntil(kSceneMenu, 0), 0);
    EXPECT_TRUE(root.Exists("GameData/Save/Save2E.Dat"));
    EXPECT_EQ(State().filePath, "GameData\\Save\\Save2.Dat");
}

TEST_F(StageEventScene, NoSaveOfferedReturnsToTheHubWithoutTheChoice) {
    Run("Event\\Close.Dat", 0, 0);
    bool choice = false, read = false;
    for (int i = 0; i < 800 && app.GetScene(0) == kSceneStageEvent; ++i) {
        choice = choice || app.GetCycle(kSceneStageEvent) == kCycleSlotListStep;
        read = read || app.GetCycle(kSceneStageEvent) == kCycleScriptStep;
        ReadUntil(kSceneMenu, 0, 1);
    }
    EXPECT_TRUE(read); // the closing event is played
    EXPECT_FALSE(choice);
    EXPECT_EQ(app.GetScene(0), kSceneMenu);
}

TEST_F(StageEventScene, AMissingEventScriptEndsTheEventWithoutAKey) {
    Run("Event\\Gone.Dat", 1, 0);
    // No key at all: the scene still reaches the battle.
    ASSERT_GE(StepUntil(kSceneBattle, 0), 0);
    EXPECT_TRUE(Logged("Event\\Gone.Dat"));
}

TEST(StageClearChoices, TheOverwriteNeedsAFileOfTheCampaignsOwn) {
    EXPECT_EQ(StageClearChoices("GameData\\Save\\Init.Dat").size(), 2u);
    EXPECT_EQ(StageClearChoices("GameData\\Save\\Save1.Dat"),
              (std::vector<std::string>{NextStageChoice(), OverwriteChoice(), SaveChoice()}));
}

} // namespace
} // namespace quolis
