// Bounded readers of the mesh and keyframe scene bytes that the content
// generator writes, for the content tests (the 3D loader is separate code).
#pragma once

#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>
#include "platform/bit_cast.h"

struct ByteCursor {
    const std::vector<uint8_t>& bytes;
    size_t at = 0;

    void need(size_t count) const {
        if (at + count > bytes.size()) throw std::runtime_error("read past the end at " + std::to_string(at));
    }
    uint32_t u32() {
        need(4);
        uint32_t v = 0;
        for (int i = 3; i >= 0; --i) v = (v << 8) | bytes[at + static_cast<size_t>(i)];
        at += 4;
        return v;
    }
    uint16_t u16() {
        need(2);
        const uint16_t v = static_cast<uint16_t>(bytes[at] | (bytes[at + 1] << 8));
        at += 2;
        return v;
    }
    int16_t i16() { return static_cast<int16_t>(u16()); }
    int32_t i32() { return static_cast<int32_t>(u32()); }
    float f32() { return bitCast<float>(u32()); }
    std::string text(size_t size) {
        need(size);
        const char* start = reinterpret_cast<const char*>(bytes.data() + at);
        at += size;
        return std::string(start, strnlen(start, size));
    }
};

struct ReadVertex {
    float x, y, z, u, v;
};
struct ReadFace {
    int16_t a, b, c, material;
};
struct ReadMaterial {
    uint32_t flags, colour;
    std::string textureName;
};
struct ReadMesh {
    std::vector<ReadVertex> vertices;
    std::vector<ReadFace> faces;
    std::vector<ReadMaterial> materials;
};

inline ReadMesh readMesh(const std::vector<uint8_t>& bytes) {
    ByteCursor in{bytes};
    ReadMesh mesh;
    mesh.vertices.resize(in.u16());
    for (ReadVertex& v : mesh.vertices) v = {in.f32(), in.f32(), in.f32(), in.f32(), in.f32()};
    mesh.faces.resize(in.u16());
    for (ReadFace& f : mesh.faces) f = {in.i16(), in.i16(), in.i16(), in.i16()};
    mesh.materials.resize(in.u16());
    for (ReadMaterial& m : mesh.materials) {
        m.flags = in.u32();
        m.colour = in.u32();
        in.u32();  // texture slot
        in.u32();  // reserved
        m.textureName = in.text(48);
    }
    if (in.at != bytes.size()) throw std::runtime_error("bytes left after the materials");
    return mesh;
}

struct ReadKey {
    int32_t interp, frame;
    float x, y, z, rotY, rotX, rotZ, scaleX, scaleY, scaleZ;
};
struct ReadNode {
    int32_t type, keyCount, firstKey, parent;
    uint32_t lightColour;
    float pivotX, pivotY, pivotZ, lightIntensity, lightRange, cameraZoom;
    std::string meshName;
};
struct ReadScene {
    uint32_t ambient = 0;
    std::vector<ReadNode> nodes;
    std::vector<ReadKey> keys;
};

inline ReadScene readScene(const std::vector<uint8_t>& bytes) {
    ByteCursor in{bytes};
    ReadScene scene;
    const int32_t nodeCount = in.i32();
    if (nodeCount < 0 || nodeCount > 10000) throw std::runtime_error("bad node count");
    in.u32();
    scene.ambient = in.u32();
    scene.nodes.resize(static_cast<size_t>(nodeCount));
    for (ReadNode& n : scene.nodes) {
        n.type = in.i32();
        in.u32();
        n.keyCount = in.i32();
        n.firstKey = in.i32();
        in.i32();  // ringPos
        n.parent = in.i32();
        in.u32();  // run-time slot
        n.lightColour = in.u32();
        n.pivotX = in.f32();
        n.pivotY = in.f32();
        n.pivotZ = in.f32();
        n.lightIntensity = in.f32();
        n.lightRange = in.f32();
        n.cameraZoom = in.f32();
        n.meshName = in.text(100);
    }
    if ((bytes.size() - in.at) % 44 != 0) throw std::runtime_error("key array is not a whole number of keys");
    scene.keys.resize((bytes.size() - in.at) / 44);
    for (ReadKey& k : scene.keys) {
        k.interp = in.i32();
        k.frame = in.i32();
        k.x = in.f32();
        k.y = in.f32();
        k.z = in.f32();
        k.rotY = in.f32();
        k.rotX = in.f32();
        k.rotZ = in.f32();
        k.scaleX = in.f32();
        k.scaleY = in.f32();
        k.scaleZ = in.f32();
    }
    return scene;
}
