#include "fx2d/table_multiplier.h"

#include <gtest/gtest.h>

#include <vector>

#include "fx2d/mul_table.h"
#include "fx2d/row_effects.h"
#include "fx2d/sse2_kernels.h"

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

// The vector lanes' arithmetic (saturating subtraction of the bias, then the high
// half of the product) on all 256 channel values, against the table itself.
void expectLanesGiveTable(TableMultiplier m, const uint8_t* table, int row) {
    const sse2::Weight w = sse2::weight(m.multiplier);
    const __m128i bias = sse2::splat(m.bias * 0x010101u);
    for (uint32_t v = 0; v < 256; v += 4) {
        const __m128i pixels =
            _mm_set_epi32((v + 3) * 0x010101, (v + 2) * 0x010101, (v + 1) * 0x010101, v * 0x010101 | 0xFF000000);
        alignas(16) uint32_t out[4];
        sse2::store(out, sse2::join(sse2::scale(sse2::split(_mm_subs_epu8(pixels, bias)), w)));
        for (uint32_t i = 0; i < 4; ++i)
            ASSERT_EQ(out[i], table[v + i] * 0x010101u) << "row " << row << ", entry " << v + i;
    }
}

TEST(TableMultiplier, LanesGiveEveryBlendAndDivisionRow) {
    buildMulTable();
    buildDivTable();
    for (int w = 0; w < 256; ++w) expectLanesGiveTable({static_cast<uint16_t>(w << 8), 0}, mulTable + w * 256, w);
    for (int r = 2; r <= 256; ++r) expectLanesGiveTable(*fitTableMultiplier(divTable + r * 256), divTable + r * 256, r);
}

#endif

}  // namespace
