#include "manage/Fusion.h"

#include "ManageTestUtil.h"
#include "manage/Roster.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

using namespace manage_test;

TEST(Fusion, EntryNeedsFourCreaturesAndRoomInTheCoreCase) {
    Tables t;
    GameState g;
    for (int n = 1; n <= 3; ++n) {
        Add(g, Creature(t, "ＱＬ－３", n, 15));
    }
    EXPECT_EQ(CheckFusionEntry(g), FusionEntry::TooFewInSquad);
    auto fourth = Add(g, Creature(t, "ＱＬ－３", 4, 15));
    EXPECT_EQ(CheckFusionEntry(g), FusionEntry::Open);
    for (int n = 1; n <= 9; ++n) {
        CharaValues core = Creature(t, "ＱＬ－５", n, 1);
        core.SetCoreFlag(1);
        g.cores.emplace(core.Name(), core);
    }
    EXPECT_EQ(CheckFusionEntry(g), FusionEntry::CoreCaseFull);
    // Nothing fuses into a full case.
    FusionResult r = Fuse(g, g.squad.begin(), fourth, false, t.master, t.arms);
    EXPECT_FALSE(r.done);
    EXPECT_EQ(g.squad.size(), 4u);
    EXPECT_EQ(g.cores.size(), 9u);
}

TEST(Fusion, SquadOfFourFusesOnce) {
    Tables t;
    GameState g;
    std::vector<CharaMap::iterator> its;
    for (int n = 1; n <= 4; ++n) {
        its.push_back(Add(g, Creature(t, "ＱＬ－３", n, 15)));
    }
    FusionResult r = Fuse(g, its[0], its[1], false, t.master, t.arms);
    ASSERT_TRUE(r.done);
    EXPECT_EQ(g.squad.size(), 2u);
    EXPECT_EQ(g.cores.size(), 1u);
    EXPECT_EQ(r.coreName, S("ＱＬ３－5"));
    EXPECT_EQ(g.numbers[S("ＱＬ－３")], 5);
    EXPECT_EQ(CheckFusionEntry(g), FusionEntry::TooFewInSquad);
}

TEST(Fusion, CoreValuesAreIntegerAveragesAtTheNextTier) {
    Tables t;
    GameState g;
    CharaValues a = Creature(t, "ＱＬ－３", 1, 15);
    CharaValues b = Creature(t, "ＱＬ－３", 2, 15);
    a.SetMaxHP(101), a.SetMaxMP(40), a.SetAP(30), a.SetDP(21), a.SetQP(9);
    b.SetMaxHP(100), b.SetMaxMP(41), b.SetAP(31), b.SetDP(20), b.SetQP(10);
    CharaValues core = MakeFusedCore(a, b, false, g, t.master, t.arms);
    EXPECT_EQ(core.CoreFlag(), 1);
    EXPECT_EQ(core.Level(), 1);
    EXPECT_EQ(core.FusionCount(), 1);
    EXPECT_EQ(core.Level2(), 20);
    EXPECT_EQ(core.MaxHP(), 100);
    EXPECT_EQ(core.HP(), 100);
    EXPECT_EQ(core.MaxMP(), 40);
    EXPECT_EQ(core.MP(), 40);
    EXPECT_EQ(core.AP(), 30);
    EXPECT_EQ(core.DP(), 20);
    EXPECT_EQ(core.QP(), 9);
    EXPECT_EQ(core.MblP(), 5); // the step (1, 1, 5) is reached
}

TEST(Fusion, PairsNeedEqualFusionCountsAndLevelFifteen) {
    Tables t;
    const CharaValues f1 = Creature(t, "ＱＬ－３", 1, 20, 1);
    const CharaValues f0 = Creature(t, "ＱＬ－３", 2, 20, 0);
    const CharaValues low = Creature(t, "ＱＬ－３", 3, 14, 0);
    EXPECT_TRUE(FusibleAlone(f1));
    EXPECT_TRUE(FusibleAlone(f0));
    EXPECT_FALSE(FusibleAlone(low));
    EXPECT_FALSE(FusiblePair(f1, f0));
    EXPECT_FALSE(FusiblePair(f0, low));
    EXPECT_TRUE(FusiblePair(f0, Creature(t, "ＱＬ－５", 1, 15)));
    GameState g;
    auto a = Add(g, f1);
    auto b = Add(g, f0);
    Add(g, low);
    Add(g, Creature(t, "ＱＬ－３", 4, 16));
    EXPECT_FALSE(Fuse(g, a, b, false, t.master, t.arms).done);
    EXPECT_FALSE(Fuse(g, b, b, false, t.master, t.arms).done);
    EXPECT_EQ(g.squad.size(), 4u);
    EXPECT_TRUE(g.cores.empty());
}

TEST(Fusion, ShapeTwoTakesTheSecondParentsTypeFolderAndBP) {
    Tables t;
    GameState g;
    auto a = Add(g, Creature(t, "ＱＬ－３", 1, 15, 0, 1200));
    auto b = Add(g, Creature(t, "ＱＬ－５", 1, 17, 0, 1700));
    Add(g, Creature(t, "ＱＬ－３", 2, 1));
    Add(g, Creature(t, "ＱＬ－３", 3, 1));
    const std::int32_t hp = (a->second.MaxHP() + b->second.MaxHP()) / 2;
    FusionResult r = Fuse(g, a, b, true, t.master, t.arms);
    ASSERT_TRUE(r.done);
    const CharaValues& core = g.cores.begin()->second;
    EXPECT_EQ(core.TypeName(), S("ＱＬ－５"));
    EXPECT_EQ(core.ModelFolder(), "QL5");
    EXPECT_EQ(core.BP(), 1700);
    EXPECT_EQ(core.MaxHP(), hp);
    EXPECT_EQ(core.Name(), S("ＱＬ５－2"));
    EXPECT_EQ(g.squad.count(S("ＱＬ３－1")), 0u);
    EXPECT_EQ(g.squad.count(S("ＱＬ５－1")), 0u);
}

TEST(Fusion, NarrationListsOnlyTheArmsTheInheritedParentLacked) {
    Tables t;
    GameState g;
    auto a = Add(g, Creature(t, "ＱＬ－３", 1, 15));
    auto b = Add(g, Creature(t, "ＱＬ－３", 2, 15));
    Add(g, Creature(t, "ＱＬ－３", 3, 1));
    Add(g, Creature(t, "ＱＬ－３", 4, 1));
    ASSERT_NE(a->second.FindArm(S("斬撃")), nullptr); // (0, 10) is known already
    FusionResult r = Fuse(g, a, b, false, t.master, t.arms);
    ASSERT_TRUE(r.done);
    // (0, 18) and (1, 1) are new; name order is CP932 byte order.
    EXPECT_EQ(r.newArms, (std::vector<std::string>{S("火炎"), S("雷撃")}));
    TokenList expected = {S("ナレーション："),
                          S("合成により、コアＱＬ３－5ができました・・・。"),
                          ".",
                          S("火炎\n\n雷撃\n\n"),
                          ".",
                          S("以上のメタルアームズがコアに組み込まれました・・・。"),
                          "."};
    EXPECT_EQ(FusionNarration(r), expected);
    r.newArms.clear();
    EXPECT_EQ(FusionNarration(r).size(), 3u);
}

} // namespace
} // namespace quolis
