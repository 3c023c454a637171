// Mesh and keyframe scene files written by hand in their little-endian
// layouts for the 3D tests and fuzz harnesses, and a World on a cache that
// holds only what a test files into it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "resources/resource_cache.h"
#include "scene3d/kf_scene.h"
#include "scene3d/mesh.h"
#include "scene3d/world.h"
#include "platform/bit_cast.h"

namespace scenefiles {

// Little-endian appends.
struct FileBytes {
    std::vector<uint8_t> bytes;
    void u16(uint32_t v) { bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8)}); }
    void u32(uint32_t v) {
        bytes.insert(bytes.end(), {uint8_t(v), uint8_t(v >> 8), uint8_t(v >> 16), uint8_t(v >> 24)});
    }
    void f32(float v) { u32(bitCast<uint32_t>(v)); }
    void text(const std::string& s, size_t size) {
        bytes.insert(bytes.end(), s.begin(), s.end());
        bytes.resize(bytes.size() + size - s.size(), 0);  // a longer text fills its field without an end
    }
};

inline void put32(std::vector<uint8_t>& bytes, size_t at, uint32_t value) {
    for (size_t i = 0; i < 4; ++i) bytes[at + i] = static_cast<uint8_t>(value >> (8 * i));
}

struct MaterialRecord {
    uint32_t flags;
    uint32_t colour;
    std::string textureName;
};

inline std::vector<uint8_t> meshBytes(const std::vector<WorldVertex>& vertices,
                                      const std::vector<Face>& faces,
                                      const std::vector<MaterialRecord>& materials) {
    FileBytes out;
    out.u16(static_cast<uint32_t>(vertices.size()));
    for (const WorldVertex& v : vertices)
        for (float value : {v.x, v.y, v.z, v.u, v.v}) out.f32(value);
    out.u16(static_cast<uint32_t>(faces.size()));
    for (const Face& f : faces)
        for (int16_t value : {f.a, f.b, f.c, f.material}) out.u16(static_cast<uint16_t>(value));
    out.u16(static_cast<uint32_t>(materials.size()));
    for (const MaterialRecord& m : materials) {
        out.u32(m.flags);
        out.u32(m.colour);
        out.text("", 8);
        out.text(m.textureName.substr(0, 48), 48);
    }
    return out.bytes;
}

// One triangle (1, 0, 0), (0, 1, 0), (0, 0, 1) with texture coordinates
// (1, 0), (0, 1), (0, 0) and one material of colour 0xFF8040.
inline std::vector<uint8_t> triangleMesh(uint32_t flags = 0, const std::string& texture = "") {
    return meshBytes({{1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}, {0, 0, 1, 0, 0}}, {{0, 1, 2, 0}},
                     {{flags, 0xFF8040, texture}});
}

// Header, nodes, keys. Every node's run-time fields hold 0x7F7F7F7F, which
// the loader must ignore.
inline std::vector<uint8_t> sceneFile(uint32_t ambient, const std::vector<KfNode>& nodes,
                                      const std::vector<KfKey>& keys) {
    FileBytes out;
    for (uint32_t word : {static_cast<uint32_t>(nodes.size()), 0u, ambient}) out.u32(word);
    for (const KfNode& n : nodes) {
        for (int32_t word : {n.type, 0, n.keyCount, n.firstKey, 0x7F7F7F7F, n.parent, 0x7F7F7F7F})
            out.u32(static_cast<uint32_t>(word));
        out.u32(n.lightColour);
        for (float value : {n.pivotX, n.pivotY, n.pivotZ, n.lightIntensity, n.lightRange, n.cameraZoom})
            out.f32(value);
        out.text(n.meshName, kKfMeshNameBytes);
    }
    for (const KfKey& k : keys) {
        out.u32(static_cast<uint32_t>(k.interp));
        out.u32(static_cast<uint32_t>(k.frame));
        for (float KfKey::*value : kKfKeyValues) out.f32(k.*value);
    }
    return out.bytes;
}

inline KfNode node(int32_t type, int32_t firstKey, int32_t keyCount, int32_t parent = 0) {
    KfNode n;
    n.type = type;
    n.firstKey = firstKey;
    n.keyCount = keyCount;
    n.parent = parent;
    return n;
}
inline KfNode meshNode(const std::string& meshName, int32_t firstKey, int32_t keyCount, int32_t parent = 0) {
    KfNode n = node(kKfMesh, firstKey, keyCount, parent);
    n.meshName = meshName;
    return n;
}
inline KfNode emitterNode(float poolSeconds, int32_t firstKey, int32_t keyCount) {
    KfNode n = node(kKfEmitter, firstKey, keyCount);
    n.pivotX = poolSeconds;
    return n;
}

// A key with position, angles (yaw, pitch, roll) and scale.
inline KfKey key(int32_t frame, int32_t interp, float x, float y, float z, float rotY = 0, float rotX = 0,
                 float rotZ = 0, float sx = 1, float sy = 1, float sz = 1) {
    return KfKey{interp, frame, x, y, z, rotY, rotX, rotZ, sx, sy, sz};
}

// A cache with no pack (unfiled names are not found) and a World on it.
struct TestWorld {
    ResourceCache cache{"/nonexistent/zedariva-test.fil"};
    World world;

    explicit TestWorld(int width = 512, int height = 256) : world(&cache, width, height, width) {}

    void fileBytes(const std::string& name, std::vector<uint8_t> bytes) {
        auto resource = std::make_shared<Resource>();
        resource->bytes = std::move(bytes);
        cache.put(name, std::move(resource));
    }
    void fileImage(const std::string& name, Image image) {
        auto resource = std::make_shared<Resource>();
        resource->image = std::make_shared<Image>(std::move(image));
        cache.put(name, std::move(resource));
    }
};

}  // namespace scenefiles
