#include "fx2d/mul_table.h"

#include <gtest/gtest.h>

#include <vector>

TEST(MulTable, ScalesByRowOver256RoundingDown) {
    buildMulTable();
    EXPECT_EQ(mulTable[128 * 256 + 255], 127);
    EXPECT_EQ(mulTable[1 * 256 + 255], 0);
    EXPECT_EQ(mulTable[255 * 256 + 255], 254);
    for (int a = 0; a < 256; ++a) {
        EXPECT_EQ(mulTable[a], 0);
        for (int b = 0; b < 256; ++b) ASSERT_EQ(mulTable[b * 256 + a], mulTable[a * 256 + b]);
    }
}

TEST(ClearFrame, WritesEveryPixelIncludingTopByteAndLastPixel) {
    std::vector<uint32_t> frame(kTargetPixels + 1, 0x12345678);
    clearFrame(frame.data(), 0xAB00FF01);
    for (int i = 0; i < kTargetPixels; ++i) ASSERT_EQ(frame[i], 0xAB00FF01u) << i;
    EXPECT_EQ(frame[511 + 255 * 512], 0xAB00FF01u);
    EXPECT_EQ(frame[kTargetPixels], 0x12345678u);  // nothing past the frame
}
