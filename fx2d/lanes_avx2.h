// The AVX2 primitives of lanes.h: eight pixels, one per 32-bit lane of a 256-bit
// vector. Only for code compiled for AVX2 and run after the CPU check
// (vector_kernels_avx2.cpp).
#pragma once

#include <immintrin.h>

#include <cstdint>

#include "fx2d/lanes.h"
#include "fx2d/lanes_sse2.h"

namespace {

template <>
struct Lanes<__m256i> {
    using V = __m256i;
    static constexpr int kPixels = 8;
    static constexpr int kLines = 8;  // lines side by side in loadColumns

    // Bytes 1 and 3 of each lane as its bytes 0 and 1, the upper two bytes 0.
    static V bytes1And3(V a) {
        const V pick = _mm256_setr_epi8(1, 3, -1, -1, 5, 7, -1, -1, 9, 11, -1, -1, 13, 15, -1, -1, 1, 3, -1,
                                        -1, 5, 7, -1, -1, 9, 11, -1, -1, 13, 15, -1, -1);
        return _mm256_shuffle_epi8(a, pick);
    }

    static V load(const uint32_t* p) { return _mm256_loadu_si256(reinterpret_cast<const V*>(p)); }
    static void store(uint32_t* p, V v) { _mm256_storeu_si256(reinterpret_cast<V*>(p), v); }
    static V splat(uint32_t x) { return _mm256_set1_epi32(static_cast<int>(x)); }
    static V zero() { return _mm256_setzero_si256(); }

    static V add8(V a, V b) { return _mm256_add_epi8(a, b); }
    static V add16(V a, V b) { return _mm256_add_epi16(a, b); }
    static V sub16(V a, V b) { return _mm256_sub_epi16(a, b); }
    static V mulhiU16(V a, V b) { return _mm256_mulhi_epu16(a, b); }
    static V mullo16(V a, V b) { return _mm256_mullo_epi16(a, b); }
    static V add32(V a, V b) { return _mm256_add_epi32(a, b); }
    static V sub32(V a, V b) { return _mm256_sub_epi32(a, b); }
    static V cmpeq32(V a, V b) { return _mm256_cmpeq_epi32(a, b); }
    static V cmpgt32(V a, V b) { return _mm256_cmpgt_epi32(a, b); }
    static V andNot(V a, V b) { return _mm256_andnot_si256(a, b); }  // ~a & b
    static V srli16(V a, int n) { return _mm256_srli_epi16(a, n); }
    static V slli16(V a, int n) { return _mm256_slli_epi16(a, n); }
    static V srli32(V a, int n) { return _mm256_srli_epi32(a, n); }
    static int signBits32(V a) {
        return _mm256_movemask_ps(_mm256_castsi256_ps(a));
    }  // bit i: lane i's top bit

    // base[indices[i]] for each lane, by the gather instruction.
    static V gather(const uint32_t* base, const int32_t* indices) {
        return gather(base, load(reinterpret_cast<const uint32_t*>(indices)));
    }

    static V gather(const uint32_t* base, V indices) {
        return _mm256_i32gather_epi32(reinterpret_cast<const int*>(base), indices, 4);
    }

    // base[indices[i]] for each lane by eight plain loads, for CPUs whose gather is slow.
    static V loadEach(const uint32_t* base, const int32_t* indices) {
        return _mm256_setr_epi32(static_cast<int>(base[indices[0]]), static_cast<int>(base[indices[1]]),
                                 static_cast<int>(base[indices[2]]), static_cast<int>(base[indices[3]]),
                                 static_cast<int>(base[indices[4]]), static_cast<int>(base[indices[5]]),
                                 static_cast<int>(base[indices[6]]), static_cast<int>(base[indices[7]]));
    }

    // row[columns[i]] for each lane, columns rising, all below rowLength. When the
    // eight columns lie within 16 pixels of the first, two loads and two in-register
    // permutes pick them (cheaper than the gather); the loads must stay in the row.
    // Otherwise the gather fetches them, or with `slowGather` eight plain loads.
    template <bool slowGather = false>
    static V sample(const uint32_t* row, int rowLength, const int32_t* columns) {
        const int first = columns[0];
        if (columns[kPixels - 1] - first >= 16 || first + 16 > rowLength)
            return slowGather ? loadEach(row, columns) : gather(row, columns);
        const V offsets =
            sub32(load(reinterpret_cast<const uint32_t*>(columns)), splat(static_cast<uint32_t>(first)));
        const V low = _mm256_permutevar8x32_epi32(load(row + first), offsets);  // uses offsets & 7
        const V high = _mm256_permutevar8x32_epi32(load(row + first + 8), offsets);
        return _mm256_blendv_epi8(low, high, cmpgt32(offsets, splat(7)));
    }

    // Pixels offset ... offset + 3 of eight lines as columns: column i holds pixel
    // offset + i of each line, line l in lane l. Each 128-bit half is a four-line
    // transpose (lines 0-3 in the low half, 4-7 in the high one).
    static void loadColumns(const uint32_t* const* lines, int offset, V (&column)[4]) {
        for (int l = 0; l < 4; ++l)
            column[l] = pair(Half::load(lines[l] + offset), Half::load(lines[l + 4] + offset));
        transpose(column);
    }

    // The inverse: the first `count` pixels of each line's four back in place.
    static void storeColumns(V (&column)[4], uint32_t* const* lines, int offset, int count) {
        transpose(column);
        for (int l = 0; l < 4; ++l) {
            Half::storeFirst(lines[l] + offset, _mm256_castsi256_si128(column[l]), count);
            Half::storeFirst(lines[l + 4] + offset, _mm256_extracti128_si256(column[l], 1), count);
        }
    }

    // The two halves as one vector.
    static V pair(__m128i low, __m128i high) {
        return _mm256_inserti128_si256(_mm256_castsi128_si256(low), high, 1);
    }

private:
    using Half = Lanes<__m128i>;

    static void transpose(V (&r)[4]) {
        const V ab0 = _mm256_unpacklo_epi32(r[0], r[1]);
        const V ab1 = _mm256_unpackhi_epi32(r[0], r[1]);
        const V cd0 = _mm256_unpacklo_epi32(r[2], r[3]);
        const V cd1 = _mm256_unpackhi_epi32(r[2], r[3]);
        r[0] = _mm256_unpacklo_epi64(ab0, cd0);
        r[1] = _mm256_unpackhi_epi64(ab0, cd0);
        r[2] = _mm256_unpacklo_epi64(ab1, cd1);
        r[3] = _mm256_unpackhi_epi64(ab1, cd1);
    }
};

}  // namespace
