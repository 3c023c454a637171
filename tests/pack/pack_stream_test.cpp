// Packed streams from packStream restore byte for byte through the reader's
// unpack: every filter, every token kind at the limits of its fields.
#include <gtest/gtest.h>

#include <random>

#include "pack_test_data.h"
#include "resources/pack_format.h"
#include "resources/pack_writer.h"
#include "resources/unpack.h"

namespace {

uint32_t headerWord(const std::vector<uint8_t>& stream) {
    return stream[0] | (stream[1] << 8) | (stream[2] << 16) | (uint32_t{stream[3]} << 24);
}

void expectRoundTrip(const std::vector<uint8_t>& data, const char* what) {
    const std::vector<uint8_t> stream = packStream(data);
    EXPECT_EQ(headerWord(stream) & pack::kSizeMask, data.size()) << what;
    EXPECT_TRUE(unpack(stream) == data) << what;
}

// Random files made of pieces that exercise every token: noise, runs, copies
// of earlier bytes (near and far), text and a small alphabet.
std::vector<uint8_t> randomFile(std::mt19937& rng) {
    std::vector<uint8_t> bytes;
    const size_t size = rng() % 3 == 0 ? rng() % 64 : rng() % 20000;
    while (bytes.size() < size) {
        const size_t length = 1 + rng() % 600;
        switch (rng() % 5) {
            case 0:
                for (size_t i = 0; i < length; ++i) bytes.push_back(static_cast<uint8_t>(rng()));
                break;
            case 1:
                bytes.insert(bytes.end(), rng() % 2 ? length : length * 40, static_cast<uint8_t>(rng()));
                break;
            case 2:
                if (!bytes.empty()) {
                    const size_t distance =
                        1 + rng() % std::min<size_t>(bytes.size(), rng() % 2 ? 300 : 70000);
                    for (size_t i = 0; i < length; ++i) bytes.push_back(bytes[bytes.size() - distance]);
                }
                break;
            case 3: {
                const std::vector<uint8_t> text = textBytes(length);
                bytes.insert(bytes.end(), text.begin(), text.end());
                break;
            }
            default:
                for (size_t i = 0; i < length; ++i) bytes.push_back(static_cast<uint8_t>('a' + rng() % 3));
                break;
        }
    }
    bytes.resize(size);
    return bytes;
}

}  // namespace

TEST(PackStream, EmptyAndOneByteFilesRoundTrip) {
    expectRoundTrip({}, "empty");
    expectRoundTrip({0x61}, "one byte");
    expectRoundTrip({0x00}, "one zero byte");
    expectRoundTrip({0xFF, 0xFF}, "two bytes");
}

TEST(PackStream, OneSymbolFileUsesTheEmptyCodeAndNoBits) {
    // Header (size 1), escape 0, entry 0x61 with length 0 and one code byte,
    // end mark; the reader decodes the literal without reading a bit.
    const std::vector<uint8_t> expected = {0x01, 0, 0, 0, 0x00, 0x61, 0x00, 0x00, 0x00, 0xFF};
    EXPECT_EQ(packStreamFiltered(std::vector<uint8_t>{0x61}, 0), expected);
}

TEST(PackStream, TheEscapeByteAsALiteralIsWrittenEscaped) {
    // Every value 0..255 once: no escape byte is free, so 0 is escaped.
    std::vector<uint8_t> data(256);
    for (int i = 0; i < 256; ++i) data[i] = static_cast<uint8_t>(i * 97);
    const std::vector<uint8_t> stream = packStreamFiltered(data, 0);
    ASSERT_GE(stream.size(), 8u);
    EXPECT_EQ(stream[4], 0x00);  // escape byte
    EXPECT_EQ(stream[5], 0x00);  // literal 0 comes first: E, 0x80, 0x00
    EXPECT_EQ(stream[6], 0x80);
    EXPECT_EQ(stream[7], 0x00);
    EXPECT_EQ(unpack(stream), data);
}

TEST(PackStream, RunsTextNoiseAndPicturesRoundTrip) {
    expectRoundTrip(runBytes(300000, 3), "runs");
    expectRoundTrip(textBytes(200000), "text");
    expectRoundTrip(noiseBytes(100000, 4), "noise");
    expectRoundTrip(gradientRgb(320, 200), "gradient");
}

TEST(PackStream, TokensAtTheirFieldLimitsRoundTrip) {
    // A run beyond the 24-bit count, and repeats beyond the 16-bit length.
    const std::vector<uint8_t> longRun((1u << 24) + 1000, 0x5A);
    expectRoundTrip(longRun, "long run");
    EXPECT_LT(packStream(longRun).size(), 64u) << "two run tokens";
    std::vector<uint8_t> repeats = noiseBytes(30000, 5);
    for (int i = 0; i < 3; ++i) repeats.insert(repeats.end(), repeats.begin(), repeats.begin() + 30000);
    expectRoundTrip(repeats, "repeats");
    EXPECT_LT(packStream(repeats).size(), 31000u);
    // Copies 65535 bytes back, and just too far to reach.
    std::vector<uint8_t> far = noiseBytes(65535 + 500, 6);
    far.insert(far.end(), far.begin(), far.begin() + 500);
    expectRoundTrip(far, "farthest copy");
    std::vector<uint8_t> tooFar = noiseBytes(65536 + 500, 6);
    tooFar.insert(tooFar.end(), tooFar.begin(), tooFar.begin() + 500);
    expectRoundTrip(tooFar, "copy out of reach");
}

TEST(PackStream, RandomFilesRoundTripUnderEveryFilter) {
    std::mt19937 rng(20261207);
    for (int i = 0; i < 250; ++i) {
        const std::vector<uint8_t> data = randomFile(rng);
        for (uint32_t filter : {0u, pack::kFilterStride1, pack::kFilterStride3}) {
            const std::vector<uint8_t> stream = packStreamFiltered(data, filter);
            ASSERT_EQ(headerWord(stream), static_cast<uint32_t>(data.size()) | filter) << "file " << i;
            ASSERT_TRUE(unpack(stream) == data) << "file " << i << " filter " << std::hex << filter;
        }
    }
}

TEST(PackStream, RgbGradientsChooseTheStride3Filter) {
    const std::vector<uint8_t> stream = packStream(gradientRgb(256, 256));
    EXPECT_EQ(headerWord(stream) & ~pack::kSizeMask, pack::kFilterStride3);
    EXPECT_LT(stream.size(), packStreamFiltered(gradientRgb(256, 256), 0).size());
}

TEST(PackStream, CompressesTextAndBarelyGrowsNoise) {
    const std::vector<uint8_t> text = textBytes(100000);
    EXPECT_LT(packStream(text).size(), text.size() * 4 / 10);
    const std::vector<uint8_t> noise = noiseBytes(100000, 8);
    EXPECT_LT(packStream(noise).size(), noise.size() + noise.size() / 50);
}
