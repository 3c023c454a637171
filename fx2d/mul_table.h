// The shared 8-bit multiplication table and the whole-frame fill.
// Built once at start-up; the row blend reads the table, the 3D scenes clear with clearFrame.
#pragma once

#include <cstdint>

#include "fx2d/target.h"

// Entry [b * 256 + a] = (a * b) >> 8: row b scales a channel value by b / 256,
// rounding down. Filled by buildMulTable; lives for the whole run.
extern uint8_t mulTable[65536];

void buildMulTable();

// Writes `colour` unchanged (top byte included) into all 512 x 256 pixels of `frame`.
void clearFrame(uint32_t* frame, uint32_t colour);
