// The warp and feedback scenes of orders 20 to 26 and 41 to 46.
#include "app/warp_sections.h"

#include <array>
#include <cmath>
#include <string>

#include "app/assets.h"
#include "app/demo.h"
#include "app/opening.h"
#include "display/display.h"
#include "fx2d/glow_rays.h"
#include "fx2d/row_effects.h"
#include "fx2d/warp_grid.h"
#include "resources/image.h"
#include "resources/load_error.h"
#include "sync/demo_clock.h"

namespace {

constexpr int kPanelWidth = 359;              // columns taken from "p6back.jpg"
constexpr uint32_t kPanelGrey = 0x00A5A5A5u;  // the rest of each panel row

// Rows 40 to 215 carry the sine bands of a wipe; the others only rise.
constexpr int kBandTop = 40;
constexpr int kBandBottom = 215;

WarpGrid grid;  // refilled by each scene before its mapper reads it

// trunc toward zero of a level sum. Values past +-4096 would be clamped to 0 or
// 255 anyway; limiting them first keeps the conversion defined for any t (NaN
// ends at 0).
int32_t truncLevel(double x) {
    if (!(x > -4096.0)) return -4096;
    if (x > 4096.0) return 4096;
    return static_cast<int32_t>(x);
}

}  // namespace

float tunnelAngle(int32_t demoTimeMs) {
    return static_cast<float>(static_cast<double>(demoTimeMs) * 0.001 * 0.3);
}

namespace {

// A grid point's place on the tube before it is turned and scrolled: it depends on
// the point alone, so the two arc tangents of every point are worked out once.
struct TubePoint {
    float gu, gv;
};
using TubePoints = std::array<std::array<TubePoint, WarpGrid::kColumns>, WarpGrid::kRows>;

TubePoints computeTubePoints() {
    TubePoints points{};
    for (int i = 0; i < WarpGrid::kRows; ++i) {
        const float v = static_cast<float>((i - 8) / 8.5);
        for (int j = 0; j < WarpGrid::kColumns; ++j) {
            const float u = static_cast<float>((j - 16) / 16.5);
            // Depth along the tube: the grid's corners reach u^2 + v^2 = 1.83,
            // so the root stays real.
            const float rest = 2.0f - (u * u + v * v);
            const float scaledRoot = static_cast<float>(4.0 * std::sqrt(static_cast<double>(rest)));
            const float w = 1.0f / scaledRoot;
            points[i][j] = {static_cast<float>(std::atan2(static_cast<double>(w), static_cast<double>(u))),
                            static_cast<float>(std::atan2(static_cast<double>(w), static_cast<double>(v)))};
        }
    }
    return points;
}

}  // namespace

void fillTunnelGrid(WarpGrid& grid, float angle, float t) {
    static const TubePoints tube = computeTubePoints();
    const double cosA = std::cos(static_cast<double>(angle));
    const double sinA = std::sin(static_cast<double>(angle));
    const double scrollU = 1.2 * static_cast<double>(t);
    const double scrollV = 0.4 * static_cast<double>(t);
    for (int i = 0; i < WarpGrid::kRows; ++i) {
        for (int j = 0; j < WarpGrid::kColumns; ++j) {
            const auto [gu, gv] = tube[i][j];
            const float ru = static_cast<float>(gu * cosA - gv * sinA);
            const float rv = static_cast<float>(gu * sinA + gv * cosA);
            const float su = static_cast<float>(ru + scrollU);
            const float sv = static_cast<float>(rv + scrollV);
            grid.at(i, j) = {50.0f * su, 50.0f * sv};
        }
    }
}

namespace {

// 256 sin(m * 3.141592 * (row - 40) / 176) for each band row: the same for every
// frame of a wipe, so it is worked out again only when m changes.
const std::array<double, kBandBottom - kBandTop + 1>& bandWaves(int m) {
    static std::array<double, kBandBottom - kBandTop + 1> waves{};
    static int wavesOf = 0;
    static bool known = false;
    if (!known || wavesOf != m) {
        for (int row = kBandTop; row <= kBandBottom; ++row)
            waves[row - kBandTop] = 256.0 * std::sin(m * 3.141592 * (row - kBandTop) / 176);
        wavesOf = m;
        known = true;
    }
    return waves;
}

}  // namespace

void rowWipeLevels(int32_t* levels, int k, int m, float t) {
    const float base = static_cast<float>(k) * t;
    const int32_t rising = truncLevel(static_cast<double>(base - 356.0f));
    const auto& waves = bandWaves(m);
    for (int row = 0; row < kWipeRows; ++row) {
        int32_t level = rising;
        if (row >= kBandTop && row <= kBandBottom) level = truncLevel(waves[row - kBandTop] + level);
        levels[row] = level < 0 ? 0 : level > 255 ? 255 : level;
    }
}

void checkPanelPicture(const Image& p6back) {
    if (p6back.width != kPanelWidth || p6back.height < kTargetHeight)
        throw LoadError("p6back.jpg: needs 359-pixel rows and at least 256 rows, is " +
                        std::to_string(p6back.width) + " x " + std::to_string(p6back.height));
}

namespace {

// Rows that wipeToPanel builds and then blends while they are still in the cache.
constexpr int kPanelBand = 4;

void buildPanelRows(uint32_t* target, const Image& p6back, int top, int bottom) {
    for (int y = top; y < bottom; ++y) {
        const uint32_t* picture = p6back.row(y);
        uint32_t* row = target + y * kTargetWidth;
        for (int x = 0; x < kPanelWidth; ++x) row[x] = picture[x];
        for (int x = kPanelWidth; x < kTargetWidth; ++x) row[x] = kPanelGrey;
    }
}

}  // namespace

void buildPanel(uint32_t* target, const Image& p6back) { buildPanelRows(target, p6back, 0, kTargetHeight); }

void checkWarpSectionPictures() {
    checkWarpTexture(*assets.txt5, "txt5.jpg");
    checkPanelPicture(*assets.p6back);
}

void tunnelWarp(float t) {
    fillTunnelGrid(grid, tunnelAngle(demoTime()), t);
    warpCopy(workBuffer, grid, *assets.txt5);
}

void wipeToTunnel(float t) {
    int32_t levels[kWipeRows];
    rowWipeLevels(levels, 180, 1, t);
    blendRows(frameBuffer, workBuffer, levels);
}

void glowScene(float) { assets.rays->apply(frameBuffer, workBuffer); }

void wipeToPanel(float t) {
    int32_t levels[kWipeRows];
    rowWipeLevels(levels, 290, 3, t);
    for (int y = 0; y < kTargetHeight; y += kPanelBand) {
        buildPanelRows(workBuffer, *assets.p6back, y, y + kPanelBand);
        blendRows(frameBuffer + y * kTargetWidth, workBuffer + y * kTargetWidth, levels + y, kPanelBand);
    }
}

void closingWarp(float) {
    fillSwirlGrid(grid, demoTime);
    warpBlendWith(frameBuffer, grid, *assets.txt1, *assets.s1);
}
