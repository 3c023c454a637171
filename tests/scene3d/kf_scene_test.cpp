// Keyframe scene files: the layout, the checks that refuse damaged files,
// shared meshes, and the 256 x 256 textures of mesh materials.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "resources/byte_fields.h"
#include "scene3d/mesh.h"
#include "scene3d/mesh_object.h"
#include "tests/resources/test_support.h"
#include "tests/scene3d/scene_files.h"

using namespace scenefiles;

TEST(KfSceneFile, OneMeshNodeWithTwoKeysIs256BytesWithItsFieldsAtTheirOffsets) {
    std::vector<uint8_t> bytes =
        sceneFile(0x102030, {meshNode("tri.edo", 0, 2)},
                  {key(0, 1, 1, 2, 3, 4, 5, 6, 7, 8, 9), key(10, 0, -1, -2, -3, -4, -5, -6, -7, -8, -9)});
    ASSERT_EQ(bytes.size(), 256u);
    EXPECT_EQ(wordAt(&bytes[12 + 8]), 2u);  // keyCount, then firstKey 0
    EXPECT_STREQ(reinterpret_cast<const char*>(bytes.data() + 68), "tri.edo");
    EXPECT_EQ(wordAt(&bytes[212 + 4]), 10u);   // the second key's frame
    bytes.resize(bytes.size() + 43);           // not a whole key, and named by no node: allowed

    const KfScene scene = readKfScene(bytes, "one.kf");
    EXPECT_EQ(scene.ambient, 0x102030u);
    ASSERT_EQ(scene.nodes.size(), 1u);
    EXPECT_EQ(scene.nodes[0].type, kKfMesh);
    EXPECT_EQ(scene.nodes[0].keyCount, 2);
    EXPECT_EQ(scene.nodes[0].meshName, "tri.edo");
    ASSERT_EQ(scene.keys.size(), 2u);
    EXPECT_EQ(scene.keys[1].interp, 0);
    EXPECT_EQ(scene.keys[1].frame, 10);
    for (size_t v = 0; v < 9; ++v) EXPECT_EQ(scene.keys[1].*kKfKeyValues[v], -static_cast<float>(v + 1));
}

TEST(KfSceneFile, DamagedScenesAreRefusedWithTheFileNameAndTheProblem) {
    using Bytes = std::vector<uint8_t>;
    const auto twoNodes = [](KfNode first, KfNode second) {
        return sceneFile(0, {first, second}, {key(0, 1, 0, 0, 0), key(10, 1, 0, 0, 0), key(0, 1, 0, 0, 0)});
    };
    const Bytes valid = twoNodes(meshNode("tri.edo", 0, 2, 2), node(2, 2, 1));
    const auto with = [&](size_t at, uint32_t value) {
        Bytes bytes = valid;
        put32(bytes, at, value);
        return bytes;
    };
    const auto emitters = [](std::vector<float> poolSeconds) {
        std::vector<KfNode> nodes;
        for (float seconds : poolSeconds) nodes.push_back(emitterNode(seconds, 0, 1));
        return sceneFile(0, nodes, {key(0, 1, 0, 0, 0)});
    };
    constexpr size_t kNode1 = 12, kNode2 = 12 + 156;
    Bytes unterminated = valid;
    std::fill(unterminated.begin() + kNode1 + 56, unterminated.begin() + kNode1 + 156, 'a');

    const struct {
        const char* what;
        Bytes bytes;
        const char* problem;
    } cases[] = {
        {"cut inside the header", Bytes(valid.begin(), valid.begin() + 11),
         "shorter than its 12-byte header"},
        {"negative node count", with(0, 0xFFFFFFFF), "node count -1 is negative"},
        {"more nodes than bytes", with(0, 3), "too short for its 3 nodes"},
        {"largest node count", with(0, 0x7FFFFFFF), "too short for its 2147483647 nodes"},
        {"no keys", with(kNode1 + 8, 0), "node 1 has 0 keys"},
        {"negative key count", with(kNode2 + 8, 0xFFFFFFFC), "node 2 has -4 keys"},
        {"negative first key", with(kNode1 + 12, 0xFFFFFFFF),
         "node 1 names keys -1 to 0 but the file holds 3"},
        {"keys past the end", with(kNode2 + 12, 3), "node 2 names keys 3 to 3 but the file holds 3"},
        {"key run beyond 32 bits", with(kNode1 + 12, 0x7FFFFFFF),
         "node 1 names keys 2147483647 to 2147483648"},
        {"parent past the scene", with(kNode1 + 20, 3), "node 1 names parent 3 of 2 nodes"},
        {"negative parent", with(kNode2 + 20, 0xFFFFFFFF), "node 2 names parent -1 of 2 nodes"},
        {"two nodes parent each other", with(kNode2 + 20, 1), "its parent chain loops"},
        {"a node is its own parent", with(kNode2 + 20, 2), "node 2 is its own ancestor"},
        {"mesh name without its end", unterminated, "node 1 mesh name does not end within its 100 bytes"},
        {"pool length not a number", emitters({std::nanf("")}),
         "node 1 particle pool length is not a finite"},
        {"pool length infinite", emitters({0, std::numeric_limits<float>::infinity()}),
         "node 2 particle pool length"},
        {"pool over a million slots", emitters({1000.0f}), "holds more than 1000000 particles"},
        {"pools together too large", emitters({900, 900, 900, 900, 900}),
         "more than 4000000 particles in all"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string message = loadErrorOf([&] { readKfScene(c.bytes, "bad.kf"); });
        EXPECT_EQ(message.rfind("bad.kf: ", 0), 0u) << message;
        EXPECT_NE(message.find(c.problem), std::string::npos) << message;

        TestWorld t;  // the World refuses it the same way, before fetching any mesh
        t.fileBytes("bad.kf", c.bytes);
        EXPECT_EQ(loadErrorOf([&] { t.world.loadScene("bad.kf"); }), message);
    }

    // The limits themselves are allowed.
    EXPECT_NO_THROW(readKfScene(emitters({999.999f, 999.0f, 999.0f, 999.0f}), "full.kf"));
    EXPECT_EQ(poolSlotsFor(999.999f), 1000000);
    EXPECT_NO_THROW(readKfScene(twoNodes(meshNode("tri.edo", 0, 2, 2), node(2, 2, 1, 0)), "ok.kf"));
}

TEST(KfSceneLoad, ScenesShareMeshesAndTexturesLoadedOnceAndAMissingOrBadMeshEndsTheLoad) {
    TestWorld t;
    t.fileImage("skin.jpg", Image(64, 64));
    t.fileBytes("tri.edo", triangleMesh(kMaterialTextured | kMaterialGouraud, "skin.jpg"));
    t.fileBytes("plain.edo", triangleMesh(kMaterialGouraud, "skin.jpg"));
    t.fileBytes("a.kf",
                sceneFile(0, {meshNode("tri.edo", 0, 1), meshNode("plain.edo", 0, 1)}, {key(0, 1, 0, 0, 0)}));
    t.fileBytes("b.kf", sceneFile(0, {meshNode("TRI.EDO", 0, 1)}, {key(0, 1, 0, 0, 0)}));
    t.fileBytes("lost.kf", sceneFile(0, {meshNode("gone.edo", 0, 1)}, {key(0, 1, 0, 0, 0)}));

    KfScene& a = t.world.loadScene("a.kf");
    const Image* texture = a.nodes[0].mesh->materials[0].texture;
    ASSERT_NE(texture, nullptr);
    EXPECT_EQ(texture->width, 256);
    EXPECT_EQ(texture, &t.cache.getImage("skin.jpg"));          // the copy is filed under the name
    EXPECT_EQ(a.nodes[1].mesh->materials[0].texture, nullptr);  // not textured: untouched

    const KfScene& b = t.world.loadScene("b.kf");  // finds the mesh and the 256 x 256 copy
    EXPECT_EQ(b.nodes[0].mesh, a.nodes[0].mesh);
    EXPECT_EQ(a.nodes[0].mesh, &t.world.mesh("tri.edo"));
    EXPECT_EQ(&t.cache.getImage("skin.jpg"), texture);  // not resampled again
    EXPECT_EQ(&t.world.loadScene("A.KF"), &a);          // prepared once, then handed out
    EXPECT_EQ(loadErrorOf([&] { t.world.loadScene("lost.kf"); }), "file not included exit");
    t.fileBytes("bad.edo", Bytes{1, 0});
    EXPECT_EQ(loadErrorOf([&] { t.world.mesh("bad.edo"); }).rfind("bad.edo: ", 0), 0u);

    TestWorld alone;  // a mesh object whose mesh no scene names gets its textures too
    alone.fileImage("skin.jpg", Image(64, 64));
    alone.fileBytes("ball.edo", triangleMesh(kMaterialTextured, "skin.jpg"));
    MeshObject ball(alone.world, alone.world.mesh("ball.edo"));
    EXPECT_EQ(ball.mesh.materials[0].texture, &alone.cache.getImage("skin.jpg"));
    EXPECT_EQ(ball.mesh.materials[0].texture->width, 256);
}

TEST(MeshTextures, SquarePicturesAreUsedAsTheyAreOthersResampledWithWrapAroundAndFiledBack) {
    TestWorld t;
    t.fileImage("square.jpg", Image(256, 256));
    const Image* square = &t.cache.getImage("square.jpg");
    const int slots = t.cache.count();
    EXPECT_EQ(&t.world.loadTexture("square.jpg"), square);
    EXPECT_EQ(&t.cache.getImage("square.jpg"), square);
    EXPECT_EQ(t.cache.count(), slots);

    Image src(128, 128);
    src.row(0)[0] = 0xFF10FF01;  // the top byte is dropped
    src.row(0)[1] = 0x00200002;
    src.row(0)[127] = 0x00302010;
    src.row(1)[0] = 0x00ABCDEF;
    t.fileImage("small.jpg", src);
    const Image& texture = t.world.loadTexture("small.jpg");
    ASSERT_EQ(texture.width, 256);
    ASSERT_EQ(texture.height, 256);
    EXPECT_EQ(texture.row(0)[0], 0x0010FF01u);
    EXPECT_EQ(texture.row(0)[1], 0x00187F01u);    // halfway between columns 0 and 1, truncated
    EXPECT_EQ(texture.row(0)[255], 0x00208F08u);  // halfway between column 127 and column 0
    EXPECT_EQ(texture.row(1)[0], 0x005DE678u);    // halfway between rows 0 and 1
    EXPECT_EQ(texture.row(2)[0], 0x00ABCDEFu);
    EXPECT_EQ(&t.cache.getImage("SMALL.JPG"), &texture);  // every later request gets the copy
}
