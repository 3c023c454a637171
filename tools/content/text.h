// Text rendered from a TrueType face with FreeType into coverage masks: the
// words, panels, logo, scrolling column and font sheet of the content generator.
#pragma once

#include <string>

#include "tools/content/picture_tools.h"

namespace paint {

inline constexpr const char* kBoldFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf";
inline constexpr const char* kSansFontPath = "/usr/share/fonts/truetype/dejavu/DejaVuSans.ttf";

// `text` (ASCII) at `pixelSize` em height, with `tracking` extra pixels between
// letters, cropped tight to the inked pixels. Throws std::runtime_error naming
// the font file when it cannot be opened.
Mask renderText(const char* fontPath, const std::string& text, int pixelSize, int tracking = 0);

// The largest rendering of `text` whose tight box fits maxWidth x maxHeight.
Mask renderTextToFit(const char* fontPath, const std::string& text, int maxWidth, int maxHeight,
                     int tracking = 0);

// The mask of one character drawn in a cell, its baseline at `baseline` and
// centred horizontally; used for the font sheet.
Mask renderGlyphCell(const char* fontPath, char c, int pixelSize, int cellWidth, int cellHeight,
                     int baseline);

}  // namespace paint
