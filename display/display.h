// The presentation window or full screen (plain, or scaled up for today's
// screens), the frame it shows and the typed keys.
// main is the only caller; the effects only write into frameBuffer.
#pragma once

#include <cstdint>

#include "platform/viewer_command.h"

// width x height pixels 0x00RRGGBB, top row first, rows width pixels apart.
// Valid from displayInitSurface() on; owned by the display.
extern uint32_t* frameBuffer;

// Call order: setWindowed and setDisplayTitle, displayOpen, displayInitSurface,
// then per frame keyPending / readKey and displayPresent, last displayClose.
void setWindowed(int flag);              // nonzero: a window; zero: full screen (the default)
void setDisplayTitle(const char* text);  // the text must outlive the window
// Chooses the scaled presentation instead of the plain window or full screen:
// a resizable window of windowScale x the frame (0: the largest whole factor
// that fits the desktop), or with `desktop` a borderless window over the whole
// desktop. The picture is scaled by whole factors and centred with black
// around it, or with `smooth` filtered to fill as much as its shape allows.
// Alt+Enter switches between the window and the desktop. Called before displayOpen.
void setScaledDisplay(int windowScale, bool desktop, bool smooth);
// Nonzero: no window, no screen and no video driver at all (for capturing);
// frameBuffer is still made, presenting does nothing and no key is pending.
void setOffscreen(int flag);
// Opens the window (or, for full screen, finds the usable modes). When no
// display can be opened at all, prints one line and ends the process with -1.
void displayOpen(int width, int height);
// Makes frameBuffer valid; full screen falls back to a window when no listed
// mode is offered or its surface cannot be made.
void displayInitSurface();
void displayPresent();  // handles at most one event, shows frameBuffer
// For a held picture: waits up to timeout_ms for one event and handles it,
// showing frameBuffer again when the event asks for it (the window's
// contents lost, the desktop switched). Returns at once when offscreen.
void displayWait(int timeout_ms);
void displayClose();
bool keyPending();  // handles at most one event; true when a key waits
int readKey();      // waits for a key, returns the newest one
// The oldest viewer command not yet taken (None when there is none); the
// commands come with the events that keyPending, displayPresent and
// displayWait handle.
ViewerCommand takeViewerCommand();
