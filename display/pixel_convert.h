// Copying 0x00RRGGBB frames onto screen surfaces of other pixel formats: the
// 32-bit row copy, RGB565 pair packing and the general mask conversion. Used by display.cpp.
#pragma once

#include <cstdint>

// How to turn 0x00RRGGBB into a surface's pixels, worked out once from its masks.
struct PixelConversion {
    int bitsPerPixel = 0;  // of the surface: 16, 24 or 32
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    int redShift = 32;  // leading zero bits of each mask, 32 for a zero mask
    int greenShift = 32;
    int blueShift = 32;
    bool fastFormat = false;  // 32-bit 0x00RRGGBB or 16-bit RGB565: no mask arithmetic needed
};

int maskShift(uint32_t mask);
PixelConversion makePixelConversion(int bitsPerPixel, uint32_t redMask, uint32_t greenMask,
                                    uint32_t blueMask);
bool isSupportedSurfaceBits(int bitsPerPixel);  // 16, 24 or 32

// One source pixel through the masks: each component's top bit lands on the
// top bit of its mask; low bits that do not fit are dropped.
uint32_t convertPixel(const PixelConversion& conversion, uint32_t pixel);

// The kernels copy width x height pixels from `src` (rows srcStride pixels
// apart) to `dst` (rows dstPitch_bytes apart). The caller makes sure both hold them.
void copyRows32(const uint32_t* src, int srcStride, int width, int height, uint8_t* dst, int dstPitch_bytes);
// Two pixels per 32-bit store, the first in the low 16 bits; an odd last pixel alone.
void packRgb565(const uint32_t* src, int srcStride, int width, int height, uint8_t* dst, int dstPitch_bytes);
void convertGeneral(const PixelConversion& conversion, const uint32_t* src, int srcStride, int width,
                    int height, uint8_t* dst, int dstPitch_bytes);

// Picks the kernel for the conversion: fast copy, packing or general.
void convertFrame(const PixelConversion& conversion, const uint32_t* src, int srcStride, int width,
                  int height, uint8_t* dst, int dstPitch_bytes);

// Sets rowBytes bytes of each of `height` rows to 0.
void clearRows(uint8_t* dst, int rowBytes, int height, int dstPitch_bytes);
