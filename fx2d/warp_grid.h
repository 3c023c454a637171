// The grid-warp texture mappers: texture coordinates given at the corners of 16 x 16
// blocks, interpolated bilinearly in 8.8 fixed point. Used by the opening, 3D and warp scenes.
#pragma once

#include <cstdint>
#include <string>

#include "fx2d/target.h"
#include "resources/image.h"

// Texture coordinates (in texels) at target pixel (16 j, 16 i). Rows i = 0 ... 16; the
// mappers read slots j = 0 ... 32 of each row, the rest are spare.
struct WarpGrid {
    static constexpr int kRows = 17;
    static constexpr int kSlots = 64;
    static constexpr int kColumns = 33;  // slots read by the mappers

    struct Point {
        float u = 0.0f;
        float v = 0.0f;
    };
    Point points[kRows][kSlots];

    Point& at(int i, int j) { return points[i][j]; }
    const Point& at(int i, int j) const { return points[i][j]; }
};

// All three write every pixel of `target` (512 x 256, rows back to back). `texture`
// must have 256-pixel rows and at least 256 rows (see checkWarpTexture); texel
// coordinates wrap at 256. They run the vector path of vectorPath() (vector_paths.h)
// when there is one; each path gives exactly the bits of the scalar code.

// target pixel = texel, all 32 bits.
void warpCopy(uint32_t* target, const WarpGrid& grid, const Image& texture);
// target pixel = average of the old target pixel and the texel (low bit of each channel dropped).
void warpBlend(uint32_t* target, const WarpGrid& grid, const Image& texture);
// target pixel = average of the texel and the same pixel of `other` (512-pixel rows,
// at least 256 rows; see checkWarpOther). The old target is not read.
void warpBlendWith(uint32_t* target, const WarpGrid& grid, const Image& texture, const Image& other);

// Start-up checks of the pictures a scene hands the mappers; throw LoadError
// "<name>: <problem>" when a picture does not fit.
void checkWarpTexture(const Image& texture, const std::string& name);
void checkWarpOther(const Image& other, const std::string& name);
