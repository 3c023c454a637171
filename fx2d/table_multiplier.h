// A 256-entry channel table (entry v = v scaled by some factor, rounded down) as one
// 16-bit multiplier, so that vector code can compute the entries instead of looking
// them up. Used by the vector paths of the fade pictures and the smear.
#pragma once

#include <cstdint>
#include <optional>

// Entry v = (max(v - bias, 0) * multiplier) >> 16.
struct TableMultiplier {
    uint16_t multiplier = 0;
    uint8_t bias = 0;  // 0 or 1
};

// The smallest multiplier that reproduces all 256 entries exactly, with bias 0 if one
// does, else with bias 1; nullopt when neither does (the caller then keeps the table).
std::optional<TableMultiplier> fitTableMultiplier(const uint8_t* table);

// What the multiplier gives for entry v: the formula the vector code computes.
inline uint32_t tableEntry(TableMultiplier m, uint32_t v) {
    const uint32_t x = v > m.bias ? v - m.bias : 0;
    return (x * m.multiplier) >> 16;
}
