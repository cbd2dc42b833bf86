#include "common/Stopwatch.h"

#include <gtest/gtest.h>

namespace quolis {
namespace {

class StopwatchTest : public ::testing::Test {
protected:
    void SetUp() override { CStopwatch::SetClock(&clock); }
    void TearDown() override {
        CStopwatch::SetTimeFrozen(false);
        CStopwatch::SetClock(nullptr);
    }
    ManualClock clock{1000};
};

TEST_F(StopwatchTest, ElapsedAndSinceMarkInSeconds) {
    CStopwatch w;
    clock.Advance(250);
    EXPECT_FLOAT_EQ(w.SampleElapsed(), 0.25f);
    w.SetMark();
    clock.Advance(40);
    w.Sample();
    EXPECT_FLOAT_EQ(w.SinceMark(), 0.04f);
    EXPECT_FLOAT_EQ(w.Elapsed(), 0.29f);
}

TEST_F(StopwatchTest, SurvivesTheWrapOfTheTickCount) {
    clock.Set(0xFFFFFF00u);
    CStopwatch w;
    clock.Advance(0x200); // wraps past zero
    EXPECT_FLOAT_EQ(w.SampleElapsed(), 0.512f);
}

TEST_F(StopwatchTest, FreezeKeepsTheLastSampleAndMark) {
    CStopwatch w;
    clock.Advance(100);
    w.Sample();
    CStopwatch::SetTimeFrozen(true);
    clock.Advance(500);
    w.Sample();
    w.SetMark();
    EXPECT_FLOAT_EQ(w.Elapsed(), 0.1f);
    EXPECT_FLOAT_EQ(w.SinceMark(), 0.1f);
}

TEST_F(StopwatchTest, PauseAllStopsEveryStopwatchAndResumeKeepsTheSpans) {
    CStopwatch a;
    CStopwatch b;
    clock.Advance(300);
    a.Sample();
    b.Sample();
    b.SetMark();
    CStopwatch::PauseAll();
    EXPECT_TRUE(CStopwatch::TimeFrozen());
    EXPECT_TRUE(a.Paused());
    clock.Advance(10000); // the pause lasts ten seconds
    CStopwatch::ResumeAll();
    EXPECT_FALSE(CStopwatch::TimeFrozen());
    clock.Advance(50);
    EXPECT_FLOAT_EQ(a.SampleElapsed(), 0.35f);
    b.Sample();
    EXPECT_FLOAT_EQ(b.SinceMark(), 0.05f);
}

TEST_F(StopwatchTest, UnpausableStopwatchRunsThroughThePause) {
    CStopwatch w;
    w.SetPausable(false);
    CStopwatch::PauseAll();
    EXPECT_FALSE(w.Paused());
    CStopwatch::ResumeAll();
    clock.Advance(70);
    EXPECT_FLOAT_EQ(w.SampleElapsed(), 0.07f);
}

} // namespace
} // namespace quolis
