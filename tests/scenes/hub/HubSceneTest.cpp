// The menu hub on the whole application: block, squad maximum and label, the
// button rows, the map's quarter turns, the requests, and a stage file that
// cannot be read.
#include "scenes/hub/HubScene.h"
#include "scenes/SceneTestUtil.h"

#include <cmath>

namespace quolis {
namespace {

using namespace testing_util;

constexpr int kWait = -10000;

class HubScene : public SceneFixture {
protected:
    void Open(const std::string& stageFile, int flagMsg = 1) {
        WriteStages({
            {"BlockA1.Dat",
             StageInfo("ブロックＣ", 1, "研究棟跡地", "ＯＰイベント Event\\A1_OP.Dat")},
            {"BlockC2.Dat", StageInfo("ブロックＣ", 2, "溶鉱プラント", "")},
            {"BlockB1.Dat",
             StageInfo("ブロックＢ", 1, "貨物集積場", "ＯＰイベント Event\\B1_OP.Dat")},
        });
        StartGame(flagMsg);
        app.OwnCampaign().SetCurrentStageFile(stageFile);
        Enter(kSceneMenu);
    }
    CMesh* Map() { return app.Meshes().Get(0); }
    float Yaw() { return Map()->GetRotation().y; }
    std::vector<std::string> Labels() {
        std::vector<std::string> out;
        for (const auto& [key, e] : app.SharedButtonRow()->Entries()) {
            out.push_back(e.name);
        }
        return out;
    }
    // Presses down `downs` times, then decide; the scene the hub asks for.
    int Request(int downs) {
        EXPECT_GE(StepUntil(kSceneMenu, kWait), 0);
        for (int i = 0; i < downs; ++i) {
            Tap(kKeyDown);
        }
        Tap(kKeySpace);
        EXPECT_GE(StepUntil(kSceneMenu, kCycleFadeOut, 20), 0);
        return app.GetNextScene(0);
    }
};

TEST_F(HubScene, BlockCSetsTheSquadMaximumToEightOnOpening) {
    Open("BlockC2.Dat");
    EXPECT_EQ(app.OwnCampaign().SquadMax(), 5); // before the hub's first step
    Step();
    EXPECT_EQ(app.OwnCampaign().SquadMax(), 8);
    EXPECT_EQ(Map()->MeshName(), "Menu\\MenuMap3.x");
    EXPECT_EQ(app.Texts().Get(0)->GetText(), SJ("ブロックＣ－２\n溶鉱プラント"));
    EXPECT_EQ(Yaw(), kHubMapStartYaw);
    EXPECT_EQ(Labels(),
              (std::vector<std::string>{HubNextBattleName(), HubStatusName(), HubLevelUpName(),
                                        HubFusionName(), HubRegenerationName(), HubDiscardName(),
                                        HubSaveName(), HubLoadName()}));
    const auto& e = app.SharedButtonRow()->Entries();
    EXPECT_EQ(e.at(4).pos.x, 0); // 合成
    EXPECT_EQ(e.at(4).pos.y, 234);
    EXPECT_EQ(e.at(5).pos.x, 582); // 再生
    EXPECT_EQ(e.at(5).pos.y, 0);
    EXPECT_EQ(e.at(8).pos.y, 234); // ロード
    EXPECT_EQ(e.at(8).size.x, kHubButtonWidth);
    EXPECT_EQ(e.at(8).picture, "Button\\Menu\\Load.bmp");
}

TEST_F(HubScene, ABlockAFileHidesFusionRegenerationAndDiscardWhateverItsBlock) {
    Open("BlockA1.Dat"); // its stage name is ブロックＣ
    Step();
    EXPECT_EQ(app.OwnCampaign().SquadMax(), 8);
    EXPECT_EQ(Labels(), (std::vector<std::string>{HubNextBattleName(), HubStatusName(),
                                                  HubLevelUpName(), HubSaveName(), HubLoadName()}));
    const auto& e = app.SharedButtonRow()->Entries();
    EXPECT_EQ(e.at(4).name, HubSaveName());
    EXPECT_EQ(e.at(4).pos.x, 0);
    EXPECT_EQ(e.at(4).pos.y, 234);
    EXPECT_EQ(e.at(5).name, HubLoadName());
    EXPECT_EQ(e.at(5).pos.x, 582);
    EXPECT_EQ(e.at(5).pos.y, 0);
}

TEST_F(HubScene, TheMapTurnsOnlyAtRestAndAlwaysRestsOnAQuarterFromItsStart) {
    Open("BlockB1.Dat");
    ASSERT_GE(StepUntil(kSceneMenu, kWait), 0);
    Tap(kKeyRight);
    Step(); // the slide restarts, then moves
    Step();
    const float turning = Yaw();
    EXPECT_GT(turning, kHubMapStartYaw);
    EXPECT_LT(turning, kHubMapStartYaw + 90);
    Tap(kKeyLeft); // while turning: nothing
    Tap(kKeyZ);    // rotate view left: nothing either
    for (int i = 0; i < 60; ++i) {
        Step();
    }
    EXPECT_EQ(Yaw(), kHubMapStartYaw + 90);
    Tap(kKeyZ);
    for (int i = 0; i < 60; ++i) {
        Step();
    }
    EXPECT_EQ(Yaw(), kHubMapStartYaw);
    // Many presses at random moments: the map still comes to rest on a
    // quarter turn.
    for (int i = 0; i < 14; ++i) {
        Tap(i % 3 == 0 ? kKeyLeft : kKeyRight);
        for (int j = 0; j < i % 5; ++j) {
            Step();
        }
    }
    for (int i = 0; i < 60; ++i) {
        Step();
    }
    const float rest = std::fmod(Yaw() - kHubMapStartYaw, 90.0f);
    EXPECT_EQ(rest, 0.0f) << Yaw();
}

TEST_F(HubScene, ButtonsRequestTheirScenes) {
    Open("BlockC2.Dat");
    EXPECT_EQ(Request(1), kSceneStatus);
    Enter(kSceneMenu);
    EXPECT_EQ(Request(2), kSceneLevelUp);
    Enter(kSceneMenu);
    EXPECT_EQ(Request(3), kSceneFusion);
    Enter(kSceneMenu);
    EXPECT_EQ(Request(4), kSceneRegeneration);
    Enter(kSceneMenu);
    EXPECT_EQ(Request(5), kSceneDiscard);
    // Up from the first button wraps to the last: ロード opens the load list.
    Enter(kSceneMenu);
    ASSERT_GE(StepUntil(kSceneMenu, kWait), 0);
    Tap(kKeyUp);
    Tap(kKeySpace);
    ASSERT_GE(StepUntil(kSceneMenu, kCycleSlotListStep, 10), 0);
    EXPECT_EQ(app.SharedSlotList()->Entries().size(), 10u);
    Tap(kKeySpace); // "←": back to the buttons
    ASSERT_GE(StepUntil(kSceneMenu, kWait, 10), 0);
    EXPECT_TRUE(app.SharedSlotList()->Entries().empty());
    ASSERT_GE(StepUntil(kSceneMenu, kWait), 0);
    // The status scene is reached through the scene cycle (the cursor is
    // still on ロード).
    Tap(kKeyDown);
    Tap(kKeyDown);
    Tap(kKeySpace);
    ASSERT_GE(StepUntil(kSceneStatus, 0, 200), 0);
}

TEST_F(HubScene, NextBattleRunsTheOpeningEventFirstUnlessSeenOrSwitchedOff) {
    Open("BlockB1.Dat");
    EXPECT_EQ(Request(0), kSceneStageEvent);
    EXPECT_EQ(app.Handover.eventName, SJ("Event\\B1_OP.Dat"));
    EXPECT_EQ(app.Handover.openingPending, 1);
    // Once seen, the battle follows at once.
    app.OwnCampaign().State()->openingSeen = 1;
    Enter(kSceneMenu);
    EXPECT_EQ(Request(0), kSceneBattle);
    EXPECT_EQ(app.Handover.openingPending, 0);
    // A stage without an opening event.
    app.OwnCampaign().State()->openingSeen = 0;
    app.OwnCampaign().SetCurrentStageFile("BlockC2.Dat");
    Enter(kSceneMenu);
    EXPECT_EQ(Request(0), kSceneBattle);
}

TEST_F(HubScene, WithStoriesSwitchedOffNextBattleStartsTheBattle) {
    Open("BlockB1.Dat", 0);
    EXPECT_EQ(Request(0), kSceneBattle);
    EXPECT_EQ(app.Handover.openingPending, 0);
}

TEST_F(HubScene, AStageFileMissingFromTheArchiveLeavesTheHubUsable) {
    Open("BlockZ9.Dat");
    Step();
    EXPECT_TRUE(Logged("BlockZ9.Dat"));
    EXPECT_EQ(Map()->MeshName(), "Nothing");
    EXPECT_EQ(Map()->Record(), nullptr);
    EXPECT_TRUE(app.Texts().Get(0)->GetText().empty());
    EXPECT_EQ(app.OwnCampaign().SquadMax(), 10);
    EXPECT_EQ(Labels().size(), 8u);
    EXPECT_EQ(Request(1), kSceneStatus);
}

TEST(HubTables, TheLabelBreaksAfterTheNumberAndBlockNamesChooseTheMap) {
    EXPECT_EQ(HubStageLabel(SJ("ブロックＤ"), 2, SJ("中枢　コア")),
              SJ("ブロックＤ－２\n中枢　コア"));
    EXPECT_EQ(HubMapMesh(SJ("ブロックＡ")), "Menu\\MenuMap1.x");
    EXPECT_EQ(HubMapMesh(SJ("ブロックＤ")), "Menu\\MenuMap4.x");
    EXPECT_EQ(HubMapMesh(SJ("ブロックＥ")), "");
}

} // namespace
} // namespace quolis
