// makePictures: the warp textures, "s1" as S3T, the ray (8-bit TGA with a
// colour table), the font sheet (24-bit TGA) and the five backgrounds.
#include "tools/content/pictures.h"

#include <algorithm>
#include <array>
#include <cmath>

#include "tools/content/content.h"
#include "tools/content/image_encoders.h"
#include "tools/content/picture_tools.h"
#include "tools/content/text.h"

using namespace paint;

namespace {

// The ray sprite: a soft round glow with a faint four-pointed star, black at
// its edges. It is added hundreds of times per frame, and the glow effect
// multiplies the whole pixel word by up to 4, so every channel stays <= 63.
std::vector<uint8_t> rayTga() {
    std::array<uint32_t, 256> palette{};
    for (int i = 0; i < 256; ++i) {
        uint32_t r = static_cast<uint32_t>(i * 44 / 255), g = static_cast<uint32_t>(i * 54 / 255),
                 b = static_cast<uint32_t>(i * 63 / 255);
        palette[i] = (r << 16) | (g << 8) | b;
    }
    std::vector<uint8_t> indices(256 * 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float dx = (x + 0.5f - 128.0f) / 128.0f, dy = (y + 0.5f - 128.0f) / 128.0f;
            float r = std::sqrt(dx * dx + dy * dy);
            float window = std::max(0.0f, 1.0f - r / 0.97f);
            float glow = std::pow(window, 2.6f);
            float star = std::exp(-std::fabs(dx) * 40.0f) + std::exp(-std::fabs(dy) * 40.0f);
            float value = (0.75f * glow + 0.35f * star * window * window) * 255.0f;
            indices[y * 256 + x] = static_cast<uint8_t>(std::clamp(std::lround(value), 0L, 255L));
        }
    return encodeTga8(256, 256, palette, indices);
}

}  // namespace

Image makeSwirlTexture() {
    // Domain-warped marble in plum, rose and amber; the lattice wraps every 256 pixels.
    Canvas c(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float fx = x / 64.0f, fy = y / 64.0f;
            float wx = tileFbm(fx, fy, 4, 4, 3), wy = tileFbm(fx, fy, 4, 4, 5);
            float n = tileFbm(fx + 2.5f * wx, fy + 2.5f * wy, 4, 5, 7);
            float band = 0.5f + 0.5f * std::sin((n * 3.0f + wx * 1.5f) * 6.2831853f);
            Rgb colour = gradient({{0.0f, rgbOf(0x1A0830)},
                                   {0.35f, rgbOf(0x6A1860)},
                                   {0.65f, rgbOf(0xD04868)},
                                   {0.85f, rgbOf(0xF0A050)},
                                   {1.0f, rgbOf(0xFFE8B0)}},
                                  0.15f + 0.85f * band * (0.4f + 0.8f * n));
            c.at(x, y) = colour;
        }
    return toImage(c);
}

Image makeTunnelTexture() {
    // Riveted steel plates in 32-pixel panels with lamps at some crossings.
    Canvas c(256, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 256; ++x) {
            float n = tileFbm(x / 16.0f, y / 16.0f, 16, 4, 19);
            int px = x % 32, py = y % 32;
            float seam = (px == 0 || py == 0) ? 0.35f : (px == 1 || py == 1) ? 1.35f : 1.0f;
            float plate =
                0.85f + 0.3f * tileNoise(static_cast<float>(x / 32), static_cast<float>(y / 32), 8, 23);
            Rgb steel =
                gradient({{0.0f, rgbOf(0x101828)}, {0.5f, rgbOf(0x385070)}, {1.0f, rgbOf(0x7090A8)}}, n);
            c.at(x, y) = steel * (seam * plate * 0.8f);
            // Rivets two pixels in from each panel corner.
            int rx = (px + 4) % 32, ry = (py + 4) % 32;
            if ((rx == 0 || rx == 8) && (ry == 0 || ry == 8)) c.at(x, y) = rgbOf(0xA0B0C0);
        }
    Rng rng(0x7A5E11);
    struct Lamp {
        int x, y;
    };
    std::vector<Lamp> lamps;
    for (int lamp = 0; lamp < 26; ++lamp) {
        int gx = rng.below(8), gy = rng.below(8);
        float x = gx * 32.0f + 16.0f + rng.range(-6.0f, 6.0f),
              y = gy * 32.0f + 16.0f + rng.range(-6.0f, 6.0f);
        Rgb tint = rng.uniform() < 0.5f ? rgbOf(0xFFB050) : rgbOf(0x60C0FF);
        addGlowWrapped(c, x, y, 14.0f, tint * 0.8f);
        addGlowWrapped(c, x, y, 5.0f, rgbOf(0xFFFFFF) * 0.6f);
        lamps.push_back({static_cast<int>(x), static_cast<int>(y)});
    }
    // Nothing but the lamp cores may reach white: the glow rays start from
    // every near-white pixel.
    for (Rgb& p : c.pixels) {
        p.r = std::min(p.r, 228.0f);
        p.g = std::min(p.g, 228.0f);
        p.b = std::min(p.b, 228.0f);
    }
    // A 2 x 2 core of pure white survives JPEG coding as white.
    for (const Lamp& lamp : lamps)
        for (int j = 0; j <= 1; ++j)
            for (int i = 0; i <= 1; ++i) c.at((lamp.x + i) & 255, (lamp.y + j) & 255) = rgbOf(0xFFFFFF);
    return toImage(c);
}

Image makeOpeningBackdrop() {
    // Night sky over a glowing horizon, a ringed planet rising on the right.
    Canvas c(512, 256);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x) {
            float t = y / 255.0f;
            Rgb sky = gradient({{0.0f, rgbOf(0x060818)},
                                {0.55f, rgbOf(0x28185A)},
                                {0.85f, rgbOf(0x8A3070)},
                                {1.0f, rgbOf(0xF08850)}},
                               t);
            float cloud = tileFbm(x / 64.0f, y / 24.0f, 8, 5, 31);
            c.at(x, y) = sky + rgbOf(0x6040A0) * (std::max(0.0f, cloud - 0.5f) * 0.9f * t);
        }
    Rng rng(0x51A25);
    for (int s = 0; s < 220; ++s) {
        float x = rng.range(0, 512), y = rng.range(0, 170), b = rng.range(0.2f, 1.0f);
        addGlow(c, x, y, 1.6f + 1.4f * b, rgbOf(0xE0E8FF) * b);
    }
    // Planet: lit from the lower left, with an atmosphere rim and a tilted ring.
    const float px = 380, py = 96, pr = 62;
    addGlow(c, px, py, pr * 1.5f, rgbOf(0x402060) * 0.6f);
    for (int y = 0; y < 256; ++y)
        for (int x = 0; x < 512; ++x) {
            float dx = (x - px) / pr, dy = (y - py) / pr;
            float d2 = dx * dx + dy * dy;
            // The ring: an ellipse band, hidden behind the planet's upper half.
            float rx = dx * 0.96f + dy * 0.28f, ry = (-dx * 0.28f + dy * 0.96f) * 4.2f;
            float rr = std::sqrt(rx * rx + ry * ry);
            bool behind = ry < 0 && d2 < 1.0f;
            if (rr > 1.25f && rr < 1.75f && !behind) {
                float bands = 0.6f + 0.4f * std::sin(rr * 40.0f);
                c.at(x, y) = mix(c.at(x, y), rgbOf(0xE8C8A0) * bands, 0.75f);
            }
            if (d2 >= 1.0f || (rr > 1.25f && rr < 1.75f && !behind)) continue;
            float z = std::sqrt(1.0f - d2);
            float light = std::max(0.0f, -0.55f * dx + 0.35f * dy + 0.75f * z);
            float stripes =
                0.75f +
                0.25f * std::sin((dy * 7.0f + 0.6f * tileFbm(dx * 4 + 4, dy * 4 + 4, 16, 3, 37)) * 3.14159f);
            Rgb surface = mix(rgbOf(0x503070), rgbOf(0xE0A070), light * stripes);
            float rim = std::pow(1.0f - z, 3.0f);
            c.at(x, y) = surface * (0.25f + 0.85f * light) + rgbOf(0x90A0FF) * rim * 0.8f;
        }
    return toImage(c);
}

Image makeFontSheet() {
    // ASCII 32..126 in a 16 x 8 grid of 32 x 32 cells, the cell of code k at
    // column k % 16, row k / 16; white-to-gold lettering on black.
    Canvas c(512, 256);
    for (int code = 33; code < 127; ++code) {
        Mask glyph = renderGlyphCell(kBoldFontPath, static_cast<char>(code), 24, 32, 32, 25);
        int x0 = (code % 16) * 32, y0 = (code / 16) * 32;
        for (int y = 0; y < 32; ++y)
            for (int x = 0; x < 32; ++x) {
                float a = glyph.at(x, y);
                if (a > 0)
                    c.at(x0 + x, y0 + y) =
                        gradient({{0.0f, rgbOf(0xFFFFFF)}, {1.0f, rgbOf(0xF0B040)}}, y / 31.0f) * a;
            }
    }
    return toImage(c);
}

std::vector<ContentFile> makePictures() {
    std::vector<ContentFile> files;
    files.push_back({"font.tga", encodeTga24(makeFontSheet())});
    // Only the S3T form of "s1" is stored: asking for "s1.tga" falls back to it.
    files.push_back({"s1.s3t", encodeS3t(makeOpeningBackdrop())});
    files.push_back(jpegFile("txt1.jpg", makeSwirlTexture()));
    files.push_back(jpegFile("txt5.jpg", makeTunnelTexture()));
    files.push_back(jpegFile("p3back.jpg", makeScrollerBackground()));
    files.push_back(jpegFile("p4back.jpg", makePanoramaBackground()));
    files.push_back(jpegFile("p6back.jpg", makeBallRoomBackground()));
    files.push_back(jpegFile("nofx.jpg", makeTextColumn()));
    files.push_back(jpegFile("p8back.jpg", makeSeaBackground()));
    files.push_back({"ray.tga", rayTga()});
    return files;
}
