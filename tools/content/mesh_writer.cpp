#include "tools/content/mesh_writer.h"

#include <algorithm>
#include <stdexcept>

#include "tools/content/byte_writer.h"

namespace {

void checkCount(size_t count, const char* what) {
    if (count > 0xFFFF) throw std::runtime_error(std::string("mesh has too many ") + what);
}

void checkFace(const MeshFace& face, const MeshData& mesh) {
    const int vertexCount = static_cast<int>(mesh.vertices.size());
    for (int index : {face.a, face.b, face.c}) {
        if (index < 0 || index >= vertexCount) throw std::runtime_error("mesh face names a missing vertex");
    }
    if (face.material < 0 || face.material >= static_cast<int>(mesh.materials.size())) {
        throw std::runtime_error("mesh face names a missing material");
    }
}

}  // namespace

std::vector<uint8_t> writeMesh(const MeshData& mesh) {
    checkCount(mesh.vertices.size(), "vertices");
    checkCount(mesh.faces.size(), "faces");
    checkCount(mesh.materials.size(), "materials");

    std::vector<uint8_t> out;
    out.reserve(6 + kMeshVertexBytes * mesh.vertices.size() + kMeshFaceBytes * mesh.faces.size() +
                kMaterialBytes * mesh.materials.size());

    putU16(out, static_cast<uint32_t>(mesh.vertices.size()));
    for (const MeshVertex& v : mesh.vertices) {
        for (float value : {v.x, v.y, v.z, v.u, v.v}) putFloat(out, value);
    }

    putU16(out, static_cast<uint32_t>(mesh.faces.size()));
    for (const MeshFace& face : mesh.faces) {
        checkFace(face, mesh);
        for (int16_t value : {face.a, face.b, face.c, face.material})
            putU16(out, static_cast<uint16_t>(value));
    }

    putU16(out, static_cast<uint32_t>(mesh.materials.size()));
    for (const MeshMaterial& material : mesh.materials) {
        if (material.textureName.size() >= kTextureNameBytes) {
            throw std::runtime_error("texture name too long: " + material.textureName);
        }
        putU32(out, material.flags);
        putU32(out, material.colour);
        putU32(out, 0);  // texture slot, attached at load time
        putU32(out, 0);  // reserved
        std::vector<uint8_t> name(kTextureNameBytes, 0);
        std::copy(material.textureName.begin(), material.textureName.end(), name.begin());
        out.insert(out.end(), name.begin(), name.end());
    }
    return out;
}
