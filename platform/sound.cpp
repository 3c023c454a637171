// The mixer behind platform/sound.h: channels rendered in small chunks under
// one mutex, for the host's output (sound_output.h: a device, or without one
// a consumer in real time) or for the caller's pulls of a capture. Positions
// are looked up for the frame being heard, not the frame being rendered.
#include "platform/sound.h"

#include "platform/sound_channel.h"
#include "platform/sound_output.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <mutex>

namespace {

constexpr int kMaxChannels = 4;
constexpr int kChunk_frames = 64;  // positions are recorded once per chunk (1.5 ms)

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
    bool outputOpen = false;  // the host's output (not when pulled)
    bool silent = false;      // the host's output has no device
    bool pulled = false;      // the caller pulls the output; kept across soundFree
    bool paused = false;
    uint64_t pausedHeardFrame = 0;  // the output frame heard when the pause began
    int rate_hz = kSoundOutputRate_hz;

    uint64_t renderedFrames = 0;  // output frames rendered since soundInit

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

// The output frame being heard now.
uint64_t heardFrame(const Mixer& m) {
    if (m.paused) return m.pausedHeardFrame;
    if (!m.outputOpen) return m.renderedFrames;
    return soundOutputHeardFrame(m.renderedFrames);
}

// Full scale is 32767 both ways, so that -1 and 1 stay symmetric.
int16_t toPcm16(float sample) {
    const float clamped = std::clamp(sample, -1.0f, 1.0f);
    return static_cast<int16_t>(std::lrint(clamped * 32767.0f));
}

void closeOutput(Mixer& m) {
    if (!m.outputOpen) return;
    soundOutputClose();
    m.outputOpen = false;
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
    m.outputOpen = !m.pulled;
    m.silent = !m.pulled && !soundOutputOpen(m.rate_hz);
    m.initialised = true;
    m.started = false;
    m.renderedFrames = 0;
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
        const bool runs = m.pulled && m.initialised && m.started && !m.paused && !m.outputOpen;
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
    if (!m.outputOpen) return true;  // pulled: the output moves as soundPull asks
    soundOutputContinueFrom(heardFrame(m), m.renderedFrames);
    const bool runs = !m.paused;
    lock.unlock();
    if (runs) soundOutputRun(true);
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

uint64_t soundHeardFrames() {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    return heardFrame(m);
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
    closeOutput(m);
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
        if (m.outputOpen) soundOutputContinueFrom(m.pausedHeardFrame, m.renderedFrames);
    }
    const bool outputRuns = m.initialised && m.started && m.outputOpen;
    lock.unlock();
    if (outputRuns) soundOutputRun(!paused);
}

bool soundIsPaused() {
    Mixer& m = mixer();
    std::lock_guard<std::mutex> lock(m.mutex);
    return m.paused;
}

void mixerPlay(float* out, int frames, void (*whileLocked)()) {
    Mixer& m = mixer();
    EndEvent events[kMaxEndEvents];
    int eventCount = 0;
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        // Report the ends that have been heard by now.
        eventCount = collectHeardEnds(m, heardFrame(m), events);
        renderOutput(m, out, frames);
        if (whileLocked) whileLocked();
    }
    fireEndEvents(events, eventCount);
}

int mixerDiscard(int most) {
    Mixer& m = mixer();
    EndEvent events[kMaxEndEvents];
    int eventCount = 0;
    int rendered = 0;
    {
        std::lock_guard<std::mutex> lock(m.mutex);
        // Paused: nothing more is consumed, so the pause loses no sound.
        if (!m.paused && most > 0) {
            rendered = std::min(most, kSoundBuffer_frames);
            renderOutput(m, m.discard.data(), rendered);
        }
        eventCount = collectHeardEnds(m, m.renderedFrames, events);
    }
    fireEndEvents(events, eventCount);
    return rendered;
}
