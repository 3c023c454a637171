#include "fx2d/table_multiplier.h"

namespace {

// With x = max(v - bias, 0), entry v needs (x * m) >> 16 >= entry, that is
// m >= ceil(entry * 65536 / x); the largest of these lower bounds is the smallest
// candidate, which then has to reproduce every entry exactly (it may overshoot some).
std::optional<TableMultiplier> fitWithBias(const uint8_t* table, uint8_t bias) {
    uint64_t smallest = 0;
    for (uint32_t v = 0; v < 256; ++v) {
        const uint32_t x = v > bias ? v - bias : 0;
        if (x == 0) {
            if (table[v] != 0) return std::nullopt;
            continue;
        }
        const uint64_t bound = (uint64_t{table[v]} * 65536 + x - 1) / x;
        if (bound > smallest) smallest = bound;
    }
    if (smallest > 65535) return std::nullopt;
    const TableMultiplier fit{static_cast<uint16_t>(smallest), bias};
    for (uint32_t v = 0; v < 256; ++v)
        if (tableEntry(fit, v) != table[v]) return std::nullopt;
    return fit;
}

}  // namespace

std::optional<TableMultiplier> fitTableMultiplier(const uint8_t* table) {
    if (auto fit = fitWithBias(table, 0)) return fit;
    return fitWithBias(table, 1);
}
