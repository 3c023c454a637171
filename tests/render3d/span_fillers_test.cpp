#include "render3d/span_fillers.h"

#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "test_scene.h"

namespace {

constexpr int32_t kStamp = 8;

// A span over `pixels` at w = 1 (z = 1) with zero steps but `step`.
struct Span {
    std::vector<uint32_t> pixels;
    std::vector<int32_t> depth;
    SpanSetup setup;

    Span(int n, Interpolants start, Interpolants step, uint32_t pixel = 0, int32_t stored = 0)
        : pixels(n, pixel), depth(n, stored),
          setup{pixels.data(), depth.data(), n, start, step, 0, nullptr, kStamp} {}
    void fill(unsigned mode) { spanFillers[mode](setup); }
};

}  // namespace

TEST(SpanFillers, AverageAndClampedSubtraction) {
    EXPECT_EQ(average(0xFFFFFF, 0), 0x7F7F7Fu);
    EXPECT_EQ(average(0x010101, 0x010101), 0u);
    EXPECT_EQ(average(0x204060, 0x604020), 0x404040u);
    EXPECT_EQ(subClamped(0x80FF10, 0x9001FF), 0x00FE00u);
    EXPECT_EQ(subClamped(0xFF123456, 0x000000), 0x123456u);
}

// A red ramp of 4 per pixel: blocks of 16, the remainder and short spans all
// show pixel i at 4 (i + 1), and every pixel gets the depth value of its w.
TEST(SpanFillers, GouraudRampIsExactForEveryBlockAndRemainderLength) {
    for (int n : {1, 2, 15, 16, 17, 31, 32, 40}) {
        Span span(n, {1, 0, 0, 0, 0, 0}, {0, 0, 0, 4, 0, 0});
        span.fill(kSpanGouraud);
        for (int i = 0; i < n; ++i) {
            ASSERT_EQ(span.pixels[i], static_cast<uint32_t>(4 * (i + 1)) << 16) << n << " " << i;
            ASSERT_EQ(span.depth[i], depthOf(kStamp, 1.0f)) << n << " " << i;
        }
    }
}

// Past a thin face's edge the colour runs to 200 + 16 x 10 = 360 at the block
// end; it is held at 255 rather than wrapping into dark stripes.
TEST(SpanFillers, BlockEndColoursAreHeldWithinAByte) {
    Span span(16, {1, 0, 0, 200, 0, 0}, {0, 0, 0, 10, 0, 0});
    span.fill(kSpanGouraud);
    for (int i = 1; i < 16; ++i) ASSERT_GE(span.pixels[i], span.pixels[i - 1]) << i;
    EXPECT_EQ(span.pixels[15], 0xFF0000u);
}

// U from column 254 and V from row -1 step one texel a pixel: both wrap.
TEST(SpanFillers, TextureCoordinatesWrapInBothAxes) {
    const std::vector<uint32_t> texels = labelledTexture().pixels;
    for (int n : {5, 16, 21}) {
        Span span(n, {1, 254 * 256, -256, 0, 0, 0}, {0, 256, 256, 0, 0, 0});
        span.setup.texels = texels.data();
        span.fill(kSpanTextured);
        for (int i = 0; i < n; ++i) {
            const uint32_t column = (254 + i) & 255, row = (255 + i) & 255;
            ASSERT_EQ(span.pixels[i], (row << 16) | column) << n << " " << i;
        }
    }
}

// The full shade turns texels black where it is subtracted, and only halves
// the old pixel where the result is blended.
TEST(SpanFillers, FullShadeBlackensTexelsAndHalvesBlendedPixels) {
    const std::vector<uint32_t> texels(256 * 256, 0xC0A080);
    for (unsigned mode : {1u, 3u, 5u, 7u}) {
        Span span(20, {1, 0, 0, 255, 255, 255}, {}, 0x808080);
        span.setup.texels = texels.data();
        span.setup.flatColour = 0xFFFFFF;
        span.fill(mode);
        const uint32_t expected = (mode & kSpanTranslucent) ? 0x404040u : 0u;
        for (uint32_t pixel : span.pixels) ASSERT_EQ(pixel, expected) << mode;
    }
}

// Modes 5 to 7 never write depth, so a second pass blends again; mode 4 writes
// it, so a second face behind the first is hidden.
TEST(SpanFillers, TranslucentModesBlendTwiceButFlatTranslucentWritesDepth) {
    const std::vector<uint32_t> texels(256 * 256, 0xFFFFFF);
    for (unsigned mode : {5u, 6u, 7u}) {
        const float colour = mode == 6 ? 255.0f : 0.0f;  // white, or no shade on a white texel
        Span span(18, {1, 0, 0, colour, colour, colour}, {}, 0x000000);
        span.setup.texels = texels.data();
        span.fill(mode);
        span.fill(mode);
        EXPECT_EQ(span.pixels[17], average(0x7F7F7F, 0xFFFFFF)) << mode;
        EXPECT_EQ(span.depth[17], 0) << mode;
    }
    Span flat(18, {1, 0, 0, 0, 0, 0}, {}, 0x000000);
    flat.setup.flatColour = 0xFFFFFF;
    flat.fill(kSpanTranslucent);
    flat.setup.start.w = 0.5f;  // farther
    flat.fill(kSpanTranslucent);
    EXPECT_EQ(flat.pixels[0], 0x7F7F7Fu);
    EXPECT_EQ(flat.depth[0], depthOf(kStamp, 1.0f));
}

// Stored entries equal to the span's depth: pixels alone pass (>=), as the
// flat filler and the block-free short span show; a 16-pixel block whose
// nearer end only equals the smallest entry is skipped whole.
TEST(SpanFillers, BlockWhoseNearerEndOnlyEqualsTheStoredDepthIsSkipped) {
    for (auto [mode, n, drawn] : {std::tuple{0u, 16, true}, {2u, 15, true}, {2u, 16, false}, {2u, 17, false}}) {
        Span span(n, {1, 0, 0, 100, 0, 0}, {}, 0x123456, depthOf(kStamp, 1.0f));
        span.setup.flatColour = 0x640000;
        span.fill(mode);
        EXPECT_EQ(span.pixels[0], drawn ? 0x640000u : 0x123456u) << mode << " " << n;
        // The remainder pixel of 17 has no block test and passes on equality.
        if (n == 17) {
            EXPECT_EQ(span.pixels[16], 0x640000u);
        }
    }
}

// Equal depth draws in the normal state; after a failed pixel only a
// strictly nearer one draws again.
TEST(SpanFillers, EqualDepthDrawsOnlyOutsideTheSkippingState) {
    const int32_t same = depthOf(kStamp, 1.0f);
    Span span(6, {1, 0, 0, 100, 0, 0}, {}, 0x123456);
    span.depth = {same, same + 1, same, same - 1, same, same};
    span.setup.depth = span.depth.data();
    span.fill(kSpanGouraud);
    const std::vector<bool> drawn = {true, false, false, true, true, true};
    for (int i = 0; i < 6; ++i) EXPECT_EQ(span.pixels[i] == 0x640000u, drawn[i]) << i;
}
