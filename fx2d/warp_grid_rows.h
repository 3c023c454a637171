// The grid-warp mappers row by row: the texel indices of each block's row computed
// eight at a time in 128-bit vectors, the texels fetched with plain loads into vector
// lanes, then stored or, for the blends, combined with the target row, in vectors of
// any lane width (lanes.h). The SSE2 path's mappers, and the AVX2 path's where its
// gather is slow (TexelFetch).
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "fx2d/lanes.h"
#include "fx2d/lanes_sse2.h"
#include "fx2d/target.h"
#include "fx2d/warp_edges.h"
#include "fx2d/warp_grid_lanes.h"

namespace {
namespace warp_rows {

using V = __m128i;
using L = Lanes<V>;


constexpr int kBlocks = 32;  // blocks per block row, 16 pixels each

// The 33 edges of a block row, one array per coordinate, padded to whole vectors.
struct EdgeColumns {
    alignas(16) uint32_t u[36];
    alignas(16) uint32_t v[36];
    alignas(16) uint32_t du[36];
    alignas(16) uint32_t dv[36];

    void setUp(const WarpGrid& grid, int bi) {
        for (int j = 0; j < 36; ++j) {
            const WarpEdge edge =
                j < WarpGrid::kColumns ? warpEdge(grid.at(bi, j), grid.at(bi + 1, j)) : WarpEdge{0, 0, 0, 0};
            u[j] = edge.u;
            v[j] = edge.v;
            du[j] = edge.du;
            dv[j] = edge.dv;
        }
    }

    void advance() {
        for (int j = 0; j < 36; j += 4) {
            L::store(u + j, L::add32(L::load(u + j), L::load(du + j)));
            L::store(v + j, L::add32(L::load(v + j), L::load(dv + j)));
        }
    }
};

// u in the low and v in the high 16 bits of each lane (see pairUV).
inline V pairLanesUV(V u, V v) { return (u & L::splat(0xFFFF)) | _mm_slli_epi32(v, 16); }

template <int lane>
inline V broadcast(V x) {
    return _mm_shuffle_epi32(x, _MM_SHUFFLE(lane, lane, lane, lane));
}

// Four texels, of the four indices in the 16-bit lanes of `indices`, loaded straight
// into a vector's lanes (no store and reload through memory).
inline V fetchFour(uint64_t indices, const uint32_t* texels) {
    const V a = _mm_cvtsi32_si128(static_cast<int>(texels[indices & 0xFFFF]));
    const V b = _mm_cvtsi32_si128(static_cast<int>(texels[(indices >> 16) & 0xFFFF]));
    const V c = _mm_cvtsi32_si128(static_cast<int>(texels[(indices >> 32) & 0xFFFF]));
    const V d = _mm_cvtsi32_si128(static_cast<int>(texels[indices >> 48]));
    return _mm_unpacklo_epi64(_mm_unpacklo_epi32(a, b), _mm_unpacklo_epi32(c, d));
}

// The texels of the first and the last four of eight indices packed in 16-bit lanes,
// the indices taken from the vector through two 64-bit moves.
struct EightTexels {
    V low, high;
};

inline EightTexels fetchTexels(V indices, const uint32_t* texels) {
    const uint64_t low = static_cast<uint64_t>(_mm_cvtsi128_si64(indices));
    const uint64_t high = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(indices, indices)));
    return {fetchFour(low, texels), fetchFour(high, texels)};
}

// Texels into the target: copied, or halved and added to the halved pixels of `with`.
template <class W, WarpCombine combine>
inline void put(uint32_t* out, const uint32_t* with, W texels) {
    using LW = Lanes<W>;
    if constexpr (combine == WarpCombine::Copy)
        LW::store(out, texels);
    else
        LW::store(out, LW::add32(halve(LW::load(with)), halve(texels)));
}

template <class W, WarpCombine combine>
inline void putEight(uint32_t* out, const uint32_t* with, EightTexels eight) {
    if constexpr (Lanes<W>::kPixels == 8) {
        put<W, combine>(out, with, Lanes<W>::pair(eight.low, eight.high));
    } else {
        put<V, combine>(out, with, eight.low);
        put<V, combine>(out + 4, with + 4, eight.high);
    }
}

// The 16 pixels of one block's row: pixel k has (u, v) = start + k * step.
// Shifting each 16-bit half right by 8 leaves the texel column and row as bytes;
// packing two vectors of them gives the bytes column, row, column, row ..., which read
// as 16-bit words are column + 256 * row, the index.
template <class W, WarpCombine combine>
inline void mapBlockRow(V start, V step, const uint32_t* texels, uint32_t* out, const uint32_t* with) {
    V uv = L::add16(start, L::mullo16(step, _mm_setr_epi16(0, 0, 1, 1, 2, 2, 3, 3)));
    const V step4 = L::slli16(step, 2);
    for (int k = 0; k < 16; k += 8) {
        const V first = L::srli16(uv, 8);
        uv = L::add16(uv, step4);
        const V second = L::srli16(uv, 8);
        uv = L::add16(uv, step4);
        putEight<W, combine>(out + k, with + k, fetchTexels(_mm_packus_epi16(first, second), texels));
    }
}

// One target row, four blocks at a time: each block's start is its left edge, its
// step per pixel (right - left) >> 4. `with` is the row the blends take their other
// half from.
template <class W, WarpCombine combine>
void mapRow(const EdgeColumns& edges, const uint32_t* texels, uint32_t* row, const uint32_t* with) {
    for (int bj = 0; bj < kBlocks; bj += 4) {
        const V u = L::load(edges.u + bj), v = L::load(edges.v + bj);
        const V du = _mm_srai_epi32(L::sub32(L::load(edges.u + bj + 1), u), 4);
        const V dv = _mm_srai_epi32(L::sub32(L::load(edges.v + bj + 1), v), 4);
        const V start = pairLanesUV(u, v), step = pairLanesUV(du, dv);
        const int x = bj * 16;
        mapBlockRow<W, combine>(broadcast<0>(start), broadcast<0>(step), texels, row + x, with + x);
        mapBlockRow<W, combine>(broadcast<1>(start), broadcast<1>(step), texels, row + x + 16, with + x + 16);
        mapBlockRow<W, combine>(broadcast<2>(start), broadcast<2>(step), texels, row + x + 32, with + x + 32);
        mapBlockRow<W, combine>(broadcast<3>(start), broadcast<3>(step), texels, row + x + 48, with + x + 48);
    }
}

}  // namespace warp_rows

template <class W, WarpCombine combine>
void mapGridRows(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other) {
    warp_rows::EdgeColumns edges;
    for (int bi = 0; bi < 16; ++bi) {
        edges.setUp(grid, bi);
        for (int r = 0; r < 16; ++r) {
            const int y = bi * 16 + r;
            uint32_t* out = target + y * kTargetWidth;
            const uint32_t* with = combine == WarpCombine::BlendWith ? other + y * kTargetWidth : out;
            warp_rows::mapRow<W, combine>(edges, texels, out, with);
            edges.advance();
        }
    }
}

}  // namespace
