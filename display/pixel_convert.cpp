// Pixel format conversion kernels for presenting the frame.
#include "display/pixel_convert.h"

#include <bit>
#include <cstddef>
#include <cstring>

int maskShift(uint32_t mask)
{
    return std::countl_zero(mask);
}

bool isSupportedSurfaceBits(int bitsPerPixel)
{
    return bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

PixelConversion makePixelConversion(int bitsPerPixel, uint32_t redMask, uint32_t greenMask,
                                    uint32_t blueMask)
{
    PixelConversion c;
    c.bitsPerPixel = bitsPerPixel;
    c.redMask = redMask;
    c.greenMask = greenMask;
    c.blueMask = blueMask;
    c.redShift = maskShift(redMask);
    c.greenShift = maskShift(greenMask);
    c.blueShift = maskShift(blueMask);
    c.fastFormat = (bitsPerPixel == 32 && c.redShift == 8 && c.greenShift == 16 && c.blueShift == 24) ||
                   (bitsPerPixel == 16 && c.redShift == 16 && c.greenShift == 21 && c.blueShift == 27);
    return c;
}

namespace {

// Each component is moved to the top byte of a signed word and shifted right
// arithmetically, so its top bit reaches the mask's top bit. A zero mask has
// shift 32, which C++ cannot shift by; the mask drops the component anyway.
inline uint32_t component(uint32_t topAligned, int shift, uint32_t mask)
{
    if (shift >= 32)
        return 0;
    return static_cast<uint32_t>(std::bit_cast<int32_t>(topAligned) >> shift) & mask;
}

}  // namespace

uint32_t convertPixel(const PixelConversion& c, uint32_t pixel)
{
    return component(pixel << 8, c.redShift, c.redMask) +
           component(pixel << 16, c.greenShift, c.greenMask) +
           component(pixel << 24, c.blueShift, c.blueMask);
}

void copyRows32(const uint32_t* src, int srcStride, int width, int height, uint8_t* dst,
                int dstPitch_bytes)
{
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::memcpy(dst + static_cast<std::ptrdiff_t>(y) * dstPitch_bytes,
                    src + static_cast<std::ptrdiff_t>(y) * srcStride, rowBytes);
}

namespace {

inline uint32_t rgb565(uint32_t p)
{
    const uint32_t r = (p >> 16) & 0xFF;
    const uint32_t g = (p >> 8) & 0xFF;
    const uint32_t b = p & 0xFF;
    return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
}

}  // namespace

void packRgb565(const uint32_t* src, int srcStride, int width, int height, uint8_t* dst,
                int dstPitch_bytes)
{
    const int pairs = width / 2;
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = src + static_cast<std::ptrdiff_t>(y) * srcStride;
        uint8_t* out = dst + static_cast<std::ptrdiff_t>(y) * dstPitch_bytes;
        for (int i = 0; i < pairs; ++i) {
            const uint32_t word = rgb565(in[2 * i]) | (rgb565(in[2 * i + 1]) << 16);
            std::memcpy(out + 4 * i, &word, 4);
        }
        if (width & 1) {
            const uint16_t last = static_cast<uint16_t>(rgb565(in[width - 1]));
            std::memcpy(out + 4 * pairs, &last, 2);
        }
    }
}

void convertGeneral(const PixelConversion& c, const uint32_t* src, int srcStride, int width,
                    int height, uint8_t* dst, int dstPitch_bytes)
{
    const int bytesPerPixel = c.bitsPerPixel / 8;
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = src + static_cast<std::ptrdiff_t>(y) * srcStride;
        uint8_t* out = dst + static_cast<std::ptrdiff_t>(y) * dstPitch_bytes;
        // Stores go through memcpy of the low bytes: surfaces are little-endian
        // and their rows need not be aligned for wider stores.
        for (int x = 0; x < width; ++x) {
            const uint32_t value = convertPixel(c, in[x]);
            std::memcpy(out + x * bytesPerPixel, &value, bytesPerPixel);
        }
    }
}

void convertFrame(const PixelConversion& c, const uint32_t* src, int srcStride, int width, int height,
                  uint8_t* dst, int dstPitch_bytes)
{
    if (c.fastFormat && c.bitsPerPixel == 32)
        copyRows32(src, srcStride, width, height, dst, dstPitch_bytes);
    else if (c.fastFormat && c.bitsPerPixel == 16)
        packRgb565(src, srcStride, width, height, dst, dstPitch_bytes);
    else
        convertGeneral(c, src, srcStride, width, height, dst, dstPitch_bytes);
}

void clearRows(uint8_t* dst, int rowBytes, int height, int dstPitch_bytes)
{
    for (int y = 0; y < height; ++y)
        std::memset(dst + static_cast<std::ptrdiff_t>(y) * dstPitch_bytes, 0, rowBytes);
}
