// Presenting one 512 x 256 frame onto a 640 x 480 surface: the 32-bit row copy,
// RGB565 pair packing and the general mask conversion at 16 and 32 bits.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "display/pixel_convert.h"

namespace {

constexpr int kW = 512;
constexpr int kH = 256;
constexpr int kSurfaceW = 640;
constexpr int kSurfaceH = 480;

std::vector<uint32_t> noisyFrame() {
    std::vector<uint32_t> frame(kW * kH);
    std::mt19937 rng(7);
    for (uint32_t& p : frame) p = rng() & 0x00FFFFFFu;
    return frame;
}

void presentInto(benchmark::State& state, const PixelConversion& conversion) {
    const std::vector<uint32_t> frame = noisyFrame();
    const int pitch_bytes = kSurfaceW * conversion.bitsPerPixel / 8;
    std::vector<uint8_t> surface(static_cast<size_t>(pitch_bytes) * kSurfaceH);
    uint8_t* destination = surface.data() + 112 * pitch_bytes + 64 * (conversion.bitsPerPixel / 8);
    for (auto _ : state) {
        convertFrame(conversion, frame.data(), kW, kW, kH, destination, pitch_bytes);
        benchmark::DoNotOptimize(surface.data());
        benchmark::ClobberMemory();
    }
    state.counters["frames/s"] =
        benchmark::Counter(static_cast<double>(state.iterations()), benchmark::Counter::kIsRate);
}

void BM_Copy32(benchmark::State& state) {
    presentInto(state, makePixelConversion(32, 0xFF0000, 0xFF00, 0xFF));
}

void BM_PackRgb565(benchmark::State& state) {
    presentInto(state, makePixelConversion(16, 0xF800, 0x07E0, 0x001F));
}

void BM_General555(benchmark::State& state) {
    presentInto(state, makePixelConversion(16, 0x7C00, 0x03E0, 0x001F));
}

void BM_General32Bgr(benchmark::State& state) {
    presentInto(state, makePixelConversion(32, 0xFF, 0xFF00, 0xFF0000));
}

}  // namespace

BENCHMARK(BM_Copy32);
BENCHMARK(BM_PackRgb565);
BENCHMARK(BM_General555);
BENCHMARK(BM_General32Bgr);
