// Writers of the picture formats the presentation reads: baseline JPEG, TGA
// (8-bit with a colour table, 24-bit) and the block-compressed S3T. Used by the content generator.
#pragma once

#include <array>
#include <cstdint>
#include <vector>

#include "resources/image.h"

// Baseline JPEG, no chroma subsampling, optimised Huffman tables; quality 1..100.
std::vector<uint8_t> encodeJpeg(const Image& image, int quality);

// Uncompressed 24-bit TGA, rows stored top row first (descriptor bit 5 set).
std::vector<uint8_t> encodeTga24(const Image& image);

// Uncompressed 8-bit TGA with a 256-entry colour table (0x00RRGGBB entries),
// rows stored bottom row first (descriptor 0). `indices` is width*height bytes,
// top row first, as the picture is meant to be seen.
std::vector<uint8_t> encodeTga8(int width, int height, const std::array<uint32_t, 256>& palette,
                                const std::vector<uint8_t>& indices);

// S3T: 4x4 tiles of two 5-6-5 colours and 2-bit indices. Width and height must
// be multiples of 4. Colours and indices are chosen for the least squared error
// under the decoder's expansion (red = c >> 8, green = c >> 3, blue = c << 3, each 8 bits).
std::vector<uint8_t> encodeS3t(const Image& image);

// The colour the decoder makes of a 16-bit S3T colour, as 0x00RRGGBB.
uint32_t expandS3tColour(uint16_t c);
