// A keyframe scene: nodes (meshes, lights, a camera, particle emitters) with
// runs of keys, read and checked from a ".kf" file. World::loadScene prepares
// it once at start-up; World::drawScene poses it every frame.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

struct Mesh;

// File layout, little-endian: nodeCount (32 bits), 4 unread bytes, ambient
// 0x00RRGGBB, nodeCount x 156-byte nodes, then the 44-byte keys of all nodes.
constexpr size_t kKfHeaderBytes = 12;
constexpr size_t kKfNodeBytes = 156;
constexpr size_t kKfKeyBytes = 44;
constexpr size_t kKfMeshNameBytes = 100;

// Limits on what a scene file may ask for: one emitter's pool, and the pools
// of all emitters of one scene together (32 bytes a slot).
constexpr int64_t kMaxPoolSlots = 1000000;
constexpr int64_t kMaxScenePoolSlots = 4000000;

constexpr int32_t kKfMesh = 1;
constexpr int32_t kKfLight = 3;
constexpr int32_t kKfCamera = 4;
constexpr int32_t kKfEmitter = 5;  // every other type is posed as nothing

constexpr int32_t kKfLinear = 1;  // any other interp value is a spline

// A key, or a sample of a node's keys at some time. `frame` is in tenths of a
// second; `interp` says how the segment that ends at this key is interpolated.
// Emitters read rotY, rotX, rotZ as the particle colour, scaleX as velocity
// spread + 1, scaleY as size + 1 and scaleZ as particles per millisecond + 1.
struct KfKey {
    int32_t interp = kKfLinear;
    int32_t frame = 0;
    float x = 0.0f, y = 0.0f, z = 0.0f;
    float rotY = 0.0f, rotX = 0.0f, rotZ = 0.0f;  // degrees
    float scaleX = 1.0f, scaleY = 1.0f, scaleZ = 1.0f;
};

// The nine animated values in file order; emitters step the first eight.
inline constexpr float KfKey::*kKfKeyValues[9] = {&KfKey::x,      &KfKey::y,      &KfKey::z,
                                                  &KfKey::rotY,   &KfKey::rotX,   &KfKey::rotZ,
                                                  &KfKey::scaleX, &KfKey::scaleY, &KfKey::scaleZ};

// One particle of an emitter's pool; a slot whose size is 0 is empty.
struct Particle {
    float x, y, z;
    float vx, vy, vz;  // units per second
    float size;
    uint32_t colour;  // 0x00RRGGBB
};

struct KfNode {
    int32_t type = 0;
    int32_t keyCount = 0;
    int32_t firstKey = 0;
    int32_t parent = 0;  // 1-based index of the parent node, 0 = none
    uint32_t lightColour = 0;
    float pivotX = 0.0f, pivotY = 0.0f, pivotZ = 0.0f;  // an emitter's pivotX is its pool length in seconds
    float lightIntensity = 0.0f, lightRange = 0.0f;
    float cameraZoom = 0.0f;
    std::string meshName;

    // Run-time state, set by World::loadScene (the file's bytes for these
    // fields are not read): the mesh of a mesh node, and an emitter's pool,
    // next slot, and times of its last emission and last update.
    const Mesh* mesh = nullptr;
    std::vector<Particle> pool;
    int32_t ringPos = 0;
    float lastEmit = 0.0f;
    float lastUpdate = 0.0f;

    float poolSeconds() const { return pivotX; }
};

struct KfScene {
    std::string name;
    uint32_t ambient = 0;  // 0x00RRGGBB
    std::vector<KfNode> nodes;
    std::vector<KfKey> keys;  // every whole key the file holds

    std::span<const KfKey> keysOf(const KfNode& node) const {
        return std::span<const KfKey>(keys).subspan(static_cast<size_t>(node.firstKey),
                                                    static_cast<size_t>(node.keyCount));
    }
};

// An emitter as loading leaves it: an empty pool of its length, the ring at
// its first slot, no emission and no update yet.
void restartEmitter(KfNode& emitter);

// |floor(poolSeconds x 1000)| + 1, computed in single precision; a value
// beyond kMaxPoolSlots (or not a number) gives kMaxPoolSlots + 1.
int64_t poolSlotsFor(float poolSeconds);

// Reads and checks a scene file: the bytes hold the header, every node and
// every key a node names; every node has at least one key; parents lie in
// the scene and no parent chain loops; mesh names end within their field;
// pools are finite and within the limits above. No meshes are fetched and no
// pools made (World::loadScene does that). Throws LoadError "<name>: <problem>".
KfScene readKfScene(std::span<const uint8_t> bytes, const std::string& name);
