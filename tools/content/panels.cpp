// The pulse panels and the logo: credits, greetings and title lettering laid
// out on black (transparent), with thin rules and small accents.
#include <algorithm>
#include <cmath>

#include "tools/content/fade_layout.h"
#include "tools/content/fade_pictures.h"
#include "tools/content/lettering.h"
#include "tools/content/text.h"

using namespace paint;

namespace {

enum class Align { Left, Centre, Right };

const LetterStyle kChrome{rgbOf(0xFFFFFF), rgbOf(0x7890B8), rgbOf(0xDDEEFF), rgbOf(0x103870), 3, 0.6f};
const LetterStyle kGold{rgbOf(0xFFF4C8), rgbOf(0xF0A830), rgbOf(0x904010), rgbOf(0x502008), 2, 0.5f};
const LetterStyle kIce{rgbOf(0xF0FFFF), rgbOf(0x70D8F0), rgbOf(0x2870B0), rgbOf(0x0C3050), 2, 0.5f};
const LetterStyle kRose{rgbOf(0xFFE8F0), rgbOf(0xF06090), rgbOf(0x802050), rgbOf(0x401030), 2, 0.5f};
const LetterStyle kPale{rgbOf(0xE8E8F0), rgbOf(0xB8B8C8), rgbOf(0x8890A8), rgbOf(0x000000), 0, 0.2f};

// Paints rendered lettering with its top at y, aligned on x; returns its width.
int placeMask(Canvas& canvas, const Mask& mask, int x, int y, const LetterStyle& style, Align align) {
    int left = align == Align::Left ? x : align == Align::Centre ? x - mask.width / 2 : x - mask.width;
    paintLettering(canvas, mask, left, y, style);
    return mask.width;
}

// Renders `text` as large as fits in maxWidth x maxHeight and places it.
int placeText(Canvas& canvas, const char* font, const std::string& text, int x, int y, int maxWidth,
              int maxHeight, const LetterStyle& style, Align align, int tracking = 0) {
    return placeMask(canvas, renderTextToFit(font, text, maxWidth, maxHeight, tracking), x, y, style, align);
}

// As placeText, at a fixed pixel size (so that lists keep one size).
int placeTextSized(Canvas& canvas, const char* font, const std::string& text, int x, int y, int pixelSize,
                   const LetterStyle& style, Align align, int tracking = 0) {
    return placeMask(canvas, renderText(font, text, pixelSize, tracking), x, y, style, align);
}

// A one- or two-pixel rule whose ends fade out.
void rule(Canvas& canvas, int x0, int x1, int y, Rgb colour, int thickness = 1) {
    for (int x = x0; x <= x1; ++x) {
        float t = static_cast<float>(x - x0) / std::max(1, x1 - x0);
        float fade = smoothstep(0.0f, 0.2f, t) * smoothstep(0.0f, 0.2f, 1.0f - t);
        for (int k = 0; k < thickness; ++k)
            if (x >= 0 && x < canvas.width && y + k >= 0 && y + k < canvas.height)
                canvas.at(x, y + k) = mix(canvas.at(x, y + k), colour, fade);
    }
}

void square(Canvas& canvas, int x, int y, int size, Rgb colour) {
    for (int j = 0; j < size; ++j)
        for (int i = 0; i < size; ++i)
            if (x + i >= 0 && x + i < canvas.width && y + j >= 0 && y + j < canvas.height)
                canvas.at(x + i, y + j) = colour;
}

Image logo() {
    Canvas c(512, 256);
    Mask title = renderTextToFit(kBoldFontPath, "bodravin", 440, 86, 6);
    int tx = (512 - title.width) / 2, ty = 58;
    paintLettering(c, title, tx, ty,
                   {rgbOf(0xFFFFFF), rgbOf(0x4068A8), rgbOf(0xF0F8FF), rgbOf(0x0A3080), 5, 0.7f});
    // A faint mirror image under the title, fading downwards.
    Mask mirror(title.width, title.height / 2);
    for (int y = 0; y < mirror.height; ++y)
        for (int x = 0; x < mirror.width; ++x)
            mirror.at(x, y) =
                title.at(x, title.height - 1 - y) * 0.6f * (1.0f - static_cast<float>(y) / mirror.height);
    paintMask(c, mirror, tx, ty + title.height + 8, rgbOf(0xB0C8FF));
    rule(c, 36, 476, ty + title.height + 5, rgbOf(0xA0C0FF));
    int sy = ty + title.height + mirror.height + 18;
    int w = placeText(c, kBoldFontPath, "z e d a r i v a", 256, sy, 260, 24, kGold, Align::Centre, 2);
    square(c, 256 - w / 2 - 22, sy + 8, 6, rgbOf(0xF0A830));
    square(c, 256 + w / 2 + 16, sy + 8, 6, rgbOf(0xF0A830));
    return toImage(c, kFadeBlackCut);
}

// A panel for the right half during the first scroller: two stacked lines and a bar.
Image halfPanel(const char* small, const char* big, const char* under, const LetterStyle& accent) {
    Canvas c(256, 256);
    for (int y = 70; y < 186; ++y) c.at(22, y) = c.at(23, y) = accent.middle;
    placeText(c, kSansFontPath, small, 36, 74, 200, 22, kPale, Align::Left, 1);
    placeText(c, kBoldFontPath, big, 34, 102, 206, 52, accent, Align::Left, 1);
    placeText(c, kSansFontPath, under, 36, 162, 200, 20, kPale, Align::Left, 3);
    square(c, 19, 190, 8, accent.middle);
    return toImage(c, kFadeBlackCut);
}

// A credit in the lower left during the ball scene.
Image credit(const char* role, const char* names, const LetterStyle& accent) {
    Canvas c(512, 256);
    placeText(c, kSansFontPath, role, 30, 168, 200, 20, kPale, Align::Left, 2);
    int w = placeText(c, kBoldFontPath, names, 28, 190, 300, 44, accent, Align::Left, 1);
    rule(c, 20, 48 + w, 239, accent.middle, 2);
    return toImage(c, kFadeBlackCut);
}

Image greetingsTitle() {
    Canvas c(512, 256);
    placeText(c, kBoldFontPath, "greetings", 256, 78, 420, 70, kIce, Align::Centre, 3);
    rule(c, 60, 452, 160, rgbOf(0x80D0F0), 2);
    placeText(c, kSansFontPath, "fly out to", 256, 172, 200, 24, kPale, Align::Centre, 2);
    return toImage(c, kFadeBlackCut);
}

Image nameList(const char* const* names, int count, const LetterStyle& style) {
    Canvas c(512, 256);
    int rows = (count + 1) / 2;
    int rowHeight = 200 / rows;
    for (int i = 0; i < count; ++i) {
        int column = i % 2, row = i / 2;
        int x = column == 0 ? 236 : 276;
        int y = 28 + row * rowHeight;
        placeTextSized(c, kBoldFontPath, names[i], x, y, 40, style, column == 0 ? Align::Right : Align::Left,
                       1);
    }
    for (int row = 0; row < rows; ++row) square(c, 253, 28 + row * rowHeight + 18, 6, style.middle);
    return toImage(c, kFadeBlackCut);
}

Image thanks() {
    Canvas c(512, 256);
    placeText(c, kSansFontPath, "thank you for", 256, 70, 300, 30, kPale, Align::Centre, 2);
    placeText(c, kBoldFontPath, "watching", 256, 108, 400, 70, kRose, Align::Centre, 2);
    rule(c, 80, 432, 190, rgbOf(0xF06090));
    return toImage(c, kFadeBlackCut);
}

Image farewell() {
    Canvas c(512, 256);
    placeText(c, kBoldFontPath, "bodravin", 256, 64, 380, 70, kChrome, Align::Centre, 4);
    rule(c, 70, 442, 146, rgbOf(0xA0C0FF));
    placeText(c, kSansFontPath, "quendal  1999", 256, 160, 260, 26, kGold, Align::Centre, 3);
    return toImage(c, kFadeBlackCut);
}

const char* const kGreetings1[] = {"kvasir", "lumen", "orbitals", "haze", "nullpoint", "sineroom"};
const char* const kGreetings2[] = {"paperlight", "moonbase", "vektor", "driftwood", "quadrant", "velvet"};

}  // namespace

std::vector<NamedImage> makePanelImages() {
    std::vector<NamedImage> panels;
    panels.push_back({"p9p1.jpg", greetingsTitle()});
    panels.push_back({"p9p2.jpg", nameList(kGreetings1, 6, kIce)});
    panels.push_back({"p9p3.jpg", nameList(kGreetings2, 6, kGold)});
    panels.push_back({"p9p4.jpg", thanks()});
    panels.push_back({"p9p5.jpg", farewell()});
    panels.push_back({"p3p1.jpg", halfPanel("a", "bodravin", "production", kChrome)});
    panels.push_back({"p3p2.jpg", halfPanel("released at", "quendal", "nineteen ninety-nine", kGold)});
    panels.push_back({"p8p1.jpg", credit("code", "pelk & dro", kIce)});
    panels.push_back({"p8p2.jpg", credit("music", "tazu", kGold)});
    panels.push_back({"p8p3.jpg", credit("graphics", "kel", kRose)});
    panels.push_back({"logo.jpg", logo()});
    return panels;
}
