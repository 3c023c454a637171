// Pixel format conversion kernels for presenting the frame.
#include "display/pixel_convert.h"
#include "platform/bit_cast.h"

#include <bit>
#include <cstddef>
#include <cstring>

int maskShift(uint32_t mask) { return std::countl_zero(mask); }

bool isSupportedSurfaceBits(int bitsPerPixel) {
    return bitsPerPixel == 16 || bitsPerPixel == 24 || bitsPerPixel == 32;
}

PixelConversion makePixelConversion(int bitsPerPixel, uint32_t redMask, uint32_t greenMask,
                                    uint32_t blueMask) {
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

// The masks and shifts of one conversion, ready for the pixel loop. Each
// component is moved to the top byte of a signed word and shifted right
// arithmetically, so its top bit reaches the mask's top bit. A zero mask has
// shift 32, which C++ cannot shift by: 31 does as well, the mask drops it.
struct ChannelSetup {
    uint32_t redMask, greenMask, blueMask;
    int redShift, greenShift, blueShift;

    explicit ChannelSetup(const PixelConversion& c)
        : redMask(c.redMask),
          greenMask(c.greenMask),
          blueMask(c.blueMask),
          redShift(c.redShift < 31 ? c.redShift : 31),
          greenShift(c.greenShift < 31 ? c.greenShift : 31),
          blueShift(c.blueShift < 31 ? c.blueShift : 31) {}

    uint32_t convert(uint32_t p) const {
        return (static_cast<uint32_t>(bitCast<int32_t>(p << 8) >> redShift) & redMask) +
               (static_cast<uint32_t>(bitCast<int32_t>(p << 16) >> greenShift) & greenMask) +
               (static_cast<uint32_t>(bitCast<int32_t>(p << 24) >> blueShift) & blueMask);
    }
};

// The general conversion storing the low `Bytes` bytes of each result
// (surfaces are little-endian; memcpy because rows need not be aligned).
template <int Bytes>
void convertRows(const ChannelSetup& setup, const uint32_t* src, int srcStride, int width, int height,
                 uint8_t* dst, int dstPitch_bytes) {
    for (int y = 0; y < height; ++y) {
        const uint32_t* in = src + static_cast<std::ptrdiff_t>(y) * srcStride;
        uint8_t* out = dst + static_cast<std::ptrdiff_t>(y) * dstPitch_bytes;
        for (int x = 0; x < width; ++x) {
            const uint32_t value = setup.convert(in[x]);
            std::memcpy(out + x * Bytes, &value, Bytes);
        }
    }
}

}  // namespace

uint32_t convertPixel(const PixelConversion& c, uint32_t pixel) { return ChannelSetup(c).convert(pixel); }

void copyRows32(const uint32_t* src, int srcStride, int width, int height, uint8_t* dst, int dstPitch_bytes) {
    const std::size_t rowBytes = static_cast<std::size_t>(width) * 4;
    for (int y = 0; y < height; ++y)
        std::memcpy(dst + static_cast<std::ptrdiff_t>(y) * dstPitch_bytes,
                    src + static_cast<std::ptrdiff_t>(y) * srcStride, rowBytes);
}

namespace {

inline uint32_t rgb565(uint32_t p) {
    const uint32_t r = (p >> 16) & 0xFF;
    const uint32_t g = (p >> 8) & 0xFF;
    const uint32_t b = p & 0xFF;
    return ((r >> 3) << 11) | ((g >> 2) << 5) | (b >> 3);
}

}  // namespace

void packRgb565(const uint32_t* src, int srcStride, int width, int height, uint8_t* dst, int dstPitch_bytes) {
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

void convertGeneral(const PixelConversion& c, const uint32_t* src, int srcStride, int width, int height,
                    uint8_t* dst, int dstPitch_bytes) {
    const ChannelSetup setup(c);
    if (c.bitsPerPixel == 32)
        convertRows<4>(setup, src, srcStride, width, height, dst, dstPitch_bytes);
    else if (c.bitsPerPixel == 24)
        convertRows<3>(setup, src, srcStride, width, height, dst, dstPitch_bytes);
    else if (c.bitsPerPixel == 16)
        convertRows<2>(setup, src, srcStride, width, height, dst, dstPitch_bytes);
}

void convertFrame(const PixelConversion& c, const uint32_t* src, int srcStride, int width, int height,
                  uint8_t* dst, int dstPitch_bytes) {
    if (c.fastFormat && c.bitsPerPixel == 32)
        copyRows32(src, srcStride, width, height, dst, dstPitch_bytes);
    else if (c.fastFormat && c.bitsPerPixel == 16)
        packRgb565(src, srcStride, width, height, dst, dstPitch_bytes);
    else
        convertGeneral(c, src, srcStride, width, height, dst, dstPitch_bytes);
}

void clearRows(uint8_t* dst, int rowBytes, int height, int dstPitch_bytes) {
    for (int y = 0; y < height; ++y)
        std::memset(dst + static_cast<std::ptrdiff_t>(y) * dstPitch_bytes, 0, rowBytes);
}
