#include "sync/demo_clock.h"

#include "platform/clock.h"

#include <bit>

std::atomic<uint32_t> clockBase{0};

namespace {
std::atomic<MillisecondSource> clockSource{clockMilliseconds};
}

void setDemoClockSource(MillisecondSource source) {
    clockSource.store(source ? source : clockMilliseconds, std::memory_order_relaxed);
}

uint32_t demoClockNow() { return clockSource.load(std::memory_order_relaxed)(); }

void restartDemoClock() { clockBase.store(demoClockNow(), std::memory_order_relaxed); }

int32_t demoTime() {
    const uint32_t elapsed = demoClockNow() - clockBase.load(std::memory_order_relaxed);
    return std::bit_cast<int32_t>(elapsed);
}
