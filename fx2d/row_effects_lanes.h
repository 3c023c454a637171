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
// step moves all of them one pixel on.
constexpr int kSmearMaxLength = kTargetWidth;  // longer lines take the scalar code
constexpr int kSmearMaxRadius = 256;
// Vectors stepped together: the multiply at the heart of each step has a latency that
// one vector alone would wait on. But more than 16 lines slow the steps down: every
// line's pixels at the same place fall into the same two sets of the first-level
// cache (the rows are 2 KiB apart). So two vectors of 4 or 8 lines, one of 16.
template <class V>
constexpr int kSmearVectors = Lanes<V>::kLines >= 16 ? 1 : 2;
// A line's pixels as the steps read them: the line's last four pixels, then black.
// Step k reads up to pixel k + radius + 3 <= length + radius + 1.
constexpr int kSmearTailLength = kSmearMaxLength + kSmearMaxRadius + 2;

// divTable rows 2 ... 256 as multipliers without a bias (row 1 is the identity and
// has its own loop), so that the steps need not subtract one; empty if any row has
// no such multiplier (none of today's table needs a bias).
const std::array<TableMultiplier, kSmearMaxRadius + 1>* smearDivisors() {
    static const auto table = [] {
        std::optional<std::array<TableMultiplier, kSmearMaxRadius + 1>> fits{std::in_place};
        for (int r = 2; r <= kSmearMaxRadius; ++r) {
            const auto fit = fitTableMultiplier(divTable + r * 256);
            if (!fit || fit->bias != 0) return decltype(fits){};
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
Weight<V> laneDivisors(const SmearLine* lines) {
    using L = Lanes<V>;
    alignas(32) uint32_t even[L::kLines], odd[L::kLines];
    for (int l = 0; l < L::kLines; ++l) {
        even[l] = lines[l].divisor.multiplier * 0x00010001u;
        odd[l] = lines[l].divisor.multiplier;
    }
    return {L::load(even), L::load(odd)};
}

// q(v) for each channel of one pixel, as the vector lanes compute it.
inline uint32_t divideScalar(uint32_t pixel, TableMultiplier m) {
    return tableEntry(m, pixel & 0xFF) | tableEntry(m, (pixel >> 8) & 0xFF) << 8 |
           tableEntry(m, (pixel >> 16) & 0xFF) << 16;
}

// The first window of a line: q of pixels 0 ... radius - 1, summed. No channel's sum
// passes 255, so the packed words add without carries, in lanes and then across.
template <class V>
uint32_t firstWindow(const SmearLine& line) {
    using L = Lanes<V>;
    const TableMultiplier m = line.divisor;
    const Weight<V> d{L::splat(m.multiplier * 0x00010001u), L::splat(m.multiplier)};
    V sum = L::zero();
    int x = 0;
    for (; x + L::kPixels <= line.radius; x += L::kPixels)
        sum = L::add8(sum, divide(L::load(line.pixels + x), d));
    alignas(32) uint32_t words[L::kPixels];
    L::store(words, sum);
    uint32_t window = 0;
    for (const uint32_t word : words) window += word;
    for (; x < line.radius; ++x) window += divideScalar(line.pixels[x], m);
    return window;
}

// Smears kSmearVectors<V> * kLines lines of `length` pixels (2 ... kSmearMaxLength),
// radii 2 ... 256, with the lines side by side. Step k reads the pixel `radius`
// ahead, which still holds its value from before the call, and writes pixel k + 1.
template <class V>
void smearGroup(const SmearLine* lines, int length) {
    using L = Lanes<V>;
    constexpr int kGroup = kSmearVectors<V> * L::kLines;
    // Near its end a line is read from its tail: its last four pixels, copied before
    // any step writes them, at their own positions, then zeros.
    alignas(32) uint32_t tails[kGroup][kSmearTailLength];
    const int tailStart = std::max(0, length - 4);
    const uint32_t* ahead[kGroup];  // step k reads pixels ahead[l] + k ... + 3
    uint32_t* outs[kGroup];         // step k writes pixel outs[l] + k
    alignas(32) uint32_t windows[kGroup], firsts[kGroup];
    int switchAt[kGroup];  // the first step that reads the tail
    for (int l = 0; l < kGroup; ++l) {
        const SmearLine& line = lines[l];
        std::memcpy(tails[l] + tailStart, line.pixels + tailStart, sizeof(uint32_t) * (length - tailStart));
        std::memset(tails[l] + length, 0, sizeof(uint32_t) * (line.radius + 2));
        // The first window: the divided pixels 0 ... radius - 1. No channel's sum
        // passes 255, so the packed words add without carries.
        windows[l] = firstWindow<V>(line);
        firsts[l] = line.pixels[0];
        ahead[l] = line.pixels + line.radius;
        outs[l] = line.pixels + 1;
        switchAt[l] = std::max(0, length - 3 - line.radius);
    }
    // Steps from this one on read some line's tail.
    int nextSwitch = *std::min_element(switchAt, switchAt + kGroup);

    Weight<V> divisor[kSmearVectors<V>];
    // The window sums, which are also the pixels written, and the pixel leaving the
    // window (pixel 0, then each written pixel), both split into channels: so split,
    // the division of the pixel leaving is a multiply straight from the last sums,
    // and each step's chain from one sum to the next is only a multiply and a
    // subtraction long.
    Channels<V> acc[kSmearVectors<V>], behind[kSmearVectors<V>];
    for (int v = 0; v < kSmearVectors<V>; ++v) {
        divisor[v] = laneDivisors<V>(lines + v * L::kLines);
        acc[v] = split(L::load(windows + v * L::kLines));
        behind[v] = split(L::load(firsts + v * L::kLines));
    }

    // Step k: the window loses the pixel behind and gains the one `radius` ahead.
    // Four steps per pass, between a transpose of the entering pixels into columns
    // and one of the written columns back into rows; `count` of them are stored.
    const auto pass = [&](int k, int count) __attribute__((always_inline)) {
        if (k >= nextSwitch) {
            nextSwitch = length;
            for (int l = 0; l < kGroup; ++l) {
                if (k >= switchAt[l])
                    ahead[l] = tails[l] + lines[l].radius;
                else
                    nextSwitch = std::min(nextSwitch, switchAt[l]);
            }
        }
        V column[kSmearVectors<V>][4];  // entering, then written
        for (int v = 0; v < kSmearVectors<V>; ++v) L::loadColumns(ahead + v * L::kLines, k, column[v]);
        for (int i = 0; i < 4; ++i) {
            for (int v = 0; v < kSmearVectors<V>; ++v) {
                // Each channel's sum stays within 0 ... 255 (see the scalar code), and
                // with the entering value added first within 0 ... 510: no 16-bit
                // lane wraps. That addition is kept apart from the subtraction so
                // that it runs beside the multiply of the pixel leaving: the chain
                // from one sum to the next is then that multiply and one subtraction.
                const Channels<V> entering = scale(split(column[v][i]), divisor[v]);
                const Channels<V> leaving = scale(behind[v], divisor[v]);
                acc[v] = sub(settled(add(acc[v], entering)), leaving);
                behind[v] = acc[v];
                column[v][i] = join(acc[v]);
            }
        }
        for (int v = 0; v < kSmearVectors<V>; ++v) L::storeColumns(column[v], outs + v * L::kLines, k, count);
    };
    // The steps are k = 0 ... length - 2: whole passes, then the rest.
    int k = 0;
    for (; k + 4 <= length - 1; k += 4) pass(k, 4);
    if (k < length - 1) pass(k, length - 1 - k);
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
    constexpr int kGroup = kSmearVectors<V> * L::kLines;
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
