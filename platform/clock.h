// The system millisecond clock: monotonic, counting from an arbitrary start,
// wrapping around at 2^32 ms. Used by the demo clock in sync/.
#pragma once

#include <cstdint>

// Milliseconds on a steady clock, truncated to 32 bits. Any thread.
uint32_t clockMilliseconds();
