// The music player: opens the presentation's music, plays it looping, reports
// its position, restarts the demo clock and slows the music to a stop at exit.
// Called by main (open, start, position 0, volume, fade-out) and the sync table.
#pragma once

#include <cstdint>

// The rate of the music's output, in frames (one sample per side) per second.
constexpr int kMusicOutputRate_hz = 44100;

// Opens output and the file: as a looping WAV stream, else as a looping
// tracker module. A failure prints "BASS Error(…)" and ends the process (1).
void musicOpen(const char* fileName);

// Starts output and playback; restarts the demo clock.
void musicStart();

// The raw position heard now: order in the low 16 bits, row in the high 16
// bits (a stream reports a byte offset). See musicPositionFromRaw in sync_table.h.
uint32_t musicPosition();

// Seconds of output heard since the music was opened: they move at real
// speed while it plays and stand still while it is paused.
double musicHeardSeconds();

// Moves playback to the raw position (same packing); 0 also restarts the demo clock.
void musicSetPosition(uint32_t position);

// Pausing: the music stops where it is heard and later goes on from there,
// nothing lost or skipped; its position does not move meanwhile.
void musicPause(bool paused);

// Volume 0..100 of music, samples and streams; may come before musicOpen.
void musicSetVolume(int volume);

// At exit: slows the music like a stopping tape (about 0.2 s), slides the
// volume to silence (about 0.5 s), then releases the sound output.
void musicFadeOut();

// Capture: called before musicOpen, the music plays to no device and moves
// only as musicPull asks; positions are those of the last frame pulled.
void musicUsePulledOutput();
// The next `frames` frames of the music as heard (volume and slow-down
// included), interleaved 16-bit stereo at kMusicOutputRate_hz, into out (2 *
// frames values). An end of the music within them restarts the demo clock
// before this returns.
void musicPull(int16_t* out, int frames);

// How musicFadeOut waits between its steps (default: hostSleep, a sleep natively). A capture
// replaces it so that the slow-down is pulled, not slept through.
using MusicWait = void (*)(int milliseconds);
void setMusicWait(MusicWait wait);  // nullptr restores hostSleep

// Prints "BASS Error(<code>): <message>", releases the sound output and ends
// the process with exit code 1.
[[noreturn]] void musicFail(const char* message);

// End-of-music callback, on the audio thread at each loop of the music:
// restarts the demo clock. Its arguments are ignored.
void onMusicEnd(uint32_t sync, uint32_t channel, uint32_t data);
