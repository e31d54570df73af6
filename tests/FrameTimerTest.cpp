#include <gtest/gtest.h>

#include "app/FrameTimer.h"
#include "platform/headless/Headless.h"

namespace {

struct FrameTimerTest : ::testing::Test {
    void SetUp() override { headless::reset(); }
    void TearDown() override { headless::reset(); }
};

TEST_F(FrameTimerTest, BeforeTheFirstTick)
{
    FrameTimer timer;
    EXPECT_EQ(timer.elapsed(), 1.0f);
    EXPECT_EQ(timer.lastCount(), 0);
    EXPECT_EQ(timer.usesPerformanceCounter, 1);
    EXPECT_EQ(timer.frequency, 3579545);
}

TEST_F(FrameTimerTest, TwoTicksWithNoTimeBetweenGiveZero)
{
    FrameTimer timer;
    timer.tick();
    timer.tick();
    EXPECT_EQ(timer.elapsed(), 0.0f);
}

TEST_F(FrameTimerTest, PerformanceCounterMeasuresTenMilliseconds)
{
    FrameTimer timer;
    timer.tick();
    int64_t before = timer.lastCount();
    headless::advanceMs(10);
    timer.tick();
    // 10 ms at 3,579,545 counts per second: 35,795 counts.
    EXPECT_EQ(timer.lastCount() - before, 35795);
    EXPECT_NEAR(timer.elapsed(), 0.0100f, 1e-6f);
}

TEST_F(FrameTimerTest, MillisecondClockMeasuresSixteenMilliseconds)
{
    headless::setPerformanceCounterAvailable(false);
    FrameTimer timer;
    EXPECT_EQ(timer.usesPerformanceCounter, 0);
    EXPECT_EQ(timer.secondsPerCount, 0.001f);
    timer.tick();
    headless::advanceMs(16);
    timer.tick();
    EXPECT_NEAR(timer.elapsed(), 0.016f, 1e-6f);
}

TEST_F(FrameTimerTest, MillisecondClockWrapStaysPositive)
{
    headless::setPerformanceCounterAvailable(false);
    headless::setMillisecondClock(0xFFFFFFF0u);
    FrameTimer timer;
    headless::advanceMs(32);   // 16 ms to the wrap, 16 past it
    timer.tick();
    EXPECT_NEAR(timer.elapsed(), 0.032f, 1e-6f);
}

TEST_F(FrameTimerTest, FirstTickCoversTimeSinceConstruction)
{
    FrameTimer timer;
    headless::advanceMs(1500);
    timer.tick();
    EXPECT_NEAR(timer.elapsed(), 1.5f, 1e-5f);
}

}  // namespace
