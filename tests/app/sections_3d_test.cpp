#include "app/sections_3d.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <set>
#include <vector>

#include "app/assets.h"
#include "app/demo.h"
#include "fx2d/mul_table.h"
#include "resources/image.h"
#include "resources/load_error.h"
#include "resources/resource_cache.h"
#include "scene3d/world.h"
#include "sync/demo_clock.h"
#include "tests/app/scene_state.h"
#include "tests/scene3d/generated_content.h"
#include "tools/content/music_timing.h"

namespace {

// Each background scrolls at its speed and stands still from its stop on.
TEST(Sections3d, BackgroundsScrollAndStopWhereTheyShould) {
    const struct {
        float speed, stopSeconds;
        int stop;
    } backgrounds[] = {{17, 31.8f, 540}, {20, 39.0f, 780}, {36, 32.8f, 1180}, {23, 21.1f, 485}};
    for (const auto& b : backgrounds) {
        EXPECT_EQ(scrollOffset(b.speed, 0.0f, b.stop), 0);
        EXPECT_EQ(scrollOffset(b.speed, 1.0f, b.stop), static_cast<int>(b.speed));
        EXPECT_LT(scrollOffset(b.speed, b.stopSeconds - 0.1f, b.stop), b.stop) << b.speed;
        EXPECT_EQ(scrollOffset(b.speed, b.stopSeconds, b.stop), b.stop) << b.speed;
        EXPECT_EQ(scrollOffset(b.speed, 1000.0f, b.stop), b.stop);
    }
    EXPECT_EQ(scrollOffset(17, -1.0f, 540), 0);
    EXPECT_EQ(scrollOffset(17, NAN, 540), 0);
}

TEST(Sections3d, SceneTimesAndTheBallsDents) {
    EXPECT_FLOAT_EQ(part3Time(1.0f), 1.0f);
    EXPECT_FLOAT_EQ(part3Time(7.0f), 0.5f);
    EXPECT_FLOAT_EQ(part3Time(13.25f), 0.25f);
    EXPECT_EQ(part6Time(3.0f), 1.5f);

    BallPush pushes[4];
    ballPushes(0.0f, pushes);
    const float want[4][3] = {{2, 0, 0}, {-2, 0, 0}, {0, 0, 2}, {0, 0, -2}};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(pushes[i].x, want[i][0]) << i;
        EXPECT_EQ(pushes[i].y, want[i][1]) << i;
        EXPECT_EQ(pushes[i].z, want[i][2]) << i;
    }
    ballPushes(1.0f, pushes);  // c = 1.8: the centres circle the origin at radius 2
    for (const BallPush& p : pushes) EXPECT_NEAR(std::hypot(p.x, p.y, p.z), 2.0, 1e-6);
}

// Every row and column a scene copies must exist, else start-up ends with
// one line naming the picture.
TEST(Sections3d, StartUpRefusesBackgroundsTooSmallForTheirScenes) {
    std::vector<uint32_t> frame(kTargetPixels);
    SceneStateGuard guard(frame);
    Image p3(512, 796), p4(1300, 256), nofx(153, 1436), p8(1000, 256);
    assets.p3back = &p3;
    assets.p4back = &p4;
    assets.nofx = &nofx;
    assets.p8back = &p8;
    EXPECT_NO_THROW(check3dSectionPictures());
    const struct {
        Image* Assets::*slot;
        int width, height;
        const char* file;
    } bad[] = {{&Assets::p3back, 512, 795, "p3back.jpg"}, {&Assets::p3back, 511, 800, "p3back.jpg"},
               {&Assets::p4back, 1299, 256, "p4back.jpg"}, {&Assets::p4back, 1300, 255, "p4back.jpg"},
               {&Assets::nofx, 153, 1435, "nofx.jpg"},     {&Assets::p8back, 999, 256, "p8back.jpg"}};
    for (const auto& b : bad) {
        Image* good = assets.*b.slot;
        Image small(b.width, b.height);
        assets.*b.slot = &small;
        try {
            check3dSectionPictures();
            ADD_FAILURE() << b.file << " " << b.width << " x " << b.height << " accepted";
        } catch (const LoadError& e) {
            EXPECT_EQ(std::string(e.what()).rfind(std::string(b.file) + ": ", 0), 0u) << e.what();
        }
        assets.*b.slot = good;
    }
}

// The six scene functions with the generated content loaded as at start-up.
class Sections3dScenes : public GeneratedContent {
protected:
    void SetUp() override {
        GeneratedContent::SetUp();
        previous_ = std::filesystem::current_path();
        std::filesystem::current_path(folder_);
        cache_ = std::make_unique<ResourceCache>("data.fil");
        world_ = std::make_unique<World>(cache_.get(), 512, 256, 512);
        world = world_.get();
        buildMulTable();
        loadAssets(*cache_, *world_);
    }
    void TearDown() override {
        world = nullptr;
        std::filesystem::current_path(previous_);
        GeneratedContent::TearDown();
    }

    std::vector<uint32_t> frame_ = std::vector<uint32_t>(kTargetPixels, 0);
    SceneStateGuard guard_{frame_};
    std::filesystem::path previous_;
    std::unique_ptr<ResourceCache> cache_;
    std::unique_ptr<World> world_;
};

// Every section through its whole length, every 0.1 s, over black stand-ins
// for its pictures, so that what is lit is the 3D render: it draws in its
// viewport, shades it in many colours, moves, never drops anything for lack
// of room, and shows its 3D in at least 9 of 10 frames.
TEST_F(Sections3dScenes, EverySectionDrawsIts3dInItsViewportWithinTheWorldThroughout) {
    Image black256(256, 256), p3(512, 796), p4(1300, 256), p6(359, 256), nofx(153, 1436), p8(1000, 256);
    assets.txt1 = &black256;
    assets.p3back = &p3;
    assets.p4back = &p4;
    assets.p6back = &p6;
    assets.nofx = &nofx;
    assets.p8back = &p8;
    const struct {
        const char* name;
        void (*scene)(float);
        int firstOrder, endOrder, viewportWidth;
    } sections[] = {{"scenePart2", scenePart2, 5, 9, 512},   {"scenePart3", scenePart3, 9, 14, 256},
                    {"scenePart4", scenePart4, 14, 21, 512}, {"scenePart6", scenePart6, 26, 32, 360},
                    {"scenePart7", scenePart7, 32, 38, 512}, {"ballScene", ballScene, 38, 41, 512}};
    constexpr int kVisiblePixels = 400;
    for (const auto& s : sections) {
        const double length = musictime::sectionSeconds(s.firstOrder, s.endOrder);
        int frames = 0, visible = 0;
        std::vector<uint32_t> atOneSecond;
        for (double t = 0.0; t < length; t += 0.1, ++frames) {
            std::fill(frame_.begin(), frame_.end(), 0u);
            s.scene(static_cast<float>(t));
            ASSERT_EQ(world->drops.total(), 0) << s.name << " at t = " << t;
            ASSERT_EQ(world->width, s.viewportWidth) << s.name;
            visible += std::count_if(frame_.begin(), frame_.end(), [](uint32_t p) { return p != 0; }) >= kVisiblePixels;
            if (frames == 10) {
                atOneSecond = frame_;
                EXPECT_GT(std::set<uint32_t>(frame_.begin(), frame_.end()).size(), 500u)
                    << s.name << " has few colours";
            }
            if (frames == 20) {
                EXPECT_NE(frame_, atOneSecond) << s.name << " does not move";
            }
        }
        EXPECT_GE(visible * 10, frames * 9) << s.name << ": " << visible << " of " << frames;
    }
}

// Frames 0 and 11 of a World start from the same cleared depth buffer and
// stamp, so the same pose draws the same picture.
TEST_F(Sections3dScenes, ThePart3SceneRepeatsEvery6AndAHalfSeconds) {
    scenePart3(32.0f);  // the background has stopped scrolling
    const std::vector<uint32_t> first = frame_;
    for (int frame = 1; frame <= 10; ++frame) scenePart3(32.0f + 0.5f * frame);
    scenePart3(38.5f);
    EXPECT_EQ(frame_, first);
}

// The swirl's angle comes from a clock reading taken before the frame is
// cleared and the scene drawn.
std::vector<uint32_t>* watchedFrame = nullptr;
bool frameUntouchedAtFirstReading = false;
int clockReadings = 0;
uint32_t watchingClock() {
    if (clockReadings++ == 0) frameUntouchedAtFirstReading = (*watchedFrame)[0] == 0x00ABCDEFu;
    return 1000u * static_cast<uint32_t>(clockReadings);
}

TEST_F(Sections3dScenes, ScenePart2ReadsTheClockBeforeDrawing) {
    std::fill(frame_.begin(), frame_.end(), 0x00ABCDEFu);
    watchedFrame = &frame_;
    clockReadings = 0;
    setDemoClockSource(watchingClock);
    scenePart2(1.0f);
    setDemoClockSource(nullptr);
    EXPECT_TRUE(frameUntouchedAtFirstReading);
    EXPECT_GT(clockReadings, 1);
}

}  // namespace
