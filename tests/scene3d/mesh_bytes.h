// Mesh files written by hand for the 3D tests: vertices, faces and materials
// in the file's little-endian layout.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "scene3d/mesh.h"

struct MeshMaterialSpec {
    uint32_t flags;
    uint32_t colour;
    std::string textureName;
};

inline void appendBytes(std::vector<uint8_t>& out, const void* data, size_t size) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    out.insert(out.end(), bytes, bytes + size);
}

inline std::vector<uint8_t> meshBytes(const std::vector<WorldVertex>& vertices, const std::vector<Face>& faces,
                                      const std::vector<MeshMaterialSpec>& materials) {
    std::vector<uint8_t> out;
    const uint16_t v = static_cast<uint16_t>(vertices.size());
    const uint16_t f = static_cast<uint16_t>(faces.size());
    const uint16_t m = static_cast<uint16_t>(materials.size());
    appendBytes(out, &v, 2);
    for (const WorldVertex& vertex : vertices) appendBytes(out, &vertex, 20);
    appendBytes(out, &f, 2);
    for (const Face& face : faces) appendBytes(out, &face, 8);
    appendBytes(out, &m, 2);
    for (const MeshMaterialSpec& material : materials) {
        uint8_t record[64] = {};
        std::memcpy(record, &material.flags, 4);
        std::memcpy(record + 4, &material.colour, 4);
        std::memcpy(record + 16, material.textureName.data(), std::min<size_t>(material.textureName.size(), 48));
        appendBytes(out, record, 64);
    }
    return out;
}

// One triangle (0, 0, 0), (1, 0, 0), (0, 1, 0) with one untextured material.
inline std::vector<uint8_t> triangleMeshBytes() {
    return meshBytes({{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}}, {{0, 1, 2, 0}}, {{0, 0xFF8040, ""}});
}
