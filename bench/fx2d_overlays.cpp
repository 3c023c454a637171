// clearFrame, FadePicture::draw and FadePicture::drawZoomed on the 512 x 256 frame
// (the draws through their scalar code and their vector paths), in pixels per
// second, next to a plain memcpy of the same frame.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "fx2d/fade_picture.h"
#include "fx2d/mul_table.h"
#include "bench/bench_common.h"
#include "resources/image.h"

namespace {

void BM_Memcpy(benchmark::State& state) { bench::memcpyFrame(state); }
BENCHMARK(BM_Memcpy);

// A frame-sized picture like the pulse pictures: noisy colour with dark
// (transparent) patches covering about a third of it.
Image pulsePicture() {
    Image picture(kTargetWidth, kTargetHeight);
    std::mt19937 rng(7);
    for (int y = 0; y < kTargetHeight; ++y)
        for (int x = 0; x < kTargetWidth; ++x) {
            const bool dark = ((x / 40 + y / 24) % 3) == 0;
            picture.row(y)[x] = dark ? (rng() & 0x00030303u) : (rng() & 0x00FFFFFFu);
        }
    return picture;
}

void BM_ClearFrame(benchmark::State& state) {
    std::vector<uint32_t> frame(kTargetPixels);
    for (auto _ : state) {
        clearFrame(frame.data(), 0);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK(BM_ClearFrame);

void BM_FadePictureDraw(benchmark::State& state, VectorPath path) {
    const bench::OnPath on(state, path);
    const Image picture = pulsePicture();
    FadePicture fade(picture);
    std::vector<uint32_t> frame = bench::noisyPixels(kTargetPixels, 3);
    for (auto _ : state) {
        fade.draw(frame.data(), 0, 0, 0.6f);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK_CAPTURE(BM_FadePictureDraw, scalar, VectorPath::None);
BENCHMARK_CAPTURE(BM_FadePictureDraw, sse2, VectorPath::Sse2);
BENCHMARK_CAPTURE(BM_FadePictureDraw, avx2, VectorPath::Avx2);

// Zoom in per mille; the items are the output pixels (out width x out height).
void BM_FadePictureDrawZoomed(benchmark::State& state, VectorPath path) {
    const bench::OnPath on(state, path);
    const Image picture = pulsePicture();
    FadePicture fade(picture);
    std::vector<uint32_t> frame = bench::noisyPixels(kTargetPixels, 3);
    const float zoom = static_cast<float>(state.range(0)) / 1000.0f;
    const int64_t outPixels =
        static_cast<int64_t>(kTargetWidth * zoom) * static_cast<int64_t>(kTargetHeight * zoom);
    for (auto _ : state) {
        fade.drawZoomed(frame.data(), 0, 0, 0.6f, zoom);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * outPixels);
}
BENCHMARK_CAPTURE(BM_FadePictureDrawZoomed, scalar, VectorPath::None)->Arg(1000)->Arg(850)->Arg(500);
BENCHMARK_CAPTURE(BM_FadePictureDrawZoomed, sse2, VectorPath::Sse2)->Arg(1000)->Arg(850)->Arg(500);
BENCHMARK_CAPTURE(BM_FadePictureDrawZoomed, avx2, VectorPath::Avx2)->Arg(1000)->Arg(850)->Arg(500);

}  // namespace
