// The 27 fade pictures before JPEG coding: words, portrait pairs, pulse panels
// and the logo, each sized to stay inside the frame. Used by makeFadePictures and its tests.
#pragma once

#include <string>
#include <vector>

#include "resources/image.h"

struct NamedImage {
    std::string name;
    Image image;
};

// Black (0) marks the transparent parts; every other pixel has a channel of at least kFadeBlackCut.
inline constexpr float kFadeBlackCut = 12.0f;

std::vector<NamedImage> makeWordImages();      // we, are, bodravin, you, qm, takes, people, theblame
std::vector<NamedImage> makePortraitImages();  // pelk1/2, dro1/2, tazu1/2, kel1/2
std::vector<NamedImage> makePanelImages();     // p9p1..5, p3p1/2, p8p1..3, logo

// All 27, in the order the presentation loads them.
std::vector<NamedImage> makeFadeImages();
