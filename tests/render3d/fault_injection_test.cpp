// Far, infinite and NaN coordinates thrown at the renderer. Built against the
// sanitized 3D library: any read or write outside a buffer, and any float to
// integer conversion out of range, ends the program with a report.
#include <gtest/gtest.h>

#include <limits>
#include <random>
#include <vector>

#include "render3d/span_fillers.h"
#include "test_scene.h"

namespace {

constexpr float kInf = std::numeric_limits<float>::infinity();
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

// Mostly ordinary values, sometimes one that no sane scene holds.
float wildValue(std::mt19937& rng, float low, float high) {
    static const float kWild[] = {kNaN, kInf, -kInf, 1e30f, -1e30f, 3e9f, -3e9f, 1e-30f, 0.0f, 0.125f, 65536.0f};
    if (rng() % 8 == 0) return kWild[rng() % std::size(kWild)];
    return std::uniform_real_distribution<float>(low, high)(rng);
}

// Every run ends with the columns right of the viewport untouched: they lie
// inside the target (rows are 512 apart) but outside what may be drawn.
void expectOutsideUntouched(const World& world, const std::vector<uint32_t>& frame) {
    for (int y = 0; y < world.height; ++y)
        for (int x = world.width; x < world.pitch; ++x) ASSERT_EQ(frame[static_cast<size_t>(y * 512 + x)], 0xA5A5A5u);
}

}  // namespace

TEST(FaultInjection, WildScenesStayInsideEveryBuffer) {
    std::mt19937 rng(12);
    const Image texture(256, 256);
    const Image wrongSize(16, 16);
    TestScene scene(512, 256, 512);
    World& world = scene.world;
    std::vector<uint32_t> frame(512 * 256);
    for (int run = 0; run < 160; ++run) {
        std::fill(frame.begin(), frame.end(), 0xA5A5A5u);
        world.clearScene();
        world.setViewport(run % 3 == 0 ? 512 : run % 3 == 1 ? 256 : 360, 256, 512);
        world.setCamera(wildValue(rng, -30, 30), wildValue(rng, -30, 30), wildValue(rng, -30, 30), 0, 0, -3,
                        wildValue(rng, 0.5f, 5));
        world.addLight(wildValue(rng, -4, 4), wildValue(rng, -4, 4), wildValue(rng, -4, 4), 0xFFFFFF,
                       wildValue(rng, 0, 2), wildValue(rng, 0.1f, 10));
        world.setAmbient(static_cast<int32_t>(rng() & 0xFFFFFF));
        for (int i = 0; i < 150; ++i) {
            const int base = world.vertexCount;
            for (int k = 0; k < 3; ++k) {
                const float x = wildValue(rng, -3, 3), y = wildValue(rng, -3, 3), z = wildValue(rng, -2, 4);
                scene.vertex(x, y, z, wildValue(rng, -2, 2), wildValue(rng, -2, 2));
            }
            const uint32_t flags = (rng() & 7u) | (rng() % 4 == 0 ? kMaterialEnvMapped : 0u);
            const uint32_t colour = static_cast<uint32_t>(rng());
            const Image* textures[] = {&texture, &wrongSize, nullptr};
            scene.face(base, base + 1, base + 2, flags, colour, textures[rng() % 3]);
        }
        for (int i = 0; i < 50; ++i)
            world.addParticle(wildValue(rng, -3, 3), wildValue(rng, -3, 3), wildValue(rng, -2, 4),
                              static_cast<int32_t>(rng()), wildValue(rng, 0, 2));
        if (run % 2 == 0) {
            world.render(frame.data());
        } else {
            // Straight to the drawing stages, as if the vertices were already
            // in camera space: nothing culled or clipped, z may be 0 or below.
            world.target = frame.data();
            world.sortDrawItems();
            world.computeNormals();
            world.lightVertices();
            world.drawSorted();
        }
        expectOutsideUntouched(world, frame);
    }
}

TEST(FaultInjection, WildSpritesAndSpansStayInsideEveryBuffer) {
    std::mt19937 rng(13);
    World world(nullptr, 512, 256, 512);
    std::vector<uint32_t> frame(512 * 256, 0xA5A5A5u);
    world.target = frame.data();
    world.setViewport(360, 256, 512);
    for (int i = 0; i < 20000; ++i)
        world.drawFlare(wildValue(rng, -100, 600), wildValue(rng, -100, 400), static_cast<uint32_t>(rng()),
                        wildValue(rng, 0, 300), wildValue(rng, 0, 8));
    expectOutsideUntouched(world, frame);

    // A span of 40 pixels with wild interpolants reads only its own 40 pixels
    // and depth entries and texels of a 256 x 256 texture.
    const std::vector<uint32_t> texels(256 * 256, 0x808080);
    std::vector<uint32_t> pixels(40);
    std::vector<int32_t> depth(40);
    for (int i = 0; i < 20000; ++i) {
        auto wild = [&] { return wildValue(rng, -1e6f, 1e6f); };
        SpanSetup span{pixels.data(), depth.data(), 1 + static_cast<int>(rng() % 40),
                       {wildValue(rng, 0, 8), wild(), wild(), wild(), wild(), wild()},
                       {wildValue(rng, -1, 1), wild(), wild(), wild(), wild(), wild()},
                       static_cast<uint32_t>(rng()), texels.data(), 8};
        spanFillers[rng() % 8](span);
    }
}
