#include "fx2d/warp_grid.h"

#include <cmath>

#include "resources/load_error.h"

namespace {

enum class WarpMode { Copy, Blend, BlendWith };

// Rounds to nearest, ties to even (the default rounding mode), kept as the low 32 bits.
uint32_t roundToFixed(double value) {
    return static_cast<uint32_t>(std::llrint(value));
}

// One grid edge in 8.8 fixed point: the start value and the step per pixel row.
// Held as unsigned words so that additions wrap; read as signed where it matters.
struct Edge {
    uint32_t u, v, du, dv;

    void advance() {
        u += du;
        v += dv;
    }
};

Edge edgeSetup(const WarpGrid::Point& top, const WarpGrid::Point& bottom) {
    // The products are exact in double; the steps come from the unrounded products.
    const double tu = double{top.u} * 256.0, tv = double{top.v} * 256.0;
    const double bu = double{bottom.u} * 256.0, bv = double{bottom.v} * 256.0;
    return {roundToFixed(tu), roundToFixed(tv), roundToFixed((bu - tu) * 0.0625),
            roundToFixed((bv - tv) * 0.0625)};
}

// Per-pixel step across one row: (right - left) >> 4 as an arithmetic shift, i.e.
// division by 16 rounding toward minus infinity.
inline uint32_t rowStep(uint32_t left, uint32_t right) {
    return static_cast<uint32_t>(static_cast<int32_t>(right - left) >> 4);
}

inline uint32_t halve(uint32_t pixel) { return (pixel >> 1) & 0x7F7F7F; }

// Walks the 16 x 32 blocks; the mode is fixed at compile time, so the 16-pixel inner
// loop is only fetch, combine, store and two adds. Coordinates wrap in 32 bits; only
// bits 8-15 of u and v pick the texel.
template <WarpMode mode>
void mapGrid(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other) {
    for (int bi = 0; bi < 16; ++bi) {
        for (int bj = 0; bj < 32; ++bj) {
            Edge left = edgeSetup(grid.at(bi, bj), grid.at(bi + 1, bj));
            Edge right = edgeSetup(grid.at(bi, bj + 1), grid.at(bi + 1, bj + 1));
            uint32_t* block = target + (bi * 16) * kTargetWidth + bj * 16;
            const uint32_t* otherBlock = other ? other + (bi * 16) * kTargetWidth + bj * 16 : nullptr;
            for (int r = 0; r < 16; ++r) {
                const uint32_t du = rowStep(left.u, right.u);
                const uint32_t dv = rowStep(left.v, right.v);
                uint32_t u = left.u;
                uint32_t v = left.v;
                uint32_t* out = block + r * kTargetWidth;
                for (int k = 0; k < 16; ++k, u += du, v += dv) {
                    const uint32_t texel = texels[(v & 0xFF00) | ((u >> 8) & 0xFF)];
                    if constexpr (mode == WarpMode::Copy) {
                        out[k] = texel;
                    } else if constexpr (mode == WarpMode::Blend) {
                        out[k] = halve(out[k]) + halve(texel);
                    } else {
                        out[k] = halve(texel) + halve(otherBlock[r * kTargetWidth + k]);
                    }
                }
                left.advance();
                right.advance();
            }
        }
    }
}

std::string sizeText(const Image& image) {
    return std::to_string(image.width) + " x " + std::to_string(image.height);
}

}  // namespace

void warpCopy(uint32_t* target, const WarpGrid& grid, const Image& texture) {
    mapGrid<WarpMode::Copy>(target, grid, texture.pixels.data(), nullptr);
}

void warpBlend(uint32_t* target, const WarpGrid& grid, const Image& texture) {
    mapGrid<WarpMode::Blend>(target, grid, texture.pixels.data(), nullptr);
}

void warpBlendWith(uint32_t* target, const WarpGrid& grid, const Image& texture, const Image& other) {
    mapGrid<WarpMode::BlendWith>(target, grid, texture.pixels.data(), other.pixels.data());
}

void checkWarpTexture(const Image& texture, const std::string& name) {
    if (texture.width != 256 || texture.height < 256 ||
        texture.pixels.size() < static_cast<size_t>(256) * 256) {
        throw LoadError(name + ": a warp texture must be 256 pixels wide and at least 256 rows high, not " +
                        sizeText(texture));
    }
}

void checkWarpOther(const Image& other, const std::string& name) {
    if (other.width != kTargetWidth || other.height < kTargetHeight ||
        other.pixels.size() < static_cast<size_t>(kTargetPixels)) {
        throw LoadError(name + ": a warp background must be 512 pixels wide and at least 256 rows high, not " +
                        sizeText(other));
    }
}
