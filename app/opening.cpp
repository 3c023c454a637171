// The opening section: swirl warp, portrait pairs, level setters and smear waves.
#include "app/opening.h"

#include <array>
#include <cmath>

#include "app/assets.h"
#include "app/scene_math.h"
#include "display/display.h"
#include "fx2d/fade_picture.h"
#include "fx2d/row_effects.h"
#include "fx2d/target.h"
#include "fx2d/warp_grid.h"
#include "resources/image.h"
#include "sync/demo_clock.h"

float portraitLevel[4] = {0.0f, 0.0f, 0.0f, 0.0f};

namespace {

WarpGrid grid;  // refilled by openingScene every frame before the mapper reads it

// Portrait pair k is drawn at x 0, y = trunc(yBase - ySlope * level): pairs 3 and 4
// rise as they grow.
struct PortraitPair {
    FadePicture* Assets::*first;
    FadePicture* Assets::*second;
    double yBase, ySlope;
};
constexpr PortraitPair kPortraitPairs[4] = {{&Assets::pelk1, &Assets::pelk2, 0, 0},
                                            {&Assets::dro1, &Assets::dro2, 40, 0},
                                            {&Assets::tazu1, &Assets::tazu2, 126, 60},
                                            {&Assets::kel1, &Assets::kel2, 186, 70}};

void drawPortraitPair(const PortraitPair& pair, float level) {
    const double l = level;
    const int y = truncToInt(pair.yBase - pair.ySlope * l);
    // The first picture's level equals the zoom: both grow from 0.5 to 1.
    const float zoom = static_cast<float>(0.5 + 0.5 * l);
    // Float comparisons: a level of exactly 0.9 drops the first picture, exactly 0.15
    // does not yet show the second.
    if (level < 0.9f) (assets.*pair.first)->drawZoomed(frameBuffer, 0, y, zoom, zoom);
    if (level > 0.15f) (assets.*pair.second)->drawZoomed(frameBuffer, 0, y, level, zoom);
}

void raiseLevel(int pair, float t) { portraitLevel[pair] = 2.0f * t; }

void dropLevel(int pair, float t) {
    const float level = static_cast<float>(1.0 - 2.3 * static_cast<double>(t));
    portraitLevel[pair] = level < 0.0f ? 0.0f : level;
}

}  // namespace

void fillSwirlGrid(WarpGrid& target, DemoClockReader readClock) { fillSwirlGrid(target, readClock(), readClock); }

void fillSwirlGrid(WarpGrid& target, int32_t d0, DemoClockReader readClock) {
    const float angle = static_cast<float>(static_cast<double>(d0) * 0.001 * 0.1);
    const double cosA = std::cos(static_cast<double>(angle));
    const double sinA = std::sin(static_cast<double>(angle));
    for (int i = 0; i < WarpGrid::kRows; ++i) {
        for (int j = 0; j < WarpGrid::kColumns; ++j) {
            // Every step is stored as a float; the cosines and products are in double.
            float u = static_cast<float>(16 * j - 256);
            float v = static_cast<float>(16 * i - 128);
            u = static_cast<float>(u + 44.0 * std::cos(0.001 * readClock() + 0.3 * j));
            v = static_cast<float>(v + 44.0 * std::cos(0.0001 * readClock() + 0.2 * j));
            v = static_cast<float>(v + 44.0 * std::cos(0.0001 * readClock() + 0.2 * i));
            target.at(i, j) = {static_cast<float>(u * cosA - v * sinA),
                               static_cast<float>(u * sinA + v * cosA)};
        }
    }
}

void checkOpeningPictures() {
    checkWarpTexture(*assets.txt1, "txt1.jpg");
    checkWarpOther(*assets.s1, "s1.tga");
}

void openingScene(float /*t*/) {
    fillSwirlGrid(grid, demoTime);
    warpBlendWith(frameBuffer, grid, *assets.txt1, *assets.s1);
    for (int k = 0; k < 4; ++k) drawPortraitPair(kPortraitPairs[k], portraitLevel[k]);
}

void raiseLevel1(float t) { raiseLevel(0, t); }
void dropLevel1(float t) { dropLevel(0, t); }
void raiseLevel2(float t) { raiseLevel(1, t); }
void dropLevel2(float t) { dropLevel(1, t); }
void raiseLevel3(float t) { raiseLevel(2, t); }
void dropLevel3(float t) { dropLevel(2, t); }
void raiseLevel4(float t) { raiseLevel(3, t); }
void dropLevel4(float t) { dropLevel(3, t); }

void smearWave(float t) {
    // Rows 40 to 215 get a radius of |60 sin(t + sin t)| shaped by half a sine over
    // the band, strongest in the middle; the other rows stay sharp.
    std::array<int32_t, kTargetHeight> radius{};
    const double time = t;
    const double strength = std::fabs(60.0 * std::sin(time + std::sin(time)));
    for (int row = 40; row <= 215; ++row)
        radius[row] = truncToInt(strength * std::sin(3.141592 * (row - 40) / 176));
    smearRows(frameBuffer, radius.data(), kTargetWidth, kTargetWidth, kTargetHeight, 1);
}
