// A plain re-statement of the keyframe sampling, the mesh transform, the camera
// transform and the projection, used by the content tests to see where the
// generated scenes put things on screen.
#pragma once

#include <cmath>
#include <vector>

#include "tests/content/content_readers.h"

namespace pose {

constexpr double kPi = 3.141592654;

inline float splineBlend(float u, float p0, float p1, float p2, float p3) {
    u = u < 0 ? 0 : (u > 1 ? 1 : u);
    const float w = u * 0.5f * static_cast<float>(kPi);
    const float s = std::sin(w), c = std::cos(w);
    return 0.5f * s * (s - 1) * p0 + 0.5f * c * (c + 1) * p1 + 0.5f * s * (s + 1) * p2 +
           0.5f * c * (c - 1) * p3;
}

inline ReadKey sampleTrack(const ReadKey* keys, float t, int count) {
    const float f = t * 10.0f;
    int i = 0, n = count == 1 ? 0 : 1;
    while (i < count - 1 && std::floor(f + 1) > static_cast<float>(keys[n].frame)) {
        ++i;
        n = i + 1 >= count ? i : i + 1;
    }
    const int prev = i - 1 < 0 ? 0 : i - 1;
    const int next2 = n + 1 > count - 1 ? count - 1 : n + 1;
    if (n == i) return keys[i];
    const float u = (f - keys[i].frame) / static_cast<float>(keys[n].frame - keys[i].frame);
    ReadKey out = keys[i];
    float* o = &out.x;
    const float *a = &keys[i].x, *b = &keys[n].x, *p0 = &keys[prev].x, *p3 = &keys[next2].x;
    for (int v = 0; v < 9; ++v) {
        o[v] = keys[n].interp == 1 ? a[v] + (b[v] - a[v]) * u : splineBlend(u, p0[v], a[v], b[v], p3[v]);
    }
    return out;
}

inline ReadKey sampleNode(const ReadScene& scene, const ReadNode& node, float t) {
    return sampleTrack(&scene.keys[static_cast<size_t>(node.firstKey)], t, node.keyCount);
}

struct P3 {
    double x, y, z;
};

// p' = T + Ry·Rx·Rz·(S ⊙ (p − pivot)).
inline P3 meshTransform(P3 p, const ReadKey& s, P3 pivot) {
    const double r = kPi / 180;
    double X = (p.x - pivot.x) * s.scaleX, Y = (p.y - pivot.y) * s.scaleY, Z = (p.z - pivot.z) * s.scaleZ;
    const double x1 = X * std::cos(s.rotZ * r) - Y * std::sin(s.rotZ * r);
    const double y1 = X * std::sin(s.rotZ * r) + Y * std::cos(s.rotZ * r);
    const double y2 = y1 * std::cos(s.rotX * r) - Z * std::sin(s.rotX * r);
    const double z1 = y1 * std::sin(s.rotX * r) + Z * std::cos(s.rotX * r);
    const double x2 = x1 * std::cos(s.rotY * r) + z1 * std::sin(s.rotY * r);
    const double z2 = z1 * std::cos(s.rotY * r) - x1 * std::sin(s.rotY * r);
    return {x2 + s.x, y2 + s.y, z2 + s.z};
}

// A mesh-space point of node `index` in world space: its own transform, then
// each ancestor's.
inline P3 toWorld(const ReadScene& scene, size_t index, P3 p, float t) {
    for (size_t at = index;;) {
        const ReadNode& node = scene.nodes[at];
        p = meshTransform(p, sampleNode(scene, node, t), {node.pivotX, node.pivotY, node.pivotZ});
        if (node.parent == 0) return p;
        at = static_cast<size_t>(node.parent - 1);
    }
}

struct Camera {
    double yaw = 0, pitch = 0, roll = 0, x = 0, y = 0, z = -3, zoom = 3.2;
};

inline Camera sceneCamera(const ReadScene& scene, float t) {
    Camera camera;
    for (const ReadNode& node : scene.nodes) {
        if (node.type != 4) continue;
        const ReadKey s = sampleNode(scene, node, t);
        camera = {s.rotY, s.rotX, s.rotZ, s.x, s.y, s.z, node.cameraZoom};
    }
    return camera;
}

// World to camera space: x right, y down, z along the view.
inline P3 toCamera(const Camera& c, P3 p) {
    const double r = kPi / 180;
    const double sA = std::sin(c.yaw * r), cA = std::cos(c.yaw * r);
    const double sB = std::sin(c.pitch * r), cB = std::cos(c.pitch * r);
    const double sC = std::sin(c.roll * r), cC = std::cos(c.roll * r);
    const double dx = p.x - c.x, dy = p.y - c.y, dz = p.z - c.z;
    return {(cA * cC + sA * sB * sC) * dx + cB * sC * dy + (-sA * cC + cA * sB * sC) * dz,
            -((sA * sB * cC - cA * sC) * dx + cB * cC * dy + (sA * sC + cA * sB * cC) * dz),
            sA * cB * dx - sB * dy + cA * cB * dz};
}

struct Screen {
    double x, y;
};

inline Screen project(const Camera& c, P3 q, int width, int height) {
    return {q.x * c.zoom / q.z * 128 + width / 2.0, q.y * c.zoom / q.z * 128 + height / 2.0};
}

}  // namespace pose
