// The steps of start-up that main runs in order before the main loop:
// the loop flag, the display, the work buffer, the music.
#pragma once

#include "app/command_line.h"

void startRunning();  // running := 1
// Sets the caption and the window, full-screen or scaled choice, opens the display
// (512 wide, the command line's height) and makes frameBuffer valid.
void openDisplay(const CommandLine& commandLine);
void allocateWorkBuffer();  // workBuffer: 512 x 256 pixels
// Opens "tazutune.it" (dataFilePath), starts it and plays it from `startOrder` (playFromOrder).
void startMusic(int startOrder);
// Sets the music's position to the start (which restarts the demo clock),
// then, when `order` is not 0, moves it to that order and skips the triggers
// before it.
void playFromOrder(int order);
// What frames depend on, as start-up leaves it: the frame and the work
// buffer black, the portrait levels 0, the World and every scene's particle
// pools and emitter times as loaded, the ball undented.
void restartSceneState();
