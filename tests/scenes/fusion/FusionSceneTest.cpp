// The fusion scene driven by keys: the entry refusals, the choices with "○"
// and "×", the shape and confirmation, and the core in the save file.
#include "scenes/fusion/FusionScene.h"

#include "scenes/ManageSceneFixture.h"

namespace quolis {
namespace {

using namespace manage_test;

class FusionScene : public ManageSceneFixture {
protected:
    void Enter(const std::function<void(GameState&, const Tables&)>& fill) {
        ManageSceneFixture::Enter(kSceneFusion, MakeFusionScene(), [&](GameState& g) {
            Tables t;
            fill(g, t);
        });
    }
    // Four creatures of level 15 and nine cores; the first narration read.
    void EnterWithFullCoreCase() {
        Enter([](GameState& g, const Tables& t) {
            for (int n = 1; n <= 4; ++n) {
                Add(g, Creature(t, "ＱＬ－３", n, 15));
            }
            for (int n = 1; n <= 9; ++n) {
                CharaValues c = Creature(t, "ＱＬ－５", n, 2);
                c.SetCoreFlag(1);
                g.cores.emplace(c.Name(), c);
            }
        });
        ASSERT_TRUE(WaitFor(kCycleScriptStep));
        ReadNarration();
    }
    std::string Panel(int i) {
        CTextObject* t = app.Texts().Get(i);
        return t != nullptr ? Cp932ToUtf8(t->GetText()) : std::string();
    }
};

TEST_F(FusionScene, SquadOfThreeIsRefusedNamingFour) {
    Enter([](GameState& g, const Tables& t) {
        for (int n = 1; n <= 3; ++n) {
            Add(g, Creature(t, "ＱＬ－３", n, 15));
        }
    });
    ASSERT_TRUE(WaitFor(kCycleScriptStep));
    ReadNarration();
    EXPECT_TRUE(Said("合成を実行すると、最小ＱＬ数である4体以下になってしまいます・・・。"));
    EXPECT_TRUE(Said("合成を終了します・・・。"));
    LeaveWithoutSaving();
    EXPECT_EQ(State().squad.size(), 3u);
    EXPECT_EQ(SaveBytes(CGameApp::SavePath(1)), saved_);
}

TEST_F(FusionScene, FourFuseOnceIntoACoreOfTheSecondShape) {
    Enter([](GameState& g, const Tables& t) {
        Add(g, Creature(t, "ＱＬ－３", 1, 3));
        Add(g, Creature(t, "ＱＬ－３", 2, 15, 0, 1500));
        Add(g, Creature(t, "ＱＬ－３", 3, 4));
        Add(g, Creature(t, "ＱＬ－５", 1, 16, 0, 1600));
    });
    ASSERT_TRUE(WaitFor(kFusionFirst));
    EXPECT_NE(Panel(0).find("合成実行可能×"), std::string::npos) << Panel(0);
    Tap(kKeySpace); // level 3: refused
    StepRecording();
    EXPECT_EQ(Cycle(), kFusionFirst);
    Tap(kKeyRight);
    EXPECT_NE(Panel(0).find("合成実行可能○"), std::string::npos) << Panel(0);
    Tap(kKeySpace);
    ASSERT_EQ(Cycle(), kFusionSecond);
    // The second choice skips the first: ＱＬ３－3 (×) then ＱＬ５－1 (○).
    EXPECT_NE(Panel(1).find("ＱＬ３－3"), std::string::npos) << Panel(1);
    EXPECT_NE(Panel(1).find("×"), std::string::npos);
    Tap(kKeySpace);
    StepRecording();
    EXPECT_EQ(Cycle(), kFusionSecond);
    Tap(kKeyRight);
    EXPECT_NE(Panel(1).find("ＱＬ５－1"), std::string::npos) << Panel(1);
    Tap(kKeySpace);
    Choose("2");
    // Nothing changes before "合成する".
    ASSERT_TRUE(WaitFor(kCycleSlotListStep));
    EXPECT_EQ(MenuNames(), (std::vector<std::string>{S("合成する"), S("キャンセル")}));
    EXPECT_EQ(State().squad.size(), 4u);
    EXPECT_EQ(SaveBytes(CGameApp::SavePath(1)), saved_);
    Choose("合成する");
    ASSERT_TRUE(WaitFor(kCycleScriptStep));
    ReadNarration();
    EXPECT_TRUE(Said("合成により、コアＱＬ５－2ができました・・・。"));
    // Two creatures are left: the entry check ends the scene.
    EXPECT_TRUE(Said("合成を実行すると、最小ＱＬ数である4体以下になってしまいます・・・。"));
    ReadNarration();
    Choose("上書きセーブする");
    ASSERT_TRUE(WaitFor(0, kSceneMenu));
    GameState g = ReadBack();
    EXPECT_EQ(g.squad.size(), 2u);
    ASSERT_EQ(g.cores.size(), 1u);
    const CharaValues& core = g.cores.begin()->second;
    EXPECT_EQ(core.Name(), S("ＱＬ５－2"));
    EXPECT_EQ(core.TypeName(), S("ＱＬ－５"));
    EXPECT_EQ(core.BP(), 1600);
    EXPECT_EQ(core.FusionCount(), 1);
    EXPECT_EQ(core.Level(), 1);
}

TEST_F(FusionScene, CancelAtTheConfirmationReturnsToTheFirstChoice) {
    Enter([](GameState& g, const Tables& t) {
        for (int n = 1; n <= 4; ++n) {
            Add(g, Creature(t, "ＱＬ－３", n, 15));
        }
    });
    ASSERT_TRUE(WaitFor(kFusionFirst));
    Tap(kKeySpace);
    Tap(kKeySpace);
    Choose("1");
    Choose("キャンセル");
    ASSERT_TRUE(WaitFor(kFusionFirst));
    Tap(kKeyCancel);
    LeaveWithoutSaving();
    EXPECT_EQ(State().squad.size(), 4u);
    EXPECT_TRUE(State().cores.empty());
    EXPECT_EQ(SaveBytes(CGameApp::SavePath(1)), saved_);
}

TEST_F(FusionScene, NineCoresAndDiscardDeclinedEndWithoutFusing) {
    EnterWithFullCoreCase();
    EXPECT_TRUE(Said("合成の際には、コアケースの空きが１つ以上必要です・・・。"));
    Choose("廃棄しない");
    ReadNarration();
    EXPECT_TRUE(Said("合成を終了します・・・。"));
    LeaveWithoutSaving();
    EXPECT_EQ(State().squad.size(), 4u);
    EXPECT_EQ(State().cores.size(), 9u);
}

TEST_F(FusionScene, DiscardingACoreFromAFullCaseOpensTheFusion) {
    EnterWithFullCoreCase();
    Choose("廃棄する");
    ASSERT_TRUE(WaitFor(kCycleSlotListStep));
    EXPECT_EQ(MenuNames().size(), 11u);
    EXPECT_EQ(MenuNames()[9], S("←やっぱり廃棄しない"));
    Choose("ＱＬ５－4");
    ReadNarration();
    EXPECT_TRUE(Said("コアを廃棄しました・・・。"));
    ASSERT_TRUE(WaitFor(kFusionFirst));
    EXPECT_EQ(State().cores.size(), 8u);
    EXPECT_EQ(State().cores.count(S("ＱＬ５－4")), 0u);
}

} // namespace
} // namespace quolis
