// The presentation on top of the platform window: one frame of 32-bit pixels
// shown in a window, centred in an exclusive full-screen mode, or scaled.
#include "display/display.h"

#include <algorithm>
#include <cstddef>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "display/display_modes.h"
#include "display/key_queue.h"
#include "display/pixel_convert.h"
#include "display/scaled_view.h"
#include "platform/window.h"

uint32_t* frameBuffer = nullptr;

namespace {

int fullScreen = 1;
bool scaled = false;  // the scaled presentation takes the place of window and full screen
ScaledViewOptions scaledOptions;
int offscreen = 0;
const char* caption = "(truecolor shit)";
int frameWidth = 0;
int frameHeight = 0;
std::vector<uint32_t> frameStorage;
KeyQueue keyQueue;

// Viewer commands, oldest first; one that does not fit is dropped.
struct CommandQueue {
    static constexpr int kCapacity = 16;
    ViewerCommand commands[kCapacity] = {};
    int first = 0;
    int count = 0;
};
CommandQueue commandQueue;
DisplayModeTable displayModes = initialDisplayModes();
PixelConversion conversion;
bool needsClear = true;

// The line says why; the message box, where a display can show one, is the
// one the presentation has always shown when it got no picture to draw on.
[[noreturn]] void failNoDisplay() {
    std::printf("cannot open a window for the presentation: %s\n", windowLastError());
    std::fflush(stdout);
    windowShowError("Quendal TrueColor", "PErkele.. something fucked up");
    std::exit(-1);
}

void pushCommand(ViewerCommand command) {
    CommandQueue& q = commandQueue;
    if (q.count == CommandQueue::kCapacity) return;
    q.commands[(q.first + q.count) % CommandQueue::kCapacity] = command;
    ++q.count;
}

// Acts on one event; true when the picture must be shown again.
bool handleEvent(const WindowEvent& event) {
    switch (event.type) {
        case WindowEventType::Text:
            for (const char* c = event.text; *c; ++c) keyQueue.push(*c);
            break;
        case WindowEventType::Quit:
            keyQueue.push(27);  // closing the window quits like Escape
            break;
        case WindowEventType::Mouse:
            windowShowCursor(false);
            break;
        case WindowEventType::Exposed:
            needsClear = true;
            return true;
        case WindowEventType::ToggleFullScreen:
            if (scaled) scaledViewToggleDesktop();
            return true;
        case WindowEventType::Command:
            pushCommand(event.command);
            break;
        default:
            break;
    }
    return false;
}

void handleOneEvent() {
    WindowEvent event;
    if (windowPollEvent(event)) handleEvent(event);
}

void findScreenModes() {
    displayModes = initialDisplayModes();
    for (const ScreenMode& mode : windowListModes())
        onEnumMode(displayModes, mode.width, mode.height, mode.bitsPerPixel, frameWidth, frameHeight);
}

// Locks the window's surface and takes its pixel format; false when the
// surface cannot be had or has a format we cannot write.
bool lockUsableSurface(WindowSurface& surface) {
    if (!windowLockSurface(surface)) return false;
    if (!isSupportedSurfaceBits(surface.bitsPerPixel)) {
        windowUnlockSurface();
        return false;
    }
    if (surface.changed) {
        conversion =
            makePixelConversion(surface.bitsPerPixel, surface.redMask, surface.greenMask, surface.blueMask);
        needsClear = true;
    }
    return true;
}

void clearIfNeeded(const WindowSurface& surface) {
    if (!needsClear) return;
    clearRows(surface.pixels, surface.width * (surface.bitsPerPixel / 8), surface.height,
              surface.pitch_bytes);
    needsClear = false;
}

// Switches to the first usable listed mode and clears the screen; false when
// there is none or its surface cannot be drawn on.
bool setUpFullScreen() {
    const DisplayModeEntry* mode = firstAvailableMode(displayModes);
    if (!mode) return false;
    if (!windowCreateFullScreen(caption, mode->width, mode->height, mode->bitsPerPixel)) return false;
    WindowSurface surface;
    if (!lockUsableSurface(surface)) return false;
    const bool holdsFrame = surface.width >= frameWidth && surface.height >= frameHeight;
    if (holdsFrame) clearIfNeeded(surface);
    windowUnlockSurface();
    return holdsFrame;
}

void setUpWindow() {
    WindowSurface surface;
    if (!lockUsableSurface(surface)) failNoDisplay();
    clearIfNeeded(surface);
    windowUnlockSurface();
}

}  // namespace

void setWindowed(int flag) { fullScreen = !flag; }

void setDisplayTitle(const char* text) { caption = text; }

void setScaledDisplay(int windowScale, bool desktop, bool smooth) {
    scaled = true;
    scaledOptions = {windowScale, desktop, smooth};
}
void setOffscreen(int flag) { offscreen = flag; }

void displayOpen(int width, int height) {
    frameWidth = width;
    frameHeight = height;
    if (offscreen) return;
    if (!windowInitVideo()) failNoDisplay();
    if (scaled) {
        if (scaledViewOpen(caption, width, height, scaledOptions)) return;
        std::printf("cannot scale the picture (%s): showing it in a plain window\n", windowLastError());
        scaled = false;
        fullScreen = 0;
    }
    if (fullScreen) {
        findScreenModes();
        return;  // the full-screen window is made with its mode in displayInitSurface
    }
    if (!windowCreate(caption, width, height)) failNoDisplay();
}

void displayInitSurface() {
    frameStorage.assign(static_cast<std::size_t>(frameWidth) * static_cast<std::size_t>(frameHeight), 0);
    frameBuffer = frameStorage.data();
    needsClear = true;
    if (offscreen) return;
    // The scaled view needs no surface: its renderer takes the frame as it is.
    if (!scaled && fullScreen) {
        if (!setUpFullScreen()) {
            // Not a request to quit: the presentation goes on in a window.
            windowDestroy();
            fullScreen = 0;
            displayOpen(frameWidth, frameHeight);
            displayInitSurface();
            return;
        }
    } else if (!scaled) {
        setUpWindow();
    }
    windowShowCursor(false);
}

namespace {

// Shows frameBuffer in the window, on the screen or scaled.
void showFrame() {
    if (scaled) {
        scaledViewPresent(frameBuffer, frameWidth, frameHeight);
        return;
    }
    WindowSurface surface;
    if (!lockUsableSurface(surface)) return;  // this frame is not shown
    clearIfNeeded(surface);

    PictureOffset at{0, 0};
    if (fullScreen) at = centreOffset(surface.width, surface.height, frameWidth, frameHeight);
    at.x = std::max(at.x, 0);
    at.y = std::max(at.y, 0);
    // A surface smaller than the frame (a window the system shrank) shows its top-left part.
    const int width = std::min(frameWidth, surface.width - at.x);
    const int height = std::min(frameHeight, surface.height - at.y);
    if (width > 0 && height > 0) {
        uint8_t* destination = surface.pixels + static_cast<std::ptrdiff_t>(at.y) * surface.pitch_bytes +
                               static_cast<std::ptrdiff_t>(at.x) * (surface.bitsPerPixel / 8);
        convertFrame(conversion, frameBuffer, frameWidth, width, height, destination, surface.pitch_bytes);
    }
    windowUnlockSurface();
    windowPresent();
}

}  // namespace

void displayPresent() {
    if (offscreen) return;
    handleOneEvent();
    showFrame();
}

void displayWait(int timeout_ms) {
    if (offscreen) return;
    WindowEvent event;
    if (windowWaitEvent(event, timeout_ms) && handleEvent(event)) showFrame();
}

ViewerCommand takeViewerCommand() {
    CommandQueue& q = commandQueue;
    if (q.count == 0) return ViewerCommand::None;
    const ViewerCommand command = q.commands[q.first];
    q.first = (q.first + 1) % CommandQueue::kCapacity;
    --q.count;
    return command;
}

void displayClose() {
    if (offscreen) return;
    windowShowCursor(true);
    windowShutdownVideo();
}

bool keyPending() {
    if (offscreen) return false;
    handleOneEvent();
    return !keyQueue.empty();
}

int readKey() {
    while (keyQueue.empty()) {
        WindowEvent event;
        if (windowWaitEvent(event, 100)) handleEvent(event);
    }
    return keyQueue.pop();
}
