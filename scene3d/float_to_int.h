// Float-to-integer conversion with a defined result for every input, used by
// every 3D stage where a value can be out of range (far vertices, texture
// coordinates, sprite sizes, particle counts).
#pragma once

#include <cstdint>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

// Truncates toward zero. Values outside the 32-bit range and NaN give
// INT32_MIN, as the processor's own conversion does, so in-range values
// convert exactly as a plain cast would.
inline int32_t truncToInt32(float value) {
#if defined(__SSE2__)
    return _mm_cvttss_si32(_mm_set_ss(value));
#else
    if (value >= -2147483648.0f && value < 2147483648.0f) return static_cast<int32_t>(value);
    return INT32_MIN;
#endif
}

inline int32_t truncToInt32(double value) {
#if defined(__SSE2__)
    return _mm_cvttsd_si32(_mm_set_sd(value));
#else
    if (value > -2147483649.0 && value < 2147483648.0) return static_cast<int32_t>(value);
    return INT32_MIN;
#endif
}
