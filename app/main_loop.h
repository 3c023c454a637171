// The main loop's frame: the typed keys (quit on Escape, "Q", "q"; the
// screenshot on "S"), the viewer commands, the schedule and the display.
// Used by main once per frame, and by a host that calls it per frame.
#pragma once

#include "platform/viewer_command.h"

// Acts on one typed character.
void handleKey(int key);
// Takes at most one typed character from the display and acts on it.
void handlePendingKey();
// Acts on one viewer command (pause, the orders).
void handleViewerCommand(ViewerCommand command);

// One pass of the main loop: a typed key and a viewer command, then, unless
// paused, the schedule draws the frame and the display shows it; paused, it
// waits up to 10 ms for an event instead, so the held picture costs nothing.
void runFrame();
// runFrame, and once the presentation has ended the shutdown (the music's
// fade-out, the display closed); false then. The host calls it per frame.
bool presentationFrame();
