#include "display/display_modes.h"

#include <gtest/gtest.h>

namespace {

// A screen that offers every mode of the table, plus a few the table lacks.
DisplayModeTable offerEverything(int frameWidth, int frameHeight) {
    DisplayModeTable modes = initialDisplayModes();
    const int offered[][3] = {{320, 200, 32}, {320, 200, 16}, {320, 240, 32},  {320, 240, 16},
                              {512, 384, 32}, {512, 384, 16}, {640, 480, 32},  {640, 480, 16},
                              {800, 600, 16}, {800, 600, 32}, {1024, 768, 32}, {640, 480, 24}};
    for (const auto& m : offered) onEnumMode(modes, m[0], m[1], m[2], frameWidth, frameHeight);
    return modes;
}

// The first available mode is width x height x 32 and a 512 x frameHeight
// frame sits at (x, y) in it.
void expectChosenMode(const DisplayModeTable& modes, int frameHeight, int width, int height, int x, int y) {
    const DisplayModeEntry* mode = firstAvailableMode(modes);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->width, width);
    EXPECT_EQ(mode->height, height);
    EXPECT_EQ(mode->bitsPerPixel, 32);
    const PictureOffset at = centreOffset(mode->width, mode->height, 512, frameHeight);
    EXPECT_EQ(at.x, x);
    EXPECT_EQ(at.y, y);
}

}  // namespace

TEST(DisplayModes, Height256ChoosesThe512x384x32ModeWithThePicture64RowsDown) {
    expectChosenMode(offerEverything(512, 256), 256, 512, 384, 0, 64);
}

TEST(DisplayModes, Height385SkipsThe384RowModesAndChooses640x480x32At64_47) {
    DisplayModeTable modes = offerEverything(512, 385);
    EXPECT_EQ(modes[4].available, 0);  // 512 x 384 x 32 is too short
    expectChosenMode(modes, 385, 640, 480, 64, 47);
}

TEST(DisplayModes, NothingOfferedMeansNoModeAndTheWindowIsUsed) {
    DisplayModeTable modes = initialDisplayModes();
    onEnumMode(modes, 1024, 768, 32, 512, 256);  // not in the table
    onEnumMode(modes, 512, 384, 24, 512, 256);   // right size, odd depth
    onEnumMode(modes, 320, 240, 32, 512, 256);   // in the table but too small for the frame
    EXPECT_EQ(firstAvailableMode(modes), nullptr);
}

TEST(DisplayModes, At800x600The16BitModeIsTriedFirst) {
    DisplayModeTable modes = initialDisplayModes();
    onEnumMode(modes, 800, 600, 32, 512, 256);
    onEnumMode(modes, 800, 600, 16, 512, 256);
    const DisplayModeEntry* mode = firstAvailableMode(modes);
    ASSERT_NE(mode, nullptr);
    EXPECT_EQ(mode->bitsPerPixel, 16);
}

TEST(DisplayModes, TheTableEndsWithAWidthZeroEntry) {
    const DisplayModeTable modes = initialDisplayModes();
    EXPECT_EQ(modes.back().width, 0);
    for (int i = 0; i < 10; ++i) EXPECT_EQ(modes[i].available, 0);
}
