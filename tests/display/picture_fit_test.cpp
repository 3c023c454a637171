#include "display/picture_fit.h"

#include <gtest/gtest.h>

namespace {

struct FitCase {
    int areaWidth, areaHeight, frameWidth, frameHeight;
    PictureRect expected;
};

void expectRect(const PictureRect& got, const FitCase& c) {
    EXPECT_EQ(got.x, c.expected.x);
    EXPECT_EQ(got.y, c.expected.y);
    EXPECT_EQ(got.width, c.expected.width);
    EXPECT_EQ(got.height, c.expected.height);
}

}  // namespace

TEST(PictureFit, WholeFactorIsTheLargestThatFitsCentredWithBlackAround) {
    const FitCase cases[] = {
        {512, 256, 512, 256, {0, 0, 512, 256}},         // the plain size
        {1024, 512, 512, 256, {0, 0, 1024, 512}},       // --scale=2
        {1920, 1080, 512, 256, {192, 156, 1536, 768}},  // a 1080p desktop: 3x
        {1300, 900, 512, 256, {138, 194, 1024, 512}},   // a resized window: 2x
        {1600, 800, 512, 256, {32, 16, 1536, 768}},     // 3x just fits
        {1535, 2000, 512, 256, {255, 744, 1024, 512}},  // one pixel short of 3x wide
        {1920, 1080, 512, 385, {448, 155, 1024, 770}},  // the tall display: the height decides
        {2560, 1440, 512, 256, {0, 80, 2560, 1280}},    // 5x fills the width exactly
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.areaWidth << "x" << c.areaHeight);
        expectRect(fitWholeFactor(c.areaWidth, c.areaHeight, c.frameWidth, c.frameHeight), c);
    }
}

TEST(PictureFit, AnAreaSmallerThanTheFrameShowsTheWholePictureShrunk) {
    const FitCase c{400, 400, 512, 256, {0, 100, 400, 200}};
    expectRect(fitWholeFactor(c.areaWidth, c.areaHeight, c.frameWidth, c.frameHeight), c);
}

TEST(PictureFit, KeepingShapeFillsOneSideAndCentresTheOther) {
    const FitCase cases[] = {
        {1920, 1080, 512, 256, {0, 60, 1920, 960}},    // wide screen: bars above and below
        {1920, 1080, 512, 385, {242, 0, 1436, 1080}},  // tall display: 1080 * 512 / 385 = 1436.3
        {1024, 512, 512, 256, {0, 0, 1024, 512}},      // exactly the shape
        {1000, 1000, 512, 256, {0, 250, 1000, 500}},   // square: bars above and below
        {3000, 1000, 512, 256, {500, 0, 2000, 1000}},  // very wide: bars left and right
        {700, 351, 512, 256, {0, 0, 700, 350}},        // 350 rows; the odd row left over goes below
    };
    for (const FitCase& c : cases) {
        SCOPED_TRACE(testing::Message() << c.areaWidth << "x" << c.areaHeight);
        expectRect(fitKeepingShape(c.areaWidth, c.areaHeight, c.frameWidth, c.frameHeight), c);
    }
}

TEST(PictureFit, EmptyAreasGiveNothingAndNoFactor) {
    EXPECT_EQ(largestWholeFactor(0, 1080, 512, 256), 0);
    EXPECT_EQ(largestWholeFactor(1920, -5, 512, 256), 0);
    EXPECT_EQ(largestWholeFactor(511, 1080, 512, 256), 0);
    EXPECT_EQ(largestWholeFactor(4096, 2048, 512, 256), 8);
    const PictureRect none = fitWholeFactor(0, 0, 512, 256);
    EXPECT_EQ(none.width, 0);
    EXPECT_EQ(none.height, 0);
}
