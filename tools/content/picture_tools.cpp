// Procedural drawing helpers: noise, ramps, glows and masks on a float canvas.
#include "tools/content/picture_tools.h"

#include <algorithm>
#include <cmath>

#include "tools/content/image_encoders.h"

namespace paint {

Rgb mix(Rgb a, Rgb b, float t) {
    return {a.r + (b.r - a.r) * t, a.g + (b.g - a.g) * t, a.b + (b.b - a.b) * t};
}

Rgb rgbOf(uint32_t hex) {
    return {static_cast<float>((hex >> 16) & 255), static_cast<float>((hex >> 8) & 255),
            static_cast<float>(hex & 255)};
}

uint32_t Rng::next() {
    state_ ^= state_ << 13;
    state_ ^= state_ >> 17;
    state_ ^= state_ << 5;
    return state_;
}

float Rng::uniform() { return static_cast<float>(next() >> 8) * (1.0f / 16777216.0f); }
float Rng::range(float lo, float hi) { return lo + (hi - lo) * uniform(); }
int Rng::below(int n) { return static_cast<int>(next() % static_cast<uint32_t>(n)); }

namespace {

float latticeValue(int x, int y, uint32_t salt) {
    uint32_t h =
        static_cast<uint32_t>(x) * 0x8DA6B343u ^ static_cast<uint32_t>(y) * 0xD8163841u ^ salt * 0xCB1AB31Fu;
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return static_cast<float>(h >> 8) * (1.0f / 16777215.0f);
}

int wrap(int v, int period) {
    int m = v % period;
    return m < 0 ? m + period : m;
}

float fade(float t) { return t * t * (3.0f - 2.0f * t); }

}  // namespace

float tileNoise(float x, float y, int period, uint32_t salt) {
    float fx = std::floor(x), fy = std::floor(y);
    int ix = static_cast<int>(fx), iy = static_cast<int>(fy);
    float tx = fade(x - fx), ty = fade(y - fy);
    int x0 = wrap(ix, period), x1 = wrap(ix + 1, period);
    int y0 = wrap(iy, period), y1 = wrap(iy + 1, period);
    float a = latticeValue(x0, y0, salt), b = latticeValue(x1, y0, salt);
    float c = latticeValue(x0, y1, salt), d = latticeValue(x1, y1, salt);
    float top = a + (b - a) * tx, bottom = c + (d - c) * tx;
    return top + (bottom - top) * ty;
}

float tileFbm(float x, float y, int period, int octaves, uint32_t salt) {
    float sum = 0, weight = 1, total = 0;
    for (int o = 0; o < octaves; ++o) {
        sum += tileNoise(x, y, period, salt + static_cast<uint32_t>(o) * 101u) * weight;
        total += weight;
        x *= 2;
        y *= 2;
        period *= 2;
        weight *= 0.5f;
    }
    return sum / total;
}

Rgb gradient(std::initializer_list<GradientStop> stops, float t) {
    const GradientStop* s = stops.begin();
    if (t <= s[0].at) return s[0].colour;
    for (size_t i = 1; i < stops.size(); ++i)
        if (t <= s[i].at)
            return mix(s[i - 1].colour, s[i].colour, (t - s[i - 1].at) / (s[i].at - s[i - 1].at));
    return s[stops.size() - 1].colour;
}

float smoothstep(float edge0, float edge1, float x) {
    float t = std::clamp((x - edge0) / (edge1 - edge0), 0.0f, 1.0f);
    return t * t * (3.0f - 2.0f * t);
}

void addGlow(Canvas& canvas, float cx, float cy, float radius, Rgb colour) {
    int x0 = std::max(0, static_cast<int>(std::floor(cx - radius)));
    int x1 = std::min(canvas.width - 1, static_cast<int>(std::ceil(cx + radius)));
    int y0 = std::max(0, static_cast<int>(std::floor(cy - radius)));
    int y1 = std::min(canvas.height - 1, static_cast<int>(std::ceil(cy + radius)));
    float inv = 1.0f / (radius * radius);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            float q = 1.0f - (dx * dx + dy * dy) * inv;
            if (q <= 0) continue;
            canvas.at(x, y) = canvas.at(x, y) + colour * (q * q);
        }
}

void addGlowWrapped(Canvas& canvas, float cx, float cy, float radius, Rgb colour) {
    for (int oy = -1; oy <= 1; ++oy)
        for (int ox = -1; ox <= 1; ++ox) {
            float x = cx + ox * canvas.width, y = cy + oy * canvas.height;
            if (x + radius < 0 || x - radius > canvas.width || y + radius < 0 || y - radius > canvas.height)
                continue;
            addGlow(canvas, x, y, radius, colour);
        }
}

namespace {

// Calls blend(pixel, coverage) for every covered canvas pixel under the mask
// placed with its top-left at (x, y); the parts off the canvas are skipped.
template <typename Blend>
void blendMask(Canvas& canvas, const Mask& mask, int x, int y, Blend blend) {
    for (int my = 0; my < mask.height; ++my)
        for (int mx = 0; mx < mask.width; ++mx) {
            int cx = x + mx, cy = y + my;
            if (cx < 0 || cy < 0 || cx >= canvas.width || cy >= canvas.height) continue;
            float a = mask.at(mx, my);
            if (a > 0) blend(canvas.at(cx, cy), a);
        }
}

}  // namespace

void paintMask(Canvas& canvas, const Mask& mask, int x, int y, Rgb colour) {
    blendMask(canvas, mask, x, y,
              [&](Rgb& pixel, float a) { pixel = mix(pixel, colour, std::min(a, 1.0f)); });
}

void addMask(Canvas& canvas, const Mask& mask, int x, int y, Rgb colour) {
    blendMask(canvas, mask, x, y, [&](Rgb& pixel, float a) { pixel = pixel + colour * a; });
}

namespace {

// One box-blur pass along rows (dx = 1) or columns (dx = 0), edges clamped.
Mask boxPass(const Mask& in, int radius, bool alongRows) {
    Mask out(in.width, in.height);
    int lines = alongRows ? in.height : in.width;
    int length = alongRows ? in.width : in.height;
    float inv = 1.0f / (2 * radius + 1);
    for (int l = 0; l < lines; ++l) {
        auto get = [&](int i) {
            i = std::clamp(i, 0, length - 1);
            return alongRows ? in.at(i, l) : in.at(l, i);
        };
        float sum = 0;
        for (int i = -radius; i <= radius; ++i) sum += get(i);
        for (int i = 0; i < length; ++i) {
            (alongRows ? out.at(i, l) : out.at(l, i)) = sum * inv;
            sum += get(i + radius + 1) - get(i - radius);
        }
    }
    return out;
}

}  // namespace

Mask blurMask(const Mask& mask, int radius) {
    if (radius <= 0) return mask;
    Mask m = mask;
    for (int pass = 0; pass < 3; ++pass) m = boxPass(boxPass(m, radius, true), radius, false);
    return m;
}

Image toImage(const Canvas& canvas, float blackCut) {
    Image image(canvas.width, canvas.height);
    for (size_t i = 0; i < canvas.pixels.size(); ++i) {
        const Rgb& p = canvas.pixels[i];
        if (p.r < blackCut && p.g < blackCut && p.b < blackCut) {
            image.pixels[i] = 0;
            continue;
        }
        auto byte = [](float v) { return static_cast<uint32_t>(std::clamp(std::lround(v), 0L, 255L)); };
        image.pixels[i] = (byte(p.r) << 16) | (byte(p.g) << 8) | byte(p.b);
    }
    return image;
}

ContentFile jpegFile(const std::string& name, const Image& image) {
    return {name, encodeJpeg(image, kJpegQuality)};
}

}  // namespace paint
