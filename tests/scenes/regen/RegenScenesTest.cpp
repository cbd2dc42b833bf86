// The regeneration and discard scenes driven by keys.
#include "scenes/regen/RegenScenes.h"

#include "scenes/ManageSceneFixture.h"

namespace quolis {
namespace {

using namespace manage_test;

CharaValues Core(const Tables& t, const char* type, int number, int level, int fusion = 0) {
    CharaValues c = Creature(t, type, number, level, fusion);
    c.SetCoreFlag(1);
    return c;
}

class RegenScenes : public ManageSceneFixture {
protected:
    void EnterRegeneration(int squad, int cores, int squadMax) {
        app.OwnCampaign().SetSquadMax(squadMax);
        Enter(kSceneRegeneration, MakeRegenerationScene(), [&](GameState& g) {
            Tables t;
            for (int n = 1; n <= squad; ++n) {
                Add(g, Creature(t, "ＱＬ－３", n, 3));
            }
            for (int n = 1; n <= cores; ++n) {
                CharaValues c = Core(t, "ＱＬ－５", n, 1, 1);
                c.SetMaxHP(777);
                g.RecordNumber(c.TypeName(), n);
                g.cores.emplace(c.Name(), c);
            }
        });
    }
    void EnterDiscard(int squad, int cores) {
        Enter(kSceneDiscard, MakeDiscardScene(), [&](GameState& g) {
            Tables t;
            for (int n = 1; n <= squad; ++n) {
                Add(g, Creature(t, "ＱＬ－３", n, 3));
            }
            for (int n = 1; n <= cores; ++n) {
                CharaValues c = Core(t, "ＱＬ－５", n, 2);
                g.cores.emplace(c.Name(), c);
            }
        });
    }
};

TEST_F(RegenScenes, FullSquadDiscardsFirstThenRegeneratesTheFusedCore) {
    EnterRegeneration(5, 1, 5);
    ASSERT_TRUE(WaitFor(kRegenCoreList));
    Tap(kKeySpace);
    ReadNarration();
    EXPECT_TRUE(Said("ＱＬは5体までしか制御できません・・・。"));
    Choose("廃棄する");
    ASSERT_TRUE(WaitFor(kCycleSlotListStep));
    EXPECT_EQ(MenuNames().size(), 7u);
    Choose("ＱＬ３－2");
    ReadNarration();
    EXPECT_TRUE(Said("ＱＬを廃棄しました・・・。"));
    // The same core again, now with room.
    ASSERT_TRUE(WaitFor(kCycleSlotListStep));
    EXPECT_EQ(MenuNames(), (std::vector<std::string>{S("このコアを再生する"), S("キャンセル")}));
    EXPECT_EQ(State().cores.size(), 1u);
    Choose("このコアを再生する");
    ASSERT_TRUE(WaitFor(kCycleScriptStep));
    ReadNarration();
    EXPECT_TRUE(Said("コアから、ＱＬ５－1が再生されました・・・。"));
    // The glide back, then the empty core case ends the scene.
    ASSERT_TRUE(WaitFor(kCycleScriptStep));
    ReadNarration();
    EXPECT_TRUE(Said("再生にはコアが１個以上必要です・・・。"));
    Choose("上書きセーブする");
    ASSERT_TRUE(WaitFor(0, kSceneMenu));
    GameState g = ReadBack();
    EXPECT_TRUE(g.cores.empty());
    EXPECT_EQ(g.squad.size(), 5u);
    EXPECT_EQ(g.squad.count(S("ＱＬ３－2")), 0u);
    const CharaValues& c = g.squad.find(S("ＱＬ５－1"))->second;
    EXPECT_EQ(c.Level(), 1);
    EXPECT_EQ(c.FusionCount(), 1);
    EXPECT_EQ(c.MaxHP(), 777);
}

TEST_F(RegenScenes, EmptyCoreCaseEndsAtOnce) {
    EnterRegeneration(3, 0, 5);
    ASSERT_TRUE(WaitFor(kCycleScriptStep));
    ReadNarration();
    EXPECT_TRUE(Said("再生にはコアが１個以上必要です・・・。"));
    EXPECT_TRUE(Said("再生を終了します・・・。"));
    // The state loaded from slot 1 may be written over.
    ASSERT_TRUE(WaitFor(kCycleSlotListStep));
    EXPECT_EQ(MenuNames(), (std::vector<std::string>{S("セーブしない"), S("上書きセーブする"),
                                                     S("セーブする")}));
}

TEST_F(RegenScenes, CancelledRegenerationLeavesTheFileAlone) {
    EnterRegeneration(3, 2, 5);
    ASSERT_TRUE(WaitFor(kRegenCoreList));
    Tap(kKeyRight);
    Tap(kKeySpace);
    Choose("キャンセル");
    ASSERT_TRUE(WaitFor(kRegenCoreList));
    Tap(kKeyCancel);
    LeaveWithoutSaving();
    EXPECT_EQ(State().cores.size(), 2u);
    EXPECT_EQ(SaveBytes(CGameApp::SavePath(1)), saved_);
}

TEST_F(RegenScenes, SquadOfThreeCannotLoseACreature) {
    EnterDiscard(3, 0);
    Choose("ＱＬ");
    Choose("ＱＬ３－1");
    ReadNarration();
    EXPECT_TRUE(Said("これ以上ＱＬを廃棄することはできません・・・。"));
    ASSERT_TRUE(WaitFor(kCycleSlotListStep));
    EXPECT_EQ(State().squad.size(), 3u);
}

TEST_F(RegenScenes, DiscardTheLastCoreThenSaveToAnotherSlot) {
    EnterDiscard(4, 1);
    Choose("コア");
    Choose("ＱＬ５－1");
    ReadNarration();
    EXPECT_TRUE(Said("コアを廃棄しました・・・。"));
    Choose("ＱＬ");
    Choose("←やっぱり廃棄しない");
    Choose("キャンセル");
    Choose("セーブする");
    ASSERT_TRUE(WaitFor(kCycleSlotListStep));
    EXPECT_EQ(MenuNames().size(), 10u); // "←" and slots 1 to 9
    Tap(kKeyDown);
    Tap(kKeyDown);
    Tap(kKeySpace); // slot 2
    ASSERT_TRUE(WaitFor(0, kSceneMenu));
    EXPECT_EQ(SaveBytes(CGameApp::SavePath(1)), saved_);
    GameState g = ReadBack(2);
    EXPECT_TRUE(g.cores.empty());
    EXPECT_EQ(g.squad.size(), 4u);
}

TEST_F(RegenScenes, NewCampaignStateIsNotOfferedOverwrite) {
    Enter(
        kSceneDiscard, MakeDiscardScene(),
        [](GameState& g) {
            Tables t;
            for (int n = 1; n <= 3; ++n) {
                Add(g, Creature(t, "ＱＬ－３", n, 3));
            }
        },
        "GameData\\Save\\Init.Dat");
    Choose("キャンセル");
    ASSERT_TRUE(WaitFor(kCycleSlotListStep));
    EXPECT_EQ(MenuNames(), (std::vector<std::string>{S("セーブしない"), S("セーブする")}));
}

} // namespace
} // namespace quolis
