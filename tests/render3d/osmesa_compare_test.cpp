// World::render against Mesa's independent rasteriser (OSMesa), both given the
// same camera-space triangles, colours and texture.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <random>
#include <vector>

#include "osmesa_peer.h"
#include "render3d/span_fillers.h"
#include "shapes.h"
#include "test_scene.h"

namespace {

constexpr int kWidth = 512, kHeight = 256;

class RenderComparison : public ::testing::Test {
protected:
    TestScene scene{kWidth, kHeight, kWidth};
    OsMesaPeer peer{kWidth, kHeight};
    std::vector<uint32_t> theirs = std::vector<uint32_t>(kWidth * kHeight);
    const Image texture = labelledTexture();  // a pixel's red and blue name its texel

    void SetUp() override { ASSERT_TRUE(peer.ready()) << "OSMesa gave no context"; }

    // The default camera distance and zoom, full ambient light (shades 0).
    void perspectiveCamera() {
        scene.reset();
        scene.world.setCamera(0, 0, 0, 0, 0, 0, 3.2f);
    }

    // Renders the World with both; the peer gets the faces World::render drew,
    // in camera space, each vertex with the colour our fillers start from.
    void renderBoth() {
        World& w = scene.world;
        std::fill(scene.frame.begin(), scene.frame.end(), TestScene::kBackground);
        w.render(scene.frame.data());
        std::vector<OsMesaPeer::Vertex> plain, textured;
        for (int i = 0; i < w.drawItemCount; ++i) {
            const int item = w.drawOrder[static_cast<size_t>(i)];
            const Face& f = w.faces[w.drawItems[static_cast<size_t>(item)].index];
            const Material& m = w.materials[static_cast<size_t>(f.material)];
            for (int v : {f.a, f.b, f.c}) {
                const WorldVertex& p = w.vertices[static_cast<size_t>(v)];
                uint32_t colour = (m.flags & kSpanGouraud) ? subClamped(m.colour, w.vertexColours[static_cast<size_t>(v)])
                                                           : w.shadeFace(item, m.colour);
                if (m.flags & kSpanTextured) colour = 0xFFFFFF;
                ((m.flags & kSpanTextured) ? textured : plain).push_back({p.x, p.y, p.z, colour, p.u, p.v});
            }
        }
        peer.project(w.zoom, w.halfMinSide);
        peer.clear(TestScene::kBackground);
        if (!plain.empty()) peer.drawTriangles(plain, nullptr, OsMesaPeer::Blend::opaque);
        if (!textured.empty()) peer.drawTriangles(textured, &texture, OsMesaPeer::Blend::opaque);
        peer.finish();
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x) theirs[static_cast<size_t>(y * kWidth + x)] = peer.pixel(x, y);
    }

    uint32_t ours(int x, int y) const { return scene.pixel(x, y); }
    uint32_t peerPixel(int x, int y) const { return theirs[static_cast<size_t>(y * kWidth + x)]; }

    // Whether `same` holds between (x, y) and every pixel within `radius` of it.
    bool allAround(int x, int y, int radius, const std::function<bool(uint32_t, uint32_t)>& same) const {
        if (x < radius || y < radius || x >= kWidth - radius || y >= kHeight - radius) return false;
        for (int dy = -radius; dy <= radius; ++dy)
            for (int dx = -radius; dx <= radius; ++dx)
                if (!same(ours(x, y), ours(x + dx, y + dy)) || !same(peerPixel(x, y), peerPixel(x + dx, y + dy)))
                    return false;
        return true;
    }
    bool uniformAround(int x, int y, int radius) const {
        return allAround(x, y, radius, [](uint32_t a, uint32_t b) { return a == b; });
    }
    bool coveredAround(int x, int y, int radius) const {
        return allAround(x, y, radius, [](uint32_t, uint32_t b) { return b != TestScene::kBackground; });
    }
};

int channel(uint32_t pixel, int shift) { return static_cast<int>((pixel >> shift) & 255); }

int channelDifference(uint32_t a, uint32_t b) {
    int largest = 0;
    for (int shift : {0, 8, 16}) largest = std::max(largest, std::abs(channel(a, shift) - channel(b, shift)));
    return largest;
}

}  // namespace

// Single flat triangles of many shapes, some crossing the screen edges: the
// two fill conventions (ours samples each pixel's lower right corner, Mesa
// its centre, moved to the same point) may differ by one pixel at a row end.
// A half less than two rows tall repeats its first row by design; its rows
// are only counted.
TEST_F(RenderComparison, FlatTrianglesCoverTheSamePixelsUpToOnePixelPerRowEnd) {
    std::mt19937 rng(7);
    auto in = [&](float low, float high) { return std::uniform_real_distribution<float>(low, high)(rng); };
    long covered = 0, differing = 0, shortHalfRows = 0;
    for (int k = 0; k < 300; ++k) {
        float sx[3], sy[3];
        const float cx = in(-40, 552), cy = in(-20, 276);
        const float reach = k % 3 == 0 ? 20.0f : 300.0f;
        for (int i = 0; i < 3; ++i) {
            sx[i] = cx + in(-reach, reach);
            sy[i] = cy + in(-reach, reach) * (k % 4 == 1 ? 0.05f : 1.0f);  // flat slivers
        }
        if (k % 4 == 2) sx[1] = sx[0] + in(-2, 2);  // tall slivers
        scene.reset();
        int v[3];
        for (int i = 0; i < 3; ++i) v[i] = scene.worldVertex(sx[i], sy[i], in(1, 4));
        const float turn = (sx[1] - sx[0]) * (sy[2] - sy[0]) - (sy[1] - sy[0]) * (sx[2] - sx[0]);
        if (turn < 0) std::swap(v[1], v[2]);
        scene.face(v[0], v[1], v[2], 0, 0xFFFFFF);
        renderBoth();

        std::sort(sy, sy + 3);
        auto inShortHalf = [&](int y) {
            for (int h = 0; h < 2; ++h)
                if (sy[h + 1] - sy[h] < 2.0f && y >= std::floor(sy[h]) && y < std::floor(sy[h + 1])) return true;
            return false;
        };
        for (int y = 0; y < kHeight; ++y) {
            int oursFirst = kWidth, oursEnd = 0, peerFirst = kWidth, peerEnd = 0;
            for (int x = 0; x < kWidth; ++x) {
                const bool a = ours(x, y) == 0xFFFFFF, b = peerPixel(x, y) == 0xFFFFFF;
                covered += a || b;
                differing += a != b;
                if (a) oursFirst = std::min(oursFirst, x), oursEnd = x + 1;
                if (b) peerFirst = std::min(peerFirst, x), peerEnd = x + 1;
            }
            if (oursEnd == 0 && peerEnd == 0) continue;
            const bool agree = std::abs(oursFirst - peerFirst) <= 1 && std::abs(oursEnd - peerEnd) <= 1;
            if (inShortHalf(y)) {
                shortHalfRows += !agree;
                continue;
            }
            // A row one pixel long in one picture may be empty in the other.
            EXPECT_TRUE(agree || std::max(oursEnd - oursFirst, peerEnd - peerFirst) <= 1)
                << "triangle " << k << " row " << y << ": ours [" << oursFirst << ", " << oursEnd << "), Mesa ["
                << peerFirst << ", " << peerEnd << ")";
        }
    }
    std::printf("[ measured ] flat triangles: %ld of %ld covered pixels differ (%.3f %%); %ld rows of short halves differ by more than a pixel\n",
                differing, covered, 100.0 * static_cast<double>(differing) / static_cast<double>(covered), shortHalfRows);
}

// A Gouraud-lit sphere: inside its outline the colours agree within 4 steps
// (our truncation against Mesa's rounding, and the per-block perspective)
// plus half of the local change per pixel. Where the lit colour falls steeply
// (some 40 steps a pixel at the light's edge) a block end one pixel past a
// face can lie beyond 0..255; limiting it there flattens that block's ramp a
// little (without the limit the largest difference is 3, but such ends wrap
// the 8-bit accumulators into stripes).
TEST_F(RenderComparison, GouraudSphereInteriorAgreesWithinFourStepsAndHalfAPixel) {
    perspectiveCamera();
    scene.world.setAmbient(0x101010);
    scene.world.addLight(-3, 2, 1, 0xFFE0C0, 1.0f, 5.0f);
    const Mesh ball = shapes::icosphere(3, {kSpanGouraud, 0xF0C080, nullptr});
    scene.world.addMesh(ball, 0, 20, 30, 0.2f, 0, 4.5f, 1, 1, 1, 0, 0, 0);
    renderBoth();
    long interior = 0, beyondFour = 0, beyond = 0;
    int largest = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (!coveredAround(x, y, 2)) continue;
            ++interior;
            for (int shift : {0, 8, 16}) {
                auto at = [&](int dx, int dy) { return channel(peerPixel(x + dx, y + dy), shift); };
                const int d = std::abs(channel(ours(x, y), shift) - at(0, 0));
                const int steepest = std::max({std::abs(at(1, 0) - at(0, 0)), std::abs(at(0, 0) - at(-1, 0)),
                                               std::abs(at(0, 1) - at(0, 0)), std::abs(at(0, 0) - at(0, -1))});
                largest = std::max(largest, d);
                beyondFour += d > 4;
                beyond += d > 4 + steepest / 2;
            }
        }
    std::printf("[ measured ] Gouraud sphere: %ld interior pixels, largest channel difference %d, %ld channels beyond 4\n",
                interior, largest, beyondFour);
    EXPECT_GT(interior, 20000);
    EXPECT_EQ(beyond, 0);
}

// A textured cube close to the camera, its near corner at less than half the
// distance of its far one, crossing the top edge. Blue and red name the
// texel column and row; ours takes the texture at a pixel's left edge and
// Mesa (moved as above) at its right edge, so our pixel x is compared with
// Mesa's x - 1. Within a 16-pixel block our coordinates are affine; 3 texels
// leave room for that and for truncation.
TEST_F(RenderComparison, TexturedCubeInStrongPerspectiveAgreesWithinThreeTexels) {
    perspectiveCamera();
    std::array<Material, 6> sides;
    sides.fill({kSpanTextured, 0xFFFFFF, &texture});
    const Mesh box = shapes::cube(sides);
    scene.world.addMesh(box, 10, 30, 40, 0.1f, 0.05f, 2.9f, 0.6f, 0.6f, 0.6f, 0, 0, 0);
    renderBoth();
    const std::vector<uint32_t> texels = scene.frame;
    const std::vector<uint32_t> peerTexels = theirs;

    // Which side covers each pixel, from a second picture with a flat colour per side.
    for (int k = 0; k < 6; ++k) sides[static_cast<size_t>(k)] = {0, 0x102030u * static_cast<uint32_t>(k + 1), nullptr};
    perspectiveCamera();
    scene.world.addMesh(shapes::cube(sides), 10, 30, 40, 0.1f, 0.05f, 2.9f, 0.6f, 0.6f, 0.6f, 0, 0, 0);
    renderBoth();
    long interior = 0, beyond = 0;
    int largest = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 1; x < kWidth; ++x) {
            if (!uniformAround(x, y, 2) || ours(x, y) == TestScene::kBackground) continue;
            const uint32_t a = texels[static_cast<size_t>(y * kWidth + x)];
            const uint32_t b = peerTexels[static_cast<size_t>(y * kWidth + x - 1)];
            const int d = channelDifference(a, b);
            ++interior;
            largest = std::max(largest, d);
            beyond += d > 3;
        }
    std::printf("[ measured ] textured cube: %ld interior pixels, largest texel difference %d, %ld beyond 3\n", interior,
                largest, beyond);
    EXPECT_GT(interior, 20000);
    EXPECT_EQ(beyond, 0);
}

// Two cubes that pass through each other, a flat colour per side: away from
// edges and from the line where they cut each other, the same side shows.
TEST_F(RenderComparison, IntersectingMeshesShowTheSameSurfaceAwayFromTheCut) {
    perspectiveCamera();
    std::array<Material, 6> first, second;
    for (uint32_t k = 0; k < 6; ++k) {
        first[k] = {0, 0x200000u * (k + 1) + 0x40, nullptr};
        second[k] = {0, 0x002000u * (k + 1) + 0x400000, nullptr};
    }
    const Mesh a = shapes::cube(first), b = shapes::cube(second);
    scene.world.addMesh(a, 10, 20, 30, -0.4f, 0, 4.5f, 1, 1, 1, 0, 0, 0);
    scene.world.addMesh(b, 40, -15, 5, 0.5f, 0.3f, 4.8f, 1, 1, 1, 0, 0, 0);
    renderBoth();
    long covered = 0, differing = 0, checked = 0, wrong = 0;
    for (int y = 0; y < kHeight; ++y)
        for (int x = 0; x < kWidth; ++x) {
            if (ours(x, y) == TestScene::kBackground && peerPixel(x, y) == TestScene::kBackground) continue;
            ++covered;
            differing += ours(x, y) != peerPixel(x, y);
            if (!uniformAround(x, y, 1)) continue;
            ++checked;
            wrong += ours(x, y) != peerPixel(x, y);
        }
    std::printf("[ measured ] intersecting cubes: %ld of %ld covered pixels differ (%.3f %%), all along edges and the cut\n",
                differing, covered, 100.0 * static_cast<double>(differing) / static_cast<double>(covered));
    EXPECT_GT(checked, 20000);
    EXPECT_EQ(wrong, 0);
}

