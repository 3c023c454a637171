// SSE2 paths of the row blend and the row smear.
#include "fx2d/sse2_kernels.h"

#ifdef ZD_VECTOR_PATHS

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstring>
#include <optional>

#include "fx2d/row_effects.h"
#include "fx2d/table_multiplier.h"
#include "fx2d/target.h"

namespace sse2 {

namespace {

// One row of the blend. mulTable[w * 256 + c] is (c * w) >> 8; with the channel c
// in a 16-bit lane and the multiplier w << 8, the high half of the product,
// (c * (w << 8)) >> 16, is that same number. The two weighted channels add up to at
// most 254, so no lane spills, and the top byte's weight is 0.
void blendRow(uint32_t* out, const uint32_t* in, int level) {
    const Weight keep = weight(static_cast<uint16_t>((255 - level) << 8));
    const Weight take = weight(static_cast<uint16_t>(level << 8));
    for (int x = 0; x < kTargetWidth; x += 4) {
        const Channels mixed = add(scale(split(load(out + x)), keep), scale(split(load(in + x)), take));
        store(out + x, join(mixed));
    }
}

// The smear runs along a line, each step needing the one before, so the vector
// path runs four lines side by side instead: a vector's 32-bit lanes are four
// lines, and each step moves all four one pixel on. Every channel's window sum stays
// within 0 ... 255 (see the scalar code), so byte arithmetic on whole pixels adds and
// subtracts the three channels without any carry between them.
constexpr int kMaxLength = kTargetWidth;  // longer lines take the scalar path
constexpr int kMaxRadius = 256;
constexpr int kLanes = 4;
// Vectors stepped together: the multiply at the heart of each step has a latency
// that one vector alone would wait on.
constexpr int kVectors = 2;
constexpr int kGroupLines = kLanes * kVectors;
// Each line is copied with zeros after its end: the pixel `radius` ahead of the last
// steps lies beyond the line and counts as black.
constexpr int kCopyLength = kMaxLength + kMaxRadius + kLanes;

// divTable row r for r = 2 ... 256 as a multiplier (row 1 is the identity and has its
// own loop); a row that has none keeps the scalar code.
const std::array<std::optional<TableMultiplier>, kMaxRadius + 1>& divisors() {
    static const auto table = [] {
        std::array<std::optional<TableMultiplier>, kMaxRadius + 1> fits{};
        for (int r = 2; r <= kMaxRadius; ++r) fits[r] = fitTableMultiplier(divTable + r * 256);
        return fits;
    }();
    return table;
}

struct SmearLine {
    uint32_t* pixels;
    int radius;
    TableMultiplier divisor;
};

// Four lines' divisors, one per 32-bit lane.
struct LaneDivisors {
    Weight weight;
    __m128i bias;
};

LaneDivisors laneDivisors(const SmearLine* lines) {
    alignas(16) uint16_t even[8];
    alignas(16) uint32_t odd[4], bias[4];
    for (int l = 0; l < kLanes; ++l) {
        even[2 * l] = even[2 * l + 1] = lines[l].divisor.multiplier;
        odd[l] = lines[l].divisor.multiplier;
        bias[l] = lines[l].divisor.bias * 0x010101u;
    }
    return {{_mm_load_si128(reinterpret_cast<const __m128i*>(even)), _mm_load_si128(reinterpret_cast<const __m128i*>(odd))},
            _mm_load_si128(reinterpret_cast<const __m128i*>(bias))};
}

// q(v) = divTable[r * 256 + v] for every channel of four pixels, each lane with its
// own radius: (max(v - bias, 0) * multiplier) >> 16, the saturating byte subtraction
// giving the max.
inline __m128i divide(__m128i pixels, const LaneDivisors& d) {
    return join(scale(split(_mm_subs_epu8(pixels, d.bias)), d.weight));
}

// Pixels offset ... offset + 3 of four lines, as columns: column i holds pixel
// offset + i of each line.
inline void loadColumns(const uint32_t* const* starts, int offset, __m128i* column) {
    for (int l = 0; l < kLanes; ++l) column[l] = load(starts[l] + offset);
    transpose(column[0], column[1], column[2], column[3]);
}

// Smears kGroupLines lines of `length` pixels (2 ... kMaxLength), radii 2 ... 256.
void smearGroup(const SmearLine* lines, int length) {
    alignas(16) uint32_t copies[kGroupLines][kCopyLength];
    const uint32_t* starts[kGroupLines];  // the copies
    const uint32_t* ahead[kGroupLines];   // the copies, `radius` pixels on
    for (int l = 0; l < kGroupLines; ++l) {
        std::memcpy(copies[l], lines[l].pixels, sizeof(uint32_t) * length);
        std::memset(copies[l] + length, 0, sizeof(uint32_t) * (kCopyLength - length));
        starts[l] = copies[l];
        ahead[l] = copies[l] + lines[l].radius;
    }

    LaneDivisors divisor[kVectors];
    __m128i acc[kVectors];     // window sums, which are also the pixels written
    __m128i behind[kVectors];  // the pixel leaving the window: pixel 0, then each written pixel
    for (int v = 0; v < kVectors; ++v) {
        const SmearLine* four = lines + v * kLanes;
        divisor[v] = laneDivisors(four);
        const __m128i radius = _mm_set_epi32(four[3].radius, four[2].radius, four[1].radius, four[0].radius);
        const int widest = std::max({four[0].radius, four[1].radius, four[2].radius, four[3].radius});
        // First window: the divided pixels 0 ... radius - 1 of each line.
        acc[v] = _mm_setzero_si128();
        __m128i column[kLanes];
        for (int j = 0; j < widest; j += kLanes) {
            loadColumns(starts + v * kLanes, j, column);
            if (j == 0) behind[v] = column[0];
            for (int i = 0; i < kLanes; ++i) {
                const __m128i inside = _mm_cmpgt_epi32(radius, _mm_set1_epi32(j + i));
                acc[v] = _mm_add_epi8(acc[v], _mm_and_si128(divide(column[i], divisor[v]), inside));
            }
        }
    }

    // Step k writes pixel k + 1: the window loses the pixel behind and gains the one
    // `radius` ahead. Four steps per pass, then the four written columns go back to
    // their lines as rows.
    for (int k = 0; k < length - 1; k += kLanes) {
        __m128i entering[kVectors][kLanes];
        for (int v = 0; v < kVectors; ++v) {
            loadColumns(ahead + v * kLanes, k, entering[v]);
            for (int i = 0; i < kLanes; ++i) entering[v][i] = divide(entering[v][i], divisor[v]);
        }
        __m128i written[kVectors][kLanes];
        for (int i = 0; i < kLanes; ++i) {
            for (int v = 0; v < kVectors; ++v) {
                acc[v] = _mm_add_epi8(_mm_sub_epi8(acc[v], divide(behind[v], divisor[v])), entering[v][i]);
                behind[v] = written[v][i] = acc[v];
            }
        }
        const int count = std::min(kLanes, length - 1 - k);
        for (int v = 0; v < kVectors; ++v) {
            transpose(written[v][0], written[v][1], written[v][2], written[v][3]);
            for (int l = 0; l < kLanes; ++l) {
                uint32_t* out = lines[v * kLanes + l].pixels + k + 1;
                if (count == kLanes) {
                    store(out, written[v][l]);
                } else {
                    alignas(16) uint32_t last[kLanes];
                    store(last, written[v][l]);
                    std::memcpy(out, last, sizeof(uint32_t) * count);
                }
            }
        }
    }
}

// Radius 1: each step writes the pixel's own channels back, so the smear only
// clears the top byte of pixels 1 ... length - 1.
void clearTopBytes(uint32_t* pixels, int count) {
    int x = 0;
    for (; x + 4 <= count; x += 4) store(pixels + x, _mm_and_si128(load(pixels + x), splat(0x00FFFFFF)));
    for (; x < count; ++x) pixels[x] &= 0x00FFFFFF;
}

}  // namespace

void blendRows(uint32_t* target, const uint32_t* source, const int32_t* levels) {
    for (int y = 0; y < kTargetHeight; ++y) {
        const int level = std::clamp(levels[y], 0, 255);
        uint32_t* out = target + y * kTargetWidth;
        const uint32_t* in = source + y * kTargetWidth;
        if (level == 0) continue;
        if (level == 255) {
            std::memcpy(out, in, kTargetWidth * sizeof(uint32_t));
            continue;
        }
        blendRow(out, in, level);
    }
}

void smearRows(uint32_t* pixels, const int32_t* radii, int lineStep, int length, int lines, int pixelStep) {
    // Lines side by side need separate, row-like lines: pixels one apart, no overlap.
    if (pixelStep != 1 || length > kMaxLength || (lines > 1 && lineStep < length)) {
        scalar::smearRows(pixels, radii, lineStep, length, lines, pixelStep);
        return;
    }
    SmearLine group[kGroupLines];
    int grouped = 0;
    for (int m = 0; m < lines; ++m) {
        if (radii[m] <= 0) continue;
        const int radius = std::min({radii[m], kMaxRadius, length - 1});
        if (radius < 1) continue;
        uint32_t* line = pixels + static_cast<std::ptrdiff_t>(m) * lineStep;
        if (radius == 1) {
            clearTopBytes(line + 1, length - 1);
        } else if (const auto& divisor = divisors()[radius]) {
            group[grouped++] = {line, radius, *divisor};
            if (grouped == kGroupLines) {
                smearGroup(group, length);
                grouped = 0;
            }
        } else {
            scalar::smearRows(line, &radius, 0, length, 1, 1);
        }
    }
    if (grouped == 0) return;
    // The last group is filled up with lines of zeros that nobody reads.
    uint32_t spare[kMaxLength] = {};
    while (grouped < kGroupLines) group[grouped++] = {spare, 2, *divisors()[2]};
    smearGroup(group, length);
}

}  // namespace sse2

#endif
