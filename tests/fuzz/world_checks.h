// The check the mesh and scene harnesses share: whatever a hostile file put
// into a frame, the World's lists stay within their capacities and every face
// names vertices and materials the World holds.
#pragma once

#include "scene3d/world.h"
#include "tests/fuzz/fuzz_support.h"

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

}  // namespace fuzz
