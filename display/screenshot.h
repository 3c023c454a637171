// Writes a frame of 0x00RRGGBB pixels as an uncompressed 24-bit TGA file
// (the "S" key's "zedariva.tga"). Used by the main loop.
#pragma once

#include <cstdint>

// pixels: width x height, top row first, no padding between rows. Creates or
// overwrites fileName; when the file cannot be written, prints one line
// naming it and returns (the presentation goes on).
void saveScreenshotTga(const char* fileName, const uint32_t* pixels, int width, int height);
