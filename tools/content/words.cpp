// The flash words: DejaVu Sans Bold lettering with a colour ramp, a bright rim
// along the top edges and a soft coloured glow, on black (transparent).
#include <algorithm>

#include "tools/content/fade_layout.h"
#include "tools/content/fade_pictures.h"
#include "tools/content/lettering.h"
#include "tools/content/text.h"

using namespace paint;

namespace {

struct WordStyle {
    const char* name;
    const char* text;
    int designWidth, designHeight;  // wished size; shrunk to what the frame allows
    Rgb top, middle, bottom, glow;
    int tracking;
};

const WordStyle kWords[] = {
    {"we.jpg", "we", 260, 130, rgbOf(0xFFFFFF), rgbOf(0x9FE4FF), rgbOf(0x2050E0), rgbOf(0x1838A8), 2},
    {"are.jpg", "are", 210, 120, rgbOf(0xFFF6C0), rgbOf(0xFFB020), rgbOf(0xB02808), rgbOf(0x902000), 2},
    {"bodravin.jpg", "bodravin", 210, 70, rgbOf(0xFFFFFF), rgbOf(0x6C8CB8), rgbOf(0xE8F4FF), rgbOf(0x0C70B0),
     1},
    {"you.jpg", "you", 230, 130, rgbOf(0xFFE0FF), rgbOf(0xF040C0), rgbOf(0x5018A0), rgbOf(0x701890), 2},
    {"qm.jpg", "?", 130, 90, rgbOf(0xFFFFFF), rgbOf(0xFF5040), rgbOf(0x800818), rgbOf(0xA01010), 0},
    {"takes.jpg", "takes", 250, 110, rgbOf(0xF0FFD0), rgbOf(0x90E030), rgbOf(0x207018), rgbOf(0x306010), 2},
    {"people.jpg", "people", 225, 120, rgbOf(0xE0FFFF), rgbOf(0x30D0D0), rgbOf(0x105878), rgbOf(0x0C5868), 1},
    {"theblame.jpg", "the blame", 330, 90, rgbOf(0xFFFFFF), rgbOf(0xFF7030), rgbOf(0x901020), rgbOf(0x982010),
     1},
};

Image wordImage(const WordStyle& style) {
    FadeSize limit = maxFadeSize(style.name);
    // Two pixels to spare, for a flash that runs a hair past its second.
    int width = std::min(style.designWidth, limit.width - 2);
    int height = std::min(style.designHeight, limit.height - 2);
    int pad = std::max(3, height / 14);  // room for the glow
    Mask text = renderTextToFit(kBoldFontPath, style.text, width - 2 * pad, height - 2 * pad, style.tracking);
    // Crop to the lettering and its glow: less to draw, same look.
    width = std::min(width, text.width + 2 * pad);
    height = std::min(height, text.height + 2 * pad);
    int ox = (width - text.width) / 2, oy = (height - text.height) / 2;

    Canvas canvas(width, height);
    LetterStyle look{style.top, style.middle, style.bottom, style.glow * 1.6f, std::max(2, pad / 2 + 1),
                     0.6f};
    paintLettering(canvas, text, ox, oy, look);
    return toImage(canvas, kFadeBlackCut);
}

}  // namespace

std::vector<NamedImage> makeWordImages() {
    std::vector<NamedImage> words;
    for (const WordStyle& style : kWords) words.push_back({style.name, wordImage(style)});
    return words;
}
