#include <gtest/gtest.h>

#include "scene3d/mesh.h"
#include "tests/resources/test_support.h"
#include "tests/scene3d/scene_files.h"

using namespace scenefiles;

namespace {

TEST(MeshFile, SizesOffsetsAndUnalignedFieldsOfTheRecords) {
    Bytes bytes =
        meshBytes({{0.5f, -2, 3, 0.25f, 0.75f}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}}, {{2, 1, 0, 1}},
                  {{0, 0xFF8040, ""}, {kMaterialTextured | kMaterialGouraud, 0xFFFFFF, "chrome.jpg"}});
    ASSERT_EQ(bytes.size(), 202u);
    EXPECT_EQ(meshFileBytes(3, 1, 2), 202u);
    EXPECT_EQ(bytes[62], 1);  // face count
    EXPECT_EQ(bytes[72], 2);  // material count
    bytes.push_back(0xAB);    // trailing bytes are allowed

    const Mesh mesh = readMesh(bytes, "two.edo");
    ASSERT_EQ(mesh.vertices.size(), 3u);
    EXPECT_EQ(mesh.vertices[0].y, -2.0f);
    EXPECT_EQ(mesh.vertices[0].u, 0.25f);  // offset 14: not 4-aligned
    EXPECT_EQ(mesh.vertices[2].y, 1.0f);
    ASSERT_EQ(mesh.faces.size(), 1u);
    EXPECT_EQ(mesh.faces[0].a, 2);
    EXPECT_EQ(mesh.faces[0].material, 1);
    ASSERT_EQ(mesh.materials.size(), 2u);
    EXPECT_EQ(mesh.materials[0].colour, 0xFF8040u);
    EXPECT_EQ(mesh.materials[1].flags, kMaterialTextured | kMaterialGouraud);
    EXPECT_EQ(mesh.materials[1].texture, nullptr);
    EXPECT_EQ(mesh.textureNames[1], "chrome.jpg");
}

// Every way a mesh file can lie about itself is refused with one line that
// names the file.
TEST(MeshFile, RefusesDamagedMeshesWithOneLine) {
    const std::vector<WorldVertex> tri = {{0, 0, 0, 0, 0}, {1, 0, 0, 0, 0}, {0, 1, 0, 0, 0}};
    const std::string fullName(48, 'x');
    const Bytes good = triangleMesh();
    const struct {
        const char* what;
        Bytes bytes;
        const char* problem;
    } cases[] = {
        {"empty", {}, "cut short"},
        {"one byte", {3}, "cut short"},
        {"vertices cut", Bytes(good.begin(), good.begin() + 40), "cut short"},
        {"materials cut", Bytes(good.begin(), good.end() - 1), "too short"},
        {"vertex index high", meshBytes(tri, {{0, 1, 3, 0}}, {{0, 0, ""}}), "vertex"},
        {"vertex index negative", meshBytes(tri, {{-1, 1, 2, 0}}, {{0, 0, ""}}), "vertex"},
        {"material high", meshBytes(tri, {{0, 1, 2, 1}}, {{0, 0, ""}}), "material"},
        {"no materials", meshBytes(tri, {{0, 1, 2, 0}}, {}), "material"},
        {"texture name unterminated", meshBytes(tri, {{0, 1, 2, 0}}, {{kMaterialTextured, 0, fullName}}),
         "48 bytes"},
    };
    for (const auto& c : cases) {
        const std::string message = loadErrorOf([&] { readMesh(c.bytes, "bad.edo"); });
        EXPECT_EQ(message.rfind("bad.edo: ", 0), 0u) << c.what << ": " << message;
        EXPECT_NE(message.find(c.problem), std::string::npos) << c.what << ": " << message;
        EXPECT_EQ(message.find('\n'), std::string::npos) << c.what;
    }
    // An untextured material's name bytes are never read.
    EXPECT_NO_THROW(readMesh(meshBytes(tri, {{0, 1, 2, 0}}, {{0, 0, fullName}}), "ok.edo"));
}

}  // namespace
