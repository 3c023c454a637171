// The left and right edges of the grid-warp blocks in 8.8 fixed point, shared by the
// scalar mappers and their vector paths so that both step through the same numbers.
#pragma once

#include <cmath>
#include <cstdint>

#if defined(__x86_64__)
#include <emmintrin.h>
#endif

#include "fx2d/warp_grid.h"

// One grid edge: the texture coordinates at its top and their step per pixel row.
// Held as unsigned words so that additions wrap; read as signed where it matters.
struct WarpEdge {
    uint32_t u, v, du, dv;

    void advance() {
        u += du;
        v += dv;
    }
};

// Rounds to nearest, ties to even (the default rounding mode), kept as the low 32 bits.
// On x86-64 the conversion instruction does what llrint does, without the call.
inline uint32_t roundToFixed(double value) {
#if defined(__x86_64__)
    return static_cast<uint32_t>(_mm_cvtsd_si64(_mm_set_sd(value)));
#else
    return static_cast<uint32_t>(std::llrint(value));
#endif
}

inline WarpEdge warpEdge(const WarpGrid::Point& top, const WarpGrid::Point& bottom) {
    // The products are exact in double; the steps come from the unrounded products.
    const double tu = double{top.u} * 256.0, tv = double{top.v} * 256.0;
    const double bu = double{bottom.u} * 256.0, bv = double{bottom.v} * 256.0;
    return {roundToFixed(tu), roundToFixed(tv), roundToFixed((bu - tu) * 0.0625),
            roundToFixed((bv - tv) * 0.0625)};
}

// Per-pixel step across one row: (right - left) >> 4 as an arithmetic shift, i.e.
// division by 16 rounding toward minus infinity.
inline uint32_t rowStep(uint32_t left, uint32_t right) {
    return static_cast<uint32_t>(static_cast<int32_t>(right - left) >> 4);
}

// The texel a coordinate pair picks: bits 8-15 of v are the row, bits 8-15 of u the
// column, so only the low 16 bits of each take part.
inline uint32_t texelIndex(uint32_t u, uint32_t v) { return (v & 0xFF00) | ((u >> 8) & 0xFF); }
