// The full-screen mode table, the marking of modes the screen offers, the
// choice of mode and the centring of the frame in it. Used by display.cpp.
#pragma once

#include <array>

struct DisplayModeEntry {
    int width;
    int height;
    int bitsPerPixel;
    int available;  // 1 once the screen has offered this mode and it holds the frame
};

// Ten modes in the order they are tried, then an entry of width 0 ending the table.
using DisplayModeTable = std::array<DisplayModeEntry, 11>;

DisplayModeTable initialDisplayModes();

// Marks every entry equal to the offered mode available, when the offered
// mode is at least frameWidth x frameHeight. Called once per offered mode.
void onEnumMode(DisplayModeTable& displayModes, int modeWidth, int modeHeight, int modeBits, int frameWidth,
                int frameHeight);

// The first available entry, or nullptr when none is.
const DisplayModeEntry* firstAvailableMode(const DisplayModeTable& displayModes);

struct PictureOffset {
    int x;
    int y;
};

// Where the top-left pixel of a frame goes to sit centred in the mode.
PictureOffset centreOffset(int modeWidth, int modeHeight, int frameWidth, int frameHeight);
