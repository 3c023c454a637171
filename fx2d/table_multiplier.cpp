#include "fx2d/table_multiplier.h"

namespace {

// With x = max(v - bias, 0), entry v needs (x * m) >> 16 >= entry, that is
// m >= entry * 65536 / x. The largest of these bounds comes from the largest ratio
// entry / x (found by cross-multiplying, without dividing); rounded up, it is the
// smallest candidate, which then has to reproduce every entry exactly.
std::optional<TableMultiplier> fitWithBias(const uint8_t* table, uint8_t bias) {
    uint32_t bestEntry = 0, bestX = 1;
    for (uint32_t v = 0; v < 256; ++v) {
        const uint32_t x = v > bias ? v - bias : 0;
        if (x == 0) {
            if (table[v] != 0) return std::nullopt;
        } else if (table[v] * bestX > bestEntry * x) {
            bestEntry = table[v];
            bestX = x;
        }
    }
    const uint64_t smallest = (uint64_t{bestEntry} * 65536 + bestX - 1) / bestX;
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
