// The unnormalised normal of a camera-space triangle, n = (A - B) x (A - C),
// shared by back-face culling and the face normals of lighting.
#pragma once

#include "scene3d/world.h"

inline Vec3 faceCross(const WorldVertex& A, const WorldVertex& B, const WorldVertex& C) {
    return {(A.y - B.y) * (A.z - C.z) - (A.z - B.z) * (A.y - C.y),
            (A.z - B.z) * (A.x - C.x) - (A.x - B.x) * (A.z - C.z),
            (A.x - B.x) * (A.y - C.y) - (A.y - B.y) * (A.x - C.x)};
}
