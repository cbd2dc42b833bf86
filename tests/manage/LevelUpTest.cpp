#include "manage/LevelUp.h"

#include "ManageTestUtil.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

using namespace manage_test;

TEST(LevelUp, CapFollowsTheRestOfTheSquad) {
    Tables t;
    GameState g;
    auto a = Add(g, Creature(t, "ＱＬ－３", 1, 10));
    Add(g, Creature(t, "ＱＬ－３", 2, 10));
    auto x = Add(g, Creature(t, "ＱＬ－５", 1, 12));
    // S = 20, T = 20 / 2 + 3 = 13: tier 0, level 13.
    EXPECT_EQ(LevelCap(g.squad, x), 13);
    x->second.SetLevel(13);
    x->second.SetLevel2(13);
    EXPECT_EQ(LevelCap(g.squad, x), 13);
    // The others' fusion counts count twice besides their absolute level:
    // a fused creature of level 1 (absolute 20) and one of level 10 give
    // S = 22 + 10, T = 16 + 3 = 19.
    a->second.SetFusionCount(1);
    a->second.SetLevel(1);
    a->second.SetLevel2(20);
    EXPECT_EQ(LevelCap(g.squad, x), 19);
}

TEST(LevelUp, CapByTier) {
    Tables t;
    GameState g;
    // Others at absolute level 39 (fusion count 1, level 20): S = 82,
    // T = 41 + 3 = 44, Split: fusion count 2, level 5.
    for (int n = 1; n <= 2; ++n) {
        Add(g, Creature(t, "ＱＬ－３", n, 20, 1));
    }
    auto low = Add(g, Creature(t, "ＱＬ－５", 1, 7, 1));
    EXPECT_EQ(LevelCap(g.squad, low), 20); // a lower tier goes to 20
    low->second.SetFusionCount(2);
    EXPECT_EQ(LevelCap(g.squad, low), 5); // the same tier stops at the tier level
    low->second.SetFusionCount(3);
    EXPECT_EQ(LevelCap(g.squad, low), 7); // a higher tier keeps its own level
}

TEST(LevelUp, CapOfALoneCreatureIsTheTopOfItsTier) {
    Tables t;
    GameState g;
    auto x = Add(g, Creature(t, "ＱＬ－３", 1, 4));
    EXPECT_EQ(LevelCap(g.squad, x), 20);
}

TEST(LevelUp, AmountStepsUpToTheExactNeed) {
    std::int32_t amount = 0;
    std::vector<std::int32_t> seen;
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(IncreaseAmount(amount, 250, 1000), AmountStep::Changed);
        seen.push_back(amount);
    }
    EXPECT_EQ(seen, (std::vector<std::int32_t>{100, 200, 250, 250}));
    EXPECT_EQ(DecreaseAmount(amount), AmountStep::Changed);
    EXPECT_EQ(amount, 150);
    EXPECT_EQ(DecreaseAmount(amount), AmountStep::Changed);
    EXPECT_EQ(amount, 50);
    EXPECT_EQ(DecreaseAmount(amount), AmountStep::Zeroed);
    EXPECT_EQ(amount, 0);
}

TEST(LevelUp, AmountRefusedBeyondThePool) {
    std::int32_t amount = 0;
    EXPECT_EQ(IncreaseAmount(amount, 1000, 150), AmountStep::Changed);
    EXPECT_EQ(amount, 100);
    EXPECT_EQ(IncreaseAmount(amount, 1000, 150), AmountStep::Refused);
    EXPECT_EQ(amount, 100);
    // The exact need is refused too when the pool does not cover it.
    amount = 0;
    EXPECT_EQ(IncreaseAmount(amount, 80, 70), AmountStep::Refused);
    EXPECT_EQ(amount, 0);
}

TEST(LevelUp, NeedCountsWhatIsInvestedAlready) {
    Tables t;
    const CharaType& type = *t.master.Find(S("ＱＬ－３"));
    CharaValues c = Creature(t, "ＱＬ－３", 1, 1, 0, 40);
    // Cap 3: NeedBP row 2 (155) minus the 40 held.
    EXPECT_EQ(NeedToCap(type, c, 3), 115);
    EXPECT_EQ(NeedToNext(type, c), 60);
}

TEST(LevelUp, ExactBPOfTwoLevelsEndsOnTheTableValues) {
    Tables t;
    const CharaType& type = *t.master.Find(S("ＱＬ－３"));
    GameState g;
    g.bpPool = 1000;
    auto x = Add(g, Creature(t, "ＱＬ－３", 1, 1));
    const CharaValues row3 = Creature(t, "ＱＬ－３", 9, 3);
    // Rows 1 and 2 of NeedBP: 100 and 155.
    LevelUpResult r = ApplyLevelUp(g, x->second, 155, type, t.arms);
    EXPECT_EQ(r.levels, 2);
    const CharaValues& c = x->second;
    EXPECT_EQ(c.Level(), 3);
    EXPECT_EQ(c.Level2(), 3);
    EXPECT_EQ(c.BP(), 155);
    EXPECT_EQ(g.bpPool, 845);
    EXPECT_EQ(c.MaxHP(), 135);
    EXPECT_EQ(c.MaxHP(), row3.MaxHP());
    EXPECT_EQ(c.HP(), c.MaxHP());
    EXPECT_EQ(c.MaxMP(), row3.MaxMP());
    EXPECT_EQ(c.MP(), c.MaxMP());
    EXPECT_EQ(c.AP(), row3.AP());
    EXPECT_EQ(c.DP(), row3.DP());
    EXPECT_EQ(c.QP(), row3.QP());
    EXPECT_TRUE(r.newArms.empty());
    // One BP short of the next row gains nothing but is kept.
    r = ApplyLevelUp(g, x->second, 59, type, t.arms);
    EXPECT_EQ(r.levels, 0);
    EXPECT_EQ(c.BP(), 214);
    EXPECT_EQ(c.Level(), 3);
}

TEST(LevelUp, GainsAddTableDifferencesToFusedValues) {
    Tables t;
    const CharaType& type = *t.master.Find(S("ＱＬ－３"));
    GameState g;
    g.bpPool = 99999;
    // A fused creature keeps its own (averaged) values and grows by the
    // differences of rows 20 → 21.
    CharaValues f = Creature(t, "ＱＬ－３", 1, 1, 1);
    f.SetMaxHP(500);
    f.SetHP(10);
    auto x = Add(g, f);
    const std::int32_t need = type.Value(CharaTable::NeedBP, 20);
    LevelUpResult r = ApplyLevelUp(g, x->second, need, type, t.arms);
    EXPECT_EQ(r.levels, 1);
    EXPECT_EQ(x->second.Level(), 2);
    EXPECT_EQ(x->second.Level2(), 21);
    EXPECT_EQ(x->second.MaxHP(),
              500 + type.Value(CharaTable::HP, 21) - type.Value(CharaTable::HP, 20));
    EXPECT_EQ(x->second.HP(), x->second.MaxHP());
}

TEST(LevelUp, LevelTwentyIsNeverRaised) {
    Tables t;
    const CharaType& type = *t.master.Find(S("ＱＬ－３"));
    GameState g;
    g.bpPool = 99999;
    auto x = Add(g, Creature(t, "ＱＬ－３", 1, 18));
    LevelUpResult r = ApplyLevelUp(g, x->second, 90000, type, t.arms);
    EXPECT_EQ(r.levels, 2);
    EXPECT_EQ(x->second.Level(), 20);
    r = ApplyLevelUp(g, x->second, 5000, type, t.arms);
    EXPECT_EQ(r.levels, 0);
    EXPECT_EQ(x->second.Level(), 20);
    EXPECT_EQ(x->second.Level2(), 20);
}

TEST(LevelUp, RefusesAmountsOutsideThePool) {
    Tables t;
    const CharaType& type = *t.master.Find(S("ＱＬ－３"));
    GameState g;
    g.bpPool = 100;
    auto x = Add(g, Creature(t, "ＱＬ－３", 1, 1));
    EXPECT_EQ(ApplyLevelUp(g, x->second, 101, type, t.arms).levels, 0);
    EXPECT_EQ(ApplyLevelUp(g, x->second, 0, type, t.arms).levels, 0);
    EXPECT_EQ(g.bpPool, 100);
    EXPECT_EQ(x->second.BP(), 0);
}

TEST(LevelUp, AbsoluteLevelHeldAtTheTableEndKeepsItsValues) {
    Tables t;
    const CharaType& type = *t.master.Find(S("ＱＬ－３"));
    GameState g;
    g.bpPool = 99999;
    CharaValues c = Creature(t, "ＱＬ－３", 1, 3, 5); // absolute level held at 99
    ASSERT_EQ(c.Level2(), 99);
    const std::int32_t hp = c.MaxHP();
    auto x = Add(g, c);
    // Below row 99 of NeedBP nothing is gained; at it one level, values kept.
    EXPECT_EQ(ApplyLevelUp(g, x->second, 100, type, t.arms).levels, 0);
    const std::int32_t rest = type.Value(CharaTable::NeedBP, 99) - x->second.BP();
    EXPECT_EQ(ApplyLevelUp(g, x->second, rest, type, t.arms).levels, 17);
    EXPECT_EQ(x->second.MaxHP(), hp);
    EXPECT_EQ(x->second.Level2(), 99);
}

TEST(LevelUp, LearnsMetalArmsAndTheNarrationListsThemTwoToAMessage) {
    Tables t;
    const CharaType& type = *t.master.Find(S("ＱＬ－３"));
    GameState g;
    g.bpPool = 99999;
    auto x = Add(g, Creature(t, "ＱＬ－３", 1, 9));
    EXPECT_EQ(x->second.MblP(), 3);
    const std::int32_t need = type.Value(CharaTable::NeedBP, 16) - x->second.BP();
    LevelUpResult r = ApplyLevelUp(g, x->second, need, type, t.arms);
    EXPECT_EQ(r.levels, 8);
    EXPECT_EQ(r.newArms, (std::vector<std::string>{S("斬撃")}));
    EXPECT_EQ(x->second.MblP(), 4);
    r.newArms = {S("斬撃"), S("火炎"), S("雷撃")};
    TokenList expected = {S("レベルが8上がりました・・・。"),
                          ".",
                          S("斬撃\n\n火炎\n\n"),
                          ".",
                          S("雷撃\n\n"),
                          ".",
                          S("以上のメタルアームズを習得しました・・・。"),
                          "."};
    EXPECT_EQ(LevelUpNarration(r), expected);
    r.newArms.clear();
    EXPECT_EQ(LevelUpNarration(r), (TokenList{S("レベルが8上がりました・・・。"), "."}));
}

} // namespace
} // namespace quolis
