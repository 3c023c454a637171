// The kernels' paths in the same-bits tests: the scalar code, which is the reference,
// and every vector path that this build and CPU offer.
#pragma once

#include <vector>

#include "fx2d/vector_paths.h"

// The vector paths to compare with the scalar code (none in the scalar build).
inline std::vector<VectorPath> vectorPathsToTest() {
    std::vector<VectorPath> paths;
    for (VectorPath path : {VectorPath::Sse2, VectorPath::Avx2, VectorPath::Avx512})
        if (path <= bestVectorPath()) paths.push_back(path);
    return paths;
}

// Makes the kernels take `path` while it lives, then the best path again.
class OnPath {
public:
    explicit OnPath(VectorPath path) { limitVectorPath(path); }
    ~OnPath() { limitVectorPath(VectorPath::Avx512); }
    OnPath(const OnPath&) = delete;
    OnPath& operator=(const OnPath&) = delete;
};

// Runs `run(name)` with each of the AVX2 path's texel fetches in force (the other
// paths have one), then leaves the fetch to be timed again.
template <class Run>
void forEachTexelFetch(Run run) {
    for (TexelFetch fetch : {TexelFetch::Gather, TexelFetch::Loads}) {
        setTexelFetch(fetch);
        run(fetch == TexelFetch::Gather ? "gather" : "loads");
    }
    setTexelFetch(TexelFetch::Timed);
}

// Runs `run` on the scalar code.
template <class Run>
void onScalarCode(Run run) {
    OnPath scalar(VectorPath::None);
    run();
}
