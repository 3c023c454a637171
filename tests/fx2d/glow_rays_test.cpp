#include "fx2d/glow_rays.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <random>
#include <string>
#include <vector>

#include "resources/image.h"
#include "resources/load_error.h"
#include "tests/fx2d/paths.h"
#include "platform/bit_cast.h"

namespace {

constexpr int kW = 512;
constexpr int kH = 256;

std::vector<uint32_t> blankFrame(uint32_t value = 0) { return std::vector<uint32_t>(kW * kH, value); }

// A ray picture with a different, moderately bright colour at every texel.
Image patternRay() {
    Image ray(256, 256);
    std::mt19937 rng(12345);
    for (uint32_t& p : ray.pixels) p = rng() & 0x007F7F7Fu;
    return ray;
}

TEST(GlowRaysSetup, RejectsRayPicturesThatAreNot256By256) {
    for (auto [w, h] : {std::pair{255, 256}, {256, 255}, {512, 256}, {0, 0}}) {
        Image ray(w, h);
        try {
            GlowRays rays(ray);
            FAIL() << "accepted " << w << " x " << h;
        } catch (const LoadError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("ray.tga: ", 0), 0u) << e.what();
        }
    }
    EXPECT_NO_THROW(checkRayImage(Image(256, 256)));
}

TEST(GlowRaysSetup, LevelsMultiplyWholeWordsWithCarries) {
    Image ray(256, 256);
    ray.pixels[0] = 0x00FFFFFFu;
    ray.pixels[1] = 0x000000FFu;
    ray.pixels[2] = 0x80000001u;
    GlowRays rays(ray);
    EXPECT_EQ(rays.level(0), ray.pixels.data());  // level 0 is the picture itself
    EXPECT_EQ(rays.level(1)[0], 0x01FFFFFEu);
    EXPECT_EQ(rays.level(2)[0], 0x02FFFFFDu);
    EXPECT_EQ(rays.level(3)[0], 0x03FFFFFCu);
    EXPECT_EQ(rays.level(1)[1], 0x000001FEu);  // blue carries into green
    EXPECT_EQ(rays.level(3)[1], 0x000003FCu);
    EXPECT_EQ(rays.level(1)[2], 0x00000002u);  // modulo 2^32
    EXPECT_EQ(rays.level(2)[2], 0x80000003u);
}

TEST(GlowAdd, FullWhiteTexelSaturatesEveryPixel) {
    for (uint32_t d = 0; d < (1u << 24); ++d) {
        const uint32_t top = (d * 2654435761u) & 0xFF000000u;  // top byte must not matter
        const uint32_t r = addGlowPixel(0x00FFFFFFu, d | top);
        const uint32_t expected = (d & 1) ? 0x01FFFFFEu : 0x01FFFFFFu;  // blue 0xFE when the blue sum is even
        if (r != expected) FAIL() << std::hex << d << " -> " << r;
    }
}

TEST(GlowAdd, ChannelsAddWithLowBitsDroppedAndOddResults) {
    EXPECT_EQ(addGlowPixel(0x00102030u, 0x00010101u), 0x01112131u);
    EXPECT_EQ(addGlowPixel(0, 0), 0x01010100u);
    EXPECT_EQ(addGlowPixel(0x000000F0u, 0x00000020u), 0x010101FEu);  // blue carry: 0x10 | 0xFE
    EXPECT_EQ(addGlowPixel(0x0000F000u, 0x00002000u), 0x0101FF00u);  // green saturates
    EXPECT_EQ(addGlowPixel(0x00F00000u, 0x00200000u), 0x01FF0100u);  // red saturates
}

TEST(AddSprite, BelowSizeOneDrawsNothing) {
    Image ray = patternRay();
    auto frame = blankFrame(0x00123456u);
    const auto before = frame;
    addSprite(frame.data(), ray.pixels.data(), 100, 100, 0.9f);
    addSprite(frame.data(), ray.pixels.data(), 100, 100, -5.0f);
    addSprite(frame.data(), ray.pixels.data(), 100, 100, bitCast<float>(0x7FC00000u));  // NaN
    EXPECT_EQ(frame, before);
}

TEST(AddSprite, SizeFourDrawsEightByEightSamplingEvery32ndTexel) {
    Image ray = patternRay();
    auto frame = blankFrame();
    addSprite(frame.data(), ray.pixels.data(), 100, 60, 4.0f);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const bool inside = x >= 96 && x < 104 && y >= 56 && y < 64;
            const uint32_t expected =
                inside ? addGlowPixel(ray.pixels[(y - 56) * 32 * 256 + (x - 96) * 32], 0) : 0;
            ASSERT_EQ(frame[y * kW + x], expected) << x << "," << y;
        }
}

TEST(AddSprite, DrawnWholeOrNotAtAll) {
    Image ray = patternRay();
    auto drawsAt = [&](int cx, int cy, float size) {
        auto frame = blankFrame();
        addSprite(frame.data(), ray.pixels.data(), cx, cy, size);
        return frame != blankFrame();
    };
    EXPECT_TRUE(drawsAt(4, 4, 4.0f));       // top-left at (0, 0)
    EXPECT_FALSE(drawsAt(3, 10, 4.0f));     // x0 = -1
    EXPECT_FALSE(drawsAt(10, 3, 4.0f));     // y0 = -1
    EXPECT_TRUE(drawsAt(4, 4, 4.5f));       // x0 = trunc(-0.5) = 0
    EXPECT_TRUE(drawsAt(507, 100, 4.0f));   // x0 + n = 511
    EXPECT_FALSE(drawsAt(508, 100, 4.0f));  // x0 + n = 512
    EXPECT_TRUE(drawsAt(100, 251, 4.0f));   // y0 + n = 255
    EXPECT_FALSE(drawsAt(100, 252, 4.0f));  // y0 + n = 256
    EXPECT_FALSE(drawsAt(256, 128, 256.0f));
    EXPECT_FALSE(drawsAt(2147483647, 128, 4.0f));
    EXPECT_FALSE(drawsAt(-2147483647, 128, 4.0f));
}

// Every size that can pass the fit test (2 * size < 512) keeps the last
// sampled texel column, (n - 1) * step >> 8, inside the 256-texel picture.
TEST(AddSprite, TexelColumnsStayInsideThePictureForEveryFittingSize) {
    for (uint32_t bits = bitCast<uint32_t>(1.0f); bits < bitCast<uint32_t>(256.0f); ++bits) {
        const float size = bitCast<float>(bits);
        const int n = static_cast<int>(2.0f * size);
        const int step = static_cast<int>(65536.0f / (2.0f * size));
        if (((n - 1) * step) >> 8 > 255) FAIL() << "size " << size;
    }
}

TEST(GlowRaysApply, SourceWithoutLightsIsCopiedUnchanged) {
    Image ray = patternRay();
    GlowRays rays(ray);
    auto source = blankFrame();
    std::mt19937 rng(7);
    for (uint32_t& p : source) p = rng() & 0xFFF8F8F7u;  // blue never reaches 248 with its low bits
    source[100 * kW + 200] = 0x00F7FFFFu;
    source[101 * kW + 200] = 0x00FFF7FFu;
    source[102 * kW + 200] = 0x00FFFFF7u;
    source[5 * kW + 5] = 0x00FFFFFFu;  // lights outside the scan window do not count
    source[220 * kW + 300] = 0x00FFFFFFu;
    source[100 * kW + 468] = 0x00FFFFFFu;
    source[100 * kW + 49] = 0x00FFFFFFu;
    const auto original = source;
    auto target = blankFrame(0xDEADBEEFu);
    rays.apply(target.data(), source.data());
    EXPECT_EQ(target, original);
    EXPECT_EQ(source, original);
}

TEST(GlowRaysApply, NeighbouringLightsEmitOneTrail) {
    Image ray = patternRay();
    GlowRays rays(ray);
    auto source = blankFrame(0x00202020u);
    source[50 * kW + 100] = 0x00F8F8F8u;
    source[51 * kW + 101] = 0xFFFFFFFFu;  // top byte ignored: a light, but suppressed
    const auto original = source;

    auto target = blankFrame();
    rays.apply(target.data(), source.data());

    auto expected = original;
    rays.emitRay(expected.data(), 100, 50);
    EXPECT_EQ(target, expected);
    EXPECT_NE(target, original);
}

TEST(GlowRaysApply, SourceLosesTheEightPixelsAroundALightTheTargetDoesNot) {
    Image ray = patternRay();
    GlowRays rays(ray);
    auto source = blankFrame(0x00101010u);
    const int lx = 300, ly = 200;
    source[ly * kW + lx] = 0x00FFFFFFu;
    const auto original = source;
    auto target = blankFrame();
    rays.apply(target.data(), source.data());
    for (int y = ly - 1; y <= ly + 3; ++y)
        for (int x = lx - 1; x <= lx + 3; ++x) {
            const bool block = x >= lx && x <= lx + 2 && y >= ly && y <= ly + 2;
            const bool light = x == lx && y == ly;
            const uint32_t expected = light ? 0x00FFFFFFu : block ? 0u : 0x00101010u;
            EXPECT_EQ(source[y * kW + x], expected) << x << "," << y;
        }
    // The target was copied before the block was cleared: it is the untouched
    // source with the light's trail added.
    auto expected = original;
    rays.emitRay(expected.data(), lx, ly);
    EXPECT_EQ(target, expected);
}

TEST(GlowRaysApply, LightAtTheCentreDrawsGrowingLevelThreeSprites) {
    Image ray = patternRay();
    GlowRays rays(ray);
    auto source = blankFrame();
    source[128 * kW + 256] = 0x00FFFFFFu;
    auto target = blankFrame();
    rays.apply(target.data(), source.data());

    // d = 0: 12 sprites at (256, 128) of sizes 4, 84, 164 ...; only the first
    // two fit (size 164 reaches above the top row).
    auto expected = blankFrame();
    expected[128 * kW + 256] = 0x00FFFFFFu;
    for (int k = 0; k < 12; ++k) {
        auto before = expected;
        addSprite(expected.data(), rays.level(3), 256, 128, 4.0f + 80.0f * k);
        EXPECT_EQ(expected != before, k < 2) << "sprite " << k;
    }
    EXPECT_EQ(target, expected);
    // The second sprite covers exactly 168 x 168 pixels from (172, 44).
    EXPECT_NE(target[44 * kW + 172], 0u);
    EXPECT_NE(target[211 * kW + 339], 0u);
    EXPECT_EQ(target[43 * kW + 172], 0u);
    EXPECT_EQ(target[44 * kW + 340], 0u);
}

TEST(GlowRaysApply, TrailsStayInsideTheTarget) {
    Image ray(256, 256);
    for (uint32_t& p : ray.pixels) p = 0x00FFFFFFu;
    GlowRays rays(ray);
    // Guard zones of one frame before and after the target.
    std::vector<uint32_t> buffer(3 * kW * kH, 0x5A5A5A5Au);
    uint32_t* target = buffer.data() + kW * kH;
    auto source = blankFrame();
    for (int y = 30; y <= 219; y += 3)
        for (int x = 50; x <= 467; x += 3) source[y * kW + x] = 0x00FFFFFFu;
    rays.apply(target, source.data());
    for (int k = 0; k < kW * kH; ++k) {
        ASSERT_EQ(buffer[k], 0x5A5A5A5Au);
        ASSERT_EQ(buffer[2 * kW * kH + k], 0x5A5A5A5Au);
    }
    rays.emitRay(target, -1, 0);  // points off the target emit nothing
    rays.emitRay(target, 0, 256);
}

// Random texels inside a disc, 0 outside it (so whole rows and the corners of the
// others are 0), like a glow; some texels inside are 0 too.
Image roundRay(std::mt19937& rng) {
    Image ray(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const int dx = x - 140, dy = y - 120;
            ray.pixels[y * 256 + x] = dx * dx + dy * dy < 90 * 90 && rng() % 8 != 0 ? rng() : 0;
        }
    return ray;
}

// Runs `draw` on the same random frame through the scalar code and through every
// vector path: it must change the frame, and every path must give the scalar bits.
template <class Draw>
void expectSameBitsOnEveryPath(std::mt19937& rng, Draw draw, const std::string& what = "") {
    auto frame = blankFrame();
    for (uint32_t& p : frame) p = rng();
    auto expected = frame;
    onScalarCode([&] { draw(expected); });
    EXPECT_NE(expected, frame) << what;
    for (VectorPath path : vectorPathsToTest())
        forEachTexelFetch([&](const char* fetch) {
            OnPath on(path);
            auto actual = frame;
            draw(actual);
            EXPECT_EQ(actual, expected) << vectorPathName(path) << ", " << fetch << " " << what;
        });
}

// The glow rays of `ray` as the tests draw them: `reference` samples every sprite
// from the pictures (no tiles), `tiled` keeps the usual store of pre-sampled sprites,
// `nearlyFull` one that fills up within a few trails.
struct TestRays {
    explicit TestRays(const Image& ray) : reference(ray, 0), tiled(ray), nearlyFull(ray, 6000) {}
    GlowRays reference, tiled, nearlyFull;
};

// Runs run(tiled, label) with each GlowRays of `rays` that has tiles, on the scalar
// code and on every vector path.
template <class Run>
void forEachTiledPath(const TestRays& rays, Run run) {
    std::vector<VectorPath> paths = vectorPathsToTest();
    paths.insert(paths.begin(), VectorPath::None);
    for (VectorPath path : paths)
        for (const GlowRays* tiled : {&rays.tiled, &rays.nearlyFull})
            forEachTexelFetch([&](const char* fetch) {
                OnPath on(path);
                run(*tiled, std::string(vectorPathName(path)) + ", " + fetch +
                                (tiled == &rays.tiled ? ", tiled" : ", store nearly full"));
            });
}

// GlowRays::apply on `source` with tiles, on every path, gives the target of the
// scalar code without tiles and leaves the same source.
void expectApplySameBitsOnEveryPath(const TestRays& rays, const std::vector<uint32_t>& source,
                                    const std::string& what) {
    auto expectedSource = source;
    auto expected = blankFrame();
    onScalarCode([&] { rays.reference.apply(expected.data(), expectedSource.data()); });
    forEachTiledPath(rays, [&](const GlowRays& tiled, const std::string& on) {
        auto actualSource = source, actual = blankFrame();
        tiled.apply(actual.data(), actualSource.data());
        EXPECT_EQ(actual, expected) << on << " " << what;
        EXPECT_EQ(actualSource, expectedSource) << on << " " << what;
    });
}

TEST(GlowRaysSetup, TexelSpansBoundEveryTexelThatIsNot0) {
    Image picture(256, 256);
    picture.pixels[1 * 256 + 5] = 1;
    picture.pixels[2 * 256 + 0] = 0xFF000000u;
    picture.pixels[2 * 256 + 255] = 7;
    picture.pixels[3 * 256 + 9] = picture.pixels[3 * 256 + 20] = 3;
    const std::vector<TexelSpan> spans = texelSpans(picture.pixels.data());
    ASSERT_EQ(spans.size(), 256u);
    EXPECT_GT(spans[0].lo, spans[0].hi);  // all 0
    EXPECT_EQ(spans[1].lo, 5);
    EXPECT_EQ(spans[1].hi, 5);
    EXPECT_EQ(spans[2].lo, 0);
    EXPECT_EQ(spans[2].hi, 255);
    EXPECT_EQ(spans[3].lo, 9);
    EXPECT_EQ(spans[3].hi, 20);
}

TEST(GlowRaysSetup, TexelRowsBoundTheRowsThatAreNot0) {
    struct Case {
        std::vector<int> rows;  // rows with one texel other than 0
        int first, last;
    };
    for (const Case& c :
         {Case{{1, 2, 3}, 1, 3}, Case{{0}, 0, 0}, Case{{255}, 255, 255}, Case{{7, 200}, 7, 200}}) {
        Image picture(256, 256);
        for (int row : c.rows) picture.pixels[row * 256 + 128] = 5;
        const TexelRows rows = texelRows(texelSpans(picture.pixels.data()).data());
        EXPECT_EQ(rows.first, c.first);
        EXPECT_EQ(rows.last, c.last);
    }
    const TexelRows none = texelRows(texelSpans(Image(256, 256).pixels.data()).data());
    EXPECT_GT(none.first, none.last);
    const TexelRows unknown = texelRows(nullptr);
    EXPECT_EQ(unknown.first, 0);
    EXPECT_EQ(unknown.last, 255);
}

// Every vector path of the sprite blit gives the scalar code's bits: random pictures
// (whole-word levels included) that are 0 outside a disc, with and without their
// spans, targets, centres over and past every edge, and sizes from below 1 to past
// the largest that fits, with the small sides that have no whole vector.
TEST(GlowRaysSameBits, RandomSprites) {
    std::mt19937 rng(51);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const Image ray = roundRay(rng);
    const GlowRays rays(ray);
    std::vector<TexelSpan> spans[4];
    for (int level = 0; level < 4; ++level) spans[level] = texelSpans(rays.level(level));
    struct Sprite {
        int level, cx, cy;
        float size;
        bool withSpans;
    };
    std::vector<Sprite> sprites;
    for (int k = 0; k < 3000; ++k) {
        const float size = k % 3 == 0   ? 0.8f + 4.0f * unit(rng)
                           : k % 3 == 1 ? 1.0f + 40.0f * unit(rng)
                                        : 300.0f * unit(rng);
        sprites.push_back({static_cast<int>(rng() % 4), static_cast<int>(rng() % 600) - 40,
                           static_cast<int>(rng() % 340) - 40, size, k % 2 == 0});
    }
    auto drawAll = [&](std::vector<uint32_t>& frame) {
        for (const Sprite& s : sprites)
            addSprite(frame.data(), rays.level(s.level), s.cx, s.cy, s.size,
                      s.withSpans ? spans[s.level].data() : nullptr);
    };
    expectSameBitsOnEveryPath(rng, drawAll);
}

// Sides on both sides of the blit's thresholds (one vector, the side above which it
// skips vectors outside a row's span) at every corner and edge of the target, from
// pictures whose rows are 0 at the top and bottom, in bands between, or nowhere.
TEST(GlowRaysSameBits, SidesAroundTheBlitThresholdsAtTheEdges) {
    std::mt19937 rng(53);
    Image banded = roundRay(rng);
    for (int y = 0; y < 256; ++y)
        if (y % 9 < 3) std::fill_n(banded.pixels.begin() + y * 256, 256, 0u);
    Image full(256, 256);
    for (uint32_t& p : full.pixels) p = rng() | 1u;
    const Image round = roundRay(rng);
    const std::vector<TexelSpan> spans[3] = {
        texelSpans(round.pixels.data()), texelSpans(banded.pixels.data()), texelSpans(full.pixels.data())};
    const uint32_t* pictures[3] = {round.pixels.data(), banded.pixels.data(), full.pixels.data()};
    auto drawAll = [&](std::vector<uint32_t>& frame) {
        for (int side : {3, 4, 7, 8, 9, 12, 15, 16, 17, 23, 24, 25, 26, 31, 32, 33, 64, 254, 255}) {
            for (const float extra : {0.0f, 0.3f}) {
                const float size = 0.5f * static_cast<float>(side) + extra;
                const int n = static_cast<int>(2.0f * size), lo = static_cast<int>(size);
                // Centres that put the square at each corner, the middle of each edge
                // and the middle of the target, as far out as it still fits (of the
                // last two along each axis, one is the last that fits).
                for (int cx : {lo, 256, 511 - n + lo, 512 - n + lo})
                    for (int cy : {lo, 128, 255 - n + lo, 256 - n + lo})
                        for (int k = 0; k < 3; ++k)
                            addSprite(frame.data(), pictures[k], cx, cy, size,
                                      k == 2 ? nullptr : spans[k].data());
            }
        }
    };
    expectSameBitsOnEveryPath(rng, drawAll);
}

// The vector scans step over many pixels at a time: lights on and just outside every
// edge of the scan window, and at the ends of the steps, are found as the scalar scan
// finds them (more lights in the row, so the search also resumes after a light
// close to the window's end, where no scan may look past it).
TEST(GlowRaysSameBits, LightsAtTheScanWindowEdges) {
    std::mt19937 rng(54);
    const Image ray = roundRay(rng);
    const TestRays rays(ray);
    for (int y : {29, 30, 31, 218, 219, 220}) {
        for (int x :
             {49, 50, 51, 53, 57, 58, 81, 82, 89, 90, 113, 114, 452, 459, 460, 463, 464, 466, 467, 468}) {
            auto source = blankFrame();
            for (uint32_t& p : source) p = rng() & 0x00F7F7F7u;
            source[y * kW + x] = 0x00F8F8F8u;
            source[y * kW + (x + 37) % kW] = 0xFFFFFFFFu;
            source[y * kW + 49] = source[y * kW + 468] = 0x00FFFFFFu;  // outside the window
            expectApplySameBitsOnEveryPath(rays, source, "at " + std::to_string(x) + "," + std::to_string(y));
        }
    }
}

// Trails of every level (pictures whose multiples wrap past the top byte) from
// lights at each level's distances from the centre and at its edges.
TEST(GlowRaysSameBits, TrailsOfEveryLevel) {
    std::mt19937 rng(55);
    const Image ray = roundRay(rng);  // full 32-bit texels: the multiples wrap
    const TestRays rays(ray);
    // Offsets from (256, 128): d = (0.04 * offset)^2 for levels 3, 3, 2, 2, 1, 1, 0, 0.
    const int offsets[] = {0, 24, 25, 33, 34, 39, 40, 120};
    for (int offset : offsets)
        for (auto [x, y] :
             {std::pair{256 + offset, 128}, {256, 128 - offset / 2}, {256 - offset, 128 + offset / 3}}) {
            auto frame = blankFrame();
            for (uint32_t& p : frame) p = rng();
            auto expected = frame;
            onScalarCode([&] { rays.reference.emitRay(expected.data(), x, y); });
            ASSERT_NE(expected, frame);
            forEachTiledPath(rays, [&](const GlowRays& tiled, const std::string& on) {
                auto actual = frame;
                tiled.emitRay(actual.data(), x, y);
                EXPECT_EQ(actual, expected) << on << " from " << x << "," << y;
            });
        }
}

// Whole frames with lights scattered over and around the scan window, some in
// clusters that suppress each other, against the scalar scan and trails.
TEST(GlowRaysSameBits, RandomFramesWithLights) {
    std::mt19937 rng(52);
    const Image ray = roundRay(rng);
    const TestRays rays(ray);
    for (int round = 0; round < 10; ++round) {
        auto source = blankFrame();
        for (uint32_t& p : source) p = rng() & 0xFFBFBFBFu;
        for (int light = 0; light < 25; ++light) {
            const int x = 44 + static_cast<int>(rng() % 430), y = 25 + static_cast<int>(rng() % 200);
            source[y * kW + x] = 0x00F8F8F8u | rng();
            if (light % 3 == 0) source[(y + 1) * kW + x + 1] = 0xFFFFFFFFu;
        }
        expectApplySameBitsOnEveryPath(rays, source, "round " + std::to_string(round));
    }
}

}  // namespace
