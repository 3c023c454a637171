// Glow rays: the light scan, the trails and the additive sprite blit.
#include "fx2d/glow_rays.h"

#include <array>
#include <cstring>
#include <string>

#include "fx2d/vector_kernels.h"
#include "resources/image.h"
#include "resources/load_error.h"

namespace {

constexpr int kRayPixels = GlowRays::kRaySize * GlowRays::kRaySize;
constexpr int kW = kTargetWidth;  // source and target: 512 x 256
constexpr int kH = kTargetHeight;

// The scan window for lights.
constexpr int kScanTop = 30, kScanBottom = 219, kScanLeft = 50, kScanRight = 467;

}  // namespace

void checkRayImage(const Image& ray) {
    if (ray.width != GlowRays::kRaySize || ray.height != GlowRays::kRaySize)
        throw LoadError("ray.tga: must be 256 x 256 pixels, is " + std::to_string(ray.width) + " x " +
                        std::to_string(ray.height));
    if (ray.pixels.size() < static_cast<size_t>(kRayPixels))
        throw LoadError("ray.tga: picture data is shorter than 256 x 256 pixels");
}

GlowRays::GlowRays(const Image& ray, size_t tileTexels)
    : brighter_(3 * static_cast<size_t>(kRayPixels)),
      tiles_(std::array<const uint32_t*, 4>{ray.pixels.data(), brighter_.data(),
                                            brighter_.data() + kRayPixels, brighter_.data() + 2 * kRayPixels}
                 .data(),
             4, tileTexels) {
    checkRayImage(ray);
    levels_[0] = ray.pixels.data();
    // Whole-word multiples: a channel that passes 255 carries into the next
    // one (and out of the word), which is what gives the brighter levels
    // their coloured fringes.
    for (int level = 1; level <= 3; ++level) {
        uint32_t* picture = brighter_.data() + static_cast<size_t>(level - 1) * kRayPixels;
        const uint32_t factor = static_cast<uint32_t>(level + 1);
        for (int k = 0; k < kRayPixels; ++k) picture[k] = ray.pixels[k] * factor;
        levels_[level] = picture;
    }
    for (int level = 0; level <= 3; ++level) {
        spans_[level] = texelSpans(levels_[level]);
        rows_[level] = texelRows(spans_[level].data());
    }
}

std::vector<TexelSpan> texelSpans(const uint32_t* picture) {
    std::vector<TexelSpan> spans(GlowRays::kRaySize, TexelSpan{GlowRays::kRaySize, -1});
    for (int row = 0; row < GlowRays::kRaySize; ++row) {
        for (int16_t column = 0; column < GlowRays::kRaySize; ++column) {
            if (picture[row * GlowRays::kRaySize + column] == 0) continue;
            TexelSpan& span = spans[row];
            if (span.lo > column) span.lo = column;
            span.hi = column;
        }
    }
    return spans;
}

TexelRows texelRows(const TexelSpan* spans) {
    TexelRows rows{0, GlowRays::kRaySize - 1};
    if (!spans) return rows;
    while (rows.first < GlowRays::kRaySize && spans[rows.first].lo > spans[rows.first].hi) ++rows.first;
    while (rows.last >= rows.first && spans[rows.last].lo > spans[rows.last].hi) --rows.last;
    return rows;
}

namespace {

// Clears the rest of the 3 x 3 block below and to the right of a light, so the
// neighbours of this light emit no trail of their own.
void clearAroundLight(uint32_t* p) {
    p[1] = p[2] = 0;
    p[kW] = p[kW + 1] = p[kW + 2] = 0;
    p[2 * kW] = p[2 * kW + 1] = p[2 * kW + 2] = 0;
}

// Where a sprite's texels come from: its picture, the picture's spans (may be null)
// and rows, and when there are some the picture's pre-sampled tiles.
struct SpriteSource {
    const uint32_t* picture;
    const TexelSpan* spans;
    TexelRows rows;
    SpriteTiles* tiles;  // may be null
    int tileIndex;       // the picture's index in `tiles`
};

// addSprite with the kernels of the current path already looked up (null: the
// scalar code), so that a trail looks them up once.
void drawSprite(const VectorKernels* vector, uint32_t* target, const SpriteSource& source, int cx, int cy,
                float size);

// The first light of row[x ... last], or last + 1 when there is none.
int nextLight(const VectorKernels* vector, const uint32_t* row, int x, int last) {
    if (vector) return vector->nextLight(row, x, last);
    for (; x <= last; ++x)
        if (isLight(row[x])) return x;
    return last + 1;
}

}  // namespace

void GlowRays::apply(uint32_t* target, uint32_t* source) const {
    std::memcpy(target, source, sizeof(uint32_t) * kW * kH);
    const VectorKernels* vector = vectorKernels();
    for (int y = kScanTop; y <= kScanBottom; ++y) {
        uint32_t* row = source + y * kW;
        // Each search starts after the last light, whose clearing it then sees.
        for (int x = nextLight(vector, row, kScanLeft, kScanRight); x <= kScanRight;
             x = nextLight(vector, row, x + 1, kScanRight)) {
            clearAroundLight(row + x);
            emitRay(target, x, y);
        }
    }
}

void GlowRays::emitRay(uint32_t* target, int x, int y) const {
    // Only points of the target emit; this also keeps every sprite centre
    // within a few thousand pixels, well inside int range.
    if (x < 0 || x >= kW || y < 0 || y >= kH) return;

    // All in 32-bit floats: the growth per sprite falls with the squared
    // distance to the centre, the step is 4 % of the offset to the centre.
    const float ax = static_cast<float>(256 - x) * 0.4f;
    const float ay = static_cast<float>(128 - y) * 0.4f;
    const float growth = 80.0f / (ax * ax + ay * ay + 1.0f);
    const float sx = static_cast<float>(256 - x) * 0.04f;
    const float sy = static_cast<float>(128 - y) * 0.04f;
    const float d = sx * sx + sy * sy;

    // Far lights: many faint sprites; near ones: few bright ones.
    int level = 0;
    int sprites = 100;
    if (d < 2.5f) {
        level = 1;
        sprites = 50;
    }
    if (d < 1.8f) {
        level = 2;
        sprites = 25;
    }
    if (d < 0.97f) {
        level = 3;
        sprites = 12;
    }

    const SpriteSource source{levels_[level], spans_[level].data(), rows_[level], &tiles_, level};
    float px = static_cast<float>(x);
    float py = static_cast<float>(y);
    float size = 4.0f;
    const VectorKernels* vector = vectorKernels();
    for (int k = 0; k < sprites; ++k) {
        drawSprite(vector, target, source, static_cast<int>(px), static_cast<int>(py), size);
        px += sx;
        py += sy;
        size += growth;
    }
}

namespace {

// Where a sprite goes: top-left corner (x0, y0), n pixels a side, texel step 8.8.
struct SpritePlace {
    int x0, y0, n, step;
};

// False when the sprite is not drawn: below size 1, or not wholly inside the target.
bool placeSprite(int cx, int cy, float size, SpritePlace& place) {
    // A side of 512 or more never fits; rejecting it (and NaN) here keeps
    // every float-to-int conversion below in range.
    if (!(size >= 1.0f) || !(size < 256.0f)) return false;
    const float left = static_cast<float>(cx) - size;
    const float top = static_cast<float>(cy) - size;
    // Truncation toward zero: anything above -1 becomes 0 or more.
    if (!(left > -1.0f) || !(left < static_cast<float>(kW))) return false;
    if (!(top > -1.0f) || !(top < static_cast<float>(kH))) return false;

    const int n = static_cast<int>(2.0f * size);
    const int x0 = static_cast<int>(left);
    const int y0 = static_cast<int>(top);
    if (x0 + n > kW - 1 || y0 + n > kH - 1) return false;

    // 8.8 texel step per target pixel. With n <= 2 * size, (n - 1) * step stays
    // below 65536, so texel columns and rows never pass 255.
    place = {x0, y0, n, static_cast<int>(65536.0f / (2.0f * size))};
    return true;
}

void drawSpriteScalar(uint32_t* target, const uint32_t* picture, const SpritePlace& place) {
    const int n = place.n, step = place.step;
    // Two passes per row keep the blend loop free of the texel gather, so the
    // compiler can run it four pixels at a time: first the row's texels are
    // fetched into a line, then the line is added to the target row.
    uint16_t columns[kW];
    for (int i = 0, u = 0; i < n; ++i, u += step) columns[i] = static_cast<uint16_t>(u >> 8);
    uint32_t line[kW];

    // Sprites wider than the picture sample each texel row more than once;
    // the line is fetched again only when the row changes.
    int v = 0;
    int fetchedRow = -1;
    uint32_t* dst = target + place.y0 * kW + place.x0;
    for (int j = 0; j < n; ++j, v += step, dst += kW) {
        const int row = (v >> 8) & 255;
        if (row != fetchedRow) {
            const uint32_t* texels = picture + row * GlowRays::kRaySize;
            for (int i = 0; i < n; ++i) line[i] = texels[columns[i]];
            fetchedRow = row;
        }
        for (int i = 0; i < n; ++i) dst[i] = addGlowPixel(line[i], dst[i]);
    }
}

// A pre-sampled sprite: n rows of n texels added in order.
void drawTileScalar(uint32_t* dst, const uint32_t* tile, int n) {
    for (int j = 0; j < n; ++j, dst += kW, tile += n)
        for (int i = 0; i < n; ++i) dst[i] = addGlowPixel(tile[i], dst[i]);
}

void drawSprite(const VectorKernels* vector, uint32_t* target, const SpriteSource& source, int cx, int cy,
                float size) {
    SpritePlace place;
    if (!placeSprite(cx, cy, size, place)) return;
    uint32_t* dst = target + place.y0 * kW + place.x0;
    if (source.tiles) {
        if (const uint32_t* tile = source.tiles->find(source.tileIndex, place.n, place.step)) {
            if (vector)
                vector->drawTile(dst, tile, place.n);
            else
                drawTileScalar(dst, tile, place.n);
            return;
        }
    }
    if (vector)
        vector->drawSprite(dst, source.picture, source.spans, source.rows, place.n, place.step);
    else
        drawSpriteScalar(target, source.picture, place);
}

}  // namespace

void addSprite(uint32_t* target, const uint32_t* picture, int cx, int cy, float size,
               const TexelSpan* spans) {
    drawSprite(vectorKernels(), target, SpriteSource{picture, spans, texelRows(spans), nullptr, 0}, cx, cy,
               size);
}
