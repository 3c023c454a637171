// Textures of mesh materials: every texture the span fillers read is 256 x 256;
// a picture of another size is resampled once and filed back in the cache.
#include <algorithm>
#include <cmath>
#include <memory>

#include "resources/resource_cache.h"
#include "scene3d/float_to_int.h"
#include "scene3d/mesh.h"
#include "scene3d/world.h"

namespace {

constexpr int kTextureSide = 256;

// One colour byte of the bilinear blend of four pixels, in single precision,
// truncated toward zero.
uint32_t blendChannel(uint32_t p00, uint32_t p10, uint32_t p01, uint32_t p11, int shift, float fx, float fy) {
    const auto byteOf = [shift](uint32_t p) { return static_cast<float>((p >> shift) & 0xFF); };
    const float value = byteOf(p00) * (1.0f - fx) * (1.0f - fy) + byteOf(p10) * fx * (1.0f - fy) +
                        byteOf(p01) * (1.0f - fx) * fy + byteOf(p11) * fx * fy;
    return static_cast<uint32_t>(truncToInt32(value)) & 0xFF;
}

// Source positions step by w / 256 and h / 256; the right and bottom
// neighbours wrap round to column 0 and row 0.
std::shared_ptr<Image> resampleTo256(const Image& src) {
    auto dst = std::make_shared<Image>(kTextureSide, kTextureSide);
    const int w = src.width;
    const int h = src.height;
    const float stepX = static_cast<float>(w) / 256.0f;
    const float stepY = static_cast<float>(h) / 256.0f;
    for (int i = 0; i < kTextureSide; ++i) {
        const float sy = static_cast<float>(i) * stepY;
        const float floorY = std::floor(sy);
        const float fy = sy - floorY;
        const int y0 = std::min(static_cast<int>(floorY), h - 1);
        const int y1 = (y0 + 1) % h;
        for (int j = 0; j < kTextureSide; ++j) {
            const float sx = static_cast<float>(j) * stepX;
            const float floorX = std::floor(sx);
            const float fx = sx - floorX;
            const int x0 = std::min(static_cast<int>(floorX), w - 1);
            const int x1 = (x0 + 1) % w;
            const uint32_t p00 = src.row(y0)[x0], p10 = src.row(y0)[x1];
            const uint32_t p01 = src.row(y1)[x0], p11 = src.row(y1)[x1];
            dst->row(i)[j] = blendChannel(p00, p10, p01, p11, 0, fx, fy) |
                             blendChannel(p00, p10, p01, p11, 8, fx, fy) << 8 |
                             blendChannel(p00, p10, p01, p11, 16, fx, fy) << 16;
        }
    }
    return dst;
}

}  // namespace

void World::loadMeshTextures(Mesh& mesh) {
    for (size_t i = 0; i < mesh.materials.size(); ++i)
        if (mesh.materials[i].flags & kMaterialTextured)
            mesh.materials[i].texture = &loadTexture(mesh.textureNames[i]);
}

const Image& World::loadTexture(const std::string& name) {
    const Image& src = resources->getImage(name);
    if (src.width == kTextureSide && src.height == kTextureSide) return src;
    auto resampled = std::make_shared<Resource>();
    resampled->image = resampleTo256(src);
    const Image& copy = *resampled->image;
    resources->put(name, std::move(resampled));
    return copy;
}
