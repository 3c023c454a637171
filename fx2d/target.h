// Size of the 32-bit pixel buffers the 2D effects draw into: 512 x 256, rows
// back to back. Used by every kernel in fx2d/ and by their callers.
#pragma once

constexpr int kTargetWidth = 512;
constexpr int kTargetHeight = 256;
constexpr int kTargetPixels = kTargetWidth * kTargetHeight;
