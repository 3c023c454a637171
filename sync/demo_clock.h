// The demo clock: milliseconds since the clock base, which the music player
// resets at start, at position 0 and at each end of the looping music.
// Read by the sync table and the scenes; the clock source is replaceable for tests.
#pragma once

#include <atomic>
#include <cstdint>

// Millisecond reading at which demoTime() is 0. Written by the music player,
// also from the audio thread; one 32-bit value, relaxed order is enough.
extern std::atomic<uint32_t> clockBase;

// The millisecond clock the demo clock reads (default: clockMilliseconds).
using MillisecondSource = uint32_t (*)();
void setDemoClockSource(MillisecondSource source);  // nullptr restores the default
uint32_t demoClockNow();

// clockBase := the clock's reading now (the moment it was held, while held). Any thread.
void restartDemoClock();

// The clock's reading minus clockBase with 32-bit wrap-around, as signed milliseconds.
int32_t demoTime();

// Pausing: while the clock is held, demoTime() stays at what it read when it
// was held; released, it goes on from there, the time held left out.
// Main thread.
void holdDemoClock();
void releaseDemoClock();
bool demoClockHeld();
