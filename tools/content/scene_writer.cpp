#include "tools/content/scene_writer.h"

#include <algorithm>
#include <stdexcept>

#include "tools/content/byte_writer.h"

namespace {

void putI32(std::vector<uint8_t>& out, int32_t value) { putU32(out, static_cast<uint32_t>(value)); }

void checkNode(const KfSceneData& scene, size_t index) {
    const KfNodeData& node = scene.nodes[index];
    const std::string where = "scene node " + std::to_string(index + 1) + ": ";
    if (node.keys.empty()) throw std::runtime_error(where + "has no keys");
    for (size_t k = 1; k < node.keys.size(); ++k) {
        if (node.keys[k].frame <= node.keys[k - 1].frame)
            throw std::runtime_error(where + "keys out of frame order");
    }
    if (node.meshName.size() >= kKfMeshNameBytes) throw std::runtime_error(where + "mesh name too long");
    // Follow the parents; more steps than there are nodes means a loop.
    int32_t parent = node.parent;
    for (size_t steps = 0; parent != 0; ++steps) {
        if (parent < 0 || parent > static_cast<int32_t>(scene.nodes.size())) {
            throw std::runtime_error(where + "parent outside the scene");
        }
        if (steps >= scene.nodes.size()) throw std::runtime_error(where + "parents form a loop");
        parent = scene.nodes[static_cast<size_t>(parent - 1)].parent;
    }
}

void putNode(std::vector<uint8_t>& out, const KfNodeData& node, int32_t firstKey) {
    const bool emitter = node.type == kNodeEmitter;
    putI32(out, node.type);
    putU32(out, 0);  // reserved
    putI32(out, static_cast<int32_t>(node.keys.size()));
    putI32(out, firstKey);
    putI32(out, 0);  // ringPos, run-time state
    putI32(out, node.parent);
    putU32(out, 0);  // attached mesh or pool, run-time slot
    putU32(out, node.lightColour);
    putFloat(out, emitter ? node.poolSeconds : node.pivotX);
    putFloat(out, emitter ? 0.0f : node.pivotY);  // emitters: lastEmit, run-time state
    putFloat(out, emitter ? 0.0f : node.pivotZ);  // emitters: lastUpdate, run-time state
    putFloat(out, node.lightIntensity);
    putFloat(out, node.lightRange);
    putFloat(out, node.cameraZoom);
    std::vector<uint8_t> name(kKfMeshNameBytes, 0);
    std::copy(node.meshName.begin(), node.meshName.end(), name.begin());
    out.insert(out.end(), name.begin(), name.end());
}

void putKey(std::vector<uint8_t>& out, const KfKeyData& key) {
    putI32(out, key.interp);
    putI32(out, key.frame);
    for (float value :
         {key.x, key.y, key.z, key.rotY, key.rotX, key.rotZ, key.scaleX, key.scaleY, key.scaleZ}) {
        putFloat(out, value);
    }
}

}  // namespace

std::vector<uint8_t> writeScene(const KfSceneData& scene) {
    size_t keyCount = 0;
    for (size_t i = 0; i < scene.nodes.size(); ++i) {
        checkNode(scene, i);
        keyCount += scene.nodes[i].keys.size();
    }
    std::vector<uint8_t> out;
    out.reserve(kKfHeaderBytes + kKfNodeBytes * scene.nodes.size() + kKfKeyBytes * keyCount);
    putI32(out, static_cast<int32_t>(scene.nodes.size()));
    putU32(out, 0);  // reserved
    putU32(out, scene.ambient);
    int32_t firstKey = 0;
    for (const KfNodeData& node : scene.nodes) {
        putNode(out, node, firstKey);
        firstKey += static_cast<int32_t>(node.keys.size());
    }
    for (const KfNodeData& node : scene.nodes) {
        for (const KfKeyData& key : node.keys) putKey(out, key);
    }
    return out;
}
