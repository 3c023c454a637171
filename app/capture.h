// Capturing the presentation frame by frame, with its music, to a video file
// or a folder of pictures, on a clock that moves only when told: the same
// command writes the same frames and sound on any machine. Used by main
// instead of the live loop when --capture is given.
#pragma once

#include "app/command_line.h"

// Before start-up opens the display and the music: no window, the music
// pulled instead of played on a device, the demo clock driven by the capture.
void prepareCapture();

// After start-up: captures until the presentation ends (then the music's
// slow-down, over the last picture), --frames are written or Ctrl+C comes.
// Returns the exit code: 0; 130 after Ctrl+C, with what was written kept as a
// complete file; 1 after a failure, reported in one line.
int runCapture(const CommandLine& commandLine);
