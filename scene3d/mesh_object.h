// A mesh that is dented every frame and restored: spherical pushes move its
// vertices out of a sphere onto its surface. Used by the ball scenes; every
// user of the same mesh name sees the dents, since meshes are shared.
#pragma once

#include <vector>

#include "scene3d/mesh.h"

class World;

class MeshObject {
public:
    // Keeps a pristine copy of the mesh's vertices and attaches the textures of
    // its textured materials (World::loadMeshTextures).
    MeshObject(World& world, Mesh& mesh);

    void reset();  // copies the pristine vertices back over the mesh
    // Pushes every vertex inside the sphere out onto its surface, along the
    // ray from the centre; a vertex at the centre stays.
    void push(float cx, float cy, float cz, float radius);

    Mesh& mesh;

private:
    std::vector<WorldVertex> pristine_;
    World& world_;
};
