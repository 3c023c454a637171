#include <gtest/gtest.h>

#include <tuple>

#include "test_scene.h"

namespace {

struct SpriteScene : TestScene {
    SpriteScene(uint32_t background = 0) : TestScene(128, 96, 136) {
        std::fill(frame.begin(), frame.end(), background);
        world.target = frame.data();
    }
    int glow(int row, int column) const { return world.flareSprite[static_cast<size_t>(row * 64 + column)]; }
};

}  // namespace

// A white sprite adds (255 x t) >> 8 of the glow t to black. Each case gives
// the visible rectangle and the glow cell its top-left pixel shows, stepping
// `cells` glow cells per pixel.
TEST(PointSprites, DrawTheMatchingPartOfTheGlowScaledToTheirSize) {
    struct Case {
        float sx, sy, size;
        int x0, y0, columns, rows, glowColumn, glowRow, cells;
    };
    const Case cases[] = {
        {64, 48, 64, 32, 16, 64, 64, 0, 0, 1},    // one cell per pixel
        {64, 48, 32, 48, 32, 32, 32, 0, 0, 2},    // two cells per pixel
        {0, 48, 64, 0, 16, 32, 64, 32, 0, 1},     // half off the left edge: the right half
        {64, 0, 64, 32, 0, 64, 32, 0, 32, 1},     // half off the top edge: the bottom half
        {128, 96, 64, 96, 64, 32, 32, 0, 0, 1},   // past the right and bottom edges
        {64, 48, 0.4f, 0, 0, 0, 0, 0, 0, 1},      // rejected at once
        {64, 48, 0.9f, 0, 0, 0, 0, 0, 0, 1},      // no whole pixel
    };
    for (const Case& c : cases) {
        SpriteScene scene;
        scene.world.drawFlare(c.sx, c.sy, 0xFFFFFF, c.size, 1.0f);
        for (int y = 0; y < scene.height; ++y)
            for (int x = 0; x < scene.pitch; ++x) {
                const int i = x - c.x0, j = y - c.y0;
                uint32_t expected = 0;
                if (i >= 0 && i < c.columns && j >= 0 && j < c.rows)
                    expected = ((255u * scene.glow(c.glowRow + j * c.cells, c.glowColumn + i * c.cells)) >> 8) * 0x010101u;
                ASSERT_EQ(scene.pixel(x, y), expected) << c.size << " at " << c.sx << "," << c.sy << ": " << x << "," << y;
            }
    }
}

// The glow's centre (t = 255) adds (channel x 255) >> 8 per channel,
// saturating at 255; two sprites add up.
TEST(PointSprites, AddSaturatingToThePixel) {
    for (auto [background, colour, times, expected] : {std::tuple{0xFFFFFFu, 0xFFFFFFu, 1, 0xFFFFFFu},
                                                       {0x123456u, 0x000000u, 1, 0x123456u},
                                                       {0x909090u, 0x80FF40u, 1, 0xFFFFCFu},
                                                       {0x000000u, 0x202020u, 2, 0x3E3E3Eu}}) {
        SpriteScene scene(background);
        for (int k = 0; k < times; ++k) scene.world.drawFlare(64, 48, colour, 16, 1.0f);
        EXPECT_EQ(scene.pixel(64, 48), expected) << std::hex << colour;
    }
}

// Sprites pass where their depth (stamp + w) is at least the stored entry and
// never change the depth buffer.
TEST(PointSprites, AreHiddenByNearerEntriesAndLeaveDepthAlone) {
    const int32_t own = depthOf(0, 1.0f);
    for (auto [stored, drawn] : {std::pair{own, true}, {own + 1, false}}) {
        SpriteScene scene;
        std::fill(scene.world.depthBuffer.begin(), scene.world.depthBuffer.end(), stored);
        scene.world.drawFlare(64, 48, 0xFFFFFF, 16, 1.0f);
        EXPECT_EQ(scene.pixel(64, 48) != 0, drawn);
        EXPECT_EQ(scene.world.depthBuffer[48 * 136 + 64], stored);
    }
}

// A sprite item is centred on its projected vertex; its size field is signed
// 8.8, so 0x8000 and above are negative and draw nothing.
TEST(PointSprites, ItemsProjectToTheirVertexAndNegativeSizesDrawNothing) {
    for (auto [size, expected] : {std::pair{uint16_t{0x0180}, 0xF7FBF7u}, {uint16_t{0x8180}, 0u}}) {
        SpriteScene scene;
        scene.cameraVertex(64, 48, 0.25f);
        scene.world.drawItems[0] = {kDrawSprite, 0, 0, 0xFFFF, size};
        scene.world.drawPointSprite(0);
        EXPECT_EQ(scene.pixel(64, 48), expected) << size;
    }
}
