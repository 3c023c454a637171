// Where the presentation draws each fade picture (positions, zooms, levels
// over the life of its scene) and so how large each may be to stay inside
// the 512 x 256 frame. Used by the fade-picture makers and their tests.
#pragma once

#include <string>

struct FadeSize {
    int width = 0;
    int height = 0;
};

// One drawn rectangle of a fade picture of the given size.
struct FadeRect {
    int x = 0, y = 0, width = 0, height = 0;
};

// Whether a `width` x `height` picture named `name` lies wholly inside the
// frame at every moment of every scene that draws it: the word flashes for
// t in [0, 1], the portraits for every level in [0, 1), the pulses 1:1.
// Unknown names never fit.
bool fadePictureFits(const std::string& name, int width, int height);

// The largest width and height (each taken alone, as the horizontal and
// vertical limits are independent) for which fadePictureFits holds.
FadeSize maxFadeSize(const std::string& name);
