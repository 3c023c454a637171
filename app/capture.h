// Capturing the presentation frame by frame, with its music, to a video file
// or a folder of pictures, on a clock that moves only when told: the same
// command writes the same frames and sound on any machine. Used by main
// instead of the live loop when --capture is given.
#pragma once

#include <string>

#include "app/command_line.h"

// Before start-up opens the display and the music: no window, the music
// pulled instead of played on a device, the demo clock driven by the capture.
void prepareCapture();

// What --capture=PATH writes: "DIR/" a folder of TGA frames and the music
// as WAV; "FILE.txt" (any case) a frame-hash list; anything else a video.
enum class CaptureKind { Folder, Video, Hashes };
CaptureKind captureKindOf(const std::string& path);

// After start-up: opens the output and says what is captured. False after a
// failure, reported in one line (exit code 1).
bool beginCapture(const CommandLine& commandLine);
// One frame of the capture; false once it has ended: the presentation ended
// (then the music's slow-down, over the last picture), --frames are written
// or Ctrl+C came. Its last call completes the output and prints the summary.
bool captureFrame();
// The exit code once captureFrame has returned false: 0; 130 after Ctrl+C,
// with what was written kept as a complete file; 1 after a failure,
// reported in one line.
int captureExitCode();
