// The glow sprites' additive blit over vectors of pixels, for any lane width
// (lanes.h); instantiated by the vector kernels' sources.
#pragma once

#include <cstdint>

#include "fx2d/glow_rays.h"
#include "fx2d/lanes.h"
#include "fx2d/target.h"

namespace {

// Row by row, a vector at a time, the texels fetched straight into the vector. A
// row's last vector is computed first, from the target as it was, and stored last:
// the pixels it shares with the vector before it get the same values twice, so any
// side of at least one vector needs no single-pixel tail. Texels outside the row's
// span are 0 and are not fetched: a soft, round glow is 0 in more than half of its
// square, and the fetches are what the blit waits on.
template <class V>
void drawSpriteLanes(uint32_t* dst, const uint32_t* picture, const TexelSpan* spans, int n, int step) {
    using L = Lanes<V>;
    // Texel column (i * step) >> 8 of each pixel i, a vector at a time.
    alignas(32) int32_t columns[kTargetWidth + L::kPixels];
    alignas(32) uint32_t start[L::kPixels];
    for (int i = 0; i < L::kPixels; ++i) start[i] = static_cast<uint32_t>(i * step);
    V u = L::load(start);
    const V stride = L::splat(static_cast<uint32_t>(L::kPixels * step));
    for (int i = 0; i < n; i += L::kPixels, u = L::add32(u, stride))
        L::store(reinterpret_cast<uint32_t*>(columns + i), L::srli32(u, 8));
    const int last = n - L::kPixels;
    int v = 0;
    for (int j = 0; j < n; ++j, v += step, dst += kTargetWidth) {
        const int row = (v >> 8) & 255;
        const uint32_t* texels = picture + row * GlowRays::kRaySize;
        if (last < 0) {
            for (int i = 0; i < n; ++i) dst[i] = addGlowPixel(texels[columns[i]], dst[i]);
            continue;
        }
        const TexelSpan span = spans ? spans[row] : TexelSpan{0, GlowRays::kRaySize - 1};
        const V end = addGlow(L::gatherWithin(texels, columns + last, span.lo, span.hi), L::load(dst + last));
        for (int i = 0; i < last; i += L::kPixels)
            L::store(dst + i,
                     addGlow(L::gatherWithin(texels, columns + i, span.lo, span.hi), L::load(dst + i)));
        L::store(dst + last, end);
    }
}

}  // namespace
