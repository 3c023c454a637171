// The full-screen mode table and the choice of mode.
#include "display/display_modes.h"

DisplayModeTable initialDisplayModes() {
    // At 800 x 600 the 16-bit mode comes before the 32-bit one.
    return {{
        {320, 200, 32, 0},
        {320, 200, 16, 0},
        {320, 240, 32, 0},
        {320, 240, 16, 0},
        {512, 384, 32, 0},
        {512, 384, 16, 0},
        {640, 480, 32, 0},
        {640, 480, 16, 0},
        {800, 600, 16, 0},
        {800, 600, 32, 0},
        {0, 0, 0, 0},
    }};
}

void onEnumMode(DisplayModeTable& displayModes, int modeWidth, int modeHeight, int modeBits, int frameWidth,
                int frameHeight) {
    // Sizes compare unsigned, so a negative offered size never fits.
    const unsigned w = static_cast<unsigned>(modeWidth);
    const unsigned h = static_cast<unsigned>(modeHeight);
    for (DisplayModeEntry& entry : displayModes) {
        if (entry.width == 0) break;
        if (modeWidth == entry.width && modeHeight == entry.height && modeBits == entry.bitsPerPixel &&
            w >= static_cast<unsigned>(frameWidth) && h >= static_cast<unsigned>(frameHeight))
            entry.available = 1;
    }
}

const DisplayModeEntry* firstAvailableMode(const DisplayModeTable& displayModes) {
    for (const DisplayModeEntry& entry : displayModes) {
        if (entry.width == 0) break;
        if (entry.available) return &entry;
    }
    return nullptr;
}

PictureOffset centreOffset(int modeWidth, int modeHeight, int frameWidth, int frameHeight) {
    return {(modeWidth - frameWidth) >> 1, (modeHeight - frameHeight) >> 1};
}
