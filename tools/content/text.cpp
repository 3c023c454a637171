// FreeType glue: load a face, lay out a line of ASCII with kerning and
// tracking, and copy the anti-aliased coverage into a Mask.
#include "tools/content/text.h"

#include <algorithm>
#include <map>
#include <stdexcept>

#include <ft2build.h>
#include FT_FREETYPE_H

namespace paint {

namespace {

// The FreeType library and the faces opened so far, kept for the whole run
// (the generator renders a few hundred strings from two faces).
class Faces {
public:
    ~Faces() {
        for (auto& [path, face] : faces_) FT_Done_Face(face);
        if (library_) FT_Done_FreeType(library_);
    }
    FT_Face get(const char* path, int pixelSize) {
        if (!library_ && FT_Init_FreeType(&library_) != 0)
            throw std::runtime_error("FreeType: cannot initialise");
        auto it = faces_.find(path);
        if (it == faces_.end()) {
            FT_Face face = nullptr;
            if (FT_New_Face(library_, path, 0, &face) != 0)
                throw std::runtime_error(std::string(path) + ": cannot open the font");
            it = faces_.emplace(path, face).first;
        }
        FT_Set_Pixel_Sizes(it->second, 0, static_cast<FT_UInt>(pixelSize));
        return it->second;
    }

private:
    FT_Library library_ = nullptr;
    std::map<std::string, FT_Face> faces_;
};

FT_Face openFace(const char* path, int pixelSize) {
    static Faces faces;
    return faces.get(path, pixelSize);
}

// Draws the text with its pen starting at (penX, baseline) into `mask`
// (coverage added and clamped); returns the inked box when `ink` is given.
struct Box {
    int x0 = 1 << 30, y0 = 1 << 30, x1 = -(1 << 30), y1 = -(1 << 30);
};

void layoutText(FT_Face face, const std::string& text, int tracking, int penX, int baseline, Mask* mask,
                Box* ink) {
    FT_UInt previous = 0;
    bool kerning = FT_HAS_KERNING(face);
    for (char ch : text) {
        FT_UInt glyph = FT_Get_Char_Index(face, static_cast<unsigned char>(ch));
        if (kerning && previous && glyph) {
            FT_Vector delta;
            FT_Get_Kerning(face, previous, glyph, FT_KERNING_DEFAULT, &delta);
            penX += static_cast<int>(delta.x >> 6);
        }
        if (FT_Load_Glyph(face, glyph, FT_LOAD_RENDER) != 0) continue;
        FT_GlyphSlot slot = face->glyph;
        const FT_Bitmap& bitmap = slot->bitmap;
        int left = penX + slot->bitmap_left, top = baseline - slot->bitmap_top;
        for (unsigned r = 0; r < bitmap.rows; ++r)
            for (unsigned c = 0; c < bitmap.width; ++c) {
                uint8_t value = bitmap.buffer[r * bitmap.pitch + c];
                if (value == 0) continue;
                int x = left + static_cast<int>(c), y = top + static_cast<int>(r);
                if (ink) {
                    ink->x0 = std::min(ink->x0, x);
                    ink->y0 = std::min(ink->y0, y);
                    ink->x1 = std::max(ink->x1, x);
                    ink->y1 = std::max(ink->y1, y);
                }
                if (mask && x >= 0 && y >= 0 && x < mask->width && y < mask->height)
                    mask->at(x, y) = std::min(1.0f, mask->at(x, y) + value / 255.0f);
            }
        penX += static_cast<int>(slot->advance.x >> 6) + tracking;
        previous = glyph;
    }
}

}  // namespace

Mask renderText(const char* fontPath, const std::string& text, int pixelSize, int tracking) {
    FT_Face face = openFace(fontPath, pixelSize);
    Box ink;
    layoutText(face, text, tracking, 0, 0, nullptr, &ink);
    if (ink.x1 < ink.x0) return Mask(1, 1);
    Mask mask(ink.x1 - ink.x0 + 1, ink.y1 - ink.y0 + 1);
    layoutText(face, text, tracking, -ink.x0, -ink.y0, &mask, nullptr);
    return mask;
}

Mask renderTextToFit(const char* fontPath, const std::string& text, int maxWidth, int maxHeight,
                     int tracking) {
    // The inked size grows with the pixel size: bisect for the largest that fits.
    auto fits = [&](const Mask& m) { return m.width <= maxWidth && m.height <= maxHeight; };
    int lo = 4, hi = maxHeight * 2;
    while (hi - lo > 1) {
        int mid = (lo + hi) / 2;
        if (fits(renderText(fontPath, text, mid, tracking)))
            lo = mid;
        else
            hi = mid;
    }
    Mask mask = renderText(fontPath, text, lo, tracking);
    while (!fits(mask) && lo > 4) mask = renderText(fontPath, text, --lo, tracking);
    return mask;
}

Mask renderGlyphCell(const char* fontPath, char c, int pixelSize, int cellWidth, int cellHeight,
                     int baseline) {
    FT_Face face = openFace(fontPath, pixelSize);
    Mask mask(cellWidth, cellHeight);
    FT_UInt glyph = FT_Get_Char_Index(face, static_cast<unsigned char>(c));
    if (FT_Load_Glyph(face, glyph, FT_LOAD_DEFAULT) != 0) return mask;
    int advance = static_cast<int>(face->glyph->advance.x >> 6);
    layoutText(face, std::string(1, c), 0, (cellWidth - advance) / 2, baseline, &mask, nullptr);
    return mask;
}

}  // namespace paint
