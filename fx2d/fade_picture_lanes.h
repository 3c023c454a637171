// The fade pictures' blend over vectors of pixels, for any lane width (lanes.h);
// instantiated by the vector kernels' sources.
#pragma once

#include <cstdint>

#include "fx2d/lanes.h"
#include "fx2d/vector_kernels.h"

namespace {

// fadeIn[p.c] + fadeOut[d.c] for each channel c of picture pixel p and target pixel d,
// where the picture passes the opaque test. `Picture` gives the picture's vector at x.
// With both tables multipliers, each entry is the high half of channel times
// multiplier; the two add up to at most 255 (fadeWeights checks), so no lane spills.
template <class V, class Picture>
int fadeSpanWith(uint32_t* out, Picture picture, int count, const FadeWeights& weights, uint32_t opaque) {
    using L = Lanes<V>;
    using Kind = FadeWeights::Kind;
    const int n = count - count % L::kPixels;
    const V mask = L::splat(opaque);
    const V colour = L::splat(0x00FFFFFF);
    switch (weights.kind) {
        case Kind::Mix: {
            const Weight<V> in = weight<V>(weights.in);
            const Weight<V> keep = weight<V>(weights.out);
            for (int x = 0; x < n; x += L::kPixels) {
                const V p = picture(x);
                const V d = L::load(out + x);
                L::store(out + x,
                         whereOpaque(p, join(add(scale(split(p), in), scale(split(d), keep))), d, mask));
            }
            return n;
        }
        case Kind::CopyPicture:
            for (int x = 0; x < n; x += L::kPixels) {
                const V p = picture(x);
                L::store(out + x, whereOpaque(p, p & colour, L::load(out + x), mask));
            }
            return n;
        case Kind::KeepTarget:
            for (int x = 0; x < n; x += L::kPixels) {
                const V d = L::load(out + x);
                L::store(out + x, whereOpaque(picture(x), d & colour, d, mask));
            }
            return n;
        case Kind::Tables:
            break;
    }
    return 0;
}

template <class V>
int fadeSpanLanes(uint32_t* out, const uint32_t* picture, int count, const FadeWeights& weights,
                  uint32_t opaque) {
    return fadeSpanWith<V>(
        out, [picture](int x) { return Lanes<V>::load(picture + x); }, count, weights, opaque);
}

template <class V>
int fadeSpanSampledLanes(uint32_t* out, const uint32_t* row, int rowLength, const int32_t* columns, int count,
                         const FadeWeights& weights, uint32_t opaque) {
    return fadeSpanWith<V>(
        out, [row, rowLength, columns](int x) { return Lanes<V>::sample(row, rowLength, columns + x); },
        count, weights, opaque);
}

}  // namespace
