// The SSE2 paths of the 2D kernels. The public kernels call them when the build has
// vector paths (ZD_VECTOR_PATHS); each gives exactly the bits of its scalar code.
#pragma once

#include <cstdint>

#include "fx2d/sse2_pixels.h"

#ifdef ZD_VECTOR_PATHS

namespace sse2 {

// Row effects; smearRows expects divTable to be built.
void smearRows(uint32_t* pixels, const int32_t* radii, int lineStep, int length, int lines, int pixelStep);
void blendRows(uint32_t* target, const uint32_t* source, const int32_t* levels);

}  // namespace sse2

#endif
