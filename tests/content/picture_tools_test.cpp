// The picture writers and drawing helpers of the content generator: TGA
// round trips through the presentation's decoder, tiling noise, fitted text.
#include <gtest/gtest.h>

#include <array>
#include <stdexcept>
#include <string>
#include <cstdint>
#include <vector>

#include "resources/jpeg.h"
#include "resources/tga.h"
#include "tools/content/image_encoders.h"
#include "tools/content/picture_tools.h"
#include "tools/content/text.h"

using namespace paint;

namespace {

Image smallPicture() {
    Image image(5, 3);
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 5; ++x)
            image.row(y)[x] = static_cast<uint32_t>((x * 50) << 16 | (y * 100) << 8 | (x + y));
    return image;
}

}  // namespace

TEST(TgaWriters, TwentyFourBitTopDownComesBackAsDrawn) {
    Image image = smallPicture();
    EXPECT_EQ(decodeTga(encodeTga24(image)).pixels, image.pixels);
}

TEST(TgaWriters, EightBitBottomUpComesBackAsDrawn) {
    std::array<uint32_t, 256> palette{};
    for (int i = 0; i < 256; ++i) palette[i] = static_cast<uint32_t>(i << 16 | (255 - i) << 8 | (i / 2));
    std::vector<uint8_t> indices = {0, 1, 2, 3, 250, 251, 252, 253};  // 4 x 2, top row first
    std::vector<uint8_t> bytes = encodeTga8(4, 2, palette, indices);
    EXPECT_EQ(bytes[17] & 0x20, 0);   // stored bottom row first
    EXPECT_EQ(bytes[18 + 768], 250);  // ... so the first stored index is the bottom row's
    Image decoded = decodeTga(bytes);
    ASSERT_EQ(decoded.width, 4);
    ASSERT_EQ(decoded.height, 2);
    for (int k = 0; k < 8; ++k) EXPECT_EQ(decoded.pixels[k], palette[indices[k]]) << k;
}

TEST(JpegWriter, HighQualityKeepsFlatColoursAndBlackExact) {
    Image image(16, 16);
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) image.row(y)[x] = x < 8 ? 0x000000u : 0x2080C0u;
    Image decoded = decodeJpeg(encodeJpeg(image, kOverlayJpegQuality));
    ASSERT_EQ(decoded.width, 16);
    for (int y = 0; y < 16; ++y) {
        EXPECT_EQ(decoded.row(y)[0] & 0xFCFCFCu, 0u);  // black stays below the overlay's threshold
        uint32_t p = decoded.row(y)[15];
        EXPECT_NEAR(static_cast<int>((p >> 16) & 255), 0x20, 3);
        EXPECT_NEAR(static_cast<int>(p & 255), 0xC0, 3);
    }
}

TEST(PictureTools, TileNoiseRepeatsEveryPeriod) {
    for (float x = 0; x < 8; x += 0.37f) {
        EXPECT_NEAR(tileNoise(x, 2.5f, 8, 5), tileNoise(x + 8, 2.5f, 8, 5), 1e-5f);
        EXPECT_NEAR(tileFbm(1.25f, x, 4, 4, 9), tileFbm(1.25f, x + 4, 4, 4, 9), 1e-5f);
    }
}

TEST(PictureTools, ToImageCutsNearBlackToZero) {
    Canvas canvas(3, 1);
    canvas.at(0, 0) = {11, 11, 11};
    canvas.at(1, 0) = {12, 0, 0};
    canvas.at(2, 0) = {300, -5, 127.6f};
    Image image = toImage(canvas, 12.0f);
    EXPECT_EQ(image.pixels[0], 0u);
    EXPECT_EQ(image.pixels[1], 0x0C0000u);
    EXPECT_EQ(image.pixels[2], 0xFF0080u);
}

TEST(Text, FittedTextStaysInsideItsBoxAndFillsIt) {
    Mask mask = renderTextToFit(kBoldFontPath, "bodravin", 200, 60);
    EXPECT_LE(mask.width, 200);
    EXPECT_LE(mask.height, 60);
    EXPECT_GT(mask.width, 180);  // width-bound: the long word uses the width
}

TEST(Text, AMissingFontIsReportedByName) {
    try {
        renderText("/nonexistent/font.ttf", "x", 12);
        FAIL() << "no error";
    } catch (const std::runtime_error& e) {
        EXPECT_NE(std::string(e.what()).find("/nonexistent/font.ttf"), std::string::npos);
    }
}
