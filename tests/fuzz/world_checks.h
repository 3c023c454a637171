// What the mesh and scene harnesses share: whatever a hostile file put into
// a frame, the World's lists stay within their capacities and every face
// names vertices and materials the World holds; a scene prepared for posing.
#pragma once

#include "scene3d/world.h"
#include "tests/fuzz/fuzz_support.h"
#include "tests/scene3d/scene_files.h"

namespace fuzz {

inline void checkWorldLists(const World& world) {
    check(world.vertexCount <= World::kMaxVertices && world.faceCount <= World::kMaxFaces &&
              world.drawItemCount <= World::kMaxDrawItems && world.materialCount <= World::kMaxMaterials &&
              world.lightCount <= World::kMaxLights,
          "the World's lists stay within their capacities");
    for (int i = 0; i < world.faceCount; ++i) {
        const Face& face = world.faces[static_cast<size_t>(i)];
        for (int16_t index : {face.a, face.b, face.c})
            check(index >= 0 && index < world.vertexCount, "World faces name World vertices");
        check(face.material >= 0 && face.material < world.materialCount, "World faces name World materials");
    }
}

// Files the scene `bytes` (already read as `read`) under "fuzz.kf" with a
// one-triangle mesh under every mesh name it has, and prepares it in the
// World. Throws LoadError as World::loadScene does.
inline KfScene& prepareScene(scenefiles::TestWorld& t, const KfScene& read, const uint8_t* data,
                             size_t size) {
    t.fileBytes("fuzz.kf", {data, data + size});
    for (const KfNode& node : read.nodes)
        if (node.type == kKfMesh && t.cache.find(node.meshName) < 0)
            t.fileBytes(node.meshName, scenefiles::triangleMesh());
    return t.world.loadScene("fuzz.kf");
}

// Every emitter's next slot lies in its pool.
inline void checkEmitters(const KfScene& scene) {
    for (const KfNode& node : scene.nodes)
        if (node.type == kKfEmitter)
            check(node.ringPos >= 0 && static_cast<size_t>(node.ringPos) < node.pool.size(),
                  "an emitter's next slot lies in its pool");
}

// One frame of the scene at `time`: every node posed, the lists and pools
// within their bounds, rendered into `frame` (of the World's size).
inline void poseAndRender(World& world, KfScene& scene, float time, uint32_t* frame) {
    world.clearScene();
    check(world.drawScene(scene, time) == static_cast<int>(scene.nodes.size()), "every node is posed");
    checkWorldLists(world);
    checkEmitters(scene);
    world.render(frame);
}

}  // namespace fuzz
