#include "fx2d/warp_grid.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "resources/load_error.h"
#include "tests/fx2d/paths.h"

namespace {

// Texel (c, r) = 0x00rr5Acc, so a pixel tells which texel it came from.
Image labelledTexture() {
    Image texture(256, 256);
    for (int r = 0; r < 256; ++r)
        for (int c = 0; c < 256; ++c) texture.row(r)[c] = (static_cast<uint32_t>(r) << 16) | (0x5Au << 8) | c;
    return texture;
}

WarpGrid straightGrid() {
    WarpGrid grid;
    for (int i = 0; i < WarpGrid::kRows; ++i)
        for (int j = 0; j < WarpGrid::kColumns; ++j) grid.at(i, j) = {16.0f * j, 16.0f * i};
    return grid;
}

WarpGrid constantGrid(float u, float v) {
    WarpGrid grid;
    for (auto& row : grid.points)
        for (auto& point : row) point = {u, v};
    return grid;
}

}  // namespace

TEST(WarpGrid, StraightGridMapsTextureOneToOneRepeatedTwiceAcross) {
    const Image texture = labelledTexture();
    std::vector<uint32_t> target(kTargetPixels, 0xFFFFFFFF);
    warpCopy(target.data(), straightGrid(), texture);
    for (int y = 0; y < kTargetHeight; ++y)
        for (int x = 0; x < kTargetWidth; ++x)
            ASSERT_EQ(target[y * kTargetWidth + x], texture.row(y & 255)[x & 255]) << x << "," << y;
}

TEST(WarpGrid, GridAtOriginFillsWithFirstTexel) {
    const Image texture = labelledTexture();
    std::vector<uint32_t> target(kTargetPixels, 0xFFFFFFFF);
    warpCopy(target.data(), constantGrid(0.0f, 0.0f), texture);
    for (uint32_t pixel : target) ASSERT_EQ(pixel, texture.row(0)[0]);
}

TEST(WarpGrid, NegativeCoordinatesWrap) {
    const Image texture = labelledTexture();
    std::vector<uint32_t> target(kTargetPixels, 0);
    warpCopy(target.data(), constantGrid(-1.0f, -2.0f), texture);
    EXPECT_EQ(target[0], texture.row(254)[255]);
    EXPECT_EQ(target[kTargetPixels - 1], texture.row(254)[255]);
}

TEST(WarpGrid, NonFiniteOrHugeCoordinatesStillPickTexelsAndStayInTheTarget) {
    const Image texture = labelledTexture();
    const float inf = std::numeric_limits<float>::infinity();
    const float nan = std::numeric_limits<float>::quiet_NaN();
    WarpGrid grid = straightGrid();
    grid.at(0, 0) = {nan, nan};
    grid.at(3, 7) = {inf, -inf};
    grid.at(8, 16) = {1e30f, -1e30f};
    grid.at(16, 32) = {-3e9f, 3e9f};
    std::vector<uint32_t> padded(kTargetPixels + 2 * kTargetWidth, 0xDEADBEEF);
    warpCopy(padded.data() + kTargetWidth, grid, texture);
    for (int i = 0; i < kTargetWidth; ++i) {
        ASSERT_EQ(padded[i], 0xDEADBEEFu);
        ASSERT_EQ(padded[kTargetWidth + kTargetPixels + i], 0xDEADBEEFu);
    }
    // Every labelled texel has green 0x5A and a clear top byte.
    for (int k = 0; k < kTargetPixels; ++k) ASSERT_EQ(padded[kTargetWidth + k] & 0xFF00FF00u, 0x00005A00u) << k;
}

TEST(WarpGrid, EdgeSetupRoundsHalvesToEven) {
    const Image texture = labelledTexture();
    std::vector<uint32_t> target(kTargetPixels, 0);
    // 2.998046875 * 256 = 767.5 rounds up to 768 (texel 3, truncation would give 2);
    // -0.001953125 * 256 = -0.5 rounds to 0 (texel 0, rounding away from zero would
    // give -1, texel 255).
    warpCopy(target.data(), constantGrid(2.998046875f, 0.0f), texture);
    EXPECT_EQ(target[0] & 0xFF, 3u);
    warpCopy(target.data(), constantGrid(-0.001953125f, 0.0f), texture);
    EXPECT_EQ(target[0] & 0xFF, 0u);
}

TEST(WarpGrid, RowStepIsAnArithmeticShift) {
    // Right edge 1/256 texel left of the left edge: du = -1 >> 4 = -1 per pixel, so
    // pixel 1 of a block starting at u = 256 (texel 1) falls back to texel 0.
    const Image texture = labelledTexture();
    WarpGrid grid = constantGrid(1.0f, 0.0f);
    for (int i = 0; i < WarpGrid::kRows; ++i) grid.at(i, 1) = {1.0f - 1.0f / 256.0f, 0.0f};
    std::vector<uint32_t> target(kTargetPixels, 0);
    warpCopy(target.data(), grid, texture);
    EXPECT_EQ(target[0] & 0xFF, 1u);
    EXPECT_EQ(target[1] & 0xFF, 0u);
}

TEST(WarpGrid, BlendAveragesWithOldTargetDroppingLowBits) {
    Image white(256, 256);
    std::fill(white.pixels.begin(), white.pixels.end(), 0x00FFFFFF);
    Image black(256, 256);
    std::vector<uint32_t> target(kTargetPixels, 0x00FFFFFF);
    warpBlend(target.data(), straightGrid(), black);
    EXPECT_EQ(target[12345], 0x007F7F7Fu);
    std::fill(target.begin(), target.end(), 0x00FFFFFF);
    warpBlend(target.data(), straightGrid(), white);
    EXPECT_EQ(target[kTargetPixels - 1], 0x00FEFEFEu);
}

TEST(WarpGrid, BlendWithIgnoresOldTarget) {
    const Image texture = labelledTexture();
    Image other(512, 256);
    for (size_t i = 0; i < other.pixels.size(); ++i) other.pixels[i] = static_cast<uint32_t>(i * 2654435761u);
    std::vector<uint32_t> first(kTargetPixels, 0x00000000);
    std::vector<uint32_t> second(kTargetPixels, 0xFFFFFFFF);
    warpBlendWith(first.data(), straightGrid(), texture, other);
    warpBlendWith(second.data(), straightGrid(), texture, other);
    EXPECT_EQ(first, second);
    const int x = 300, y = 17;
    EXPECT_EQ(first[y * 512 + x],
              ((texture.row(y)[x & 255] >> 1) & 0x7F7F7F) + ((other.row(y)[x] >> 1) & 0x7F7F7F));
}

TEST(WarpGrid, ChecksNameTheFileAndRejectPicturesThatDoNotFit) {
    EXPECT_NO_THROW(checkWarpTexture(Image(256, 256), "txt1.jpg"));
    EXPECT_NO_THROW(checkWarpTexture(Image(256, 300), "txt1.jpg"));
    EXPECT_NO_THROW(checkWarpOther(Image(512, 256), "s1.tga"));
    try {
        checkWarpTexture(Image(255, 256), "txt1.jpg");
        FAIL() << "no error";
    } catch (const LoadError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("txt1.jpg: ", 0), 0u) << error.what();
    }
    EXPECT_THROW(checkWarpTexture(Image(256, 255), "txt1.jpg"), LoadError);
    EXPECT_THROW(checkWarpOther(Image(256, 256), "s1.tga"), LoadError);
    EXPECT_THROW(checkWarpOther(Image(512, 200), "s1.tga"), LoadError);
}

namespace {

// Grids of every kind: smooth and rotated like the scenes', random over small and
// huge ranges, coordinates on exact 1/512 halves (the rounding ties), and a few
// non-finite points.
WarpGrid randomGrid(std::mt19937& rng, int kind) {
    std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
    WarpGrid grid = straightGrid();
    const float angle = unit(rng) * 3.0f, scale = 0.2f + 2.0f * (unit(rng) + 1.0f);
    for (int i = 0; i < WarpGrid::kRows; ++i)
        for (int j = 0; j < WarpGrid::kColumns; ++j) {
            WarpGrid::Point& p = grid.at(i, j);
            switch (kind) {
                case 0:
                    p = {scale * (16.0f * j * std::cos(angle) - 16.0f * i * std::sin(angle)) +
                             9.0f * unit(rng),
                         scale * (16.0f * j * std::sin(angle) + 16.0f * i * std::cos(angle)) +
                             9.0f * unit(rng)};
                    break;
                case 1:
                    p = {300.0f * unit(rng), 300.0f * unit(rng)};
                    break;
                case 2:
                    p = {1e7f * unit(rng), 1e7f * unit(rng)};
                    break;
                default:
                    p = {static_cast<float>(static_cast<int>(rng() % 4096) - 2048) / 512.0f,
                         static_cast<float>(static_cast<int>(rng() % 4096) - 2048) / 512.0f};
            }
        }
    if (kind == 2) {
        grid.at(rng() % 17, rng() % 33) = {std::numeric_limits<float>::infinity(), 1.0f};
        grid.at(rng() % 17, rng() % 33) = {std::numeric_limits<float>::quiet_NaN(), -3e9f};
    }
    return grid;
}

}  // namespace

// Every vector path of each mapper gives the scalar code's bits on random textures,
// targets and grids; the blends see targets and pictures with random top bytes.
TEST(WarpGridSameBits, RandomGridsTexturesAndTargets) {
    std::mt19937 rng(41);
    for (int round = 0; round < 16; ++round) {
        Image texture(256, 256), other(512, 256);
        for (uint32_t& p : texture.pixels) p = rng();
        for (uint32_t& p : other.pixels) p = rng();
        const WarpGrid grid = randomGrid(rng, round % 4);
        std::vector<uint32_t> frame(kTargetPixels);
        for (uint32_t& p : frame) p = rng();

        auto copied = frame, blended = frame, blendedWith = frame;
        onScalarCode([&] {
            warpCopy(copied.data(), grid, texture);
            warpBlend(blended.data(), grid, texture);
            warpBlendWith(blendedWith.data(), grid, texture, other);
        });
        for (VectorPath path : vectorPathsToTest())
            forEachTexelFetch([&](const char* fetch) {
                OnPath on(path);
                const std::string where =
                    std::string(vectorPathName(path)) + ", " + fetch + ", round " + std::to_string(round);
                auto actual = frame;
                warpCopy(actual.data(), grid, texture);
                EXPECT_EQ(actual, copied) << "warpCopy, " << where;
                actual = frame;
                warpBlend(actual.data(), grid, texture);
                EXPECT_EQ(actual, blended) << "warpBlend, " << where;
                actual = frame;
                warpBlendWith(actual.data(), grid, texture, other);
                EXPECT_EQ(actual, blendedWith) << "warpBlendWith, " << where;
            });
    }
}
