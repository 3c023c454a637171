// The generated keyframe scenes: they parse with every index in range, use
// every kind of node and key, stay well inside the World's capacities, keep
// their meshes in view for the whole section, and "part3.kf" loops.
#include <gtest/gtest.h>

#include <map>
#include <set>

#include "tests/content/content_readers.h"
#include "tests/content/scene_pose.h"
#include "tools/content/content.h"
#include "tools/content/music_timing.h"

namespace {

struct SceneCase {
    std::string name;
    double timeSpan_seconds;  // the scene times its section passes
    int viewportWidth;
};

// The time each scene is posed at runs over these spans (the section lengths
// at the music's tempo; "part3.kf" wraps at 6.5 s; "part6.kf" runs at half speed).
std::vector<SceneCase> sceneCases() {
    using musictime::sectionSeconds;
    return {{"part2.kf", sectionSeconds(5, 9), 512},
            {"part3.kf", 6.5, 256},
            {"part4.kf", sectionSeconds(14, 21), 512},
            {"part6.kf", 0.5 * sectionSeconds(26, 32), 360},
            {"part7.kf", sectionSeconds(32, 38), 512}};
}

const std::map<std::string, ReadScene>& scenes() {
    static const std::map<std::string, ReadScene> parsed = [] {
        std::map<std::string, ReadScene> out;
        for (const ContentFile& file : makeScenes()) out[file.name] = readScene(file.bytes);
        return out;
    }();
    return parsed;
}

const std::map<std::string, ReadMesh>& meshes() {
    static const std::map<std::string, ReadMesh> parsed = [] {
        std::map<std::string, ReadMesh> out;
        for (const ContentFile& file : makeMeshes()) {
            if (file.name.ends_with(".edo")) out[file.name] = readMesh(file.bytes);
        }
        return out;
    }();
    return parsed;
}

int poolSlots(const ReadNode& emitter) {
    return static_cast<int>(std::fabs(std::floor(emitter.pivotX * 1000))) + 1;
}

}  // namespace

TEST(Scenes, TheFiveScenesParseWithIndicesInRangeAndKeysInOrder) {
    ASSERT_EQ(scenes().size(), 5u);
    for (const SceneCase& c : sceneCases()) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(scenes().count(c.name));
        const ReadScene& scene = scenes().at(c.name);
        const int nodeCount = static_cast<int>(scene.nodes.size());
        for (int i = 0; i < nodeCount; ++i) {
            const ReadNode& node = scene.nodes[static_cast<size_t>(i)];
            ASSERT_GE(node.keyCount, 1);
            ASSERT_GE(node.firstKey, 0);
            ASSERT_LE(node.firstKey + node.keyCount, static_cast<int>(scene.keys.size()));
            for (int k = 1; k < node.keyCount; ++k) {
                EXPECT_LT(scene.keys[static_cast<size_t>(node.firstKey + k - 1)].frame,
                          scene.keys[static_cast<size_t>(node.firstKey + k)].frame);
            }
            ASSERT_GE(node.parent, 0);
            ASSERT_LE(node.parent, nodeCount);
            int steps = 0;
            for (int p = node.parent; p != 0; p = scene.nodes[static_cast<size_t>(p - 1)].parent) {
                ASSERT_LE(++steps, nodeCount);
            }
            if (node.type == 1) {
                EXPECT_TRUE(meshes().count(node.meshName)) << node.meshName;
            }
        }
    }
}

TEST(Scenes, TogetherTheyUseEveryKindOfNodeAndBothInterpolations) {
    std::set<int> types;
    bool linear = false, spline = false, pivotParent = false, grandParent = false;
    for (const auto& [name, scene] : scenes()) {
        for (const ReadNode& node : scene.nodes) {
            types.insert(node.type);
            if (node.parent != 0) {
                const ReadNode& parent = scene.nodes[static_cast<size_t>(node.parent - 1)];
                pivotParent |= node.type == 1 && parent.type == 2;
                grandParent |= parent.parent != 0;
            }
            for (int k = 1; k < node.keyCount; ++k) {
                const int interp = scene.keys[static_cast<size_t>(node.firstKey + k)].interp;
                linear |= interp == 1;
                spline |= interp != 1;
            }
        }
        EXPECT_NE(scene.ambient, 0u) << name;
    }
    EXPECT_EQ(types, (std::set<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(linear);
    EXPECT_TRUE(spline);
    EXPECT_TRUE(pivotParent);
    EXPECT_TRUE(grandParent);
}

TEST(Scenes, Part6PlacesTheBall) {
    bool found = false;
    for (const ReadNode& node : scenes().at("part6.kf").nodes)
        found |= node.type == 1 && node.meshName == "p6ball.edo";
    EXPECT_TRUE(found);
}

TEST(Scenes, EveryFrameStaysWellInsideTheWorldCapacities) {
    for (const SceneCase& c : sceneCases()) {
        SCOPED_TRACE(c.name);
        int vertices = 0, faces = 0, materials = 0, particles = 0, lights = 0;
        for (const ReadNode& node : scenes().at(c.name).nodes) {
            if (node.type == 1) {
                const ReadMesh& mesh = meshes().at(node.meshName);
                vertices += static_cast<int>(mesh.vertices.size());
                faces += static_cast<int>(mesh.faces.size());
                materials += static_cast<int>(mesh.materials.size());
            }
            if (node.type == 5) {
                EXPECT_LE(poolSlots(node), 1001);
                particles += poolSlots(node);
            }
            lights += node.type == 3;
        }
        EXPECT_LT(vertices + particles, 6000);
        // The near clipper adds at most three vertices, one face and one draw item per face.
        EXPECT_LT(vertices + particles + 3 * faces, 14000);
        EXPECT_LT(2 * faces + particles, 15000);
        EXPECT_LT(materials, 1000);
        EXPECT_GE(lights, 1);
        EXPECT_LT(lights, 500);
    }
}

TEST(Scenes, EmittersEmitAtModestRates) {
    for (const auto& [name, scene] : scenes()) {
        for (const ReadNode& node : scene.nodes) {
            if (node.type != 5) continue;
            for (int k = 0; k < node.keyCount; ++k) {
                const ReadKey& key = scene.keys[static_cast<size_t>(node.firstKey + k)];
                const float perMs = key.scaleZ - 1;
                EXPECT_GT(perMs, 0.0f) << name;
                EXPECT_LE(perMs, 0.2f) << name;
                EXPECT_GT(key.scaleY - 1, 0.0f) << name;  // visible size
            }
        }
    }
}

TEST(Scenes, KeysLastAsLongAsTheirSectionAndNoLonger) {
    for (const SceneCase& c : sceneCases()) {
        SCOPED_TRACE(c.name);
        int lastFrame = 0;
        for (const ReadKey& key : scenes().at(c.name).keys) lastFrame = std::max(lastFrame, key.frame);
        EXPECT_NEAR(lastFrame, c.timeSpan_seconds * 10, 1.0);
    }
}

TEST(Scenes, MostMeshesAreInViewThroughoutTheSection) {
    for (const SceneCase& c : sceneCases()) {
        SCOPED_TRACE(c.name);
        const ReadScene& scene = scenes().at(c.name);
        for (double t = 0; t < c.timeSpan_seconds; t += 0.25) {
            const pose::Camera camera = pose::sceneCamera(scene, static_cast<float>(t));
            int meshNodes = 0, inView = 0;
            for (size_t i = 0; i < scene.nodes.size(); ++i) {
                if (scene.nodes[i].type != 1) continue;
                ++meshNodes;
                const pose::P3 centre =
                    pose::toCamera(camera, pose::toWorld(scene, i, {0, 0, 0}, static_cast<float>(t)));
                if (centre.z < 1.0) continue;
                const pose::Screen s = pose::project(camera, centre, c.viewportWidth, 256);
                inView += s.x >= 0 && s.x < c.viewportWidth && s.y >= 0 && s.y < 256;
            }
            EXPECT_GE(2 * inView, meshNodes) << "at t = " << t;
        }
    }
}

TEST(Scenes, Part3ClosesItsLoopAtSixAndAHalfSeconds) {
    const ReadScene& scene = scenes().at("part3.kf");
    for (const ReadNode& node : scene.nodes) {
        const ReadKey start = pose::sampleNode(scene, node, 0.0f);
        const ReadKey end = pose::sampleNode(scene, node, 6.4999f);
        EXPECT_NEAR(start.x, end.x, 0.01);
        EXPECT_NEAR(start.y, end.y, 0.01);
        EXPECT_NEAR(start.z, end.z, 0.01);
        for (auto [a, b] :
             {std::pair{start.rotY, end.rotY}, {start.rotX, end.rotX}, {start.rotZ, end.rotZ}}) {
            EXPECT_NEAR(std::remainder(a - b, 360.0), 0.0, 0.1);
        }
        EXPECT_EQ(node.type == 5, false);  // a wrapping time would make an emitter run backwards
    }
}
