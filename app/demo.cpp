// The process-wide state of the presentation.
#include "app/demo.h"

#include <cstddef>
#include <vector>

#include "app/startup.h"

int running = 1;
uint32_t* workBuffer = nullptr;
ResourceCache* resources = nullptr;
World* world = nullptr;

namespace {
std::vector<uint32_t> workBufferStorage;
}

void allocateWorkBuffer() {
    // Every scene writes it before reading it in a frame; the zero fill is free.
    workBufferStorage.resize(static_cast<std::size_t>(kTargetPixels));
    workBuffer = workBufferStorage.data();
}
