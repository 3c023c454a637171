// The row blend and the row smear over vectors of pixels, for any lane width
// (lanes.h); instantiated by the vector kernels' sources.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>

#include "fx2d/lanes.h"
#include "fx2d/row_effects.h"
#include "fx2d/table_multiplier.h"
#include "fx2d/target.h"

namespace {

// One row of the blend at a level 1 ... 254. mulTable[w * 256 + c] is (c * w) >> 8; with the channel c in
// a 16-bit lane and the multiplier w << 8, the high half of the product,
// (c * (w << 8)) >> 16, is that same number. The two weighted channels add up to at
// most 254, so no lane spills, and the top byte's weight is 0.
template <class V>
void blendRow(uint32_t* out, const uint32_t* in, int level) {
    using L = Lanes<V>;
    const Weight<V> keep = weight<V>(static_cast<uint16_t>((255 - level) << 8));
    const Weight<V> take = weight<V>(static_cast<uint16_t>(level << 8));
    for (int x = 0; x < kTargetWidth; x += L::kPixels) {
        const Channels<V> mixed =
            add(scale(split(L::load(out + x)), keep), scale(split(L::load(in + x)), take));
        L::store(out + x, join(mixed));
    }
}

// The smear runs along a line, each step needing the one before, so the vector path
// runs lines side by side instead: a vector's 32-bit lanes are kLines lines, and each
// step moves all of them one pixel on. Every channel's window sum stays within
// 0 ... 255 (see the scalar code), so byte arithmetic on whole pixels adds and
// subtracts the three channels without any carry between them.
constexpr int kSmearMaxLength = kTargetWidth;  // longer lines take the scalar code
constexpr int kSmearMaxRadius = 256;
// Vectors stepped together: the multiply at the heart of each step has a latency that
// one vector alone would wait on.
constexpr int kSmearVectors = 2;
// Each line's divided pixels are followed by zeros: the pixel `radius` ahead of the
// last steps lies beyond the line and counts as black.
constexpr int kSmearDividedLength = kSmearMaxLength + kSmearMaxRadius + 4;

// divTable rows 2 ... 256 as multipliers (row 1 is the identity and has its own
// loop); empty if any row has none.
const std::array<TableMultiplier, kSmearMaxRadius + 1>* smearDivisors() {
    static const auto table = [] {
        std::optional<std::array<TableMultiplier, kSmearMaxRadius + 1>> fits{std::in_place};
        for (int r = 2; r <= kSmearMaxRadius; ++r) {
            const auto fit = fitTableMultiplier(divTable + r * 256);
            if (!fit) return decltype(fits){};
            (*fits)[r] = *fit;
        }
        return fits;
    }();
    return table ? &*table : nullptr;
}

struct SmearLine {
    uint32_t* pixels;
    int radius;
    TableMultiplier divisor;
};

// The divisors of kLines lines, one per 32-bit lane.
template <class V>
Divisor<V> laneDivisors(const SmearLine* lines) {
    using L = Lanes<V>;
    alignas(32) uint32_t even[L::kLines], odd[L::kLines], bias[L::kLines];
    for (int l = 0; l < L::kLines; ++l) {
        even[l] = lines[l].divisor.multiplier * 0x00010001u;
        odd[l] = lines[l].divisor.multiplier;
        bias[l] = lines[l].divisor.bias * 0x010101u;
    }
    return {{L::load(even), L::load(odd)}, L::load(bias)};
}

// q(v) for each channel of one pixel, as the vector lanes compute it.
inline uint32_t divideScalar(uint32_t pixel, TableMultiplier m) {
    return tableEntry(m, pixel & 0xFF) | tableEntry(m, (pixel >> 8) & 0xFF) << 8 |
           tableEntry(m, (pixel >> 16) & 0xFF) << 16;
}

// q of every pixel of a line into `divided`, then zeros up to `end`. q depends on
// nothing but the pixel, so the last vector may overlap the one before it.
template <class V>
void divideLine(const SmearLine& line, int length, uint32_t* divided, int end) {
    using L = Lanes<V>;
    if (length < L::kPixels) {
        for (int x = 0; x < length; ++x) divided[x] = divideScalar(line.pixels[x], line.divisor);
    } else {
        const uint32_t even = line.divisor.multiplier * 0x00010001u, odd = line.divisor.multiplier;
        const Divisor<V> d{{L::splat(even), L::splat(odd)}, L::splat(line.divisor.bias * 0x010101u)};
        for (int x = 0; x < length; x += L::kPixels) {
            const int at = std::min(x, length - L::kPixels);
            L::store(divided + at, divide(L::load(line.pixels + at), d));
        }
    }
    std::memset(divided + length, 0, sizeof(uint32_t) * (end - length));
}

// Smears kSmearVectors * kLines lines of `length` pixels (2 ... kSmearMaxLength),
// radii 2 ... 256. First every pixel is divided, line by line; then the steps run
// with the lines side by side.
template <class V>
void smearGroup(const SmearLine* lines, int length) {
    using L = Lanes<V>;
    constexpr int kGroup = kSmearVectors * L::kLines;
    alignas(32) uint32_t divided[kGroup][kSmearDividedLength];
    const uint32_t* ahead[kGroup];  // the divided pixels, `radius` on: step k takes ahead[k]
    uint32_t* outs[kGroup];         // the lines, one pixel on: step k writes pixel k + 1
    alignas(32) uint32_t windows[kGroup], firsts[kGroup];
    for (int l = 0; l < kGroup; ++l) {
        const int radius = lines[l].radius;
        // The steps read up to pixel length + radius + 1.
        divideLine<V>(lines[l], length, divided[l], length + radius + 3);
        // The first window: the divided pixels 0 ... radius - 1. No channel's sum
        // passes 255, so the packed words add without carries.
        windows[l] = 0;
        for (int x = 0; x < radius; ++x) windows[l] += divided[l][x];
        firsts[l] = lines[l].pixels[0];
        ahead[l] = divided[l] + radius;
        outs[l] = lines[l].pixels + 1;
    }

    Divisor<V> divisor[kSmearVectors];
    V acc[kSmearVectors];     // window sums, which are also the pixels written
    V behind[kSmearVectors];  // the pixel leaving the window: pixel 0, then each written pixel
    for (int v = 0; v < kSmearVectors; ++v) {
        divisor[v] = laneDivisors<V>(lines + v * L::kLines);
        acc[v] = L::load(windows + v * L::kLines);
        behind[v] = L::load(firsts + v * L::kLines);
    }

    // Step k writes pixel k + 1: the window loses the pixel behind and gains the one
    // `radius` ahead. Four steps per pass, between a transpose of the entering
    // pixels into columns and one of the written columns back into rows.
    for (int k = 0; k < length - 1; k += 4) {
        V column[kSmearVectors][4];  // entering, then written
        for (int v = 0; v < kSmearVectors; ++v) L::loadColumns(ahead + v * L::kLines, k, column[v]);
        for (int i = 0; i < 4; ++i) {
            for (int v = 0; v < kSmearVectors; ++v) {
                acc[v] = L::add8(L::sub8(acc[v], divide(behind[v], divisor[v])), column[v][i]);
                behind[v] = column[v][i] = acc[v];
            }
        }
        const int count = std::min(4, length - 1 - k);
        for (int v = 0; v < kSmearVectors; ++v) L::storeColumns(column[v], outs + v * L::kLines, k, count);
    }
}

// Radius 1: each step writes the pixel's own channels back, so the smear only
// clears the top byte of pixels 1 ... length - 1.
template <class V>
void clearTopBytes(uint32_t* pixels, int count) {
    using L = Lanes<V>;
    int x = 0;
    for (; x + L::kPixels <= count; x += L::kPixels)
        L::store(pixels + x, L::load(pixels + x) & L::splat(0x00FFFFFF));
    for (; x < count; ++x) pixels[x] &= 0x00FFFFFF;
}

template <class V>
bool smearRowsLanes(uint32_t* pixels, const int32_t* radii, int lineStep, int length, int lines) {
    using L = Lanes<V>;
    constexpr int kGroup = kSmearVectors * L::kLines;
    const auto* divisors = smearDivisors();
    if (divisors == nullptr || length > kSmearMaxLength) return false;
    SmearLine group[kGroup];
    int grouped = 0;
    for (int m = 0; m < lines; ++m) {
        if (radii[m] <= 0) continue;
        const int radius = std::min({radii[m], kSmearMaxRadius, length - 1});
        if (radius < 1) continue;
        uint32_t* line = pixels + static_cast<std::ptrdiff_t>(m) * lineStep;
        if (radius == 1) {
            clearTopBytes<V>(line + 1, length - 1);
            continue;
        }
        group[grouped++] = {line, radius, (*divisors)[radius]};
        if (grouped == kGroup) {
            smearGroup<V>(group, length);
            grouped = 0;
        }
    }
    if (grouped == 0) return true;
    // The last group is filled up with lines of zeros that nobody reads.
    uint32_t spare[kSmearMaxLength] = {};
    while (grouped < kGroup) group[grouped++] = {spare, 2, (*divisors)[2]};
    smearGroup<V>(group, length);
    return true;
}

}  // namespace
