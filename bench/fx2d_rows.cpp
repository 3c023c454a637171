// smearRows and blendRows over the full 512 x 256 frame, each through its scalar code
// and its vector paths, next to a plain memcpy of the frame; blendRows also next
// to pixman doing the same crossfade (OVER of the opaque source through a solid
// mask of the row's level: source * level + target * (1 - level)).
#include <benchmark/benchmark.h>
#include <pixman.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "bench/bench_common.h"
#include "fx2d/mul_table.h"
#include "fx2d/row_effects.h"

namespace {

using bench::noisyPixels;

void BM_Memcpy(benchmark::State& state) { bench::memcpyFrame(state); }
BENCHMARK(BM_Memcpy);

// Radius per row as the smear wave at its strongest: 0 at the top and bottom
// 40 rows, up to 60 in the middle (argument 0), or one radius for every row. The
// work per pixel does not depend on the pixels, so the frame is smeared again and again.
void BM_SmearRows(benchmark::State& state, VectorPath path) {
    const bench::OnPath on(state, path);
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
BENCHMARK_CAPTURE(BM_SmearRows, scalar, VectorPath::None)->Arg(0)->Arg(8);
BENCHMARK_CAPTURE(BM_SmearRows, sse2, VectorPath::Sse2)->Arg(0)->Arg(8);
BENCHMARK_CAPTURE(BM_SmearRows, avx2, VectorPath::Avx2)->Arg(0)->Arg(8);
BENCHMARK_CAPTURE(BM_SmearRows, avx512, VectorPath::Avx512)->Arg(0)->Arg(8);

// Levels 1 ... 254 (every row mixed), or one level for all rows (the argument).
std::vector<int32_t> blendLevels(int64_t level) {
    std::vector<int32_t> levels(kTargetHeight);
    for (int y = 0; y < kTargetHeight; ++y) levels[y] = level > 0 ? static_cast<int32_t>(level) : 1 + y % 254;
    return levels;
}

void BM_BlendRows(benchmark::State& state, VectorPath path) {
    const bench::OnPath on(state, path);
    buildMulTable();
    const std::vector<uint32_t> source = noisyPixels(kTargetPixels, 6);
    std::vector<uint32_t> frame = noisyPixels(kTargetPixels, 7);
    const std::vector<int32_t> levels = blendLevels(state.range(0));
    for (auto _ : state) {
        blendRows(frame.data(), source.data(), levels.data());
        benchmark::ClobberMemory();
    }
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK_CAPTURE(BM_BlendRows, scalar, VectorPath::None)->Arg(0)->Arg(100);
BENCHMARK_CAPTURE(BM_BlendRows, sse2, VectorPath::Sse2)->Arg(0)->Arg(100);
BENCHMARK_CAPTURE(BM_BlendRows, avx2, VectorPath::Avx2)->Arg(0)->Arg(100);

// pixman: one composite per row through that row's solid mask (argument 0), or one
// composite of the whole frame through one mask (argument = the level).
void BM_BlendRowsPixman(benchmark::State& state) {
    std::vector<uint32_t> source = noisyPixels(kTargetPixels, 6);
    std::vector<uint32_t> frame = noisyPixels(kTargetPixels, 7);
    const std::vector<int32_t> levels = blendLevels(state.range(0));
    const int stride = kTargetWidth * sizeof(uint32_t);
    pixman_image_t* src =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kTargetWidth, kTargetHeight, source.data(), stride);
    pixman_image_t* dst =
        pixman_image_create_bits(PIXMAN_x8r8g8b8, kTargetWidth, kTargetHeight, frame.data(), stride);
    std::vector<pixman_image_t*> masks(256);
    for (int level = 0; level < 256; ++level) {
        const pixman_color_t colour{0, 0, 0, static_cast<uint16_t>(level * 257)};
        masks[level] = pixman_image_create_solid_fill(&colour);
    }
    for (auto _ : state) {
        if (state.range(0) > 0) {
            pixman_image_composite32(PIXMAN_OP_OVER, src, masks[levels[0]], dst, 0, 0, 0, 0, 0, 0,
                                     kTargetWidth, kTargetHeight);
        } else {
            for (int y = 0; y < kTargetHeight; ++y)
                pixman_image_composite32(PIXMAN_OP_OVER, src, masks[levels[y]], dst, 0, y, 0, 0, 0, y,
                                         kTargetWidth, 1);
        }
        benchmark::ClobberMemory();
    }
    for (pixman_image_t* mask : masks) pixman_image_unref(mask);
    pixman_image_unref(src);
    pixman_image_unref(dst);
    state.SetItemsProcessed(state.iterations() * kTargetPixels);
}
BENCHMARK(BM_BlendRowsPixman)->Arg(0)->Arg(100);

}  // namespace
