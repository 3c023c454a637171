// GlowRays::apply on a tunnel frame with bright spots, in frames per second,
// next to a plain memcpy of the same 512 x 256 frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "fx2d/glow_rays.h"
#include "resources/image.h"

namespace {

constexpr int kW = 512;
constexpr int kH = 256;

// A dim, noisy 256 x 256 texture with a few dozen near-white spots, like the
// tunnel texture of the presentation.
Image spottedTexture() {
    Image texture(256, 256);
    std::mt19937 rng(99);
    for (uint32_t& p : texture.pixels) p = rng() & 0x003F5F7Fu;
    for (int spot = 0; spot < 40; ++spot) {
        const int cx = static_cast<int>(rng() % 256), cy = static_cast<int>(rng() % 256);
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                if (dx * dx + dy * dy <= 4) texture.pixels[((cy + dy) & 255) * 256 + ((cx + dx) & 255)] = 0x00FCFCFCu;
    }
    return texture;
}

// A soft round glow: bright in the middle, black at the rim.
Image rayPicture() {
    Image ray(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            const double r = std::hypot(x - 127.5, y - 127.5) / 128.0;
            const double a = r < 1.0 ? (1.0 - r) * (1.0 - r) : 0.0;
            const uint32_t c = static_cast<uint32_t>(a * 40.0);
            ray.pixels[y * 256 + x] = c * 0x010101u;
        }
    return ray;
}

// The tunnel mapping evaluated per pixel (the presentation interpolates it
// over a grid; for the glow workload only the look of the frame matters).
std::vector<uint32_t> tunnelFrame(const Image& texture, double t) {
    std::vector<uint32_t> frame(kW * kH);
    for (int y = 0; y < kH; ++y)
        for (int x = 0; x < kW; ++x) {
            const double u = (x / 16.0 - 16.0) / 16.5, v = (y / 16.0 - 8.0) / 8.5;
            const double w = 1.0 / (4.0 * std::sqrt(2.0 - (u * u + v * v)));
            const int tu = static_cast<int>(std::floor(50.0 * (std::atan2(w, u) + 1.2 * t)));
            const int tv = static_cast<int>(std::floor(50.0 * (std::atan2(w, v) + 0.4 * t)));
            frame[y * kW + x] = texture.pixels[(tv & 255) * 256 + (tu & 255)];
        }
    return frame;
}

void BM_MemcpyFrame(benchmark::State& state) {
    std::vector<uint32_t> a(kW * kH, 1), b(kW * kH);
    for (auto _ : state) {
        std::memcpy(b.data(), a.data(), sizeof(uint32_t) * kW * kH);
        benchmark::DoNotOptimize(b.data());
        benchmark::ClobberMemory();
    }
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_MemcpyFrame);

// Each frame refills the source (apply clears pixels around every light), as
// the tunnel warp refills workBuffer in the presentation: one memcpy more.
void BM_GlowRaysApply(benchmark::State& state) {
    const Image texture = spottedTexture();
    const Image ray = rayPicture();
    const GlowRays rays(ray);
    const auto frame = tunnelFrame(texture, static_cast<double>(state.range(0)));
    std::vector<uint32_t> source(kW * kH), target(kW * kH);
    for (auto _ : state) {
        std::memcpy(source.data(), frame.data(), sizeof(uint32_t) * kW * kH);
        rays.apply(target.data(), source.data());
        benchmark::DoNotOptimize(target.data());
        benchmark::ClobberMemory();
    }
    int lights = 0;
    for (int y = 30; y <= 219; ++y)
        for (int x = 50; x <= 467; ++x) lights += (source[y * kW + x] & 0xF8F8F8u) == 0xF8F8F8u;
    state.counters["lights"] = lights;
    state.counters["fps"] = benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}
BENCHMARK(BM_GlowRaysApply)->Arg(0)->Arg(3);

}  // namespace
