// The autoplayer between battles: in the regeneration scene it turns cores
// into creatures while the squad has room and never gives a creature up for
// one. Keys go through the real keyboard queue.
#include "app/AutoPlayer.h"
#include "scenes/ManageSceneFixture.h"
#include "scenes/autoplay/GamePolicy.h"
#include "scenes/regen/RegenScenes.h"

namespace quolis {
namespace {

using namespace manage_test;

class PolicyRegen : public ManageSceneFixture {
protected:
    void EnterWith(int squad, int cores, int squadMax) {
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

TEST_F(PolicyRegen, EveryCoreBecomesACreatureWhileTheSquadHasRoom) {
    EnterWith(3, 2, 5);
    ASSERT_TRUE(PlayToTheSaveQuestion()) << "stopped at step " << Cycle();
    EXPECT_EQ(State().squad.size(), 5u);
    EXPECT_TRUE(State().cores.empty());
}

TEST_F(PolicyRegen, AFullSquadKeepsItsCreaturesAndTheCores) {
    EnterWith(4, 2, 5);
    ASSERT_TRUE(PlayToTheSaveQuestion()) << "stopped at step " << Cycle();
    // One core fills the last place; the other stays in the case rather
    // than costing a creature.
    EXPECT_EQ(State().squad.size(), 5u);
    EXPECT_EQ(State().cores.size(), 1u);
    for (const std::string& m : messages) {
        EXPECT_EQ(m.find(S("廃棄しました")), std::string::npos) << m;
    }
}

} // namespace
} // namespace quolis
