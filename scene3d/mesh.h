// A triangle mesh with its materials, read from the bytes of a mesh file
// (".edo" and the meshes named by keyframe scenes). Made by World::mesh, placed
// into frames by World::addMesh, deformed by MeshObject.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "scene3d/world.h"

// File layout, little-endian: V (16 bits), V x 20-byte vertices (x, y, z, u, v
// floats), F (16 bits), F x 8-byte faces (a, b, c, material: signed 16 bits),
// M (16 bits), M x 64-byte materials (flags, colour, 8 unread bytes, then a
// zero-terminated 48-byte texture name).
constexpr size_t kMeshVertexBytes = 20;
constexpr size_t kMeshFaceBytes = 8;
constexpr size_t kMeshMaterialBytes = 64;
constexpr size_t kMeshTextureNameBytes = 48;

// Total file size of a mesh of v vertices, f faces and m materials.
constexpr size_t meshFileBytes(size_t v, size_t f, size_t m) {
    return 6 + kMeshVertexBytes * v + kMeshFaceBytes * f + kMeshMaterialBytes * m;
}

struct Mesh {
    std::string name;
    std::vector<WorldVertex> vertices;  // mesh space
    std::vector<Face> faces;            // indices within this mesh
    std::vector<Material> materials;    // texture attached by World::loadMeshTextures
    std::vector<std::string> textureNames;  // one per material
};

// Reads and checks a mesh file: the bytes must hold every record the counts
// announce, every face's vertices and material must exist, and every textured
// material's name must end within its 48 bytes. Throws LoadError "<name>: <problem>".
Mesh readMesh(std::span<const uint8_t> bytes, const std::string& name);

// The mesh transform F: p' = T + Ry(ry) Rx(rx) Rz(rz) (S (p - P)), angles in
// degrees, every step in single precision.
struct MeshTransform {
    float cosZ, sinZ, cosX, sinX, cosY, sinY;
    float x, y, z;     // translation
    float sx, sy, sz;  // scale
    float px, py, pz;  // pivot

    MeshTransform(float rz, float rx, float ry, float x, float y, float z, float sx, float sy, float sz,
                  float px, float py, float pz);
    void apply(float& outX, float& outY, float& outZ, float inX, float inY, float inZ) const;
};
