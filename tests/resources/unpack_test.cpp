// The decompressor: tokens, filters and the code table's forms.
#include "resources/unpack.h"

#include <set>
#include <utility>

#include <gtest/gtest.h>

#include "tests/resources/bomb_packs.h"
#include "tests/resources/test_support.h"

namespace {

constexpr int kA = 0x61;

// Two-bit codes, first bit read is bit 0: literal 'a' 00, short match 01 (bit
// 0 set), run 10, long match 11.
StreamBuilder twoBitTable(uint32_t size) {
    StreamBuilder s(size, 0x01);
    s.code(kA, 2, 0b00)
        .code(pack::kShortMatch, 2, 0b01)
        .code(pack::kRun, 2, 0b10)
        .code(pack::kLongMatch, 2, 0b11);
    s.endTable();
    return s;
}

// Every byte value gets the 8-bit code equal to itself.
Bytes literalStream(uint32_t header, const Bytes& bytes) {
    StreamBuilder s(header, 0x7F);
    for (int v = 0; v < 256; ++v) s.code(v, 8, static_cast<uint64_t>(v));
    s.endTable();
    for (uint8_t b : bytes) s.bits(b, 8);
    return s.bytes();
}

TEST(Unpack, EighteenByteExampleGivesThreeLettersA) {
    const Bytes packed = {0x03, 0x00, 0x00, 0x00, 0x01, 0x61, 0x01, 0x00, 0x01,
                          0x02, 0x01, 0x01, 0x01, 0x01, 0xFF, 0x06, 0x08, 0x00};
    EXPECT_EQ(unpack(packed), (Bytes{0x61, 0x61, 0x61}));
}

TEST(Unpack, LiteralsThroughAFullByteTable) {
    const Bytes data = {0, 1, 0x7F, 0x80, 0xFF, 0x7F};
    EXPECT_EQ(unpack(literalStream(static_cast<uint32_t>(data.size()), data)), data);
}

TEST(Unpack, StrideThreeFilterRestoresTripleDifferences) {
    const Bytes deltas = {10, 20, 30, 5, 5, 5, 251, 0, 1};
    EXPECT_EQ(unpack(literalStream(pack::kFilterStride3 | 9, deltas)),
              (Bytes{10, 20, 30, 15, 25, 35, 10, 25, 36}));
}

TEST(Unpack, StrideOneFilterIsOneRunningSum) {
    EXPECT_EQ(unpack(literalStream(pack::kFilterStride1 | 4, {1, 1, 1, 253})), (Bytes{1, 2, 3, 0}));
}

TEST(Unpack, BothFilterBitsMeanStrideThree) {
    EXPECT_EQ(unpack(literalStream(pack::kFilterStride3 | pack::kFilterStride1 | 4, {1, 1, 1, 1})),
              (Bytes{1, 1, 1, 2}));
}

TEST(Unpack, DistanceOneLengthFiveRepeatsTheLastByte) {
    StreamBuilder s = twoBitTable(6);
    s.bits(0b00, 2).bits(0b01, 2).bits(1, 8).bits(5, 8);
    EXPECT_EQ(unpack(s.bytes()), Bytes(6, kA));
}

TEST(Unpack, RunAndMatchesOfLengthZeroAppendNothing) {
    StreamBuilder s = twoBitTable(2);
    s.bits(0b00, 2);                            // 'a'
    s.bits(0b10, 2).bits(0x42, 8).bits(0, 24);  // run of 0
    s.bits(0b01, 2).bits(1, 8).bits(0, 8);      // short match of 0
    s.bits(0b11, 2).bits(1, 16).bits(0, 16);    // long match of 0
    s.bits(0b00, 2);                            // 'a'
    EXPECT_EQ(unpack(s.bytes()), Bytes(2, kA));
}

TEST(Unpack, RunAndLongMatchCopyBytes) {
    StreamBuilder s = twoBitTable(1 + 3 + 4);
    s.bits(0b00, 2);                            // a
    s.bits(0b10, 2).bits(0x42, 8).bits(3, 24);  // BBB
    s.bits(0b11, 2).bits(4, 16).bits(4, 16);    // aBBB
    EXPECT_EQ(unpack(s.bytes()), (Bytes{kA, 0x42, 0x42, 0x42, kA, 0x42, 0x42, 0x42}));
}

TEST(Unpack, UnknownSymbolAppendsNothing) {
    StreamBuilder s(2, 0x01);
    s.code(kA, 1, 0).code(300, 1, 1).endTable();
    s.bits(0, 1).bits(1, 1).bits(1, 1).bits(0, 1);
    EXPECT_EQ(unpack(s.bytes()), Bytes(2, kA));
}

TEST(Unpack, ZeroLengthCodeDecodesWithoutReadingBits) {
    StreamBuilder s(4, 0x01);
    s.code('x', 0, 0).endTable();
    EXPECT_EQ(unpack(s.bytes()), Bytes(4, 'x'));
}

TEST(Unpack, EscapedLiteralStandsForTheEscapeByte) {
    StreamBuilder s(2, 0x05);
    s.code(0x05, 1, 0).code(0x06, 1, 1).endTable();
    s.bits(0, 1).bits(1, 1);
    EXPECT_EQ(unpack(s.bytes()), (Bytes{0x05, 0x06}));
}

TEST(Unpack, EmptyOutputNeedsNoBits) {
    StreamBuilder s(0, 0x01);
    s.endTable();
    EXPECT_TRUE(unpack(s.bytes()).empty());
    // No token is decoded, so a root holding a symbol that outputs nothing is harmless.
    StreamBuilder rootOnly(0, 0x01);
    rootOnly.code(300, 0, 0).endTable();
    EXPECT_TRUE(unpack(rootOnly.bytes()).empty());
}

// 32-bit codes 0, 1, 2 ... share the tree nodes of their common first bits;
// the last code is cut short so that the table needs exactly `nodes` nodes
// besides the root. Code 0 is the literal 'a'.
StreamBuilder tableNeedingNodes(uint32_t size, int nodes) {
    StreamBuilder s(size, 0x01);
    std::set<std::pair<int, uint64_t>> prefixes;  // (length, bits) of every node
    auto newNodes = [&](uint64_t code, int length) {
        int count = 0;
        for (int n = 1; n <= length; ++n) count += prefixes.count({n, code & ((uint64_t{1} << n) - 1)}) == 0;
        return count;
    };
    int used = 0;
    for (uint64_t code = 0; used < nodes; ++code) {
        const int wanted = newNodes(code, 32);
        const int length = used + wanted <= nodes ? 32 : 32 - (used + wanted - nodes);
        used += newNodes(code, length);
        for (int n = 1; n <= length; ++n) prefixes.insert({n, code & ((uint64_t{1} << n) - 1)});
        s.code(code == 0 ? kA : static_cast<int>(code) + 0x100 + 3, length, code);
    }
    return s;
}

TEST(Unpack, NodePoolHoldsExactlyAThousandNodesBesidesTheRoot) {
    StreamBuilder full = tableNeedingNodes(2, 1000);
    full.endTable().bits(0, 32).bits(0, 32);
    EXPECT_EQ(unpack(full.bytes()), Bytes(2, kA));

    StreamBuilder over = tableNeedingNodes(2, 1001);
    over.endTable().bits(0, 32).bits(0, 32);
    EXPECT_EQ(loadErrorOf([&] { unpack(over.bytes()); }), "code table needs more than 1000 tree nodes");
}

// Memory follows the bytes really produced: a header announcing 64 MiB whose
// bits end early, or whose tokens stop short, costs next to nothing, while
// the honest 64 MiB stream takes its 64 MiB.
TEST(Unpack, MemoryGrowsWithTheBytesProducedNotWithTheHeader) {
    StreamBuilder lying(bombs::kStreamBytes, 0x01);
    lying.code(kA, 8, 0).endTable().bits(0, 8).bits(0, 8);
    StreamBuilder shortRun(bombs::kStreamBytes, 0x01);
    shortRun.code(pack::kRun, 0, 0).endTable().bits(kA, 8).bits(1000, 24);
    const struct {
        const char* what;
        Bytes packed;
        long minKib, maxKib;
    } cases[] = {
        {"bits end after two literals", lying.bytes(), 0, 4096},
        {"one run of 1000, then the bits end", shortRun.bytes(), 0, 4096},
        {"the honest 64 MiB stream", bombs::loneTenByteStream(), 60 * 1024, 80 * 1024},
    };
    for (const auto& c : cases) {
        const long growth = peakGrowthKib([&] { unpack(c.packed); });
        EXPECT_GE(growth, c.minKib) << c.what;
        EXPECT_LE(growth, c.maxKib) << c.what;
    }
}

}  // namespace
