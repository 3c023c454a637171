#include "tools/content/mesh_textures.h"

#include <algorithm>
#include <cmath>

#include "resources/image.h"
#include "tools/content/image_encoders.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

uint32_t packRgb(double r, double g, double b) {
    auto channel = [](double value) { return static_cast<uint32_t>(std::clamp(value, 0.0, 255.0)); };
    return (channel(r) << 16) | (channel(g) << 8) | channel(b);
}

// A lattice value in [0, 1) from integer coordinates (a fixed integer hash).
double latticeValue(int x, int y, int salt) {
    uint32_t h = static_cast<uint32_t>(x) * 374761393u + static_cast<uint32_t>(y) * 668265263u +
                 static_cast<uint32_t>(salt) * 2246822519u;
    h = (h ^ (h >> 13)) * 1274126177u;
    h ^= h >> 16;
    return (h & 0xFFFFFF) / 16777216.0;
}

// Smooth value noise that repeats every `periodX` lattice cells in x and
// `periodY` in y.
double tiledNoise(double x, double y, int periodX, int periodY, int salt) {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = x - x0, fy = y - y0;
    const double sx = fx * fx * (3 - 2 * fx), sy = fy * fy * (3 - 2 * fy);
    auto at = [&](int i, int j) {
        return latticeValue(((i % periodX) + periodX) % periodX, ((j % periodY) + periodY) % periodY, salt);
    };
    const double top = at(x0, y0) + (at(x0 + 1, y0) - at(x0, y0)) * sx;
    const double bottom = at(x0, y0 + 1) + (at(x0 + 1, y0 + 1) - at(x0, y0 + 1)) * sx;
    return top + (bottom - top) * sy;
}

// Four octaves of tiled noise; u, v in [0, 1) cover one period.
double tiledTurbulence(double u, double v, int basePeriod, int salt) {
    double sum = 0, weight = 0.5;
    int period = basePeriod;
    for (int octave = 0; octave < 4; ++octave) {
        sum += weight * tiledNoise(u * period, v * period, period, period, salt + octave);
        weight *= 0.5;
        period *= 2;
    }
    return sum / 0.9375;
}

Image marble() {
    Image image(128, 128);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double u = x / 128.0, v = y / 128.0;
            const double turbulence = tiledTurbulence(u, v, 4, 11);
            const double vein = std::pow(std::fabs(std::sin(2 * kPi * (2 * u + v) + 6 * turbulence)), 0.35);
            const double cloud = tiledTurbulence(u, v, 8, 31);
            image.row(y)[x] =
                packRgb(70 + 170 * vein + 20 * cloud, 60 + 160 * vein + 15 * cloud, 80 + 150 * vein);
        }
    }
    return image;
}

Image tiles() {
    Image image(320, 200);  // 8 x 5 tiles of 40 x 40 pixels: wraps seamlessly
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const int tx = x / 40, ty = y / 40, ix = x % 40, iy = y % 40;
            const double shade = 0.6 + 0.4 * latticeValue(tx, ty, 5);
            const bool grout = ix < 2 || iy < 2;
            const double bevel = (ix < 5 || iy < 5) ? 1.25 : (ix > 35 || iy > 35) ? 0.75 : 1.0;
            const double grain = 0.85 + 0.3 * tiledNoise(x / 8.0, y / 8.0, 40, 25, 9);
            const double diagonal = ((ix + iy) % 40 < 20) ? 1.0 : 0.9;
            if (grout) {
                image.row(y)[x] = packRgb(30, 24, 40);
            } else {
                const double k = shade * bevel * grain * diagonal;
                image.row(y)[x] = packRgb(200 * k, 120 * k, 70 * k);
            }
        }
    }
    return image;
}

// An environment map read by the vertex normal: rows run from one pole to the
// other, so the upper half is sky, a bright horizon in the middle, ground below.
Image environment(int width, int height, double skyR, double skyG, double skyB, double groundR,
                  double groundG, double groundB) {
    Image image(width, height);
    for (int y = 0; y < height; ++y) {
        const double v = (y + 0.5) / height * 2 - 1;  // -1 .. 1
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width;
            const double horizon = std::exp(-std::fabs(v) * 14) * 255;
            const double streak =
                std::pow(0.5 + 0.5 * std::cos(2 * kPi * 3 * u), 8) * 120 * (1 - std::fabs(v));
            const double clouds = 40 * tiledNoise(u * 8, (v + 1) * 4, 8, 8, 17);
            double r, g, b;
            if (v < 0) {
                const double k = 0.4 + 0.6 * (1 + v);
                r = skyR * k + clouds;
                g = skyG * k + clouds;
                b = skyB * k + clouds;
            } else {
                const double k = 1 - 0.8 * v;
                r = groundR * k;
                g = groundG * k;
                b = groundB * k;
            }
            image.row(y)[x] = packRgb(r + horizon + streak, g + horizon + streak, b + horizon * 0.9 + streak);
        }
    }
    return image;
}

Image plasma() {
    Image image(200, 200);
    for (int y = 0; y < image.height; ++y) {
        for (int x = 0; x < image.width; ++x) {
            const double u = 2 * kPi * x / 200.0, v = 2 * kPi * y / 200.0;
            const double value = std::sin(u * 2) + std::sin(v * 3) + std::sin(u + v) + std::sin(2 * u - v);
            const double phase = value * 0.8;
            image.row(y)[x] = packRgb(128 + 127 * std::sin(phase), 90 + 90 * std::sin(phase + 2.1),
                                      160 + 95 * std::sin(phase + 4.2));
        }
    }
    return image;
}

}  // namespace

std::vector<ContentFile> makeMeshTextures() {
    return {
        {meshtex::kMarble, encodeJpeg(marble(), 90)},
        {meshtex::kTiles, encodeJpeg(tiles(), 90)},
        {meshtex::kChrome, encodeJpeg(environment(256, 256, 90, 150, 230, 120, 70, 40), 92)},
        {meshtex::kPlasma, encodeJpeg(plasma(), 90)},
        {meshtex::kSunset, encodeJpeg(environment(256, 128, 200, 90, 150, 40, 30, 90), 92)},
    };
}
