// The scaled presentation: the frame drawn by the platform's renderer into a
// resizable window or across the whole desktop, sharp by whole factors or smooth.
// Used by display.cpp.
#pragma once

#include <cstdint>

struct ScaledViewOptions {
    int windowScale = 0;   // the window is windowScale x the frame; 0: the largest that fits the desktop
    bool desktop = false;  // start as a borderless window over the whole desktop
    bool smooth = false;   // bilinear and as large as the shape allows; else sharp whole factors
};

// Opens the window with its renderer; false (nothing left open) when that fails.
bool scaledViewOpen(const char* caption, int frameWidth, int frameHeight, const ScaledViewOptions& options);
// Shows the frame (frameWidth x frameHeight pixels, rows frameWidth apart)
// placed for the window's current size, black around it.
void scaledViewPresent(const uint32_t* frame, int frameWidth, int frameHeight);
void scaledViewToggleDesktop();  // the window to the desktop and back
