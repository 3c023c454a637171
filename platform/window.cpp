// SDL2 implementation of the thin window layer.
#include "platform/window.h"

#include <SDL.h>

#include <cstdio>

namespace {

SDL_Window* window = nullptr;
SDL_Surface* lockedSurface = nullptr;
SDL_Surface* previousSurface = nullptr;
bool videoStarted = false;

// Bits per pixel as a display mode counts them: the storage size for 2- and
// 4-byte formats (SDL says 24 for 0x00RRGGBB and 15 for 5-5-5 formats).
int storageBits(int bytesPerPixel, int bitsPerPixel) {
    if (bytesPerPixel == 2 || bytesPerPixel == 4) return bytesPerPixel * 8;
    return bitsPerPixel;
}

ScreenMode toScreenMode(const SDL_DisplayMode& mode) {
    return {mode.w, mode.h, storageBits(SDL_BYTESPERPIXEL(mode.format), SDL_BITSPERPIXEL(mode.format))};
}

// The first mode of the screen equal to width, height and bits per pixel.
bool findMode(int width, int height, int bitsPerPixel, SDL_DisplayMode& found) {
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        if (SDL_GetDisplayMode(0, i, &found) != 0) continue;
        const ScreenMode mode = toScreenMode(found);
        if (mode.width == width && mode.height == height && mode.bitsPerPixel == bitsPerPixel) return true;
    }
    return false;
}

WindowEvent translate(const SDL_Event& e) {
    WindowEvent event;
    event.type = WindowEventType::Other;
    switch (e.type) {
        case SDL_TEXTINPUT:
            event.type = WindowEventType::Text;
            std::snprintf(event.text, sizeof event.text, "%s", e.text.text);
            break;
        case SDL_KEYDOWN:
            if (e.key.keysym.sym == SDLK_ESCAPE) {
                event.type = WindowEventType::Text;
                event.text[0] = 27;
            }
            break;
        case SDL_QUIT:
            event.type = WindowEventType::Quit;
            break;
        case SDL_MOUSEMOTION:
        case SDL_MOUSEBUTTONDOWN:
        case SDL_MOUSEBUTTONUP:
            event.type = WindowEventType::Mouse;
            break;
        case SDL_WINDOWEVENT:
            switch (e.window.event) {
                case SDL_WINDOWEVENT_CLOSE:
                    event.type = WindowEventType::Quit;
                    break;
                case SDL_WINDOWEVENT_EXPOSED:
                case SDL_WINDOWEVENT_RESTORED:
                case SDL_WINDOWEVENT_SIZE_CHANGED:
                    event.type = WindowEventType::Exposed;
                    break;
                default:
                    break;
            }
            break;
        default:
            break;
    }
    return event;
}

// The surface is made while the window is still hidden, so that the window
// the user sees is the final one (a drawing surface may make SDL recreate it).
bool finishCreate() {
    if (!window) return false;
    previousSurface = nullptr;
    SDL_GetWindowSurface(window);
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SDL_StartTextInput();
    return true;
}

}  // namespace

bool windowInitVideo() {
    if (videoStarted) return true;
    // The frame is drawn in software: show it through the window system's own
    // image path rather than a GPU texture (no OpenGL needed, the window is
    // never recreated behind our back). SDL_FRAMEBUFFER_ACCELERATION in the
    // environment still wins.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) return false;
    videoStarted = true;
    return true;
}

const char* windowLastError() { return SDL_GetError(); }

std::vector<ScreenMode> windowListModes() {
    std::vector<ScreenMode> modes;
    int count = SDL_GetNumDisplayModes(0);
    for (int i = 0; i < count; ++i) {
        SDL_DisplayMode mode;
        if (SDL_GetDisplayMode(0, i, &mode) != 0) continue;
        modes.push_back(toScreenMode(mode));
    }
    return modes;
}

bool windowCreate(const char* caption, int width, int height) {
    window = SDL_CreateWindow(caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED, width, height,
                              SDL_WINDOW_HIDDEN);
    return finishCreate();
}

bool windowCreateFullScreen(const char* caption, int width, int height, int bitsPerPixel) {
    SDL_DisplayMode mode;
    if (!findMode(width, height, bitsPerPixel, mode)) return false;
    window = SDL_CreateWindow(caption, 0, 0, width, height, SDL_WINDOW_FULLSCREEN | SDL_WINDOW_HIDDEN);
    if (!window) return false;
    if (SDL_SetWindowDisplayMode(window, &mode) != 0) {
        windowDestroy();
        return false;
    }
    return finishCreate();
}

void windowDestroy() {
    windowUnlockSurface();
    if (window) SDL_DestroyWindow(window);
    window = nullptr;
    previousSurface = nullptr;
}

void windowShutdownVideo() {
    windowDestroy();
    if (videoStarted) SDL_QuitSubSystem(SDL_INIT_VIDEO);
    videoStarted = false;
}

bool windowLockSurface(WindowSurface& surface) {
    if (!window) return false;
    SDL_Surface* s = SDL_GetWindowSurface(window);
    if (!s) return false;
    if (SDL_MUSTLOCK(s) && SDL_LockSurface(s) != 0) return false;
    lockedSurface = s;
    surface.pixels = static_cast<uint8_t*>(s->pixels);
    surface.pitch_bytes = s->pitch;
    surface.width = s->w;
    surface.height = s->h;
    surface.bitsPerPixel = storageBits(s->format->BytesPerPixel, s->format->BitsPerPixel);
    surface.redMask = s->format->Rmask;
    surface.greenMask = s->format->Gmask;
    surface.blueMask = s->format->Bmask;
    surface.changed = s != previousSurface;
    previousSurface = s;
    return true;
}

void windowUnlockSurface() {
    if (lockedSurface && SDL_MUSTLOCK(lockedSurface)) SDL_UnlockSurface(lockedSurface);
    lockedSurface = nullptr;
}

void windowPresent() {
    if (window) SDL_UpdateWindowSurface(window);
}

bool windowPollEvent(WindowEvent& event) {
    SDL_Event e;
    if (!SDL_PollEvent(&e)) return false;
    event = translate(e);
    return true;
}

bool windowWaitEvent(WindowEvent& event, int timeout_ms) {
    SDL_Event e;
    if (!SDL_WaitEventTimeout(&e, timeout_ms)) return false;
    event = translate(e);
    return true;
}

void windowShowCursor(bool visible) { SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE); }
