#include <gtest/gtest.h>

#include <array>
#include <tuple>
#include <utility>
#include <vector>

#include "render3d/span_fillers.h"
#include "test_scene.h"

namespace {

struct Point {
    float x, y;
};

// Row spans {row, first column, end column} of a flat white face.
using Spans = std::vector<std::array<int, 3>>;

void expectSpans(const TestScene& scene, const Spans& expected, const char* name) {
    std::vector<std::pair<int, int>> want(static_cast<size_t>(scene.height), {0, 0});
    for (auto [row, first, end] : expected) want[static_cast<size_t>(row)] = {first, end};
    for (int y = 0; y < scene.height; ++y) EXPECT_EQ(scene.span(y), want[static_cast<size_t>(y)]) << name << " row " << y;
}

void drawFlat(TestScene& scene, std::array<Point, 3> corners) {
    int v[3];
    for (int k = 0; k < 3; ++k) v[k] = scene.cameraVertex(corners[k].x, corners[k].y);
    const int item = scene.face(v[0], v[1], v[2], 0);
    scene.light();
    scene.draw(item);
}

}  // namespace

// Each row r covers the columns whose right edge x + 1 lies within the face at
// y = r + 1; halves less than two rows tall repeat their first row.
TEST(Rasteriser, CoversTheRowsAndColumnsTheEdgesGive) {
    const std::vector<std::tuple<const char*, std::array<Point, 3>, Spans>> cases = {
        {"long edge left", {{{4, 2}, {12, 6}, {4, 10}}},
         {{2, 4, 6}, {3, 4, 8}, {4, 4, 10}, {5, 4, 12}, {6, 4, 10}, {7, 4, 8}, {8, 4, 6}}},
        {"flat top", {{{4, 2}, {20, 2}, {4, 10}}},
         {{2, 4, 18}, {3, 4, 16}, {4, 4, 14}, {5, 4, 12}, {6, 4, 10}, {7, 4, 8}, {8, 4, 6}}},
        {"flat bottom", {{{4, 2}, {20, 10}, {4, 10}}},
         {{2, 4, 6}, {3, 4, 8}, {4, 4, 10}, {5, 4, 12}, {6, 4, 14}, {7, 4, 16}, {8, 4, 18}, {9, 4, 20}}},
        {"short upper half", {{{2, 0.5f}, {10, 2.2f}, {2, 6.5f}}},
         {{0, 2, 4}, {1, 2, 4}, {2, 2, 8}, {3, 2, 6}, {4, 2, 4}}},
        {"over both side edges", {{{-10, 2}, {60, 2}, {-10, 12}}},
         {{2, 0, 32}, {3, 0, 32}, {4, 0, 32}, {5, 0, 32}, {6, 0, 25}, {7, 0, 18}, {8, 0, 11}, {9, 0, 4}}},
        {"same row band", {{{4, 2.1f}, {12, 2.5f}, {6, 2.9f}}}, {}},
        {"collinear", {{{2, 2}, {6, 6}, {10, 10}}}, {}},
        {"left of -3", {{{-10, 2}, {-3.5f, 6}, {-20, 10}}}, {}},
        {"right of width + 3", {{{35.5f, 2}, {40, 8}, {50, 12}}}, {}},
        {"above the screen", {{{4, -9}, {12, -5}, {4, -0.5f}}}, {}},
        {"below the screen", {{{4, 16.5f}, {12, 20}, {4, 24}}}, {}},
    };
    for (const auto& [name, corners, spans] : cases) {
        TestScene scene;
        drawFlat(scene, corners);
        expectSpans(scene, spans, name);
    }
}

// A Gouraud face from y = -6 (red 0) to y = 10 (red 160) along its left edge
// starts at row 0 with the red that its edge has at y = 1 and with the right
// x advanced by the six rows above the screen.
TEST(Rasteriser, FaceAboveTheScreenStartsAtRowZeroWithAdvancedValues) {
    TestScene scene;
    const int a = scene.cameraVertex(4, -6), b = scene.cameraVertex(20, 2), c = scene.cameraVertex(4, 10);
    const int item = scene.face(a, b, c, kSpanGouraud, 0xFF0000);
    scene.light();
    scene.world.vertexColours[static_cast<size_t>(a)] = 255u << 16;
    scene.world.vertexColours[static_cast<size_t>(b)] = (255u - 80) << 16;
    scene.world.vertexColours[static_cast<size_t>(c)] = (255u - 160) << 16;
    scene.draw(item);
    for (auto [row, end, red] : {std::tuple{0, 18, 70u}, {1, 20, 80u}, {2, 18, 90u}}) {
        EXPECT_EQ(scene.span(row), std::pair(4, end)) << row;
        for (int x = 4; x < end; ++x) EXPECT_EQ(scene.pixel(x, row), red << 16) << row << " " << x;
    }
}

// An environment map takes U from the normal: N.x = 1 gives U = 65536, the
// same texel column as N.x = -1; N.y = 0 gives row 128.
TEST(Rasteriser, EnvironmentMapColumnWrapsAtNormalXOne) {
    const Image texture = labelledTexture();
    for (float nx : {1.0f, -1.0f}) {
        TestScene scene;
        const int a = scene.cameraVertex(4, 2), b = scene.cameraVertex(20, 6), c = scene.cameraVertex(4, 12);
        const int item = scene.face(a, b, c, kMaterialEnvMapped | kSpanTextured, 0, &texture);
        scene.light();
        for (int v : {a, b, c}) scene.world.vertexNormals[static_cast<size_t>(v)] = {nx, 0.0f, 0.0f};
        scene.draw(item);
        EXPECT_EQ(scene.pixel(5, 6), 128u << 16) << nx;
        EXPECT_EQ(scene.pixel(10, 7), 128u << 16) << nx;
    }
}

// A textured material without a texture draws its lit colour instead of
// reading texels, flat or Gouraud, opaque or translucent.
TEST(Rasteriser, TexturedMaterialWithoutTextureDrawsItsColour) {
    for (unsigned mode : {1u, 3u, 5u, 7u}) {
        TestScene scene;
        const int a = scene.cameraVertex(4, 2), b = scene.cameraVertex(20, 6), c = scene.cameraVertex(4, 12);
        std::fill(scene.frame.begin(), scene.frame.end(), 0u);
        const int item = scene.face(a, b, c, mode, 0x123456);
        scene.light();
        scene.draw(item);
        const uint32_t expected = (mode & kSpanTranslucent) ? average(0, 0x123456) : 0x123456u;
        EXPECT_EQ(scene.pixel(6, 6), expected) << mode;
    }
}
