// SDL2 backend of the thin window layer.
#include "platform/window.h"

#include <SDL.h>

#include <cstdio>

namespace {

SDL_Window* window = nullptr;
SDL_Surface* lockedSurface = nullptr;
SDL_Surface* previousSurface = nullptr;
bool videoStarted = false;

// The scaled window's renderer and the texture that holds the frame.
SDL_Renderer* renderer = nullptr;
SDL_Texture* frameTexture = nullptr;
// The software renderer draws into the window's own surface, which keeps the
// black around the picture until the window changes size; a GPU renderer's
// target holds nothing certain after a present and is cleared every frame.
bool rendererKeepsTarget = false;
bool targetLost = true;           // the black around the picture must be drawn again
SDL_Rect lastTarget{0, 0, 0, 0};  // drawing area size (w, h) of the last frame
SDL_Rect lastPlace{0, 0, 0, 0};

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

bool isAltEnter(const SDL_KeyboardEvent& key) {
    const SDL_Keycode sym = key.keysym.sym;
    return (sym == SDLK_RETURN || sym == SDLK_KP_ENTER) && (key.keysym.mod & KMOD_ALT) && !key.repeat;
}

// The viewer keys. Space and Home act once per press; the arrows and page
// keys repeat while held, like a media player's skip.
ViewerCommand viewerCommand(const SDL_KeyboardEvent& key) {
    if (key.keysym.mod & (KMOD_ALT | KMOD_CTRL | KMOD_GUI)) return ViewerCommand::None;
    switch (key.keysym.sym) {
        case SDLK_SPACE:
            return key.repeat ? ViewerCommand::None : ViewerCommand::TogglePause;
        case SDLK_HOME:
            return key.repeat ? ViewerCommand::None : ViewerCommand::FirstOrder;
        case SDLK_RIGHT:
        case SDLK_PAGEDOWN:
            return ViewerCommand::NextOrder;
        case SDLK_LEFT:
        case SDLK_PAGEUP:
            return ViewerCommand::PreviousOrder;
        default:
            return ViewerCommand::None;
    }
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
            } else if (isAltEnter(e.key)) {
                event.type = WindowEventType::ToggleFullScreen;
            } else if (const ViewerCommand command = viewerCommand(e.key); command != ViewerCommand::None) {
                event.type = WindowEventType::Command;
                event.command = command;
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
                    targetLost = true;
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

void showWindow() {
    SDL_ShowWindow(window);
    SDL_RaiseWindow(window);
    SDL_StartTextInput();
}

// The surface is made while the window is still hidden, so that the window
// the user sees is the final one (a drawing surface may make SDL recreate it).
bool finishCreate() {
    if (!window) return false;
    previousSurface = nullptr;
    SDL_GetWindowSurface(window);
    showWindow();
    return true;
}

// A GPU renderer when one works, else the software one, with the frame texture.
bool createRenderer(const ScaledWindowSetup& setup) {
    const Uint32 vsync = setup.vsync ? SDL_RENDERER_PRESENTVSYNC : 0;
    for (const Uint32 kind : {SDL_RENDERER_ACCELERATED, SDL_RENDERER_SOFTWARE}) {
        renderer = SDL_CreateRenderer(window, -1, kind | vsync);
        if (!renderer) continue;
        frameTexture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB888, SDL_TEXTUREACCESS_STREAMING,
                                         setup.frameWidth, setup.frameHeight);
        if (frameTexture) break;
        SDL_DestroyRenderer(renderer);
        renderer = nullptr;
    }
    if (!renderer) return false;
    SDL_SetTextureBlendMode(frameTexture, SDL_BLENDMODE_NONE);
    SDL_SetTextureScaleMode(frameTexture, setup.smooth ? SDL_ScaleModeLinear : SDL_ScaleModeNearest);
    SDL_RendererInfo info;
    rendererKeepsTarget = SDL_GetRendererInfo(renderer, &info) == 0 && (info.flags & SDL_RENDERER_SOFTWARE);
    targetLost = true;
    return true;
}

void destroyRenderer() {
    if (frameTexture) SDL_DestroyTexture(frameTexture);
    if (renderer) SDL_DestroyRenderer(renderer);
    frameTexture = nullptr;
    renderer = nullptr;
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
    destroyRenderer();
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

bool windowCreateScaled(const ScaledWindowSetup& setup) {
    Uint32 flags = SDL_WINDOW_HIDDEN | SDL_WINDOW_RESIZABLE;
    if (setup.desktop) flags |= SDL_WINDOW_FULLSCREEN_DESKTOP;
    window = SDL_CreateWindow(setup.caption, SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                              setup.windowWidth, setup.windowHeight, flags);
    if (!window) return false;
    SDL_SetWindowMinimumSize(window, setup.frameWidth, setup.frameHeight);
    // Made while hidden: a GPU renderer may make SDL recreate the window.
    if (!createRenderer(setup)) {
        windowDestroy();
        return false;
    }
    showWindow();
    return true;
}

bool windowDesktopArea(int& width, int& height) {
    SDL_Rect area;
    if (SDL_GetDisplayUsableBounds(0, &area) != 0) return false;
    width = area.w;
    height = area.h;
    return true;
}

void windowSetDesktop(bool desktop) {
    if (window) SDL_SetWindowFullscreen(window, desktop ? SDL_WINDOW_FULLSCREEN_DESKTOP : 0);
    targetLost = true;
}

bool windowIsDesktop() {
    return window &&
           (SDL_GetWindowFlags(window) & SDL_WINDOW_FULLSCREEN_DESKTOP) == SDL_WINDOW_FULLSCREEN_DESKTOP;
}

bool windowDrawingSize(int& width, int& height) {
    return renderer && SDL_GetRendererOutputSize(renderer, &width, &height) == 0;
}

void windowDrawFrame(const uint32_t* frame, int pitch_bytes, int x, int y, int width, int height) {
    if (!renderer) return;
    SDL_UpdateTexture(frameTexture, nullptr, frame, pitch_bytes);
    SDL_Rect target{0, 0, 0, 0};
    SDL_GetRendererOutputSize(renderer, &target.w, &target.h);
    const SDL_Rect place{x, y, width, height};
    const bool sameLayout = SDL_RectEquals(&target, &lastTarget) && SDL_RectEquals(&place, &lastPlace);
    if (!rendererKeepsTarget || targetLost || !sameLayout) {
        SDL_SetRenderDrawColor(renderer, 0, 0, 0, 255);
        SDL_RenderClear(renderer);
        targetLost = false;
    }
    lastTarget = target;
    lastPlace = place;
    SDL_RenderCopy(renderer, frameTexture, nullptr, &place);
    SDL_RenderPresent(renderer);
}

const char* windowRendererName() {
    SDL_RendererInfo info;
    if (!renderer || SDL_GetRendererInfo(renderer, &info) != 0) return "";
    return info.name;
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

bool windowShowError(const char* title, const char* text) {
    return SDL_ShowSimpleMessageBox(SDL_MESSAGEBOX_ERROR, title, text, window) == 0;
}
