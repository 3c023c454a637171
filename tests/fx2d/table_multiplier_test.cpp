#include "fx2d/table_multiplier.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "fx2d/fade_picture.h"
#include "fx2d/mul_table.h"
#include "fx2d/row_effects.h"
#include "fx2d/vector_kernels.h"
#ifdef ZD_VECTOR_PATHS
#include "fx2d/lanes_sse2.h"
#endif

namespace {

// Every table the vector paths compute instead of reading: the rows of mulTable and the
// rows of divTable that the smear uses (radius 1 is the identity).
TEST(TableMultiplier, ReproducesEveryRowOfTheBlendAndDivisionTables) {
    buildMulTable();
    buildDivTable();
    for (int w = 0; w < 256; ++w) {
        // The row blend's multiplier is w << 8, bias 0.
        const TableMultiplier blend{static_cast<uint16_t>(w << 8), 0};
        for (int c = 0; c < 256; ++c) ASSERT_EQ(tableEntry(blend, c), mulTable[w * 256 + c]) << w << " " << c;
        ASSERT_TRUE(fitTableMultiplier(mulTable + w * 256)) << "mulTable row " << w;
    }
    for (int v = 0; v < 256; ++v) ASSERT_EQ(divTable[256 + v], v);
    for (int r = 2; r <= 256; ++r) {
        ASSERT_TRUE(fitTableMultiplier(divTable + r * 256)) << "divTable row " << r;
    }
}

TEST(TableMultiplier, RefusesTablesOfAnotherForm) {
    std::vector<uint8_t> table(256);
    for (int v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(v);  // the identity needs 65536
    EXPECT_FALSE(fitTableMultiplier(table.data()));
    for (int v = 0; v < 256; ++v) table[v] = static_cast<uint8_t>(v * v / 255);  // not linear
    EXPECT_FALSE(fitTableMultiplier(table.data()));
    table.assign(256, 0);
    table[0] = 1;  // 0 must map to 0
    EXPECT_FALSE(fitTableMultiplier(table.data()));
}

#ifdef ZD_VECTOR_PATHS

// The levels a draw can be given: a fine grid over 0 ... 1, the neighbours of every
// fraction k / 255 and k / 256, and random floats.
std::vector<float> drawLevels() {
    std::vector<float> levels;
    for (int k = 0; k <= 1 << 16; ++k) levels.push_back(static_cast<float>(k) / 65536.0f);
    for (int k = 0; k <= 255; ++k) {
        for (float f : {static_cast<float>(k) / 255.0f, static_cast<float>(k) / 256.0f}) {
            levels.push_back(std::nextafter(f, 0.0f));
            levels.push_back(f);
            levels.push_back(std::nextafter(f, 1.0f));
        }
    }
    std::mt19937 rng(5);
    std::uniform_real_distribution<float> any(0.0f, 1.0f);
    for (int k = 0; k < 20000; ++k) levels.push_back(any(rng));
    for (int e = 20; e <= 149; ++e) {
        levels.push_back(std::ldexp(1.0f, -e));
        levels.push_back(std::ldexp(1.5f, -e));
    }
    return levels;
}

// The vector lanes' arithmetic (the high half of the product; they take no bias, and
// none of these tables needs one) on all 256 channel values, against the table
// itself. The top byte, 0xFF here, must come out 0.
void expectLanesGiveTable(TableMultiplier m, const uint8_t* table, float level) {
    using L = Lanes<__m128i>;
    ASSERT_EQ(m.bias, 0) << "level or row " << level;
    const Weight<__m128i> divisor = weight<__m128i>(m.multiplier);
    for (uint32_t v = 0; v < 256; v += 4) {
        const uint32_t in[4] = {v * 0x010101u | 0xFF000000u, (v + 1) * 0x010101u, (v + 2) * 0x010101u,
                                (v + 3) * 0x010101u};
        uint32_t out[4];
        L::store(out, divide(L::load(in), divisor));
        for (uint32_t i = 0; i < 4; ++i)
            ASSERT_EQ(out[i], table[v + i] * 0x010101u) << "level or row " << level << ", entry " << v + i;
    }
}

// Down to tiny levels, where 1 - level rounds to 1, every pair of fade tables is two
// multipliers or identity and zero; the lanes give every entry.
TEST(TableMultiplier, FadeTablesOfEveryLevelAreMultipliers) {
    using Kind = FadeWeights::Kind;
    uint8_t fadeIn[256], fadeOut[256];
    for (const float level : drawLevels()) {
        buildFadeTables(level, fadeIn, fadeOut);
        const FadeWeights weights = fadeWeights(fadeIn, fadeOut);
        ASSERT_NE(weights.kind, Kind::Tables) << "level " << level;
        if (weights.kind == Kind::Mix) {
            expectLanesGiveTable({weights.in, 0}, fadeIn, level);
            expectLanesGiveTable({weights.out, 0}, fadeOut, level);
        }
    }
    buildFadeTables(1.0f, fadeIn, fadeOut);
    EXPECT_EQ(fadeWeights(fadeIn, fadeOut).kind, Kind::CopyPicture);
    buildFadeTables(0.0f, fadeIn, fadeOut);
    EXPECT_EQ(fadeWeights(fadeIn, fadeOut).kind, Kind::KeepTarget);
}

TEST(TableMultiplier, LanesGiveEveryBlendAndDivisionRow) {
    buildMulTable();
    buildDivTable();
    for (int w = 0; w < 256; ++w)
        expectLanesGiveTable({static_cast<uint16_t>(w << 8), 0}, mulTable + w * 256, w);
    for (int r = 2; r <= 256; ++r)
        expectLanesGiveTable(*fitTableMultiplier(divTable + r * 256), divTable + r * 256, r);
}

#endif

}  // namespace
