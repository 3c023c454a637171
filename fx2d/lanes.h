// Pixel arithmetic on vectors of 0x00RRGGBB pixels, written once for every lane
// width: the primitives come from Lanes<V> (lanes_sse2.h: four pixels, lanes_avx2.h:
// eight, lanes_avx512.h: sixteen), the helpers here build the kernels' arithmetic from
// them. Each helper gives exactly the bits of the scalar code it stands for. Included
// only by the vector kernels' sources, each compiled for its own instruction set;
// everything here has internal linkage so that no source's copies can stand in for
// another's.
#pragma once

#include <cstdint>

// The vector types' may_alias attribute plays no part in template arguments; GCC
// would say so at every use.
#pragma GCC diagnostic ignored "-Wignored-attributes"

namespace {

template <class V>
struct Lanes;

// A pixel's channels split over 16-bit lanes: `even` holds blue and red (bytes 0
// and 2), `odd` green and the top byte (bytes 1 and 3), each as a value 0 ... 255.
template <class V>
struct Channels {
    V even, odd;
};

template <class V>
inline Channels<V> split(V pixels) {
    using L = Lanes<V>;
    return {pixels & L::splat(0x00FF00FF), L::srli16(pixels, 8)};
}

// Back to pixels; every lane must hold a value 0 ... 255.
template <class V>
inline V join(Channels<V> c) {
    return c.even | Lanes<V>::slli16(c.odd, 8);
}

template <class V>
inline Channels<V> add(Channels<V> a, Channels<V> b) {
    using L = Lanes<V>;
    return {L::add16(a.even, b.even), L::add16(a.odd, b.odd)};
}

template <class V>
inline Channels<V> sub(Channels<V> a, Channels<V> b) {
    using L = Lanes<V>;
    return {L::sub16(a.even, b.even), L::sub16(a.odd, b.odd)};
}

// The channels as they are, computed before anything that uses them: the compiler may
// otherwise regroup a sum with a difference (a + b - c as a + (b - c)), which on a
// dependency chain can put an addition after a multiply that needed none after it.
// Only x86 has the register class for this; elsewhere the compiler's grouping stands
// (the bits are the same either way: the lanes never wrap).
template <class V>
inline Channels<V> settled(Channels<V> c) {
#if defined(__x86_64__) || defined(__i386__)
    asm("" : "+x"(c.even), "+x"(c.odd));
#endif
    return c;
}

// A 16-bit multiplier for the three colour channels and 0 for the top byte: the
// 32-bit word w is the 16-bit lanes (w, 0).
template <class V>
struct Weight {
    V even, odd;
};

template <class V>
inline Weight<V> weight(uint16_t w) {
    using L = Lanes<V>;
    return {L::splat(w * 0x00010001u), L::splat(w)};
}

// Per lane (c * w) >> 16, the high half of the 16 x 16-bit product: exact for any c
// and w below 65536. The top byte's weight is 0, so it comes out 0.
template <class V>
inline Channels<V> scale(Channels<V> c, Weight<V> w) {
    using L = Lanes<V>;
    return {L::mulhiU16(c.even, w.even), L::mulhiU16(c.odd, w.odd)};
}

// A table v -> (v * multiplier) >> 16 for each channel (a TableMultiplier without a
// bias, see table_multiplier.h), as the Weight of each lane: the 16-bit lanes (m, m)
// and (m, 0).
//
// Green is not shifted down for its product: left in its 16-bit lane's high byte it
// is 256 times larger, so the high half of its product is 256 * ((g * w) >> 16) plus
// a low byte that the mask drops. This spares the two shifts, which share fewer
// execution ports than the masks.
template <class V>
inline V divide(V pixels, Weight<V> w) {
    using L = Lanes<V>;
    const V high = L::splat(0xFF00FF00);
    return L::mulhiU16(pixels & L::splat(0x00FF00FF), w.even) | (L::mulhiU16(pixels & high, w.odd) & high);
}

// ((pixel >> 1) & 0x7F7F7F): every channel halved, rounding down, top byte dropped.
template <class V>
inline V halve(V pixels) {
    using L = Lanes<V>;
    return L::srli32(pixels, 1) & L::splat(0x007F7F7F);
}

// addGlowPixel in the same 32-bit arithmetic: the masked sum s, then
// (0x80808000 - (s & 0x01010100)) >> 7 or-ed in, which saturates green and red and
// fills blue's upper bits after a carry.
template <class V>
inline V addGlow(V texels, V pixels) {
    using L = Lanes<V>;
    const V keep = L::splat(0xFEFEFF);
    const V s = L::add32(texels & keep, pixels & keep);
    return s | L::srli32(L::sub32(L::splat(0x80808000u), s & L::splat(0x01010100)), 7);
}

// `changed` where the picture pixel passes the opaque mask test, else the target
// pixel as it was (top byte included).
template <class V>
inline V whereOpaque(V picture, V changed, V target, V opaque) {
    using L = Lanes<V>;
    const V transparent = L::cmpeq32(picture & opaque, L::zero());
    return (transparent & target) | L::andNot(transparent, changed);
}

}  // namespace
