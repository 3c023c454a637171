// The placements of the word flashes, portrait pairs and pulse panels,
// replayed over fine steps of time and level to find the frame limits.
#include "tools/content/fade_layout.h"

#include <cstring>
#include <functional>

namespace {

constexpr int kFrameWidth = 512;
constexpr int kFrameHeight = 256;
constexpr int kTimeSteps = 2000;

// A word flash: x = trunc(x0 + dx t), y = trunc(y0 + dy t), zoom = 0.5 + k t.
struct Flash {
    const char* picture;
    double x0, dx, y0, dy, k;
};

const Flash kFlashes[] = {
    {"we.jpg", 10, 50, 20, 20, 0.7},         {"are.jpg", 100, 60, 80, 30, 0.7},
    {"bodravin.jpg", 200, 70, 140, 40, 0.7}, {"bodravin.jpg", 300, -40, 20, 20, 0.7},
    {"people.jpg", 200, 45, 60, 20, 0.7},    {"takes.jpg", 270, -50, 100, 20, 0.65},
    {"theblame.jpg", 100, 55, 140, 20, 0.6}, {"are.jpg", 300, -40, 20, 20, 0.7},
    {"you.jpg", 280, -45, 60, 20, 0.7},      {"bodravin.jpg", 260, -50, 100, 20, 0.65},
    {"qm.jpg", 240, -55, 140, 20, 0.6},
};

// A portrait pair at x = 0, y = y0 - dy L, zoom 0.5 + 0.5 L; picture A is drawn
// while L < 0.9, picture B while L > 0.15.
struct Portrait {
    const char* pictureA;
    const char* pictureB;
    double y0, dy;
};

const Portrait kPortraits[] = {
    {"pelk1.jpg", "pelk2.jpg", 0, 0},
    {"dro1.jpg", "dro2.jpg", 40, 0},
    {"tazu1.jpg", "tazu2.jpg", 126, 60},
    {"kel1.jpg", "kel2.jpg", 186, 70},
};

// A pulse panel drawn 1:1 at (x, 0).
struct Pulse {
    const char* picture;
    int x;
};

const Pulse kPulses[] = {
    {"logo.jpg", 0}, {"p8p1.jpg", 0}, {"p8p2.jpg", 0}, {"p8p3.jpg", 0}, {"p3p1.jpg", 256}, {"p3p2.jpg", 256},
    {"p9p1.jpg", 0}, {"p9p2.jpg", 0}, {"p9p3.jpg", 0}, {"p9p4.jpg", 0}, {"p9p5.jpg", 0},
};

bool inside(const FadeRect& r) {
    return r.x >= 0 && r.y >= 0 && r.x + r.width <= kFrameWidth && r.y + r.height <= kFrameHeight;
}

// The zoomed area as the overlay computes it: the size times the 32-bit zoom, truncated.
FadeRect zoomedRect(int x, int y, int width, int height, float zoom) {
    return {x, y, static_cast<int>(static_cast<float>(width) * zoom),
            static_cast<int>(static_cast<float>(height) * zoom)};
}

// Calls `visit` with every rectangle the scenes draw the picture in; stops and
// returns false as soon as `visit` does.
bool forEachPlacement(const std::string& name, int width, int height,
                      const std::function<bool(const FadeRect&)>& visit) {
    for (const Flash& f : kFlashes) {
        if (name != f.picture) continue;
        for (int i = 0; i <= kTimeSteps; ++i) {
            double t = static_cast<double>(i) / kTimeSteps;
            int x = static_cast<int>(f.x0 + f.dx * t), y = static_cast<int>(f.y0 + f.dy * t);
            if (!visit(zoomedRect(x, y, width, height, static_cast<float>(0.5 + f.k * t)))) return false;
        }
    }
    for (const Portrait& p : kPortraits) {
        bool isA = name == p.pictureA, isB = name == p.pictureB;
        if (!isA && !isB) continue;
        for (int i = 0; i <= kTimeSteps; ++i) {
            // Levels from 0 up to the last float below 1 (a raise ends just short of 1).
            float level = i == kTimeSteps ? 0.99999994f : static_cast<float>(i) / kTimeSteps;
            if (isA && !(level < 0.9f)) continue;
            if (isB && !(level > 0.15f)) continue;
            int y = static_cast<int>(p.y0 - p.dy * level);
            if (!visit(zoomedRect(0, y, width, height, static_cast<float>(0.5 + 0.5 * level)))) return false;
        }
    }
    for (const Pulse& p : kPulses)
        if (name == p.picture && !visit({p.x, 0, width, height})) return false;
    return true;
}

}  // namespace

bool fadePictureFits(const std::string& name, int width, int height) {
    bool placed = false;
    bool fits = forEachPlacement(name, width, height, [&](const FadeRect& r) {
        placed = true;
        return inside(r);
    });
    return placed && fits;
}

FadeSize maxFadeSize(const std::string& name) {
    FadeSize size;
    for (int w = 1; w <= kFrameWidth && fadePictureFits(name, w, 1); ++w) size.width = w;
    for (int h = 1; h <= kFrameHeight && fadePictureFits(name, 1, h); ++h) size.height = h;
    return size;
}
