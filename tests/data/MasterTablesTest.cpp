#include "TestUtil.h"
#include "data/BonusTables.h"
#include "data/FloorTables.h"
#include "data/MAMaster.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {
using test::S;
using test::Tok;

TEST(MAMaster, FlatRowsFirstRowWinsAndIncompleteRowDropped) {
    MAMaster m;
    m.Parse(Tok("キャノン 3 20 10  バルカン 2 12 5  キャノン 9 99 99  ブレス 4"));
    ASSERT_EQ(m.Records().size(), 2u);
    const MARecord* c = m.Find(S("キャノン"));
    ASSERT_NE(c, nullptr);
    EXPECT_EQ(c->range, 3);
    EXPECT_EQ(c->power, 20);
    EXPECT_EQ(c->mpCost, 10);
    EXPECT_EQ(m.Find(S("ブレス")), nullptr);
}

TEST(MAMaster, UnparsableNumberKeepsPreviousRowValue) {
    MAMaster m;
    m.Parse(Tok("A 3 20 10 B x 0012 5"));
    EXPECT_EQ(m.Find("B")->range, 3);
    EXPECT_EQ(m.Find("B")->power, 12);
}

TEST(BonusTables, HeightLookupsUseKeyOrGreatestKey) {
    HeightBonus h;
    h.Parse(Tok("ByUpper // 1 10 2 20 3 30 // ByLower // 1 -5 3 -15 //"));
    EXPECT_EQ(BonusLookup(h.ByUpper, 2), 20);
    EXPECT_EQ(BonusLookup(h.ByUpper, 5), 30);
    EXPECT_EQ(BonusLookup(h.ByLower, 1), -5);
    // Key 2 is absent: the greatest key (3) answers, not the nearest lower one.
    EXPECT_EQ(BonusLookup(h.ByLower, 2), -15);
    EXPECT_EQ(BonusLookup(BonusMap{}, 1), 0);
}

TEST(BonusTables, DirectionFileRepeatedKeyAndStrayTokens) {
    DirectionBonus d;
    d.Parse(Tok("junk BySide // 1 4 1 99 2 6 // ByRear // 1 8 // tail ByRear // 1 50 //"));
    EXPECT_EQ(d.BySide.size(), 2u);
    EXPECT_EQ(BonusLookup(d.BySide, 1), 4);
    ASSERT_EQ(d.ByRear.size(), 1u);
    // A second list not following BySide is outside the layout.
    EXPECT_EQ(BonusLookup(d.ByRear, 1), 8);
}

TEST(BonusTables, SecondListOnlyDirectlyAfterFirst) {
    HeightBonus h;
    h.Parse(Tok("ByUpper // 1 10 // x ByLower // 1 7 //"));
    EXPECT_TRUE(h.ByLower.empty());
    h = HeightBonus{};
    h.Parse(Tok("ByUpper // 1 10 5"));
    EXPECT_EQ(BonusLookup(h.ByUpper, 1), 10);
}

TEST(FloorTables, RowsAndMissingKey) {
    FloorTex t;
    t.Parse(Tok("a grass.bmp b rock.bmp a other.bmp c"));
    ASSERT_NE(t.Find("a"), nullptr);
    EXPECT_EQ(*t.Find("a"), "grass.bmp");
    EXPECT_EQ(t.Find("c"), nullptr);
    EXPECT_EQ(t.Rows().size(), 2u);
}

} // namespace
} // namespace quolis
