// The viewer controls in a capture-like run of this process on the generated
// content: frames on a clock that moves 40 ms a frame (25 fps), the music
// pulled frame by frame as a capture pulls it, no window and no sound card.
// A seek must give the frames of a fresh start at that order (the program's
// own --capture --start=N), and a pause must leave the frames after it as
// they would have been without it.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/command_line.h"
#include "app/demo.h"
#include "app/main_loop.h"
#include "app/schedule.h"
#include "app/startup.h"
#include "app/viewer_controls.h"
#include "display/display.h"
#include "display/screenshot.h"
#include "fx2d/mul_table.h"
#include "resources/resource_cache.h"
#include "scene3d/world.h"
#include "sync/demo_clock.h"
#include "sync/music_player.h"
#include "tests/capture/program_runs.h"

using namespace capture_runs;

namespace {

constexpr int kFps = 25;
constexpr int kFrame_ms = 1000 / kFps;
constexpr int kFrame_samples = 44100 / kFps;

uint32_t wallClock_ms = 0;  // what the demo clock's source reads
uint32_t readWallClock() { return wallClock_ms; }

// The program's start-up, as main runs it, with the capture's pulled sound
// and a clock of the test's own.
class InProcessPresentation {
public:
    explicit InProcessPresentation(int startOrder) {
        std::filesystem::current_path(kContent);
        cache_ = std::make_unique<ResourceCache>("data.fil");
        resources = cache_.get();
        world_ = std::make_unique<World>(cache_.get(), kTargetWidth, kTargetHeight, kTargetWidth);
        world = world_.get();
        setOffscreen(1);
        musicUsePulledOutput();
        setDemoClockSource(readWallClock);
        openDisplay(CommandLine{});
        allocateWorkBuffer();
        buildMulTable();
        loadAssets(*cache_, *world_);
        startMusic(startOrder);
        sound_.resize(2 * kFrame_samples);
    }

    // One frame as a capture draws it: the schedule at the clock's time, the
    // picture kept as its TGA file, then the frame's sound pulled.
    std::vector<uint8_t> drawFrame() {
        std::vector<uint8_t> tga;
        if (frameIsDue()) {
            runSchedule();
            followPlayback();
            tga.resize(tgaFileSize(kTargetWidth, kTargetHeight));
            encodeTga(frameBuffer, kTargetWidth, kTargetHeight, tga.data());
        }
        passFrame();
        return tga;
    }

    // The frame's time passes: the sound a device would take is pulled (while
    // paused, silence) and the clock moves on.
    void passFrame() {
        musicPull(sound_.data(), kFrame_samples);
        wallClock_ms += kFrame_ms;
    }

private:
    std::unique_ptr<ResourceCache> cache_;
    std::unique_ptr<World> world_;
    std::vector<int16_t> sound_;
};

// Frames 0 ... count - 1 of the program's own capture from `order`.
std::vector<std::vector<uint8_t>> freshStartFrames(int order, int count) {
    const std::filesystem::path folder = scratch("fresh-" + std::to_string(order));
    const ProgramRun run =
        runProgram("--capture=" + folder.string() + "/ --start=" + std::to_string(order) +
                   " --fps=" + std::to_string(kFps) + " --frames=" + std::to_string(count));
    EXPECT_EQ(run.exitCode, 0) << run.output;
    std::vector<std::vector<uint8_t>> frames;
    for (int k = 0; k < count; ++k) frames.push_back(readAll(folder / frameName(k)));
    std::filesystem::remove_all(folder);
    return frames;
}

void expectSameFrames(InProcessPresentation& run, const std::vector<std::vector<uint8_t>>& expected,
                      const std::string& what) {
    for (size_t k = 0; k < expected.size(); ++k) {
        ASSERT_FALSE(expected[k].empty()) << what << ": the program wrote no frame " << k;
        ASSERT_TRUE(run.drawFrame() == expected[k]) << what << ": frame " << k << " after the seek differs";
    }
}

// One process, one start-up: the whole story is one test.
TEST(ViewerControls, SeeksGiveAFreshStartsFramesAndAPauseStopsTime) {
    const std::filesystem::path previous = std::filesystem::current_path();
    constexpr int kSeekFrames = 50;  // 2 s after each seek
    const auto at41 = freshStartFrames(41, kSeekFrames);
    const auto at32 = freshStartFrames(32, 3 * kSeekFrames);

    // Two seconds of order 32 (the trails over the previous frame, with
    // particles), then forward across the 3D ball section into the 2D closing warp.
    InProcessPresentation run(32);
    for (int k = 0; k < 2 * kFps; ++k) run.drawFrame();
    seekToOrder(41);
    expectSameFrames(run, at41, "forward to order 41");

    // Back into the trails: particle pools, emitter times, the frame they
    // draw over and the random numbers start afresh.
    seekToOrder(32);
    const std::vector<std::vector<uint8_t>> firstPart(at32.begin(), at32.begin() + kSeekFrames);
    expectSameFrames(run, firstPart, "back to order 32");

    // A pause of 3 s: neither the demo clock nor the music moves, and the
    // frames after it are those of the run without it.
    pausePresentation();
    const int32_t pausedTime = demoTime();
    const PlaybackState pausedAt = playbackState();
    EXPECT_TRUE(pausedAt.paused);
    for (int k = 0; k < 3 * kFps; ++k) {
        EXPECT_TRUE(run.drawFrame().empty()) << "a frame was drawn while paused";
        ASSERT_EQ(demoTime(), pausedTime);
        ASSERT_EQ(playbackState().order, pausedAt.order);
        ASSERT_EQ(playbackState().row, pausedAt.row);
    }
    resumePresentation();
    EXPECT_EQ(demoTime(), pausedTime);
    EXPECT_FALSE(playbackState().paused);
    const std::vector<std::vector<uint8_t>> rest(at32.begin() + kSeekFrames, at32.end());
    expectSameFrames(run, rest, "order 32 after the pause");

    // Seeking below the first order starts at 0; at the end order, it ends.
    seekToOrder(-5);
    run.drawFrame();
    EXPECT_EQ(playbackState().order, 0);
    EXPECT_EQ(running, 1);
    seekToOrder(presentationEndOrder());
    EXPECT_EQ(running, 0);
    std::filesystem::current_path(previous);
}

}  // namespace
