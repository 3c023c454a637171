#include "fx2d/row_effects.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstring>

#include "fx2d/mul_table.h"
#include "fx2d/vector_kernels.h"

uint8_t divTable[257 * 256];

namespace {

// The float nearest to x on the side of zero (x > 0), i.e. x rounded toward zero.
float floatTowardZero(double x) {
    float f = static_cast<float>(x);
    if (static_cast<double>(f) > x) f = std::nextafter(f, 0.0f);
    return f;
}

}  // namespace

void buildDivTable() {
    std::memset(divTable, 0, 256);
    for (int n = 1; n <= 256; ++n) {
        // The reciprocal, rounded toward zero to a float (1 / n in double is never
        // exactly halfway between floats, so rounding it once more is safe).
        const float reciprocal = floatTowardZero(1.0 / n);
        for (int v = 0; v < 256; ++v) {
            // v * reciprocal is exact in double; rounding it toward zero to a float and
            // then truncating to an integer gives the same integer as truncating it directly.
            const double product = static_cast<double>(v) * static_cast<double>(reciprocal);
            divTable[n * 256 + v] = static_cast<uint8_t>(static_cast<int>(floatTowardZero(product)));
        }
    }
}

namespace {

// One line: each channel keeps a window sum of q-values (q = divTable row r), the
// pixel r ahead entering, the already smeared pixel behind leaving.
//
// Every sum stays within 0 ... 255: it starts at most r * q(255) <= 255, and a step
// gives a - q(a) + q(v) <= 255 for all a, v in 0 ... 255 and every row of the table
// (checked over the whole table). So a written channel equals its sum, and the pixel
// behind, written one step earlier, is read from the sums instead of from memory.
void smearLine(uint32_t* p, int length, int r, int step) {
    const uint8_t* q = divTable + r * 256;
    int accB = 0, accG = 0, accR = 0;
    for (int k = 0; k < r; ++k) {
        const uint32_t c = p[k * step];
        accB += q[c & 0xFF];
        accG += q[(c >> 8) & 0xFF];
        accR += q[(c >> 16) & 0xFF];
    }
    // Channels of the pixel behind: p[0] as it is, then each written pixel.
    int behindB = p[0] & 0xFF, behindG = (p[0] >> 8) & 0xFF, behindR = (p[0] >> 16) & 0xFF;
    auto write = [&](int k) {
        p[(k + 1) * step] = static_cast<uint32_t>(accB + (accG << 8) + (accR << 16));
        behindB = accB;
        behindG = accG;
        behindR = accR;
    };
    for (int k = 0; k < length - r; ++k) {
        const uint32_t ahead = p[(k + r) * step];
        accB += q[ahead & 0xFF] - q[behindB];
        accG += q[(ahead >> 8) & 0xFF] - q[behindG];
        accR += q[(ahead >> 16) & 0xFF] - q[behindR];
        write(k);
    }
    // The pixel r ahead now lies beyond the line and counts as black.
    for (int k = length - r; k < length - 1; ++k) {
        accB -= q[behindB];
        accG -= q[behindG];
        accR -= q[behindR];
        write(k);
    }
}

}  // namespace

namespace {

void buildDivTableOnce() {
    static const bool tableBuilt = (buildDivTable(), true);
    (void)tableBuilt;
}

}  // namespace

void smearRows(uint32_t* pixels, const int32_t* radii, int lineStep, int length, int lines, int pixelStep) {
    buildDivTableOnce();
    // The vector paths run lines side by side: they need row-like lines, pixels one
    // apart, that do not overlap.
    const VectorKernels* vector = vectorKernels();
    if (vector && pixelStep == 1 && (lines <= 1 || lineStep >= length) &&
        vector->smearRows(pixels, radii, lineStep, length, lines))
        return;
    for (int m = 0; m < lines; ++m) {
        if (radii[m] <= 0) continue;
        // The table has rows up to 256, and the first window must lie inside the line.
        const int radius = std::min({radii[m], 256, length - 1});
        if (radius < 1) continue;
        smearLine(pixels + static_cast<std::ptrdiff_t>(m) * lineStep, length, radius, pixelStep);
    }
}

void blendRows(uint32_t* target, const uint32_t* source, const int32_t* levels, int rows) {
    const VectorKernels* vector = vectorKernels();
    for (int y = 0; y < rows; ++y) {
        const int level = std::clamp(levels[y], 0, 255);
        uint32_t* out = target + y * kTargetWidth;
        const uint32_t* in = source + y * kTargetWidth;
        if (level == 0) continue;
        if (level == 255) {
            std::memcpy(out, in, kTargetWidth * sizeof(uint32_t));
            continue;
        }
        if (vector) {
            vector->blendRow(out, in, level);
            continue;
        }
        const uint8_t* keep = mulTable + (255 - level) * 256;  // target weight
        const uint8_t* take = mulTable + level * 256;          // source weight
        for (int x = 0; x < kTargetWidth; ++x) {
            const uint32_t d = out[x];
            const uint32_t s = in[x];
            const uint32_t red = keep[(d >> 16) & 0xFF] + take[(s >> 16) & 0xFF];
            const uint32_t green = keep[(d >> 8) & 0xFF] + take[(s >> 8) & 0xFF];
            const uint32_t blue = keep[d & 0xFF] + take[s & 0xFF];
            out[x] = (red << 16) + (green << 8) + blue;
        }
    }
}
