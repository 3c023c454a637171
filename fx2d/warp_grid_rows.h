// The grid-warp mappers row by row: the texel indices of each block's row computed
// eight at a time in 128-bit vectors, then fetched with plain loads, then for the
// blends combined with the target row in vectors of any lane width (lanes.h). The
// SSE2 path's mappers, and the AVX2 path's where its gather is slow (TexelFetch).
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

// The texels of eight indices packed in 16-bit lanes into out[0 ... 7], the indices
// taken from the vector through two 64-bit moves rather than through memory.
inline void fetchTexels(V indices, const uint32_t* texels, uint32_t* out) {
    uint64_t low = static_cast<uint64_t>(_mm_cvtsi128_si64(indices));
    uint64_t high = static_cast<uint64_t>(_mm_cvtsi128_si64(_mm_unpackhi_epi64(indices, indices)));
    for (int k = 0; k < 4; ++k, low >>= 16) out[k] = texels[low & 0xFFFF];
    for (int k = 4; k < 8; ++k, high >>= 16) out[k] = texels[high & 0xFFFF];
}

// The 16 texels of one block's row: pixel k has (u, v) = start + k * step.
// Shifting each 16-bit half right by 8 leaves the texel column and row as bytes;
// packing two vectors of them gives the bytes column, row, column, row ..., which read
// as 16-bit words are column + 256 * row, the index.
inline void blockTexels(V start, V step, const uint32_t* texels, uint32_t* out) {
    V uv = L::add16(start, L::mullo16(step, _mm_setr_epi16(0, 0, 1, 1, 2, 2, 3, 3)));
    const V step4 = L::slli16(step, 2);
    for (int k = 0; k < 16; k += 8) {
        const V first = L::srli16(uv, 8);
        uv = L::add16(uv, step4);
        const V second = L::srli16(uv, 8);
        uv = L::add16(uv, step4);
        fetchTexels(_mm_packus_epi16(first, second), texels, out + k);
    }
}

// The texels of one target row, four blocks at a time: each block's start is its
// left edge, its step per pixel (right - left) >> 4.
void rowTexels(const EdgeColumns& edges, const uint32_t* texels, uint32_t* row) {
    for (int bj = 0; bj < kBlocks; bj += 4) {
        const V u = L::load(edges.u + bj), v = L::load(edges.v + bj);
        const V du = _mm_srai_epi32(L::sub32(L::load(edges.u + bj + 1), u), 4);
        const V dv = _mm_srai_epi32(L::sub32(L::load(edges.v + bj + 1), v), 4);
        const V start = pairLanesUV(u, v), step = pairLanesUV(du, dv);
        uint32_t* out = row + bj * 16;
        blockTexels(broadcast<0>(start), broadcast<0>(step), texels, out);
        blockTexels(broadcast<1>(start), broadcast<1>(step), texels, out + 16);
        blockTexels(broadcast<2>(start), broadcast<2>(step), texels, out + 32);
        blockTexels(broadcast<3>(start), broadcast<3>(step), texels, out + 48);
    }
}

}  // namespace warp_rows

template <class W, WarpCombine combine>
void mapGridRows(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other) {
    using LW = Lanes<W>;
    warp_rows::EdgeColumns edges;
    alignas(32) uint32_t fetched[kTargetWidth];
    for (int bi = 0; bi < 16; ++bi) {
        edges.setUp(grid, bi);
        for (int r = 0; r < 16; ++r) {
            const int y = bi * 16 + r;
            uint32_t* out = target + y * kTargetWidth;
            if constexpr (combine == WarpCombine::Copy) {
                warp_rows::rowTexels(edges, texels, out);
            } else {
                warp_rows::rowTexels(edges, texels, fetched);
                const uint32_t* with = combine == WarpCombine::Blend ? out : other + y * kTargetWidth;
                for (int x = 0; x < kTargetWidth; x += LW::kPixels)
                    LW::store(out + x, LW::add32(halve(LW::load(with + x)), halve(LW::load(fetched + x))));
            }
            edges.advance();
        }
    }
}

}  // namespace
