// A small toolkit for drawing pictures from code: a float RGB canvas, a
// deterministic random generator, tileable noise, gradients and soft shapes.
// Used by the picture makers of the content generator (and free for the mesh textures).
#pragma once

#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

#include "resources/image.h"
#include "tools/content/content.h"

namespace paint {

struct Rgb {
    float r = 0, g = 0, b = 0;
};

inline Rgb operator+(Rgb a, Rgb b) { return {a.r + b.r, a.g + b.g, a.b + b.b}; }
inline Rgb operator*(Rgb a, float k) { return {a.r * k, a.g * k, a.b * k}; }
inline Rgb operator*(Rgb a, Rgb b) { return {a.r * b.r / 255.0f, a.g * b.g / 255.0f, a.b * b.b / 255.0f}; }
Rgb mix(Rgb a, Rgb b, float t);
Rgb rgbOf(uint32_t hex);  // 0xRRGGBB

// Channel values 0..255 (may run outside while drawing; clamped on output).
struct Canvas {
    int width = 0;
    int height = 0;
    std::vector<Rgb> pixels;

    Canvas(int w, int h) : width(w), height(h), pixels(static_cast<size_t>(w) * h) {}
    Rgb& at(int x, int y) { return pixels[static_cast<size_t>(y) * width + x]; }
    const Rgb& at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};

// One coverage value 0..1 per pixel: text, shapes, glows.
struct Mask {
    int width = 0;
    int height = 0;
    std::vector<float> values;

    Mask() = default;
    Mask(int w, int h) : width(w), height(h), values(static_cast<size_t>(w) * h) {}
    float& at(int x, int y) { return values[static_cast<size_t>(y) * width + x]; }
    float at(int x, int y) const { return values[static_cast<size_t>(y) * width + x]; }
};

// xorshift32: the same numbers on every machine and every run.
class Rng {
public:
    explicit Rng(uint32_t start) : state_(start ? start : 0x9E3779B9u) {}
    uint32_t next();
    float uniform();                  // [0, 1)
    float range(float lo, float hi);  // [lo, hi)
    int below(int n);                 // 0 .. n-1

private:
    uint32_t state_;
};

// Value noise in [0, 1] on a lattice that wraps every `period` cells, so a
// texture of period * cell pixels tiles seamlessly. `salt` picks the pattern.
float tileNoise(float x, float y, int period, uint32_t salt);
// Sum of `octaves` layers of tileNoise, each twice as fine and half as strong; in [0, 1].
float tileFbm(float x, float y, int period, int octaves, uint32_t salt);

struct GradientStop {
    float at;
    Rgb colour;
};
// Piecewise-linear colour ramp; stops sorted by `at`.
Rgb gradient(std::initializer_list<GradientStop> stops, float t);

float smoothstep(float edge0, float edge1, float x);

// Adds a soft round glow: colour * (1 - (d/radius)^2)^2 within the radius.
void addGlow(Canvas& canvas, float cx, float cy, float radius, Rgb colour);
// Adds a glow that wraps around the edges (for tileable textures).
void addGlowWrapped(Canvas& canvas, float cx, float cy, float radius, Rgb colour);
// Paints `colour` over the canvas with the mask as coverage, top-left at (x, y).
void paintMask(Canvas& canvas, const Mask& mask, int x, int y, Rgb colour);
// Adds `colour` scaled by the mask (light, glow).
void addMask(Canvas& canvas, const Mask& mask, int x, int y, Rgb colour);
// Separable box blur, run three times (close to a Gaussian of the given radius).
Mask blurMask(const Mask& mask, int radius);

// Rounds and clamps to 0x00RRGGBB. Pixels whose channels all lie below
// `blackCut` become exactly black, so they stay transparent after JPEG coding.
Image toImage(const Canvas& canvas, float blackCut = 0.0f);

// A named JPEG file of the picture at the quality the presentation's pictures use.
ContentFile jpegFile(const std::string& name, const Image& image);

inline constexpr int kJpegQuality = 95;          // textures and backgrounds
inline constexpr int kOverlayJpegQuality = 100;  // pictures drawn with black as transparent

}  // namespace paint
