// The grid-warp mappers over the full 512 x 256 frame, each through its scalar code
// and its vector paths, in pixels per second, next to a plain memcpy of the same frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_common.h"
#include "fx2d/warp_grid.h"
#include "resources/image.h"

namespace {

using bench::noisyImage;
using bench::noisyPixels;

// A rotated, wobbling grid like the opening scene's.
WarpGrid swirlingGrid() {
    WarpGrid grid;
    const double a = 0.7;
    for (int i = 0; i < WarpGrid::kRows; ++i)
        for (int j = 0; j < WarpGrid::kColumns; ++j) {
            const double u = 16.0 * j - 256 + 44 * std::cos(0.3 * j);
            const double v = 16.0 * i - 128 + 44 * std::cos(0.2 * j) + 44 * std::cos(0.2 * i);
            grid.at(i, j) = {static_cast<float>(u * std::cos(a) - v * std::sin(a)),
                             static_cast<float>(u * std::sin(a) + v * std::cos(a))};
        }
    return grid;
}

void BM_Memcpy(benchmark::State& state) { bench::memcpyFrame(state); }
BENCHMARK(BM_Memcpy);

// The AVX2 path with one of its texel fetches while it lives (avx2 alone: the one
// timed at first use).
class WithFetch {
public:
    explicit WithFetch(TexelFetch fetch) { setTexelFetch(fetch); }
    ~WithFetch() { setTexelFetch(TexelFetch::Timed); }
    WithFetch(const WithFetch&) = delete;
    WithFetch& operator=(const WithFetch&) = delete;
};

void BM_WarpCopy(benchmark::State& state, VectorPath path, TexelFetch fetch = TexelFetch::Timed) {
    const bench::OnPath on(state, path);
    const WithFetch with(fetch);
    const Image texture = noisyImage(256, 256, 2);
    const WarpGrid grid = swirlingGrid();
    std::vector<uint32_t> frame(kTargetPixels);
    for (auto _ : state) {
        warpCopy(frame.data(), grid, texture);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK_CAPTURE(BM_WarpCopy, scalar, VectorPath::None);
BENCHMARK_CAPTURE(BM_WarpCopy, sse2, VectorPath::Sse2);
BENCHMARK_CAPTURE(BM_WarpCopy, avx2, VectorPath::Avx2);
BENCHMARK_CAPTURE(BM_WarpCopy, avx2_gather, VectorPath::Avx2, TexelFetch::Gather);
BENCHMARK_CAPTURE(BM_WarpCopy, avx2_loads, VectorPath::Avx2, TexelFetch::Loads);

void BM_WarpBlend(benchmark::State& state, VectorPath path, TexelFetch fetch = TexelFetch::Timed) {
    const bench::OnPath on(state, path);
    const WithFetch with(fetch);
    const Image texture = noisyImage(256, 256, 2);
    const WarpGrid grid = swirlingGrid();
    std::vector<uint32_t> frame = noisyPixels(kTargetPixels, 3);
    for (auto _ : state) {
        warpBlend(frame.data(), grid, texture);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK_CAPTURE(BM_WarpBlend, scalar, VectorPath::None);
BENCHMARK_CAPTURE(BM_WarpBlend, sse2, VectorPath::Sse2);
BENCHMARK_CAPTURE(BM_WarpBlend, avx2, VectorPath::Avx2);
BENCHMARK_CAPTURE(BM_WarpBlend, avx2_gather, VectorPath::Avx2, TexelFetch::Gather);
BENCHMARK_CAPTURE(BM_WarpBlend, avx2_loads, VectorPath::Avx2, TexelFetch::Loads);

void BM_WarpBlendWith(benchmark::State& state, VectorPath path, TexelFetch fetch = TexelFetch::Timed) {
    const bench::OnPath on(state, path);
    const WithFetch with(fetch);
    const Image texture = noisyImage(256, 256, 2);
    const Image other = noisyImage(kTargetWidth, kTargetHeight, 4);
    const WarpGrid grid = swirlingGrid();
    std::vector<uint32_t> frame(kTargetPixels);
    for (auto _ : state) {
        warpBlendWith(frame.data(), grid, texture, other);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK_CAPTURE(BM_WarpBlendWith, scalar, VectorPath::None);
BENCHMARK_CAPTURE(BM_WarpBlendWith, sse2, VectorPath::Sse2);
BENCHMARK_CAPTURE(BM_WarpBlendWith, avx2, VectorPath::Avx2);
BENCHMARK_CAPTURE(BM_WarpBlendWith, avx2_gather, VectorPath::Avx2, TexelFetch::Gather);
BENCHMARK_CAPTURE(BM_WarpBlendWith, avx2_loads, VectorPath::Avx2, TexelFetch::Loads);

}  // namespace
