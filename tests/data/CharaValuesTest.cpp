#include "data/CharaValues.h"
#include "TestUtil.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {
using test::S;

TEST(CharaValues, SettersAndAddersClamp) {
    CharaValues c;
    c.SetHP(-5);
    EXPECT_EQ(c.HP(), 0);
    c.SetHP(100000);
    EXPECT_EQ(c.HP(), 99999);
    c.SetLevel(100);
    EXPECT_EQ(c.Level(), 99);
    c.SetMblP(-1);
    EXPECT_EQ(c.MblP(), 0);
    c.SetBP(99990);
    c.AddBP(20);
    EXPECT_EQ(c.BP(), 99999);
    c.SetMP(10);
    c.AddMP(-30);
    EXPECT_EQ(c.MP(), 0);
    // No overflow on extreme deltas.
    c.AddMaxHP(INT32_MAX);
    c.AddMaxHP(INT32_MAX);
    EXPECT_EQ(c.MaxHP(), 99999);
    c.AddLevel2(INT32_MIN);
    EXPECT_EQ(c.Level2(), 0);
}

TEST(CharaValues, LearningTwiceChangesNothing) {
    CharaValues c;
    EXPECT_TRUE(c.LearnArm({"A", 1, 2, 10}));
    EXPECT_TRUE(c.LearnArm({"B", 1, 2, 5}));
    EXPECT_FALSE(c.LearnArm({"A", 9, 9, 1}));
    EXPECT_EQ(c.ArmsByCost().size(), 2u);
    EXPECT_EQ(c.ArmsByCost().begin()->second, "B");
    EXPECT_EQ(c.FindArm("A")->mpCost, 10);
}

CharaValues Sample() {
    CharaValues c;
    c.SetName(S("ＱＬ１－3"));
    c.SetTypeName(S("ＱＬ－１"));
    c.SetLevel(7);
    c.SetFusionCount(1);
    c.SetMaxHP(120);
    c.SetHP(80);
    c.SetMaxMP(40);
    c.SetMP(15);
    c.SetMblP(4);
    c.SetRiseP(2);
    c.SetAP(33);
    c.SetDP(21);
    return c;
}

TEST(CharaValues, StatusTexts) {
    const CharaValues c = Sample();
    EXPECT_EQ(Cp932ToUtf8(c.StatusText(true)),
              "ＱＬ１－3\nＱＬ－１型\nレベル：7\n合成回数：1\nＨＰ：80／120 ＭＰ：15／40\n"
              "機動力：4\n上昇力：2\n攻撃力：33   防御力：21\n");
    EXPECT_EQ(Cp932ToUtf8(c.StatusText(false)),
              "ＱＬ１－3　ＱＬ－１型　レベル：7　合成回数：1　ＨＰ：120　ＭＰ：40　");
    EXPECT_EQ(Cp932ToUtf8(c.ShortStatusText(true)),
              "ＱＬ１－3\nＱＬ－１型\nレベル：7\n合成回数：1\nＨＰ：120\nＭＰ：40\n");
    EXPECT_EQ(Cp932ToUtf8(c.ShortStatusText(false)),
              "ＱＬ１－3　ＱＬ－１型　レベル：7　合成回数：1　ＨＰ：120　ＭＰ：40");
}

} // namespace
} // namespace quolis
