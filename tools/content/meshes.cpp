// The meshes of the keyframe scenes and the ball, with their textures. Between
// them the materials use all eight span modes and environment mapping.
#include "tools/content/content.h"
#include "tools/content/mesh_textures.h"
#include "tools/content/mesh_writer.h"
#include "tools/content/meshes.h"
#include "tools/content/shapes.h"

namespace {

MeshData ball() {
    MeshData mesh;
    mesh.materials.push_back(
        {kMaterialTextured | kMaterialGouraud | kMaterialEnvMapped, 0xFFFFFF, meshtex::kChrome});
    addIcosphere(mesh, 1.5f, 3, 0);  // 642 vertices, 1280 faces
    return mesh;
}

MeshData knot() {
    MeshData mesh;
    mesh.materials.push_back(
        {kMaterialTextured | kMaterialGouraud | kMaterialEnvMapped, 0xFFFFFF, meshtex::kSunset});
    addTorusKnot(mesh, 2, 3, 1.0f, 0.45f, 0.22f, 120, 8, 0);
    return mesh;
}

MeshData torus() {
    MeshData mesh;
    mesh.materials.push_back({kMaterialTextured | kMaterialGouraud, 0xFFFFFF, meshtex::kMarble});
    addTorus(mesh, 1.0f, 0.38f, 32, 12, 3.0f, 0);
    return mesh;
}

MeshData cube() {
    MeshData mesh;
    mesh.materials.push_back({0, 0xE04020, ""});
    mesh.materials.push_back({0, 0xF0C040, ""});
    const int16_t sides[6] = {0, 0, 1, 1, 0, 0};
    addBox(mesh, 0.5f, 0.5f, 0.5f, sides);
    return mesh;
}

MeshData floorGrid() {
    MeshData mesh;
    mesh.materials.push_back({kMaterialTextured, 0xFFFFFF, meshtex::kTiles});
    addGrid(mesh, 16.0f, 12, 4.0f, 0);
    return mesh;
}

MeshData pillar() {
    MeshData mesh;
    mesh.materials.push_back({kMaterialGouraud, 0x80B0FF, ""});
    addCylinder(mesh, 0.35f, 2.0f, 16, 0);
    return mesh;
}

MeshData shard() {
    MeshData mesh;
    mesh.materials.push_back({kMaterialTranslucent, 0x60FFC0, ""});
    addCrystal(mesh, 0.18f, 0.7f, 0.0f, 3, 0);
    return mesh;
}

MeshData ring() {
    MeshData mesh;
    mesh.materials.push_back({kMaterialTextured | kMaterialTranslucent, 0xFFFFFF, meshtex::kPlasma});
    addTorus(mesh, 1.6f, 0.12f, 48, 4, 6.0f, 0);
    return mesh;
}

MeshData crystal() {
    MeshData mesh;
    mesh.materials.push_back({kMaterialGouraud | kMaterialTranslucent, 0xC080FF, ""});
    addCrystal(mesh, 0.6f, 1.3f, 0.25f, 8, 0);
    return mesh;
}

MeshData bubble() {
    MeshData mesh;
    mesh.materials.push_back(
        {kMaterialTextured | kMaterialGouraud | kMaterialTranslucent | kMaterialEnvMapped, 0xFFFFFF,
         meshtex::kChrome});
    addIcosphere(mesh, 1.0f, 2, 0);  // 162 vertices, 320 faces
    return mesh;
}

}  // namespace

std::vector<ContentFile> makeMeshes() {
    std::vector<ContentFile> files = makeMeshTextures();
    files.push_back({meshname::kBall, writeMesh(ball())});
    files.push_back({meshname::kKnot, writeMesh(knot())});
    files.push_back({meshname::kTorus, writeMesh(torus())});
    files.push_back({meshname::kCube, writeMesh(cube())});
    files.push_back({meshname::kFloor, writeMesh(floorGrid())});
    files.push_back({meshname::kPillar, writeMesh(pillar())});
    files.push_back({meshname::kShard, writeMesh(shard())});
    files.push_back({meshname::kRing, writeMesh(ring())});
    files.push_back({meshname::kCrystal, writeMesh(crystal())});
    files.push_back({meshname::kBubble, writeMesh(bubble())});
    return files;
}
