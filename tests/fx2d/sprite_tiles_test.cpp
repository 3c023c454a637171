#include "fx2d/sprite_tiles.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

namespace {

// Every side and step a sprite can be drawn with gets the texels the direct blit
// samples, whichever step of its list of columns sampled the tile first; each
// picture has its own tiles; a second lookup finds the same texels.
TEST(SpriteTiles, HoldTheSampledTexelsOfEverySideAndStep) {
    std::mt19937 rng(61);
    std::vector<uint32_t> pictures[2];
    for (auto& picture : pictures) {
        picture.resize(256 * 256);
        for (uint32_t& p : picture) p = rng();
    }
    const uint32_t* pointers[2] = {pictures[0].data(), pictures[1].data()};
    SpriteTiles tiles(pointers, 2, size_t{1} << 24);
    for (int n = SpriteTiles::kMinSide; n <= SpriteTiles::kMaxSide; ++n) {
        // 2 * size from n to just below n + 1 gives these steps (see placeSprite).
        for (int step = 65536 / (n + 1); step <= 65536 / n; ++step) {
            for (int index : {1, 0}) {
                const uint32_t* tile = tiles.find(index, n, step);
                ASSERT_NE(tile, nullptr) << n << " " << step;
                for (int j = 0; j < n; ++j)
                    for (int i = 0; i < n; ++i)
                        ASSERT_EQ(tile[j * n + i],
                                  pictures[index][((j * step) >> 8) * 256 + ((i * step) >> 8)])
                            << "side " << n << ", step " << step << ", texel " << i << "," << j;
                ASSERT_EQ(tiles.find(index, n, step), tile);
            }
        }
    }
}

// Sides and steps without tiles, and a store that is full, give none; what the store
// already holds stays found.
TEST(SpriteTiles, NoneOutsideTheSidesAndStepsOrWhenTheStoreIsFull) {
    std::vector<uint32_t> picture(256 * 256, 7);
    const uint32_t* pointer = picture.data();
    SpriteTiles tiles(&pointer, 1, 8 * 8 + 80);
    const int n = SpriteTiles::kMinSide;
    EXPECT_EQ(tiles.find(0, n - 1, 65536 / (n - 1)), nullptr);
    EXPECT_EQ(tiles.find(0, SpriteTiles::kMaxSide + 1, 65536 / (SpriteTiles::kMaxSide + 1)), nullptr);
    EXPECT_EQ(tiles.find(0, n, 65536 / n + 1), nullptr);
    EXPECT_EQ(tiles.find(0, n, 65536 / (n + 1) - 2), nullptr);
    EXPECT_EQ(tiles.find(1, n, 65536 / n), nullptr);
    EXPECT_EQ(tiles.find(-1, n, 65536 / n), nullptr);
    const uint32_t* first = tiles.find(0, n, 65536 / n);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(tiles.find(0, n + 1, 65536 / (n + 1)), nullptr);  // 81 texels, 80 left
    EXPECT_NE(tiles.find(0, n, 65536 / (n + 1)), nullptr);      // 64 fit
    EXPECT_EQ(tiles.find(0, n, 65536 / n), first);
    EXPECT_EQ(tiles.used(), size_t{128});
}

}  // namespace
