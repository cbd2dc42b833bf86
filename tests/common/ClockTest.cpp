#include "common/Clock.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

TEST(Clock, ManualClockMovesOnlyWhenTold) {
    ManualClock c(100);
    EXPECT_EQ(c.NowMs(), 100u);
    c.Advance(16);
    EXPECT_EQ(c.NowMs(), 116u);
    EXPECT_DOUBLE_EQ(c.NowSeconds(), 0.116);
}

TEST(Clock, FixedCalendarGivesStableBrokenDownTime) {
    // 2003-03-05 14:07:00 UTC was a Wednesday.
    FixedCalendar cal(1046873220);
    std::tm t = cal.Local(cal.Now());
    EXPECT_EQ(t.tm_year, 103);
    EXPECT_EQ(t.tm_mon, 2);
    EXPECT_EQ(t.tm_mday, 5);
    EXPECT_EQ(t.tm_hour, 14);
    EXPECT_EQ(t.tm_min, 7);
    EXPECT_EQ(t.tm_wday, 3);
}

TEST(Clock, ClockCalendarStartsAtItsSecondAndFollowsTheClock) {
    // The clock does not start at zero; the calendar counts from its own start.
    ManualClock clock(4294960000u);
    ClockCalendar cal(1046873220, clock);
    EXPECT_EQ(cal.Now(), 1046873220);
    clock.Advance(999);
    EXPECT_EQ(cal.Now(), 1046873220); // a draw within the same second repeats
    clock.Advance(1);
    EXPECT_EQ(cal.Now(), 1046873221);
    // The tick count wraps past 2^32 ms without the calendar going back.
    clock.Advance(61000);
    EXPECT_EQ(cal.Now(), 1046873282);
    EXPECT_EQ(cal.Local(cal.Now()).tm_min, 8); // UTC on every machine
}

} // namespace
} // namespace quolis
