// The SSE2 path of the 2D kernels: four pixels per vector, on every x86-64 CPU.
#include "fx2d/vector_kernels.h"

#ifdef ZD_VECTOR_PATHS

#include "fx2d/fade_picture_lanes.h"
#include "fx2d/glow_rays_lanes.h"
#include "fx2d/lanes_sse2.h"
#include "fx2d/row_effects_lanes.h"
#include "fx2d/warp_edges.h"
#include "fx2d/warp_grid_lanes.h"

namespace {

using V = __m128i;
using L = Lanes<V>;

// The grid-warp mappers row by row: the texel indices of a whole target row first,
// eight at a time, then plain loads of the texels (cheaper here than gathering them
// four at a time from a vector).

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

// The 16 texel indices of one block's row: pixel k has (u, v) = start + k * step.
// Shifting each 16-bit half right by 8 leaves the texel column and row as bytes;
// packing two vectors of them gives the bytes column, row, column, row ..., which read
// as 16-bit words are column + 256 * row, the index.
inline void blockIndices(V start, V step, uint16_t* indices) {
    V uv = L::add16(start, L::mullo16(step, _mm_setr_epi16(0, 0, 1, 1, 2, 2, 3, 3)));
    const V step4 = L::slli16(step, 2);
    for (int k = 0; k < 16; k += 8) {
        const V first = L::srli16(uv, 8);
        uv = L::add16(uv, step4);
        const V second = L::srli16(uv, 8);
        uv = L::add16(uv, step4);
        _mm_storeu_si128(reinterpret_cast<V*>(indices + k), _mm_packus_epi16(first, second));
    }
}

// The texel indices of one target row, four blocks at a time: each block's start is
// its left edge, its step per pixel (right - left) >> 4.
void rowIndices(const EdgeColumns& edges, uint16_t* indices) {
    for (int bj = 0; bj < kBlocks; bj += 4) {
        const V u = L::load(edges.u + bj), v = L::load(edges.v + bj);
        const V du = _mm_srai_epi32(L::sub32(L::load(edges.u + bj + 1), u), 4);
        const V dv = _mm_srai_epi32(L::sub32(L::load(edges.v + bj + 1), v), 4);
        const V start = pairLanesUV(u, v), step = pairLanesUV(du, dv);
        uint16_t* out = indices + bj * 16;
        blockIndices(broadcast<0>(start), broadcast<0>(step), out);
        blockIndices(broadcast<1>(start), broadcast<1>(step), out + 16);
        blockIndices(broadcast<2>(start), broadcast<2>(step), out + 32);
        blockIndices(broadcast<3>(start), broadcast<3>(step), out + 48);
    }
}

template <WarpCombine combine>
void mapGridRows(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other) {
    EdgeColumns edges;
    alignas(16) uint16_t indices[kTargetWidth];
    alignas(16) uint32_t fetched[kTargetWidth];
    for (int bi = 0; bi < 16; ++bi) {
        edges.setUp(grid, bi);
        for (int r = 0; r < 16; ++r) {
            const int y = bi * 16 + r;
            uint32_t* out = target + y * kTargetWidth;
            rowIndices(edges, indices);
            if constexpr (combine == WarpCombine::Copy) {
                for (int x = 0; x < kTargetWidth; ++x) out[x] = texels[indices[x]];
            } else {
                for (int x = 0; x < kTargetWidth; ++x) fetched[x] = texels[indices[x]];
                const uint32_t* with = combine == WarpCombine::Blend ? out : other + y * kTargetWidth;
                for (int x = 0; x < kTargetWidth; x += 4)
                    L::store(out + x, L::add32(halve(L::load(with + x)), halve(L::load(fetched + x))));
            }
            edges.advance();
        }
    }
}

}  // namespace

constinit const VectorKernels kSse2Kernels = {
    blendRow<V>,
    smearRowsLanes<V>,
    fadeSpanLanes<V>,
    fadeSpanSampledLanes<V>,
    [](uint32_t* target, const WarpGrid& grid, const uint32_t* texels) {
        mapGridRows<WarpCombine::Copy>(target, grid, texels, nullptr);
    },
    [](uint32_t* target, const WarpGrid& grid, const uint32_t* texels) {
        mapGridRows<WarpCombine::Blend>(target, grid, texels, nullptr);
    },
    mapGridRows<WarpCombine::BlendWith>,
    drawSpriteLanes<V>,
    nextLightLanes<V>,
};

#endif
