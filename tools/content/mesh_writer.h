// The mesh file writer: turns vertices, faces and materials into the byte image
// that the renderer reads as a Mesh. Used by the content generator's meshes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// Material flag bits; flags & 7 selects the span mode.
constexpr uint32_t kMaterialTextured = 1;
constexpr uint32_t kMaterialGouraud = 2;
constexpr uint32_t kMaterialTranslucent = 4;
constexpr uint32_t kMaterialEnvMapped = 0x80000000u;

constexpr size_t kMeshVertexBytes = 20;
constexpr size_t kMeshFaceBytes = 8;
constexpr size_t kMaterialBytes = 64;
constexpr size_t kTextureNameBytes = 48;  // zero-terminated, so at most 47 characters

struct MeshVertex {
    float x = 0, y = 0, z = 0;
    float u = 0, v = 0;  // 1.0 spans the texture once
};

// Vertex indices in counter-clockwise order seen from outside the surface:
// (b - a) x (c - a) points outwards.
struct MeshFace {
    int16_t a = 0, b = 0, c = 0;
    int16_t material = 0;
};

struct MeshMaterial {
    uint32_t flags = 0;
    uint32_t colour = 0;      // 0x00RRGGBB
    std::string textureName;  // only for textured materials
};

struct MeshData {
    std::vector<MeshVertex> vertices;
    std::vector<MeshFace> faces;
    std::vector<MeshMaterial> materials;
};

// The mesh's file bytes. Throws std::runtime_error when a count does not fit
// in 16 bits, an index is out of range or a texture name is too long.
std::vector<uint8_t> writeMesh(const MeshData& mesh);
