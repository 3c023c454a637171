#include "platform/clock.h"

#include <chrono>

uint32_t clockMilliseconds() {
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now).count();
    // Keep the low 32 bits: callers subtract with wrap-around.
    return static_cast<uint32_t>(static_cast<uint64_t>(ms));
}
