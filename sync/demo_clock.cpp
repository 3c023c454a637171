#include "sync/demo_clock.h"

#include "platform/bit_cast.h"
#include "platform/clock.h"

std::atomic<uint32_t> clockBase{0};

namespace {
std::atomic<MillisecondSource> clockSource{clockMilliseconds};
std::atomic<bool> held{false};
std::atomic<uint32_t> heldAt{0};  // the source's reading when the clock was held

// What the demo clock reads now: the source, or the moment it was held.
uint32_t reading() {
    return held.load(std::memory_order_relaxed) ? heldAt.load(std::memory_order_relaxed) : demoClockNow();
}
}  // namespace

void setDemoClockSource(MillisecondSource source) {
    clockSource.store(source ? source : clockMilliseconds, std::memory_order_relaxed);
}

uint32_t demoClockNow() { return clockSource.load(std::memory_order_relaxed)(); }

void restartDemoClock() { clockBase.store(reading(), std::memory_order_relaxed); }

int32_t demoTime() {
    const uint32_t elapsed = reading() - clockBase.load(std::memory_order_relaxed);
    return bitCast<int32_t>(elapsed);
}

void holdDemoClock() {
    if (held.load(std::memory_order_relaxed)) return;
    heldAt.store(demoClockNow(), std::memory_order_relaxed);
    held.store(true, std::memory_order_relaxed);
}

void releaseDemoClock() {
    if (!held.load(std::memory_order_relaxed)) return;
    // The base moves on by the time held, so demoTime() continues where it stopped.
    clockBase.fetch_add(demoClockNow() - heldAt.load(std::memory_order_relaxed), std::memory_order_relaxed);
    held.store(false, std::memory_order_relaxed);
}

bool demoClockHeld() { return held.load(std::memory_order_relaxed); }
