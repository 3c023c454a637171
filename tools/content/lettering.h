// Coloured lettering on a canvas: a text mask painted with a three-stop ramp,
// a bright rim along its top edges and a soft glow. Used by the word and panel pictures.
#pragma once

#include "tools/content/picture_tools.h"

struct LetterStyle {
    paint::Rgb top, middle, bottom;  // ramp over the lettering's height
    paint::Rgb glow;                 // added around the letters, scaled by their blurred coverage
    int glowRadius = 3;              // 0: no glow
    float rim = 0.6f;                // how much the top edges whiten
};

// Paints `text` with its top-left corner at (x, y).
void paintLettering(paint::Canvas& canvas, const paint::Mask& text, int x, int y, const LetterStyle& style);
