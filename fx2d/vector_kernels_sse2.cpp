// The SSE2 path of the 2D kernels: four pixels per vector, on every x86-64 CPU.
#include "fx2d/vector_kernels.h"

#ifdef ZD_VECTOR_PATHS

#include "fx2d/fade_picture_lanes.h"
#include "fx2d/glow_rays_lanes.h"
#include "fx2d/lanes_sse2.h"
#include "fx2d/row_effects_lanes.h"
#include "fx2d/warp_edges.h"
#include "fx2d/warp_grid_lanes.h"
#include "fx2d/warp_grid_rows.h"

namespace {

using V = __m128i;

}  // namespace

constinit const VectorKernels kSse2Kernels = {
    blendRow<V>,
    smearRowsLanes<V>,
    fadeSpanLanes<V>,
    fadeSpanSampledLanes<V>,
    [](uint32_t* target, const WarpGrid& grid, const uint32_t* texels) {
        mapGridRows<V, WarpCombine::Copy>(target, grid, texels, nullptr);
    },
    [](uint32_t* target, const WarpGrid& grid, const uint32_t* texels) {
        mapGridRows<V, WarpCombine::Blend>(target, grid, texels, nullptr);
    },
    mapGridRows<V, WarpCombine::BlendWith>,
    drawSpriteLanes<V>,
    drawTileLanes<V>,
    nextLightLanes<V>,
};

#endif
