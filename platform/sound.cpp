// The mixer behind platform/sound.h: channels rendered in small chunks under
// one mutex, by SDL's audio callback or, without a device, by a timer thread
// that consumes the sound in real time, or by the caller's pulls for a
// capture. Positions are looked up for the frame being heard, not the frame
// being rendered.
#include "platform/sound.h"

#include "platform/sound_channel.h"

#include <SDL.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <mutex>
#include <thread>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kMaxChannels = 4;
constexpr int kChunk_frames = 64;  // positions are recorded once per chunk (1.5 ms)
constexpr int kSilentTick_ms = 2;

enum VolumeKind { kMusicVolume, kSampleVolume, kStreamVolume, kVolumeKinds };

// An end callback to be made once the lock is released.
struct EndEvent {
    SoundEndCallback callback;
    uint32_t sync;
    uint32_t channel;
    uint32_t data;
};
constexpr int kMaxEndEvents = kMaxChannels * static_cast<int>(SoundChannel::kMaxPendingEnds);

struct Mixer {
    std::mutex mutex;
    int error = kSoundOk;

    bool initialised = false;
    bool started = false;
    bool silent = false;
    bool pulled = false;  // the caller pulls the output; kept across soundFree
    bool paused = false;
    uint64_t pausedHeardFrame = 0;  // the output frame heard when the pause began
    int rate_hz = kSoundOutputRate_hz;
    SDL_AudioDeviceID device = 0;
    int deviceBuffer_frames = kSoundBuffer_frames;

    std::thread silentTimer;
    std::atomic<bool> silentTimerRuns{false};

    uint64_t renderedFrames = 0;     // output frames rendered since soundInit
    Clock::time_point lastCallback;  // when the device last asked for sound

    SoundChannel channels[kMaxChannels];
    uint32_t lastHandle = 0;

    // Global volumes 0..100 and the slide towards target volumes.
    float volumes[kVolumeKinds] = {100, 100, 100};
    float slideFrom[kVolumeKinds] = {};
    float slideTo[kVolumeKinds] = {};
    int64_t slideLeft_frames = 0;
    int64_t slideTotal_frames = 0;

    std::vector<float> chunk = std::vector<float>(2 * kChunk_frames);
    std::vector<float> discard = std::vector<float>(2 * kSoundBuffer_frames);
    std::vector<float> pulledSound = std::vector<float>(2 * kSoundBuffer_frames);

    ~Mixer();
};

Mixer& mixer() {
    static Mixer m;
    return m;
}

int clampInt(int v, int lo, int hi) { return std::max(lo, std::min(v, hi)); }

SoundChannel* findChannel(Mixer& m, uint32_t handle) {
    if (handle == 0) return nullptr;
    for (SoundChannel& c : m.channels)
        if (c.handle == handle) return &c;
    return nullptr;
}

// Collects the ends that have been heard by output frame `heardFrame`.
int collectHeardEnds(Mixer& m, uint64_t heardFrame, EndEvent* events) {
    int count = 0;
    for (SoundChannel& c : m.channels) {
        size_t kept = 0;
        for (size_t i = 0; i < c.pendingEndCount; ++i) {
            if (c.pendingEnds[i] <= heardFrame) {
                if (c.onEnd && count < kMaxEndEvents)
                    events[count++] = EndEvent{c.onEnd, c.syncHandle, c.handle, c.endData};
            } else {
                c.pendingEnds[kept++] = c.pendingEnds[i];
            }
        }
        c.pendingEndCount = kept;
    }
    return count;
}

void fireEndEvents(const EndEvent* events, int count) {
    for (int i = 0; i < count; ++i) events[i].callback(events[i].sync, events[i].channel, events[i].data);
}

void advanceSlide(Mixer& m, int frames) {
    if (m.slideLeft_frames <= 0) return;
    m.slideLeft_frames = std::max<int64_t>(0, m.slideLeft_frames - frames);
    const float done =
        1.0f - static_cast<float>(m.slideLeft_frames) / static_cast<float>(m.slideTotal_frames);
    for (int k = 0; k < kVolumeKinds; ++k)
        m.volumes[k] = m.slideFrom[k] + (m.slideTo[k] - m.slideFrom[k]) * done;
}

void mixChannelChunk(Mixer& m, SoundChannel& c, float* out, int frames) {
    addMark(c, m.renderedFrames, channelRenderPosition(c));
    int endOffsets[SoundChannel::kMaxPendingEnds];
    const int ends = renderChannel(c, m.chunk.data(), frames, m.rate_hz, endOffsets,
                                   static_cast<int>(SoundChannel::kMaxPendingEnds));
    for (int i = 0; i < ends; ++i) {
        const uint64_t endFrame = m.renderedFrames + static_cast<uint64_t>(endOffsets[i]);
        // From the end on, the position heard is that of the restarted song.
        addMark(c, endFrame, channelRenderPosition(c));
        if (c.pendingEndCount < SoundChannel::kMaxPendingEnds) c.pendingEnds[c.pendingEndCount++] = endFrame;
    }
    const float global = m.volumes[c.isModule ? kMusicVolume : kStreamVolume] / 100.0f;
    const float gain = global * static_cast<float>(c.volume) / 100.0f;
    const float left = gain * static_cast<float>(c.pan <= 0 ? 100 : 100 - c.pan) / 100.0f;
    const float right = gain * static_cast<float>(c.pan >= 0 ? 100 : 100 + c.pan) / 100.0f;
    for (int i = 0; i < frames; ++i) {
        out[2 * i] += m.chunk[2 * i] * left;
        out[2 * i + 1] += m.chunk[2 * i + 1] * right;
    }
}

// Renders `frames` output frames into out (stereo float). Lock held.
void renderOutput(Mixer& m, float* out, int frames) {
    std::fill(out, out + 2 * frames, 0.0f);
    for (int done = 0; done < frames;) {
        const int n = std::min(kChunk_frames, frames - done);
        for (SoundChannel& c : m.channels)
            if (c.handle != 0 && c.playing) mixChannelChunk(m, c, out + 2 * done, n);
        advanceSlide(m, n);
        m.renderedFrames += static_cast<uint64_t>(n);
        done += n;
    }
}

uint64_t heardFrame(const Mixer& m);

void audioCallback(void*, Uint8* stream, int length_bytes) {
    Mixer& m = mixer();
    EndEvent events[kMaxEndEvents];
    int eventCount = 0;
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        // Report the ends that have been heard by now.
        eventCount = collectHeardEnds(m, heardFrame(m), events);
        renderOutput(m, reinterpret_cast<float*>(stream), length_bytes / static_cast<int>(2 * sizeof(float)));
        m.lastCallback = Clock::now();
    }
    fireEndEvents(events, eventCount);
}

// Without a device: render, and throw away, as many frames as real time asks.
void silentTimerLoop() {
    Mixer& m = mixer();
    const Clock::time_point start = Clock::now();
    uint64_t startFrame = 0;
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        startFrame = m.renderedFrames;
    }
    while (m.silentTimerRuns.load()) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kSilentTick_ms));
        const double elapsed_s = std::chrono::duration<double>(Clock::now() - start).count();
        const uint64_t target = startFrame + static_cast<uint64_t>(elapsed_s * m.rate_hz);
        // One buffer per lock, so that the main thread is never kept waiting long.
        for (bool more = true; more;) {
            EndEvent events[kMaxEndEvents];
            int eventCount = 0;
            {
                std::lock_guard<std::mutex> lock(m.mutex);
                // Paused: nothing more is consumed, so the pause loses no sound.
                const bool consumes = !m.paused && m.renderedFrames < target;
                if (consumes) {
                    const uint64_t left = target - m.renderedFrames;
                    renderOutput(m, m.discard.data(),
                                 static_cast<int>(std::min<uint64_t>(left, kSoundBuffer_frames)));
                }
                more = consumes && m.renderedFrames < target;
                eventCount = collectHeardEnds(m, m.renderedFrames, events);
            }
            fireEndEvents(events, eventCount);
        }
    }
}

// The output frame being heard now. With a device, a buffer rendered by one
// callback is heard while the device plays the buffer before it, so sound
// reaches the ear about two buffers after it was rendered.
uint64_t heardFrame(const Mixer& m) {
    if (m.paused) return m.pausedHeardFrame;
    if (m.silent || m.device == 0) return m.renderedFrames;
    const int64_t buffer = m.deviceBuffer_frames;
    const double since_s = std::chrono::duration<double>(Clock::now() - m.lastCallback).count();
    const int64_t played = std::clamp<int64_t>(static_cast<int64_t>(since_s * m.rate_hz), 0, buffer);
    const int64_t frame = static_cast<int64_t>(m.renderedFrames) - 2 * buffer + played;
    return frame > 0 ? static_cast<uint64_t>(frame) : 0;
}

// Full scale is 32767 both ways, so that -1 and 1 stay symmetric.
int16_t toPcm16(float sample) {
    const float clamped = std::clamp(sample, -1.0f, 1.0f);
    return static_cast<int16_t>(std::lrint(clamped * 32767.0f));
}

void stopOutput(Mixer& m) {
    if (m.silentTimer.joinable()) {
        m.silentTimerRuns.store(false);
        m.silentTimer.join();
    }
    if (m.device != 0) {
        SDL_CloseAudioDevice(m.device);  // waits for a running callback
        m.device = 0;
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
    }
}

Mixer::~Mixer() { stopOutput(*this); }

bool openDevice(Mixer& m, int rate_hz) {
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
    m.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (m.device == 0) {
        std::printf("sound: no audio device (%s), playback is silent\n", SDL_GetError());
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        return false;
    }
    m.deviceBuffer_frames = have.samples > 0 ? have.samples : kSoundBuffer_frames;
    return true;
}

bool fail(Mixer& m, int error) {
    m.error = error;
    return false;
}

uint32_t failHandle(Mixer& m, int error) {
    m.error = error;
    return 0;
}

uint32_t openChannel(const char* path, bool asModule) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (!m.initialised) return failHandle(m, kSoundErrorInit);
    SoundChannel* slot = nullptr;
    for (SoundChannel& c : m.channels)
        if (c.handle == 0) {
            slot = &c;
            break;
        }
    if (!slot) return failHandle(m, kSoundErrorNoChannel);
    SoundChannel loaded;
    const int error = asModule ? loadModuleChannel(loaded, path) : loadStreamChannel(loaded, path, m.rate_hz);
    if (error != kSoundOk) return failHandle(m, error);
    loaded.rate_hz = m.rate_hz;
    loaded.handle = ++m.lastHandle;
    *slot = std::move(loaded);
    m.error = kSoundOk;
    return slot->handle;
}

}  // namespace

uint32_t soundVersion() { return kSoundVersion; }

int soundErrorCode() {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    return m.error;
}

bool soundInit(int rate_hz) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (m.initialised) return fail(m, kSoundErrorAlready);
    m.rate_hz = rate_hz > 0 ? rate_hz : kSoundOutputRate_hz;
    m.silent = !m.pulled && !openDevice(m, m.rate_hz);
    m.initialised = true;
    m.started = false;
    m.renderedFrames = 0;
    m.lastCallback = Clock::now();
    m.error = kSoundOk;
    return true;
}

bool soundIsSilent() {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    return m.silent;
}

void soundSetPulledOutput(bool pulled) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.pulled = pulled;
}

void soundPull(int16_t* out, int frames) {
    Mixer& m = mixer();
    EndEvent events[kMaxEndEvents];
    int eventCount = 0;
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        const bool runs = m.pulled && m.initialised && m.started && !m.paused && m.device == 0;
        float* sound = m.pulledSound.data();
        for (int done = 0; done < frames;) {
            const int n = std::min(kSoundBuffer_frames, frames - done);
            if (runs)
                renderOutput(m, sound, n);
            else
                std::fill(sound, sound + 2 * n, 0.0f);
            int16_t* target = out + 2 * static_cast<std::ptrdiff_t>(done);
            for (int i = 0; i < 2 * n; ++i) target[i] = toPcm16(sound[i]);
            done += n;
        }
        if (runs) {
            // What was pulled is heard: the position is that after the last frame.
            for (SoundChannel& c : m.channels)
                if (c.handle != 0 && c.playing) addMark(c, m.renderedFrames, channelRenderPosition(c));
            eventCount = collectHeardEnds(m, m.renderedFrames, events);
        }
    }
    fireEndEvents(events, eventCount);
}

uint32_t soundStreamOpenFile(const char* path) { return openChannel(path, false); }

uint32_t soundModuleOpenFile(const char* path) { return openChannel(path, true); }

uint32_t soundSetEndSync(uint32_t channel, SoundEndCallback callback, uint32_t data) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    SoundChannel* c = findChannel(m, channel);
    if (!c) return failHandle(m, kSoundErrorHandle);
    c->onEnd = callback;
    c->endData = data;
    c->syncHandle = c->handle;  // one end sync per channel
    return c->syncHandle;
}

bool soundStart() {
    Mixer& m = mixer();
    std::unique_lock<std::mutex> lock(m.mutex);
    if (!m.initialised) return fail(m, kSoundErrorInit);
    if (m.started) return true;
    m.started = true;
    if (m.pulled) return true;  // the output moves as soundPull asks
    if (m.silent) {
        m.silentTimerRuns.store(true);
        lock.unlock();
        m.silentTimer = std::thread(silentTimerLoop);
        return true;
    }
    m.lastCallback = Clock::now();
    lock.unlock();
    SDL_PauseAudioDevice(m.device, 0);
    return true;
}

bool soundPlay(uint32_t channel) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    SoundChannel* c = findChannel(m, channel);
    if (!c) return fail(m, kSoundErrorHandle);
    c->playing = true;
    return true;
}

uint32_t soundPosition(uint32_t channel) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    SoundChannel* c = findChannel(m, channel);
    if (!c) return failHandle(m, kSoundErrorHandle);
    return markedPosition(*c, heardFrame(m));
}

bool soundSetPosition(uint32_t channel, uint32_t position) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    SoundChannel* c = findChannel(m, channel);
    if (!c) return fail(m, kSoundErrorHandle);
    channelSeek(*c, position);
    // The new position counts from the frame heard now: what is still queued
    // is not reported, and no end from before the jump is reported either.
    clearMarks(*c);
    addMark(*c, heardFrame(m), channelRenderPosition(*c));
    c->pendingEndCount = 0;
    return true;
}

void soundSetGlobalVolumes(int music, int sample, int stream) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    m.slideLeft_frames = 0;
    m.volumes[kMusicVolume] = static_cast<float>(clampInt(music, 0, 100));
    m.volumes[kSampleVolume] = static_cast<float>(clampInt(sample, 0, 100));
    m.volumes[kStreamVolume] = static_cast<float>(clampInt(stream, 0, 100));
}

void soundGetGlobalVolumes(int* music, int* sample, int* stream) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    if (music) *music = static_cast<int>(m.volumes[kMusicVolume] + 0.5f);
    if (sample) *sample = static_cast<int>(m.volumes[kSampleVolume] + 0.5f);
    if (stream) *stream = static_cast<int>(m.volumes[kStreamVolume] + 0.5f);
}

bool soundSetAttributes(uint32_t channel, int rate_hz, int volume, int pan) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    SoundChannel* c = findChannel(m, channel);
    if (!c) return fail(m, kSoundErrorHandle);
    if (rate_hz > 0) channelSetRate(*c, clampInt(rate_hz, 100, 8 * m.rate_hz), m.rate_hz);
    if (volume != -1) c->volume = clampInt(volume, 0, 100);
    if (pan != -101) c->pan = clampInt(pan, -100, 100);
    return true;
}

bool soundGetAttributes(uint32_t channel, int* rate_hz, int* volume, int* pan) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    SoundChannel* c = findChannel(m, channel);
    if (!c) return fail(m, kSoundErrorHandle);
    if (rate_hz) *rate_hz = c->rate_hz;
    if (volume) *volume = c->volume;
    if (pan) *pan = c->pan;
    return true;
}

void soundSlideVolumes(int music, int sample, int stream) {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    const float targets[kVolumeKinds] = {static_cast<float>(clampInt(music, 0, 100)),
                                         static_cast<float>(clampInt(sample, 0, 100)),
                                         static_cast<float>(clampInt(stream, 0, 100))};
    const bool outputRuns = m.initialised && m.started && !m.paused;
    for (int k = 0; k < kVolumeKinds; ++k) {
        m.slideFrom[k] = m.volumes[k];
        m.slideTo[k] = targets[k];
        if (!outputRuns) m.volumes[k] = targets[k];
    }
    m.slideTotal_frames = static_cast<int64_t>(m.rate_hz) * kSoundSlide_ms / 1000;
    m.slideLeft_frames = outputRuns ? m.slideTotal_frames : 0;
}

bool soundIsSliding() {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    return m.slideLeft_frames > 0;
}

void soundFree() {
    Mixer& m = mixer();
    stopOutput(m);
    std::lock_guard<std::mutex> lock(m.mutex);
    for (SoundChannel& c : m.channels) closeChannel(c);
    m.initialised = false;
    m.started = false;
    m.silent = false;
    m.paused = false;
    m.slideLeft_frames = 0;
}

void soundPause(bool paused) {
    Mixer& m = mixer();
    std::unique_lock<std::mutex> lock(m.mutex);
    if (paused == m.paused) return;
    if (paused) {
        m.pausedHeardFrame = heardFrame(m);
        m.paused = true;
    } else {
        m.paused = false;
        // The device estimate goes on from the frame heard at the pause: as
        // if the device's last request had come that many frames ago.
        const int64_t behind = static_cast<int64_t>(m.pausedHeardFrame) -
                               (static_cast<int64_t>(m.renderedFrames) - 2 * m.deviceBuffer_frames);
        const int64_t played = std::clamp<int64_t>(behind, 0, m.deviceBuffer_frames);
        m.lastCallback =
            Clock::now() - std::chrono::duration_cast<Clock::duration>(
                               std::chrono::duration<double>(static_cast<double>(played) / m.rate_hz));
    }
    if (!m.initialised || !m.started || m.pulled) return;
    if (m.silent) {
        // The timer consumes sound in real time from its own start: it stops
        // for the pause and starts afresh after it.
        if (paused) {
            m.silentTimerRuns.store(false);
            lock.unlock();
            if (m.silentTimer.joinable()) m.silentTimer.join();
        } else {
            m.silentTimerRuns.store(true);
            lock.unlock();
            m.silentTimer = std::thread(silentTimerLoop);
        }
        return;
    }
    const SDL_AudioDeviceID device = m.device;
    lock.unlock();
    SDL_PauseAudioDevice(device, paused ? 1 : 0);
}

bool soundIsPaused() {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    return m.paused;
}
