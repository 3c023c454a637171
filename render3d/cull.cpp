// Back-face culling: keeps the point sprites and the faces that turn their
// front to the camera, in list order.
#include "render3d/face_normal.h"
#include "scene3d/world.h"

void World::cullBackFaces() {
    int kept = 0;
    for (int i = 0; i < drawItemCount; ++i) {
        const DrawItem item = drawItems[static_cast<size_t>(i)];
        if (item.kind == kDrawFace) {
            const Face& face = faces[item.index];
            const WorldVertex& A = vertices[static_cast<size_t>(face.a)];
            const WorldVertex& B = vertices[static_cast<size_t>(face.b)];
            const WorldVertex& C = vertices[static_cast<size_t>(face.c)];
            const Vec3 n = faceCross(A, B, C);
            // The view ray to the face (its vertex sum) against the normal;
            // edge-on faces (s = 0) go too.
            const float s = (A.x + B.x + C.x) * n.x + (A.y + B.y + C.y) * n.y + (A.z + B.z + C.z) * n.z;
            if (!(s > 0.0f)) continue;
        }
        drawItems[static_cast<size_t>(kept++)] = item;
    }
    drawItemCount = kept;
}
