// The stages of World::render before any pixel: camera transform, culling,
// near clipping, normals, lighting, projection and depth order.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "test_scene.h"

namespace {

// Scenes filled by hand in camera space, unless a test transforms them, with
// a new World's camera and ambient light.
struct HandScene : TestScene {
    HandScene() : TestScene(512, 256, 512) { world.clearScene().setAmbient(0); }

    // Three new vertices, in this order, and their face.
    int triangle(Vec3 a, Vec3 b, Vec3 c, int mat = 0) {
        const int first = vertex(a.x, a.y, a.z);
        vertex(b.x, b.y, b.z);
        vertex(c.x, c.y, c.z);
        return faceOf(first, first + 1, first + 2, mat);
    }
    // A triangle facing the camera (clockwise on screen, y down) at depth z.
    int frontFace(float z, int mat = 0, float x = 0) {
        return triangle({x, 0, z}, {x + 1, 0, z}, {x, 1, z}, mat);
    }
    int sprite(float x, float y, float z) {
        world.addParticle(x, y, z, 0xFFFFFF, 1);
        return world.drawItemCount - 1;
    }
    std::vector<int> itemFaces() const {
        std::vector<int> out;
        for (int i = 0; i < world.drawItemCount; ++i) out.push_back(world.drawItems[static_cast<size_t>(i)].index);
        return out;
    }
    std::vector<int> faceCorners(int f) const {
        const Face& face = world.faces[static_cast<size_t>(f)];
        return {face.a, face.b, face.c};
    }
};

TEST(CameraTransform, TranslatesNegatesYAndRotatesLightsAlike) {
    HandScene s;
    s.world.setCamera(0, 0, 0, 0, 0, 0, 3.2f);
    s.vertex(0, 1, 5);
    s.world.addLight(0, 1, 5, 0, 1, 1);
    s.world.transformToCamera();
    EXPECT_EQ(s.world.vertices[0].x, 0.0f);
    EXPECT_EQ(s.world.vertices[0].y, -1.0f);  // above the screen centre
    EXPECT_EQ(s.world.vertices[0].z, 5.0f);
    EXPECT_EQ(s.world.lights[0].y, -1.0f);

    // Yaw 90 with the ten-digit pi: the cosine is a tiny non-zero float.
    HandScene turned;
    turned.world.setCamera(0, 0, 90, 0, 0, 0, 3.2f);
    turned.vertex(0, 0, 1, 0.25f, 0.5f);
    turned.world.transformToCamera();
    const float cosine = static_cast<float>(std::cos(90.0 * 3.141592654 / 180.0));
    ASSERT_NE(cosine, 0.0f);
    EXPECT_EQ(turned.world.vertices[0].x, -1.0f);
    EXPECT_EQ(turned.world.vertices[0].z, cosine);
    EXPECT_EQ(turned.world.vertices[0].u, 0.25f);  // texture coordinates untouched

    // The camera's position is subtracted first: a vertex at the camera lands at 0.
    HandScene moved;
    moved.world.setCamera(30, 40, 50, 1, 2, 3, 3.2f);
    moved.vertex(1, 2, 3);
    moved.world.transformToCamera();
    EXPECT_EQ(moved.world.vertices[0].z, 0.0f);
}

TEST(Culling, KeepsFrontFacesAndSpritesInOrderAndDropsBackAndEdgeOnFaces) {
    HandScene s;
    s.material(0);
    const int front = s.frontFace(5);
    s.triangle({0, 0, 5}, {0, 1, 5}, {1, 0, 5});  // the same triangle wound the other way: its back
    s.triangle({0, 0, 5}, {0, 1, 5}, {0, 2, 6});  // in the plane x = 0 through the eye: edge-on
    s.sprite(0, 0, -4);
    s.world.cullBackFaces();
    ASSERT_EQ(s.world.drawItemCount, 2);
    EXPECT_EQ(s.world.drawItems[0].index, front);
    EXPECT_EQ(s.world.drawItems[1].kind, kDrawSprite);
}

// Items that stay are packed in order; twins made by splitting come after
// all of them, with new face indices in the order they were made.
TEST(NearClip, KeepsCutsSplitsAndRemovesInTheStatedOrder) {
    const float zn = World::kNearZ;
    HandScene s;
    s.material(0);
    const int on = s.triangle({0, 0, zn}, {1, 0, zn}, {0, 1, zn});  // vertices 0-2, on the plane: stays whole
    const int one = s.triangle({0, 0, -1}, {1, 0, 1}, {0, 1, -1});  // vertices 3-5, only 4 inside
    const int two = s.triangle({0, 0, 1}, {1, 0, -1}, {0, 1, 1});   // vertices 6-8, only 7 outside
    s.triangle({0, 0, -1}, {1, 0, -1}, {0, 1, -1});                 // all behind: removed
    s.sprite(0, 0, 0.124f);                                         // vertex 12: removed
    s.sprite(0, 0, zn);                                             // vertex 13: stays
    const int n = s.world.vertexCount;
    s.world.clipNear(zn);

    EXPECT_EQ(s.itemFaces(), (std::vector<int>{on, one, two, 13, 4}));
    EXPECT_EQ(s.world.drawItems[3].kind, kDrawSprite);
    EXPECT_EQ(s.world.drawItems[4].kind, kDrawFace);  // the twin, behind every older item
    EXPECT_EQ(s.world.faceCount, 5);
    EXPECT_EQ(s.faceCorners(on), (std::vector<int>{0, 1, 2}));

    // One inside: turned to (4, 5, 3), then b and c cut towards a.
    EXPECT_EQ(s.faceCorners(one), (std::vector<int>{4, n, n + 1}));
    const WorldVertex& cut = s.world.vertices[static_cast<size_t>(n)];  // on 5 (0, 1, -1) -> 4 (1, 0, 1)
    EXPECT_EQ(cut.z, zn);
    EXPECT_NEAR(cut.x, 0.5625f, 1e-6);
    EXPECT_NEAR(cut.y, 0.4375f, 1e-6);
    // Two inside: turned to (7, 8, 6); f = (P_ab, 8, 6), twin g = (P_ac, P_ab', 6).
    EXPECT_EQ(s.faceCorners(two), (std::vector<int>{n + 2, 8, 6}));
    EXPECT_EQ(s.faceCorners(4), (std::vector<int>{n + 4, n + 3, 6}));
    const WorldVertex& ab = s.world.vertices[static_cast<size_t>(n + 2)];
    const WorldVertex& abAgain = s.world.vertices[static_cast<size_t>(n + 3)];
    EXPECT_EQ(std::vector<float>({ab.x, ab.y, ab.z}), std::vector<float>({abAgain.x, abAgain.y, abAgain.z}));
    EXPECT_EQ(s.world.faces[4].material, 0);
    EXPECT_EQ(s.world.vertexCount, n + 5);
}

TEST(NearClip, AFaceThatCannotBeSplitForLackOfRoomIsDroppedAndCounted) {
    HandScene s;
    s.material(0);
    s.triangle({0, 0, 1}, {1, 0, -1}, {0, 1, 1});  // needs three new vertices
    s.world.vertexCount = World::kMaxVertices - 2;
    s.world.clipNear(World::kNearZ);
    EXPECT_EQ(s.world.drawItemCount, 0);
    EXPECT_EQ(s.world.drops.clippedFaces, 1);
    EXPECT_EQ(s.world.vertexCount, World::kMaxVertices - 2);
}

// One vertex lit by one white light; the shade is 255 - lit per channel.
uint32_t shadeOfOneVertex(Vec3 normal, Vec3 lightAt, float invRange, int32_t ambient, int32_t flat, bool withLight = true) {
    HandScene s;
    s.vertex(0, 0, 2);
    s.world.vertexNormals[0] = normal;
    s.world.setAmbient(ambient);
    s.world.flatLighting = flat;
    if (withLight) s.world.addLight(lightAt.x, lightAt.y, lightAt.z, -1, 1.0f, 1.0f / invRange);
    if (withLight) s.world.lights[0].invRange = invRange;
    return s.world.lightVertex(0);
}

TEST(Lighting, ShadesOfTheWorkedCases) {
    const struct {
        const char* what;
        Vec3 normal, light;
        float invRange;
        int32_t ambient, flat;
        bool withLight;
        uint32_t shade;
    } cases[] = {
        {"2 units in front, facing away", {0, 0, 1}, {0, 0, 0}, 1, 0, 1, true, 0xBFBFBF},
        {"zero invRange adds nothing", {0, 0, 1}, {0, 0, 0}, 0, 0, 1, true, 0xFFFFFF},
        {"flat: any angle counts fully", {0.6f, 0, 0.8f}, {0, 0, 1}, 1, 0, 1, true, 0x000000},
        {"not flat: the angle counts", {0.6f, 0, 0.8f}, {0, 0, 1}, 1, 0, 0, true, 0x333333},
        {"facing the other way: nothing", {0, 0, -1}, {0, 0, 0}, 1, 0, 1, true, 0xFFFFFF},
        {"no lights, no ambient", {0, 0, 1}, {0, 0, 0}, 1, 0, 1, false, 0xFFFFFF},
        {"ambient alone", {0, 0, 1}, {0, 0, 0}, 1, 0xFFFFFF, 1, false, 0x000000},
        {"ambient plus light saturates", {0, 0, 1}, {0, 0, 1}, 1, 0x80C0FF, 1, true, 0x000000},
        {"ambient per channel", {0, 0, 1}, {0, 0, 0}, 1, 0x102040, 1, false, 0xEFDFBF},
    };
    for (const auto& c : cases)
        EXPECT_EQ(shadeOfOneVertex(c.normal, c.light, c.invRange, c.ambient, c.flat, c.withLight), c.shade) << c.what;
}

TEST(Lighting, NormalsAndShadesOfAWholeFrame) {
    HandScene s;
    s.material(0, 0x00C08040);
    const int item = s.frontFace(4);
    s.vertex(9, 9, 9);  // used by no face
    s.world.addLight(0.33333334f, 0.33333334f, 0, 0xFFFFFF, 100.0f, 1.0f);  // straight behind the centre
    s.world.computeNormals();
    const Vec3 n = s.world.faceNormals[static_cast<size_t>(item)];
    EXPECT_EQ(n.x, 0.0f);
    EXPECT_EQ(n.y, 0.0f);
    EXPECT_EQ(n.z, 1.0f);  // away from the camera, into the surface
    EXPECT_EQ(s.world.vertexNormals[0].z, 1.0f);
    EXPECT_EQ(s.world.vertexNormals[3].z, 0.0f);
    s.world.lightVertices();
    EXPECT_EQ(s.world.vertexColours[0], 0x000000u);  // fully lit
    EXPECT_EQ(s.world.vertexColours[3], 0xFFFFFFu);  // untouched: fully dark
    EXPECT_EQ(s.world.lightFace(item), 0x000000u);
    EXPECT_EQ(s.world.shadeFace(item, 0x00C08040), 0x00C08040u);
    s.world.lights[0].intensity = 0.0f;
    EXPECT_EQ(s.world.shadeFace(item, 0x00C08040), 0x00000000u);  // clamped at 0 per channel
}

TEST(Projection, CentresOnTheViewportWithZoomAndHalfSide) {
    World world(nullptr, 512, 256, 512);
    const float w = 1.0f / 4.0f;
    EXPECT_NEAR(world.projectX(1.0f, w), 358.4f, 1e-4);
    EXPECT_EQ(world.projectY(0.0f * w), 128.0f);
    world.setViewport(256, 256, 512);
    EXPECT_NEAR(world.projectX(1.0f, w), 230.4f, 1e-4);
}

// Opaque faces nearest first, then translucent faces and sprites farthest
// first; equal keys keep their list order.
TEST(DepthOrder, OpaqueNearFirstThenBlendedFarFirstWithTiesInListOrder) {
    HandScene s;
    const int opaque = s.material(0), glass = s.material(kMaterialTranslucent);
    const int farOpaque = s.frontFace(9, opaque);
    const int nearOpaque = s.frontFace(2, opaque);
    const int tieOpaque = s.frontFace(2, opaque, 5);
    const int nearGlass = s.frontFace(3, glass);
    const int farGlass = s.frontFace(7, glass);
    const int spriteAtGlass = s.sprite(0, 0, 3);
    const int farSprite = s.sprite(0, 0, 20);
    s.world.sortDrawItems();
    const std::vector<int> order(s.world.drawOrder.begin(), s.world.drawOrder.begin() + s.world.drawItemCount);
    EXPECT_EQ(order, (std::vector<int>{nearOpaque, tieOpaque, farOpaque, farSprite, farGlass, nearGlass, spriteAtGlass}));
    EXPECT_EQ(s.world.depthKeys[static_cast<size_t>(farOpaque)], 9.0f);
    EXPECT_EQ(s.world.depthKeys[static_cast<size_t>(farGlass)], -1.0f / 7.0f);
}

}  // namespace
