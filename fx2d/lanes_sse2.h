// The SSE2 primitives of lanes.h: four pixels, one per 32-bit lane of a 128-bit vector.
#pragma once

#include <emmintrin.h>

#include <cstdint>

#include "fx2d/lanes.h"

namespace {

template <>
struct Lanes<__m128i> {
    using V = __m128i;
    static constexpr int kPixels = 4;
    static constexpr int kLines = 4;  // lines side by side in loadColumns

    static V load(const uint32_t* p) { return _mm_loadu_si128(reinterpret_cast<const V*>(p)); }
    static void store(uint32_t* p, V v) { _mm_storeu_si128(reinterpret_cast<V*>(p), v); }
    static V splat(uint32_t x) { return _mm_set1_epi32(static_cast<int>(x)); }
    static V zero() { return _mm_setzero_si128(); }

    static V add8(V a, V b) { return _mm_add_epi8(a, b); }
    static V add16(V a, V b) { return _mm_add_epi16(a, b); }
    static V sub16(V a, V b) { return _mm_sub_epi16(a, b); }
    static V mulhiU16(V a, V b) { return _mm_mulhi_epu16(a, b); }
    static V mullo16(V a, V b) { return _mm_mullo_epi16(a, b); }
    static V add32(V a, V b) { return _mm_add_epi32(a, b); }
    static V sub32(V a, V b) { return _mm_sub_epi32(a, b); }
    static V cmpeq32(V a, V b) { return _mm_cmpeq_epi32(a, b); }
    static V cmpgt32(V a, V b) { return _mm_cmpgt_epi32(a, b); }
    static V andNot(V a, V b) { return _mm_andnot_si128(a, b); }  // ~a & b
    static V srli16(V a, int n) { return _mm_srli_epi16(a, n); }
    static V slli16(V a, int n) { return _mm_slli_epi16(a, n); }
    static V srli32(V a, int n) { return _mm_srli_epi32(a, n); }
    static int signBits32(V a) { return _mm_movemask_ps(_mm_castsi128_ps(a)); }  // bit i: lane i's top bit

    // base[indices[i]] for each lane: four plain loads.
    static V gather(const uint32_t* base, const int32_t* indices) {
        return _mm_setr_epi32(static_cast<int>(base[indices[0]]), static_cast<int>(base[indices[1]]),
                              static_cast<int>(base[indices[2]]), static_cast<int>(base[indices[3]]));
    }

    // row[columns[i]] for each lane, columns rising, all below rowLength.
    static V sample(const uint32_t* row, int /*rowLength*/, const int32_t* columns) {
        return gather(row, columns);
    }

    // Pixels offset ... offset + 3 of four lines as columns: column i holds pixel
    // offset + i of each line, line l in lane l.
    static void loadColumns(const uint32_t* const* lines, int offset, V (&column)[4]) {
        for (int l = 0; l < 4; ++l) column[l] = load(lines[l] + offset);
        transpose(column);
    }

    // The inverse: the first `count` pixels of each line's four back in place.
    static void storeColumns(V (&column)[4], uint32_t* const* lines, int offset, int count) {
        transpose(column);
        for (int l = 0; l < 4; ++l) storeFirst(lines[l] + offset, column[l], count);
    }

    static void storeFirst(uint32_t* p, V v, int count) {
        if (count == kPixels) {
            store(p, v);
            return;
        }
        alignas(16) uint32_t words[kPixels];
        store(words, v);
        for (int i = 0; i < count; ++i) p[i] = words[i];
    }

    static void transpose(V (&r)[4]) {
        const V ab0 = _mm_unpacklo_epi32(r[0], r[1]);  // a0 b0 a1 b1
        const V ab1 = _mm_unpackhi_epi32(r[0], r[1]);  // a2 b2 a3 b3
        const V cd0 = _mm_unpacklo_epi32(r[2], r[3]);
        const V cd1 = _mm_unpackhi_epi32(r[2], r[3]);
        r[0] = _mm_unpacklo_epi64(ab0, cd0);
        r[1] = _mm_unpackhi_epi64(ab0, cd0);
        r[2] = _mm_unpacklo_epi64(ab1, cd1);
        r[3] = _mm_unpackhi_epi64(ab1, cd1);
    }
};

}  // namespace
