// The render pipeline driver: runs the stages over the World's lists in place
// and draws the result in depth order.
#include "scene3d/world.h"

void World::render(uint32_t* frame) {
    target = frame;
    if (drawItemCount == 0) return;
    transformToCamera();
    cullBackFaces();
    if (drawItemCount == 0) return;
    clipNear(kNearZ);
    if (drawItemCount == 0) return;
    // Normals and shades come after clipping, so that the clipper's new
    // vertices get them too; the sort needs the clipped faces' depths.
    sortDrawItems();
    computeNormals();
    lightVertices();
    drawSorted();
}

void World::drawSorted() {
    // Every value written in a frame lies above its stamp and every older
    // entry at or below it, so the depth buffer is cleared only when the stamp
    // runs out: once in 11 drawn frames.
    if (depthStamp > 80) clearDepthBuffer();
    for (int i = 0; i < drawItemCount; ++i) {
        const int item = drawOrder[static_cast<size_t>(i)];
        if (drawItems[static_cast<size_t>(item)].kind == kDrawFace)
            drawFace(target, item);
        else
            drawPointSprite(item);
    }
    depthStamp += 8;
}
