#include "fx2d/fade_picture.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "tests/fx2d/paths.h"

namespace {

std::vector<uint32_t> frameOf(uint32_t colour) { return std::vector<uint32_t>(kTargetPixels, colour); }

Image solid(int w, int h, uint32_t colour) {
    Image image(w, h);
    std::fill(image.pixels.begin(), image.pixels.end(), colour);
    return image;
}

// Every pixel distinct and opaque for both transparency tests.
Image numbered(int w, int h) {
    Image image(w, h);
    for (int i = 0; i < w * h; ++i) image.pixels[i] = 0x00101010 + static_cast<uint32_t>(i) * 0x000307;
    return image;
}

uint32_t at(const std::vector<uint32_t>& frame, int x, int y) { return frame[y * kTargetWidth + x]; }

}  // namespace

TEST(FadePicture, HalfLevelAveragesPictureAndTarget) {
    Image picture = solid(4, 3, 0x00FF0000);
    FadePicture fade(picture);
    auto frame = frameOf(0x000000FF);
    fade.draw(frame.data(), 10, 20, 0.5f);
    EXPECT_EQ(at(frame, 10, 20), 0x007F007Fu);
    EXPECT_EQ(at(frame, 13, 22), 0x007F007Fu);
    EXPECT_EQ(at(frame, 14, 22), 0x000000FFu);
    EXPECT_EQ(at(frame, 10, 23), 0x000000FFu);

    auto zoomed = frameOf(0x000000FF);
    fade.drawZoomed(zoomed.data(), 10, 20, 0.5f, 1.0f);
    EXPECT_EQ(zoomed, frame);
}

TEST(FadePicture, FullLevelCopiesWithTopByteClearedZeroLevelKeepsTarget) {
    Image picture = solid(2, 2, 0xFF123456);
    FadePicture fade(picture);
    auto frame = frameOf(0x00ABCDEF);
    fade.draw(frame.data(), 0, 0, 1.0f);
    EXPECT_EQ(at(frame, 1, 1), 0x00123456u);
    fade.drawZoomed(frame.data(), 5, 0, 1.0f, 1.0f);
    EXPECT_EQ(at(frame, 6, 1), 0x00123456u);

    auto untouched = frameOf(0x00ABCDEF);
    fade.draw(untouched.data(), 0, 0, 0.0f);
    fade.drawZoomed(untouched.data(), 0, 0, 0.0f, 0.7f);
    EXPECT_EQ(untouched, frameOf(0x00ABCDEF));
}

TEST(FadePicture, LevelOutsideZeroToOneIsClamped) {
    Image picture = solid(2, 2, 0x00FF8040);
    FadePicture fade(picture);
    auto high = frameOf(0x00102030);
    fade.draw(high.data(), 0, 0, 1.7f);
    EXPECT_EQ(at(high, 0, 0), 0x00FF8040u);
    auto low = frameOf(0x00102030);
    fade.drawZoomed(low.data(), 0, 0, -0.4f, 1.0f);
    EXPECT_EQ(at(low, 0, 0), 0x00102030u);
}

TEST(FadePicture, DrawTreatsChannelsBelow4AsTransparent) {
    Image picture(2, 1);
    picture.pixels = {0x00030303, 0x00000004};
    FadePicture fade(picture);
    auto frame = frameOf(0x00AAAAAA);
    fade.draw(frame.data(), 0, 0, 1.0f);
    EXPECT_EQ(at(frame, 0, 0), 0x00AAAAAAu);
    EXPECT_EQ(at(frame, 1, 0), 0x00000004u);
}

TEST(FadePicture, DrawZoomedTreatsChannelsBelow8AsTransparent) {
    Image picture(2, 1);
    picture.pixels = {0x00070707, 0x00000008};
    FadePicture fade(picture);
    auto frame = frameOf(0x00AAAAAA);
    fade.drawZoomed(frame.data(), 0, 0, 1.0f, 1.0f);
    EXPECT_EQ(at(frame, 0, 0), 0x00AAAAAAu);
    EXPECT_EQ(at(frame, 1, 0), 0x00000008u);
}

TEST(FadePicture, ZoomThatIsNotPositiveOrTooSmallDrawsNothing) {
    Image picture = numbered(30, 20);
    FadePicture fade(picture);
    auto frame = frameOf(0x00ABCDEF);
    for (float zoom : {0.0f, -1.0f, -1e30f, std::numeric_limits<float>::quiet_NaN(), 1e-6f})
        fade.drawZoomed(frame.data(), 0, 0, 1.0f, zoom);
    EXPECT_EQ(frame, frameOf(0x00ABCDEF));
}

TEST(FadePicture, HugeZoomFillsTheTargetWithTheFirstPixelAndStaysInside) {
    Image picture = numbered(30, 20);
    FadePicture fade(picture);
    std::vector<uint32_t> padded(kTargetPixels + 2 * kTargetWidth, 0xDEADBEEF);
    uint32_t* frame = padded.data() + kTargetWidth;
    fade.drawZoomed(frame, 0, 0, 1.0f, 1e30f);
    for (int i = 0; i < kTargetWidth; ++i) {
        ASSERT_EQ(padded[i], 0xDEADBEEFu);
        ASSERT_EQ(padded[kTargetWidth + kTargetPixels + i], 0xDEADBEEFu);
    }
    for (int k = 0; k < kTargetPixels; ++k) ASSERT_EQ(frame[k], picture.pixels[0]) << k;
}

TEST(FadePicture, HalfZoomSamplesEverySecondRowAndColumn) {
    Image picture = numbered(100, 60);
    FadePicture fade(picture);
    auto frame = frameOf(0);
    fade.drawZoomed(frame.data(), 7, 9, 1.0f, 0.5f);
    for (int y = 0; y < kTargetHeight; ++y) {
        for (int x = 0; x < kTargetWidth; ++x) {
            const bool inside = x >= 7 && x < 57 && y >= 9 && y < 39;
            const uint32_t expected = inside ? picture.row((y - 9) * 2)[(x - 7) * 2] : 0;
            ASSERT_EQ(at(frame, x, y), expected) << x << "," << y;
        }
    }
}

// A picture drawn partly or wholly outside the target shows, inside it, exactly the
// pixels of the same picture drawn whole at (0, 0); nothing outside the target is written.
class FadePictureClipping : public ::testing::TestWithParam<std::pair<int, int>> {};

TEST_P(FadePictureClipping, MatchesUnclippedReferenceInsideTarget) {
    const auto [x, y] = GetParam();
    Image picture = numbered(120, 70);
    FadePicture fade(picture);
    for (int zoomed = 0; zoomed < 2; ++zoomed) {
        const float zoom = 0.85f;
        const int outW = zoomed ? static_cast<int>(120 * zoom) : 120;
        const int outH = zoomed ? static_cast<int>(70 * zoom) : 70;
        // Unclipped reference: the whole drawn area, placed at (0, 0) of a target.
        auto whole = frameOf(0x00405060);
        if (zoomed)
            fade.drawZoomed(whole.data(), 0, 0, 0.75f, zoom);
        else
            fade.draw(whole.data(), 0, 0, 0.75f);

        std::vector<uint32_t> padded(kTargetPixels + 2 * kTargetWidth, 0xDEADBEEF);
        uint32_t* frame = padded.data() + kTargetWidth;
        std::fill(frame, frame + kTargetPixels, 0x00405060);
        if (zoomed)
            fade.drawZoomed(frame, x, y, 0.75f, zoom);
        else
            fade.draw(frame, x, y, 0.75f);

        for (int i = 0; i < kTargetWidth; ++i) {
            ASSERT_EQ(padded[i], 0xDEADBEEFu);
            ASSERT_EQ(padded[kTargetWidth + kTargetPixels + i], 0xDEADBEEFu);
        }
        for (int ty = 0; ty < kTargetHeight; ++ty) {
            for (int tx = 0; tx < kTargetWidth; ++tx) {
                const int px = tx - x, py = ty - y;
                const bool covered = px >= 0 && px < outW && py >= 0 && py < outH;
                const uint32_t expected = covered ? whole[py * kTargetWidth + px] : 0x00405060u;
                ASSERT_EQ(frame[ty * kTargetWidth + tx], expected)
                    << "zoomed " << zoomed << " at " << tx << "," << ty;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(EveryEdge, FadePictureClipping,
                         ::testing::Values(std::pair{-30, 50}, std::pair{450, 50}, std::pair{100, -25},
                                           std::pair{100, 220}, std::pair{-50, -40}, std::pair{480, 230},
                                           std::pair{600, 10}, std::pair{10, -100}, std::pair{-2000000000, 0},
                                           std::pair{0, 2000000000}));

namespace {

// Pixels of every kind: random with random top bytes, and near-black ones on both
// sides of the 1:1 and the zoomed transparency tests.
uint32_t randomPicturePixel(std::mt19937& rng) {
    switch (rng() % 4) {
        case 0:
            return rng() & 0xFF030303u;
        case 1:
            return rng() & 0xFF070707u;
        default:
            return rng();
    }
}

}  // namespace

// Every vector path gives the scalar code's bits: random pictures of odd sizes,
// levels (with 0, 1, tiny ones and ones outside 0 ... 1), zooms (1 exactly, below and
// above) and positions over every edge of the target.
TEST(FadePictureSameBits, RandomPicturesLevelsZoomsAndPositions) {
    std::mt19937 rng(31);
    std::uniform_real_distribution<float> unit(0.0f, 1.0f);
    const float chosenLevels[] = {0.0f, 1.0f, 1e-20f, 0.5f, 1.5f, -0.25f, std::nanf("")};
    const float chosenZooms[] = {1.0f, 0.5f, 2.0f, 0.999f, 1e-3f, 1e6f};
    for (int round = 0; round < 100; ++round) {
        Image picture(1 + static_cast<int>(rng() % 530), 1 + static_cast<int>(rng() % 270));
        for (uint32_t& p : picture.pixels) p = randomPicturePixel(rng);
        FadePicture fade(picture);
        const float level = round % 4 == 0 ? chosenLevels[(round / 4) % 7] : unit(rng);
        const float zoom = round % 3 == 0 ? chosenZooms[(round / 3) % 6] : 0.2f + 2.5f * unit(rng);
        const int x = static_cast<int>(rng() % 700) - 300;
        const int y = static_cast<int>(rng() % 400) - 150;
        std::vector<uint32_t> frame(kTargetPixels);
        for (uint32_t& p : frame) p = rng();

        auto drawn = frame, zoomed = frame;
        onScalarCode([&] {
            fade.draw(drawn.data(), x, y, level);
            fade.drawZoomed(zoomed.data(), x, y, level, zoom);
        });
        for (VectorPath path : vectorPathsToTest()) {
            OnPath on(path);
            auto actual = frame;
            fade.draw(actual.data(), x, y, level);
            ASSERT_EQ(actual, drawn) << vectorPathName(path) << ", " << picture.width << "x" << picture.height
                                     << " at " << x << "," << y << " level " << level;
            actual = frame;
            fade.drawZoomed(actual.data(), x, y, level, zoom);
            ASSERT_EQ(actual, zoomed)
                << vectorPathName(path) << ", " << picture.width << "x" << picture.height << " at " << x
                << "," << y << " level " << level << " zoom " << zoom;
        }
    }
}
