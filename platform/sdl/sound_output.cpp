// The sound layer's output through SDL's audio device, or, without one, a
// timer thread that consumes the sound in real time so that positions move
// as they would with sound.
#include "platform/sound_output.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <thread>
#include <vector>

#include "platform/sound.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSilentTick_ms = 2;

struct Output {
    int rate_hz = kSoundOutputRate_hz;
    SDL_AudioDeviceID device = 0;
    int buffer_frames = kSoundBuffer_frames;
    Clock::time_point lastCallback;  // when the device last asked for sound; mixer lock

    std::thread silentTimer;
    std::atomic<bool> silentTimerRuns{false};

    ~Output() { soundOutputClose(); }
};

Output& output() {
    static Output o;
    return o;
}

void noteCallback() { output().lastCallback = Clock::now(); }

void audioCallback(void*, Uint8* stream, int length_bytes) {
    mixerPlay(reinterpret_cast<float*>(stream), length_bytes / static_cast<int>(2 * sizeof(float)),
              noteCallback);
}

// Without a device: render, and throw away, as many frames as real time asks.
void silentTimerLoop() {
    Output& o = output();
    const Clock::time_point start = Clock::now();
    uint64_t consumed = 0;
    while (o.silentTimerRuns.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kSilentTick_ms));
        const double elapsed_s = std::chrono::duration<double>(Clock::now() - start).count();
        const uint64_t target = static_cast<uint64_t>(elapsed_s * o.rate_hz);
        // One buffer per lock, so that the main thread is never kept waiting long.
        while (consumed < target) {
            const int rendered =
                mixerDiscard(static_cast<int>(std::min<uint64_t>(target - consumed, kSoundBuffer_frames)));
            if (rendered == 0) break;
            consumed += static_cast<uint64_t>(rendered);
        }
    }
}

void stopSilentTimer(Output& o) {
    o.silentTimerRuns.store(false);
    if (o.silentTimer.joinable()) o.silentTimer.join();
}

}  // namespace

bool soundOutputOpen(int rate_hz) {
    Output& o = output();
    o.rate_hz = rate_hz;
    o.lastCallback = Clock::now();
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        std::printf("sound: no audio output (%s), playback is silent\n", SDL_GetError());
        return false;
    }
    SDL_AudioSpec want{};
    want.freq = rate_hz;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = kSoundBuffer_frames;
    want.callback = audioCallback;
    SDL_AudioSpec have{};
    o.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (o.device == 0) {
        std::printf("sound: no audio device (%s), playback is silent\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    o.buffer_frames = have.samples > 0 ? have.samples : kSoundBuffer_frames;
    return true;
}

void soundOutputRun(bool runs) {
    Output& o = output();
    if (o.device != 0) {
        SDL_PauseAudioDevice(o.device, runs ? 0 : 1);
        return;
    }
    // The timer consumes sound in real time from its own start: it stops for
    // a pause and starts afresh after it.
    if (!runs) {
        stopSilentTimer(o);
    } else if (!o.silentTimer.joinable()) {
        o.silentTimerRuns.store(true);
        o.silentTimer = std::thread(silentTimerLoop);
    }
}

void soundOutputClose() {
    Output& o = output();
    stopSilentTimer(o);
    if (o.device != 0) {
        SDL_CloseAudioDevice(o.device);  // waits for a running callback
        o.device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

// With a device, a buffer rendered by one callback is heard while the device
// plays the buffer before it, so sound reaches the ear about two buffers
// after it was rendered.
uint64_t soundOutputHeardFrame(uint64_t renderedFrames) {
    const Output& o = output();
    if (o.device == 0) return renderedFrames;
    const int64_t buffer = o.buffer_frames;
    const double since_s = std::chrono::duration<double>(Clock::now() - o.lastCallback).count();
    const int64_t played = std::clamp<int64_t>(static_cast<int64_t>(since_s * o.rate_hz), 0, buffer);
    const int64_t frame = static_cast<int64_t>(renderedFrames) - 2 * buffer + played;
    return frame > 0 ? static_cast<uint64_t>(frame) : 0;
}

void soundOutputContinueFrom(uint64_t heardFrame, uint64_t renderedFrames) {
    Output& o = output();
    // As if the device's last request had come that many frames ago.
    const int64_t behind =
        static_cast<int64_t>(heardFrame) - (static_cast<int64_t>(renderedFrames) - 2 * o.buffer_frames);
    const int64_t played = std::clamp<int64_t>(behind, 0, o.buffer_frames);
    o.lastCallback = Clock::now() - std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(
                                        static_cast<double>(played) / o.rate_hz));
}
