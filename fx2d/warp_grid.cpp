#include "fx2d/warp_grid.h"

#include "fx2d/vector_kernels.h"
#include "fx2d/warp_edges.h"
#include "resources/load_error.h"

namespace {

enum class WarpMode { Copy, Blend, BlendWith };

inline uint32_t halve(uint32_t pixel) { return (pixel >> 1) & 0x7F7F7F; }

// Walks the target in 16 block rows of 32 blocks of 16 x 16 pixels. Neighbouring blocks
// share an edge, so each block row sets up its 33 edges once and then goes through its
// 16 pixel rows left to right across all blocks (every pixel depends only on its own
// block, so this order gives the same pixels as block by block). The mode is fixed at
// compile time: the 16-pixel inner loop is fetch, combine, store and two adds.
// Coordinates wrap in 32 bits; only bits 8-15 of u and v pick the texel.
template <WarpMode mode>
void mapGrid(uint32_t* target, const WarpGrid& grid, const uint32_t* texels, const uint32_t* other) {
    WarpEdge edges[WarpGrid::kColumns];
    for (int bi = 0; bi < 16; ++bi) {
        for (int j = 0; j < WarpGrid::kColumns; ++j) edges[j] = warpEdge(grid.at(bi, j), grid.at(bi + 1, j));
        for (int r = 0; r < 16; ++r) {
            const int y = bi * 16 + r;
            uint32_t* out = target + y * kTargetWidth;
            const uint32_t* otherRow = other ? other + y * kTargetWidth : nullptr;
            for (int bj = 0; bj < 32; ++bj, out += 16) {
                const uint32_t du = rowStep(edges[bj].u, edges[bj + 1].u);
                const uint32_t dv = rowStep(edges[bj].v, edges[bj + 1].v);
                uint32_t u = edges[bj].u;
                uint32_t v = edges[bj].v;
                for (int k = 0; k < 16; ++k, u += du, v += dv) {
                    const uint32_t texel = texels[texelIndex(u, v)];
                    if constexpr (mode == WarpMode::Copy) {
                        out[k] = texel;
                    } else if constexpr (mode == WarpMode::Blend) {
                        out[k] = halve(out[k]) + halve(texel);
                    } else {
                        out[k] = halve(texel) + halve(otherRow[bj * 16 + k]);
                    }
                }
            }
            for (WarpEdge& edge : edges) edge.advance();
        }
    }
}

std::string sizeText(const Image& image) {
    return std::to_string(image.width) + " x " + std::to_string(image.height);
}

}  // namespace

void warpCopy(uint32_t* target, const WarpGrid& grid, const Image& texture) {
    if (const VectorKernels* vector = vectorKernels())
        vector->warpCopy(target, grid, texture.pixels.data());
    else
        mapGrid<WarpMode::Copy>(target, grid, texture.pixels.data(), nullptr);
}

void warpBlend(uint32_t* target, const WarpGrid& grid, const Image& texture) {
    if (const VectorKernels* vector = vectorKernels())
        vector->warpBlend(target, grid, texture.pixels.data());
    else
        mapGrid<WarpMode::Blend>(target, grid, texture.pixels.data(), nullptr);
}

void warpBlendWith(uint32_t* target, const WarpGrid& grid, const Image& texture, const Image& other) {
    if (const VectorKernels* vector = vectorKernels())
        vector->warpBlendWith(target, grid, texture.pixels.data(), other.pixels.data());
    else
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
        throw LoadError(name +
                        ": a warp background must be 512 pixels wide and at least 256 rows high, not " +
                        sizeText(other));
    }
}
