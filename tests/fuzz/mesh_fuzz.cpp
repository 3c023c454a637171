// Mesh files: the input is one mesh file. A mesh that reads holds what the
// bytes say (counts, vertex floats bit for bit, faces within the mesh, texture
// names), and placing it in a World and running the geometry stages keeps
// every face within the World's lists.

#include "platform/bit_cast.h"
#include "scene3d/mesh.h"
#include "scene3d/world.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/fuzz/world_checks.h"

namespace {

void checkReadsAsStored(const Mesh& mesh, std::span<const uint8_t> bytes) {
    const size_t v = halfAt(bytes.data());
    fuzz::check(mesh.vertices.size() == v, "the vertex count is the file's");
    for (size_t i = 0; i < v; ++i) {
        const uint8_t* record = bytes.data() + 2 + kMeshVertexBytes * i;
        const WorldVertex& vertex = mesh.vertices[i];
        const float stored[5] = {vertex.x, vertex.y, vertex.z, vertex.u, vertex.v};
        for (int k = 0; k < 5; ++k)
            fuzz::check(bitCast<uint32_t>(stored[k]) == wordAt(record + 4 * k), "vertex floats bit for bit");
    }
    const size_t facesAt = 2 + kMeshVertexBytes * v;
    fuzz::check(mesh.faces.size() == halfAt(bytes.data() + facesAt), "the face count is the file's");
    for (const Face& face : mesh.faces) {
        for (int16_t index : {face.a, face.b, face.c})
            fuzz::check(index >= 0 && static_cast<size_t>(index) < v, "faces name vertices of the mesh");
        fuzz::check(face.material >= 0 && static_cast<size_t>(face.material) < mesh.materials.size(),
                    "faces name materials of the mesh");
    }
    const size_t materialsAt = facesAt + 2 + kMeshFaceBytes * mesh.faces.size();
    fuzz::check(mesh.materials.size() == halfAt(bytes.data() + materialsAt), "the material count is the file's");
    fuzz::check(bytes.size() >= meshFileBytes(v, mesh.faces.size(), mesh.materials.size()),
                "the file holds every record");
    for (size_t i = 0; i < mesh.materials.size(); ++i) {
        const uint8_t* record = bytes.data() + materialsAt + 2 + kMeshMaterialBytes * i;
        fuzz::check(mesh.materials[i].flags == wordAt(record) && mesh.materials[i].colour == wordAt(record + 4),
                    "material flags and colour are the file's");
        if (mesh.materials[i].flags & kMaterialTextured)
            fuzz::check(mesh.textureNames[i].size() < kMeshTextureNameBytes &&
                            std::memcmp(mesh.textureNames[i].data(), record + 16, mesh.textureNames[i].size()) == 0,
                        "a texture name is the file's and ends within its field");
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static World world(nullptr, 512, 256, 512);
    const std::span<const uint8_t> bytes(data, size);
    Mesh mesh;
    try {
        mesh = readMesh(bytes, "fuzz.edo");
    } catch (const LoadError& error) {
        fuzz::checkOneLine(error);
        return 0;
    }
    checkReadsAsStored(mesh, bytes);

    world.clearScene();
    world.addLight(0, 0, -10, 0xFFFFFF, 1.0f, 100.0f);
    world.addMesh(mesh, 30, 20, 10, 0, 0, 8, 1, 1, 1, 0, 0, 0);
    world.applyParentTransform(mesh, 0, 0, 45, 1, 2, 3, 2, 2, 2, 0, 0, 0);
    const bool placed = !mesh.faces.empty() && world.drops.meshes == 0;
    fuzz::check(world.faceCount == (placed ? static_cast<int>(mesh.faces.size()) : 0), "a placed mesh adds its faces");
    fuzz::checkWorldLists(world);
    world.transformToCamera();
    world.cullBackFaces();
    world.clipNear(World::kNearZ);
    world.sortDrawItems();
    world.computeNormals();
    world.lightVertices();
    fuzz::checkWorldLists(world);
    return 0;
}
