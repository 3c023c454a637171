#include "app/opening.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "app/assets.h"
#include "display/display.h"
#include "fx2d/fade_picture.h"
#include "fx2d/target.h"
#include "fx2d/warp_grid.h"
#include "resources/image.h"
#include "resources/load_error.h"
#include "tests/app/scene_state.h"

namespace {

int32_t clockAtZero() { return 0; }

Image solid(int w, int h, uint32_t colour) {
    Image image(w, h);
    std::fill(image.pixels.begin(), image.pixels.end(), colour);
    return image;
}

// The opening over black pictures: the warp leaves black, so only the portraits
// show: every first picture is green, every second picture red.
class OpeningScene : public ::testing::Test {
protected:
    void SetUp() override {
        assets.txt1 = &black256_;
        assets.s1 = &black512_;
        assets.pelk1 = assets.dro1 = assets.tazu1 = assets.kel1 = &first_;
        assets.pelk2 = assets.dro2 = assets.tazu2 = assets.kel2 = &second_;
    }
    void TearDown() override {
        for (float& level : portraitLevel) level = 0.0f;
    }

    void drawAllAt(float level) {
        for (float& l : portraitLevel) l = level;
        openingScene(0.0f);
    }
    bool frameHas(uint32_t mask) const {
        for (uint32_t pixel : frame_)
            if (pixel & mask) return true;
        return false;
    }

    Image black256_ = solid(256, 256, 0);
    Image black512_ = solid(512, 256, 0);
    Image greenImage_ = solid(100, 60, 0x0000FF00);
    Image redImage_ = solid(100, 60, 0x00FF0000);
    FadePicture first_{greenImage_};
    FadePicture second_{redImage_};
    std::vector<uint32_t> frame_ = std::vector<uint32_t>(kTargetPixels, 0x00FFFFFF);
    SceneStateGuard guard_{frame_};
};

}  // namespace

TEST(SwirlGrid, AtTimeZeroIsTheCentredGridPlusTheSways) {
    WarpGrid grid;
    fillSwirlGrid(grid, clockAtZero);
    for (int i = 0; i < WarpGrid::kRows; ++i)
        for (int j = 0; j < WarpGrid::kColumns; ++j) {
            const float u = static_cast<float>(16 * j - 256 + 44.0 * std::cos(0.3 * j));
            float v = static_cast<float>(16 * i - 128 + 44.0 * std::cos(0.2 * j));
            v = static_cast<float>(v + 44.0 * std::cos(0.2 * i));
            ASSERT_EQ(grid.at(i, j).u, u) << i << "," << j;
            ASSERT_EQ(grid.at(i, j).v, v) << i << "," << j;
        }
}

TEST(SwirlGrid, TurnsByTheAngleReadFirst) {
    // The first reading (10 s) sets a 1-radian turn; the cosine terms then see 0.
    static int calls;
    calls = 0;
    auto clock = +[]() -> int32_t { return calls++ == 0 ? 10000 : 0; };
    WarpGrid turned, straight;
    fillSwirlGrid(turned, clock);
    fillSwirlGrid(straight, clockAtZero);
    const double a = 1.0f;
    for (int i = 0; i < WarpGrid::kRows; ++i)
        for (int j = 0; j < WarpGrid::kColumns; ++j) {
            const double u = straight.at(i, j).u, v = straight.at(i, j).v;
            ASSERT_EQ(turned.at(i, j).u, static_cast<float>(u * std::cos(a) - v * std::sin(a)));
            ASSERT_EQ(turned.at(i, j).v, static_cast<float>(u * std::sin(a) + v * std::cos(a)));
        }
}

TEST_F(OpeningScene, SecondPictureOnlyAboveLevel015FirstOnlyBelow09) {
    drawAllAt(0.0f);
    EXPECT_TRUE(frameHas(0x0000FF00));
    EXPECT_FALSE(frameHas(0x00FF0000));

    drawAllAt(0.15f);
    EXPECT_TRUE(frameHas(0x0000FF00));
    EXPECT_FALSE(frameHas(0x00FF0000));

    drawAllAt(0.5f);
    EXPECT_TRUE(frameHas(0x0000FF00));
    EXPECT_TRUE(frameHas(0x00FF0000));

    drawAllAt(0.9f);
    EXPECT_FALSE(frameHas(0x0000FF00));
    EXPECT_TRUE(frameHas(0x00FF0000));
}

TEST_F(OpeningScene, PairsGrowFromHalfSizeAtTheirPlaces) {
    // Level 0: first pictures at half size (50 x 30) and level 0.5: pair 1 at (0, 0),
    // pair 2 at (0, 40), pair 3 at (0, 126), pair 4 at (0, 186).
    drawAllAt(0.0f);
    for (int y : {0, 29, 40, 69, 126, 155, 186, 215}) EXPECT_EQ(frame_[y * 512 + 49], 0x00007F00u) << y;
    for (int y : {30, 39, 70, 125, 156, 185, 216}) EXPECT_EQ(frame_[y * 512 + 49], 0u) << y;
    EXPECT_EQ(frame_[50], 0u);
}

TEST(LevelSetters, RaiseDoublesTimeDropFallsToZero) {
    raiseLevel1(0.25f);
    EXPECT_EQ(portraitLevel[0], 0.5f);
    dropLevel1(0.1f);
    EXPECT_EQ(portraitLevel[0], static_cast<float>(1.0 - 2.3 * static_cast<double>(0.1f)));
    dropLevel1(0.49f);
    EXPECT_EQ(portraitLevel[0], 0.0f);
    raiseLevel4(0.3f);
    EXPECT_EQ(portraitLevel[3], 0.6f);
    EXPECT_EQ(portraitLevel[1], 0.0f);
    for (float& level : portraitLevel) level = 0.0f;
}

TEST(SmearWave, LeavesFrameAtZeroAndSmearsOnlyTheMiddleBand) {
    auto frame = noiseFrame();
    const SceneStateGuard guard(frame);
    smearWave(0.0f);
    EXPECT_EQ(frame, noiseFrame());

    smearWave(1.0f);
    const auto before = noiseFrame();
    for (int y = 0; y < kTargetHeight; ++y) {
        const bool same =
            std::equal(frame.begin() + y * 512, frame.begin() + (y + 1) * 512, before.begin() + y * 512);
        // Rows 40 (radius 0), 41 and 215 (radius 1, which keeps a row's colours) stay.
        EXPECT_EQ(same, y < 42 || y > 214) << "row " << y;
    }
}

TEST(SmearWave, NaNTimeLeavesTheFrame) {
    auto frame = noiseFrame();
    const SceneStateGuard guard(frame);
    smearWave(std::numeric_limits<float>::quiet_NaN());
    EXPECT_EQ(frame, noiseFrame());
}

TEST(OpeningPictures, CheckNamesTheFileThatDoesNotFit) {
    const Assets saved = assets;
    Image texture(256, 256), wide(512, 256), small(200, 200);
    assets.txt1 = &texture;
    assets.s1 = &wide;
    EXPECT_NO_THROW(checkOpeningPictures());
    assets.s1 = &small;
    try {
        checkOpeningPictures();
        ADD_FAILURE() << "no error";
    } catch (const LoadError& error) {
        EXPECT_EQ(std::string(error.what()).rfind("s1.tga: ", 0), 0u) << error.what();
    }
    assets = saved;
}
