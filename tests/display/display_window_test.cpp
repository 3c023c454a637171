// The whole display on SDL's dummy video driver, which offers one 1024 x 768
// mode: full screen finds no listed mode and goes on in a window.
#include "display/display.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
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

TEST(Display, OffscreenNeedsNoVideoDriverAndStillMakesTheFrame) {
    const char* previous = std::getenv("SDL_VIDEODRIVER");
    const std::string saved = previous ? previous : "";
    setenv("SDL_VIDEODRIVER", "no-such-driver", 1);  // opening any window would fail and end the test
    ::testing::internal::CaptureStdout();
    setOffscreen(1);
    displayOpen(512, 256);
    displayInitSurface();
    ASSERT_NE(frameBuffer, nullptr);
    EXPECT_EQ(frameBuffer[512 * 256 - 1], 0u);
    frameBuffer[512 * 256 - 1] = 0x00FFFFFF;
    EXPECT_FALSE(keyPending());
    displayPresent();
    displayClose();
    setOffscreen(0);
    std::fflush(stdout);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    if (previous)
        setenv("SDL_VIDEODRIVER", saved.c_str(), 1);
    else
        unsetenv("SDL_VIDEODRIVER");
}
