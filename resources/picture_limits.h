// The size limits every picture decoder checks before it allocates, so that a
// damaged header cannot ask for gigabytes. Used by the TGA, S3T and JPEG decoders.
#pragma once

#include <cstdint>
#include <string>

#include "resources/load_error.h"

// 4096 x 4096 pixels; the presentation's pictures are 512 x 256 and smaller.
constexpr int64_t kMaxPicturePixels = int64_t{1} << 24;

// Throws LoadError "<format> picture of W x H pixels is ..." for an empty or
// oversized picture.
inline void checkPictureSize(const char* format, int64_t width, int64_t height) {
    const bool empty = width <= 0 || height <= 0;
    if (!empty && width <= kMaxPicturePixels && height <= kMaxPicturePixels && width * height <= kMaxPicturePixels)
        return;
    const std::string picture =
        std::string(format) + " picture of " + std::to_string(width) + " x " + std::to_string(height) + " pixels";
    if (empty) throw LoadError(picture + " is empty");
    throw LoadError(picture + " is larger than the limit of " + std::to_string(kMaxPicturePixels) + " pixels");
}
