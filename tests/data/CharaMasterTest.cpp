#include "data/CharaMaster.h"
#include "TestUtil.h"
#include "common/Log.h"

#include <gtest/gtest.h>

#include <vector>

namespace quolis {
namespace {
using test::S;
using test::Tok;

MAMaster Arms() {
    MAMaster m;
    m.Parse(Tok("キャノン 3 20 10 バルカン 2 12 5 ブレス 4 30 10 レーザー 5 40 20"));
    return m;
}

const char* kMaster = R"(
／／名前 ＱＬ－１ QL1 ＱＬ１－ ＱＬ－２ QL2 ＱＬ２－ ＱＬ－１ Other Other－ ／／名前終わり
／／ＨＰ ＱＬ－１ ＱＬ－２ ／／ 100 10 0.5 ／／ ／／ＨＰ終わり
／／ＭＰ ＱＬ－１ ／／ 100 50 0.1 ／／ ＱＬ－１ ／／ 1 1 1 ／／ ／／ＭＰ終わり
／／ＮｅｅｄＢＰ ＱＬ－１ ／／ 100 50 0.1 ／／ ／／ＮｅｅｄＢＰ終わり
／／ＢＰ ＱＬ－１ ／／ 0.5 0.2 ／／ ／／ＢＰ終わり
／／コア出現率 ＱＬ－１ ／／ 150 ／／ ＱＬ－２ ／／ -5.7 ／／ ／／コア出現率終わり
／／ＭｂｌＰ ＱＬ－１ ／／ 0 1 3 1 5 5 0 10 4 ／／ ／／ＭｂｌＰ終わり
／／ＲｉｓｅＰ ＱＬ－１ ＱＬ－２ ／／ 0 1 2 ／／ ／／ＲｉｓｅＰ終わり
／／メタルアームズ ＱＬ－１ ／／ レーザー 1 5 ブレス 0 3 キャノン 0 1 バルカン 0 1 ／／ ／／メタルアームズ終わり
)";

class CharaMasterTest : public ::testing::Test {
protected:
    void SetUp() override {
        arms = Arms();
        master.Parse(Tok(kMaster), arms);
        ql1 = master.Find(S("ＱＬ－１"));
        ASSERT_NE(ql1, nullptr);
    }
    MAMaster arms;
    CharaMaster master;
    const CharaType* ql1 = nullptr;
};

TEST_F(CharaMasterTest, NamesFirstDeclarationWins) {
    EXPECT_EQ(master.Types().size(), 2u);
    EXPECT_EQ(ql1->modelFolder, "QL1");
    EXPECT_EQ(ql1->namePrefix, S("ＱＬ１－"));
}

TEST_F(CharaMasterTest, GrowthRuleRows) {
    const std::vector<std::int32_t> first(ql1->hp.begin(), ql1->hp.begin() + 5);
    EXPECT_EQ(first, (std::vector<std::int32_t>{100, 115, 135, 160, 190}));
    EXPECT_EQ(ql1->Value(CharaTable::HP, 20), 1240);
    EXPECT_EQ(ql1->Value(CharaTable::HP, 99), 25335);
    // Shared by both types of the group.
    EXPECT_EQ(master.Find(S("ＱＬ－２"))->Value(CharaTable::HP, 99), 25335);
}

TEST_F(CharaMasterTest, GrowthRuleSinglePrecision) {
    // 11 * 0.1f + 1 rounds to just below 2.1 in single precision.
    EXPECT_EQ(ql1->Value(CharaTable::MP, 11), 875);
    EXPECT_EQ(ql1->Value(CharaTable::MP, 12), 979);
    EXPECT_EQ(ql1->Value(CharaTable::MP, 99), 29250);
    // A second group for the same type appends rows; lookups use the first.
    EXPECT_EQ(ql1->mp.size(), 198u);
    EXPECT_EQ(ql1->Value(CharaTable::MP, 1), 100);
}

TEST_F(CharaMasterTest, BPRule) {
    EXPECT_EQ(ql1->Value(CharaTable::NeedBP, 1), 100);
    EXPECT_EQ(ql1->Value(CharaTable::NeedBP, 2), 155);
    EXPECT_EQ(ql1->Value(CharaTable::NeedBP, 3), 215);
    EXPECT_EQ(ql1->Value(CharaTable::NeedBP, 4), 280);
    const std::vector<std::int32_t> first(ql1->bp.begin(), ql1->bp.begin() + 4);
    EXPECT_EQ(first, (std::vector<std::int32_t>{16, 30, 22, 30}));
    EXPECT_EQ(ql1->bp.size(), 99u);
}

TEST_F(CharaMasterTest, TableLookupOutsideRowsIsZero) {
    EXPECT_EQ(ql1->Value(CharaTable::HP, 0), 0);
    EXPECT_EQ(ql1->Value(CharaTable::HP, 100), 0);
    EXPECT_EQ(ql1->Value(CharaTable::AP, 5), 0); // no ＡＰ section
}

TEST_F(CharaMasterTest, CoreRateClamped) {
    EXPECT_EQ(ql1->coreRate, 100);
    EXPECT_EQ(master.Find(S("ＱＬ－２"))->coreRate, 0);
}

TEST_F(CharaMasterTest, StepsAndArmsLists) {
    ASSERT_EQ(ql1->mblP.size(), 3u);
    EXPECT_EQ(ql1->mblP[1].fusionCount, 1);
    EXPECT_EQ(ql1->mblP[1].level, 5);
    EXPECT_EQ(ql1->mblP[1].value, 5);
    EXPECT_EQ(master.Find(S("ＱＬ－２"))->riseP.size(), 1u);
    ASSERT_EQ(ql1->arms.size(), 4u);
    std::vector<std::string> byCost;
    for (const auto& [cost, name] : ql1->armsByCost) {
        byCost.push_back(name);
    }
    // Equal costs (10) keep the file's order: ブレス before キャノン.
    EXPECT_EQ(byCost,
              (std::vector<std::string>{S("バルカン"), S("ブレス"), S("キャノン"), S("レーザー")}));
}

TEST_F(CharaMasterTest, ReachedAndLearning) {
    const auto reached = [](int f, int l) { return Reached(1, 5, f, l); };
    EXPECT_TRUE(reached(1, 5));
    EXPECT_TRUE(reached(2, 1));
    EXPECT_FALSE(reached(1, 4));
    EXPECT_FALSE(reached(0, 20));

    CharaValues c;
    c.SetLevel(3);
    LearnArms(*ql1, arms, c);
    EXPECT_EQ(c.Arms().size(), 3u);
    std::vector<std::string> order;
    for (const auto& [cost, name] : c.ArmsByCost()) {
        order.push_back(name);
    }
    // The creature learns in name order (キャノン before ブレス in CP932 byte
    // order), and equal costs (10) keep that order, unlike the type's listing.
    EXPECT_EQ(order, (std::vector<std::string>{S("バルカン"), S("キャノン"), S("ブレス")}));
    c.SetFusionCount(1);
    c.SetLevel(5);
    LearnArms(*ql1, arms, c);
    EXPECT_EQ(c.Arms().size(), 4u);
    EXPECT_EQ(c.ArmsByCost().size(), 4u);
}

TEST_F(CharaMasterTest, StepsRaiseButNeverLower) {
    CharaValues c;
    c.SetLevel(10);
    ApplySteps(*ql1, c);
    EXPECT_EQ(c.MblP(), 4);
    EXPECT_EQ(c.RiseP(), 2);
    c.SetFusionCount(1);
    c.SetLevel(5);
    ApplySteps(*ql1, c);
    EXPECT_EQ(c.MblP(), 5);
    c.SetMblP(9);
    ApplySteps(*ql1, c);
    EXPECT_EQ(c.MblP(), 9);
    CharaValues fresh;
    fresh.SetLevel(0);
    ApplySteps(*master.Find(S("ＱＬ－２")), fresh);
    EXPECT_EQ(fresh.MblP(), 0);
}

TEST(CharaMaster, UndeclaredTypeAndUnknownArmsAreLoggedAndSkipped) {
    std::vector<std::string> lines;
    LogSink old = SetLogSink([&](std::string_view l) { lines.emplace_back(l); });
    MAMaster arms = Arms();
    CharaMaster m;
    m.Parse(Tok("／／ＨＰ Early ／／ 1 1 1 ／／ ／／ＨＰ終わり ／／名前 A a a- ／／名前終わり "
                "／／ＨＰ Ghost A ／／ 5 0 0 ／／ ／／ＨＰ終わり "
                "／／メタルアームズ A ／／ 無い技 0 1 キャノン 0 1 ／／ ／／メタルアームズ終わり"),
            arms);
    SetLogSink(old);
    ASSERT_NE(m.Find("A"), nullptr);
    EXPECT_EQ(m.Find("Early"), nullptr);
    EXPECT_EQ(m.Find("A")->Value(CharaTable::HP, 1), 5);
    EXPECT_EQ(m.Find("A")->arms.size(), 1u);
    EXPECT_EQ(lines.size(), 3u); // "Early", "Ghost" and the unknown Metal Arms
}

TEST(CharaMaster, TruncatedSectionsStopAtEndOfList) {
    MAMaster arms = Arms();
    {
        CharaMaster m; // an incomplete name triple is not a declaration
        m.Parse(Tok("／／名前 A b"), arms);
        EXPECT_TRUE(m.Types().empty());
    }
    {
        CharaMaster m;
        m.Parse(Tok("／／名前 A b c ／／名前終わり ／／メタルアームズ A ／／ キャノン"), arms);
        EXPECT_EQ(m.Find("A")->arms.size(), 1u);
    }
    CharaMaster m;
    m.Parse(Tok("／／名前 A b c ／／名前終わり ／／ＨＰ A ／／ 10"), arms);
    ASSERT_NE(m.Find("A"), nullptr);
    EXPECT_EQ(m.Find("A")->Value(CharaTable::HP, 2), 10);
}

TEST(Levels, AbsoluteLevelAndSplit) {
    EXPECT_EQ(AbsoluteLevel(20, 0), 20);
    EXPECT_EQ(AbsoluteLevel(1, 1), 20);
    EXPECT_EQ(AbsoluteLevel(1, 2), 40);
    EXPECT_EQ(AbsoluteLevel(21, 0), 20);
    EXPECT_EQ(AbsoluteLevel(20, 5), 99);
    EXPECT_EQ(AbsoluteLevel(0, 0), 0);

    FusionLevel s = Split(50, 0.6f);
    EXPECT_EQ(s.fusionCount, 1);
    EXPECT_EQ(s.level, 11);
    EXPECT_EQ(AbsoluteLevel(s.level, s.fusionCount), 30);
    s = Split(1, 0.6f);
    EXPECT_EQ(s.fusionCount, 0);
    EXPECT_EQ(s.level, 1);
    s = Split(2, 0.6f);
    EXPECT_EQ(s.level, 1);
    // Every absolute level maps back through the rule.
    for (int a = 1; a <= 99; ++a) {
        const FusionLevel r = Split(a, 1.0f);
        EXPECT_EQ(AbsoluteLevel(r.level, r.fusionCount), a) << a;
        EXPECT_GE(r.level, 1);
        EXPECT_LE(r.level, 20);
    }
}

TEST(Levels, ValuesFromTablesAtAbsoluteLevel) {
    MAMaster arms = Arms();
    CharaMaster m;
    m.Parse(Tok(kMaster), arms);
    const CharaType* t = m.Find(S("ＱＬ－１"));
    CharaValues c;
    c.SetFusionCount(1);
    c.SetLevel(1);
    c.SetLevel2(AbsoluteLevel(c.Level(), c.FusionCount()));
    c.SetHP(3);
    ValuesFromTables(*t, c);
    EXPECT_EQ(c.MaxHP(), 1240);
    EXPECT_EQ(c.HP(), 1240);
    EXPECT_EQ(c.MP(), c.MaxMP());
    EXPECT_EQ(c.MaxMP(), t->Value(CharaTable::MP, 20));
}

} // namespace
} // namespace quolis
