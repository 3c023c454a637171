#include "fx2d/vector_paths.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <vector>

#include "fx2d/target.h"
#include "fx2d/vector_kernels.h"

namespace {

VectorPath limit = VectorPath::Avx512;
TexelFetch fetchSetting = TexelFetch::Timed;

#ifdef ZD_WIDE_VECTOR_PATHS
// Both fetches copy a whole frame through a grid turned by 0.7 radians, about one
// texel per pixel (the scenes' warps cross the texture's rows at an angle like this),
// three times each, alternately; the faster best time wins.
TexelFetch timeTexelFetch() {
    using Clock = std::chrono::steady_clock;
    std::vector<uint32_t> texels(256 * 256), target(kTargetPixels);
    WarpGrid grid;
    for (int i = 0; i < WarpGrid::kRows; ++i)
        for (int j = 0; j < WarpGrid::kColumns; ++j)
            grid.at(i, j) = {static_cast<float>(16 * j * std::cos(0.7) - 16 * i * std::sin(0.7)),
                             static_cast<float>(16 * j * std::sin(0.7) + 16 * i * std::cos(0.7))};
    Clock::duration gather = Clock::duration::max(), loads = Clock::duration::max();
    for (int round = 0; round < 3; ++round) {
        const Clock::time_point start = Clock::now();
        avx2WarpCopy(target.data(), grid, texels.data(), TexelFetch::Gather);
        const Clock::time_point middle = Clock::now();
        avx2WarpCopy(target.data(), grid, texels.data(), TexelFetch::Loads);
        const Clock::time_point end = Clock::now();
        gather = std::min(gather, middle - start);
        loads = std::min(loads, end - middle);
    }
    return gather < loads ? TexelFetch::Gather : TexelFetch::Loads;
}

// The AVX2 kernels with the AVX-512 smear.
const VectorKernels* avx512Kernels() {
    static const VectorKernels kernels = [] {
        VectorKernels mixed = kAvx2Kernels;
        mixed.smearRows = avx512SmearRows;
        return mixed;
    }();
    return &kernels;
}
#endif

}  // namespace

VectorPath bestVectorPath() {
#if defined(ZD_WIDE_VECTOR_PATHS)
    // The check covers the operating system's support for the wide registers too.
    static const VectorPath best = [] {
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw"))
            return VectorPath::Avx512;
        return __builtin_cpu_supports("avx2") ? VectorPath::Avx2 : VectorPath::Sse2;
    }();
    return best;
#elif defined(ZD_VECTOR_PATHS)
    return VectorPath::Sse2;
#else
    return VectorPath::None;
#endif
}

VectorPath vectorPath() {
    const VectorPath best = bestVectorPath();
    return limit < best ? limit : best;
}

void limitVectorPath(VectorPath path) { limit = path; }

const VectorKernels* vectorKernels() {
    switch (vectorPath()) {
#ifdef ZD_WIDE_VECTOR_PATHS
        case VectorPath::Avx512:
            return avx512Kernels();
        case VectorPath::Avx2:
            return &kAvx2Kernels;
#endif
#ifdef ZD_VECTOR_PATHS
        case VectorPath::Sse2:
            return &kSse2Kernels;
#endif
        default:
            break;
    }
    return nullptr;
}

const char* vectorPathName(VectorPath path) {
    switch (path) {
        case VectorPath::Sse2:
            return "sse2";
        case VectorPath::Avx2:
            return "avx2";
        case VectorPath::Avx512:
            return "avx512";
        case VectorPath::None:
            break;
    }
    return "scalar";
}

void setTexelFetch(TexelFetch fetch) { fetchSetting = fetch; }

TexelFetch texelFetch() {
    if (fetchSetting != TexelFetch::Timed) return fetchSetting;
#ifdef ZD_WIDE_VECTOR_PATHS
    // Only a CPU with AVX2 can run the timing.
    if (bestVectorPath() < VectorPath::Avx2) return TexelFetch::Loads;
    static const TexelFetch timed = timeTexelFetch();
    return timed;
#else
    return TexelFetch::Loads;
#endif
}
