// The output half of the sound layer, one backend per host: platform/sdl/
// (an SDL audio device, or without one a timer that consumes the sound in
// real time) or platform/web/ (WebAudio). The mixer (sound.cpp) opens, runs
// and closes the output and asks it what is heard; the output takes the sound
// through mixerPlay or mixerDiscard. Used only inside platform/.
#pragma once

#include <cstdint>

// --- what the backend offers the mixer ----------------------------------------

// Opens the output at rate_hz, not yet running. Without a device it prints
// one line and returns false: the output is then silent, and once running it
// consumes the sound in real time all the same. Mixer lock held.
bool soundOutputOpen(int rate_hz);
// Runs or stops the output (start, pause, resume). Mixer lock not held: a
// device may wait for its running request.
void soundOutputRun(bool runs);
// Stops and closes the output. Mixer lock not held.
void soundOutputClose();
// The output frame heard now, of the `renderedFrames` rendered so far.
// Mixer lock held.
uint64_t soundOutputHeardFrame(uint64_t renderedFrames);
// After a pause: the estimate of what is heard goes on from `heardFrame`.
// Mixer lock held.
void soundOutputContinueFrom(uint64_t heardFrame, uint64_t renderedFrames);

// --- what the mixer offers the backend -----------------------------------------

// The next `frames` frames the output plays, stereo float, into out; the
// ends heard by then are reported first. `whileLocked`, when given, is
// called under the mixer's lock once they are rendered, so that the heard
// estimate and the frames rendered change together.
void mixerPlay(float* out, int frames, void (*whileLocked)());
// A silent output's share: renders and drops up to `most` frames (at most
// one device buffer), reporting the ends among them. Returns how many it
// rendered: 0 while paused.
int mixerDiscard(int most);
