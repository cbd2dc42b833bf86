#include "manage/Regeneration.h"

#include "ManageTestUtil.h"
#include "manage/Fusion.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

using namespace manage_test;

CharaMap::iterator AddCore(GameState& g, CharaValues c) {
    c.SetCoreFlag(1);
    g.RecordNumber(c.TypeName(), c.Number());
    return g.cores.emplace(c.Name(), std::move(c));
}

TEST(Regeneration, AFullSquadMustDiscardFirst) {
    Tables t;
    GameState g;
    for (int n = 1; n <= 5; ++n) {
        Add(g, Creature(t, "ＱＬ－３", n, 3));
    }
    auto core = AddCore(g, Creature(t, "ＱＬ－５", 1, 2));
    EXPECT_FALSE(SquadHasRoom(g, 5));
    EXPECT_FALSE(Regenerate(g, core, 5));
    EXPECT_EQ(g.cores.size(), 1u);
    EXPECT_EQ(DiscardCreature(g, g.squad.begin()), DiscardResult::Discarded);
    EXPECT_TRUE(Regenerate(g, core, 5));
    EXPECT_EQ(g.squad.size(), 5u);
    EXPECT_TRUE(g.cores.empty());
    EXPECT_EQ(g.squad.find(S("ＱＬ５－1"))->second.CoreFlag(), 0);
}

TEST(Regeneration, SquadOfThreeCannotLoseACreature) {
    Tables t;
    GameState g;
    for (int n = 1; n <= 3; ++n) {
        Add(g, Creature(t, "ＱＬ－３", n, 3));
    }
    EXPECT_EQ(DiscardCreature(g, g.squad.begin()), DiscardResult::AtMinimum);
    EXPECT_EQ(g.squad.size(), 3u);
    EXPECT_EQ(DiscardCreature(g, g.squad.end()), DiscardResult::NotFound);
}

TEST(Regeneration, AFusedCoreComesBackWithItsAveragedValues) {
    Tables t;
    GameState g;
    auto a = Add(g, Creature(t, "ＱＬ－３", 1, 15));
    auto b = Add(g, Creature(t, "ＱＬ－３", 2, 19));
    Add(g, Creature(t, "ＱＬ－３", 3, 1));
    Add(g, Creature(t, "ＱＬ－３", 4, 1));
    const std::int32_t hp = (a->second.MaxHP() + b->second.MaxHP()) / 2;
    const std::int32_t ap = (a->second.AP() + b->second.AP()) / 2;
    ASSERT_TRUE(Fuse(g, a, b, false, t.master, t.arms).done);
    ASSERT_TRUE(Regenerate(g, g.cores.begin(), 10));
    const CharaValues& c = g.squad.find(S("ＱＬ３－5"))->second;
    EXPECT_EQ(c.CoreFlag(), 0);
    EXPECT_EQ(c.Level(), 1);
    EXPECT_EQ(c.FusionCount(), 1);
    EXPECT_EQ(c.Level2(), 20);
    EXPECT_EQ(c.MaxHP(), hp);
    EXPECT_EQ(c.AP(), ap);
}

TEST(Regeneration, DiscardingTheLastCoreEmptiesTheCase) {
    Tables t;
    GameState g;
    auto core = AddCore(g, Creature(t, "ＱＬ－５", 1, 2));
    EXPECT_EQ(DiscardCore(g, core), DiscardResult::Discarded);
    EXPECT_TRUE(g.cores.empty());
    EXPECT_EQ(DiscardCore(g, g.cores.end()), DiscardResult::NotFound);
}

TEST(Regeneration, PlacesInNameOrder) {
    Tables t;
    GameState g;
    for (int n = 1; n <= 3; ++n) {
        Add(g, Creature(t, "ＱＬ－３", n, 3));
    }
    auto second = AtIndex(g.squad, 1);
    EXPECT_EQ(second->first, S("ＱＬ３－2"));
    EXPECT_EQ(IndexOf(g.squad, second), 1);
    EXPECT_EQ(AtIndex(g.squad, 3), g.squad.end());
    EXPECT_EQ(AtIndex(g.squad, -1), g.squad.end());
    EXPECT_EQ(IndexOf(g.squad, g.squad.end()), -1);
}

} // namespace
} // namespace quolis
