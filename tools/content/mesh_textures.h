// The textures of the generated meshes, drawn from code and stored as JPEG
// files. Used by makeMeshes(); names are the ones the mesh materials carry.
#pragma once

#include "tools/content/content.h"

namespace meshtex {
inline constexpr const char* kMarble = "marble.jpg";  // 128 x 128, torus
inline constexpr const char* kTiles = "tiles.jpg";    // 320 x 200, floor
inline constexpr const char* kChrome = "chrome.jpg";  // 256 x 256, environment map
inline constexpr const char* kPlasma = "plasma.jpg";  // 200 x 200, rings
inline constexpr const char* kSunset = "sunset.jpg";  // 256 x 128, environment map
}  // namespace meshtex

std::vector<ContentFile> makeMeshTextures();
