// Test support for the scene functions, which draw into the process-wide frameBuffer
// and read assets: a noisy backdrop frame and a guard that puts both back. Used by the app scene tests.
#pragma once

#include <cstdint>
#include <vector>

#include "app/assets.h"
#include "display/display.h"
#include "fx2d/target.h"

// A 512 x 256 frame of varied colours (top byte 0), the same on every call.
inline std::vector<uint32_t> noiseFrame() {
    std::vector<uint32_t> frame(kTargetPixels);
    for (int i = 0; i < kTargetPixels; ++i) frame[i] = static_cast<uint32_t>(i * 2654435761u) & 0x00FFFFFFu;
    return frame;
}

// Points frameBuffer at `frame` and remembers the assets; on leaving the scope both
// are put back as they were found, however the test ends.
class SceneStateGuard {
public:
    explicit SceneStateGuard(std::vector<uint32_t>& frame) : savedFrame_(frameBuffer), savedAssets_(assets) {
        frameBuffer = frame.data();
    }
    ~SceneStateGuard() {
        frameBuffer = savedFrame_;
        assets = savedAssets_;
    }
    SceneStateGuard(const SceneStateGuard&) = delete;
    SceneStateGuard& operator=(const SceneStateGuard&) = delete;

private:
    uint32_t* savedFrame_;
    Assets savedAssets_;
};
