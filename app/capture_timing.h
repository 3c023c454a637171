// When each frame of a capture is drawn and which samples of the music belong
// to it. Used by the capture loop and its tests.
#pragma once

#include <cstdint>

// A sample here is one stereo frame of sound at the music's output rate.
struct CaptureTiming {
    int fps = 60;
    int rate_hz = 44100;
};

// Frame k is drawn at demo time k * 1000 / fps ms (truncated to whole ms).
constexpr int64_t frameTime_ms(const CaptureTiming& timing, int64_t frame) {
    return frame * 1000 / timing.fps;
}

// Frame k's sound starts at sample round(k * rate / fps) (halves up) and ends
// where frame k + 1's starts: no sample is dropped or repeated.
constexpr int64_t firstSampleOf(const CaptureTiming& timing, int64_t frame) {
    return (2 * frame * timing.rate_hz + timing.fps) / (2 * timing.fps);
}

// The samples that `ms` milliseconds of sound take, rounded (halves up).
constexpr int64_t samplesIn_ms(const CaptureTiming& timing, int64_t ms) {
    return (2 * ms * timing.rate_hz + 1000) / 2000;
}

// The most samples one frame's sound can hold.
constexpr int64_t longestFrame_samples(const CaptureTiming& timing) {
    return timing.rate_hz / timing.fps + 1;
}
