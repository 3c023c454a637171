// The AVX2 path of the 2D kernels: eight pixels per vector, and the gather
// instruction for texel fetches. Only this file is compiled for AVX2, and only
// after the CPU check does anything call into it (vector_paths.cpp).
#include "fx2d/vector_kernels.h"

#ifdef ZD_WIDE_VECTOR_PATHS

// Everything from outside this file is included before the switch to AVX2, so that
// no shared inline function is ever compiled for AVX2 here and then used elsewhere.
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "fx2d/glow_rays.h"
#include "fx2d/row_effects.h"
#include "fx2d/table_multiplier.h"
#include "fx2d/target.h"
#include "fx2d/warp_edges.h"

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2"))), apply_to = function)
#else
#pragma GCC target("avx2")
#endif

#include "fx2d/fade_picture_lanes.h"
#include "fx2d/glow_rays_lanes.h"
#include "fx2d/lanes_avx2.h"
#include "fx2d/row_effects_lanes.h"
#include "fx2d/warp_grid_lanes.h"
#include "fx2d/warp_grid_rows.h"

namespace {

using V = __m256i;

// The warps with the gather, or with the plain loads of the row mappers.
template <WarpCombine combine>
void mapGrid(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other,
             TexelFetch fetch) {
    if (fetch == TexelFetch::Gather)
        mapGridBlocks<V, combine>(target, grid, texels, other);
    else
        mapGridRows<V, combine>(target, grid, texels, other);
}

template <WarpCombine combine>
void mapGrid(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other) {
    mapGrid<combine>(target, grid, texels, other, texelFetch());
}

// The glow sprite blit fetches scattered texels too: with the gather where it is
// fast, else by permutes and plain loads.
void drawSprite(uint32_t* dst, const uint32_t* picture, const TexelSpan* spans, TexelRows rows, int n,
                int step) {
    if (texelFetch() == TexelFetch::Gather)
        drawSpriteLanes<V>(dst, picture, spans, rows, n, step);
    else
        drawSpriteLanes<V, SpriteFetch::Sample>(dst, picture, spans, rows, n, step);
}

}  // namespace

constinit const VectorKernels kAvx2Kernels = {
    blendRow<V>,
    smearRowsLanes<V>,
    fadeSpanLanes<V>,
    fadeSpanSampledLanes<V>,
    [](uint32_t* target, const WarpGrid& grid, const uint32_t* texels) {
        mapGrid<WarpCombine::Copy>(target, grid, texels, nullptr);
    },
    [](uint32_t* target, const WarpGrid& grid, const uint32_t* texels) {
        mapGrid<WarpCombine::Blend>(target, grid, texels, nullptr);
    },
    mapGrid<WarpCombine::BlendWith>,
    drawSprite,
    drawTileLanes<V>,
    nextLightLanes<V>,
};

void avx2WarpCopy(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, TexelFetch fetch) {
    mapGrid<WarpCombine::Copy>(target, grid, texels, nullptr, fetch);
}

#if defined(__clang__)
#pragma clang attribute pop
#endif

#endif
