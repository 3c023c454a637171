// The whole display on SDL's dummy video driver, which offers one 1024 x 768
// mode: full screen finds no listed mode and goes on in a window.
#include "display/display.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

TEST(Display, FullScreenWithoutAListedModeFallsBackToAWindowSilently) {
    ::testing::internal::CaptureStdout();
    setDisplayTitle("quendal -> 1999 -> bodravin");
    displayOpen(512, 385);
    displayInitSurface();
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");

    ASSERT_NE(frameBuffer, nullptr);
    EXPECT_EQ(frameBuffer[0], 0u);
    EXPECT_EQ(frameBuffer[512 * 385 - 1], 0u);  // the rows below 256 start black
    frameBuffer[512 * 385 - 1] = 0x00FFFFFF;    // the whole frame is writable

    for (int frame = 0; frame < 3; ++frame) {
        EXPECT_FALSE(keyPending());
        displayPresent();
    }
    displayClose();
}
