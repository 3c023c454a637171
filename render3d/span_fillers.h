// The span fillers: one horizontal run of a face's pixels, depth-tested against
// the World's depth buffer and drawn in one of eight modes. Called by scanLines.
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// The values interpolated across a face, each divided by z so that they are
// linear in screen space: w = 1/z, then U·w, V·w (U, V in 1/256 texel) and the
// colour channels R·w, G·w, B·w.
struct Interpolants {
    float w, uw, vw, rw, gw, bw;
};

// a + d·k per value, each product and sum rounded to float.
inline Interpolants advanced(const Interpolants& a, const Interpolants& d, float k) {
    return {a.w + d.w * k, a.uw + d.uw * k, a.vw + d.vw * k, a.rw + d.rw * k, a.gw + d.gw * k, a.bw + d.bw * k};
}

// a + (b - a)·t per value: a point between a and b.
inline Interpolants between(const Interpolants& a, const Interpolants& b, float t) {
    return {a.w + (b.w - a.w) * t,    a.uw + (b.uw - a.uw) * t, a.vw + (b.vw - a.vw) * t,
            a.rw + (b.rw - a.rw) * t, a.gw + (b.gw - a.gw) * t, a.bw + (b.bw - a.bw) * t};
}

// (b - a)·g per value: a change per unit when g = 1 / distance.
inline Interpolants slope(const Interpolants& a, const Interpolants& b, float g) {
    return {(b.w - a.w) * g, (b.uw - a.uw) * g, (b.vw - a.vw) * g, (b.rw - a.rw) * g, (b.gw - a.gw) * g,
            (b.bw - a.bw) * g};
}

// One span: `count` pixels from `pixels` on, their depth entries from `depth`
// on (same row and column of the depth buffer). The caller keeps both inside
// their buffers; the filler writes nothing else.
struct SpanSetup {
    uint32_t* pixels;
    int32_t* depth;
    int count;                // >= 1
    Interpolants start;       // at the first pixel
    Interpolants step;        // change per pixel
    uint32_t flatColour;      // 0x00RRGGBB; a shade in the textured flat modes
    const uint32_t* texels;   // 256 x 256, row-major; read only in textured modes
    int32_t depthStamp;
};

// Span mode bits (the material's flags & 7).
constexpr unsigned kSpanTextured = 1;
constexpr unsigned kSpanGouraud = 2;
constexpr unsigned kSpanTranslucent = 4;

// Per channel max(0, a - b), packed 0x00RRGGBB.
inline uint32_t subClamped(uint32_t a, uint32_t b) {
#if defined(__SSE2__)
    // Saturating byte subtraction; the top byte is dropped.
    const __m128i d = _mm_subs_epu8(_mm_cvtsi32_si128(static_cast<int>(a)), _mm_cvtsi32_si128(static_cast<int>(b)));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(d)) & 0xFFFFFFu;
#else
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8) {
        const int32_t c = static_cast<int32_t>((a >> shift) & 0xFF) - static_cast<int32_t>((b >> shift) & 0xFF);
        result |= static_cast<uint32_t>(c & ~(c >> 31)) << shift;
    }
    return result;
#endif
}

// Each channel of both halved (its lowest bit dropped), then added: a 50 % blend.
inline uint32_t average(uint32_t d, uint32_t s) { return ((d >> 1) & 0x7F7F7F) + ((s >> 1) & 0x7F7F7F); }

using SpanFiller = void (*)(const SpanSetup&);

// Flat colour, depth written: mode 0.
void fillSolid(const SpanSetup& span);
// 50 % blend of the flat colour, depth written: mode 4.
void fillSolidBlend(const SpanSetup& span);
// Perspective-correct in 16-pixel blocks (one division per block, affine in
// between); modes 1, 2, 3, 5, 6 and 7.
template <unsigned Mode>
void fillPerspective(const SpanSetup& span);

// The fillers by span mode.
extern const SpanFiller spanFillers[8];
