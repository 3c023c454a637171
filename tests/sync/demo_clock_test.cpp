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

// Held, the clock reads the moment it was held, also when it is restarted
// (0: a seek while paused); released, it goes on from there without the time held.
TEST(DemoClock, HeldItStandsStillAndGoesOnFromThereWhenReleased) {
    setDemoClockSource(fakeClock);
    fakeNow_ms = 0xFFFFFF00u;  // across the wrap while held
    restartDemoClock();
    fakeNow_ms += 700;
    holdDemoClock();
    EXPECT_TRUE(demoClockHeld());
    fakeNow_ms += 5000;
    EXPECT_EQ(demoTime(), 700);
    releaseDemoClock();
    EXPECT_FALSE(demoClockHeld());
    EXPECT_EQ(demoTime(), 700);
    fakeNow_ms += 40;
    EXPECT_EQ(demoTime(), 740);

    holdDemoClock();
    fakeNow_ms += 300;
    restartDemoClock();
    EXPECT_EQ(demoTime(), 0);
    fakeNow_ms += 300;
    releaseDemoClock();
    fakeNow_ms += 40;
    EXPECT_EQ(demoTime(), 40);
    setDemoClockSource(nullptr);
}
