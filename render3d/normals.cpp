// Face normals per drawn face and vertex normals summed from them, in camera
// space; a face normal points away from the camera, into the surface.
#include <cmath>

#include "render3d/face_normal.h"
#include "scene3d/world.h"

void normalise(Vec3& v) {
    const float length = static_cast<float>(std::sqrt(static_cast<double>(v.x * v.x + v.y * v.y + v.z * v.z)));
    if (length == 0.0f) return;
    const float scale = 1.0f / length;
    v.x *= scale;
    v.y *= scale;
    v.z *= scale;
}

void World::computeNormals() {
    for (int i = 0; i < vertexCount; ++i) vertexNormals[static_cast<size_t>(i)] = Vec3{};
    for (int q = 0; q < drawItemCount; ++q) {
        const DrawItem& item = drawItems[static_cast<size_t>(q)];
        if (item.kind != kDrawFace) continue;
        const Face& face = faces[item.index];
        Vec3 n = faceCross(vertices[static_cast<size_t>(face.a)], vertices[static_cast<size_t>(face.b)],
                           vertices[static_cast<size_t>(face.c)]);
        normalise(n);
        faceNormals[static_cast<size_t>(q)] = n;
        for (int16_t corner : {face.a, face.b, face.c}) {
            Vec3& sum = vertexNormals[static_cast<size_t>(corner)];
            sum.x += n.x;
            sum.y += n.y;
            sum.z += n.z;
        }
    }
    for (int i = 0; i < vertexCount; ++i) normalise(vertexNormals[static_cast<size_t>(i)]);
}
