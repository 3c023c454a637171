#include "fx2d/fade_picture.h"

#include <algorithm>
#include <cstdint>

#include "fx2d/sse2_kernels.h"

namespace {

// Transparency tests: a picture pixel with every channel below 4 (1:1) or below 8
// (zoomed) leaves the target alone.
constexpr uint32_t kDrawOpaque = 0xFCFCFC;
constexpr uint32_t kZoomedOpaque = 0xF8F8F8;

// Columns c0 ... c1 - 1 and rows r0 ... r1 - 1 of a w x h area placed with its top-left
// at (x, y) that fall inside the target, in the area's own coordinates (64-bit: x and
// y may be anything).
struct VisiblePart {
    int64_t c0, c1, r0, r1;
    bool empty() const { return c0 >= c1 || r0 >= r1; }
};

VisiblePart visiblePart(int x, int y, int64_t w, int64_t h) {
    return {std::max<int64_t>(0, -int64_t{x}), std::min<int64_t>(w, int64_t{kTargetWidth} - x),
            std::max<int64_t>(0, -int64_t{y}), std::min<int64_t>(h, int64_t{kTargetHeight} - y)};
}

// A zoomed draw: the 16.16 source step (the same for both axes) and the visible part
// of the output, whose size is the picture's size times zoom, truncated toward zero.
// Output column c samples picture column (c * step) >> 16, row r row (r * step) >> 16.
struct ZoomedPart {
    int64_t step;
    VisiblePart part;
};

ZoomedPart zoomedPart(int x, int y, int32_t width, int32_t height, float zoom) {
    const ZoomedPart nothing{0, {0, 0, 0, 0}};
    if (!(zoom > 0.0f)) return nothing;
    const float stepF = 65536.0f / zoom;
    // (capped so that an absurd zoom cannot overflow the conversions; clipping bounds it anyway)
    const float outWF = std::min(static_cast<float>(width) * zoom, 1.0e9f);
    const float outHF = std::min(static_cast<float>(height) * zoom, 1.0e9f);
    if (!(outWF >= 1.0f) || !(outHF >= 1.0f) || !(stepF < 2147483648.0f)) return nothing;
    const int64_t step = static_cast<int64_t>(stepF);
    // Never more output than the picture can feed: sample (n - 1) * step >> 16 stays inside.
    const int64_t outW = std::min<int64_t>(static_cast<int64_t>(outWF),
                                           (int64_t{width} * 65536 - 1) / std::max<int64_t>(step, 1) + 1);
    const int64_t outH = std::min<int64_t>(static_cast<int64_t>(outHF),
                                           (int64_t{height} * 65536 - 1) / std::max<int64_t>(step, 1) + 1);
    return {step, visiblePart(x, y, outW, outH)};
}

}  // namespace

FadePicture::FadePicture(const Image& image)
    : width(image.width), height(image.height), image_(&image), fadeIn_{}, fadeOut_{} {}

void buildFadeTables(float level, uint8_t* fadeIn, uint8_t* fadeOut) {
    // Outside 0 ... 1 the 8-bit weights would wrap and spill one channel into the
    // next; NaN counts as 0.
    if (!(level >= 0.0f)) level = 0.0f;
    if (level > 1.0f) level = 1.0f;
    const double in = level;
    const double out = 1.0 - in;
    for (int i = 0; i < 256; ++i) {
        fadeIn[i] = static_cast<uint8_t>(static_cast<int>(i * in));
        fadeOut[i] = static_cast<uint8_t>(static_cast<int>(i * out));
    }
}

void FadePicture::buildTables(float level) { buildFadeTables(level, fadeIn_.data(), fadeOut_.data()); }

inline uint32_t FadePicture::blend(uint32_t p, uint32_t d) const {
    const uint32_t red = fadeIn_[(p >> 16) & 0xFF] + fadeOut_[(d >> 16) & 0xFF];
    const uint32_t green = fadeIn_[(p >> 8) & 0xFF] + fadeOut_[(d >> 8) & 0xFF];
    const uint32_t blue = fadeIn_[p & 0xFF] + fadeOut_[d & 0xFF];
    return (red << 16) + (green << 8) + blue;
}

void FadePicture::blendSpan(uint32_t* out, const uint32_t* picture, int count, uint32_t opaque) const {
    for (int c = 0; c < count; ++c) {
        const uint32_t p = picture[c];
        if (p & opaque) out[c] = blend(p, out[c]);
    }
}

#ifdef ZD_VECTOR_PATHS

void FadePicture::draw(uint32_t* dst, int x, int y, float level) {
    buildTables(level);
    const VisiblePart part = visiblePart(x, y, width, height);
    if (part.empty()) return;
    const sse2::FadeWeights weights = sse2::fadeWeights(fadeIn_.data(), fadeOut_.data());
    const int count = static_cast<int>(part.c1 - part.c0);
    for (int64_t r = part.r0; r < part.r1; ++r) {
        const uint32_t* src = image_->row(static_cast<int>(r)) + part.c0;
        uint32_t* out = dst + (y + r) * kTargetWidth + (x + part.c0);
        const int done = sse2::fadeSpan(out, src, count, weights, kDrawOpaque);
        blendSpan(out + done, src + done, count - done, kDrawOpaque);
    }
}

// The sampled columns are the same for every row: each picture row they come from is
// gathered into a line once, then blended like a 1:1 row.
void FadePicture::drawZoomed(uint32_t* dst, int x, int y, float level, float zoom) {
    buildTables(level);
    const auto [step, part] = zoomedPart(x, y, width, height, zoom);
    if (part.empty()) return;
    const sse2::FadeWeights weights = sse2::fadeWeights(fadeIn_.data(), fadeOut_.data());
    const int count = static_cast<int>(part.c1 - part.c0);  // at most the target's width
    const int64_t sx0 = part.c0 * step;
    const bool oneToOne = step == 65536;  // the columns follow each other: no gathering
    int32_t columns[kTargetWidth];
    for (int c = 0; c < count; ++c) columns[c] = static_cast<int32_t>((sx0 + c * step) >> 16);

    uint32_t line[kTargetWidth];
    int gatheredRow = -1;
    int64_t sy = part.r0 * step;  // 16.16
    for (int64_t r = part.r0; r < part.r1; ++r, sy += step) {
        const int row = static_cast<int>(sy >> 16);
        const uint32_t* src = image_->row(row);
        if (oneToOne) {
            src += columns[0];
        } else {
            if (row != gatheredRow) {
                for (int c = 0; c < count; ++c) line[c] = src[columns[c]];
                gatheredRow = row;
            }
            src = line;
        }
        uint32_t* out = dst + (y + r) * kTargetWidth + (x + part.c0);
        const int done = sse2::fadeSpan(out, src, count, weights, kZoomedOpaque);
        blendSpan(out + done, src + done, count - done, kZoomedOpaque);
    }
}

#else

void FadePicture::draw(uint32_t* dst, int x, int y, float level) { drawScalar(dst, x, y, level); }

void FadePicture::drawZoomed(uint32_t* dst, int x, int y, float level, float zoom) {
    drawZoomedScalar(dst, x, y, level, zoom);
}

#endif

void FadePicture::drawScalar(uint32_t* dst, int x, int y, float level) {
    buildTables(level);
    const VisiblePart part = visiblePart(x, y, width, height);
    if (part.empty()) return;

    const int count = static_cast<int>(part.c1 - part.c0);
    for (int64_t r = part.r0; r < part.r1; ++r) {
        const uint32_t* src = image_->row(static_cast<int>(r)) + part.c0;
        uint32_t* out = dst + (y + r) * kTargetWidth + (x + part.c0);
        blendSpan(out, src, count, kDrawOpaque);
    }
}

void FadePicture::drawZoomedScalar(uint32_t* dst, int x, int y, float level, float zoom) {
    buildTables(level);
    // Visible output columns and rows; their source positions stay those of the whole
    // picture (column c samples c * step).
    const auto [step, part] = zoomedPart(x, y, width, height, zoom);
    if (part.empty()) return;

    const int count = static_cast<int>(part.c1 - part.c0);
    const int64_t sx0 = part.c0 * step;
    int64_t sy = part.r0 * step;  // 16.16
    for (int64_t r = part.r0; r < part.r1; ++r, sy += step) {
        const uint32_t* src = image_->row(static_cast<int>(sy >> 16));
        uint32_t* out = dst + (y + r) * kTargetWidth + (x + part.c0);
        int64_t sx = sx0;  // 16.16
        for (int c = 0; c < count; ++c, sx += step) {
            const uint32_t p = src[sx >> 16];
            if (p & kZoomedOpaque) out[c] = blend(p, out[c]);
        }
    }
}
