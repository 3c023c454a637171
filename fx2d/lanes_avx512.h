// The AVX-512 primitives of lanes.h: sixteen pixels, one per 32-bit lane of a
// 512-bit vector; only those of the row smear, the one kernel that the wider vectors
// speed up (see vector_kernels_avx512.cpp, the only file compiled for AVX-512).
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "fx2d/lanes.h"
#include "fx2d/lanes_sse2.h"

namespace {

template <>
struct Lanes<__m512i> {
    using V = __m512i;
    static constexpr int kPixels = 16;
    static constexpr int kLines = 16;  // lines side by side in loadColumns

    static V load(const uint32_t* p) { return _mm512_loadu_si512(p); }
    static void store(uint32_t* p, V v) { _mm512_storeu_si512(p, v); }
    static V splat(uint32_t x) { return _mm512_set1_epi32(static_cast<int>(x)); }
    static V zero() { return _mm512_setzero_si512(); }

    static V add8(V a, V b) { return _mm512_add_epi8(a, b); }
    static V add16(V a, V b) { return _mm512_add_epi16(a, b); }
    static V sub16(V a, V b) { return _mm512_sub_epi16(a, b); }
    static V mulhiU16(V a, V b) { return _mm512_mulhi_epu16(a, b); }
    static V srli16(V a, int n) { return _mm512_srli_epi16(a, n); }
    static V slli16(V a, int n) { return _mm512_slli_epi16(a, n); }

    // Pixels offset ... offset + 3 of sixteen lines as columns: column i holds pixel
    // offset + i of each line, line l in lane l. Each 128-bit quarter q is a four-line
    // transpose of lines 4q ... 4q + 3.
    static void loadColumns(const uint32_t* const* lines, int offset, V (&column)[4]) {
        for (int l = 0; l < 4; ++l) {
            V c = _mm512_castsi128_si512(Quarter::load(lines[l] + offset));
            c = _mm512_inserti32x4(c, Quarter::load(lines[l + 4] + offset), 1);
            c = _mm512_inserti32x4(c, Quarter::load(lines[l + 8] + offset), 2);
            column[l] = _mm512_inserti32x4(c, Quarter::load(lines[l + 12] + offset), 3);
        }
        transpose(column);
    }

    // The inverse: the first `count` pixels of each line's four back in place.
    static void storeColumns(V (&column)[4], uint32_t* const* lines, int offset, int count) {
        transpose(column);
        for (int l = 0; l < 4; ++l) {
            Quarter::storeFirst(lines[l] + offset, _mm512_castsi512_si128(column[l]), count);
            Quarter::storeFirst(lines[l + 4] + offset, _mm512_extracti32x4_epi32(column[l], 1), count);
            Quarter::storeFirst(lines[l + 8] + offset, _mm512_extracti32x4_epi32(column[l], 2), count);
            Quarter::storeFirst(lines[l + 12] + offset, _mm512_extracti32x4_epi32(column[l], 3), count);
        }
    }

private:
    using Quarter = Lanes<__m128i>;

    static void transpose(V (&r)[4]) {
        const V ab0 = _mm512_unpacklo_epi32(r[0], r[1]);
        const V ab1 = _mm512_unpackhi_epi32(r[0], r[1]);
        const V cd0 = _mm512_unpacklo_epi32(r[2], r[3]);
        const V cd1 = _mm512_unpackhi_epi32(r[2], r[3]);
        r[0] = _mm512_unpacklo_epi64(ab0, cd0);
        r[1] = _mm512_unpackhi_epi64(ab0, cd0);
        r[2] = _mm512_unpacklo_epi64(ab1, cd1);
        r[3] = _mm512_unpackhi_epi64(ab1, cd1);
    }
};

}  // namespace
