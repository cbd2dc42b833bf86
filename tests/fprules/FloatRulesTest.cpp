// Exact figures of the single-precision rules, worked out by hand. Every
// product and sum is rounded to single precision on its own; a fused
// multiply-add (one rounding for x * y + 1) changes the results below, and so
// does keeping a product in double or extended precision.
#include "battle/Attack.h"
#include "common/Clock.h"
#include "common/Random.h"
#include "data/CharaMaster.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace quolis {
namespace {

// The x86-64-v3 build runs its rule code with AVX2 and FMA instructions.
void SkipWithoutV3() {
#if defined(QUOLIS_FPRULES_V3)
    __builtin_cpu_init();
    if (!__builtin_cpu_supports("avx2") || !__builtin_cpu_supports("fma")) {
        GTEST_SKIP() << "this processor has no AVX2/FMA: the x86-64-v3 build cannot run here";
    }
#endif
}

CharaValues Attacker(std::int32_t ap, std::int32_t level2, std::int32_t power) {
    CharaValues a;
    a.SetName("a");
    a.SetAP(ap);
    a.SetLevel2(level2);
    MARecord arm;
    arm.name = "gun";
    arm.range = 1;
    arm.power = power;
    arm.mpCost = 1;
    a.LearnArm(arm);
    return a;
}

TEST(FloatRules, GrowthStepAtLevel71) {
    SkipWithoutV3();
    // 71 * 0.9f = 63.8999977 (rounded), + 1 = 64.8999939, * 100 = 6489.99951,
    // truncated 6489. Fused, 71 * 0.9f + 1 is rounded once: 64.9000015, and
    // the step becomes 6490.
    const std::vector<std::int32_t> rows = GrowthRows(1000, 100.0f, 0.9f);
    ASSERT_EQ(rows.size(), 99u);
    EXPECT_EQ(rows[71] - rows[70], 6489); // row 72 - row 71: the step at L = 71
    EXPECT_EQ(rows[1] - rows[0], 190);    // 1.89999998 * 100 rounds to 190
}

TEST(FloatRules, SecondDrawRangeAtAbsoluteLevel51) {
    SkipWithoutV3();
    // (51 * 0.3 + 1) * 10: 51 * 0.3f = 15.3000002; + 1 is exactly half-way
    // between 16.2999992 and 16.3000011 and rounds to the even 16.2999992;
    // * 10 = 162.99999237060546875 is again exactly half-way, between
    // 162.999985 and 163, and rounds to the even 163. So the draw is
    // VaryRoll(163, 1, 1.2): 163 ... trunc(195.6) = 195. (The same product
    // kept in double precision would truncate to 162 and give 162 ... 194.)
    // With AP 0, bonus 0 and DP 0 the other three draws are 0, so the damage
    // is the second draw itself.
    FixedCalendar cal(0);
    GameRandom random(&cal);
    const CharaValues a = Attacker(0, 51, 10);
    CharaValues t;
    t.SetName("t");
    std::int32_t lo = 1000;
    std::int32_t hi = 0;
    for (std::int64_t sec = 0; sec < 2000; ++sec) {
        cal.Set(1070000000 + sec * 7);
        const std::int32_t d = RollDamage(random, a, t, "gun", 0);
        lo = std::min(lo, d);
        hi = std::max(hi, d);
    }
    EXPECT_EQ(lo, 163);
    EXPECT_EQ(hi, 195);
}

TEST(FloatRules, OneDamageRollWithEveryFigure) {
    SkipWithoutV3();
    // Attacker AP 200, absolute level 51, command power 30, bonus 4; target
    // DP 100; calendar second 1070892300. The generator, seeded with the
    // second, gives 17188, 5757, 19402, 2122.
    // p1 = VaryRoll(200, 1, 1.2): 200 ... trunc(240.000015) = 240, 41 values;
    //      17188 % 41 = 9, so 209.
    // p2: (51 * 0.3 + 1) = 16.2999992 (see above), * 30 = 488.999969, so
    //      VaryRoll(488, 1, 1.2): 488 ... trunc(585.600037) = 585, 98 values;
    //      5757 % 98 = 73, so 561. (Fused: 16.3000011 * 30 = 489.00003, and
    //      489 + 73 = 562.)
    // p3: 16.2999992 * 4 = 65.1999969, VaryRoll(65, 1, 1.2): 65 ... 78,
    //      14 values; 19402 % 14 = 12, so 77.
    // p4 = VaryRoll(100, 0.6, 0.8): 60.0000038 ... 80, so 60 ... 80, 21
    //      values; 2122 % 21 = 1, so 61 (not below 60.0000038).
    // Damage = 209 + 561 + 77 - 61 = 786.
    FixedCalendar cal(1070892300);
    GameRandom random(&cal);
    const CharaValues a = Attacker(200, 51, 30);
    CharaValues t;
    t.SetName("t");
    t.SetDP(100);
    EXPECT_EQ(RollDamage(random, a, t, "gun", 4), 786);

    // The four outputs the figures above use.
    random.Seed(1070892300u);
    EXPECT_EQ(random.Next(), 17188);
    EXPECT_EQ(random.Next(), 5757);
    EXPECT_EQ(random.Next(), 19402);
    EXPECT_EQ(random.Next(), 2122);
}

TEST(FloatRules, VaryRollForAKnownSeed) {
    SkipWithoutV3();
    GameRandom random;
    // Seed 1: outputs 41, 18467, 6334, 26500 (the C runtime after srand(1)).
    random.Seed(1);
    // 100 ... trunc(120.000008) = 120, 21 values: 41 % 21 = 20, so 120.
    EXPECT_EQ(VaryRoll(random, 100, 1.0f, 1.2f), 120);
    // 0 ... 99, 100 values: 18467 % 100 = 67.
    EXPECT_EQ(VaryRoll(random, 99, 0.0f, 1.0f), 67);
    // 30 * 0.6f and 30 * 0.8f round to exactly 18 and 24; 7 values:
    // 6334 % 7 = 6, so 24.
    EXPECT_EQ(VaryRoll(random, 30, 0.6f, 0.8f), 24);
    // Negative values collapse to the upper end: -5 * 1.2f rounds to -6;
    // the only value drawn is -5, which lies above -6, so the answer is -6.
    EXPECT_EQ(VaryRoll(random, -5, 1.0f, 1.2f), -6);
}

} // namespace
} // namespace quolis
