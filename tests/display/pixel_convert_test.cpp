#include "display/pixel_convert.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

const std::vector<uint32_t> kPixels = {0x00FF8040, 0x00000000, 0x00FFFFFF, 0x00123456,
                                       0x0080FF01, 0x007F7F7F, 0x00010203, 0x00F0E0D0};

uint16_t read16(const std::vector<uint8_t>& bytes, int offset) {
    uint16_t v;
    std::memcpy(&v, bytes.data() + offset, 2);
    return v;
}

uint32_t read32(const std::vector<uint8_t>& bytes, int offset) {
    uint32_t v;
    std::memcpy(&v, bytes.data() + offset, 4);
    return v;
}

}  // namespace

TEST(PixelConvert, ShiftsAreTheLeadingZeroCountsOfTheMasks) {
    EXPECT_EQ(maskShift(0x00FF0000), 8);
    EXPECT_EQ(maskShift(0x0000F800), 16);
    EXPECT_EQ(maskShift(0x0000001F), 27);
    EXPECT_EQ(maskShift(0), 32);
}

TEST(PixelConvert, OnlyStandard32BitAndRgb565SurfacesAreFast) {
    EXPECT_TRUE(makePixelConversion(32, 0xFF0000, 0xFF00, 0xFF).fastFormat);
    EXPECT_TRUE(makePixelConversion(16, 0xF800, 0x07E0, 0x001F).fastFormat);
    EXPECT_FALSE(makePixelConversion(16, 0x7C00, 0x03E0, 0x001F).fastFormat);
    EXPECT_FALSE(makePixelConversion(32, 0xFF, 0xFF00, 0xFF0000).fastFormat);
    EXPECT_FALSE(makePixelConversion(16, 0xFF0000, 0xFF00, 0xFF).fastFormat);  // 32-bit masks on 16 bits
}

TEST(PixelConvert, A555SurfaceTakesTheGeneralPathAndGets5_5_5) {
    const PixelConversion c = makePixelConversion(16, 0x7C00, 0x03E0, 0x001F);
    std::vector<uint8_t> out(2 * kPixels.size());
    convertFrame(c, kPixels.data(), 8, 8, 1, out.data(), 16);
    for (int i = 0; i < 8; ++i) {
        const uint32_t p = kPixels[i];
        const uint32_t expected = (((p >> 19) & 31) << 10) | (((p >> 11) & 31) << 5) | ((p >> 3) & 31);
        EXPECT_EQ(read16(out, 2 * i), expected) << "pixel " << i;
    }
    EXPECT_EQ(read16(out, 0), 0x7E08);  // 0xFF8040 -> 31, 16, 8
}

TEST(PixelConvert, Rgb565PackingPutsTheFirstPixelOfAPairInTheLowHalf) {
    const uint32_t pair[2] = {0x00FF8040, 0x00FFFFFF};
    std::vector<uint8_t> out(4);
    packRgb565(pair, 2, 2, 1, out.data(), 4);
    EXPECT_EQ(read32(out, 0), 0xFFFFFC08u);
}

TEST(PixelConvert, Rgb565PackingAndTheGeneralPathAgree) {
    const PixelConversion c = makePixelConversion(16, 0xF800, 0x07E0, 0x001F);
    ASSERT_TRUE(c.fastFormat);
    std::vector<uint8_t> packed(16), general(16);
    convertFrame(c, kPixels.data(), 8, 8, 1, packed.data(), 16);
    convertGeneral(c, kPixels.data(), 8, 8, 1, general.data(), 16);
    EXPECT_EQ(packed, general);
}

TEST(PixelConvert, AnOddWidthPacksTheLastPixelAloneAndWritesNoFurther) {
    std::vector<uint8_t> out(8, 0xAA);
    packRgb565(kPixels.data(), 3, 3, 1, out.data(), 8);
    EXPECT_EQ(read16(out, 4), 0xFFFF);  // third pixel, 0xFFFFFF
    EXPECT_EQ(out[6], 0xAA);
    EXPECT_EQ(out[7], 0xAA);
}

TEST(PixelConvert, The32BitFastCopyKeepsPixelsAndLeavesThePitchPaddingAlone) {
    const PixelConversion c = makePixelConversion(32, 0xFF0000, 0xFF00, 0xFF);
    const int pitch = 4 * 4 + 8;  // 4 pixels per row plus 8 bytes of padding
    std::vector<uint8_t> out(pitch * 2, 0xAA);
    convertFrame(c, kPixels.data(), 4, 4, 2, out.data(), pitch);
    for (int y = 0; y < 2; ++y) {
        for (int x = 0; x < 4; ++x) EXPECT_EQ(read32(out, y * pitch + 4 * x), kPixels[y * 4 + x]);
        EXPECT_EQ(read32(out, y * pitch + 16), 0xAAAAAAAAu);
    }
}

TEST(PixelConvert, TheGeneralPathSwapsRedAndBlueForABgrSurface) {
    const PixelConversion c = makePixelConversion(32, 0xFF, 0xFF00, 0xFF0000);
    EXPECT_EQ(convertPixel(c, 0x00112233), 0x00332211u);
}

TEST(PixelConvert, AZeroMaskDropsItsComponent) {
    const PixelConversion c = makePixelConversion(32, 0xFF0000, 0, 0xFF);
    EXPECT_EQ(convertPixel(c, 0x00FFFFFF), 0x00FF00FFu);
}

TEST(PixelConvert, The24BitGeneralPathWritesThreeBytesPerPixel) {
    const PixelConversion c = makePixelConversion(24, 0xFF0000, 0xFF00, 0xFF);
    std::vector<uint8_t> out(7, 0xAA);
    convertGeneral(c, kPixels.data() + 3, 2, 2, 1, out.data(), 6);
    const std::vector<uint8_t> expected = {0x56, 0x34, 0x12, 0x01, 0xFF, 0x80, 0xAA};
    EXPECT_EQ(out, expected);
}

TEST(PixelConvert, ClearingTouchesOnlyTheRowBytes) {
    std::vector<uint8_t> out(20, 0xAA);
    clearRows(out.data(), 6, 2, 10);
    for (int i = 0; i < 20; ++i) EXPECT_EQ(out[i], (i % 10) < 6 ? 0 : 0xAA) << "byte " << i;
}
