#include "fx2d/mul_table.h"

uint8_t mulTable[65536];

void buildMulTable() {
    for (uint32_t i = 0; i < 65536; ++i) {
        mulTable[i] = static_cast<uint8_t>(((i & 0xFF) * (i >> 8)) >> 8);
    }
}

void clearFrame(uint32_t* frame, uint32_t colour) {
    // A plain store loop without reads or tests; the compiler turns it into wide stores.
    for (int i = 0; i < kTargetPixels; ++i) {
        frame[i] = colour;
    }
}
