// The vector paths of the 2D kernels: one table of functions per instruction set
// (vector_kernels_sse2.cpp, vector_kernels_avx2.cpp; the AVX-512 path differs from
// the AVX2 one only in its smear, vector_kernels_avx512.cpp). The public kernels take the
// table of the current path (vector_paths.h), or run their scalar code when there is
// none. Every function gives exactly the bits of the scalar code it stands for.
#pragma once

#include <cstdint>

#include "fx2d/glow_rays.h"
#include "fx2d/vector_paths.h"
#include "fx2d/warp_grid.h"

// A fade picture's two level tables (fadeIn for the picture, fadeOut for the target)
// in the form the vector blend computes them.
struct FadeWeights {
    enum class Kind {
        Mix,          // both tables are multipliers (table_multiplier.h)
        CopyPicture,  // fadeIn is the identity, fadeOut all 0
        KeepTarget,   // fadeIn all 0, fadeOut the identity
        Tables,       // neither: only the tables give the right bits
    };
    Kind kind = Kind::Tables;
    uint16_t in = 0, out = 0;  // the multipliers of Mix
};

// Finds the form of two tables (defined beside the fade pictures).
FadeWeights fadeWeights(const uint8_t* fadeIn, const uint8_t* fadeOut);

struct VectorKernels {
    // One 512-pixel row of blendRows at a level 1 ... 254. smearRows takes lines whose
    // pixels lie one apart and which do not overlap; it returns false, having done
    // nothing, when it cannot give the scalar code's bits (with today's divTable it
    // always can).
    void (*blendRow)(uint32_t* out, const uint32_t* in, int level);
    bool (*smearRows)(uint32_t* pixels, const int32_t* radii, int lineStep, int length, int lines);

    // Blend the picture pixels that pass the `opaque` mask test onto out[0 ... count - 1],
    // picture pixel c being picture[c], or for the sampled span row[columns[c]] (columns
    // rising, all below rowLength). They
    // do a whole number of vectors (none for FadeWeights::Kind::Tables) and return
    // how many pixels that is; the caller does the rest with the tables.
    int (*fadeSpan)(uint32_t* out, const uint32_t* picture, int count, const FadeWeights& weights,
                    uint32_t opaque);
    int (*fadeSpanSampled)(uint32_t* out, const uint32_t* row, int rowLength, const int32_t* columns,
                           int count, const FadeWeights& weights, uint32_t opaque);

    // The grid-warp mappers on a 256 x 256 texture's pixels (and for warpBlendWith a
    // 512 x 256 picture's).
    void (*warpCopy)(uint32_t* target, const WarpGrid& grid, const uint32_t* texels);
    void (*warpBlend)(uint32_t* target, const WarpGrid& grid, const uint32_t* texels);
    void (*warpBlendWith)(uint32_t* target, const WarpGrid& grid, const uint32_t* texels,
                          const uint32_t* other);

    // The additive blit of a glow sprite: an n x n square at dst (rows of 512 pixels),
    // texel column (i * step) >> 8 and row ((j * step) >> 8) & 255 of the 256 x 256
    // picture, with (n - 1) * step < 65536; `spans` (may be null) say where the
    // picture's rows are 0, and `rows` which rows are all 0.
    void (*drawSprite)(uint32_t* dst, const uint32_t* picture, const TexelSpan* spans, TexelRows rows, int n,
                       int step);
    // The same from a pre-sampled sprite (SpriteTiles): n rows of n texels, n at least
    // SpriteTiles::kMinSide.
    void (*drawTile)(uint32_t* dst, const uint32_t* tile, int n);

    // The first light (isLight) of row[x ... last], or last + 1 when there is none.
    int (*nextLight)(const uint32_t* row, int x, int last);
};

// The kernels of the current path; null for the scalar code.
const VectorKernels* vectorKernels();

#ifdef ZD_VECTOR_PATHS
extern const VectorKernels kSse2Kernels;
#endif
#ifdef ZD_WIDE_VECTOR_PATHS
extern const VectorKernels kAvx2Kernels;

// The AVX-512 path: the AVX2 kernels, but this smearRows.
bool avx512SmearRows(uint32_t* pixels, const int32_t* radii, int lineStep, int length, int lines);

// The AVX2 warpCopy with the fetch given (Gather or Loads), whatever texelFetch()
// says: texelFetch() times the two with it.
void avx2WarpCopy(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, TexelFetch fetch);
#endif
