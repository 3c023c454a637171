#include "display/picture_fit.h"

#include <gtest/gtest.h>

#include <array>

namespace {

std::array<int, 4> corners(const PictureRect& r) { return {r.x, r.y, r.width, r.height}; }

}  // namespace

// Whole factors: the largest that fits, centred with black around (an area
// smaller than the frame shows the whole picture shrunk). Keeping the shape:
// one side filled, the other centred.
TEST(PictureFit, WholeFactorsAndKeptShapesAreCentredInTheArea) {
    const struct {
        bool keepShape;
        int areaWidth, areaHeight, frameWidth, frameHeight;
        std::array<int, 4> expected;
    } cases[] = {
        {false, 512, 256, 512, 256, {0, 0, 512, 256}},         // the plain size
        {false, 1024, 512, 512, 256, {0, 0, 1024, 512}},       // --scale=2
        {false, 1920, 1080, 512, 256, {192, 156, 1536, 768}},  // a 1080p desktop: 3x
        {false, 1300, 900, 512, 256, {138, 194, 1024, 512}},   // a resized window: 2x
        {false, 1600, 800, 512, 256, {32, 16, 1536, 768}},     // 3x just fits
        {false, 1535, 2000, 512, 256, {255, 744, 1024, 512}},  // one pixel short of 3x wide
        {false, 1920, 1080, 512, 385, {448, 155, 1024, 770}},  // the tall display: the height decides
        {false, 2560, 1440, 512, 256, {0, 80, 2560, 1280}},    // 5x fills the width exactly
        {false, 400, 400, 512, 256, {0, 100, 400, 200}},       // smaller than the frame: shrunk
        {false, 0, 0, 512, 256, {0, 0, 0, 0}},                 // no area
        {true, 1920, 1080, 512, 256, {0, 60, 1920, 960}},      // wide screen: bars above and below
        {true, 1920, 1080, 512, 385, {242, 0, 1436, 1080}},    // tall display: 1080 * 512 / 385 = 1436.3
        {true, 1024, 512, 512, 256, {0, 0, 1024, 512}},        // exactly the shape
        {true, 1000, 1000, 512, 256, {0, 250, 1000, 500}},     // square: bars above and below
        {true, 3000, 1000, 512, 256, {500, 0, 2000, 1000}},    // very wide: bars left and right
        {true, 700, 351, 512, 256, {0, 0, 700, 350}},          // 350 rows; the odd row left over goes below
    };
    for (const auto& c : cases) {
        const auto fit = c.keepShape ? fitKeepingShape : fitWholeFactor;
        EXPECT_EQ(corners(fit(c.areaWidth, c.areaHeight, c.frameWidth, c.frameHeight)), c.expected)
            << (c.keepShape ? "keeping shape " : "whole factor ") << c.areaWidth << "x" << c.areaHeight;
    }
}

TEST(PictureFit, LargestWholeFactorIsZeroForAreasSmallerThanTheFrame) {
    EXPECT_EQ(largestWholeFactor(0, 1080, 512, 256), 0);
    EXPECT_EQ(largestWholeFactor(1920, -5, 512, 256), 0);
    EXPECT_EQ(largestWholeFactor(511, 1080, 512, 256), 0);
    EXPECT_EQ(largestWholeFactor(4096, 2048, 512, 256), 8);
}
