#include "common/Random.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

TEST(GameRandom, RuntimeSequence) {
    // The C runtime's rand() after srand(1): 41, 18467, 6334, 26500.
    GameRandom r;
    r.Seed(1);
    EXPECT_EQ(r.Next(), 41);
    EXPECT_EQ(r.Next(), 18467);
    EXPECT_EQ(r.Next(), 6334);
    EXPECT_EQ(r.Next(), 26500);
}

TEST(GameRandom, ReseedFromCalendarRepeatsWithinASecond) {
    FixedCalendar cal(1070892300);
    GameRandom r(&cal);
    r.Reseed();
    const int a = r.Next();
    const int b = r.Next();
    r.Reseed();
    EXPECT_EQ(r.Next(), a);
    EXPECT_EQ(r.Next(), b);
    cal.Advance(1);
    r.Reseed();
    EXPECT_EQ(r.State(), 1070892301u);
}

TEST(VaryRoll, RangeAndCollapse) {
    GameRandom r;
    r.Seed(7);
    for (int i = 0; i < 200; ++i) {
        const int v = VaryRoll(r, 30, 1.0f, 1.2f);
        EXPECT_GE(v, 30);
        EXPECT_LE(v, 36);
        const int idx = VaryRoll(r, 99, 0.0f, 1.0f);
        EXPECT_GE(idx, 0);
        EXPECT_LE(idx, 99);
    }
    EXPECT_EQ(VaryRoll(r, -5, 1.0f, 1.2f), -6);
    EXPECT_EQ(VaryRoll(r, 0, 1.0f, 1.2f), 0);
}

TEST(TruncToInt, OutOfRangeIsIndefinite) {
    EXPECT_EQ(TruncToInt(-2.9f), -2);
    EXPECT_EQ(TruncToInt(3e9f), INT32_MIN);
    EXPECT_EQ(TruncToInt(-3e9f), INT32_MIN);
    EXPECT_EQ(TruncToInt(__builtin_nanf("")), INT32_MIN);
}

} // namespace
} // namespace quolis
