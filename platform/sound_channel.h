// One channel of the sound layer: a looping module or WAV stream, its
// attributes and a record of which position was rendered at which output
// frame. Used only by platform/sound.cpp, under the mixer's mutex.
#pragma once

#include "platform/sound.h"

#include <libopenmpt/libopenmpt.hpp>

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// The position a channel had when output frame `frame` was rendered.
struct PositionMark {
    uint64_t frame = 0;
    uint32_t position = 0;
};

struct SoundChannel {
    uint32_t handle = 0;  // 0: the slot is free
    bool isModule = false;
    bool playing = false;
    std::unique_ptr<openmpt::module> module;
    std::vector<float> wave;  // stream: stereo float frames at the output rate
    double waveCursor_frames = 0;

    int rate_hz = kSoundOutputRate_hz;
    int volume = 100;  // 0..100
    int pan = 0;       // -100..100

    SoundEndCallback onEnd = nullptr;
    uint32_t syncHandle = 0;
    uint32_t endData = 0;

    // Ring of recent marks, oldest overwritten first; spans a few output buffers.
    static constexpr size_t kMarks = 512;
    std::array<PositionMark, kMarks> marks{};
    size_t markNext = 0;
    size_t markCount = 0;

    // Output frames at which the channel reached its end, not yet reported.
    static constexpr size_t kMaxPendingEnds = 8;
    std::array<uint64_t, kMaxPendingEnds> pendingEnds{};
    size_t pendingEndCount = 0;
};

// Load a file into a free channel; on failure return a SoundError.
int loadModuleChannel(SoundChannel& channel, const char* path);
int loadStreamChannel(SoundChannel& channel, const char* path, int outputRate_hz);
void closeChannel(SoundChannel& channel);

// Position of the next frame the channel renders (packing of soundPosition).
uint32_t channelRenderPosition(const SoundChannel& channel);
void channelSeek(SoundChannel& channel, uint32_t position);
void channelSetRate(SoundChannel& channel, int rate_hz, int outputRate_hz);

// Renders `frames` stereo float frames into out (overwritten, not mixed) and
// stores the offsets within them at which the channel looped, at most
// maxEnds. Returns how many ends it met.
int renderChannel(SoundChannel& channel, float* out, int frames, int outputRate_hz, int* endOffsets,
                  int maxEnds);

void addMark(SoundChannel& channel, uint64_t frame, uint32_t position);
void clearMarks(SoundChannel& channel);
// The newest mark at or before `frame`; the oldest kept if all are later.
uint32_t markedPosition(const SoundChannel& channel, uint64_t frame);
