// The capture's progress on the terminal (one line updated in place, or a
// line every few seconds when standard output is not a terminal) and its
// closing summary. Used by the capture loop.
#pragma once

#include <chrono>
#include <cstdint>
#include <string>

struct CaptureProgress {
    using Clock = std::chrono::steady_clock;
    bool terminal = false;
    Clock::time_point start;
    Clock::time_point lastShown;
    int64_t expectedFrames = 0;  // 0: not known
    bool lineOpen = false;       // a line is shown in place and not yet ended
};

void startProgress(CaptureProgress& progress, int64_t expectedFrames);
// Called after every frame; shows the state only every so often.
void showProgress(CaptureProgress& progress, int64_t frames, int order, int row);
// Ends a line shown in place, so that what follows starts on its own line.
void endProgress(CaptureProgress& progress);
double secondsSinceStart(const CaptureProgress& progress);

// "frame 1234, order 12 row 64, 312.4 fps, 0:42 left"; a negative
// secondsLeft gives "time left unknown".
std::string progressText(int64_t frames, int order, int row, double framesPerSecond, double secondsLeft);
// "1234 frames (20.57 s at 60 fps) in 'out.mp4', 12.3 MB, captured in 6.2 s
// (3.3 times real time)"
std::string summaryText(int64_t frames, int fps, const std::string& path, uint64_t bytes, double seconds);
