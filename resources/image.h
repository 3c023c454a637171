// A decoded picture: 32-bit 0x00RRGGBB pixels, top row first, rows `width` apart.
// Made by the picture decoders, owned by the ResourceCache, read by every effect.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct Image {
    int32_t bitsPerPixel = 32;  // always 32
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;  // width * height words

    Image() = default;
    Image(int32_t w, int32_t h)
        : width(w), height(h), pixels(static_cast<size_t>(w) * static_cast<size_t>(h)) {}

    uint32_t* row(int y) { return pixels.data() + static_cast<size_t>(y) * width; }
    const uint32_t* row(int y) const { return pixels.data() + static_cast<size_t>(y) * width; }
};
