// Word flashes and pulses: each scene is one row of a table and one shared drawing function.
#include "app/flashes.h"

#include <cmath>

#include "app/assets.h"
#include "app/scene_math.h"
#include "display/display.h"
#include "fx2d/fade_picture.h"

namespace {

// A flash drifts from (x0, y0) by (dx, dy) per second, fades from level 1 to 0 over
// its second and grows from zoom 0.5 by k per second.
struct WordFlash {
    FadePicture* Assets::*picture;
    double x0, dx, y0, dy, k;
};

constexpr WordFlash kWordFlashes[] = {
    {&Assets::we, 10, 50, 20, 20, 0.7},         {&Assets::are, 100, 60, 80, 30, 0.7},
    {&Assets::bodravin, 200, 70, 140, 40, 0.7}, {&Assets::bodravin, 300, -40, 20, 20, 0.7},
    {&Assets::people, 200, 45, 60, 20, 0.7},    {&Assets::takes, 270, -50, 100, 20, 0.65},
    {&Assets::theblame, 100, 55, 140, 20, 0.6}, {&Assets::are, 300, -40, 20, 20, 0.7},
    {&Assets::you, 280, -45, 60, 20, 0.7},      {&Assets::bodravin, 260, -50, 100, 20, 0.65},
    {&Assets::qm, 240, -55, 140, 20, 0.6},
};

void drawWordFlash(const WordFlash& flash, float t) {
    const double time = t;
    const int x = truncToInt(flash.x0 + flash.dx * time);
    const int y = truncToInt(flash.y0 + flash.dy * time);
    const float level = static_cast<float>(1.0 - time);
    const float zoom = static_cast<float>(0.5 + flash.k * time);
    (assets.*flash.picture)->drawZoomed(frameBuffer, x, y, level, zoom);
}

// A pulse: the picture at (x, 0) with level |sin(t / 2)|, full strength at t = pi.
void drawPulse(FadePicture* picture, int x, float t) {
    const float level = static_cast<float>(std::fabs(std::sin(0.5 * static_cast<double>(t))));
    picture->draw(frameBuffer, x, 0, level);
}

}  // namespace

void wordFlash1(float t) { drawWordFlash(kWordFlashes[0], t); }
void wordFlash2(float t) { drawWordFlash(kWordFlashes[1], t); }
void wordFlash3(float t) { drawWordFlash(kWordFlashes[2], t); }
void wordFlash4(float t) { drawWordFlash(kWordFlashes[3], t); }
void wordFlash5(float t) { drawWordFlash(kWordFlashes[4], t); }
void wordFlash6(float t) { drawWordFlash(kWordFlashes[5], t); }
void wordFlash7(float t) { drawWordFlash(kWordFlashes[6], t); }
void wordFlash8(float t) { drawWordFlash(kWordFlashes[7], t); }
void wordFlash9(float t) { drawWordFlash(kWordFlashes[8], t); }
void wordFlash10(float t) { drawWordFlash(kWordFlashes[9], t); }
void wordFlash11(float t) { drawWordFlash(kWordFlashes[10], t); }

void pulseLogo(float t) { drawPulse(assets.logo, 0, t); }
void pulseP8p1(float t) { drawPulse(assets.p8p1, 0, t); }
void pulseP8p2(float t) { drawPulse(assets.p8p2, 0, t); }
void pulseP8p3(float t) { drawPulse(assets.p8p3, 0, t); }
void pulseP3p1(float t) { drawPulse(assets.p3p1, 256, t); }
void pulseP3p2(float t) { drawPulse(assets.p3p2, 256, t); }
void pulseP9p1(float t) { drawPulse(assets.p9p1, 0, t); }
void pulseP9p2(float t) { drawPulse(assets.p9p2, 0, t); }
void pulseP9p3(float t) { drawPulse(assets.p9p3, 0, t); }
void pulseP9p4(float t) { drawPulse(assets.p9p4, 0, t); }
void pulseP9p5(float t) { drawPulse(assets.p9p5, 0, t); }
