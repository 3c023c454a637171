// One whole frame of each 2D section, through the scene functions themselves:
// the opening (swirl warp with the portraits), the tunnel with glow rays (and
// with the panel wipe on top), and the closing swirl. In frames per second, next
// to a memcpy of the 512 x 256 frame. Uses the default content when it has been
// generated into the build folder, else synthetic pictures of the same sizes. Each
// frame runs through the kernels' scalar code and through their vector paths.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/assets.h"
#include "app/demo.h"
#include "app/opening.h"
#include "app/warp_sections.h"
#include "display/display.h"
#include "fx2d/fade_picture.h"
#include "fx2d/glow_rays.h"
#include "fx2d/mul_table.h"
#include "bench/bench_common.h"
#include "resources/image.h"
#include "resources/resource_cache.h"
#include "sync/demo_clock.h"

namespace {

// The demo clock of these benchmarks shows each frame's own time, so that every path
// draws the same frames (the swirl and the tunnel turn with the demo clock).
uint32_t frameClockMs = 0;
uint32_t frameClock() { return frameClockMs; }

// Frame k of a cycle of 1000 frames at 50 a second (20 seconds): sets the demo
// clock and returns the scene time in seconds.
float atFrame(int frame) {
    frameClockMs = static_cast<uint32_t>(frame % 1000) * 20;
    return 0.02f * static_cast<float>(frame % 1000);
}

// Every picture the 2D sections read, with the process-wide pointers set to them.
struct SectionPictures {
    std::unique_ptr<ResourceCache> cache;
    std::vector<std::unique_ptr<Image>> synthetic;
    std::vector<std::unique_ptr<FadePicture>> portraits;
    std::unique_ptr<GlowRays> rays;
    std::vector<uint32_t> frame = std::vector<uint32_t>(kTargetPixels);
    std::vector<uint32_t> work = std::vector<uint32_t>(kTargetPixels);
    bool fromContent = false;

    Image& picture(const std::string& name, Image made) {
        if (cache) return cache->getImage(name);
        synthetic.push_back(std::make_unique<Image>(std::move(made)));
        return *synthetic.back();
    }

    SectionPictures() {
        setDemoClockSource(frameClock);
        frameClockMs = 0;
        restartDemoClock();
        cache = bench::openContentPack();
        fromContent = cache != nullptr;
        buildMulTable();
        frameBuffer = frame.data();
        workBuffer = work.data();
        assets.txt1 = &picture("txt1.jpg", bench::noisyImage(256, 256, 1));
        assets.s1 = &picture("s1.tga", bench::noisyImage(512, 256, 2));
        assets.txt5 = &picture("txt5.jpg", bench::spottedTexture());
        assets.p6back = &picture("p6back.jpg", bench::noisyImage(359, 256, 3));
        rays = std::make_unique<GlowRays>(picture("ray.tga", bench::softGlow()));
        assets.rays = rays.get();
        FadePicture** slots[8] = {&assets.pelk1, &assets.pelk2, &assets.dro1, &assets.dro2,
                                  &assets.tazu1, &assets.tazu2, &assets.kel1, &assets.kel2};
        const char* names[8] = {"pelk1.jpg", "pelk2.jpg", "dro1.jpg", "dro2.jpg",
                                "tazu1.jpg", "tazu2.jpg", "kel1.jpg", "kel2.jpg"};
        for (int k = 0; k < 8; ++k) {
            portraits.push_back(
                std::make_unique<FadePicture>(picture(names[k], bench::noisyImage(160, 120, 10 + k))));
            *slots[k] = portraits.back().get();
        }
    }
};

SectionPictures& pictures() {
    static SectionPictures instance;
    return instance;
}

void countFrames(benchmark::State& state) {
    bench::countFrames(state);
    state.counters["content"] = pictures().fromContent ? 1 : 0;
}

void BM_MemcpyFrame(benchmark::State& state) { bench::memcpyFrame(state); }
BENCHMARK(BM_MemcpyFrame);

// Orders 0 to 5: the swirl warp and all eight portraits (both pictures of each
// pair drawn, as while a pair cross-fades).
void BM_OpeningFrame(benchmark::State& state, VectorPath path) {
    const bench::OnPath on(state, path);
    pictures();
    for (float& level : portraitLevel) level = 0.5f;
    for (int frame = 0; auto _ : state) {
        atFrame(frame++);
        openingScene(0.0f);
        benchmark::ClobberMemory();
    }
    for (float& level : portraitLevel) level = 0.0f;
    countFrames(state);
}
BENCHMARK_CAPTURE(BM_OpeningFrame, scalar, VectorPath::None);
BENCHMARK_CAPTURE(BM_OpeningFrame, sse2, VectorPath::Sse2);
BENCHMARK_CAPTURE(BM_OpeningFrame, avx2, VectorPath::Avx2);
BENCHMARK_CAPTURE(BM_OpeningFrame, avx512, VectorPath::Avx512);

// Orders 21 to 25: the tunnel into workBuffer, then the frame with glow rays.
void BM_TunnelGlowFrame(benchmark::State& state, VectorPath path) {
    const bench::OnPath on(state, path);
    pictures();
    for (int frame = 0; auto _ : state) {
        const float t = atFrame(frame++);
        tunnelWarp(t);
        glowScene(t);
        benchmark::ClobberMemory();
    }
    countFrames(state);
}
BENCHMARK_CAPTURE(BM_TunnelGlowFrame, scalar, VectorPath::None);
BENCHMARK_CAPTURE(BM_TunnelGlowFrame, sse2, VectorPath::Sse2);
BENCHMARK_CAPTURE(BM_TunnelGlowFrame, avx2, VectorPath::Avx2);
BENCHMARK_CAPTURE(BM_TunnelGlowFrame, avx512, VectorPath::Avx512);

// From (25, 64): as above, with the panel built and wiped in over it.
void BM_TunnelGlowPanelFrame(benchmark::State& state, VectorPath path) {
    const bench::OnPath on(state, path);
    pictures();
    for (int frame = 0; auto _ : state) {
        const float t = atFrame(frame++);
        tunnelWarp(t);
        glowScene(t);
        wipeToPanel(1.5f);
        benchmark::ClobberMemory();
    }
    countFrames(state);
}
BENCHMARK_CAPTURE(BM_TunnelGlowPanelFrame, scalar, VectorPath::None);
BENCHMARK_CAPTURE(BM_TunnelGlowPanelFrame, sse2, VectorPath::Sse2);
BENCHMARK_CAPTURE(BM_TunnelGlowPanelFrame, avx2, VectorPath::Avx2);
BENCHMARK_CAPTURE(BM_TunnelGlowPanelFrame, avx512, VectorPath::Avx512);

// Orders 41 to 46: the swirl warp of the opening pictures.
void BM_ClosingFrame(benchmark::State& state, VectorPath path) {
    const bench::OnPath on(state, path);
    pictures();
    for (int frame = 0; auto _ : state) {
        atFrame(frame++);
        closingWarp(0.0f);
        benchmark::ClobberMemory();
    }
    countFrames(state);
}
BENCHMARK_CAPTURE(BM_ClosingFrame, scalar, VectorPath::None);
BENCHMARK_CAPTURE(BM_ClosingFrame, sse2, VectorPath::Sse2);
BENCHMARK_CAPTURE(BM_ClosingFrame, avx2, VectorPath::Avx2);
BENCHMARK_CAPTURE(BM_ClosingFrame, avx512, VectorPath::Avx512);

}  // namespace
