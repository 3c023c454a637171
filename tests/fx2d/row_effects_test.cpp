#include "fx2d/row_effects.h"

#include <gtest/gtest.h>

#include <random>
#include <vector>

#include "fx2d/mul_table.h"
#include "tests/fx2d/paths.h"

namespace {

std::vector<uint32_t> frameOf(uint32_t colour) { return std::vector<uint32_t>(kTargetPixels, colour); }

std::vector<int32_t> radiiOf(int32_t radius) { return std::vector<int32_t>(kTargetHeight, radius); }

void smearFrame(std::vector<uint32_t>& frame, const std::vector<int32_t>& radii) {
    smearRows(frame.data(), radii.data(), 512, 512, 256, 1);
}

// The smear written out step by step: reads every pixel from memory, one channel at a time.
void literalSmear(uint32_t* p, int length, int r) {
    const uint8_t* q = divTable + r * 256;
    for (int shift = 0; shift < 24; shift += 8) {
        auto channel = [&](int k) { return (p[k] >> shift) & 0xFF; };
        int acc = 0;
        for (int k = 0; k < r; ++k) acc += q[channel(k)];
        std::vector<int> written(length, -1);
        for (int k = 0; k < length - 1; ++k) {
            acc -= q[written[k] >= 0 ? written[k] : channel(k)];
            if (k + r < length) acc += q[channel(k + r)];
            written[k + 1] = acc;
        }
        for (int k = 1; k < length; ++k)
            p[k] = (p[k] & ~(0xFFu << shift)) | (static_cast<uint32_t>(written[k]) << shift);
    }
    for (int k = 1; k < length; ++k) p[k] &= 0x00FFFFFF;  // written pixels have top byte 0
}

}  // namespace

TEST(SmearRows, MatchesStepByStepSmearOnNoise) {
    buildDivTable();
    std::mt19937 rng(11);
    std::vector<uint32_t> frame(kTargetPixels);
    for (uint32_t& pixel : frame) pixel = rng();
    std::vector<int32_t> radii(kTargetHeight);
    for (int32_t& radius : radii) radius = static_cast<int32_t>(rng() % 257);
    radii[0] = 1;
    radii[1] = 256;
    radii[2] = 3;
    auto expected = frame;
    for (int y = 0; y < kTargetHeight; ++y)
        if (radii[y] > 0) literalSmear(expected.data() + y * 512, 512, radii[y]);
    smearFrame(frame, radii);
    EXPECT_EQ(frame, expected);
}

TEST(DivTable, TruncatingReciprocal) {
    buildDivTable();
    EXPECT_EQ(divTable[3 * 256 + 3], 0);
    EXPECT_EQ(divTable[3 * 256 + 255], 84);
    for (int n = 1; n <= 256; ++n) {
        const bool powerOfTwo = (n & (n - 1)) == 0;
        for (int v = 0; v < 256; ++v) {
            const int expected = powerOfTwo || v == 0 ? v / n : (v - 1) / n;
            ASSERT_EQ(divTable[n * 256 + v], expected) << "row " << n << " entry " << v;
        }
    }
}

TEST(SmearRows, RadiusZeroOrLessLeavesFrameUnchanged) {
    std::vector<uint32_t> frame(kTargetPixels);
    for (size_t i = 0; i < frame.size(); ++i) frame[i] = static_cast<uint32_t>(i * 2654435761u);
    const auto before = frame;
    smearFrame(frame, radiiOf(0));
    EXPECT_EQ(frame, before);
    smearFrame(frame, radiiOf(-5));
    EXPECT_EQ(frame, before);
}

TEST(SmearRows, RadiusTwoHalvesOnlyTheLastPixel) {
    auto frame = frameOf(0x00646464);
    smearFrame(frame, radiiOf(2));
    for (int y = 0; y < kTargetHeight; ++y) {
        for (int x = 0; x < 511; ++x) ASSERT_EQ(frame[y * 512 + x], 0x00646464u);
        ASSERT_EQ(frame[y * 512 + 511], 0x00323232u);
    }
}

TEST(SmearRows, RadiusThreeUsesTheTruncatingReciprocal) {
    auto frame = frameOf(0x00060606);
    smearFrame(frame, radiiOf(3));
    EXPECT_EQ(frame[0], 0x00060606u);
    EXPECT_EQ(frame[1], 0x00030303u);
}

TEST(SmearRows, RadiusOneKeepsColoursAndClearsTopByte) {
    auto frame = frameOf(0xFF102030);
    smearFrame(frame, radiiOf(1));
    EXPECT_EQ(frame[0], 0xFF102030u);
    EXPECT_EQ(frame[1], 0x00102030u);
    EXPECT_EQ(frame[511], 0x00102030u);
}

TEST(SmearRows, OversizedRadiusIsClamped) {
    // 1000 is treated as 256, on 512-pixel lines; on 100-pixel lines as 99.
    auto frame = frameOf(0x00808080);
    auto reference = frame;
    smearFrame(frame, radiiOf(1000));
    smearFrame(reference, radiiOf(256));
    EXPECT_EQ(frame, reference);

    std::vector<uint32_t> shortLines(100 * 4, 0x00FFFFFF);
    auto shortReference = shortLines;
    const std::vector<int32_t> big(4, 300), clamped(4, 99);
    smearRows(shortLines.data(), big.data(), 100, 100, 4, 1);
    smearRows(shortReference.data(), clamped.data(), 100, 100, 4, 1);
    EXPECT_EQ(shortLines, shortReference);
}

TEST(SmearRows, FollowsPixelStepForColumns) {
    // Lines as columns: pixel step 512, line step 1; smearing column 0 only.
    auto frame = frameOf(0x00646464);
    std::vector<int32_t> radii(512, 0);
    radii[0] = 2;
    smearRows(frame.data(), radii.data(), 1, 256, 512, 512);
    EXPECT_EQ(frame[255 * 512], 0x00323232u);
    EXPECT_EQ(frame[254 * 512], 0x00646464u);
    EXPECT_EQ(frame[255 * 512 + 1], 0x00646464u);
}

TEST(BlendRows, MixesCopiesOrSkipsByLevel) {
    buildMulTable();
    auto target = frameOf(0x00FF0000);
    const auto source = frameOf(0x000000FF);
    std::vector<int32_t> levels(kTargetHeight, 0);
    levels[1] = 128;
    levels[2] = 254;
    levels[3] = 255;
    target[3 * 512] = 0xAB00FF00;
    auto sourceTop = source;
    sourceTop[3 * 512 + 7] = 0xCD000001;
    blendRows(target.data(), sourceTop.data(), levels.data());
    EXPECT_EQ(target[0], 0x00FF0000u);
    EXPECT_EQ(target[1 * 512 + 9], 0x007E007Fu);
    EXPECT_EQ(target[2 * 512 + 500], 0x000000FDu);
    EXPECT_EQ(target[3 * 512 + 7], 0xCD000001u);
    EXPECT_EQ(target[3 * 512], 0x000000FFu);
}

TEST(BlendRows, LevelsOutsideRangeAreClamped) {
    buildMulTable();
    auto target = frameOf(0x00FF0000);
    const auto source = frameOf(0x000000FF);
    std::vector<int32_t> levels(kTargetHeight, 0);
    levels[0] = -40;
    levels[1] = 9999;
    blendRows(target.data(), source.data(), levels.data());
    EXPECT_EQ(target[0], 0x00FF0000u);
    EXPECT_EQ(target[512], 0x000000FFu);
}

// Every vector path gives the scalar code's bits. Random frames (top bytes included)
// with every kind of level: skipped, copied, mixed and clamped.
TEST(RowEffectsSameBits, BlendRowsOnRandomFramesAndLevels) {
    buildMulTable();
    for (VectorPath path : vectorPathsToTest()) {
        std::mt19937 rng(21);
        for (int round = 0; round < 30; ++round) {
            std::vector<uint32_t> target(kTargetPixels), source(kTargetPixels);
            for (uint32_t& p : target) p = rng();
            for (uint32_t& p : source) p = rng();
            std::vector<int32_t> levels(kTargetHeight);
            for (int32_t& level : levels) level = static_cast<int32_t>(rng() % 300) - 20;
            auto expected = target;
            onScalarCode([&] { blendRows(expected.data(), source.data(), levels.data()); });
            OnPath on(path);
            blendRows(target.data(), source.data(), levels.data());
            ASSERT_EQ(target, expected) << vectorPathName(path) << ", round " << round;
        }
    }
}

// Random pixels and radii over lines of many shapes: whole rows, short and odd
// lengths, line counts that do not fill the vector paths' groups, columns, lines
// that overlap, lines longer than a row; radii from -5 to past 256 and past the length.
TEST(RowEffectsSameBits, SmearRowsOnRandomLinesAndRadii) {
    struct Shape {
        int lineStep, length, lines, pixelStep;
    };
    const Shape shapes[] = {{512, 512, 256, 1}, {512, 511, 256, 1}, {37, 37, 100, 1},   {300, 299, 7, 1},
                            {9, 2, 13, 1},      {5, 3, 40, 1},      {1, 256, 512, 512}, {100, 200, 9, 1},
                            {700, 700, 5, 1},   {520, 512, 17, 1},  {64, 1, 10, 1}};
    for (VectorPath path : vectorPathsToTest()) {
        std::mt19937 rng(22);
        for (const Shape& shape : shapes) {
            const size_t size = static_cast<size_t>(shape.lines - 1) * shape.lineStep +
                                static_cast<size_t>(shape.length - 1) * shape.pixelStep + 1;
            for (int round = 0; round < 6; ++round) {
                std::vector<uint32_t> pixels(size);
                for (uint32_t& p : pixels) p = rng();
                std::vector<int32_t> radii(shape.lines);
                for (int32_t& radius : radii) {
                    const uint32_t kind = rng() % 4;
                    radius = kind == 0   ? static_cast<int32_t>(rng() % 8) - 5
                             : kind == 1 ? static_cast<int32_t>(rng() % 300)
                                         : static_cast<int32_t>(rng() % 64);
                }
                auto expected = pixels;
                onScalarCode([&] {
                    smearRows(expected.data(), radii.data(), shape.lineStep, shape.length, shape.lines,
                              shape.pixelStep);
                });
                OnPath on(path);
                smearRows(pixels.data(), radii.data(), shape.lineStep, shape.length, shape.lines,
                          shape.pixelStep);
                ASSERT_EQ(pixels, expected) << vectorPathName(path) << ", length " << shape.length
                                            << " lines " << shape.lines << " round " << round;
            }
        }
    }
}

TEST(RowEffectsSameBits, SmearRowsOfBrightFramesWithEveryRadius) {
    // Near-white pixels keep the window sums at their largest.
    std::mt19937 rng(23);
    std::vector<uint32_t> frame(kTargetPixels);
    for (uint32_t& p : frame) p = 0x00F0F0F0u | (rng() & 0xFF0F0F0Fu);
    std::vector<int32_t> radii(kTargetHeight);
    for (int y = 0; y < kTargetHeight; ++y) radii[y] = y + 1;
    auto expected = frame;
    onScalarCode([&] { smearFrame(expected, radii); });
    for (VectorPath path : vectorPathsToTest()) {
        auto actual = frame;
        OnPath on(path);
        smearFrame(actual, radii);
        EXPECT_EQ(actual, expected) << vectorPathName(path);
    }
}
