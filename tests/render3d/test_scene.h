// Hand-built 3D scenes for the rendering tests: a small World whose camera
// sits at the origin with a zoom that maps the camera-space point (x, y, z) to
// the screen point (x / z + width / 2, y / z + height / 2), so that faces can
// be placed in screen pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/bit_cast.h"
#include "resources/image.h"
#include "scene3d/world.h"

struct TestScene {
    static constexpr uint32_t kBackground = 0x00DEAD;

    int width, height, pitch;
    World world;
    std::vector<uint32_t> frame;

    TestScene(int w = 32, int h = 16, int p = 40)
        : width(w), height(h), pitch(p), world(nullptr, w, h, p), frame(static_cast<size_t>(p * h), kBackground) {
        reset();
    }

    // Empties the scene; full ambient light, so shades are 0 and colours show as they are.
    void reset() {
        world.clearScene();
        world.setCamera(0, 0, 0, 0, 0, 0, 1.0f / world.halfMinSide);
        world.setAmbient(0xFFFFFF);
    }

    // A vertex as given; then one at screen point (sx, sy) and depth z, in
    // camera space (for drawFace) or in world space (for render, which negates y).
    int vertex(float x, float y, float z, float u = 0.0f, float v = 0.0f) {
        world.vertices[static_cast<size_t>(world.vertexCount)] = {x, y, z, u, v};
        return world.vertexCount++;
    }
    int cameraVertex(float sx, float sy, float z = 1.0f, float u = 0.0f, float v = 0.0f) {
        return vertex((sx - static_cast<float>(width / 2)) * z, (sy - static_cast<float>(height / 2)) * z, z,
                      u, v);
    }
    int worldVertex(float sx, float sy, float z = 1.0f) {
        const int i = cameraVertex(sx, sy, z);
        world.vertices[static_cast<size_t>(i)].y = -world.vertices[static_cast<size_t>(i)].y;
        return i;
    }

    int material(uint32_t flags, uint32_t colour = 0xFFFFFF, const Image* texture = nullptr) {
        world.materials[static_cast<size_t>(world.materialCount)] = {flags, colour, texture};
        return world.materialCount++;
    }
    // A face of material `mat`, or of a material of its own; returns its draw-item position.
    int faceOf(int a, int b, int c, int mat) {
        world.faces[static_cast<size_t>(world.faceCount)] = {static_cast<int16_t>(a), static_cast<int16_t>(b),
                                                             static_cast<int16_t>(c),
                                                             static_cast<int16_t>(mat)};
        world.drawItems[static_cast<size_t>(world.drawItemCount)] = {kDrawFace, 0,
                                                                     static_cast<uint16_t>(world.faceCount++), 0, 0};
        return world.drawItemCount++;
    }
    int face(int a, int b, int c, uint32_t flags, uint32_t colour = 0xFFFFFF,
             const Image* texture = nullptr) {
        return faceOf(a, b, c, material(flags, colour, texture));
    }

    // Normals and shades as World::render makes them; the tests may then
    // change them before drawing.
    void light() {
        world.computeNormals();
        world.lightVertices();
    }
    void draw(int item) { world.drawFace(frame.data(), item); }

    uint32_t pixel(int x, int y) const { return frame[static_cast<size_t>(y * pitch + x)]; }

    // Columns [first, end) of row y that differ from the background, or
    // {0, 0}; a row with a gap gives {-1, -1}.
    std::pair<int, int> span(int y) const {
        int first = -1, end = -1;
        for (int x = 0; x < pitch; ++x) {
            if (pixel(x, y) == kBackground) continue;
            if (first < 0) first = x;
            else if (end != x) return {-1, -1};
            end = x + 1;
        }
        return first < 0 ? std::pair{0, 0} : std::pair{first, end};
    }
};

// The depth-buffer entry of w drawn with `stamp`.
inline int32_t depthOf(int32_t stamp, float w) {
    return bitCast<int32_t>(static_cast<float>(stamp) + w);
}

// Texel (c, r) = 0x00rr00cc, so a pixel tells which texel it came from.
inline Image labelledTexture() {
    Image texture(256, 256);
    for (uint32_t r = 0; r < 256; ++r)
        for (uint32_t c = 0; c < 256; ++c) texture.pixels[r * 256 + c] = (r << 16) | c;
    return texture;
}
