// The autoplayer between battles: in the regeneration scene it turns cores
// into creatures while the squad has room and never gives a creature up for
// one; in the fusion scene it fuses the first two creatures that qualify,
// and only from a squad of five. Keys go through the real
// keyboard queue.
#include "app/AutoPlayer.h"
#include "manage/Fusion.h"
#include "scenes/ManageSceneFixture.h"
#include "scenes/autoplay/GamePolicy.h"
#include "scenes/fusion/FusionScene.h"
#include "scenes/regen/RegenScenes.h"

namespace quolis {
namespace {

using namespace manage_test;

class PolicyManage : public ManageSceneFixture {
protected:
    void EnterRegeneration(int squad, int cores, int squadMax) {
        app.OwnCampaign().SetSquadMax(squadMax);
        Enter(kSceneRegeneration, MakeRegenerationScene(), [&](GameState& g) {
            Tables t;
            for (int n = 1; n <= squad; ++n) {
                Add(g, Creature(t, "ＱＬ－３", n, 3));
            }
            for (int n = 1; n <= cores; ++n) {
                CharaValues c = Creature(t, "ＱＬ－５", n, 2);
                c.SetCoreFlag(1);
                g.RecordNumber(c.TypeName(), n);
                g.cores.emplace(c.Name(), c);
            }
        });
        player.SetPolicy(&policy);
    }
    // A squad of ＱＬ－３ creatures with the given levels and fusion counts.
    void EnterFusion(const std::vector<std::pair<int, int>>& levelsAndFusions) {
        Enter(kSceneFusion, MakeFusionScene(), [&](GameState& g) {
            Tables t;
            int n = 0;
            for (const auto& [level, fusions] : levelsAndFusions) {
                ++n;
                Add(g, Creature(t, "ＱＬ－３", n, level, fusions));
            }
        });
        player.SetPolicy(&policy);
    }
    // Lets the autoplayer play until the scene asks the save question (its
    // end), or `limit` passes.
    bool PlayToTheSaveQuestion(int limit = 6000) {
        for (int i = 0; i < limit; ++i) {
            if (Cycle() == kCycleSlotListStep && app.SharedSlotList() != nullptr) {
                for (const auto& [key, e] : app.SharedSlotList()->Entries()) {
                    if (e.name == S("セーブする")) {
                        return true;
                    }
                }
            }
            player.Drive(app, queue);
            StepRecording();
        }
        return false;
    }

    GamePolicy policy;
    AutoPlayer player;
};

TEST_F(PolicyManage, EveryCoreBecomesACreatureWhileTheSquadHasRoom) {
    EnterRegeneration(3, 2, 5);
    ASSERT_TRUE(PlayToTheSaveQuestion()) << "stopped at step " << Cycle();
    EXPECT_EQ(State().squad.size(), 5u);
    EXPECT_TRUE(State().cores.empty());
}

TEST_F(PolicyManage, AFullSquadKeepsItsCreaturesAndTheCores) {
    EnterRegeneration(4, 2, 5);
    ASSERT_TRUE(PlayToTheSaveQuestion()) << "stopped at step " << Cycle();
    // One core fills the last place; the other stays in the case rather
    // than costing a creature.
    EXPECT_EQ(State().squad.size(), 5u);
    EXPECT_EQ(State().cores.size(), 1u);
    for (const std::string& m : messages) {
        EXPECT_EQ(m.find(S("廃棄しました")), std::string::npos) << m;
    }
}

TEST(PolicyFusionPair, TheFirstTwoOfOneFusionCountAtLevelFifteen) {
    Tables t;
    GameState g;
    Add(g, Creature(t, "ＱＬ－３", 1, 15, 1));
    Add(g, Creature(t, "ＱＬ－３", 2, 14));
    Add(g, Creature(t, "ＱＬ－３", 3, 16));
    EXPECT_EQ(FusionPair(g), std::make_pair(-1, -1)); // counts 1 and 0; 14 too low
    Add(g, Creature(t, "ＱＬ－３", 4, 15));
    EXPECT_EQ(FusionPair(g), std::make_pair(2, 3));
    Add(g, Creature(t, "ＱＬ－３", 5, 20, 1));
    EXPECT_EQ(FusionPair(g), std::make_pair(0, 4)); // the earlier first creature wins
}

TEST_F(PolicyManage, TheQualifyingPairIsFusedOnceIntoACore) {
    // Positions 1 and 3 qualify (level 15, no fusion); so do 2 and 4, but
    // after one fusion the squad is too small for another.
    EnterFusion({{3, 0}, {15, 0}, {15, 1}, {15, 0}, {15, 1}});
    ASSERT_TRUE(PlayToTheSaveQuestion()) << "stopped at step " << Cycle();
    const GameState& g = State();
    ASSERT_EQ(g.squad.size(), 3u);
    ASSERT_EQ(g.cores.size(), 1u);
    EXPECT_EQ(g.cores.begin()->second.FusionCount(), 1);
    std::vector<std::pair<int, int>> left;
    for (const auto& [name, c] : g.squad) {
        left.emplace_back(c.Level(), c.FusionCount());
    }
    EXPECT_EQ(left, (std::vector<std::pair<int, int>>{{3, 0}, {15, 1}, {15, 1}}));
}

TEST_F(PolicyManage, ASquadOfFourIsNotFused) {
    EnterFusion({{15, 0}, {15, 0}, {15, 0}, {15, 0}});
    ASSERT_TRUE(PlayToTheSaveQuestion()) << "stopped at step " << Cycle();
    EXPECT_EQ(State().squad.size(), 4u);
    EXPECT_TRUE(State().cores.empty());
}

} // namespace
} // namespace quolis
