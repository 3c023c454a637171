// The slowest 2D frame (the tunnel with its glow rays and the panel wiped in
// over them, orders 25 and 26) and the slowest 3D frame (the colonnade of
// orders 14 to 20), drawn by the scene functions on the content in the
// working folder, timed frame by frame. The same program runs natively and
// in a browser (bench/web_speed.py runs both), so the two times compare the
// hosts and nothing else. Prints one line a frame kind: the best and the
// median of its rounds, in milliseconds a frame.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <vector>

#include "app/assets.h"
#include "app/demo.h"
#include "app/sections_3d.h"
#include "app/warp_sections.h"
#include "display/display.h"
#include "fx2d/mul_table.h"
#include "fx2d/vector_paths.h"
#include "resources/load_error.h"
#include "resources/resource_cache.h"
#include "scene3d/world.h"
#include "sync/demo_clock.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kRounds = 7;
constexpr float kFrame_s = 1.0f / 60.0f;

uint32_t clock_ms = 0;  // the demo clock follows the frames' own times
uint32_t frameClock() { return clock_ms; }

void tunnelGlowPanel(float t) {
    clock_ms = static_cast<uint32_t>(t * 1000.0f);
    tunnelWarp(t);
    glowScene(t);
    wipeToPanel(t);
}

void colonnade(float t) {
    clock_ms = static_cast<uint32_t>(t * 1000.0f);
    scenePart4(t);
}

// Milliseconds a frame over rounds of `frames` frames, 1/60 s apart.
void timeFrames(const char* name, void (*frame)(float), int frames) {
    std::vector<double> rounds;
    for (int round = 0; round < kRounds; ++round) {
        const Clock::time_point start = Clock::now();
        for (int k = 0; k < frames; ++k) frame(static_cast<float>(k) * kFrame_s);
        rounds.push_back(std::chrono::duration<double, std::milli>(Clock::now() - start).count() / frames);
    }
    std::sort(rounds.begin(), rounds.end());
    std::printf("%s: %.3f ms a frame (best of %d rounds of %d frames; median %.3f)\n", name, rounds.front(),
                kRounds, frames, rounds[rounds.size() / 2]);
}

}  // namespace

int main(int argc, char** argv) {
    const int frames = argc > 1 ? std::max(1, std::atoi(argv[1])) : 120;
    static std::vector<uint32_t> frame(kTargetPixels), work(kTargetPixels);
    static std::unique_ptr<ResourceCache> cache;
    static std::unique_ptr<World> world3d;
    try {
        cache = std::make_unique<ResourceCache>("data.fil");
        resources = cache.get();
        world3d = std::make_unique<World>(cache.get(), kTargetWidth, kTargetHeight, kTargetWidth);
        world = world3d.get();
        frameBuffer = frame.data();
        workBuffer = work.data();
        buildMulTable();
        loadAssets(*cache, *world3d);
    } catch (const LoadError& error) {
        std::printf("%s\n", error.what());
        return 1;
    }
    setDemoClockSource(frameClock);
    restartDemoClock();
    std::printf("vector path: %s\n", vectorPathName(vectorPath()));
    timeFrames("tunnel, glow and panel", tunnelGlowPanel, frames);
    timeFrames("colonnade", colonnade, frames);
    return 0;
}
