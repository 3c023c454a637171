// One whole frame of each 3D section, through the scene functions themselves
// with their backgrounds, on the default content (generated into a temporary
// folder when the build folder has none). In frames per second, next to a
// memcpy of the 512 x 256 frame; each runs through its section at 60 frames a
// second so that the camera, the emitters and the dents all move.
#include <benchmark/benchmark.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/demo.h"
#include "app/sections_3d.h"
#include "bench/bench_common.h"
#include "display/display.h"
#include "fx2d/mul_table.h"
#include "resources/resource_cache.h"
#include "scene3d/world.h"
#include "tools/content/music_timing.h"

namespace {

std::string contentPack() {
    const std::string built = std::string(ZD_BINARY_DIR) + "/content/data.fil";
    if (std::filesystem::exists(built)) return built;
    static std::string made;
    if (made.empty()) {
        char pattern[] = "/tmp/zd-bench-XXXXXX";
        if (mkdtemp(pattern) == nullptr) std::abort();
        const std::string command = std::string(ZD_BINARY_DIR) + "/zedariva-content " + pattern + " > /dev/null";
        if (std::system(command.c_str()) != 0) std::abort();
        made = std::string(pattern) + "/data.fil";
    }
    return made;
}

// The presentation's start-up, as far as the scenes need it.
struct Presentation {
    std::unique_ptr<ResourceCache> cache;
    std::unique_ptr<World> world3d;
    std::vector<uint32_t> frame = std::vector<uint32_t>(kTargetPixels);
    std::vector<uint32_t> work = std::vector<uint32_t>(kTargetPixels);

    Presentation() {
        cache = std::make_unique<ResourceCache>(contentPack());
        world3d = std::make_unique<World>(cache.get(), kTargetWidth, kTargetHeight, kTargetWidth);
        world = world3d.get();
        frameBuffer = frame.data();
        workBuffer = work.data();
        buildMulTable();
        // The loading lines would break the benchmark's table.
        std::fflush(stdout);
        const int saved = dup(STDOUT_FILENO);
        if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
        loadAssets(*cache, *world3d);
        std::fflush(stdout);
        dup2(saved, STDOUT_FILENO);
        close(saved);
    }
};

void runSection(benchmark::State& state, void (*scene)(float), int firstOrder, int endOrder) {
    static Presentation presentation;
    const double length = musictime::sectionSeconds(firstOrder, endOrder);
    double t = 0.0;
    for (auto _ : state) {
        scene(static_cast<float>(t));
        t += 1.0 / 60.0;
        if (t >= length) t = 0.0;
        benchmark::ClobberMemory();
    }
    bench::countFrames(state);
}

void BM_MemcpyFrame(benchmark::State& state) { bench::memcpyFrame(state); }
BENCHMARK(BM_MemcpyFrame);

void BM_Part2Frame(benchmark::State& state) { runSection(state, scenePart2, 5, 9); }
void BM_Part3Frame(benchmark::State& state) { runSection(state, scenePart3, 9, 14); }
void BM_Part4Frame(benchmark::State& state) { runSection(state, scenePart4, 14, 21); }
void BM_Part6Frame(benchmark::State& state) { runSection(state, scenePart6, 26, 32); }
void BM_Part7Frame(benchmark::State& state) { runSection(state, scenePart7, 32, 38); }
void BM_BallFrame(benchmark::State& state) { runSection(state, ballScene, 38, 41); }
BENCHMARK(BM_Part2Frame);
BENCHMARK(BM_Part3Frame);
BENCHMARK(BM_Part4Frame);
BENCHMARK(BM_Part6Frame);
BENCHMARK(BM_Part7Frame);
BENCHMARK(BM_BallFrame);

}  // namespace
