// Our sound layer: looping tracker modules (libopenmpt) and WAV streams mixed
// to the default output device (SDL2 audio), or pulled by the caller for a
// capture. Used by the music player in sync/.
//
// Threads: every function is for the main thread. End callbacks run on the
// audio thread (or the silent-output timer thread, or, with pulled output, the
// thread that pulls) and must not call back into this layer. Channel handles
// are nonzero; 0 names no channel.
#pragma once

#include <cstdint>

// The version soundVersion() reports: major 0, minor 6 in the high word.
constexpr uint32_t kSoundVersion = 0x60000;

constexpr int kSoundOutputRate_hz = 44100;
constexpr int kSoundBuffer_frames = 512;  // output buffer of the device
constexpr int kSoundSlide_ms = 500;       // length of a volume slide

// Causes of the last failed call, read with soundErrorCode().
enum SoundError : int {
    kSoundOk = 0,
    kSoundErrorFileOpen = 2,    // the file cannot be opened or read
    kSoundErrorHandle = 5,      // no open channel with that handle
    kSoundErrorInit = 8,        // the call needs soundInit first
    kSoundErrorAlready = 14,    // soundInit was called twice
    kSoundErrorNoChannel = 18,  // every channel slot is in use
    kSoundErrorFormat = 41,     // not a format this layer plays
};

// Called at each end of a looping channel, on the audio thread, with the
// sync handle, the channel handle and the value given to soundSetEndSync.
using SoundEndCallback = void (*)(uint32_t sync, uint32_t channel, uint32_t data);

uint32_t soundVersion();
int soundErrorCode();  // of the last call that failed

// Opens the default output device (stereo, rate_hz) paused. Without a usable
// device it prints one line and plays silently: a timer thread consumes the
// music in real time, so positions advance as they would with sound.
bool soundInit(int rate_hz);
bool soundIsSilent();  // true when output went to the silent timer

// Pulled output, for capturing the sound: when set before soundInit, no device
// and no timer are opened, and the output moves only as soundPull asks. What
// is pulled is what is heard: soundPosition reports the position at the last
// pulled frame, with no device latency. soundFree does not clear the setting.
void soundSetPulledOutput(bool pulled);
// Renders the next `frames` output frames as interleaved 16-bit stereo into
// out (2 * frames values, owned by the caller). Before soundStart, or without
// pulled output, out gets silence and the output does not move. The end
// callbacks of every channel end within these frames are made before it
// returns, on the calling thread.
void soundPull(int16_t* out, int frames);

// Open a file, looping. A stream is a WAV file; a module is IT, XM, S3M, MOD
// or any other format libopenmpt reads. Return 0 on failure.
uint32_t soundStreamOpenFile(const char* path);
uint32_t soundModuleOpenFile(const char* path);

// Installs the end callback of a channel; returns a sync handle, 0 on failure.
uint32_t soundSetEndSync(uint32_t channel, SoundEndCallback callback, uint32_t data);

bool soundStart();                 // output runs (the device is unpaused)
bool soundPlay(uint32_t channel);  // the channel plays from where it stands

// Position of the sound heard now. Module: order in the low 16 bits, row in
// the high 16 bits. Stream: byte offset in 16-bit stereo at the output rate.
uint32_t soundPosition(uint32_t channel);
// The output frames heard since soundInit (what a pause holds still).
uint64_t soundHeardFrames();

// Same packing; a module goes to that order and row, 0 is the start.
bool soundSetPosition(uint32_t channel, uint32_t position);

// Global volumes 0..100 (values outside are clamped) of modules, samples and
// streams. May be called before soundInit: output starts with them.
void soundSetGlobalVolumes(int music, int sample, int stream);
void soundGetGlobalVolumes(int* music, int* sample, int* stream);

// Channel attributes. rate_hz is the playback rate like a tape (tempo and
// pitch together; the output rate is normal speed), 0 keeps it; volume 0..100,
// -1 keeps it; pan -100..100 (left..right), -101 keeps it.
bool soundSetAttributes(uint32_t channel, int rate_hz, int volume, int pan);
// Any pointer may be null.
bool soundGetAttributes(uint32_t channel, int* rate_hz, int* volume, int* pan);

// Slides the global volumes to the given values over kSoundSlide_ms.
// Without running output the volumes are set at once.
void soundSlideVolumes(int music, int sample, int stream);
bool soundIsSliding();

// Pausing: the output stops where it is heard and later goes on from there,
// nothing lost or skipped. While paused, positions stay at what was heard
// when the pause began, the device (or the silent timer) takes no sound and
// soundPull gives silence without moving. A no-op when it changes nothing.
void soundPause(bool paused);
bool soundIsPaused();

// Stops output, closes every channel and the device. Volumes are kept.
void soundFree();
