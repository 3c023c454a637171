// The backgrounds of the 3D sections: a tall sky to scroll down, a mountain
// panorama and a sunset sea to scroll sideways, a lit room for the ball, and
// a grey column of text that scrolls beside it.
#include <algorithm>
#include <cmath>

#include "tools/content/picture_tools.h"
#include "tools/content/pictures.h"
#include "tools/content/text.h"

using namespace paint;

namespace {

// A ridge line: height in pixels above the bottom at column x.
float ridge(float x, float scale, float amplitude, uint32_t salt) {
    float n = tileFbm(x / scale, 0.5f, 1 << 12, 5, salt);
    return amplitude * (0.35f + 1.1f * (n - 0.5f) +
                        0.5f * std::pow(tileNoise(x / (scale * 2.7f), 3.5f, 1 << 12, salt + 7), 2.0f));
}

}  // namespace

Image makeScrollerBackground() {
    // From starry night at the top down through a violet nebula to a warm dawn.
    const int width = 512, height = 796;
    Canvas c(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float t = y / static_cast<float>(height - 1);
            Rgb sky = gradient({{0.0f, rgbOf(0x02030C)},
                                {0.35f, rgbOf(0x0C0A2A)},
                                {0.65f, rgbOf(0x30184C)},
                                {0.88f, rgbOf(0x903C50)},
                                {1.0f, rgbOf(0xE8904C)}},
                               t);
            float nebula = tileFbm(x / 90.0f, y / 70.0f, 16, 6, 41);
            float wisps = std::max(0.0f, nebula - 0.48f) * 2.2f;
            Rgb tint = mix(rgbOf(0x4070D0), rgbOf(0xD050A0), tileNoise(x / 150.0f, y / 120.0f, 16, 43));
            float band = std::sin(t * 3.14159f);  // strongest in the middle of the journey
            c.at(x, y) = sky + tint * (wisps * 0.7f * band);
        }
    Rng rng(0x3BAC4);
    for (int s = 0; s < 900; ++s) {
        float y = std::pow(rng.uniform(), 1.6f) * height * 0.85f;  // denser towards the top
        float x = rng.range(0, width), b = rng.range(0.15f, 1.0f);
        addGlow(c, x, y, 1.2f + 1.8f * b * b, rgbOf(0xF0F0FF) * b);
    }
    for (int s = 0; s < 14; ++s) {  // a few bright stars with a halo
        float x = rng.range(20, width - 20), y = rng.range(20, height * 0.7f);
        addGlow(c, x, y, 14.0f, rgbOf(0x8090FF) * 0.35f);
        addGlow(c, x, y, 3.5f, rgbOf(0xFFFFFF));
    }
    return toImage(c);
}

Image makePanoramaBackground() {
    // Four ranges of mountains fading into the haze of a teal-and-peach sky.
    const int width = 1300, height = 256;
    Canvas c(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float t = y / 255.0f;
            c.at(x, y) = gradient({{0.0f, rgbOf(0x183858)},
                                   {0.5f, rgbOf(0x5A8098)},
                                   {0.8f, rgbOf(0xE0B088)},
                                   {1.0f, rgbOf(0xF8D0A0)}},
                                  t);
        }
    addGlow(c, 880, 150, 160, rgbOf(0xFFC080) * 0.5f);
    addGlow(c, 880, 150, 26, rgbOf(0xFFF0D0) * 0.9f);
    struct Range {
        float base, scale, amplitude;
        Rgb colour;
        uint32_t salt;
    };
    const Range ranges[] = {
        {110, 180, 120, rgbOf(0x8890A8), 51},
        {80, 120, 100, rgbOf(0x586A88), 53},
        {50, 90, 80, rgbOf(0x34405C), 55},
        {18, 60, 60, rgbOf(0x141C2C), 57},
    };
    for (const Range& r : ranges)
        for (int x = 0; x < width; ++x) {
            float top = height - r.base - ridge(static_cast<float>(x), r.scale, r.amplitude, r.salt);
            for (int y = std::max(0, static_cast<int>(top)); y < height; ++y) {
                float cover = std::clamp(y + 1.0f - top, 0.0f, 1.0f);  // soft top edge
                float depth = (y - top) / 120.0f;                      // mist rises from the valleys
                Rgb rock = r.colour * (0.9f + 0.2f * tileFbm(x / 12.0f, y / 12.0f, 256, 3, r.salt + 1));
                Rgb hazed = mix(rock, rgbOf(0xC8B0A8),
                                std::clamp(depth * 0.35f, 0.0f, 0.35f) * (r.salt == 57 ? 0.3f : 1.0f));
                c.at(x, y) = mix(c.at(x, y), hazed, cover);
            }
        }
    return toImage(c);
}

Image makeBallRoomBackground() {
    // A dark stage: a teal spotlight behind the ball, rings around it and a
    // floor of fading grid lines.
    const int width = 359, height = 256;
    Canvas c(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float dx = (x - 180.0f) / 180.0f, dy = (y - 118.0f) / 128.0f;
            float r = std::sqrt(dx * dx + dy * dy);
            Rgb base =
                gradient({{0.0f, rgbOf(0x2A6A78)}, {0.5f, rgbOf(0x10303C)}, {1.2f, rgbOf(0x04080C)}}, r);
            float ring = std::pow(0.5f + 0.5f * std::cos(r * 42.0f), 24.0f) * std::max(0.0f, 1.0f - r);
            float grain = tileFbm(x / 20.0f, y / 20.0f, 32, 3, 61);
            c.at(x, y) = base * (0.9f + 0.2f * grain) + rgbOf(0x70E0F0) * (ring * 0.35f);
        }
    // Floor grid below the horizon at row 190, converging on the centre.
    for (int y = 190; y < height; ++y) {
        float depth = (y - 189.0f) / 66.0f;  // 0 at the horizon, 1 at the bottom
        for (int x = 0; x < width; ++x) {
            float u = (x - 180.0f) / (depth * 60.0f + 1.0f);
            float v = 1.0f / (depth + 0.05f);
            float lineU = 1.0f - smoothstep(0.0f, 0.08f, std::fabs(u - std::round(u)));
            float lineV = 1.0f - smoothstep(0.0f, 0.12f * v, std::fabs(v * 4.0f - std::round(v * 4.0f)));
            float glow = std::max(lineU, lineV) * depth;
            c.at(x, y) = c.at(x, y) * 0.8f + rgbOf(0x40C0D0) * (glow * 0.6f);
        }
    }
    return toImage(c);
}

Image makeTextColumn() {
    // Dark lettering on grey paper: the side column of the ball section, whose
    // grey the panel wipe shows before it appears.
    const int width = 153, height = 1436;
    Canvas c(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            float n = tileFbm(x / 6.0f, y / 6.0f, 64, 3, 71);
            float shade =
                165.0f + 14.0f * (n - 0.5f) - 10.0f * smoothstep(140.0f, 153.0f, static_cast<float>(x));
            c.at(x, y) = {shade, shade, shade + 2.0f};
        }
    static const char* const kLines[] = {
        "#no fx",     "",          "this column", "holds no",   "effects.",     "",
        "just words", "scrolling", "slowly",      "beside a",   "dented ball.", "",
        "#why",       "",          "because",     "every demo", "needs a",      "moment of",
        "calm.",      "",          "#the ball",   "",           "pushed",       "from four",
        "sides",      "at once,",  "it wobbles",  "and turns",  "in its",       "little",
        "room.",      "",          "#made with",  "",           "pixels",       "and stubborn",
        "patience",   "in the",    "winter of",   "ninety-",    "nine.",        "",
        "#keep",      "",          "watching.",   "more to",    "come.",        "",
        "#bodravin",
    };
    // Spread the text over the column: the blank lines share what is left.
    auto render = [](const char* line) {
        bool heading = line[0] == '#';
        return renderText(heading ? kBoldFontPath : kSansFontPath, heading ? line + 1 : line,
                          heading ? 20 : 16);
    };
    int used = 0, blanks = 0;
    for (const char* line : kLines) {
        if (line[0] == '\0')
            ++blanks;
        else
            used += render(line).height + (line[0] == '#' ? 12 : 9);
    }
    const int top = 70, bottom = height - 60;
    int blankGap = std::max(10, (bottom - top - used) / std::max(1, blanks));
    int y = top;
    for (const char* line : kLines) {
        bool heading = line[0] == '#';
        if (line[0] == '\0') {
            y += blankGap;
            continue;
        }
        Mask text = render(line);
        Rgb ink = heading ? rgbOf(0x7A1820) : rgbOf(0x202024);
        paintMask(c, text, 14, y, ink);
        if (heading)
            for (int x = 14; x < 14 + text.width && x < width; ++x) c.at(x, y + text.height + 3) = ink;
        y += text.height + (heading ? 12 : 9);
    }
    return toImage(c);
}

Image makeSeaBackground() {
    // Sunset over a calm sea: banded clouds, the sun on the horizon and its
    // broken reflection.
    const int width = 1000, height = 256, horizon = 160;
    Canvas c(width, height);
    const float sunX = 620.0f;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            if (y < horizon) {
                float t = y / static_cast<float>(horizon);
                Rgb sky = gradient({{0.0f, rgbOf(0x1C1040)},
                                    {0.5f, rgbOf(0x6A2868)},
                                    {0.85f, rgbOf(0xE06050)},
                                    {1.0f, rgbOf(0xFFB060)}},
                                   t);
                float cloud = tileFbm(x / 160.0f, y / 14.0f, 64, 5, 81);
                float dense = smoothstep(0.5f, 0.75f, cloud);
                Rgb cloudColour = mix(rgbOf(0x301838), rgbOf(0xF09070), t);
                c.at(x, y) = mix(sky, cloudColour, dense * 0.8f);
            } else {
                float t = (y - horizon) / static_cast<float>(height - horizon);
                Rgb sea =
                    gradient({{0.0f, rgbOf(0x803850)}, {0.3f, rgbOf(0x402048)}, {1.0f, rgbOf(0x100818)}}, t);
                float wave = tileFbm(x / 40.0f, (y - horizon) * (y - horizon) / 60.0f, 64, 3, 83);
                float path = std::exp(-std::pow((x - sunX) / (30.0f + 200.0f * t), 2.0f));
                float glint = smoothstep(0.55f, 0.7f, wave) * path;
                c.at(x, y) = sea * (0.85f + 0.3f * wave) + rgbOf(0xFFC080) * glint;
            }
        }
    addGlow(c, sunX, horizon, 220, rgbOf(0xFF8040) * 0.35f);
    for (int y = 0; y < horizon; ++y)  // the sun's disc, cut by the horizon
        for (int x = static_cast<int>(sunX) - 40; x <= static_cast<int>(sunX) + 40; ++x) {
            float dx = x - sunX, dy = y - (horizon - 8.0f);
            float d = std::sqrt(dx * dx + dy * dy);
            if (d < 36.0f) c.at(x, y) = mix(c.at(x, y), rgbOf(0xFFE0A0), 1.0f - smoothstep(34.0f, 36.0f, d));
        }
    return toImage(c);
}
