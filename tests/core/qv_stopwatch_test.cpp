#include "plat_time.h"
#include "qv_stopwatch.h"

#include <gtest/gtest.h>

namespace {

uint32_t gFakeTick;

uint32_t FakeTick()
{
    return gFakeTick;
}

struct QV_StopwatchFakeTicks : ::testing::Test {
    QV_StopwatchFakeTicks() { QV_SetStopwatchTickSource(FakeTick); }
    ~QV_StopwatchFakeTicks() override { QV_SetStopwatchTickSource(nullptr); }
};

} // namespace

TEST_F(QV_StopwatchFakeTicks, MeasuresAcrossTheWrapOfTheTickCounter)
{
    QV_Stopwatch watch;
    gFakeTick = 0xFFFFFF00u; // 256 ms before the wrap
    watch.Start();
    EXPECT_TRUE(watch.running);
    EXPECT_EQ(watch.start, 0xFFFFFF00u);
    EXPECT_EQ(watch.Elapsed(), 0.0f);

    gFakeTick = 0x00000100u; // 256 ms after it
    EXPECT_FLOAT_EQ(watch.Elapsed(), 0.512f);
    gFakeTick = 0x7FFFFF00u; // the longest measurement is still right
    EXPECT_FLOAT_EQ(watch.Elapsed(), float(0x80000000u) / 1000.0f);
}

TEST_F(QV_StopwatchFakeTicks, StopKeepsTheValueAndStartBeginsAgain)
{
    QV_Stopwatch watch;
    EXPECT_EQ(watch.Elapsed(), 0.0f); // never started
    watch.Stop();
    EXPECT_EQ(watch.Elapsed(), 0.0f); // stopping an idle watch changes nothing
    EXPECT_FALSE(watch.running);

    gFakeTick = 1000;
    watch.Start();
    gFakeTick = 3500;
    watch.Stop();
    EXPECT_FALSE(watch.running);
    EXPECT_FLOAT_EQ(watch.Elapsed(), 2.5f);
    gFakeTick = 9000;
    EXPECT_FLOAT_EQ(watch.Elapsed(), 2.5f);
    watch.Stop();
    EXPECT_FLOAT_EQ(watch.Elapsed(), 2.5f); // a second Stop does not remeasure

    watch.Start();
    EXPECT_EQ(watch.elapsed, 0.0f);
    gFakeTick = 9250;
    EXPECT_FLOAT_EQ(watch.Elapsed(), 0.25f);
}

TEST(QV_Stopwatch, ReadsTheSystemTickCountByDefault)
{
    QV_Stopwatch watch;
    watch.Start();
    PlatSleep(30);
    const float seconds = watch.Elapsed();
    EXPECT_GE(seconds, 0.029f); // the sleep lasts at least that long
    EXPECT_LT(seconds, 3600.0f);
}
