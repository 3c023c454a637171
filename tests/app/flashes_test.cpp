#include "app/flashes.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <vector>

#include "app/assets.h"
#include "display/display.h"
#include "fx2d/fade_picture.h"
#include "fx2d/target.h"
#include "resources/image.h"
#include "tests/app/scene_state.h"

namespace {

// A word picture with opaque, varied pixels and a transparent border.
Image wordPicture() {
    Image image(120, 48);
    for (int y = 0; y < image.height; ++y)
        for (int x = 0; x < image.width; ++x) {
            const bool border = x < 4 || y < 4 || x >= image.width - 4 || y >= image.height - 4;
            image.row(y)[x] =
                border ? 0x00020202u : 0x00402010u + static_cast<uint32_t>(x * 0x010203 + y * 0x000301);
        }
    return image;
}

std::vector<uint32_t> backdrop() { return noiseFrame(); }

class FlashScenes : public ::testing::Test {
protected:
    void SetUp() override {
        assets.we = &word_;
        assets.logo = &word_;
        assets.p3p1 = &word_;
    }

    Image wordImage_ = wordPicture();
    FadePicture word_{wordImage_};
    FadePicture reference_{wordImage_};
    std::vector<uint32_t> frame_ = backdrop();
    SceneStateGuard guard_{frame_};
};

}  // namespace

TEST_F(FlashScenes, WordFlash1StartsHalfSizeAtFullLevelAndDrifts) {
    wordFlash1(0.0f);
    auto expected = backdrop();
    reference_.drawZoomed(expected.data(), 10, 20, 1.0f, 0.5f);
    EXPECT_EQ(frame_, expected);

    frame_ = backdrop();
    frameBuffer = frame_.data();
    wordFlash1(0.5f);
    expected = backdrop();
    reference_.drawZoomed(expected.data(), 35, 30, 0.5f, 0.85f);
    EXPECT_EQ(frame_, expected);
}

TEST_F(FlashScenes, PulseAtZeroLeavesFrameAndPeaksAtPi) {
    pulseLogo(0.0f);
    pulseP3p1(0.0f);
    EXPECT_EQ(frame_, backdrop());

    pulseP3p1(3.14159265f);
    auto expected = backdrop();
    reference_.draw(expected.data(), 256, 0, 1.0f);
    EXPECT_EQ(frame_, expected);
}

TEST_F(FlashScenes, TimesOutsideTheirSpanLeaveTheFrameAlone) {
    // Past its second a flash has level 0, well before it the zoom is not positive,
    // and NaN gives level 0; far-off positions are clipped, so nothing changes.
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (float t : {1.5f, 20.0f, 1e30f, -1e30f, -5.0f, nan}) {
        wordFlash1(t);
        EXPECT_EQ(frame_, backdrop()) << "t " << t;
    }
    pulseLogo(nan);
    pulseP3p1(nan);
    EXPECT_EQ(frame_, backdrop());
}
