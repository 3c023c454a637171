// The keyframe scene writer: turns nodes and their keys into the byte image
// that the renderer reads as a KfScene. Used by the content generator's scenes.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "scene3d/kf_scene.h"  // the record sizes

constexpr int32_t kNodeMesh = 1;
constexpr int32_t kNodePivot = 2;  // no effect of its own: a pure transform parent
constexpr int32_t kNodeLight = 3;
constexpr int32_t kNodeCamera = 4;
constexpr int32_t kNodeEmitter = 5;

constexpr int32_t kKeyLinear = 1;
constexpr int32_t kKeySpline = 0;

// One key. `frame` is in tenths of a second; `interp` says how the segment
// ending at this key is interpolated. For emitters rotY/rotX/rotZ are the
// particle colour, scaleX the velocity spread + 1, scaleY the size + 1 and
// scaleZ the emission rate + 1 in particles per millisecond.
struct KfKeyData {
    int32_t interp = kKeySpline;
    int32_t frame = 0;
    float x = 0, y = 0, z = 0;
    float rotY = 0, rotX = 0, rotZ = 0;
    float scaleX = 1, scaleY = 1, scaleZ = 1;
};

struct KfNodeData {
    int32_t type = kNodePivot;
    int32_t parent = 0;  // 1-based index of the parent node, 0 = none
    uint32_t lightColour = 0;
    float pivotX = 0, pivotY = 0, pivotZ = 0;
    float poolSeconds = 0;  // emitters: the pool holds poolSeconds x 1000 + 1 particles
    float lightIntensity = 0, lightRange = 0;
    float cameraZoom = 0;
    std::string meshName;
    std::vector<KfKeyData> keys;
};

struct KfSceneData {
    uint32_t ambient = 0;  // 0x00RRGGBB
    std::vector<KfNodeData> nodes;
};

// The scene's file bytes. Throws std::runtime_error for a node without keys,
// keys out of frame order, a parent outside the scene or in a loop, or a mesh
// name that does not fit.
std::vector<uint8_t> writeScene(const KfSceneData& scene);
