#include "fx2d/fade_picture.h"

#include <algorithm>
#include <cstdint>

#include "fx2d/table_multiplier.h"
#include "fx2d/vector_kernels.h"

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

void FadePicture::draw(uint32_t* dst, int x, int y, float level) {
    buildTables(level);
    const VisiblePart part = visiblePart(x, y, width, height);
    if (part.empty()) return;

    // The vector path does whole vectors of each row; the tables do the rest (all of
    // it without a vector path).
    const VectorKernels* vector = vectorKernels();
    const FadeWeights weights = vector ? fadeWeights(fadeIn_.data(), fadeOut_.data()) : FadeWeights{};
    const int count = static_cast<int>(part.c1 - part.c0);
    for (int64_t r = part.r0; r < part.r1; ++r) {
        const uint32_t* src = image_->row(static_cast<int>(r)) + part.c0;
        uint32_t* out = dst + (y + r) * kTargetWidth + (x + part.c0);
        const int done = vector ? vector->fadeSpan(out, src, count, weights, kDrawOpaque) : 0;
        blendSpan(out + done, src + done, count - done, kDrawOpaque);
    }
}

void FadePicture::drawZoomed(uint32_t* dst, int x, int y, float level, float zoom) {
    buildTables(level);
    // Visible output columns and rows; their source positions stay those of the whole
    // picture (column c samples c * step).
    const auto [step, part] = zoomedPart(x, y, width, height, zoom);
    if (part.empty()) return;

    const int count = static_cast<int>(part.c1 - part.c0);
    const int64_t sx0 = part.c0 * step;
    if (const VectorKernels* vector = vectorKernels()) {
        // The sampled picture columns are the same for every row: worked out once,
        // then each row is a sampled span, or a 1:1 span when they follow each other.
        const FadeWeights weights = fadeWeights(fadeIn_.data(), fadeOut_.data());
        alignas(32) int32_t columns[kTargetWidth];  // count is at most the target's width
        for (int c = 0; c < count; ++c) columns[c] = static_cast<int32_t>((sx0 + c * step) >> 16);
        int64_t sy = part.r0 * step;  // 16.16
        for (int64_t r = part.r0; r < part.r1; ++r, sy += step) {
            const uint32_t* src = image_->row(static_cast<int>(sy >> 16));
            uint32_t* out = dst + (y + r) * kTargetWidth + (x + part.c0);
            const int done =
                step == 65536
                    ? vector->fadeSpan(out, src + columns[0], count, weights, kZoomedOpaque)
                    : vector->fadeSpanSampled(out, src, width, columns, count, weights, kZoomedOpaque);
            for (int c = done; c < count; ++c) {
                const uint32_t p = src[columns[c]];
                if (p & kZoomedOpaque) out[c] = blend(p, out[c]);
            }
        }
        return;
    }
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

namespace {

bool isIdentity(const uint8_t* table) {
    for (int v = 0; v < 256; ++v)
        if (table[v] != v) return false;
    return true;
}

bool isZero(const uint8_t* table) {
    for (int v = 0; v < 256; ++v)
        if (table[v] != 0) return false;
    return true;
}

}  // namespace

// A table i -> trunc(i * level) is (i * m) >> 16 for some 16-bit m unless it is the
// identity (level 1): the levels that give the same table form an interval between
// neighbouring fractions a/b and c/d with b, d <= 255, which is at least 1/65025 wide and
// so holds a multiple of 1/65536. fitTableMultiplier finds it and checks every entry.
FadeWeights fadeWeights(const uint8_t* fadeIn, const uint8_t* fadeOut) {
    using Kind = FadeWeights::Kind;
    const auto in = fitTableMultiplier(fadeIn);
    const auto out = fitTableMultiplier(fadeOut);
    // Both tables rise with i, so the largest sum of two entries is at 255: within a
    // byte, as the scalar code's packed sum needs.
    if (in && out && in->bias == 0 && out->bias == 0 && fadeIn[255] + fadeOut[255] <= 255)
        return {Kind::Mix, in->multiplier, out->multiplier};
    if (isIdentity(fadeIn) && isZero(fadeOut)) return {Kind::CopyPicture};
    if (isZero(fadeIn) && isIdentity(fadeOut)) return {Kind::KeepTarget};
    return {};
}
