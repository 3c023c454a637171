// The four portrait pairs: stylised metal masks lit from the upper left. The
// first picture of a pair is the mask at rest (eyes closed, engravings dark);
// the second is the same mask awake: glowing eyes, lit engravings, a lit rim.
#include <algorithm>
#include <cmath>
#include <vector>

#include "tools/content/fade_layout.h"
#include "tools/content/fade_pictures.h"
#include "tools/content/picture_tools.h"

using namespace paint;

namespace {

enum class Engraving { Arcs, Stripes, Chevrons, Dots };
enum class Crown { Rays, None, Gem, Horns };

struct MaskStyle {
    const char* calmName;
    const char* awakeName;
    int designWidth, designHeight;
    float headWidth;             // half width of the head, as a share of the picture's half width
    float jawTaper;              // how much the head narrows towards the chin
    float roundness;             // superellipse exponent of the outline
    Rgb metal, awakeGlow, aura;  // aura: the light behind the awake mask, seen on its rim
    Engraving engraving;
    Crown crown;
    uint32_t noiseSalt;
};

const MaskStyle kMasks[] = {
    {"pelk1.jpg", "pelk2.jpg", 210, 250, 0.62f, 0.35f, 2.2f, rgbOf(0xC89A50), rgbOf(0x60F0FF),
     rgbOf(0x2080C0), Engraving::Arcs, Crown::Rays, 11},
    {"dro1.jpg", "dro2.jpg", 170, 212, 0.62f, 0.55f, 2.0f, rgbOf(0x58A080), rgbOf(0xFF5030), rgbOf(0xA02010),
     Engraving::Stripes, Crown::None, 23},
    {"tazu1.jpg", "tazu2.jpg", 176, 186, 0.66f, 0.7f, 1.6f, rgbOf(0x98A8C8), rgbOf(0xD070FF), rgbOf(0x6020C0),
     Engraving::Chevrons, Crown::Gem, 37},
    {"kel1.jpg", "kel2.jpg", 170, 136, 0.56f, 0.3f, 2.6f, rgbOf(0xB86040), rgbOf(0xFFD040), rgbOf(0xC05000),
     Engraving::Dots, Crown::Horns, 41},
};

float gauss(float d2, float width) { return std::exp(-d2 / (width * width)); }

// The mask's relief at normalised coordinates (nx right, ny down, the head
// spans -1..1 both ways); negative outside the outline.
struct Relief {
    float height;  // 0 at the rim, about 1 at the middle
    float eye;     // 1 inside an eye opening
    float mouth;   // 1 inside the mouth slit
};

Relief relief(const MaskStyle& s, float nx, float ny) {
    float taper = 1.0f - s.jawTaper * std::max(0.0f, ny) * std::max(0.0f, ny);
    float q = std::pow(std::fabs(nx) / taper, s.roundness) + std::pow(std::fabs(ny), s.roundness);
    if (q >= 1.0f) return {-1.0f, 0, 0};
    float h = std::sqrt(1.0f - q);
    // Brow ridge, nose and cheekbones raise the surface.
    h += 0.12f * gauss((ny + 0.22f) * (ny + 0.22f), 0.09f) * (1.0f - nx * nx);
    h += 0.14f * gauss(nx * nx, 0.07f) * smoothstep(-0.2f, 0.05f, ny) * (1.0f - smoothstep(0.3f, 0.42f, ny));
    h +=
        0.06f * gauss((std::fabs(nx) - 0.42f) * (std::fabs(nx) - 0.42f) + (ny - 0.25f) * (ny - 0.25f), 0.16f);
    // Eye sockets: almond shapes sunk into the surface.
    float ex = (std::fabs(nx) - 0.36f) / 0.22f, ey = (ny + 0.02f - 0.25f * ex * ex * 0.3f) / 0.09f;
    float eyeShape = ex * ex + ey * ey;
    h -= 0.16f * gauss(eyeShape, 1.4f);
    float eye = eyeShape < 1.0f ? 1.0f - smoothstep(0.7f, 1.0f, eyeShape) : 0.0f;
    // Mouth: a slit that curves a little.
    float mx = nx / 0.3f, my = (ny - 0.56f + 0.05f * mx * mx) / 0.03f;
    float mouthShape = mx * mx * mx * mx + my * my;
    h -= 0.08f * gauss(mouthShape, 1.5f);
    float mouth = mouthShape < 1.0f ? 1.0f - smoothstep(0.6f, 1.0f, mouthShape) : 0.0f;
    return {h, eye, mouth};
}

// 0..1: the engraved pattern's line strength at (nx, ny).
float engraving(const MaskStyle& s, float nx, float ny) {
    auto line = [](float v, float width) { return 1.0f - smoothstep(0.0f, width, std::fabs(v)); };
    switch (s.engraving) {
        case Engraving::Arcs: {  // concentric arcs over the forehead
            float r = std::sqrt(nx * nx + (ny + 0.05f) * (ny + 0.05f));
            float band = std::fmod(r * 9.0f, 1.0f) - 0.5f;
            return line(band, 0.12f) * (ny < -0.32f ? 1.0f : 0.0f);
        }
        case Engraving::Stripes: {  // vertical war paint under the eyes
            float stripe = std::fmod(std::fabs(nx) * 14.0f, 1.0f) - 0.5f;
            bool cheek = std::fabs(nx) > 0.2f && std::fabs(nx) < 0.6f && ny > 0.08f && ny < 0.45f;
            return cheek ? line(stripe, 0.16f) : 0.0f;
        }
        case Engraving::Chevrons: {  // nested chevrons from the brow to the chin
            float v = std::fmod(ny * 6.0f - std::fabs(nx) * 4.0f + 10.0f, 1.0f) - 0.5f;
            bool band = std::fabs(nx) > 0.62f || ny < -0.45f;
            return band ? line(v, 0.1f) : 0.0f;
        }
        case Engraving::Dots: {  // rows of dots along the cheeks and brow
            float gx = nx * 10.0f, gy = ny * 10.0f;
            float dx = gx - std::round(gx), dy = gy - std::round(gy);
            bool band = (ny > 0.15f && ny < 0.45f && std::fabs(nx) > 0.45f) || (ny > -0.65f && ny < -0.4f);
            return band ? 1.0f - smoothstep(0.12f, 0.3f, std::sqrt(dx * dx + dy * dy)) : 0.0f;
        }
    }
    return 0.0f;
}

// Crown shapes outside the head: 0..1 coverage.
float crown(const MaskStyle& s, float nx, float ny, bool awake) {
    switch (s.crown) {
        case Crown::Rays: {
            float r = std::sqrt(nx * nx + ny * ny), a = std::atan2(ny, nx);
            if (ny > 0.2f || r < 1.0f) return 0.0f;
            float spoke = std::fabs(std::fmod(a * 16.0f / 6.2831853f + 100.5f, 1.0f) - 0.5f);
            float length = awake ? 1.5f : 1.3f;
            return (1.0f - smoothstep(0.05f, 0.2f, spoke)) * (1.0f - smoothstep(length - 0.15f, length, r));
        }
        case Crown::Gem: {
            float d = std::fabs(nx) / 0.14f + std::fabs(ny + 0.62f) / 0.16f;
            return d < 1.0f ? 1.0f : 0.0f;
        }
        case Crown::Horns: {
            // Two curved horns rising from the temples: arcs of a circle.
            float hx = std::fabs(nx) - 1.25f, hy = ny + 0.2f;
            float r = std::sqrt(hx * hx + hy * hy);
            bool upper = hy < 0.0f && hx < 0.2f;
            float thickness = 0.16f * (1.0f - std::clamp(-hy / 1.0f, 0.0f, 0.8f));
            return upper ? 1.0f - smoothstep(thickness * 0.7f, thickness, std::fabs(r - 0.75f)) : 0.0f;
        }
        case Crown::None:
            break;
    }
    return 0.0f;
}

Image maskImage(const MaskStyle& s, bool awake) {
    FadeSize limit = maxFadeSize(s.calmName);
    FadeSize limitB = maxFadeSize(s.awakeName);
    int width = std::min({s.designWidth, limit.width - 2, limitB.width - 2});
    int height = std::min({s.designHeight, limit.height - 2, limitB.height - 2});
    Canvas canvas(width, height);
    float cx = width * 0.5f, cy = height * 0.56f;
    float hw = width * 0.5f * s.headWidth, hh = height * 0.42f;

    // The relief once per pixel; slopes come from the neighbours (0 outside the outline).
    std::vector<Relief> reliefs(static_cast<size_t>(width) * height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            reliefs[static_cast<size_t>(y) * width + x] =
                relief(s, (x + 0.5f - cx) / hw, (y + 0.5f - cy) / hh);
    auto heightAt = [&](int x, int y) {
        x = std::clamp(x, 0, width - 1);
        y = std::clamp(y, 0, height - 1);
        return std::max(0.0f, reliefs[static_cast<size_t>(y) * width + x].height);
    };

    const float lx = -0.5f, ly = -0.62f, lz = 0.6f;  // light from the upper left, towards the viewer
    const float hx = lx, hy = ly, hz = lz + 1.0f;
    const float hn = std::sqrt(hx * hx + hy * hy + hz * hz);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float nx = (x + 0.5f - cx) / hw, ny = (y + 0.5f - cy) / hh;
            const Relief& r = reliefs[static_cast<size_t>(y) * width + x];
            Rgb& out = canvas.at(x, y);
            if (r.height < 0) {
                float c = crown(s, nx, ny, awake);
                if (c > 0) {
                    Rgb metal = s.metal * (0.55f + 0.35f * (1.0f - ny) * 0.5f);
                    out = mix(out, awake ? mix(metal, s.awakeGlow, 0.6f) : metal, c);
                }
                continue;
            }
            // Surface normal from the relief's slope.
            float dx = heightAt(x + 1, y) - heightAt(x - 1, y);  // per 2 pixels
            float dy = heightAt(x, y + 1) - heightAt(x, y - 1);
            float gx = -dx * hw * 0.5f * 0.35f, gy = -dy * hh * 0.5f * 0.35f;
            float len = std::sqrt(gx * gx + gy * gy + 1.0f);
            float nxv = gx / len, nyv = gy / len, nzv = 1.0f / len;
            float diffuse = std::max(0.0f, nxv * lx + nyv * ly + nzv * lz);
            float spec = std::pow(std::max(0.0f, (nxv * hx + nyv * hy + nzv * hz) / hn), 24.0f);
            float patina = 0.8f + 0.4f * tileFbm(nx * 3 + 8, ny * 3 + 8, 64, 4, s.noiseSalt);
            float edge = smoothstep(0.0f, 0.12f, r.height);  // darken towards the rim

            Rgb colour = s.metal * ((0.16f + 0.95f * diffuse) * patina * (0.45f + 0.55f * edge));
            // Awake, the rim catches the aura's light from behind.
            if (awake)
                colour = colour + s.aura * (1.4f * std::pow(1.0f - smoothstep(0.0f, 0.5f, r.height), 2.0f));
            colour = colour + rgbOf(0xFFF4E0) * (spec * 0.85f);
            float lines = engraving(s, nx, ny);
            if (awake) {
                colour = mix(colour, s.awakeGlow, lines * 0.85f);
                colour = mix(colour, s.awakeGlow * 0.7f, r.mouth * 0.8f);
                Rgb eyeCore = mix(s.awakeGlow, rgbOf(0xFFFFFF), 0.55f);
                colour = mix(colour, eyeCore, r.eye);
            } else {
                colour = colour * (1.0f - 0.45f * lines);
                colour = colour * (1.0f - 0.8f * r.mouth);
                // Closed eyes: a dark socket crossed by the lid's bright seam.
                float seam =
                    1.0f -
                    smoothstep(0.0f, 0.018f,
                               std::fabs(ny + 0.02f -
                                         0.075f * (std::fabs(nx) - 0.36f) * (std::fabs(nx) - 0.36f) * 10.0f));
                colour = colour * (1.0f - 0.7f * r.eye);
                colour = mix(colour, s.metal * 1.3f, seam * r.eye);
            }
            out = colour;
        }

    if (awake) {
        // Light spilling from the eyes.
        float eyeY = cy - 0.02f * hh;
        for (float side : {-1.0f, 1.0f}) {
            float ex = cx + side * 0.36f * hw;
            addGlow(canvas, ex, eyeY, hw * 0.5f, s.awakeGlow * 0.55f);
            addGlow(canvas, ex, eyeY, hw * 0.16f, rgbOf(0xFFFFFF) * 0.5f);
        }
    }
    return toImage(canvas, kFadeBlackCut);
}

}  // namespace

std::vector<NamedImage> makePortraitImages() {
    std::vector<NamedImage> portraits;
    for (const MaskStyle& style : kMasks) {
        portraits.push_back({style.calmName, maskImage(style, false)});
        portraits.push_back({style.awakeName, maskImage(style, true)});
    }
    return portraits;
}
