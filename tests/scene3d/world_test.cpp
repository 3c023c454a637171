#include <gtest/gtest.h>

#include <cmath>
#include <cstring>

#include "scene3d/mesh.h"
#include "scene3d/mesh_object.h"
#include "scene3d/world.h"
#include "tests/scene3d/scene_files.h"

using namespace scenefiles;

namespace {

Mesh triangle() { return readMesh(triangleMesh(), "tri.edo"); }
// Places `mesh` unturned and unscaled at (x, 0, 0).
void place(World& world, const Mesh& mesh, float x = 0) {
    world.addMesh(mesh, 0, 0, 0, x, 0, 0, 1, 1, 1, 0, 0, 0);
}
std::vector<int> rgb(const World& w) { return {w.ambientR, w.ambientG, w.ambientB}; }

TEST(WorldSetup, GlowSpriteMultiplyTableAndDefaults) {
    World world(nullptr, 512, 256, 512);
    const struct {
        int row, column, value;
    } glow[] = {{32, 32, 255}, {32, 39, 255}, {32, 40, 244}, {32, 45, 157}, {32, 50, 86},
                {32, 60, 5},   {32, 63, 0},   {32, 0, 0},    {0, 0, 0},     {63, 63, 0}};
    for (const auto& g : glow)
        EXPECT_EQ(world.flareSprite[static_cast<size_t>(g.row * 64 + g.column)], g.value) << g.row << "," << g.column;
    EXPECT_EQ(world.mulTable3d[255 * 256 + 255], 254);
    EXPECT_EQ(world.mulTable3d[128 * 256 + 2], 1);
    EXPECT_EQ(world.mulTable3d[7 * 256 + 0], 0);

    EXPECT_EQ(world.depthStamp, 0);
    EXPECT_EQ(world.depthBuffer.size(), 512u * 256u);
    EXPECT_EQ(world.flatLighting, 1);
    EXPECT_EQ(rgb(world), (std::vector<int>{0, 0, 0}));
    EXPECT_EQ(world.halfMinSide, 128.0f);
    world.setViewport(256, 256, 512);
    EXPECT_EQ(world.minSide, 256);
    EXPECT_EQ(world.halfMinSide, 128.0f);  // the construction viewport's, not updated later
}

// The depth buffer is cleared only when width, height and pitch all change.
TEST(WorldViewport, ClearsTheDepthBufferOnlyWhenAllThreeValuesChange) {
    const struct {
        int w, h, p;
        bool clears;
    } cases[] = {
        {256, 256, 512, false},  // only the width
        {256, 128, 512, false},  // two of three
        {512, 256, 512, false},  // the same again
        {256, 128, 256, true},   // all three
    };
    for (const auto& c : cases) {
        World world(nullptr, 512, 256, 512);
        world.depthBuffer[100] = 12345;
        world.depthStamp = 40;
        world.setViewport(c.w, c.h, c.p);
        EXPECT_EQ(world.depthBuffer[100] == 0, c.clears) << c.w << " x " << c.h << " / " << c.p;
        EXPECT_EQ(world.depthStamp == 0, c.clears);
        EXPECT_EQ(world.minSide, std::min(c.w, c.h));
    }
}

TEST(WorldViewport, IsLimitedToTheDepthBufferAndClearingCoversAllOfIt) {
    World world(nullptr, 512, 256, 512);
    world.setViewport(640, 480, 1024);  // larger than the buffer in every way
    EXPECT_LE(static_cast<size_t>(world.height) * static_cast<size_t>(world.pitch), world.depthBuffer.size());
    EXPECT_LE(world.width, world.pitch);
    world.setViewport(-5, -5, -5);
    EXPECT_EQ(world.width + world.height, 0);

    world.setViewport(256, 256, 512);
    world.depthBuffer[511] = world.depthBuffer.back() = 99;  // outside the viewport's columns
    world.clearDepthBuffer();
    EXPECT_EQ(world.depthBuffer[511] + world.depthBuffer.back(), 0);
}

// A particle is one vertex and one sprite item (colour 5-6-5, size 8.8 of
// its magnitude); lights and cameras are checked as scenes set them.
TEST(WorldScene, ParticlesAndWhatTwoClearScenesLeave) {
    World world(nullptr, 512, 256, 512);
    world.addParticle(1, 2, 3, 0xFF8040, -1.5f);
    ASSERT_EQ(world.drawItemCount, 1);
    const DrawItem& sprite = world.drawItems[0];
    EXPECT_EQ(std::vector<int>({sprite.kind, sprite.index, sprite.colour565, sprite.size, world.faceCount}),
              std::vector<int>({kDrawSprite, 0, 0xFC08, 384, 0}));
    EXPECT_EQ(world.vertices[0].z, 3.0f);

    world.setAmbient(0x102030).setCamera(1, 2, 3, 4, 5, 6, 7).addLight(0, 0, 0, -1, 1, 1);
    place(world, triangle());
    world.clearScene().clearScene();
    EXPECT_EQ(
        world.vertexCount + world.faceCount + world.materialCount + world.drawItemCount + world.lightCount,
        0);
    EXPECT_EQ(std::vector<float>({world.cameraRotX, world.cameraRotY, world.cameraRotZ, world.cameraX,
                                  world.cameraY, world.cameraZ, world.zoom}),
              std::vector<float>({0, 0, 0, 0, 0, -3.0f, 3.2f}));
    EXPECT_EQ(rgb(world), (std::vector<int>{0x10, 0x20, 0x30}));  // the ambient colour stays
}

TEST(AddMesh, TwiceAppendsOwnVerticesFacesMaterialsAndItems) {
    World world(nullptr, 512, 256, 512);
    const Mesh mesh = triangle();
    place(world, mesh, 5);
    place(world, mesh);
    EXPECT_EQ(world.vertexCount, 6);
    EXPECT_EQ(world.materialCount, 2);
    ASSERT_EQ(world.faceCount, 2);
    ASSERT_EQ(world.drawItemCount, 2);
    const Face& second = world.faces[1];
    EXPECT_EQ((std::vector<int>{second.a, second.b, second.c, second.material}), (std::vector<int>{3, 4, 5, 1}));
    EXPECT_EQ(world.drawItems[1].kind, kDrawFace);
    EXPECT_EQ(world.drawItems[1].index, 1);
    EXPECT_EQ(world.vertices[0].x, 6.0f);  // translated
    EXPECT_EQ(world.vertices[1].v, 1.0f);  // texture coordinates copied

    Mesh empty = mesh;
    empty.faces.clear();
    place(world, empty);
    EXPECT_EQ(world.vertexCount, 6);  // no faces: not even the vertices
}

// F: pivot, scale, roll about z, pitch about x, yaw about y, translation.
TEST(MeshTransform, RotationsPivotScaleAndTranslation) {
    const struct {
        float rz, rx, ry, t[3], s, pivot[3], in[3], out[3];
    } cases[] = {
        {0, 0, 0, {1, 2, 3}, 1, {0, 0, 0}, {1, 1, 1}, {2, 3, 4}},
        {90, 0, 0, {0, 0, 0}, 1, {0, 0, 0}, {1, 0, 0}, {0, 1, 0}},
        {0, 90, 0, {0, 0, 0}, 1, {0, 0, 0}, {0, 1, 0}, {0, 0, 1}},
        {0, 0, 90, {0, 0, 0}, 1, {0, 0, 0}, {0, 0, 1}, {1, 0, 0}},
        {180, 0, 0, {5, 6, 7}, 1, {1, 0, 0}, {1, 0, 0}, {5, 6, 7}},
        {180, 0, 0, {5, 6, 7}, 1, {1, 0, 0}, {2, 0, 0}, {4, 6, 7}},
        {0, 0, 0, {0, 0, 0}, 2, {1, 1, 1}, {2, 3, 4}, {2, 4, 6}},
    };
    for (const auto& c : cases) {
        const MeshTransform f(c.rz, c.rx, c.ry, c.t[0], c.t[1], c.t[2], c.s, c.s, c.s, c.pivot[0], c.pivot[1],
                              c.pivot[2]);
        float out[3];
        f.apply(out[0], out[1], out[2], c.in[0], c.in[1], c.in[2]);
        for (int k = 0; k < 3; ++k)
            EXPECT_NEAR(out[k], c.out[k], 1e-6) << c.rz << " " << c.rx << " " << c.ry << " axis " << k;
    }
    // The angle's float radians go through double sine and cosine: the cosine
    // of 90 degrees is a tiny non-zero float.
    const MeshTransform quarter(90, 0, 0, 0, 0, 0, 1, 1, 1, 0, 0, 0);
    const float radians = 90.0f * static_cast<float>(3.141592654 / 180.0);
    EXPECT_EQ(quarter.cosZ, static_cast<float>(std::cos(static_cast<double>(radians))));
    EXPECT_NE(quarter.cosZ, 0.0f);
}

TEST(AddMesh, ParentTransformMovesOnlyThatMeshsOwnLastVertices) {
    World world(nullptr, 512, 256, 512);
    const Mesh mesh = triangle(), other = triangle();
    place(world, other);
    place(world, mesh);
    world.applyParentTransform(mesh, 0, 0, 90, 10, 0, 0, 1, 1, 1, 0, 0, 0);  // parent: yaw 90 at (10, 0, 0)
    EXPECT_NEAR(world.vertices[3].x, 10.0f, 1e-6);                           // (1, 0, 0) -> (10, 0, -1)
    EXPECT_NEAR(world.vertices[3].z, -1.0f, 1e-6);
    EXPECT_EQ(world.vertices[0].x, 1.0f);  // the first mesh stays

    world.applyParentTransform(other, 0, 0, 0, 100, 0, 0, 1, 1, 1, 0, 0, 0);  // not the last placed
    EXPECT_EQ(world.vertices[0].x, 1.0f);
    EXPECT_NEAR(world.vertices[3].x, 10.0f, 1e-6);
}

// Nothing is written past a capacity: what does not fit is left out whole
// and counted.
TEST(WorldCapacity, AdditionsThatDoNotFitAreLeftOutAndCounted) {
    World world(nullptr, 512, 256, 512);
    for (int i = 0; i < World::kMaxLights + 3; ++i) world.addLight(0, 0, 0, 0, 1, 1);
    EXPECT_EQ(world.lightCount, World::kMaxLights);
    EXPECT_EQ(world.drops.lights, 3);

    Mesh big = triangle();
    big.vertices.resize(World::kMaxVertices - 2);  // room for one particle only
    place(world, big);
    for (int i = 0; i < 3; ++i) world.addParticle(0, 0, 1, 0, 1);
    EXPECT_EQ(world.vertexCount, World::kMaxVertices);
    EXPECT_EQ(world.drops.particles, 1);
    place(world, triangle());
    EXPECT_EQ(world.faceCount, 1);
    EXPECT_EQ(world.materialCount, 1);
    EXPECT_EQ(world.drops.meshes, 1);
    EXPECT_EQ(world.drops.total(), 5);

    Mesh manyMaterials = triangle();
    manyMaterials.materials.resize(World::kMaxMaterials);
    world.clearScene();
    EXPECT_EQ(world.drops.total(), 0);
    place(world, manyMaterials);
    place(world, manyMaterials);
    EXPECT_EQ(world.materialCount, World::kMaxMaterials);
    EXPECT_EQ(world.drops.meshes, 1);
}

TEST(MeshObject, PushesOntoTheSphereAndResetRestoresEveryByte) {
    World world(nullptr, 512, 256, 512);
    Mesh mesh = readMesh(meshBytes({{1, 0, 0, 0.5f, 0.5f}, {4, 0, 0, 0, 0}, {2, 2, 0, 0, 0}, {2, 0, 0, 0, 0}},
                                   {{0, 1, 2, 0}}, {{0, 0, ""}}),
                         "dent.edo");
    const std::vector<WorldVertex> before = mesh.vertices;
    MeshObject object(world, mesh);
    object.push(2, 0, 0, 1.8f);
    EXPECT_NEAR(mesh.vertices[0].x, 0.2f, 1e-6);  // inside: out along the ray onto the sphere
    EXPECT_EQ(mesh.vertices[0].u, 0.5f);          // texture coordinates untouched
    EXPECT_EQ(mesh.vertices[1].x, 4.0f);          // outside
    EXPECT_EQ(mesh.vertices[2].y, 2.0f);          // outside
    EXPECT_EQ(mesh.vertices[3].x, 2.0f);          // at the centre: stays
    for (int i = 0; i < 5; ++i) object.push(0.5f * i, 0.2f, -0.1f, 2.5f);
    object.reset();
    ASSERT_EQ(mesh.vertices.size(), before.size());
    EXPECT_EQ(std::memcmp(mesh.vertices.data(), before.data(), before.size() * sizeof(WorldVertex)), 0);
}

}  // namespace
