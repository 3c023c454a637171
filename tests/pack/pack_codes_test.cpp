// The pack builder's Huffman codes: limited to 32 bits (or a smaller limit),
// prefix-free and complete, and never more decoder nodes than the pool holds.
#include <gtest/gtest.h>

#include "resources/pack_format.h"
#include "resources/pack_huffman.h"

namespace {

// Kraft sum scaled by 2^32: exactly 2^32 for a complete prefix code.
uint64_t kraftSum(const CodeSet& codes) {
    uint64_t sum = 0;
    for (const HuffmanCode& code : codes) {
        if (code.used) {
            sum += uint64_t{1} << (32 - code.length);
        }
    }
    return sum;
}

bool isPrefixFree(const CodeSet& codes) {
    for (int a = 0; a < pack::kSymbolCount; ++a) {
        for (int b = 0; b < pack::kSymbolCount; ++b) {
            if (a == b || !codes[a].used || !codes[b].used || codes[a].length > codes[b].length) {
                continue;
            }
            const uint64_t mask = (uint64_t{1} << codes[a].length) - 1;
            if ((codes[b].bits & mask) == codes[a].bits) {
                return false;  // a's bits, read first, begin b's code
            }
        }
    }
    return true;
}

int longestCode(const CodeSet& codes) {
    int longest = 0;
    for (const HuffmanCode& code : codes) {
        longest = std::max<int>(longest, code.length);
    }
    return longest;
}

int usedSymbols(const CodeSet& codes) {
    int used = 0;
    for (const HuffmanCode& code : codes) {
        used += code.used ? 1 : 0;
    }
    return used;
}

// Fibonacci-like counts make the deepest possible Huffman tree: unlimited,
// its longest code would be as long as the number of symbols less one.
SymbolCounts fibonacciCounts(int symbols) {
    SymbolCounts counts{};
    uint64_t a = 1;
    uint64_t b = 1;
    for (int s = 0; s < symbols; ++s) {
        counts[s] = a;
        if (b < (uint64_t{1} << 62)) {
            const uint64_t next = a + b;
            a = b;
            b = next;
        }
    }
    return counts;
}

}  // namespace

TEST(PackCodes, FibonacciCountsOverAllSymbolsStayWithin32BitsAndTheNodePool) {
    const CodeSet codes = buildCodes(fibonacciCounts(pack::kSymbolCount));
    EXPECT_LE(longestCode(codes), pack::kMaxCodeLength);
    EXPECT_EQ(usedSymbols(codes), pack::kSymbolCount);
    EXPECT_EQ(kraftSum(codes), uint64_t{1} << 32);
    EXPECT_TRUE(isPrefixFree(codes));
    // A complete code over 259 symbols: 2 * 259 - 2 nodes below the root.
    EXPECT_EQ(codeTreeNodeCount(codes), 2 * pack::kSymbolCount - 2);
    EXPECT_LE(codeTreeNodeCount(codes), pack::kNodePool);
}

TEST(PackCodes, ASmallerLimitIsKeptOnSkewedCounts) {
    for (int limit : {9, 12, 16, 24}) {
        const CodeSet codes = buildCodes(fibonacciCounts(60), limit);
        EXPECT_LE(longestCode(codes), limit) << "limit " << limit;
        EXPECT_EQ(kraftSum(codes), uint64_t{1} << 32) << "limit " << limit;
        EXPECT_TRUE(isPrefixFree(codes)) << "limit " << limit;
    }
}

TEST(PackCodes, UnlimitedWhereTheCountsAllowFollowsTheFrequencies) {
    SymbolCounts counts{};
    counts['a'] = 8;
    counts['b'] = 4;
    counts['c'] = 2;
    counts[pack::kShortMatch] = 2;
    const CodeSet codes = buildCodes(counts);
    EXPECT_EQ(codes['a'].length, 1);
    EXPECT_EQ(codes['b'].length, 2);
    EXPECT_EQ(codes['c'].length, 3);
    EXPECT_EQ(codes[pack::kShortMatch].length, 3);
    EXPECT_FALSE(codes['d'].used);
    EXPECT_TRUE(isPrefixFree(codes));
}

TEST(PackCodes, OneSymbolTakesTheEmptyCodeAndNoNodes) {
    SymbolCounts counts{};
    counts[pack::kRun] = 5;
    const CodeSet codes = buildCodes(counts);
    EXPECT_TRUE(codes[pack::kRun].used);
    EXPECT_EQ(codes[pack::kRun].length, 0);
    EXPECT_EQ(codeTreeNodeCount(codes), 0);
}

TEST(PackCodes, TwoSymbolsTakeOneBitEach) {
    SymbolCounts counts{};
    counts[0] = 1000000;
    counts[255] = 1;
    const CodeSet codes = buildCodes(counts);
    EXPECT_EQ(codes[0].length, 1);
    EXPECT_EQ(codes[255].length, 1);
    EXPECT_NE(codes[0].bits, codes[255].bits);
    EXPECT_EQ(codeTreeNodeCount(codes), 2);
}
