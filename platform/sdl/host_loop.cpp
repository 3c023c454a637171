// A native host runs the frames one after the other, as fast as they come.
#include "platform/host_loop.h"

void hostRunFrames(FrameStep step) {
    while (step()) {
    }
}
