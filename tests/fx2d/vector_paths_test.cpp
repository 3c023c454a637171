#include "fx2d/vector_paths.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "fx2d/vector_kernels.h"
#include "tests/fx2d/paths.h"

namespace {

// A limit at or below the best path is taken as it is; above it, the best path runs.
// Only the scalar code has no kernel table, and every path has its own name.
TEST(VectorPaths, EachLimitTakesThatPathUpToTheBest) {
    const VectorPath best = bestVectorPath();
    std::set<std::string> names;
    for (VectorPath limit : {VectorPath::None, VectorPath::Sse2, VectorPath::Avx2, VectorPath::Avx512}) {
        const OnPath on(limit);
        const VectorPath taken = limit < best ? limit : best;
        EXPECT_EQ(vectorPath(), taken) << vectorPathName(limit);
        EXPECT_EQ(vectorKernels() == nullptr, taken == VectorPath::None) << vectorPathName(limit);
        names.insert(vectorPathName(limit));
    }
    EXPECT_EQ(names.size(), 4u);
}

// The AVX-512 path runs its own smear (the same-bits tests would pass just as well if
// it ran the AVX2 one) and the AVX2 path's other kernels.
TEST(VectorPaths, Avx512TakesItsOwnSmearAndTheAvx2Rest) {
    if (bestVectorPath() < VectorPath::Avx512) GTEST_SKIP() << "this CPU or build has no AVX-512 path";
    VectorKernels avx2{};
    {
        const OnPath on(VectorPath::Avx2);
        avx2 = *vectorKernels();
    }
    const VectorKernels& avx512 = *vectorKernels();
    EXPECT_NE(avx512.smearRows, avx2.smearRows);
    EXPECT_EQ(avx512.blendRow, avx2.blendRow);
    EXPECT_EQ(avx512.warpBlend, avx2.warpBlend);
    EXPECT_EQ(avx512.drawTile, avx2.drawTile);
}

}  // namespace
