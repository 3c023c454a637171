#include "app/warp_sections.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <tuple>
#include <vector>

#include "app/assets.h"
#include "app/demo.h"
#include "app/opening.h"
#include "display/display.h"
#include "fx2d/glow_rays.h"
#include "fx2d/mul_table.h"
#include "fx2d/row_effects.h"
#include "fx2d/warp_grid.h"
#include "resources/image.h"
#include "resources/load_error.h"
#include "sync/demo_clock.h"

namespace {

constexpr int kW = 512;
constexpr int kH = 256;
constexpr float kHalfPi = 1.5707964f;

Image noisePicture(int w, int h, uint32_t mask, unsigned start) {
    Image image(w, h);
    std::mt19937 rng(start);
    for (uint32_t& p : image.pixels) p = rng() & mask;
    return image;
}

// ---- the tunnel grid

TEST(TunnelGrid, CentrePointLooksStraightDownTheTube) {
    WarpGrid grid;
    fillTunnelGrid(grid, 0.0f, 0.0f);
    // u = v = 0: both angles are pi / 2.
    EXPECT_FLOAT_EQ(grid.at(8, 16).u, 50.0f * kHalfPi);
    EXPECT_FLOAT_EQ(grid.at(8, 16).v, 50.0f * kHalfPi);

    fillTunnelGrid(grid, 0.0f, 1.0f);  // one second scrolls 1.2 across, 0.4 along
    EXPECT_NEAR(grid.at(8, 16).u, 50.0 * (M_PI / 2 + 1.2), 1e-4);
    EXPECT_NEAR(grid.at(8, 16).v, 50.0 * (M_PI / 2 + 0.4), 1e-4);

    fillTunnelGrid(grid, kHalfPi, 0.0f);  // a quarter turn: (gu, gv) -> (-gv, gu)
    EXPECT_NEAR(grid.at(8, 16).u, -50.0 * M_PI / 2, 1e-4);
    EXPECT_NEAR(grid.at(8, 16).v, 50.0 * M_PI / 2, 1e-4);
}

TEST(TunnelGrid, MirrorColumnsAddUpToHalfATurn) {
    WarpGrid grid;
    fillTunnelGrid(grid, 0.0f, 0.0f);
    // atan2(w, -u) = pi - atan2(w, u): columns j and 32 - j mirror each other.
    for (int i = 0; i < WarpGrid::kRows; ++i)
        for (int j = 0; j < WarpGrid::kColumns; ++j) {
            EXPECT_NEAR(grid.at(i, j).u + grid.at(i, 32 - j).u, 50.0 * M_PI, 1e-3) << i << "," << j;
            EXPECT_NEAR(grid.at(i, j).v + grid.at(16 - i, j).v, 50.0 * M_PI, 1e-3) << i << "," << j;
        }
}

// A negative 2 - (u^2 + v^2) anywhere would give a NaN through the root.
TEST(TunnelGrid, EveryPointIsFiniteSoTheRootTermStaysPositive) {
    WarpGrid grid;
    for (float angle : {0.0f, 1.0f, -2.5f, 300.0f})
        for (float t : {0.0f, 0.5f, 17.0f, -3.0f}) {
            fillTunnelGrid(grid, angle, t);
            for (int i = 0; i < WarpGrid::kRows; ++i)
                for (int j = 0; j < WarpGrid::kColumns; ++j) {
                    ASSERT_TRUE(std::isfinite(grid.at(i, j).u)) << i << "," << j;
                    ASSERT_TRUE(std::isfinite(grid.at(i, j).v)) << i << "," << j;
                }
        }
}

TEST(TunnelGrid, AngleTurnsAtPointThreeRadiansPerSecond) {
    EXPECT_EQ(tunnelAngle(0), 0.0f);
    EXPECT_EQ(tunnelAngle(1000), 0.3f);
    EXPECT_EQ(tunnelAngle(-2000), -0.6f);
}

// Rounds to a float through memory, so no optimiser can keep the wider value.
float storedFloat(double value) {
    volatile float stored = static_cast<float>(value);
    return stored;
}

// One tunnel point worked out step by step, every intermediate rounded to a float.
WarpGrid::Point tunnelPointStepByStep(int i, int j, float angle, float t) {
    const float u = storedFloat((j - 16) / 16.5);
    const float v = storedFloat((i - 8) / 8.5);
    const float squares = storedFloat(storedFloat(u * u) + storedFloat(v * v));
    const float rest = storedFloat(2.0f - squares);
    const float scaledRoot = storedFloat(4.0 * std::sqrt(static_cast<double>(rest)));
    const float w = storedFloat(1.0f / scaledRoot);
    const float gu = storedFloat(std::atan2(static_cast<double>(w), static_cast<double>(u)));
    const float gv = storedFloat(std::atan2(static_cast<double>(w), static_cast<double>(v)));
    const double cosA = std::cos(static_cast<double>(angle)), sinA = std::sin(static_cast<double>(angle));
    const float turnedU = storedFloat(gu * cosA - gv * sinA);
    const float turnedV = storedFloat(gu * sinA + gv * cosA);
    const float scrolledU = storedFloat(turnedU + 1.2 * static_cast<double>(t));
    const float scrolledV = storedFloat(turnedV + 0.4 * static_cast<double>(t));
    return {storedFloat(50.0f * scrolledU), storedFloat(50.0f * scrolledV)};
}

TEST(TunnelGrid, EveryStepIsRoundedToAFloat) {
    // (17.6958 rad, 1.8997 s): the turned angles must be rounded before the scroll
    // is added, or point (0, 1) comes out at v = -29.6517696 instead of -29.6517735.
    WarpGrid grid;
    const float cases[][2] = {
        {17.6958008f, 1.89972019f}, {0.0f, 0.0f}, {0.3f, 0.25f}, {-2.5f, 7.75f}, {95.1234f, 31.5f}};
    for (const auto& c : cases) {
        fillTunnelGrid(grid, c[0], c[1]);
        for (int i = 0; i < WarpGrid::kRows; ++i)
            for (int j = 0; j < WarpGrid::kColumns; ++j) {
                const WarpGrid::Point expected = tunnelPointStepByStep(i, j, c[0], c[1]);
                ASSERT_EQ(grid.at(i, j).u, expected.u) << c[0] << " " << c[1] << " at " << i << "," << j;
                ASSERT_EQ(grid.at(i, j).v, expected.v) << c[0] << " " << c[1] << " at " << i << "," << j;
            }
    }
}

// ---- the row wipes

std::vector<int32_t> wipe(int k, int m, float t) {
    std::vector<int32_t> levels(kWipeRows);
    rowWipeLevels(levels.data(), k, m, t);
    return levels;
}

TEST(RowWipe, TunnelWipeStartsEmptyAndEndsFull) {
    for (int32_t level : wipe(180, 1, 0.0f)) EXPECT_EQ(level, 0);
    for (int32_t level : wipe(180, 1, 3.4f)) EXPECT_EQ(level, 255);
}

TEST(RowWipe, TunnelWipeReachesTheMiddleRowsFirst) {
    // With pi written as 3.141592 the band peaks just below 256 (255.99...).
    EXPECT_EQ(wipe(180, 1, 0.5f)[128], 0);
    EXPECT_EQ(wipe(180, 1, 0.6f)[128], 7);  // 108 - 356 + 255.99
    EXPECT_EQ(wipe(180, 1, 1.0f)[128], 79);
    EXPECT_EQ(wipe(180, 1, 1.97f)[128], 254);
    EXPECT_EQ(wipe(180, 1, 1.98f)[128], 255);
    const auto at198 = wipe(180, 1, 1.98f);  // 356.4 - 356 truncates to 0
    EXPECT_EQ(at198[0], 0);
    EXPECT_EQ(at198[40], 0);
    EXPECT_EQ(at198[216], 0);
    EXPECT_EQ(at198[255], 0);
    EXPECT_EQ(wipe(180, 1, 1.99f)[0], 2);
}

TEST(RowWipe, PanelWipeIsFullOnce290tMinus356Reaches511) {
    for (int32_t level : wipe(290, 3, 2.99f)) EXPECT_EQ(level, 255);  // 511.1
    const auto before = wipe(290, 3, 2.98f);                          // 508.2
    EXPECT_EQ(before[128], 252);                                      // the middle band trails
    EXPECT_EQ(before[0], 255);
    EXPECT_EQ(before[69], 255);  // the outer bands lead
}

TEST(RowWipe, AnyTimeGivesLevelsInRange) {
    const float nan = std::numeric_limits<float>::quiet_NaN();
    for (int32_t level : wipe(290, 3, nan)) EXPECT_EQ(level, 0);
    for (int32_t level : wipe(290, 3, 1e30f)) EXPECT_EQ(level, 255);
    for (int32_t level : wipe(180, 1, -1e30f)) EXPECT_EQ(level, 0);
}

// The band waves are kept between frames: switching between the two wipes, every
// row still gets 256 sin(m * 3.141592 * (row - 40) / 176) added to the rising level.
TEST(RowWipe, BandsFollowTheirOwnWaveWhenTheWipesAlternate) {
    for (int round = 0; round < 3; ++round)
        for (auto [k, m, t] : {std::tuple{180, 1, 1.2f}, {290, 3, 1.5f}, {180, 1, 0.9f}, {290, 3, 2.2f}}) {
            const auto levels = wipe(k, m, t);
            const double rising = std::trunc(static_cast<double>(static_cast<float>(k) * t - 356.0f));
            for (int row = 40; row <= 215; ++row) {
                const double level = std::trunc(256.0 * std::sin(m * 3.141592 * (row - 40) / 176) + rising);
                ASSERT_EQ(levels[row], std::clamp(static_cast<int32_t>(level), 0, 255))
                    << "m " << m << " row " << row;
            }
        }
}

// ---- the panel

TEST(Panel, ChecksThePictureSize) {
    EXPECT_NO_THROW(checkPanelPicture(Image(359, 256)));
    EXPECT_NO_THROW(checkPanelPicture(Image(359, 300)));
    for (auto [w, h] : {std::pair{360, 256}, {358, 256}, {359, 255}, {512, 256}}) {
        try {
            checkPanelPicture(Image(w, h));
            FAIL() << "accepted " << w << " x " << h;
        } catch (const LoadError& e) {
            EXPECT_EQ(std::string(e.what()).rfind("p6back.jpg: ", 0), 0u) << e.what();
        }
    }
}

TEST(Panel, PictureOnTheLeftGreyOnTheRight) {
    const Image p6back = noisePicture(359, 300, 0xFFFFFFFFu, 3);
    std::vector<uint32_t> panel(kW * kH, 0);
    buildPanel(panel.data(), p6back);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x)
            ASSERT_EQ(panel[y * kW + x], x < 359 ? p6back.row(y)[x] : 0x00A5A5A5u) << x << "," << y;
}

// ---- the scenes on the process-wide buffers

uint32_t clockAtFiveSeconds() { return 5000; }

class WarpScenes : public ::testing::Test {
protected:
    // The scenes read process-wide state; each test puts back what it found.
    void SetUp() override {
        savedFrame_ = frameBuffer;
        savedWork_ = workBuffer;
        savedAssets_ = assets;
        savedClockBase_ = clockBase.load();
        buildMulTable();
        frame_ = noisePicture(kW, kH, 0x00FFFFFFu, 1).pixels;
        work_.assign(kW * kH, 0x00777777u);
        frameBuffer = frame_.data();
        workBuffer = work_.data();
        assets.txt5 = &txt5_;
        assets.p6back = &p6back_;
        assets.rays = &rays_;
        assets.txt1 = &txt1_;
        assets.s1 = &s1_;
        setDemoClockSource(clockAtFiveSeconds);
        clockBase.store(0);
    }
    void TearDown() override {
        setDemoClockSource(nullptr);
        clockBase.store(savedClockBase_);
        frameBuffer = savedFrame_;
        workBuffer = savedWork_;
        assets = savedAssets_;
    }

    uint32_t* savedFrame_ = nullptr;
    uint32_t* savedWork_ = nullptr;
    Assets savedAssets_;
    uint32_t savedClockBase_ = 0;

    // The tunnel texture carries a few near-white texels, so the glow has lights.
    Image txt5_ = [] {
        Image image = noisePicture(256, 256, 0x007F7F7Fu, 5);
        for (int k = 0; k < 256 * 256; k += 977) image.pixels[k] = 0x00FFFFFFu;
        return image;
    }();
    Image p6back_ = noisePicture(359, 256, 0x00FFFFFFu, 6);
    Image ray_ = noisePicture(256, 256, 0x00070707u, 7);
    GlowRays rays_{ray_};
    Image txt1_ = noisePicture(256, 256, 0x00FFFFFFu, 8);
    Image s1_ = noisePicture(512, 256, 0x00FFFFFFu, 9);
    std::vector<uint32_t> frame_;
    std::vector<uint32_t> work_;
};

TEST_F(WarpScenes, TunnelWarpDrawsIntoWorkBufferOnly) {
    const auto frameBefore = frame_;
    tunnelWarp(2.0f);
    EXPECT_EQ(frame_, frameBefore);

    WarpGrid grid;
    fillTunnelGrid(grid, tunnelAngle(5000), 2.0f);
    std::vector<uint32_t> expected(kW * kH);
    warpCopy(expected.data(), grid, txt5_);
    EXPECT_EQ(work_, expected);
}

TEST_F(WarpScenes, WipeToTunnelGoesFromFrameToWorkBuffer) {
    tunnelWarp(0.0f);
    const auto frameBefore = frame_;
    wipeToTunnel(0.0f);
    EXPECT_EQ(frame_, frameBefore);
    wipeToTunnel(1.0f);
    EXPECT_NE(frame_, frameBefore);
    EXPECT_NE(frame_, work_);
    wipeToTunnel(3.4f);
    EXPECT_EQ(frame_, work_);
}

TEST_F(WarpScenes, GlowSceneShowsTheTunnelWithRays) {
    tunnelWarp(0.0f);
    std::vector<uint32_t> source = work_, expected(kW * kH);
    rays_.apply(expected.data(), source.data());
    glowScene(0.0f);
    EXPECT_EQ(frame_, expected);
    EXPECT_NE(frame_, source);  // the texture's white texels did emit
}

TEST_F(WarpScenes, WipeToPanelStartsWithTheFrameAndEndsWithThePanel) {
    std::vector<uint32_t> panel(kW * kH);
    buildPanel(panel.data(), p6back_);
    const auto frameBefore = frame_;
    wipeToPanel(0.0f);
    EXPECT_EQ(frame_, frameBefore);
    EXPECT_EQ(work_, panel);
    wipeToPanel(3.0f);
    EXPECT_EQ(frame_, panel);
}

// The wipe builds and blends the panel a few rows at a time; mid-wipe, every row is
// the whole panel blended over the whole frame at that row's level.
TEST_F(WarpScenes, WipeToPanelMidwayIsThePanelBlendedRowByRow) {
    std::vector<uint32_t> panel(kW * kH);
    buildPanel(panel.data(), p6back_);
    std::mt19937 rng(9);
    for (float t : {1.3f, 1.5f, 2.2f}) {
        for (uint32_t& p : frame_) p = rng() & 0x00FFFFFFu;
        auto expected = frame_;
        std::vector<int32_t> levels(kWipeRows);
        rowWipeLevels(levels.data(), 290, 3, t);
        blendRows(expected.data(), panel.data(), levels.data());
        wipeToPanel(t);
        EXPECT_EQ(frame_, expected) << t;
        EXPECT_EQ(work_, panel) << t;
    }
}

TEST_F(WarpScenes, ClosingWarpIsTheSwirlOfTheOpeningPictures) {
    WarpGrid grid;
    fillSwirlGrid(grid, demoTime);
    std::vector<uint32_t> expected(kW * kH);
    warpBlendWith(expected.data(), grid, txt1_, s1_);
    closingWarp(0.0f);
    EXPECT_EQ(frame_, expected);
    frame_.assign(kW * kH, 0x00FFFFFFu);  // the old frame does not show through
    closingWarp(7.0f);
    EXPECT_EQ(frame_, expected);
}

TEST_F(WarpScenes, StartUpCheckNamesTheBadPicture) {
    EXPECT_NO_THROW(checkWarpSectionPictures());
    Image narrow(128, 256);
    assets.txt5 = &narrow;
    EXPECT_THROW(checkWarpSectionPictures(), LoadError);
    assets.txt5 = &txt5_;
    Image wide(512, 256);
    assets.p6back = &wide;
    try {
        checkWarpSectionPictures();
        FAIL();
    } catch (const LoadError& e) {
        EXPECT_EQ(std::string(e.what()).rfind("p6back.jpg: ", 0), 0u) << e.what();
    }
}

}  // namespace
