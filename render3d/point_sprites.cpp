// Point sprites: a square glow centred on a projected vertex, scaled with
// distance, tinted with the item's colour and added to the pixels below it.
// Sprites are tested against the depth buffer but never write it.
#include <algorithm>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include "platform/bit_cast.h"
#include "scene3d/float_to_int.h"
#include "scene3d/world.h"

namespace {

// Per channel min(255, a + b), packed 0x00RRGGBB.
uint32_t addSaturated(uint32_t a, uint32_t b) {
#if defined(__SSE2__)
    const __m128i sum = _mm_adds_epu8(_mm_cvtsi32_si128(static_cast<int>(a)), _mm_cvtsi32_si128(static_cast<int>(b)));
    return static_cast<uint32_t>(_mm_cvtsi128_si32(sum)) & 0xFFFFFFu;
#else
    uint32_t result = 0;
    for (int shift = 0; shift <= 16; shift += 8)
        result |= std::min(((a >> shift) & 0xFFu) + ((b >> shift) & 0xFFu), 255u) << shift;
    return result;
#endif
}

// One row of a sprite: `count` pixels from `pixels` on, the glow's column u
// (8.8, wrapping at the sprite's 64 columns) advancing by `step` per pixel.
// mulRed, mulGreen, mulBlue are the multiplication-table rows of the colour's
// channels, so mulRed[t] = (red x t) >> 8.
void flareRow(uint32_t* pixels, const int32_t* depth, const uint8_t* spriteRow, int count, const uint8_t* mulRed,
              const uint8_t* mulGreen, const uint8_t* mulBlue, uint32_t u, uint32_t step, int32_t depthValue) {
    for (int i = 0; i < count; ++i, u += step) {
        if (depthValue < depth[i]) continue;
        const uint8_t t = spriteRow[(u >> 8) & 63];
        const uint32_t add = (static_cast<uint32_t>(mulRed[t]) << 16) | (static_cast<uint32_t>(mulGreen[t]) << 8) | mulBlue[t];
        pixels[i] = addSaturated(pixels[i], add);
    }
}

// 5-6-5 bits moved to the top of their 8-bit channels, low bits 0.
uint32_t colourOf565(uint32_t c) { return ((c & 0xF800u) << 8) | ((c & 0x07E0u) << 5) | ((c & 0x001Fu) << 3); }

}  // namespace

void World::drawPointSprite(int item) {
    const DrawItem& sprite = drawItems[static_cast<size_t>(item)];
    const WorldVertex& v = vertices[sprite.index];
    // The current viewport's integer halves (not halfMinSide, which faces use).
    const float halfMin = static_cast<float>(minSide / 2);
    const float sx = (v.x * zoom / v.z) * halfMin + static_cast<float>(width / 2);
    const float sy = (v.y * zoom / v.z) * halfMin + static_cast<float>(height / 2);
    const float size = static_cast<float>(static_cast<int16_t>(sprite.size)) / 256.0f * zoom * halfMin / v.z;
    drawFlare(sx, sy, colourOf565(sprite.colour565), size, 1.0f / v.z);
}

void World::drawFlare(float sx, float sy, uint32_t colour, float size, float w) {
    if (!(size >= 0.5f)) return;
    const int64_t step = truncToInt32(64.0f / size * 256.0f);  // glow texels per pixel, 8.8

    // The top-left corner and the side in whole pixels; far or huge sprites
    // convert to INT32_MIN and are rejected by the tests below, which run in
    // 64 bits so that nothing overflows.
    sx = sx - size / 2.0f;
    sy = sy - size / 2.0f;
    const int64_t n = truncToInt32(size);
    int64_t x0 = truncToInt32(sx), y0 = truncToInt32(sy);
    int64_t columns = n, rows = n;
    if (y0 >= height || x0 >= width || x0 + n <= 0 || y0 + n <= 0) return;

    // Cut off the part left of or above the viewport, starting the glow where
    // the visible part of it begins.
    int64_t u0 = 0, v = 0;
    if (x0 < 0) {
        u0 = step * -x0;
        columns += x0;
        x0 = 0;
    }
    if (y0 < 0) {
        v = step * -y0;
        rows += y0;
        y0 = 0;
    }
    columns = std::min(columns, width - x0);
    rows = std::min(rows, height - y0);
    u0 &= 0xFFFF;
    v &= 0xFFFF;
    if (columns <= 0 || rows <= 0) return;

    const int32_t depthValue = bitCast<int32_t>(static_cast<float>(depthStamp) + w);
    const uint8_t* mulRed = mulTable3d.data() + ((colour >> 16) & 0xFF) * 256;
    const uint8_t* mulGreen = mulTable3d.data() + ((colour >> 8) & 0xFF) * 256;
    const uint8_t* mulBlue = mulTable3d.data() + (colour & 0xFF) * 256;
    for (int64_t row = 0; row < rows; ++row, v += step) {
        const size_t at = static_cast<size_t>(y0 + row) * static_cast<size_t>(pitch) + static_cast<size_t>(x0);
        // n x step never passes 64 x 256, so the row stays below 64; the mask
        // keeps it inside the glow whatever the input.
        const uint8_t* spriteRow = flareSprite.data() + ((v >> 8) & 63) * kFlareSide;
        flareRow(target + at, depthBuffer.data() + at, spriteRow, static_cast<int>(columns), mulRed, mulGreen, mulBlue,
                 static_cast<uint32_t>(u0), static_cast<uint32_t>(step), depthValue);
    }
}
