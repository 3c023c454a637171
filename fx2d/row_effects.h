// Per-row effects over 512 x 256 pixel buffers: the horizontal smear (leaky running
// average) and the row-by-row crossfade. Used by the smear-wave, panel and wave scenes.
#pragma once

#include <cstdint>

#include "fx2d/target.h"

// Row n (1 ... 256), entry v = v * (1 / n) with every step rounded toward zero, so
// exact multiples of a non-power-of-two n come out one lower (row 3, entry 3 is 0).
// Row 0 is all zero. Built by the first smearRows call (or buildDivTable); kept for the run.
extern uint8_t divTable[257 * 256];

void buildDivTable();

// Both effects run the vector path of vectorPath() (vector_paths.h) when there is
// one; each path gives exactly the bits of the scalar code.

// Smears `lines` lines of `length` pixels to the right. Line m starts at pixel
// m * lineStep, its pixels `pixelStep` apart, and uses radius radii[m]: 0 or less
// leaves the line alone; larger radii are clamped to 256 and to length - 1.
void smearRows(uint32_t* pixels, const int32_t* radii, int lineStep, int length, int lines, int pixelStep);

// Crossfades `source` over `target` (both 512 x 256, or their first `rows` rows) row
// by row with levels[y] (0 ... 255, clamped): 0 leaves the row, 255 copies it, others
// mix through mulTable (which must have been built).
void blendRows(uint32_t* target, const uint32_t* source, const int32_t* levels, int rows = kTargetHeight);
