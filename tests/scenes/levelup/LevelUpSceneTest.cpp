// The level-up scene driven by keys: the amount input, the cap refusals, the
// result narration, and what reaches the save file.
#include "scenes/levelup/LevelUpScene.h"

#include "scenes/ManageSceneFixture.h"

namespace quolis {
namespace {

using namespace manage_test;

class LevelUpScene : public ManageSceneFixture {
protected:
    // Two creatures at level 10 and the chosen one (first in name order) at
    // `level` with `bp` invested; cap 13 for it.
    void Enter(int level, int bp, int pool) {
        ManageSceneFixture::Enter(kSceneLevelUp, MakeLevelUpScene(), [&](GameState& g) {
            Tables t;
            g.bpPool = pool;
            Add(g, Creature(t, "ＱＬ－３", 1, level, 0, bp));
            Add(g, Creature(t, "ＱＬ－３", 2, 10));
            Add(g, Creature(t, "ＱＬ－３", 3, 10));
        });
        ASSERT_TRUE(WaitFor(kLevelUpChoose));
    }
    // The displays: cap, pool, amount and next, one a line.
    std::string Displays() {
        CTextObject* t = app.Texts().Get(1);
        return t != nullptr ? Cp932ToUtf8(t->GetText()) : std::string();
    }
    bool ShowsAmount(int amount) {
        return Displays().find("投入するＢＰ：" + std::to_string(amount) + "\n") !=
               std::string::npos;
    }
};

TEST_F(LevelUpScene, TwoHundredFiftyBPInThreePressesThenOverwriteSave) {
    // Level 12 with 729 invested: NeedBP row 12 is 979, so 250 reach the cap.
    Enter(12, 729, 1000);
    EXPECT_TRUE(Said("レベルアップさせたいＱＬを選択します・・・。"));
    Tap(kKeySpace);
    ReadNarration();
    ASSERT_TRUE(WaitFor(kLevelUpAmount));
    EXPECT_TRUE(Said("単位は１００ＢＰです・・・。"));
    EXPECT_NE(Displays().find("現在のレベル上限：13"), std::string::npos) << Displays();
    for (int amount : {100, 200, 250, 250}) {
        Tap(kKeyUp);
        EXPECT_TRUE(ShowsAmount(amount)) << Displays();
    }
    // Nothing has changed before the decide.
    EXPECT_EQ(State().bpPool, 1000);
    EXPECT_EQ(SaveBytes(CGameApp::SavePath(1)), saved_);
    Tap(kKeySpace);
    ASSERT_TRUE(WaitFor(kCycleScriptStep));
    ReadNarration();
    EXPECT_TRUE(Said("レベルが1上がりました・・・。"));
    ASSERT_TRUE(WaitFor(kLevelUpChoose));
    Tap(kKeyCancel);
    Choose("上書きセーブする");
    ASSERT_TRUE(WaitFor(0, kSceneMenu));
    GameState g = ReadBack();
    EXPECT_EQ(g.bpPool, 750);
    const CharaValues& x = g.squad.find(S("ＱＬ３－1"))->second;
    EXPECT_EQ(x.Level(), 13);
    EXPECT_EQ(x.BP(), 979);
}

TEST_F(LevelUpScene, CapAndTierTopAreRefusedWithTheirNarrations) {
    Enter(13, 0, 5000);
    Tap(kKeySpace);
    ReadNarration();
    EXPECT_TRUE(Said("このＱＬの現在のレベル上限は13です・・・。"));
    EXPECT_TRUE(Said("これ以上強化するには、まず他のＱＬのレベルを上げてください・・・。"));
    ASSERT_TRUE(WaitFor(kLevelUpChoose));
    // A level-20 creature (the next one in name order is set to 20).
    State().squad.find(S("ＱＬ３－2"))->second.SetLevel(20);
    Tap(kKeyRight);
    Tap(kKeySpace);
    ReadNarration();
    EXPECT_TRUE(Said("レベル上限は２０です。"));
    EXPECT_TRUE(Said("これ以上強化するには、合成を実行してください・・・。"));
    ASSERT_TRUE(WaitFor(kLevelUpChoose));
    EXPECT_EQ(State().bpPool, 5000);
}

TEST_F(LevelUpScene, PoolTooSmallRefusesTheSecondUnitAndCancelLeavesTheFileAlone) {
    Enter(1, 0, 150);
    Tap(kKeySpace);
    ReadNarration();
    ASSERT_TRUE(WaitFor(kLevelUpAmount));
    Tap(kKeyUp);
    EXPECT_TRUE(ShowsAmount(100)) << Displays();
    Tap(kKeyUp); // the pool of 150 does not cover 200
    EXPECT_TRUE(ShowsAmount(100)) << Displays();
    Tap(kKeyDown);
    EXPECT_TRUE(ShowsAmount(0)) << Displays();
    Tap(kKeyDown); // stays 0
    EXPECT_TRUE(ShowsAmount(0)) << Displays();
    Tap(kKeySpace); // an amount of 0 does nothing
    StepRecording();
    EXPECT_EQ(Cycle(), kLevelUpAmount);
    Tap(kKeyCancel);
    ASSERT_TRUE(WaitFor(kLevelUpChoose));
    Tap(kKeyCancel);
    LeaveWithoutSaving();
    EXPECT_EQ(State().bpPool, 150);
    EXPECT_EQ(SaveBytes(CGameApp::SavePath(1)), saved_);
}

} // namespace
} // namespace quolis
