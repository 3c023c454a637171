// Glow rays: trails of additive, growing copies of a 256 x 256 ray picture drawn
// from every near-white pixel of a frame towards and past the screen centre.
// Built once at start-up from "ray.tga"; used by the glow scene every frame.
#pragma once

#include <cstdint>
#include <vector>

#include "fx2d/sprite_tiles.h"
#include "fx2d/target.h"

struct Image;

// Throws LoadError "ray.tga: <problem>" unless the ray picture is 256 x 256.
void checkRayImage(const Image& ray);

// The additive blend of one sprite texel into one target pixel: channels add
// with their low bits dropped (blue keeps its own), a carry out of blue sets
// blue's upper seven bits, green and red come out odd or 0xFF, and the top
// byte becomes 0x01.
inline uint32_t addGlowPixel(uint32_t texel, uint32_t pixel) {
    const uint32_t s = (texel & 0xFEFEFFu) + (pixel & 0xFEFEFFu);
    return s | ((0x80808000u - (s & 0x01010100u)) >> 7);
}

// A light of the scan: a pixel whose three channels are all at least 248 (the top
// byte does not count).
constexpr uint32_t kLightMask = 0xF8F8F8u;
inline bool isLight(uint32_t pixel) { return (pixel & kLightMask) == kLightMask; }

// Where a row of a 256 x 256 picture is not 0: every texel outside columns
// lo ... hi is 0 (lo > hi: the whole row is). A sprite blit need not fetch those.
struct TexelSpan {
    int16_t lo, hi;
};

// The spans of the picture's 256 rows.
std::vector<TexelSpan> texelSpans(const uint32_t* picture);

// The rows that are not all 0 lie within first ... last (first > last: none are).
struct TexelRows {
    int first, last;
};

// From a picture's texelSpans; with none (null), every row may be other than 0.
TexelRows texelRows(const TexelSpan* spans);

// Adds a square of a 256 x 256 picture (rows of 256) to a 512 x 256 target,
// scaled to 2 * size pixels a side, its top-left at (cx - size, cy - size).
// A square that does not fit inside the target is not drawn at all. `spans`, when
// given, are the picture's texelSpans. The search for lights and the blit run the
// vector path of vectorPath() (vector_paths.h) when there is one; each path gives
// exactly the bits of the scalar code.
void addSprite(uint32_t* target, const uint32_t* picture, int cx, int cy, float size,
               const TexelSpan* spans = nullptr);

class GlowRays {
public:
    static constexpr int kRaySize = 256;  // ray picture: 256 x 256
    // Texels of pre-sampled sprites kept: up to 8 MiB, taken up as they are sampled
    // (the whole presentation takes up 3.7 MiB).
    static constexpr size_t kTileTexels = size_t{1} << 21;

    // Keeps a pointer to the ray's pixels as level 0 (the Image must outlive
    // this object) and builds levels 1 to 3. Throws LoadError on a bad size.
    // Sprites are pre-sampled into a store of `tileTexels` texels (SpriteTiles).
    explicit GlowRays(const Image& ray, size_t tileTexels = kTileTexels);

    // Copies source to target, then draws one trail for every light of the
    // source inside the scan window. Lights clear the eight source pixels to
    // their right and below, so one bright blob gives one trail.
    void apply(uint32_t* target, uint32_t* source) const;

    // One trail of sprites from pixel (x, y) towards and past (256, 128).
    void emitRay(uint32_t* target, int x, int y) const;

    // Picture of level 0 ... 3: the ray's pixel words times 1, 2, 3, 4.
    const uint32_t* level(int index) const { return levels_[index]; }

private:
    const uint32_t* levels_[4];
    std::vector<uint32_t> brighter_;   // levels 1 to 3, one 65536-word picture each
    std::vector<TexelSpan> spans_[4];  // texelSpans of each level
    TexelRows rows_[4];                // and their texelRows
    // Filled as the trails draw: the same pixels either way, so apply stays const.
    mutable SpriteTiles tiles_;
};
