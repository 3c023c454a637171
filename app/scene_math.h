// Small conversions shared by the scene functions: truncation toward zero that stays
// defined for any value. Used by the flashes and the opening section.
#pragma once

#include <cstdint>

// trunc toward zero; values beyond +-1e9 (far outside any target) are limited first
// and NaN gives 0, so the conversion is defined whatever the elapsed time.
inline int truncToInt(double value) {
    if (!(value > -1.0e9)) return value != value ? 0 : -1000000000;
    if (value > 1.0e9) return 1000000000;
    return static_cast<int>(value);
}
