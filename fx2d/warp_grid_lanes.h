// The grid-warp mappers with the gather instruction, block by block, for the AVX2
// source (lanes_avx2.h). Going block by block keeps each block's texels in the
// nearest cache, which the gather needs to pay; the row mappers (warp_grid_rows.h)
// fetch with plain loads instead.
#pragma once

#include <cstdint>

#include "fx2d/lanes.h"
#include "fx2d/target.h"
#include "fx2d/warp_edges.h"

namespace {

enum class WarpCombine { Copy, Blend, BlendWith };

// u in the low and v in the high 16 bits of a word: the texel index needs only bits
// 8-15 of each, and 16-bit lane additions wrap exactly as the low halves of the
// 32-bit coordinates do.
inline uint32_t pairUV(uint32_t u, uint32_t v) { return (u & 0xFFFF) | (v << 16); }

// texelIndex on paired coordinates: bits 8-15 of u and of v.
template <class V>
inline V texelIndices(V uv) {
    return Lanes<V>::bytes1And3(uv);
}

template <class V, WarpCombine combine>
void mapGridBlocks(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other) {
    using L = Lanes<V>;
    alignas(32) uint32_t rampWords[L::kPixels];
    for (int k = 0; k < L::kPixels; ++k) rampWords[k] = static_cast<uint32_t>(k) * 0x00010001u;
    const V ramp = L::load(rampWords);  // pixel k of a vector: k times the step

    WarpEdge edges[WarpGrid::kColumns];
    for (int bi = 0; bi < 16; ++bi) {
        for (int j = 0; j < WarpGrid::kColumns; ++j) edges[j] = warpEdge(grid.at(bi, j), grid.at(bi + 1, j));
        for (int bj = 0; bj < 32; ++bj) {
            WarpEdge left = edges[bj], right = edges[bj + 1];
            const int offset = bi * 16 * kTargetWidth + bj * 16;
            uint32_t* out = target + offset;
            const uint32_t* with = combine == WarpCombine::BlendWith ? other + offset : out;
            for (int r = 0; r < 16; ++r, out += kTargetWidth, with += kTargetWidth) {
                const uint32_t du = rowStep(left.u, right.u), dv = rowStep(left.v, right.v);
                const V step = L::splat(pairUV(du * L::kPixels, dv * L::kPixels));
                V uv = L::add16(L::splat(pairUV(left.u, left.v)), L::mullo16(L::splat(pairUV(du, dv)), ramp));
                for (int k = 0; k < 16; k += L::kPixels, uv = L::add16(uv, step)) {
                    const V texel = L::gather(texels, texelIndices(uv));
                    if constexpr (combine == WarpCombine::Copy)
                        L::store(out + k, texel);
                    else
                        L::store(out + k, L::add32(halve(L::load(with + k)), halve(texel)));
                }
                left.advance();
                right.advance();
            }
        }
    }
}

}  // namespace
