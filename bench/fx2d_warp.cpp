// The grid-warp mappers, smearRows and blendRows over the full 512 x 256 frame,
// in pixels per second, next to a plain memcpy of the same frame.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdint>
#include <cstring>
#include <random>
#include <vector>

#include "bench/bench_common.h"
#include "fx2d/mul_table.h"
#include "fx2d/row_effects.h"
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

void BM_WarpCopy(benchmark::State& state) {
    const Image texture = noisyImage(256, 256, 2);
    const WarpGrid grid = swirlingGrid();
    std::vector<uint32_t> frame(kTargetPixels);
    for (auto _ : state) {
        warpCopy(frame.data(), grid, texture);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK(BM_WarpCopy);

void BM_WarpBlend(benchmark::State& state) {
    const Image texture = noisyImage(256, 256, 2);
    const WarpGrid grid = swirlingGrid();
    std::vector<uint32_t> frame = noisyPixels(kTargetPixels, 3);
    for (auto _ : state) {
        warpBlend(frame.data(), grid, texture);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK(BM_WarpBlend);

void BM_WarpBlendWith(benchmark::State& state) {
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
BENCHMARK(BM_WarpBlendWith);

// Radius per row as the smear wave at its strongest: 0 at the top and bottom
// 40 rows, up to 60 in the middle (argument 0), or one radius for every row. The
// work per pixel does not depend on the pixels, so the frame is smeared again and again.
void BM_SmearRows(benchmark::State& state) {
    std::vector<uint32_t> frame = noisyPixels(kTargetPixels, 5);
    std::vector<int32_t> radii(kTargetHeight, 0);
    for (int row = 40; row < 216; ++row)
        radii[row] = static_cast<int32_t>(60.0 * std::sin(3.141592 * (row - 40) / 176));
    if (state.range(0) > 0) std::fill(radii.begin(), radii.end(), static_cast<int32_t>(state.range(0)));
    for (auto _ : state) {
        smearRows(frame.data(), radii.data(), kTargetWidth, kTargetWidth, kTargetHeight, 1);
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK(BM_SmearRows)->Arg(0)->Arg(8);

// Every row at a level strictly between 0 and 255, so each pixel is mixed.
void BM_BlendRows(benchmark::State& state) {
    buildMulTable();
    const std::vector<uint32_t> source = noisyPixels(kTargetPixels, 6);
    std::vector<uint32_t> frame = noisyPixels(kTargetPixels, 7);
    std::vector<int32_t> levels(kTargetHeight);
    for (int y = 0; y < kTargetHeight; ++y) levels[y] = 1 + y % 254;
    for (auto _ : state) {
        blendRows(frame.data(), source.data(), levels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK(BM_BlendRows);

}  // namespace
