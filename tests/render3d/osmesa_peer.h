// Mesa's off-screen OpenGL renderer (OSMesa) set up as an independent peer of
// World::render: the same viewport, a projection built from the World's zoom
// and halfMinSide with y growing downwards, and a depth test that passes on
// equal depth. Used by the render comparison test and the 3D benchmarks only.
#pragma once

#include <GL/gl.h>
#include <GL/osmesa.h>

#include <cstdint>
#include <vector>

#include "resources/image.h"

class OsMesaPeer {
public:
    // One vertex in camera space (x right, y down, z ahead) with its colour
    // 0x00RRGGBB and texture coordinates (1.0 spans the texture once).
    struct Vertex {
        float x, y, z;
        uint32_t colour;
        float u, v;
    };

    enum class Blend { opaque, half, add };

    OsMesaPeer(int width, int height)
        : width_(width), height_(height), buffer_(static_cast<size_t>(width * height)) {
        context_ = OSMesaCreateContextExt(OSMESA_BGRA, 24, 0, 0, nullptr);
        if (context_ == nullptr ||
            !OSMesaMakeCurrent(context_, buffer_.data(), GL_UNSIGNED_BYTE, width_, height_)) {
            context_ = nullptr;
            return;
        }
        glViewport(0, 0, width_, height_);
        glEnable(GL_DEPTH_TEST);
        glDepthFunc(GL_LEQUAL);
        glShadeModel(GL_SMOOTH);
        glHint(GL_PERSPECTIVE_CORRECTION_HINT, GL_NICEST);
        glPixelStorei(GL_UNPACK_ALIGNMENT, 4);
    }
    ~OsMesaPeer() {
        if (context_ != nullptr) OSMesaDestroyContext(context_);
    }
    OsMesaPeer(const OsMesaPeer&) = delete;
    OsMesaPeer& operator=(const OsMesaPeer&) = delete;

    bool ready() const { return context_ != nullptr; }
    const char* renderer() const { return reinterpret_cast<const char*>(glGetString(GL_RENDERER)); }

    // Our projection is sx = x·zoom·halfMinSide / z + width / 2 (sy likewise),
    // and our rasteriser samples a pixel at its lower right corner (column + 1,
    // row + 1) where OpenGL samples its centre; the projection moves the
    // picture half a pixel so that both sample the same points. Depth runs from
    // the near plane (z = 0.1) to infinity.
    void project(float zoom, float halfMinSide) {
        const float w = static_cast<float>(width_), h = static_cast<float>(height_);
        const float scale = zoom * halfMinSide, nearZ = 0.1f;
        // Column-major: x' = a·x - z/w, y' = -b·y + z/h, z' = z - 2·near, w' = z.
        const GLfloat m[16] = {2 * scale / w, 0, 0, 0, 0, -2 * scale / h, 0, 0, -1 / w, 1 / h, 1, 1, 0, 0, -2 * nearZ, 0};
        glMatrixMode(GL_PROJECTION);
        glLoadMatrixf(m);
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    void clear(uint32_t colour) {
        glClearColor(static_cast<float>((colour >> 16) & 255) / 255.0f, static_cast<float>((colour >> 8) & 255) / 255.0f,
                     static_cast<float>(colour & 255) / 255.0f, 1.0f);
        glClearDepth(1.0);
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    }

    // Uploads a texture once (later calls with the same picture reuse it);
    // nearest texel, repeating in both directions.
    void bindTexture(const Image& texture) {
        if (&texture != boundImage_) {
            if (textureName_ == 0) glGenTextures(1, &textureName_);
            glBindTexture(GL_TEXTURE_2D, textureName_);
            glTexImage2D(GL_TEXTURE_2D, 0, GL_RGBA8, texture.width, texture.height, 0, GL_BGRA, GL_UNSIGNED_BYTE,
                         texture.pixels.data());
            boundImage_ = &texture;
        }
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_NEAREST);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_S, GL_REPEAT);
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_WRAP_T, GL_REPEAT);
    }

    // Triangles from consecutive vertex triples. With a texture the texel is
    // multiplied by the vertex colour (white shows the texel as it is). `half`
    // blends 50 % and `add` adds, both without writing depth.
    void drawTriangles(const std::vector<Vertex>& vertices, const Image* texture, Blend blend) {
        if (texture != nullptr) {
            bindTexture(*texture);
            glEnable(GL_TEXTURE_2D);
            glTexEnvi(GL_TEXTURE_ENV, GL_TEXTURE_ENV_MODE, GL_MODULATE);
        } else {
            glDisable(GL_TEXTURE_2D);
        }
        setBlend(blend);
        glEnableClientState(GL_VERTEX_ARRAY);
        glEnableClientState(GL_COLOR_ARRAY);
        glVertexPointer(3, GL_FLOAT, sizeof(Vertex), &vertices[0].x);
        glColorPointer(GL_BGRA, GL_UNSIGNED_BYTE, sizeof(Vertex), &vertices[0].colour);
        if (texture != nullptr) {
            glEnableClientState(GL_TEXTURE_COORD_ARRAY);
            glTexCoordPointer(2, GL_FLOAT, sizeof(Vertex), &vertices[0].u);
        }
        glDrawArrays(GL_TRIANGLES, 0, static_cast<GLsizei>(vertices.size()));
        glDisableClientState(GL_TEXTURE_COORD_ARRAY);
        glDisableClientState(GL_COLOR_ARRAY);
        glDisableClientState(GL_VERTEX_ARRAY);
        setBlend(Blend::opaque);
    }

    void setBlend(Blend blend) {
        if (blend == Blend::opaque) {
            glDisable(GL_BLEND);
            glDepthMask(GL_TRUE);
            return;
        }
        glEnable(GL_BLEND);
        glDepthMask(GL_FALSE);
        if (blend == Blend::add) {
            glBlendFunc(GL_ONE, GL_ONE);
        } else {
            glBlendColor(0.5f, 0.5f, 0.5f, 0.5f);
            glBlendFunc(GL_CONSTANT_ALPHA, GL_CONSTANT_ALPHA);
        }
    }

    void finish() { glFinish(); }

    // Our row y (top row 0) of the finished picture; OpenGL keeps the bottom row first.
    uint32_t pixel(int x, int y) const {
        return buffer_[static_cast<size_t>((height_ - 1 - y) * width_ + x)] & 0xFFFFFFu;
    }

private:
    int width_, height_;
    std::vector<uint32_t> buffer_;  // 0xAARRGGBB as the BGRA bytes read on little-endian machines
    OSMesaContext context_ = nullptr;
    GLuint textureName_ = 0;
    const Image* boundImage_ = nullptr;
};
