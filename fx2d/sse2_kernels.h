// The SSE2 paths of the 2D kernels. The public kernels call them when the build has
// vector paths (ZD_VECTOR_PATHS); each gives exactly the bits of its scalar code.
#pragma once

#include <cstdint>

#include "fx2d/sse2_pixels.h"
#include "fx2d/warp_grid.h"

#ifdef ZD_VECTOR_PATHS

namespace sse2 {

// Row effects; smearRows expects divTable to be built.
void smearRows(uint32_t* pixels, const int32_t* radii, int lineStep, int length, int lines, int pixelStep);
void blendRows(uint32_t* target, const uint32_t* source, const int32_t* levels);

// A fade picture's two level tables (fadeIn for the picture, fadeOut for the target),
// in the form the vector blend computes them.
struct FadeWeights {
    enum class Kind {
        Mix,          // both tables are multipliers
        CopyPicture,  // fadeIn is the identity, fadeOut all 0
        KeepTarget,   // fadeIn all 0, fadeOut the identity
        Tables,       // neither: only the tables give the right bits
    };
    Kind kind = Kind::Tables;
    uint16_t in = 0, out = 0;  // the multipliers of Mix
};

FadeWeights fadeWeights(const uint8_t* fadeIn, const uint8_t* fadeOut);

// Blends picture pixels that pass the `opaque` mask test onto `out`, as the tables
// would; does a multiple of four pixels (none for Kind::Tables) and returns how many.
int fadeSpan(uint32_t* out, const uint32_t* picture, int count, const FadeWeights& weights, uint32_t opaque);

// The grid-warp mappers on a 256 x 256 texture's pixels (and, for warpBlendWith, a
// 512 x 256 picture's).
void warpCopy(uint32_t* target, const WarpGrid& grid, const uint32_t* texels);
void warpBlend(uint32_t* target, const WarpGrid& grid, const uint32_t* texels);
void warpBlendWith(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other);

// Glow rays: a bit per pixel of p[0 ... 3] that is a light (every channel at least
// 248), and the additive sprite blit of an n x n square at `dst` (rows of 512) with
// the 8.8 texel step `step` over the 256 x 256 picture.
int lightsAmongFour(const uint32_t* p);
void drawSprite(uint32_t* dst, const uint32_t* picture, int n, int step);

}  // namespace sse2

#endif
