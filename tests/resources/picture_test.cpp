// TGA and S3T decoding: row order, colour tables, 5-6-5 expansion and the
// four-colour blend of S3T tiles.
#include <gtest/gtest.h>

#include "resources/tga.h"
#include "tests/resources/picture_fixtures.h"

namespace {

// Two rows of one pixel each: blue-green-red bytes 1,2,3 then 4,5,6.
const Bytes kTwoRows = {1, 2, 3, 4, 5, 6};

TEST(Tga, BottomFirstRowsComeOutSwapped) {
    const Image image = decodeTga(makeTga(1, 2, 24, 0x00, kTwoRows));
    EXPECT_EQ(image.bitsPerPixel, 32);
    EXPECT_EQ(image.width, 1);
    EXPECT_EQ(image.height, 2);
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0x060504, 0x030201}));
}

TEST(Tga, TopFirstRowsComeOutAsStored) {
    const Image image = decodeTga(makeTga(1, 2, 24, 0x20, kTwoRows));
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0x030201, 0x060504}));
}

TEST(Tga, OddHeightKeepsTheMiddleRow) {
    const Image image =
        decodeTga(makeTga(2, 3, 24, 0x00, {1, 0, 0, 2, 0, 0, 3, 0, 0, 4, 0, 0, 5, 0, 0, 6, 0, 0}));
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{5, 6, 3, 4, 1, 2}));
}

TEST(Tga, PaletteIndexPicksItsTableEntry) {
    Bytes data(768 + 2, 0);
    data[5 * 3 + 0] = 0x10;
    data[5 * 3 + 1] = 0x20;
    data[5 * 3 + 2] = 0x30;
    data[255 * 3 + 2] = 0xFF;
    data[768] = 5;
    data[769] = 255;
    const Image image = decodeTga(makeTga(2, 1, 8, 0x20, data));
    EXPECT_EQ(image.pixels, (std::vector<uint32_t>{0x00302010, 0x00FF0000}));
}

std::vector<uint32_t> row(const Image& image, int y) { return {image.row(y), image.row(y) + image.width}; }

TEST(S3t, WhiteColourExpandsToFFFFF8) {
    const Image image = decodeS3t(makeS3t(4, 4, {{{0, 0, 0, 0}, 0xFFFF, 0x0000}}));
    EXPECT_EQ(image.pixels, std::vector<uint32_t>(16, 0xFFFFF8));
}

TEST(S3t, IndexByteE4GivesAThenThirdsThenB) {
    const Image image = decodeS3t(makeS3t(4, 4, {{{0xE4, 0, 0, 0}, 0x0000, 0xFFFF}}));
    // 255 * 0.3333333 = 84.99..., 248 * 0.6666666 = 165.33...
    EXPECT_EQ(row(image, 0), (std::vector<uint32_t>{0x000000, 0x545452, 0xA9A9A5, 0xFFFFF8}));
    EXPECT_EQ(row(image, 1), std::vector<uint32_t>(4, 0x000000));
}

TEST(S3t, ThirdsUseTruncatedInexactFactors) {
    // Colour B 0x0300: red 3 and green 0x60 (the red field's low bits).
    const Image image = decodeS3t(makeS3t(4, 4, {{{0xE4, 0, 0, 0}, 0x0000, 0x0300}}));
    // red: 3 * 0.3333333 -> 0, 3 * 0.6666666 -> 1; green: 96 * 0.3333333 = 31.99... -> 31.
    EXPECT_EQ(row(image, 0), (std::vector<uint32_t>{0x000000, 0x001F00, 0x013F00, 0x036000}));
}

TEST(S3t, FallingBlendTruncatesTheProductTowardZero) {
    // red from 3 down to 0: 3 + trunc(-0.9999999) = 3, 3 + trunc(-1.9999998) = 2;
    // green from 96: 96 + trunc(-31.99...) = 65, 96 + trunc(-63.99...) = 33.
    const Image image = decodeS3t(makeS3t(4, 4, {{{0xE4, 0, 0, 0}, 0x0300, 0x0000}}));
    EXPECT_EQ(row(image, 0), (std::vector<uint32_t>{0x036000, 0x034100, 0x022100, 0x000000}));
}

TEST(S3t, TilesRunLeftToRightThenDown) {
    const Image image = decodeS3t(makeS3t(8, 8,
                                          {{{0, 0, 0, 0}, 0x0001, 0},
                                           {{0, 0, 0, 0}, 0x0002, 0},
                                           {{0, 0, 0, 0}, 0x0003, 0},
                                           {{0, 0, 0, 0}, 0x0004, 0}}));
    EXPECT_EQ(image.row(0)[0], 0x000008u);
    EXPECT_EQ(image.row(3)[7], 0x000010u);
    EXPECT_EQ(image.row(4)[3], 0x000018u);
    EXPECT_EQ(image.row(7)[4], 0x000020u);
}

TEST(S3t, IndexRowsAndColumnsLandOnTheirPixels) {
    // Row 2 of the tile: pixel 3 uses the top two bits.
    const Image image = decodeS3t(makeS3t(4, 4, {{{0, 0, 0xC0, 0}, 0x0000, 0xFFFF}}));
    EXPECT_EQ(image.row(2)[3], 0xFFFFF8u);
    EXPECT_EQ(image.row(2)[2], 0u);
    EXPECT_EQ(image.row(3)[3], 0u);
}

}  // namespace
