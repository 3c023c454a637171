// The generated meshes: their bytes parse, indices stay in range, faces are
// wound to face outwards, textures exist, and all span modes are covered.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "resources/jpeg.h"
#include "tests/content/content_readers.h"
#include "tests/content/scene_pose.h"
#include "tools/content/content.h"
#include "tools/content/mesh_writer.h"
#include "tools/content/meshes.h"

namespace {

const std::vector<ContentFile>& meshFiles() {
    static const std::vector<ContentFile> files = makeMeshes();
    return files;
}

// Parsed once for the whole test program.
const std::map<std::string, ReadMesh>& meshesByName() {
    static const std::map<std::string, ReadMesh> meshes = [] {
        std::map<std::string, ReadMesh> parsed;
        for (const ContentFile& file : meshFiles()) {
            if (file.name.ends_with(".edo")) parsed[file.name] = readMesh(file.bytes);
        }
        return parsed;
    }();
    return meshes;
}

const ContentFile* findFile(const std::string& name) {
    for (const ContentFile& file : meshFiles()) {
        if (file.name == name) return &file;
    }
    return nullptr;
}

pose::P3 position(const ReadMesh& mesh, int index) {
    const ReadVertex& v = mesh.vertices[static_cast<size_t>(index)];
    return {v.x, v.y, v.z};
}

pose::P3 minus(pose::P3 a, pose::P3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
pose::P3 cross(pose::P3 a, pose::P3 b) {
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
double dot(pose::P3 a, pose::P3 b) { return a.x * b.x + a.y * b.y + a.z * b.z; }

// The renderer's back-face test in camera space: keep when s > 0, with
// n = (A - B) x (A - C) and s = (A + B + C) · n.
bool passesCull(pose::P3 a, pose::P3 b, pose::P3 c) {
    const pose::P3 n = cross(minus(a, b), minus(a, c));
    return (a.x + b.x + c.x) * n.x + (a.y + b.y + c.y) * n.y + (a.z + b.z + c.z) * n.z > 0;
}

}  // namespace

TEST(Meshes, EveryMeshParsesWithItsIndicesInRange) {
    const auto& meshes = meshesByName();
    ASSERT_GE(meshes.size(), 8u);
    for (const auto& [name, mesh] : meshes) {
        SCOPED_TRACE(name);
        EXPECT_LE(name.size(), 19u);
        EXPECT_GT(mesh.faces.size(), 0u);
        ASSERT_GT(mesh.materials.size(), 0u);
        for (const ReadFace& f : mesh.faces) {
            for (int index : {f.a, f.b, f.c}) {
                ASSERT_GE(index, 0);
                ASSERT_LT(index, static_cast<int>(mesh.vertices.size()));
            }
            ASSERT_GE(f.material, 0);
            ASSERT_LT(f.material, static_cast<int>(mesh.materials.size()));
        }
    }
}

// Radius 1.5: the four pushes (radius 1.8, centres 2 from the origin) dent it
// from outside.
TEST(Meshes, BallIsASphereOfAFewHundredToTwoThousandVertices) {
    const ReadMesh& ball = meshesByName().at("p6ball.edo");
    EXPECT_GE(ball.vertices.size(), 300u);
    EXPECT_LE(ball.vertices.size(), 2000u);
    for (const ReadVertex& v : ball.vertices) {
        EXPECT_NEAR(std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z), 1.5, 1e-5);
    }
    EXPECT_TRUE(ball.materials[0].flags & kMaterialEnvMapped);
}

TEST(Meshes, ClosedMeshesFaceOutwardsAndTheFloorFacesUp) {
    for (const auto& [name, mesh] : meshesByName()) {
        SCOPED_TRACE(name);
        if (name == "floor.edo") {
            for (const ReadFace& f : mesh.faces) {
                const pose::P3 a = position(mesh, f.a);
                const pose::P3 n = cross(minus(position(mesh, f.b), a), minus(position(mesh, f.c), a));
                EXPECT_GT(n.y, 0.0);
            }
            continue;
        }
        // Outward winding gives a positive enclosed volume (divergence theorem).
        double volume = 0;
        for (const ReadFace& f : mesh.faces) {
            volume += dot(position(mesh, f.a), cross(position(mesh, f.b), position(mesh, f.c))) / 6.0;
        }
        EXPECT_GT(volume, 0.0);
    }
}

TEST(Meshes, OutwardFacesTowardsTheCameraPassTheCullTest) {
    // Camera at the origin looking along +z; camera space is world space with
    // y negated. Place each mesh 6 units ahead: a face must pass exactly when
    // its outward normal points back towards the camera.
    for (const std::string name : {"p6ball.edo", "cube.edo", "torus.edo", "pillar.edo"}) {
        SCOPED_TRACE(name);
        const ReadMesh& mesh = meshesByName().at(name);
        int passed = 0;
        for (const ReadFace& f : mesh.faces) {
            auto place = [&](int i) {
                const pose::P3 p = position(mesh, i);
                return pose::P3{p.x + 0.1, p.y + 0.2, p.z + 6};
            };
            const pose::P3 a = place(f.a), b = place(f.b), c = place(f.c);
            const pose::P3 outward = cross(minus(b, a), minus(c, a));
            const pose::P3 centre{(a.x + b.x + c.x) / 3, (a.y + b.y + c.y) / 3, (a.z + b.z + c.z) / 3};
            const double facing = dot(outward, centre);
            if (std::fabs(facing) < 1e-6) continue;  // edge-on
            auto flip = [](pose::P3 p) { return pose::P3{p.x, -p.y, p.z}; };
            const bool visible = passesCull(flip(a), flip(b), flip(c));
            EXPECT_EQ(visible, facing < 0);
            passed += visible;
        }
        EXPECT_GT(passed, 0);
        EXPECT_LT(passed, static_cast<int>(mesh.faces.size()));
    }
}

TEST(Meshes, MaterialsUseAllEightSpanModesAndEnvironmentMapping) {
    std::set<uint32_t> modes;
    bool envMapped = false;
    for (const auto& [name, mesh] : meshesByName()) {
        for (const ReadMaterial& m : mesh.materials) {
            modes.insert(m.flags & 7);
            envMapped |= (m.flags & kMaterialEnvMapped) != 0;
        }
    }
    EXPECT_EQ(modes, (std::set<uint32_t>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_TRUE(envMapped);
}

TEST(Meshes, TexturedMaterialsNameJpegTexturesOfWhichSomeNeedResampling) {
    std::set<std::pair<int, int>> sizes;
    for (const auto& [name, mesh] : meshesByName()) {
        for (const ReadMaterial& m : mesh.materials) {
            if (!(m.flags & kMaterialTextured)) continue;
            SCOPED_TRACE(name + " -> " + m.textureName);
            ASSERT_TRUE(m.textureName.ends_with(".jpg"));
            EXPECT_LE(m.textureName.size(), 19u);
            const ContentFile* texture = findFile(m.textureName);
            ASSERT_NE(texture, nullptr);
            const Image decoded = decodeJpeg(texture->bytes);  // the presentation's own decoder
            EXPECT_GT(decoded.width, 0);
            sizes.insert({decoded.width, decoded.height});
        }
    }
    EXPECT_TRUE(sizes.count({256, 256}));
    EXPECT_GE(sizes.size(), 3u);  // 256 x 256 and at least two sizes that get resampled
}

TEST(MeshWriter, LaysOutCountsRecordsAndMaterialNames) {
    MeshData mesh;
    mesh.vertices = {{0, 0, 0, 0, 0}, {1, 0, 0, 1, 0}, {0, 1, 0, 0, 1}};
    mesh.faces = {{0, 1, 2, 0}};
    mesh.materials = {{kMaterialTextured, 0x123456, "tex.jpg"}};
    const std::vector<uint8_t> bytes = writeMesh(mesh);
    ASSERT_EQ(bytes.size(), 138u);
    EXPECT_EQ(bytes[62], 1);  // face count
    EXPECT_EQ(bytes[72], 1);  // material count
    const ReadMesh back = readMesh(bytes);
    EXPECT_EQ(back.materials[0].textureName, "tex.jpg");
    EXPECT_EQ(back.materials[0].colour, 0x123456u);
    EXPECT_EQ(back.vertices[2].v, 1.0f);

    mesh.faces[0].b = 3;
    EXPECT_THROW(writeMesh(mesh), std::runtime_error);
    mesh.faces[0].b = 1;
    mesh.materials[0].textureName = std::string(48, 'x');
    EXPECT_THROW(writeMesh(mesh), std::runtime_error);
}
