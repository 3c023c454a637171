// Small SSE2 operations on four 0x00RRGGBB pixels at a time, shared by the vector
// paths of the 2D kernels. Each one gives exactly the bits of the scalar code it stands for.
#pragma once

// The vector paths exist on x86-64 (SSE2 is part of its baseline) unless the build
// asks for the plain scalar code (ZEDARIVA_SCALAR).
#if defined(__SSE2__) && !defined(ZEDARIVA_SCALAR)
#define ZD_VECTOR_PATHS 1
#endif

#ifdef ZD_VECTOR_PATHS

#include <emmintrin.h>

#include <cstdint>

namespace sse2 {

inline __m128i load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(p)); }
inline void store(uint32_t* p, __m128i v) { _mm_storeu_si128(reinterpret_cast<__m128i*>(p), v); }
inline __m128i splat(uint32_t value) { return _mm_set1_epi32(static_cast<int>(value)); }

// A pixel's channels split over 16-bit lanes: `even` holds blue and red (bytes 0
// and 2), `odd` green and the top byte (bytes 1 and 3), each as a value 0 ... 255.
struct Channels {
    __m128i even, odd;
};

inline Channels split(__m128i pixels) {
    return {_mm_and_si128(pixels, _mm_set1_epi32(0x00FF00FF)), _mm_srli_epi16(pixels, 8)};
}

// Back to pixels; every lane must hold a value 0 ... 255.
inline __m128i join(Channels c) { return _mm_or_si128(c.even, _mm_slli_epi16(c.odd, 8)); }

inline Channels add(Channels a, Channels b) {
    return {_mm_add_epi16(a.even, b.even), _mm_add_epi16(a.odd, b.odd)};
}

// A 16-bit multiplier w for the three colour channels and 0 for the top byte.
struct Weight {
    __m128i even, odd;
};

inline Weight weight(uint16_t w) { return {_mm_set1_epi16(static_cast<short>(w)), splat(w)}; }

// Per lane (c * w) >> 16, the high half of the 16 x 16-bit product: exact for any
// c and w below 65536. The top byte's weight is 0, so it comes out 0.
inline Channels scale(Channels c, Weight w) {
    return {_mm_mulhi_epu16(c.even, w.even), _mm_mulhi_epu16(c.odd, w.odd)};
}

// ((pixel >> 1) & 0x7F7F7F): every channel halved, rounding down, top byte dropped.
inline __m128i halve(__m128i pixels) {
    return _mm_and_si128(_mm_srli_epi32(pixels, 1), _mm_set1_epi32(0x007F7F7F));
}

// Transposes a 4 x 4 block of pixels: on return a holds the first pixel of each
// of the four input vectors, b the second, and so on.
inline void transpose(__m128i& a, __m128i& b, __m128i& c, __m128i& d) {
    const __m128i ab0 = _mm_unpacklo_epi32(a, b);  // a0 b0 a1 b1
    const __m128i ab1 = _mm_unpackhi_epi32(a, b);  // a2 b2 a3 b3
    const __m128i cd0 = _mm_unpacklo_epi32(c, d);
    const __m128i cd1 = _mm_unpackhi_epi32(c, d);
    a = _mm_unpacklo_epi64(ab0, cd0);
    b = _mm_unpackhi_epi64(ab0, cd0);
    c = _mm_unpacklo_epi64(ab1, cd1);
    d = _mm_unpackhi_epi64(ab1, cd1);
}

}  // namespace sse2

#endif
