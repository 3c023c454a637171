// Near clipping: removes what lies in front of the plane z = zNear and cuts
// faces that cross it, so every remaining vertex has z >= zNear (1/z <= 8).
#include <utility>

#include "scene3d/world.h"

namespace {

bool inside(const WorldVertex& v, float zNear) { return v.z >= zNear; }

// Turns (a, b, c) to (b, c, a) until `want` holds for a; keeps the winding.
template <typename Predicate>
void rotateUntil(Face& face, Predicate want) {
    for (int turn = 0; turn < 2 && !want(face.a); ++turn) {
        const int16_t a = face.a;
        face.a = face.b;
        face.b = face.c;
        face.c = a;
    }
}

}  // namespace

int World::addClipVertex(int p, int q, float zNear) {
    const WorldVertex P = vertices[static_cast<size_t>(p)];
    const WorldVertex Q = vertices[static_cast<size_t>(q)];
    const float dz = P.z - Q.z;
    if (dz == 0.0f) return p;
    const float t = (zNear - Q.z) / dz;
    vertices[static_cast<size_t>(vertexCount)] = {Q.x + (P.x - Q.x) * t, Q.y + (P.y - Q.y) * t, Q.z + (P.z - Q.z) * t,
                                                  Q.u + (P.u - Q.u) * t, Q.v + (P.v - Q.v) * t};
    return vertexCount++;
}

void World::clipNear(float zNear) {
    const int startItems = drawItemCount;
    const int startFaces = faceCount;
    int kept = 0;
    for (int i = 0; i < startItems; ++i) {
        const DrawItem item = drawItems[static_cast<size_t>(i)];
        if (item.kind != kDrawFace) {
            if (inside(vertices[item.index], zNear)) drawItems[static_cast<size_t>(kept++)] = item;
            continue;
        }
        Face& f = faces[item.index];
        auto isInside = [&](int16_t v) { return inside(vertices[static_cast<size_t>(v)], zNear); };
        const int k = isInside(f.a) + isInside(f.b) + isInside(f.c);
        if (k == 0) continue;
        if (k == 1) {
            // The face shrinks to its part in front of the plane: two new vertices.
            if (vertexCount + 2 > kMaxVertices) {
                ++drops.clippedFaces;
                continue;
            }
            rotateUntil(f, isInside);
            f.b = static_cast<int16_t>(addClipVertex(f.b, f.a, zNear));
            f.c = static_cast<int16_t>(addClipVertex(f.c, f.a, zNear));
        } else if (k == 2) {
            // The four-sided remainder becomes this face and a twin, whose
            // draw item goes behind every item the list held before.
            const int newFaces = faceCount - startFaces;
            if (vertexCount + 3 > kMaxVertices || faceCount + 1 > kMaxFaces ||
                startItems + newFaces + 1 > kMaxDrawItems) {
                ++drops.clippedFaces;
                continue;
            }
            rotateUntil(f, [&](int16_t v) { return !isInside(v); });
            Face& g = faces[static_cast<size_t>(faceCount++)];
            g = f;
            f.a = static_cast<int16_t>(addClipVertex(g.a, g.b, zNear));
            g.b = static_cast<int16_t>(addClipVertex(g.a, g.b, zNear));
            g.a = static_cast<int16_t>(addClipVertex(g.a, g.c, zNear));
        }
        drawItems[static_cast<size_t>(kept++)] = item;
    }
    // The twins' items, in the order their faces were made.
    for (int face = startFaces; face < faceCount; ++face)
        drawItems[static_cast<size_t>(kept++)] = {kDrawFace, 0, static_cast<uint16_t>(face), 0, 0};
    drawItemCount = kept;
}
