// Keyframe scene files: the input is one scene file. A scene that reads
// holds what the bytes say (every node's keys and parent inside the scene);
// prepared in a World, with a one-triangle mesh filed under every mesh name,
// it is posed at a few times and rendered, and every pose stays within the
// World's lists and every emitter within its pool.
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/world_checks.h"

namespace {

// Pools above this many particles in all are legal but slow to make and run.
constexpr int64_t kMaxPoolSlotsToPose = 1 << 16;
constexpr int kWidth = 64, kHeight = 32;

// Returns the slots of all the scene's pools.
int64_t checkReadsAsStored(const KfScene& scene, std::span<const uint8_t> bytes) {
    fuzz::check(scene.nodes.size() == wordAt(bytes.data()), "the node count is the file's");
    int64_t poolSlots = 0;
    for (const KfNode& node : scene.nodes) {
        fuzz::check(node.keyCount >= 1 && node.firstKey >= 0 &&
                        int64_t{node.firstKey} + node.keyCount <= static_cast<int64_t>(scene.keys.size()),
                    "every node's keys lie in the file");
        fuzz::check(node.parent >= 0 && static_cast<size_t>(node.parent) <= scene.nodes.size(),
                    "every parent is a node of the scene");
        if (node.type == kKfEmitter) poolSlots += poolSlotsFor(node.poolSeconds());
    }
    fuzz::check(poolSlots <= kMaxScenePoolSlots, "the pools stay within the scene's limit");
    return poolSlots;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> bytes(data, size);
    KfScene read;
    try {
        read = readKfScene(bytes, "fuzz.kf");
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
        return 0;
    }
    if (checkReadsAsStored(read, bytes) > kMaxPoolSlotsToPose) return 0;

    scenefiles::TestWorld t(kWidth, kHeight);  // a cache without a pack, holding only what is filed here
    World& world = t.world;
    std::vector<uint32_t> frame(kWidth * kHeight);
    try {
        KfScene& scene = fuzz::prepareScene(t, read, data, size);
        for (float time : {0.0f, 0.35f, 2.5f, 40.0f}) {
            fuzz::poseAndRender(world, scene, time, frame.data());
        }
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
    }
    return 0;
}
