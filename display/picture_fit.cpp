// Placing the frame on a drawing area: whole factors or a shape-keeping fit.
#include "display/picture_fit.h"

#include <algorithm>
#include <cstdint>

namespace {

PictureRect centred(int areaWidth, int areaHeight, int width, int height) {
    return {(areaWidth - width) / 2, (areaHeight - height) / 2, width, height};
}

// a * b / c rounded to the nearest integer, in 64 bits so large areas cannot overflow.
int scaledRounded(int a, int b, int c) {
    const int64_t product = static_cast<int64_t>(a) * b;
    return static_cast<int>((2 * product + c) / (2 * static_cast<int64_t>(c)));
}

}  // namespace

int largestWholeFactor(int areaWidth, int areaHeight, int frameWidth, int frameHeight) {
    if (areaWidth <= 0 || areaHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return 0;
    return std::min(areaWidth / frameWidth, areaHeight / frameHeight);
}

PictureRect fitKeepingShape(int areaWidth, int areaHeight, int frameWidth, int frameHeight) {
    if (areaWidth <= 0 || areaHeight <= 0 || frameWidth <= 0 || frameHeight <= 0) return {};
    // The area is relatively taller than the frame (or the same shape): the
    // width decides; otherwise the height does.
    const bool widthDecides =
        static_cast<int64_t>(areaWidth) * frameHeight <= static_cast<int64_t>(areaHeight) * frameWidth;
    if (widthDecides) {
        const int height = std::max(1, scaledRounded(areaWidth, frameHeight, frameWidth));
        return centred(areaWidth, areaHeight, areaWidth, std::min(height, areaHeight));
    }
    const int width = std::max(1, scaledRounded(areaHeight, frameWidth, frameHeight));
    return centred(areaWidth, areaHeight, std::min(width, areaWidth), areaHeight);
}

PictureRect fitWholeFactor(int areaWidth, int areaHeight, int frameWidth, int frameHeight) {
    const int factor = largestWholeFactor(areaWidth, areaHeight, frameWidth, frameHeight);
    if (factor == 0) return fitKeepingShape(areaWidth, areaHeight, frameWidth, frameHeight);
    return centred(areaWidth, areaHeight, factor * frameWidth, factor * frameHeight);
}
