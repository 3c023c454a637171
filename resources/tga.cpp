// TGA: header fields at 12..17, pixel data from byte 18 (an 8-bit picture's
// 256-entry colour table, then its indices). S3T: a 16-byte header, then one
// 8-byte block of two 5-6-5 colours and sixteen 2-bit indices per 4x4 tile.
#include "resources/tga.h"

#include <algorithm>
#include <string>

#include "resources/byte_fields.h"
#include "resources/load_error.h"
#include "resources/picture_limits.h"

namespace {

constexpr size_t kTgaHeaderBytes = 18;
constexpr size_t kTgaPaletteBytes = 256 * 3;
constexpr uint8_t kTgaTopRowFirst = 0x20;
constexpr size_t kS3tHeaderBytes = 16;
constexpr size_t kS3tBlockBytes = 8;

// Blue, green, red bytes as one 0x00RRGGBB pixel.
uint32_t pixelFromBgr(const uint8_t* bgr) {
    return bgr[0] + (bgr[1] << 8) + (static_cast<uint32_t>(bgr[2]) << 16);
}

void flipRows(Image& image) {
    for (int y = 0; y < image.height / 2; ++y)
        std::swap_ranges(image.row(y), image.row(y) + image.width, image.row(image.height - 1 - y));
}

struct Rgb {
    int red, green, blue;
};

// Red and green keep the top bits of the neighbouring field in their low bits.
Rgb expand565(uint32_t colour) {
    return {static_cast<int>((colour >> 8) & 0xFF), static_cast<int>((colour >> 3) & 0xFF),
            static_cast<int>((colour << 3) & 0xFF)};
}

// a + (b - a) * fraction, the product in double and truncated toward zero.
int blend(int a, int b, double fraction) { return a + static_cast<int>((b - a) * fraction); }

uint32_t packRgb(const Rgb& c) { return (static_cast<uint32_t>(c.red) << 16) + (c.green << 8) + c.blue; }

void decodeS3tBlock(const uint8_t* block, uint32_t* topLeft, int pitch) {
    const Rgb a = expand565(halfAt(block + 4));
    const Rgb b = expand565(halfAt(block + 6));
    const Rgb oneThird = {blend(a.red, b.red, 0.3333333), blend(a.green, b.green, 0.3333333),
                          blend(a.blue, b.blue, 0.3333333)};
    const Rgb twoThirds = {blend(a.red, b.red, 0.6666666), blend(a.green, b.green, 0.6666666),
                           blend(a.blue, b.blue, 0.6666666)};
    const uint32_t table[4] = {packRgb(a), packRgb(oneThird), packRgb(twoThirds), packRgb(b)};
    for (int r = 0; r < 4; ++r) {
        uint32_t* row = topLeft + static_cast<size_t>(r) * pitch;
        for (int x = 0; x < 4; ++x) row[x] = table[(block[r] >> (2 * x)) & 3];
    }
}

}  // namespace

Image decodeTga(std::span<const uint8_t> bytes) {
    if (bytes.size() < kTgaHeaderBytes)
        throw LoadError("TGA header cut short (" + std::to_string(bytes.size()) + " bytes)");
    const int64_t width = halfAt(&bytes[12]);
    const int64_t height = halfAt(&bytes[14]);
    const int bitsPerPixel = bytes[16];
    const uint8_t descriptor = bytes[17];
    if (bitsPerPixel != 8 && bitsPerPixel != 24) throw LoadError(kUnsupportedTgaDepth);
    checkPictureSize("TGA", width, height);

    const size_t count = static_cast<size_t>(width * height);
    const size_t needed = kTgaHeaderBytes + (bitsPerPixel == 8 ? kTgaPaletteBytes + count : 3 * count);
    if (bytes.size() < needed)
        throw LoadError("TGA pixel data ends early: " + std::to_string(width) + " x " +
                        std::to_string(height) + " at " + std::to_string(bitsPerPixel) + " bits needs " +
                        std::to_string(needed) + " bytes, the file has " + std::to_string(bytes.size()));

    Image image(static_cast<int32_t>(width), static_cast<int32_t>(height));
    const uint8_t* data = bytes.data() + kTgaHeaderBytes;
    if (bitsPerPixel == 24) {
        for (size_t i = 0; i < count; ++i) image.pixels[i] = pixelFromBgr(data + 3 * i);
    } else {
        const uint8_t* indices = data + kTgaPaletteBytes;
        for (size_t i = 0; i < count; ++i) image.pixels[i] = pixelFromBgr(data + 3 * indices[i]);
    }
    if ((descriptor & kTgaTopRowFirst) == 0) flipRows(image);
    return image;
}

Image decodeS3t(std::span<const uint8_t> bytes) {
    if (bytes.size() < kS3tHeaderBytes)
        throw LoadError("S3T header cut short (" + std::to_string(bytes.size()) + " bytes)");
    const int64_t width = wordAt(&bytes[4]);
    const int64_t height = wordAt(&bytes[8]);
    const uint64_t blockCount = wordAt(&bytes[12]);
    // Messages only: made when a check fails.
    auto size = [&] { return std::to_string(width) + " x " + std::to_string(height); };
    if (width % 4 != 0 || height % 4 != 0) throw LoadError("S3T sides " + size() + " are not multiples of 4");
    checkPictureSize("S3T", width, height);
    const uint64_t tiles = static_cast<uint64_t>(width / 4) * static_cast<uint64_t>(height / 4);
    if (blockCount != tiles)
        throw LoadError("S3T block count " + std::to_string(blockCount) + " does not match " + size() +
                        " (needs " + std::to_string(tiles) + ")");
    const uint64_t needed = kS3tHeaderBytes + kS3tBlockBytes * blockCount;
    if (bytes.size() < needed)
        throw LoadError("S3T block data ends early: " + std::to_string(blockCount) + " blocks need " +
                        std::to_string(needed) + " bytes, the file has " + std::to_string(bytes.size()));

    Image image(static_cast<int32_t>(width), static_cast<int32_t>(height));
    const uint8_t* block = bytes.data() + kS3tHeaderBytes;
    for (int tileY = 0; tileY < image.height; tileY += 4)
        for (int tileX = 0; tileX < image.width; tileX += 4, block += kS3tBlockBytes)
            decodeS3tBlock(block, image.row(tileY) + tileX, image.width);
    return image;
}
