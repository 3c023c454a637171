// Depth order and the depth buffer: opaque faces nearest first, then
// translucent faces and point sprites farthest first; the depth buffer is
// cleared only when its frame stamp runs out.
#include <algorithm>

#include "scene3d/world.h"
#include "platform/bit_cast.h"

void World::sortDrawItems() {
    for (int i = 0; i < drawItemCount; ++i) {
        const DrawItem& item = drawItems[static_cast<size_t>(i)];
        float key;
        if (item.kind == kDrawFace) {
            const Face& face = faces[item.index];
            const float za = vertices[static_cast<size_t>(face.a)].z;
            const float zb = vertices[static_cast<size_t>(face.b)].z;
            const float zc = vertices[static_cast<size_t>(face.c)].z;
            key = ((za + zb) + zc) * 0.33333334f;  // mean depth
            if (materials[static_cast<size_t>(face.material)].flags & kMaterialTranslucent) key = -1.0f / key;
        } else {
            key = -1.0f / vertices[item.index].z;
        }
        depthKeys[static_cast<size_t>(i)] = key;
        drawOrder[static_cast<size_t>(i)] = i;
    }

    // Least-significant-digit radix sort of the keys' bit patterns as unsigned
    // integers, four bits per pass; each pass keeps the present order within a
    // digit, so items with equal keys stay in list order. Negative keys (as
    // unsigned, above every positive one) grow with their magnitude 1/z.
    int counts[kSortDigits];
    for (int pass = 0; pass < 8; ++pass) {
        std::fill(std::begin(counts), std::end(counts), 0);
        const int shift = 4 * pass;
        for (int i = 0; i < drawItemCount; ++i) {
            const int entry = drawOrder[static_cast<size_t>(i)];
            const uint32_t bits = bitCast<uint32_t>(depthKeys[static_cast<size_t>(entry)]);
            const int digit = static_cast<int>((bits >> shift) & 15u);
            sortBuckets[digit][static_cast<size_t>(counts[digit]++)] = entry;
        }
        int at = 0;
        for (int digit = 0; digit < kSortDigits; ++digit)
            for (int k = 0; k < counts[digit]; ++k)
                drawOrder[static_cast<size_t>(at++)] = sortBuckets[digit][static_cast<size_t>(k)];
    }
}

void World::clearDepthBuffer() {
    // The whole buffer, not just the viewport: entries outside a narrower
    // viewport would otherwise survive the stamp's restart at 0 and hide new
    // surfaces there once the viewport widens again.
    std::fill(depthBuffer.begin(), depthBuffer.end(), 0);
    depthStamp = 0;
}
