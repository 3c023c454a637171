// A loaded scene posed at the times the input gives: its first byte says how
// many (1 to 16), the float bit patterns after it are the times (far ones,
// negative ones, NaN, infinities, times going backward), the rest is the
// scene file. Each pose stays within the World's lists and every emitter
// within its pool, and renders.
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/world_checks.h"

namespace {

// Pools above this many particles in all are legal but slow to make and run.
constexpr int64_t kMaxPoolSlotsToPose = 1 << 16;
constexpr int kWidth = 64, kHeight = 32;
constexpr int kMaxTimes = 16;

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const int times = 1 + data[0] % kMaxTimes;
    const size_t sceneAt = 1 + 4 * static_cast<size_t>(times);
    if (size < sceneAt) return 0;
    KfScene read;
    try {
        read = readKfScene({data + sceneAt, size - sceneAt}, "fuzz.kf");
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
        return 0;
    }
    int64_t slots = 0;
    for (const KfNode& node : read.nodes)
        if (node.type == kKfEmitter) slots += poolSlotsFor(node.poolSeconds());
    if (slots > kMaxPoolSlotsToPose) return 0;

    scenefiles::TestWorld t(kWidth, kHeight);
    World& world = t.world;
    std::vector<uint32_t> frame(kWidth * kHeight);
    try {
        KfScene& scene = fuzz::prepareScene(t, read, data + sceneAt, size - sceneAt);
        for (int k = 0; k < times; ++k) {
            const float time = bitCast<float>(wordAt(data + 1 + 4 * static_cast<size_t>(k)));
            fuzz::poseAndRender(world, scene, time, frame.data());
        }
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
    }
    return 0;
}
