#include "fx2d/vector_paths.h"

#include "fx2d/vector_kernels.h"

namespace {

VectorPath limit = VectorPath::Avx2;

}  // namespace

VectorPath bestVectorPath() {
#ifdef ZD_VECTOR_PATHS
    // The check covers the operating system's support for the wide registers too.
    static const VectorPath best = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") ? VectorPath::Avx2 : VectorPath::Sse2;
    }();
    return best;
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
#ifdef ZD_VECTOR_PATHS
    switch (vectorPath()) {
        case VectorPath::Avx2:
            return &kAvx2Kernels;
        case VectorPath::Sse2:
            return &kSse2Kernels;
        case VectorPath::None:
            break;
    }
#endif
    return nullptr;
}

const char* vectorPathName(VectorPath path) {
    switch (path) {
        case VectorPath::Sse2:
            return "sse2";
        case VectorPath::Avx2:
            return "avx2";
        case VectorPath::None:
            break;
    }
    return "scalar";
}
