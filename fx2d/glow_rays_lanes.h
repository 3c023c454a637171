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
// side of at least one vector needs no single-pixel tail.
template <class V>
void drawSpriteLanes(uint32_t* dst, const uint32_t* picture, int n, int step) {
    using L = Lanes<V>;
    alignas(32) int32_t columns[kTargetWidth];
    for (int i = 0, u = 0; i < n; ++i, u += step) columns[i] = u >> 8;
    const int last = n - L::kPixels;
    int v = 0;
    for (int j = 0; j < n; ++j, v += step, dst += kTargetWidth) {
        const uint32_t* texels = picture + ((v >> 8) & 255) * GlowRays::kRaySize;
        if (last < 0) {
            for (int i = 0; i < n; ++i) dst[i] = addGlowPixel(texels[columns[i]], dst[i]);
            continue;
        }
        const V end = addGlow(L::gather(texels, columns + last), L::load(dst + last));
        for (int i = 0; i < last; i += L::kPixels)
            L::store(dst + i, addGlow(L::gather(texels, columns + i), L::load(dst + i)));
        L::store(dst + last, end);
    }
}

}  // namespace
