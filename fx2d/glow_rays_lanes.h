// The glow sprites' additive blit over vectors of pixels, for any lane width
// (lanes.h); instantiated by the vector kernels' sources.
#pragma once

#include <bit>
#include <cstdint>

#include "fx2d/glow_rays.h"
#include "fx2d/lanes.h"
#include "fx2d/target.h"

namespace {

// Sprites up to this side fetch every texel of a row that is not all 0; wider ones
// skip the vectors outside the row's span. The skip costs a branch per vector that
// the CPU often guesses wrong, which on a narrow sprite costs more than the fetches
// it saves.
constexpr int kSkipVectorsAbove = 24;

// How a sprite row gets its texels: none (its texel row is all 0), every one, or
// those of the vectors that meet the row's span (the others are 0).
enum class RowTexels { Black, All, WithinSpan };

// How the texels of a vector are fetched: with the lanes' gather, or (AVX2 where its
// gather is slow) by in-register permutes of two loads where the columns lie close
// together, else by plain loads.
enum class SpriteFetch { Gather, Sample };

template <class V, RowTexels texels, SpriteFetch fetch>
inline V rowTexels(const uint32_t* row, const int32_t* columns, TexelSpan span) {
    using L = Lanes<V>;
    if constexpr (texels == RowTexels::Black) return L::zero();
    if constexpr (texels == RowTexels::WithinSpan)
        if (columns[L::kPixels - 1] < span.lo || columns[0] > span.hi) return L::zero();
    if constexpr (fetch == SpriteFetch::Sample)
        return L::template sample<true>(row, GlowRays::kRaySize, columns);
    return L::gather(row, columns);
}

// One row of n pixels, at least one vector, a vector at a time: texelsAt(i) gives
// the texels of pixels i ... i + kPixels - 1. The row's last vector is computed
// first, from the target as it was, and stored last: the pixels it shares with the
// vector before it get the same values twice, so no single-pixel tail is needed.
template <class V, class TexelsAt>
inline void addGlowRow(uint32_t* dst, int n, TexelsAt texelsAt) {
    using L = Lanes<V>;
    const int last = n - L::kPixels;
    const V end = addGlow(texelsAt(last), L::load(dst + last));
    for (int i = 0; i < last; i += L::kPixels) L::store(dst + i, addGlow(texelsAt(i), L::load(dst + i)));
    L::store(dst + last, end);
}

// One row of a sprite: pixel i takes texel row[columns[i]].
template <class V, RowTexels texels, SpriteFetch fetch>
inline void addSpriteRow(uint32_t* dst, int n, const uint32_t* row, const int32_t* columns, TexelSpan span) {
    addGlowRow<V>(dst, n, [=](int i) { return rowTexels<V, texels, fetch>(row, columns + i, span); });
}

// Rows from the top, row by row, the texels fetched straight into the vectors. Texels
// outside a row's span are 0 and are not fetched: a soft, round glow is 0 in more than
// half of its square, and the fetches are what the blit waits on. The rows at the top
// and bottom whose spans are empty add 0 without a look at the picture.
template <class V, SpriteFetch fetch = SpriteFetch::Gather>
void drawSpriteLanes(uint32_t* dst, const uint32_t* picture, const TexelSpan* spans, TexelRows rows, int n,
                     int step) {
    using L = Lanes<V>;
    // Texel column (i * step) >> 8 of each pixel i, a vector at a time.
    alignas(32) int32_t columns[kTargetWidth + L::kPixels];
    alignas(32) uint32_t start[L::kPixels];
    for (int i = 0; i < L::kPixels; ++i) start[i] = static_cast<uint32_t>(i * step);
    V u = L::load(start);
    const V stride = L::splat(static_cast<uint32_t>(L::kPixels * step));
    for (int i = 0; i < n; i += L::kPixels, u = L::add32(u, stride))
        L::store(reinterpret_cast<uint32_t*>(columns + i), L::srli32(u, 8));
    auto texelRow = [step](int j) { return ((j * step) >> 8) & 255; };

    if (n < L::kPixels) {
        for (int j = 0; j < n; ++j, dst += kTargetWidth) {
            const uint32_t* texels = picture + texelRow(j) * GlowRays::kRaySize;
            for (int i = 0; i < n; ++i) dst[i] = addGlowPixel(texels[columns[i]], dst[i]);
        }
        return;
    }

    // Rows top ... bottom - 1 fetch texels; those above and below sample rows outside
    // rows.first ... rows.last. Row j samples row (j * step) >> 8, which is at least
    // `first` from j = ceil(256 first / step) on (firstSampling), and at most `last` below
    // j = ceil(256 (last + 1) / step).
    auto firstSampling = [step](int row) { return (row * 256 + step - 1) / step; };
    const int top = firstSampling(rows.first) < n ? firstSampling(rows.first) : n;
    const int below = firstSampling(rows.last + 1);
    const int bottom = below < top ? top : below > n ? n : below;
    constexpr TexelSpan kWhole{0, GlowRays::kRaySize - 1};
    int j = 0;
    for (; j < top; ++j, dst += kTargetWidth)
        addSpriteRow<V, RowTexels::Black, fetch>(dst, n, picture, columns, kWhole);
    if (spans && n > kSkipVectorsAbove) {
        for (; j < bottom; ++j, dst += kTargetWidth) {
            const int row = texelRow(j);
            addSpriteRow<V, RowTexels::WithinSpan, fetch>(dst, n, picture + row * GlowRays::kRaySize, columns,
                                                          spans[row]);
        }
    } else {
        for (; j < bottom; ++j, dst += kTargetWidth)
            addSpriteRow<V, RowTexels::All, fetch>(dst, n, picture + texelRow(j) * GlowRays::kRaySize,
                                                   columns, kWhole);
    }
    for (; j < n; ++j, dst += kTargetWidth)
        addSpriteRow<V, RowTexels::Black, fetch>(dst, n, picture, columns, kWhole);
}

// A pre-sampled sprite (SpriteTiles): n rows of n texels, n at least one vector.
template <class V>
void drawTileLanes(uint32_t* dst, const uint32_t* tile, int n) {
    static_assert(SpriteTiles::kMinSide >= Lanes<V>::kPixels);
    for (int j = 0; j < n; ++j, dst += kTargetWidth, tile += n)
        addGlowRow<V>(dst, n, [tile](int i) { return Lanes<V>::load(tile + i); });
}

// The light scan: four vectors at a time while none of them holds a light, then the
// vector that does, pixel by pixel only for the row's last few.
constexpr int kLightScanVectors = 4;

template <class V>
inline V lightLanes(const uint32_t* p) {
    using L = Lanes<V>;
    const V mask = L::splat(kLightMask);
    return L::cmpeq32(L::load(p) & mask, mask);
}

template <class V>
int nextLightLanes(const uint32_t* row, int x, int last) {
    using L = Lanes<V>;
    constexpr int kStride = kLightScanVectors * L::kPixels;
    for (; x + kStride - 1 <= last; x += kStride) {
        V any = lightLanes<V>(row + x);
        for (int k = 1; k < kLightScanVectors; ++k) any = any | lightLanes<V>(row + x + k * L::kPixels);
        if (L::signBits32(any) != 0) break;
    }
    for (; x + L::kPixels - 1 <= last; x += L::kPixels) {
        const int lights = L::signBits32(lightLanes<V>(row + x));
        if (lights != 0) return x + std::countr_zero(static_cast<unsigned>(lights));
    }
    for (; x <= last; ++x)
        if (isLight(row[x])) return x;
    return last + 1;
}

}  // namespace
