// Thin window layer over SDL2: video start-up, display modes, one window with
// a lockable surface or a renderer that scales the frame, one event at a time.
// Used only by the display layer (display/).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/viewer_command.h"

// One display mode as the screen offers it. Formats of 2 or 4 bytes per pixel
// report bytes x 8 (a 4-byte "24-bit" format counts as 32).
struct ScreenMode {
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
};

// The window's drawable surface while it is locked. `pixels` stays valid until
// windowUnlockSurface(). `changed` is true when the surface is new since the
// previous lock (first lock, resize, recreated by the system): its contents
// are then undefined.
struct WindowSurface {
    uint8_t* pixels = nullptr;
    int pitch_bytes = 0;
    int width = 0;
    int height = 0;
    int bitsPerPixel = 0;
    uint32_t redMask = 0;
    uint32_t greenMask = 0;
    uint32_t blueMask = 0;
    bool changed = false;
};

enum class WindowEventType {
    None,
    Text,              // typed characters in `text` (UTF-8 bytes, zero-terminated); Escape arrives as "\x1b"
    Quit,              // the window was closed or the process was asked to end
    Mouse,             // pointer moved or a button went down or up
    Exposed,           // the window's contents were lost (shown again, restored, resized)
    ToggleFullScreen,  // Alt+Enter
    Command,           // a viewer key, as `command`
    Other,
};

struct WindowEvent {
    WindowEventType type = WindowEventType::None;
    char text[32] = {};
    ViewerCommand command = ViewerCommand::None;
};

// All functions are for the main thread only.
bool windowInitVideo();         // false when no video driver can start
const char* windowLastError();  // the platform's text for the last failure
std::vector<ScreenMode> windowListModes();

// A window whose client area is width x height.
bool windowCreate(const char* caption, int width, int height);
// An exclusive full-screen window switched to the first offered mode that
// matches width, height and bits per pixel.
bool windowCreateFullScreen(const char* caption, int width, int height, int bitsPerPixel);
void windowDestroy();
void windowShutdownVideo();

bool windowLockSurface(WindowSurface& surface);  // false: nothing to draw on this time
void windowUnlockSurface();
void windowPresent();  // show what was drawn on the surface

// The scaled window: drawn through SDL's renderer instead of a lockable
// surface. The frame (frameWidth x frameHeight pixels 0x00RRGGBB) goes into
// one streaming texture that the renderer draws scaled: sharp (nearest pixel)
// or `smooth` (bilinear). A GPU renderer is taken when there is one, else
// SDL's software renderer. With `vsync` every windowDrawFrame waits for the
// screen's refresh.
struct ScaledWindowSetup {
    const char* caption = "";
    int windowWidth = 0;  // size when windowed; the window can be resized
    int windowHeight = 0;
    int frameWidth = 0;  // also the smallest size the user can resize it to
    int frameHeight = 0;
    bool desktop = false;  // start as a borderless window over the whole desktop (no mode switch)
    bool smooth = false;
    bool vsync = true;
};
bool windowCreateScaled(const ScaledWindowSetup& setup);
// The usable area of the desktop (without panels), for choosing a window size.
bool windowDesktopArea(int& width, int& height);
void windowSetDesktop(bool desktop);  // the scaled window to the whole desktop and back
bool windowIsDesktop();
// The size of the scaled window's drawing area in pixels.
bool windowDrawingSize(int& width, int& height);
// Uploads the frame (rows pitch_bytes apart), draws it into the rectangle
// (x, y, width, height) of the drawing area with black around it, and shows it.
void windowDrawFrame(const uint32_t* frame, int pitch_bytes, int x, int y, int width, int height);
const char* windowRendererName();  // the renderer in use ("" when none)

bool windowPollEvent(WindowEvent& event);                  // takes at most one event
bool windowWaitEvent(WindowEvent& event, int timeout_ms);  // waits up to timeout_ms for one
void windowShowCursor(bool visible);

// A message box with one OK button, where a display can show one; waits
// until it is closed. Returns false at once when none can be shown.
bool windowShowError(const char* title, const char* text);
