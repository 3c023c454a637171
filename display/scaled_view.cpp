// The scaled presentation over the platform renderer: window size, placement
// of the picture and the switch between window and desktop.
#include "display/scaled_view.h"

#include <algorithm>

#include "display/picture_fit.h"
#include "platform/window.h"

namespace {

bool smoothFit = false;

// Room left on the desktop for a window's frame and title bar, so that the
// whole window fits on the screen.
constexpr int kDecorationWidth = 16;
constexpr int kDecorationHeight = 64;

// The largest whole factor whose window fits on the desktop, at least 1.
int defaultWindowScale(int frameWidth, int frameHeight) {
    int width = 0;
    int height = 0;
    if (!windowDesktopArea(width, height)) return 1;
    const int factor =
        largestWholeFactor(width - kDecorationWidth, height - kDecorationHeight, frameWidth, frameHeight);
    return std::max(factor, 1);
}

}  // namespace

bool scaledViewOpen(const char* caption, int frameWidth, int frameHeight, const ScaledViewOptions& options) {
    const int scale =
        options.windowScale > 0 ? options.windowScale : defaultWindowScale(frameWidth, frameHeight);
    ScaledWindowSetup setup;
    setup.caption = caption;
    setup.windowWidth = scale * frameWidth;
    setup.windowHeight = scale * frameHeight;
    setup.frameWidth = frameWidth;
    setup.frameHeight = frameHeight;
    setup.desktop = options.desktop;
    setup.smooth = options.smooth;
    setup.vsync = true;
    smoothFit = options.smooth;
    return windowCreateScaled(setup);
}

void scaledViewPresent(const uint32_t* frame, int frameWidth, int frameHeight) {
    int width = 0;
    int height = 0;
    if (!windowDrawingSize(width, height)) return;
    const PictureRect at = smoothFit ? fitKeepingShape(width, height, frameWidth, frameHeight)
                                     : fitWholeFactor(width, height, frameWidth, frameHeight);
    if (at.width <= 0 || at.height <= 0) return;  // a window with no drawing area
    windowDrawFrame(frame, frameWidth * 4, at.x, at.y, at.width, at.height);
}

void scaledViewToggleDesktop() { windowSetDesktop(!windowIsDesktop()); }
