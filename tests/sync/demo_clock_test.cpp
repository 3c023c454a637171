#include "sync/demo_clock.h"

#include "platform/clock.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace {
uint32_t fakeNow_ms = 0;
uint32_t fakeClock() { return fakeNow_ms; }
}  // namespace

TEST(DemoClock, CountsAcrossTheThirtyTwoBitWrap) {
    setDemoClockSource(fakeClock);
    clockBase.store(0xFFFFFF00u);
    fakeNow_ms = 0x00000100u;
    EXPECT_EQ(demoTime(), 512);
    fakeNow_ms = 0xFFFFFE00u;  // before the base: negative
    EXPECT_EQ(demoTime(), -256);
    setDemoClockSource(nullptr);
}

TEST(DemoClock, RestartSetsTheBaseToNow) {
    setDemoClockSource(fakeClock);
    fakeNow_ms = 123456;
    restartDemoClock();
    EXPECT_EQ(clockBase.load(), 123456u);
    fakeNow_ms += 40;
    EXPECT_EQ(demoTime(), 40);
    setDemoClockSource(nullptr);
}

TEST(DemoClock, SystemClockAdvancesInMilliseconds) {
    const uint32_t before = clockMilliseconds();
    std::this_thread::sleep_for(std::chrono::milliseconds(30));
    const uint32_t elapsed = clockMilliseconds() - before;
    EXPECT_GE(elapsed, 29u);
    EXPECT_LT(elapsed, 500u);
}
