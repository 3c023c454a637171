// A picture laid over a 512 x 256 target with a crossfade level, near-black pixels
// transparent, 1:1 or zoomed. Built at start-up for the word and portrait pictures; drawn by the flash, pulse
// and opening scenes.
#pragma once

#include <array>
#include <cstdint>

#include "fx2d/target.h"
#include "resources/image.h"

// The two weight tables of a draw at `level` (clamped to 0 ... 1, NaN as 0): entry i
// of fadeIn is trunc(i * level), of fadeOut trunc(i * (1 - level)), in double.
void buildFadeTables(float level, uint8_t* fadeIn, uint8_t* fadeOut);

// Both draws run the vector path of vectorPath() (vector_paths.h) when there is one;
// each path gives exactly the bits of the scalar code.
class FadePicture {
public:
    // Keeps a pointer to `image`, which must outlive the object (the resource cache owns it).
    explicit FadePicture(const Image& image);

    // Blends the picture with its top-left corner at (x, y) into `dst` (512 x 256 pixels,
    // rows back to back). `level` is the picture's weight, clamped to 0 ... 1. Pixels
    // with every channel below 4 are transparent. Only the part inside the target is drawn.
    void draw(uint32_t* dst, int x, int y, float level);

    // As draw, with the picture scaled by `zoom` (nearest neighbour, 16.16 steps from the
    // picture's top-left pixel). Pixels with every channel below 8 are transparent.
    void drawZoomed(uint32_t* dst, int x, int y, float level, float zoom);

    int32_t width;
    int32_t height;

private:
    void buildTables(float level);
    uint32_t blend(uint32_t picture, uint32_t target) const;
    // Blends `count` picture pixels that pass the `opaque` mask test onto `out`.
    void blendSpan(uint32_t* out, const uint32_t* picture, int count, uint32_t opaque) const;

    const Image* image_;
    std::array<uint8_t, 256> fadeIn_;   // picture weight applied to channel value i
    std::array<uint8_t, 256> fadeOut_;  // target weight applied to channel value i
};
