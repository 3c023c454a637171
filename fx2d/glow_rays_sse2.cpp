// SSE2 paths of the glow rays: the search for lights and the additive sprite blit.
#include "fx2d/sse2_kernels.h"

#ifdef ZD_VECTOR_PATHS

#include "fx2d/glow_rays.h"

namespace sse2 {

namespace {

constexpr int kW = kTargetWidth;

// addGlowPixel on four pixels, in the same 32-bit arithmetic: the masked sum, then
// (0x80808000 - (s & 0x01010100)) >> 7 or-ed in, which saturates green and red and
// fills blue's upper bits after a carry.
inline __m128i addGlow(__m128i texels, __m128i pixels) {
    const __m128i keep = splat(0xFEFEFF);
    const __m128i s = _mm_add_epi32(_mm_and_si128(texels, keep), _mm_and_si128(pixels, keep));
    const __m128i carries = _mm_sub_epi32(splat(0x80808000u), _mm_and_si128(s, splat(0x01010100)));
    return _mm_or_si128(s, _mm_srli_epi32(carries, 7));
}

inline __m128i fetchFour(const uint32_t* texels, const uint16_t* columns) {
    return _mm_setr_epi32(static_cast<int>(texels[columns[0]]), static_cast<int>(texels[columns[1]]),
                          static_cast<int>(texels[columns[2]]), static_cast<int>(texels[columns[3]]));
}

}  // namespace

int lightsAmongFour(const uint32_t* p) {
    const __m128i mask = splat(0xF8F8F8);
    const __m128i lights = _mm_cmpeq_epi32(_mm_and_si128(load(p), mask), mask);
    return _mm_movemask_ps(_mm_castsi128_ps(lights));
}

// Row by row, four pixels at a time, the texels fetched straight into the vector.
// A row's last four pixels are computed first, from the target as it was, and
// stored last: the pixels they share with the vector before them get the same
// values twice, so any side n >= 4 needs no single-pixel tail.
void drawSprite(uint32_t* dst, const uint32_t* picture, int n, int step) {
    uint16_t columns[kW];
    for (int i = 0, u = 0; i < n; ++i, u += step) columns[i] = static_cast<uint16_t>(u >> 8);
    int v = 0;
    for (int j = 0; j < n; ++j, v += step, dst += kW) {
        const uint32_t* texels = picture + ((v >> 8) & 255) * GlowRays::kRaySize;
        if (n < 4) {
            for (int i = 0; i < n; ++i) dst[i] = addGlowPixel(texels[columns[i]], dst[i]);
            continue;
        }
        const __m128i last = addGlow(fetchFour(texels, columns + n - 4), load(dst + n - 4));
        for (int i = 0; i < n - 4; i += 4) store(dst + i, addGlow(fetchFour(texels, columns + i), load(dst + i)));
        store(dst + n - 4, last);
    }
}

}  // namespace sse2

#endif
