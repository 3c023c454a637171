// Writes a frame of 0x00RRGGBB pixels as an uncompressed 24-bit TGA file
// (the "S" key's "zedariva.tga"). Used by the main loop and zedariva-render.
#pragma once

#include <cstddef>
#include <cstdint>

// Length of the file for width x height pixels: the 18-byte header and three
// bytes a pixel.
std::size_t tgaFileSize(int width, int height);

// Encodes the whole file into out (tgaFileSize bytes, owned by the caller);
// pixels as for saveScreenshotTga. Allocates nothing.
void encodeTga(const uint32_t* pixels, int width, int height, uint8_t* out);

// pixels: width x height, top row first, no padding between rows. Creates or
// overwrites fileName; when the file cannot be written, prints one line
// naming it and returns (the presentation goes on).
void saveScreenshotTga(const char* fileName, const uint32_t* pixels, int width, int height);

// The same file, written without a word: returns 0, or the errno of the
// failure. Used by saveScreenshotTga and zedariva-render.
int writeTga24(const char* fileName, const uint32_t* pixels, int width, int height);
