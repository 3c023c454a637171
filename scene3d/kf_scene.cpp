// Reading and checking keyframe scene files, and preparing them in the World:
// meshes fetched and shared by name, textures attached, particle pools made.
#include "scene3d/kf_scene.h"

#include <cmath>
#include <cstring>
#include <memory>

#include "resources/byte_fields.h"
#include "resources/load_error.h"
#include "resources/resource_cache.h"
#include "resources/upper_case.h"
#include "scene3d/mesh.h"
#include "scene3d/world.h"
#include "platform/bit_cast.h"

namespace {

float floatAt(const uint8_t* bytes) { return bitCast<float>(wordAt(bytes)); }
int32_t intAt(const uint8_t* bytes) { return static_cast<int32_t>(wordAt(bytes)); }

LoadError nodeError(const std::string& name, size_t node, const std::string& problem) {
    return LoadError(name + ": node " + std::to_string(node + 1) + " " + problem);
}

KfNode readNode(const uint8_t* record) {
    KfNode node;
    node.type = intAt(record);
    node.keyCount = intAt(record + 8);
    node.firstKey = intAt(record + 12);
    node.parent = intAt(record + 20);
    node.lightColour = wordAt(record + 28);
    node.pivotX = floatAt(record + 32);
    node.pivotY = floatAt(record + 36);
    node.pivotZ = floatAt(record + 40);
    node.lightIntensity = floatAt(record + 44);
    node.lightRange = floatAt(record + 48);
    node.cameraZoom = floatAt(record + 52);
    return node;
}

KfKey readKey(const uint8_t* record) {
    KfKey key;
    key.interp = intAt(record);
    key.frame = intAt(record + 4);
    for (size_t v = 0; v < 9; ++v) key.*kKfKeyValues[v] = floatAt(record + 8 + 4 * v);
    return key;
}

// Every node reaches a root by its parents. Each node is walked at most once
// (state 2 = known to reach a root), so a long chain costs linear time.
void checkParentChains(const KfScene& scene) {
    std::vector<uint8_t> state(scene.nodes.size(), 0);  // 0 new, 1 on the current walk, 2 done
    for (size_t start = 0; start < scene.nodes.size(); ++start) {
        size_t at = start;
        while (state[at] == 0) {
            state[at] = 1;
            const int32_t parent = scene.nodes[at].parent;
            if (parent == 0) break;
            at = static_cast<size_t>(parent - 1);
        }
        if (state[at] == 1 && scene.nodes[at].parent != 0)
            throw nodeError(scene.name, at, "is its own ancestor: its parent chain loops");
        for (at = start; state[at] == 1; at = static_cast<size_t>(scene.nodes[at].parent - 1)) {
            state[at] = 2;
            if (scene.nodes[at].parent == 0) break;
        }
    }
}

}  // namespace

void restartEmitter(KfNode& emitter) {
    emitter.pool.assign(static_cast<size_t>(poolSlotsFor(emitter.poolSeconds())), Particle{});
    emitter.ringPos = 0;
    emitter.lastEmit = 0.0f;
    emitter.lastUpdate = 0.0f;
}

int64_t poolSlotsFor(float poolSeconds) {
    const float length = std::fabs(std::floor(poolSeconds * 1000.0f));
    if (!(length < static_cast<float>(kMaxPoolSlots))) return kMaxPoolSlots + 1;
    return static_cast<int64_t>(length) + 1;
}

KfScene readKfScene(std::span<const uint8_t> bytes, const std::string& name) {
    const std::string size = std::to_string(bytes.size()) + " bytes";
    if (bytes.size() < kKfHeaderBytes)
        throw LoadError(name + ": scene file of " + size + " is shorter than its 12-byte header");
    const int32_t nodeCount = intAt(bytes.data());
    if (nodeCount < 0) throw LoadError(name + ": node count " + std::to_string(nodeCount) + " is negative");
    const uint64_t keysAt = kKfHeaderBytes + kKfNodeBytes * static_cast<uint64_t>(nodeCount);
    if (bytes.size() < keysAt)
        throw LoadError(name + ": scene file of " + size + " is too short for its " +
                        std::to_string(nodeCount) + " nodes");

    KfScene scene;
    scene.name = name;
    scene.ambient = wordAt(bytes.data() + 8);
    const size_t keyCount = (bytes.size() - keysAt) / kKfKeyBytes;
    scene.keys.resize(keyCount);
    for (size_t k = 0; k < keyCount; ++k) scene.keys[k] = readKey(bytes.data() + keysAt + kKfKeyBytes * k);

    scene.nodes.resize(static_cast<size_t>(nodeCount));
    int64_t scenePoolSlots = 0;
    for (size_t i = 0; i < scene.nodes.size(); ++i) {
        const uint8_t* record = bytes.data() + kKfHeaderBytes + kKfNodeBytes * i;
        KfNode& node = scene.nodes[i] = readNode(record);
        if (node.keyCount < 1) throw nodeError(name, i, "has " + std::to_string(node.keyCount) + " keys");
        const int64_t lastKey = int64_t{node.firstKey} + node.keyCount;
        if (node.firstKey < 0 || lastKey > static_cast<int64_t>(keyCount))
            throw nodeError(name, i,
                            "names keys " + std::to_string(node.firstKey) + " to " +
                                std::to_string(lastKey - 1) + " but the file holds " +
                                std::to_string(keyCount) + " keys");
        if (node.parent < 0 || node.parent > nodeCount)
            throw nodeError(name, i,
                            "names parent " + std::to_string(node.parent) + " of " +
                                std::to_string(nodeCount) + " nodes");
        if (node.type == kKfMesh) {
            const uint8_t* meshName = record + 56;
            if (std::memchr(meshName, 0, kKfMeshNameBytes) == nullptr)
                throw nodeError(name, i, "mesh name does not end within its 100 bytes");
            node.meshName = reinterpret_cast<const char*>(meshName);
        }
        if (node.type == kKfEmitter) {
            if (!std::isfinite(node.poolSeconds()))
                throw nodeError(name, i, "particle pool length is not a finite number");
            const int64_t slots = poolSlotsFor(node.poolSeconds());
            if (slots > kMaxPoolSlots)
                throw nodeError(name, i,
                                "particle pool of " + std::to_string(node.poolSeconds()) +
                                    " seconds holds more than " + std::to_string(kMaxPoolSlots) +
                                    " particles");
            scenePoolSlots += slots;
            if (scenePoolSlots > kMaxScenePoolSlots)
                throw LoadError(name + ": particle pools hold more than " +
                                std::to_string(kMaxScenePoolSlots) + " particles in all");
        }
    }
    checkParentChains(scene);
    return scene;
}

KfScene& World::loadScene(const std::string& name) {
    const std::string key = upperCase(name);
    auto found = scenes_.find(key);
    if (found != scenes_.end()) return *found->second;

    auto scene = std::make_unique<KfScene>(readKfScene(resources->getBytes(name), name));
    for (KfNode& node : scene->nodes) {
        if (node.type == kKfMesh) {
            Mesh& nodeMesh = mesh(node.meshName);
            node.mesh = &nodeMesh;
            loadMeshTextures(nodeMesh);
        } else if (node.type == kKfEmitter) {
            restartEmitter(node);
        }
    }
    return *scenes_.emplace(key, std::move(scene)).first->second;
}
