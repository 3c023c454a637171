// The program's icon at the sizes a desktop asks for, drawn from the content's
// own pictures: a portrait mask on a transparent square, as PNG files.
// Used by zedariva-content --icons.
#pragma once

#include <cstdint>
#include <vector>

#include "resources/image.h"
#include "tools/content/content.h"

// The icon sides the install provides.
inline constexpr int kIconSides[] = {48, 128, 256};

// "zedariva-48.png", "zedariva-128.png", "zedariva-256.png".
std::vector<ContentFile> makeIcons();

// A PNG file of 8-bit RGBA pixels, given as 0xAARRGGBB words, top row first.
std::vector<uint8_t> encodePng(const std::vector<uint32_t>& argb, int width, int height);
