// Random damage to valid packs, packed streams and pictures: every decoder
// either succeeds or throws LoadError, with no crash, sanitizer report or
// hang. Built only into the sanitized test program.
#include <gtest/gtest.h>

#include <random>

#include "resources/jpeg.h"
#include "resources/pack_file.h"
#include "resources/tga.h"
#include "resources/unpack.h"
#include "tests/resources/picture_fixtures.h"

namespace {

// Flips, overwrites, cuts or lengthens a copy of `bytes` a few times.
Bytes mutate(const Bytes& bytes, std::mt19937& rng) {
    Bytes out = bytes;
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits; ++e) {
        const size_t at = out.empty() ? 0 : rng() % out.size();
        switch (rng() % 5) {
            case 0:
                if (!out.empty()) out[at] ^= static_cast<uint8_t>(1u << (rng() % 8));
                break;
            case 1:
                if (!out.empty()) out[at] = static_cast<uint8_t>(rng());
                break;
            case 2:
                out.resize(at);
                break;
            case 3:
                out.insert(out.begin() + static_cast<std::ptrdiff_t>(at), static_cast<uint8_t>(rng()));
                break;
            default:
                if (!out.empty()) out[at] = static_cast<uint8_t>(out[at] + 1);
                break;
        }
    }
    return out;
}

template <typename Decode>
void survivesMutations(const Bytes& valid, int rounds, uint32_t rngState, Decode decode) {
    std::mt19937 rng(rngState);
    int failures = 0;
    for (int i = 0; i < rounds; ++i) {
        const Bytes damaged = mutate(valid, rng);
        try {
            decode(damaged);
        } catch (const LoadError& error) {
            ++failures;
            ASSERT_EQ(std::string(error.what()).find('\n'), std::string::npos);
        }
    }
    // Most damage must be noticed; none may crash.
    EXPECT_GT(failures, 0);
}

// Literal bytes with 9-bit codes (a 0 bit, then the byte), long match "10",
// run "110", short match "111".
Bytes validPackedStream() {
    StreamBuilder s(pack::kFilterStride3 | 40, 0x33);
    for (int v = 0; v < 256; ++v) s.code(v, 9, static_cast<uint64_t>(v) << 1);
    s.code(pack::kLongMatch, 2, 0b01).code(pack::kRun, 3, 0b011).code(pack::kShortMatch, 3, 0b111).endTable();
    for (uint8_t b : {1, 2, 3, 4, 5, 6, 7, 8}) s.bits(static_cast<uint64_t>(b) << 1, 9);
    s.bits(0b111, 3).bits(3, 8).bits(10, 8);    // short match
    s.bits(0b011, 3).bits(9, 8).bits(12, 24);   // run
    s.bits(0b01, 2).bits(20, 16).bits(10, 16);  // long match
    return s.bytes();
}

TEST(Mutation, PackedStreams) {
    const Bytes valid = validPackedStream();
    ASSERT_EQ(unpack(valid).size(), 40u);
    survivesMutations(valid, 6000, 1, [](const Bytes& bytes) { unpack(bytes); });
}

TEST(Mutation, TgaPictures) {
    Bytes palette(768 + 12 * 7);
    for (size_t i = 0; i < palette.size(); ++i) palette[i] = static_cast<uint8_t>(i * 13);
    survivesMutations(makeTga(12, 7, 8, 0x00, palette), 2000, 2,
                      [](const Bytes& bytes) { decodeTga(bytes); });
    survivesMutations(makeTga(5, 3, 24, 0x20, gradientSamples(5, 3, 3)), 2000, 3,
                      [](const Bytes& bytes) { decodeTga(bytes); });
}

TEST(Mutation, S3tPictures) {
    std::vector<S3tBlock> blocks;
    for (int i = 0; i < 6; ++i)
        blocks.push_back(
            {{uint8_t(i * 40), 0xE4, 0x1B, 0xFF}, uint16_t(i * 5000), uint16_t(65535 - i * 3000)});
    survivesMutations(makeS3t(12, 8, blocks), 2000, 4, [](const Bytes& bytes) { decodeS3t(bytes); });
}

TEST(Mutation, JpegPictures) {
    const Bytes colour = encodeJpeg(24, 16, 3, gradientSamples(24, 16, 3));
    survivesMutations(colour, 1500, 5, [](const Bytes& bytes) { decodeJpeg(bytes); });
    const Bytes progressive = encodeJpeg(24, 16, 3, gradientSamples(24, 16, 3), 90, true);
    survivesMutations(progressive, 1000, 7, [](const Bytes& bytes) { decodeJpeg(bytes); });
    const Bytes grey = encodeJpeg(16, 16, 1, gradientSamples(16, 16, 1));
    survivesMutations(grey, 500, 6, [](const Bytes& bytes) { decodeJpeg(bytes); });
}

using MutationPack = ScratchFolder;

TEST_F(MutationPack, PackFiles) {
    const Bytes pack = makePack(
        {{"raw.bin", {1, 2, 3, 4, 5}}, {"packed.bin", validPackedStream(), pack::kPackedFlags}, {"end", {}}});
    survivesMutations(pack, 300, 8, [](const Bytes& bytes) {
        writeFile("data.fil", bytes);
        PackFile reader;
        if (reader.open("data.fil") != 0) return;
        ::testing::internal::CaptureStdout();
        try {
            reader.read("raw.bin");
            reader.read("packed.bin");
        } catch (...) {
            ::testing::internal::GetCapturedStdout();
            throw;
        }
        ::testing::internal::GetCapturedStdout();
    });
}

}  // namespace
