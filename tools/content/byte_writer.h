// Little-endian writers of 16- and 32-bit fields and floats, appended to a byte
// vector. Used by the mesh, scene and picture writers of the content generator.
#pragma once

#include <cstdint>
#include <vector>
#include "platform/bit_cast.h"

inline void putU16(std::vector<uint8_t>& out, uint32_t value) {
    out.push_back(static_cast<uint8_t>(value));
    out.push_back(static_cast<uint8_t>(value >> 8));
}

inline void putU32(std::vector<uint8_t>& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) out.push_back(static_cast<uint8_t>(value >> shift));
}

inline void putFloat(std::vector<uint8_t>& out, float value) { putU32(out, bitCast<uint32_t>(value)); }
