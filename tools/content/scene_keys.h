// Building blocks for the generated keyframe scenes: nodes of each kind and the
// key runs they move along (spins, circles, camera paths). Used by scenes.cpp.
#pragma once

#include <utility>
#include <vector>

#include "tools/content/scene_writer.h"

struct Vec3f {
    float x = 0, y = 0, z = 0;
};

// Angles in degrees: yaw about y, pitch about x, roll about z.
struct Angles {
    float yaw = 0, pitch = 0, roll = 0;
};

KfKeyData poseKey(int frame, int interp, Vec3f position, Angles angles = {}, float scale = 1.0f);
// An emitter key: colour 0x00RRGGBB, velocity spread, particle size and
// particles per millisecond, stored the way the emitter reads them.
KfKeyData emitterKey(int frame, int interp, Vec3f position, uint32_t colour, float spread, float size,
                     float perMs);

KfNodeData meshNode(const char* meshName, int parent, std::vector<KfKeyData> keys);
KfNodeData pivotNode(int parent, std::vector<KfKeyData> keys);
KfNodeData lightNode(uint32_t colour, float intensity, float range, std::vector<KfKeyData> keys);
KfNodeData cameraNode(float zoom, std::vector<KfKeyData> keys);
KfNodeData emitterNode(float poolSeconds, std::vector<KfKeyData> keys);

// Appends the node and returns its 1-based index, the value children put in
// `parent`.
int addNode(KfSceneData& scene, KfNodeData node);

// Two linear keys at frames 0 and `lastFrame`: a steady turn from `from` to
// `to` at a fixed place; with whole turns between them the motion loops.
std::vector<KfKeyData> spinKeys(int lastFrame, Vec3f position, Angles from, Angles to, float scale = 1.0f);

// Linear keys every `step` frames from 0 to `lastFrame` on a circle of
// `radius` around `centre` in the xz plane (tilted by `tilt` degrees about x),
// going `turns` times around from angle `startDegrees`. The last key closes
// the loop when `turns` is whole.
std::vector<KfKeyData> circleKeys(int lastFrame, int step, Vec3f centre, float radius, float tilt,
                                  float turns, float startDegrees);

// Spline camera keys through the given (frame, eye) points, each turned to
// look at `target`. Yaw is kept continuous so that it never spins the long way.
std::vector<KfKeyData> cameraPath(const std::vector<std::pair<int, Vec3f>>& eyes, Vec3f target,
                                  float roll = 0.0f);

// The yaw and pitch that turn the camera's view axis (+z) from `eye` towards `target`.
Angles lookAngles(Vec3f eye, Vec3f target);

// The same path as emitter keys: every key keeps its frame, interpolation and
// position and gets the given colour, spread, size and rate.
std::vector<KfKeyData> emitterPath(const std::vector<KfKeyData>& path, uint32_t colour, float spread,
                                   float size, float perMs);

// Keys at frames 0, step, 2·step … 5·step (= lastFrame) with spline
// interpolation whose values trace one period of a sine of `amplitude` added
// to `base` (`move` for the position, `turn` for the angles): the track's ends meet with the same slope, so
// it loops smoothly.
std::vector<KfKeyData> swayKeys(int lastFrame, KfKeyData base, Vec3f move, Angles turn);
