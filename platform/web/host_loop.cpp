// A browser host: the frames run from the browser's own loop, and when the
// last one is done the page hears of it (Module.onFramesDone).
#include "platform/host_loop.h"

#include <emscripten.h>

#include <chrono>

#include "platform/web/web_sound.h"

namespace {

constexpr double kBatchSlice_ms = 12.0;

FrameStep running = nullptr;
bool batch = false;

// clang-format off
EM_JS(void, zd_frames_done, (), { if (Module.onFramesDone) Module.onFramesDone(); });
// clang-format on

void finish() {
    emscripten_cancel_main_loop();
    running = nullptr;
    zd_frames_done();
}

void runOne() {
    if (!batch) {
        if (!running()) finish();
        return;
    }
    const auto start = std::chrono::steady_clock::now();
    do {
        if (!running()) return finish();
    } while (std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count() <
             kBatchSlice_ms);
}

void start(FrameStep step, bool asBatch) {
    running = step;
    batch = asBatch;
    emscripten_set_main_loop(runOne, 0, 0);
}

}  // namespace

void hostRunFrames(FrameStep step) { start(step, false); }

void hostRunBatch(FrameStep step) { start(step, true); }

void hostSleep(int milliseconds) { webSoundAhead(milliseconds); }
