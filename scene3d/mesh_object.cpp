#include "scene3d/mesh_object.h"

#include <cmath>

#include "scene3d/world.h"

// The textures are attached here too: without a scene naming the same mesh,
// nothing else would, and the span fillers need them. When a scene did, the
// cache hands back the same 256 x 256 pictures.
MeshObject::MeshObject(World& world, Mesh& workingMesh)
    : mesh(workingMesh), pristine_(workingMesh.vertices), world_(world) {
    world_.loadMeshTextures(mesh);
}

void MeshObject::reset() { mesh.vertices = pristine_; }

void MeshObject::push(float cx, float cy, float cz, float radius) {
    for (WorldVertex& v : mesh.vertices) {
        const float dx = v.x - cx;
        const float dy = v.y - cy;
        const float dz = v.z - cz;
        const float length = std::sqrt(dx * dx + dy * dy + dz * dz);
        if (!(length < radius)) continue;
        const float f = length > 0.0f ? radius / length : 0.0f;
        v.x = v.x + (dx * f - dx);
        v.y = v.y + (dy * f - dy);
        v.z = v.z + (dz * f - dz);
    }
}
