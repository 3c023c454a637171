// Keyframe scene files: the input is one scene file. A scene that reads
// holds what the bytes say (every node's keys and parent inside the scene);
// prepared in a World, with a one-triangle mesh filed under every mesh name,
// it is posed at a few times and rendered, and every pose stays within the
// World's lists and every emitter within its pool.
#include <bit>
#include <memory>

#include "resources/resource_cache.h"
#include "scene3d/kf_scene.h"
#include "scene3d/world.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/world_checks.h"

namespace {

// Pools above this many particles in all are legal but slow to make and run.
constexpr int64_t kMaxPoolSlotsToPose = 1 << 16;
constexpr int kWidth = 64, kHeight = 32;

// One triangle (1,0,0), (0,1,0), (0,0,1) with one flat grey material.
std::vector<uint8_t> triangleMesh() {
    std::vector<uint8_t> bytes;
    auto put16 = [&](uint16_t v) { bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8)}); };
    auto putFloat = [&](float f) {
        const uint32_t v = std::bit_cast<uint32_t>(f);
        bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    };
    put16(3);
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < 5; ++k) putFloat(k == i ? 1.0f : 0.0f);
    put16(1);
    for (uint16_t index : {0, 1, 2, 0}) put16(index);
    put16(1);
    std::vector<uint8_t> material(64, 0);
    material[4] = material[5] = material[6] = 0x80;  // colour 0x808080, not textured
    bytes.insert(bytes.end(), material.begin(), material.end());
    return bytes;
}

void file(ResourceCache& cache, const std::string& name, std::vector<uint8_t> bytes) {
    auto resource = std::make_shared<Resource>();
    resource->bytes = std::move(bytes);
    cache.put(name, std::move(resource));
}

void checkReadsAsStored(const KfScene& scene, std::span<const uint8_t> bytes) {
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
}

int64_t poolSlotsOf(const KfScene& scene) {
    int64_t slots = 0;
    for (const KfNode& node : scene.nodes)
        if (node.type == kKfEmitter) slots += poolSlotsFor(node.poolSeconds());
    return slots;
}

void checkEmitters(const KfScene& scene) {
    for (const KfNode& node : scene.nodes)
        if (node.type == kKfEmitter)
            fuzz::check(node.ringPos >= 0 && static_cast<size_t>(node.ringPos) < node.pool.size(),
                        "an emitter's next slot lies in its pool");
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
    checkReadsAsStored(read, bytes);
    if (poolSlotsOf(read) > kMaxPoolSlotsToPose) return 0;

    // A cache without a pack, holding only what is filed here.
    ResourceCache cache("/nonexistent/zedariva-fuzz.fil");
    World world(&cache, kWidth, kHeight, kWidth);
    std::vector<uint32_t> frame(kWidth * kHeight);
    try {
        file(cache, "fuzz.kf", {data, data + size});
        for (const KfNode& node : read.nodes)
            if (node.type == kKfMesh && cache.find(node.meshName) < 0) file(cache, node.meshName, triangleMesh());
        KfScene& scene = world.loadScene("fuzz.kf");
        for (float t : {0.0f, 0.35f, 2.5f, 40.0f}) {
            world.clearScene();
            fuzz::check(world.drawScene(scene, t) == static_cast<int>(scene.nodes.size()), "every node is posed");
            fuzz::checkWorldLists(world);
            checkEmitters(scene);
            world.render(frame.data());
        }
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
    }
    return 0;
}
