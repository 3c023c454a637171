// Web backend of the sound output: WebAudio through an AudioWorklet of our own
// (page/sound-worklet.js) fed by messages. The page makes the AudioContext at
// 44,100 Hz and the worklet node before main runs (Module.zdAudio). Here the
// main thread renders the music in blocks and posts them, keeping about
// 190 ms queued; the worklet plays them and reports how many frames it has
// played. A message-fed worklet needs no shared memory, so the page works on
// any static web server (shared memory needs cross-origin isolation headers);
// a ScriptProcessorNode would render on the main thread between frames and
// break up whenever a frame takes long.
#include "platform/sound_output.h"

#include <emscripten.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "platform/sound.h"
#include "platform/web/web_sound.h"

namespace {

constexpr int kBlock_frames = 1024;
constexpr uint64_t kAhead_frames = 8192;

struct Output {
    int rate_hz = kSoundOutputRate_hz;
    bool device = false;  // WebAudio; without it the sound is consumed in real time
    bool runs = false;
    uint64_t handed = 0;  // frames posted to the worklet since open
    std::vector<float> block = std::vector<float>(2 * kBlock_frames);
};

Output output;

// clang-format off
// 1: WebAudio at rate_hz is ready; 0: no WebAudio; -1: another rate.
EM_JS(int, zd_audio_open, (int rate), {
    const a = Module.zdAudio;
    if (!a || !a.context || !a.node) return 0;
    if (a.context.sampleRate !== rate) return -1;
    a.generation = (a.generation || 0) + 1;
    a.played = 0;
    a.playedAt = performance.now();
    a.running = false;
    a.node.port.onmessage = (e) => {
        if (e.data[0] !== a.generation) return;
        a.played = e.data[1];
        a.playedAt = performance.now();
    };
    a.node.port.postMessage({ generation: a.generation });
    return 1;
});

EM_JS(void, zd_audio_run, (int runs), {
    const a = Module.zdAudio;
    a.running = !!runs;
    a.playedAt = performance.now();
    if (runs) {
        a.context.resume().catch(() => {});
        if (!a.pump) a.pump = setInterval(() => Module._zd_sound_pump(), 10);
    } else {
        if (a.pump) clearInterval(a.pump);
        a.pump = null;
        a.context.suspend().catch(() => {});
    }
});

// The worklet keeps playing what it holds; nothing more is rendered.
EM_JS(void, zd_audio_stop_pump, (), {
    const a = Module.zdAudio;
    if (a && a.pump) clearInterval(a.pump);
    if (a) a.pump = null;
});

EM_JS(double, zd_audio_played, (), { return Module.zdAudio.played; });

// The frame heard now: what the worklet reported played, moved on by the
// time since, never past what it was handed, less the output's latency.
EM_JS(double, zd_audio_heard, (double handed), {
    const a = Module.zdAudio;
    const rate = a.context.sampleRate;
    let played = a.played;
    if (a.running && a.context.state === 'running') played += (performance.now() - a.playedAt) * rate / 1000;
    played = Math.min(played, handed);
    const latency = ((a.context.outputLatency || 0) + (a.context.baseLatency || 0)) * rate;
    return Math.max(0, Math.floor(played - latency));
});

EM_JS(void, zd_audio_continue, (), { Module.zdAudio.playedAt = performance.now(); });

EM_JS(void, zd_audio_post, (const float* samples, int frames), {
    const a = Module.zdAudio;
    const block = HEAPF32.slice(samples >> 2, (samples >> 2) + 2 * frames);
    a.node.port.postMessage({ generation: a.generation, samples: block }, [block.buffer]);
});

// Without WebAudio: the milliseconds since the silent output started running.
EM_JS(double, zd_silent_elapsed, (int restart), {
    if (restart || Module.zdSilentStart === undefined) Module.zdSilentStart = performance.now();
    return performance.now() - Module.zdSilentStart;
});

EM_JS(void, zd_silent_run, (int runs), {
    if (runs && !Module.zdSilentPump) Module.zdSilentPump = setInterval(() => Module._zd_sound_pump(), 10);
    if (!runs && Module.zdSilentPump) { clearInterval(Module.zdSilentPump); Module.zdSilentPump = null; }
});
// clang-format on

void postBlock(Output& o) {
    mixerPlay(o.block.data(), kBlock_frames, nullptr);
    zd_audio_post(o.block.data(), kBlock_frames);
    o.handed += kBlock_frames;
}

uint64_t silentConsumed = 0;  // frames the silent output has consumed since it started running

}  // namespace

// Called by the page's timer every 10 ms while the output runs.
extern "C" EMSCRIPTEN_KEEPALIVE void zd_sound_pump() {
    Output& o = output;
    if (!o.runs) return;
    if (!o.device) {
        const uint64_t target = static_cast<uint64_t>(zd_silent_elapsed(0) * o.rate_hz / 1000.0);
        while (silentConsumed < target) {
            const int rendered =
                mixerDiscard(static_cast<int>(std::min<uint64_t>(target - silentConsumed, kBlock_frames)));
            if (rendered == 0) break;
            silentConsumed += static_cast<uint64_t>(rendered);
        }
        return;
    }
    const uint64_t played = static_cast<uint64_t>(zd_audio_played());
    while (o.handed < played + kAhead_frames) postBlock(o);
}

void webSoundAhead(int milliseconds) {
    Output& o = output;
    if (milliseconds <= 0) return;
    const uint64_t frames = static_cast<uint64_t>(milliseconds) * static_cast<uint64_t>(o.rate_hz) / 1000;
    if (!o.device) {
        // Silent: the sound of that time is consumed at once, as the timer would.
        for (uint64_t done = 0; done < frames;) {
            const int rendered =
                mixerDiscard(static_cast<int>(std::min<uint64_t>(frames - done, kBlock_frames)));
            if (rendered == 0) break;
            done += static_cast<uint64_t>(rendered);
        }
        return;
    }
    const uint64_t target = o.handed + frames;
    while (o.handed < target) postBlock(o);
}

bool soundOutputOpen(int rate_hz) {
    Output& o = output;
    o.rate_hz = rate_hz;
    o.handed = 0;
    o.runs = false;
    const int opened = zd_audio_open(rate_hz);
    o.device = opened == 1;
    if (opened == 0) std::printf("sound: this browser offers no WebAudio, playback is silent\n");
    if (opened == -1)
        std::printf("sound: the page's audio does not run at %d Hz, playback is silent\n", rate_hz);
    return o.device;
}

void soundOutputRun(bool runs) {
    Output& o = output;
    o.runs = runs;
    if (o.device) {
        zd_audio_run(runs ? 1 : 0);
        if (runs) zd_sound_pump();
        return;
    }
    if (runs) {
        zd_silent_elapsed(1);
        silentConsumed = 0;
    }
    zd_silent_run(runs ? 1 : 0);
}

void soundOutputClose() {
    Output& o = output;
    o.runs = false;
    if (o.device)
        zd_audio_stop_pump();
    else
        zd_silent_run(0);
}

uint64_t soundOutputHeardFrame(uint64_t renderedFrames) {
    if (!output.device) return renderedFrames;
    return static_cast<uint64_t>(zd_audio_heard(static_cast<double>(renderedFrames)));
}

void soundOutputContinueFrom(uint64_t, uint64_t) {
    if (output.device) zd_audio_continue();
}
