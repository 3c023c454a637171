// The polygon rasteriser's row walk: World::drawFace sets up a ScanState for a
// projected triangle and scanHalf draws its upper and lower halves row by row.
#pragma once

#include <cstdint>

#include "render3d/span_fillers.h"

// A triangle ready to be scanned. Edge entries 0, 1, 2 are the top, the middle
// row and the bottom: the left edge (x, y and the interpolants) runs through
// the left end of the middle row, the right edge (x only) through its right end.
struct ScanState {
    // The target and its depth buffer, rows `pitch` apart; spans stay within
    // columns 0 .. width - 1 and rows 0 .. height - 1.
    uint32_t* target;
    int32_t* depthBuffer;
    int width, height, pitch;
    int32_t depthStamp;

    SpanFiller filler;  // of the face's span mode
    uint32_t flatColour;
    const uint32_t* texels;

    Interpolants gradient;  // change per pixel along a row

    float leftEdgeX[3], leftEdgeY[3], rightEdgeX[3];
    Interpolants leftEdge[3];

    // The current row's left and right x and the interpolants at its left x.
    float leftX, rightX;
    Interpolants left;
};

// Draws the rows of the half between edge entries `top` and top + 1, from the
// running values that the caller placed on its first row.
void scanHalf(ScanState& state, int top);

// Per-row changes of the running values.
struct RowStep {
    float leftX, rightX;
    Interpolants left;
};

// Draws rows firstRow .. endRow - 1 (inside the viewport), one span each, and
// advances the running values by `step` after every row.
void scanLines(ScanState& state, int firstRow, int endRow, const RowStep& step);
