// GlowRays::apply (through its scalar code and its vector paths) on a tunnel frame
// with bright spots, in frames per second, next to a plain memcpy of the same
// 512 x 256 frame. Uses "txt5.jpg" and
// "ray.tga" of the default content when it has been generated into the build
// folder, else a synthetic texture with near-white spots and a soft glow. Then the
// sprite blit alone (addSprite, without pre-sampled tiles), by sprite side.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/warp_sections.h"
#include "bench/bench_common.h"
#include "fx2d/glow_rays.h"
#include "fx2d/warp_grid.h"
#include "resources/image.h"
#include "resources/resource_cache.h"

namespace {

// The tunnel texture and the ray picture: from the content pack if there is one.
struct GlowPictures {
    std::unique_ptr<ResourceCache> cache;
    Image texture, ray;
    bool fromContent = false;

    GlowPictures() {
        cache = bench::openContentPack();
        if (cache) {
            texture = cache->getImage("txt5.jpg");
            ray = cache->getImage("ray.tga");
            fromContent = true;
        } else {
            texture = bench::spottedTexture();
            ray = bench::softGlow();
        }
    }
};

// The tunnel as the presentation draws it into workBuffer, at t seconds.
std::vector<uint32_t> tunnelFrame(const Image& texture, float t) {
    WarpGrid grid;
    fillTunnelGrid(grid, tunnelAngle(static_cast<int32_t>(t * 1000.0f)), t);
    std::vector<uint32_t> frame(kTargetPixels);
    warpCopy(frame.data(), grid, texture);
    return frame;
}

void BM_MemcpyFrame(benchmark::State& state) { bench::memcpyFrame(state); }
BENCHMARK(BM_MemcpyFrame);

// Each frame refills the source (apply clears pixels around every light), as
// the tunnel warp refills workBuffer in the presentation: one memcpy more.
void BM_GlowRaysApply(benchmark::State& state, VectorPath path) {
    const bench::OnPath on(state, path);
    static const GlowPictures pictures;
    const GlowRays rays(pictures.ray);
    const auto frame = tunnelFrame(pictures.texture, static_cast<float>(state.range(0)));
    std::vector<uint32_t> source(kTargetPixels), target(kTargetPixels);
    for (auto _ : state) {
        std::memcpy(source.data(), frame.data(), sizeof(uint32_t) * kTargetPixels);
        rays.apply(target.data(), source.data());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    int lights = 0;
    for (int y = 30; y <= 219; ++y)
        for (int x = 50; x <= 467; ++x) lights += (source[y * kTargetWidth + x] & 0xF8F8F8u) == 0xF8F8F8u;
    state.counters["lights"] = lights;
    state.counters["content"] = pictures.fromContent ? 1 : 0;
    bench::countFrames(state);
}
BENCHMARK_CAPTURE(BM_GlowRaysApply, scalar, VectorPath::None)->Arg(0)->Arg(3);
BENCHMARK_CAPTURE(BM_GlowRaysApply, sse2, VectorPath::Sse2)->Arg(0)->Arg(3);
BENCHMARK_CAPTURE(BM_GlowRaysApply, avx2, VectorPath::Avx2)->Arg(0)->Arg(3);

// One sprite size: 200 sprites of side about `n` along a diagonal, as one trail
// draws them, on a grey frame. Per pixel drawn.
void BM_AddSprite(benchmark::State& state, VectorPath path) {
    const bench::OnPath on(state, path);
    static const GlowPictures pictures;
    const GlowRays rays(pictures.ray);
    const int n = static_cast<int>(state.range(0));
    const std::vector<TexelSpan> spans = texelSpans(rays.level(0));
    std::vector<uint32_t> target(kTargetPixels, 0x404040u);
    long pixels = 0;
    for (auto _ : state) {
        for (int k = 0; k < 200; ++k) {
            const float size = 0.5f * static_cast<float>(n) + 0.002f * static_cast<float>(k);
            const int cx = 130 + (k * 7) % 250, cy = 128 + (k * 3) % 20 - 10;
            addSprite(target.data(), rays.level(0), cx, cy, size, spans.data());
            pixels += static_cast<long>(2 * size) * static_cast<long>(2 * size);
        }
        benchmark::ClobberMemory();
    }
    state.counters["ns_per_pixel"] = benchmark::Counter(
        static_cast<double>(pixels), benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK_CAPTURE(BM_AddSprite, scalar, VectorPath::None)->Arg(8)->Arg(12)->Arg(20)->Arg(40)->Arg(100);
BENCHMARK_CAPTURE(BM_AddSprite, sse2, VectorPath::Sse2)->Arg(8)->Arg(12)->Arg(20)->Arg(40)->Arg(100);
BENCHMARK_CAPTURE(BM_AddSprite, avx2, VectorPath::Avx2)->Arg(8)->Arg(12)->Arg(20)->Arg(40)->Arg(100);

}  // namespace
