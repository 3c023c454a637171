// Span fillers. Depth values are the bit patterns of the float stamp + w, which
// order like the floats for the non-negative values they hold; a larger value
// is nearer. The blocked modes divide by w once per 16 pixels and step 8.8
// integers in between.
#include "render3d/span_fillers.h"

#include <algorithm>

#include "platform/bit_cast.h"
#include "scene3d/float_to_int.h"

namespace {

int32_t depthBits(float value) { return bitCast<int32_t>(value); }

// Flat colour per pixel; opaque or blended, depth written either way.
template <bool Blend>
void fillFlat(const SpanSetup& span) {
    uint32_t* pixels = span.pixels;
    int32_t* depth = span.depth;
    const uint32_t colour = span.flatColour;
    float depthValue = static_cast<float>(span.depthStamp) + span.start.w;
    for (int i = 0; i < span.count; ++i) {
        const int32_t z = depthBits(depthValue);
        if (z >= depth[i]) {
            pixels[i] = Blend ? average(pixels[i], colour) : colour;
            depth[i] = z;
        }
        depthValue += span.step.w;
    }
}

// Texture coordinates in 8.8 (only the low 16 bits count: bits 8-15 pick the
// texel, so they wrap at 256 texels) and their steps per pixel.
struct TexelCursor {
    uint32_t u, v, du, dv;
};

// Colour channels as 8.8 accumulators whose integer byte is the channel value.
struct ColourCursor {
    int32_t r, g, b, dr, dg, db;
};

uint32_t colourBytes(const ColourCursor& c) {
    return (static_cast<uint32_t>(c.r & 0xFF00) << 8) | static_cast<uint32_t>(c.g & 0xFF00) |
           static_cast<uint32_t>((c.b >> 8) & 0xFF);
}

// The pixel runs of the blocked modes, one instance per mode:
//   1 runTexFlat     sub(texel, flat shade)
//   2 runGouraud     interpolated colour
//   3 runTexGouraud  sub(texel, interpolated shade)
//   5, 6, 7          the same, blended 50 % with the pixel and not writing depth.
// A pixel that fails the depth test starts a skipping state in which only a
// strictly nearer pixel is drawn again; hidden pixels fetch no texel.
template <unsigned Mode>
void pixelRun(uint32_t* pixels, int32_t* depth, int count, float depthValue, float depthStep,
              const uint32_t* texels, uint32_t flatShade, TexelCursor tex, ColourCursor colour) {
    constexpr bool textured = (Mode & kSpanTextured) != 0;
    constexpr bool gouraud = (Mode & kSpanGouraud) != 0;
    constexpr bool blended = (Mode & kSpanTranslucent) != 0;
    bool skipping = false;
    for (int i = 0; i < count; ++i) {
        if constexpr (gouraud) {
            colour.r += colour.dr;
            colour.g += colour.dg;
            colour.b += colour.db;
        }
        const int32_t z = depthBits(depthValue);
        const bool visible = skipping ? z > depth[i] : z >= depth[i];
        skipping = !visible;
        if (visible) {
            uint32_t value;
            if constexpr (textured) {
                const uint32_t texel = texels[(tex.v & 0xFF00u) | ((tex.u >> 8) & 0xFFu)];
                value = subClamped(texel, gouraud ? colourBytes(colour) : flatShade);
            } else {
                value = colourBytes(colour);
            }
            if constexpr (blended) {
                pixels[i] = average(pixels[i], value);
            } else {
                pixels[i] = value;
                depth[i] = z;
            }
        }
        depthValue += depthStep;
        if constexpr (textured) {
            tex.u += tex.du;
            tex.v += tex.dv;
        }
    }
}

int32_t clampChannel(int32_t value) { return std::clamp(value, 0, 255); }

// The true values at a block end: U, V in 1/256 texel and R, G, B as 0..255.
// The colours are limited to 0..255 because past a face's edge (thin or steep
// faces) the extrapolated value can run to several hundred or below 0, which
// would wrap the 8-bit accumulator bytes into stripes.
struct BlockEnd {
    int32_t u = 0, v = 0, r = 0, g = 0, b = 0;
};

template <unsigned Mode>
BlockEnd blockEnd(const Interpolants& at) {
    const float z = 1.0f / at.w;
    BlockEnd end;
    if constexpr ((Mode & kSpanTextured) != 0) {
        end.u = truncToInt32(at.uw * z);
        end.v = truncToInt32(at.vw * z);
    }
    if constexpr ((Mode & kSpanGouraud) != 0) {
        end.r = clampChannel(truncToInt32(at.rw * z));
        end.g = clampChannel(truncToInt32(at.gw * z));
        end.b = clampChannel(truncToInt32(at.bw * z));
    }
    return end;
}

// The differences are taken in 64 bits: far texture coordinates may be as far
// apart as the whole 32-bit range. Only the low 16 bits of a step matter.
int64_t difference(int32_t from, int32_t to) { return static_cast<int64_t>(to) - from; }

// Steps over a full block of 16: texture coordinates by an arithmetic shift,
// colours as (end - start) / 16 in 8.8, that is (end - start) x 16.
TexelCursor blockTexels(const BlockEnd& from, const BlockEnd& to) {
    return {static_cast<uint32_t>(from.u), static_cast<uint32_t>(from.v),
            static_cast<uint32_t>(difference(from.u, to.u) >> 4), static_cast<uint32_t>(difference(from.v, to.v) >> 4)};
}

ColourCursor blockColours(const BlockEnd& from, const BlockEnd& to) {
    return {from.r << 8, from.g << 8, from.b << 8, (to.r - from.r) * 16, (to.g - from.g) * 16, (to.b - from.b) * 16};
}

// Steps over the last m < 16 pixels: divisions truncating toward zero.
TexelCursor remainderTexels(const BlockEnd& from, const BlockEnd& to, int m) {
    return {static_cast<uint32_t>(from.u), static_cast<uint32_t>(from.v),
            static_cast<uint32_t>(difference(from.u, to.u) / m), static_cast<uint32_t>(difference(from.v, to.v) / m)};
}

// trunc((end - start) / m x 256) for every colour difference -255..255 and
// remainder length m = 1..15, so that short spans need no division per channel.
struct ColourStepTable {
    int32_t step[16][511];
    ColourStepTable() {
        for (int m = 1; m < 16; ++m)
            for (int d = -255; d <= 255; ++d)
                step[m][d + 255] = truncToInt32(static_cast<float>(d) / static_cast<float>(m) * 256.0f);
    }
};
const ColourStepTable colourSteps;

int32_t remainderColourStep(int32_t from, int32_t to, int m) { return colourSteps.step[m][to - from + 255]; }

ColourCursor remainderColours(const BlockEnd& from, const BlockEnd& to, int m) {
    return {from.r << 8,
            from.g << 8,
            from.b << 8,
            remainderColourStep(from.r, to.r, m),
            remainderColourStep(from.g, to.g, m),
            remainderColourStep(from.b, to.b, m)};
}

// The smallest of the 16 stored entries of a block.
int32_t nearestHidden(const int32_t* depth) {
    int32_t smallest = depth[0];
    for (int i = 1; i < 16; ++i) smallest = std::min(smallest, depth[i]);
    return smallest;
}

}  // namespace

void fillSolid(const SpanSetup& span) { fillFlat<false>(span); }

void fillSolidBlend(const SpanSetup& span) { fillFlat<true>(span); }

template <unsigned Mode>
void fillPerspective(const SpanSetup& span) {
    const float stamp = static_cast<float>(span.depthStamp);
    uint32_t* pixels = span.pixels;
    int32_t* depth = span.depth;
    Interpolants at = span.start;
    BlockEnd from = blockEnd<Mode>(at);

    for (int block = 0; block < span.count / 16; ++block) {
        const float d0 = stamp + at.w;
        at = advanced(at, span.step, 16.0f);
        const BlockEnd to = blockEnd<Mode>(at);
        // The block is skipped whole unless its nearer end lies in front of
        // at least one of its stored entries.
        const int32_t nearerEnd = std::max(depthBits(d0), depthBits(stamp + at.w));
        if (nearerEnd > nearestHidden(depth))
            pixelRun<Mode>(pixels, depth, 16, d0, span.step.w, span.texels, span.flatColour, blockTexels(from, to),
                           blockColours(from, to));
        from = to;
        pixels += 16;
        depth += 16;
    }

    const int m = span.count % 16;
    if (m == 0) return;
    const float d0 = stamp + at.w;
    at = advanced(at, span.step, static_cast<float>(m));
    const BlockEnd to = blockEnd<Mode>(at);
    pixelRun<Mode>(pixels, depth, m, d0, span.step.w, span.texels, span.flatColour, remainderTexels(from, to, m),
                   remainderColours(from, to, m));
}

template void fillPerspective<1>(const SpanSetup&);
template void fillPerspective<2>(const SpanSetup&);
template void fillPerspective<3>(const SpanSetup&);
template void fillPerspective<5>(const SpanSetup&);
template void fillPerspective<6>(const SpanSetup&);
template void fillPerspective<7>(const SpanSetup&);

const SpanFiller spanFillers[8] = {
    fillSolid,           // 0 flat
    fillPerspective<1>,  // 1 textured, flat shade
    fillPerspective<2>,  // 2 Gouraud
    fillPerspective<3>,  // 3 textured, Gouraud shade
    fillSolidBlend,      // 4 flat, translucent
    fillPerspective<5>,  // 5 textured, flat shade, translucent
    fillPerspective<6>,  // 6 Gouraud, translucent
    fillPerspective<7>,  // 7 textured, Gouraud shade, translucent
};
