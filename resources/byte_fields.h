// Little-endian 16- and 32-bit fields read from bytes, the order of every file
// format here. Used by the pack reader and listing, unpack and the TGA/S3T decoders.
#pragma once

#include <cstdint>

// The caller has checked that the field lies inside its buffer.
inline uint32_t halfAt(const uint8_t* bytes) { return bytes[0] | (uint32_t{bytes[1]} << 8); }
inline uint32_t wordAt(const uint8_t* bytes) {
    return bytes[0] | (uint32_t{bytes[1]} << 8) | (uint32_t{bytes[2]} << 16) | (uint32_t{bytes[3]} << 24);
}
