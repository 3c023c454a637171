#include "scene3d/mesh_object.h"

#include <cmath>

MeshObject::MeshObject(World& world, Mesh& workingMesh) : mesh(workingMesh), pristine_(workingMesh.vertices), world_(world) {}

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
