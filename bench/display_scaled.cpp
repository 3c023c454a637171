// Showing one 512 x 256 frame through the scaled window's renderer, without
// waiting for the screen: vsync off, and SDL's dummy video driver unless
// SDL_VIDEODRIVER says otherwise (the dummy driver has no GPU, so this is
// SDL's software renderer, the slowest case). One iteration uploads the frame,
// draws it scaled and presents it. The plain window's conversion of the same
// frame is the baseline.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdlib>
#include <vector>

#include "bench/bench_common.h"
#include "display/picture_fit.h"
#include "display/pixel_convert.h"
#include "platform/window.h"

namespace {

constexpr int kW = 512;
constexpr int kH = 256;

// The frame shown in a window of areaWidth x areaHeight, placed as the
// scaled view places it.
void showScaled(benchmark::State& state, int areaWidth, int areaHeight, bool smooth) {
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    if (!windowInitVideo()) {
        state.SkipWithError(windowLastError());
        return;
    }
    ScaledWindowSetup setup;
    setup.caption = "bench";
    setup.windowWidth = areaWidth;
    setup.windowHeight = areaHeight;
    setup.frameWidth = kW;
    setup.frameHeight = kH;
    setup.smooth = smooth;
    setup.vsync = false;
    if (!windowCreateScaled(setup)) {
        state.SkipWithError(windowLastError());
        windowShutdownVideo();
        return;
    }
    int width = 0;
    int height = 0;
    windowDrawingSize(width, height);
    const PictureRect at =
        smooth ? fitKeepingShape(width, height, kW, kH) : fitWholeFactor(width, height, kW, kH);
    const std::vector<uint32_t> frame = bench::noisyPixels(kW * kH, 7);
    for (auto _ : state) {
        windowDrawFrame(frame.data(), kW * 4, at.x, at.y, at.width, at.height);
        WindowEvent event;
        while (windowPollEvent(event)) {
        }
    }
    state.SetLabel(windowRendererName());
    bench::countFrames(state);
    windowShutdownVideo();
}

// The plain window: the frame converted into a 512 x 256 32-bit surface.
void BM_PlainWindowConversion(benchmark::State& state) {
    const std::vector<uint32_t> frame = bench::noisyPixels(kW * kH, 7);
    std::vector<uint8_t> surface(static_cast<size_t>(kW) * kH * 4);
    const PixelConversion conversion = makePixelConversion(32, 0xFF0000, 0xFF00, 0xFF);
    for (auto _ : state) {
        convertFrame(conversion, frame.data(), kW, kW, kH, surface.data(), kW * 4);
        benchmark::ClobberMemory();
    }
    bench::countFrames(state);
}

void BM_ScaledWindow2x(benchmark::State& state) { showScaled(state, 2 * kW, 2 * kH, false); }

// A 1920 x 1080 desktop: 3x (1536 x 768) centred.
void BM_Desktop1080Sharp(benchmark::State& state) { showScaled(state, 1920, 1080, false); }

// A 1920 x 1080 desktop, smooth: 1920 x 960, bilinear.
void BM_Desktop1080Smooth(benchmark::State& state) { showScaled(state, 1920, 1080, true); }

}  // namespace

BENCHMARK(BM_PlainWindowConversion);
BENCHMARK(BM_ScaledWindow2x)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Desktop1080Sharp)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Desktop1080Smooth)->Unit(benchmark::kMillisecond);
