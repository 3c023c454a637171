// Web backend of the thin window layer: the frame drawn into the page's
// <canvas id="picture">, placed and sized by the page's own rules (the same
// whole-factor fit as --desktop), and the keys of the page turned into the
// events the display expects. Only the scaled window exists here.
#include "platform/window.h"

#include <emscripten.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

const char* lastError = "";
std::vector<uint8_t> rgba;  // the frame as the canvas takes it: red, green, blue, opaque

// clang-format off
// The page's keys as events, oldest first: [type, text, command]. The viewer
// keys that a browser would use to scroll the page are kept from it.
EM_JS(int, zd_window_start, (), {
    if (!document.getElementById('picture')) return 0;
    const events = Module.zdEvents = [];
    const text = 1, exposed = 4, toggleFullScreen = 5, command = 6;
    // A new size of the picture area: the held picture is placed again.
    window.addEventListener('resize', () => events.push([exposed, "", 0]));
    document.addEventListener('fullscreenchange', () => events.push([exposed, "", 0]));
    const commands = { ' ': 1, 'ArrowRight': 2, 'PageDown': 2, 'ArrowLeft': 3, 'PageUp': 3, 'Home': 4 };
    document.addEventListener('keydown', (e) => {
        if (e.ctrlKey || e.metaKey) return;
        if (e.altKey) {
            if (e.key === 'Enter' && !e.repeat) { events.push([toggleFullScreen, "", 0]); e.preventDefault(); }
            return;
        }
        const c = commands[e.key];
        if (c !== undefined) {
            if (!e.repeat || c === 2 || c === 3) events.push([command, "", c]);
            e.preventDefault();
        } else if (e.key === 'Escape') {
            events.push([text, String.fromCharCode(27), 0]);
        } else if (e.key.length === 1) {
            events.push([text, e.key, 0]);
        }
    });
    return 1;
});

EM_JS(int, zd_window_next_event, (char* text, int textSize, int* command), {
    const event = Module.zdEvents && Module.zdEvents.shift();
    if (!event) return 0;
    stringToUTF8(event[1], text, textSize);
    HEAP32[command >> 2] = event[2];
    return event[0];
});

EM_JS(void, zd_window_caption, (const char* caption), { document.title = UTF8ToString(caption); });

// The area the picture may take, in device pixels: the page's picture area.
EM_JS(void, zd_window_area, (int* width, int* height), {
    const area = document.getElementById('stage') || document.body;
    const scale = window.devicePixelRatio || 1;
    HEAP32[width >> 2] = Math.floor(area.clientWidth * scale);
    HEAP32[height >> 2] = Math.floor(area.clientHeight * scale);
});

EM_JS(void, zd_window_full_screen, (int on), {
    const area = document.getElementById('stage') || document.body;
    if (on && !document.fullscreenElement && area.requestFullscreen) area.requestFullscreen().catch(() => {});
    if (!on && document.fullscreenElement && document.exitFullscreen) document.exitFullscreen().catch(() => {});
});

EM_JS(int, zd_window_is_full_screen, (), { return document.fullscreenElement ? 1 : 0; });

// The frame into the canvas, and the canvas placed at (x, y, width, height)
// of the area in device pixels, sharp.
EM_JS(void, zd_window_draw, (const uint8_t* pixels, int frameWidth, int frameHeight, int x, int y, int width, int height), {
    const canvas = document.getElementById('picture');
    if (canvas.width !== frameWidth || canvas.height !== frameHeight) {
        canvas.width = frameWidth;
        canvas.height = frameHeight;
        Module.zdImage = null;
    }
    if (!Module.zdImage) {
        Module.zdContext = canvas.getContext('2d');
        Module.zdImage = Module.zdContext.createImageData(frameWidth, frameHeight);
    }
    const bytes = frameWidth * frameHeight * 4;
    Module.zdImage.data.set(HEAPU8.subarray(pixels, pixels + bytes));
    Module.zdContext.putImageData(Module.zdImage, 0, 0);
    const scale = window.devicePixelRatio || 1;
    const style = canvas.style;
    const place = [x / scale + 'px', y / scale + 'px', width / scale + 'px', height / scale + 'px'];
    if (style.left !== place[0]) style.left = place[0];
    if (style.top !== place[1]) style.top = place[1];
    if (style.width !== place[2]) style.width = place[2];
    if (style.height !== place[3]) style.height = place[3];
});

EM_JS(void, zd_window_cursor, (int visible), {
    const canvas = document.getElementById('picture');
    if (canvas) canvas.style.cursor = visible ? 'auto' : 'none';
});
// clang-format on

}  // namespace

bool windowInitVideo() {
    if (zd_window_start()) return true;
    lastError = "the page has no canvas with the id 'picture'";
    return false;
}

const char* windowLastError() { return lastError; }

std::vector<ScreenMode> windowListModes() { return {}; }

// A page has no plain window and no screen modes: the picture is always scaled.
bool windowCreate(const char*, int, int) {
    lastError = "a web page shows the picture scaled only";
    return false;
}

bool windowCreateFullScreen(const char*, int, int, int) {
    lastError = "a web page has no screen modes";
    return false;
}

void windowDestroy() {}
void windowShutdownVideo() {}

bool windowLockSurface(WindowSurface&) { return false; }
void windowUnlockSurface() {}
void windowPresent() {}

bool windowCreateScaled(const ScaledWindowSetup& setup) {
    zd_window_caption(setup.caption);
    rgba.assign(static_cast<size_t>(setup.frameWidth) * static_cast<size_t>(setup.frameHeight) * 4, 255);
    if (setup.desktop) zd_window_full_screen(0);  // the page area is the desktop; full screen on request
    return true;
}

bool windowDesktopArea(int& width, int& height) {
    zd_window_area(&width, &height);
    return true;
}

void windowSetDesktop(bool desktop) { zd_window_full_screen(desktop ? 1 : 0); }

bool windowIsDesktop() { return zd_window_is_full_screen() != 0; }

bool windowDrawingSize(int& width, int& height) {
    zd_window_area(&width, &height);
    return true;
}

void windowDrawFrame(const uint32_t* frame, int pitch_bytes, int x, int y, int width, int height) {
    const int frameWidth = pitch_bytes / 4;
    const int frameHeight =
        frameWidth > 0 ? static_cast<int>(rgba.size() / 4 / static_cast<size_t>(frameWidth)) : 0;
    uint8_t* out = rgba.data();
    const size_t pixels = static_cast<size_t>(frameWidth) * static_cast<size_t>(frameHeight);
    for (size_t i = 0; i < pixels; ++i, out += 4) {
        const uint32_t p = frame[i];
        out[0] = static_cast<uint8_t>(p >> 16);
        out[1] = static_cast<uint8_t>(p >> 8);
        out[2] = static_cast<uint8_t>(p);
    }
    zd_window_draw(rgba.data(), frameWidth, frameHeight, x, y, width, height);
}

const char* windowRendererName() { return "canvas"; }

bool windowPollEvent(WindowEvent& event) {
    int command = 0;
    const int type = zd_window_next_event(event.text, sizeof event.text, &command);
    if (type == 0) return false;
    event.type = static_cast<WindowEventType>(type);
    event.command = static_cast<ViewerCommand>(command);
    return true;
}

// A page cannot wait on its main thread: the browser calls the next frame.
bool windowWaitEvent(WindowEvent& event, int) { return windowPollEvent(event); }

void windowShowCursor(bool visible) { zd_window_cursor(visible ? 1 : 0); }

// The page shows the program's printed line itself.
bool windowShowError(const char*, const char*) { return false; }
