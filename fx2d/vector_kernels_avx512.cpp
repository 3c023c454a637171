// The AVX-512 path's own kernel: the row smear, sixteen lines side by side. The other
// kernels gain nothing measurable from the wider vectors (the blends and fades wait on
// memory, the warps and the glow blit on scattered texel fetches), so the path runs
// them as the AVX2 path does (vector_paths.cpp). Only this file is compiled for
// AVX-512, and only after the CPU check does anything call into it.
#include "fx2d/vector_kernels.h"

#ifdef ZD_WIDE_VECTOR_PATHS

// Everything from outside this file is included before the switch to AVX-512, so
// that no shared inline function is ever compiled for AVX-512 here and then used
// elsewhere.
#include <immintrin.h>

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "fx2d/row_effects.h"
#include "fx2d/table_multiplier.h"
#include "fx2d/target.h"

// GCC 12's AVX-512 intrinsics pass a deliberately undefined vector as the unused
// merge source of their masked built-ins, which its own warning takes for a bug.
#if !defined(__clang__)
#pragma GCC diagnostic ignored "-Wmaybe-uninitialized"
#endif

#if defined(__clang__)
#pragma clang attribute push(__attribute__((target("avx2,avx512f,avx512bw"))), apply_to = function)
#else
#pragma GCC target("avx2,avx512f,avx512bw")
#endif

#include "fx2d/lanes_avx512.h"
#include "fx2d/row_effects_lanes.h"

bool avx512SmearRows(uint32_t* pixels, const int32_t* radii, int lineStep, int length, int lines) {
    return smearRowsLanes<__m512i>(pixels, radii, lineStep, length, lines);
}

#if defined(__clang__)
#pragma clang attribute pop
#endif

#endif
