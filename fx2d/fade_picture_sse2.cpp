// SSE2 path of the fade pictures' blend.
#include "fx2d/sse2_kernels.h"

#ifdef ZD_VECTOR_PATHS

#include "fx2d/table_multiplier.h"

namespace sse2 {

namespace {

bool isIdentity(const uint8_t* table) {
    for (int v = 0; v < 256; ++v)
        if (table[v] != v) return false;
    return true;
}

bool isZero(const uint8_t* table) {
    for (int v = 0; v < 256; ++v)
        if (table[v] != 0) return false;
    return true;
}

// The blended pixel where the picture pixel passes the opaque test, else the
// target pixel as it was (top byte included).
inline __m128i whereOpaque(__m128i picture, __m128i blended, __m128i target, __m128i opaque) {
    const __m128i transparent = _mm_cmpeq_epi32(_mm_and_si128(picture, opaque), _mm_setzero_si128());
    return _mm_or_si128(_mm_and_si128(transparent, target), _mm_andnot_si128(transparent, blended));
}

}  // namespace

// A table i -> trunc(i * level) is (i * m) >> 16 for some 16-bit m unless it is the
// identity (level 1): the levels that give the same table form an interval between
// neighbouring fractions a/b and c/d with b, d <= 255, which is at least 1/65025 wide and
// so holds a multiple of 1/65536. fitTableMultiplier finds it and checks every entry.
FadeWeights fadeWeights(const uint8_t* fadeIn, const uint8_t* fadeOut) {
    using Kind = FadeWeights::Kind;
    const auto in = fitTableMultiplier(fadeIn);
    const auto out = fitTableMultiplier(fadeOut);
    // Both tables rise with i, so the largest sum of two entries is at 255: within a
    // byte, as the scalar code's packed sum needs.
    if (in && out && in->bias == 0 && out->bias == 0 && fadeIn[255] + fadeOut[255] <= 255)
        return {Kind::Mix, in->multiplier, out->multiplier};
    if (isIdentity(fadeIn) && isZero(fadeOut)) return {Kind::CopyPicture};
    if (isZero(fadeIn) && isIdentity(fadeOut)) return {Kind::KeepTarget};
    return {};
}

int fadeSpan(uint32_t* out, const uint32_t* picture, int count, const FadeWeights& weights, uint32_t opaque) {
    using Kind = FadeWeights::Kind;
    const int n = count & ~3;
    const __m128i mask = splat(opaque);
    const __m128i colour = splat(0x00FFFFFF);
    switch (weights.kind) {
        case Kind::Mix: {
            // fadeIn[p.c] + fadeOut[d.c] per channel, each entry the high half of
            // channel times multiplier.
            const Weight in = weight(weights.in);
            const Weight keep = weight(weights.out);
            for (int x = 0; x < n; x += 4) {
                const __m128i p = load(picture + x);
                const __m128i d = load(out + x);
                const __m128i blended = join(add(scale(split(p), in), scale(split(d), keep)));
                store(out + x, whereOpaque(p, blended, d, mask));
            }
            return n;
        }
        case Kind::CopyPicture:
            for (int x = 0; x < n; x += 4) {
                const __m128i p = load(picture + x);
                const __m128i d = load(out + x);
                store(out + x, whereOpaque(p, _mm_and_si128(p, colour), d, mask));
            }
            return n;
        case Kind::KeepTarget:
            for (int x = 0; x < n; x += 4) {
                const __m128i p = load(picture + x);
                const __m128i d = load(out + x);
                store(out + x, whereOpaque(p, _mm_and_si128(d, colour), d, mask));
            }
            return n;
        case Kind::Tables:
            break;
    }
    return 0;
}

}  // namespace sse2

#endif
