// A native host runs the frames one after the other, as fast as they come.
#include "platform/host_loop.h"

#include <chrono>
#include <thread>

void hostRunFrames(FrameStep step) {
    while (step()) {
    }
}

void hostRunBatch(FrameStep step) { hostRunFrames(step); }

void hostSleep(int milliseconds) { std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds)); }
