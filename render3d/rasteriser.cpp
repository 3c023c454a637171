// The polygon rasteriser: projects a face, rejects what cannot reach the
// screen, splits the triangle at its middle row and walks both halves row by
// row, one span per row. Every interpolated value is divided by z, so texture
// coordinates and colours come out perspective-correct.
#include "render3d/rasteriser.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "resources/image.h"
#include "scene3d/float_to_int.h"
#include "scene3d/world.h"

namespace {

struct ScreenVertex {
    float sx, sy;
    Interpolants a;
};

// Row index of a screen y: floor, then a defined conversion (far vertices
// give values beyond the 32-bit range).
int32_t rowOf(float y) { return truncToInt32(std::floor(y)); }

// A texture the fillers can read: 256 x 256 texels.
const uint32_t* texelsOf(const Image* texture) {
    if (texture == nullptr || texture->width != 256 || texture->height != 256 || texture->pixels.size() < 256 * 256)
        return nullptr;
    return texture->pixels.data();
}

float channelOf(uint32_t colour, int shift) { return static_cast<float>((colour >> shift) & 0xFF); }

float litChannel(uint32_t colour, uint32_t shade, int shift) {
    return std::max(0.0f, channelOf(colour, shift) - channelOf(shade, shift));
}

}  // namespace

void scanLines(ScanState& s, int firstRow, int endRow, const RowStep& step) {
    const SpanFiller fill = s.filler;
    for (int row = firstRow; row < endRow; ++row) {
        const int32_t xs = std::max(truncToInt32(s.leftX), 0);
        const int32_t xe = std::min(truncToInt32(s.rightX), s.width);
        if (xs < xe) {
            const size_t at = static_cast<size_t>(row) * static_cast<size_t>(s.pitch) + static_cast<size_t>(xs);
            SpanSetup span{s.target + at, s.depthBuffer + at, xe - xs,
                           advanced(s.left, s.gradient, static_cast<float>(xs) - s.leftX), s.gradient,
                           s.flatColour, s.texels, s.depthStamp};
            span.start.rw = std::max(span.start.rw, 0.0f);
            span.start.gw = std::max(span.start.gw, 0.0f);
            span.start.bw = std::max(span.start.bw, 0.0f);
            fill(span);
        }
        s.leftX += step.leftX;
        s.rightX += step.rightX;
        s.left = advanced(s.left, step.left, 1.0f);
    }
}

void scanHalf(ScanState& s, int top) {
    const int bottom = top + 1;
    int32_t firstRow = rowOf(s.leftEdgeY[top]);
    int32_t endRow = rowOf(s.leftEdgeY[bottom]);
    if (!(s.leftEdgeY[top] < s.leftEdgeY[bottom])) return;

    // An edge less than two rows tall keeps its start values on every row.
    const float dy = s.leftEdgeY[bottom] - s.leftEdgeY[top];
    const float g = dy >= 2.0f ? 1.0f / dy : 0.0f;
    const RowStep step{(s.leftEdgeX[bottom] - s.leftEdgeX[top]) * g, (s.rightEdgeX[bottom] - s.rightEdgeX[top]) * g,
                       slope(s.leftEdge[top], s.leftEdge[bottom], g)};

    if (endRow < 0) return;
    endRow = std::min(endRow, s.height);
    if (firstRow < 0) {
        const float rowsAbove = static_cast<float>(-static_cast<int64_t>(firstRow));
        s.leftX = s.leftX + step.leftX * rowsAbove;
        s.rightX = s.rightX + step.rightX * rowsAbove;
        s.left = advanced(s.left, step.left, rowsAbove);
        firstRow = 0;
    }
    if (firstRow >= endRow) return;
    scanLines(s, firstRow, endRow, step);
}

void World::drawFace(uint32_t* frame, int item) {
    const Face& face = faces[drawItems[static_cast<size_t>(item)].index];
    const Material& material = materials[static_cast<size_t>(face.material)];
    const uint32_t* texels = texelsOf(material.texture);
    // A textured material whose texture never arrived draws as if untextured.
    unsigned mode = material.flags & 7u;
    if (texels == nullptr) mode &= ~kSpanTextured;
    const bool textured = (mode & kSpanTextured) != 0;
    const bool envMapped = (material.flags & kMaterialEnvMapped) != 0;

    // Order the corners by projected height y' = y / z (stable for ties).
    const int16_t corner[3] = {face.a, face.b, face.c};
    float w[3], yw[3];
    int order[3] = {0, 1, 2};
    for (int k = 0; k < 3; ++k) {
        const WorldVertex& v = vertices[static_cast<size_t>(corner[k])];
        w[k] = 1.0f / v.z;
        yw[k] = w[k] * v.y;
    }
    for (auto [i, j] : {std::pair{0, 1}, std::pair{1, 2}, std::pair{0, 1}})
        if (yw[order[i]] > yw[order[j]]) std::swap(order[i], order[j]);

    ScreenVertex p[3];  // top, middle, bottom
    for (int k = 0; k < 3; ++k) {
        const int c = order[k];
        const int index = corner[c];
        const WorldVertex& v = vertices[static_cast<size_t>(index)];
        // Texture coordinates in 1/256 texel; an environment map takes them
        // from the vertex normal.
        float texU = 65536.0f * v.u, texV = 65536.0f * v.v;
        if (envMapped) {
            const Vec3& n = vertexNormals[static_cast<size_t>(index)];
            texU = 65536.0f * (n.x + 1.0f) * 0.5f;
            texV = 65536.0f * (n.y + 1.0f) * 0.5f;
        }
        // Colours: the shade itself where the fillers subtract it from a
        // texel, else the material colour lit by it.
        const uint32_t shade = vertexColours[static_cast<size_t>(index)];
        float r, g, b;
        if (textured) {
            r = channelOf(shade, 16);
            g = channelOf(shade, 8);
            b = channelOf(shade, 0);
        } else {
            r = litChannel(material.colour, shade, 16);
            g = litChannel(material.colour, shade, 8);
            b = litChannel(material.colour, shade, 0);
        }
        p[k] = {projectX(v.x, w[c]), projectY(yw[c]), {w[c], texU * w[c], texV * w[c], r * w[c], g * w[c], b * w[c]}};
    }
    const ScreenVertex& top = p[0];
    const ScreenVertex& middle = p[1];
    const ScreenVertex& bottom = p[2];

    const float right = static_cast<float>(width) + 3.0f;
    if (bottom.sy < 0.0f || top.sy > static_cast<float>(height)) return;
    if (std::floor(top.sy) == std::floor(bottom.sy)) return;
    if (top.sx < -3.0f && middle.sx < -3.0f && bottom.sx < -3.0f) return;
    if (top.sx > right && middle.sx > right && bottom.sx > right) return;

    uint32_t flatColour = material.colour;
    if ((mode & kSpanGouraud) == 0) flatColour = textured ? lightFace(item) : shadeFace(item, material.colour);

    // The point of the long edge on the middle vertex's row.
    const float t = (middle.sy - top.sy) / (bottom.sy - top.sy);
    const ScreenVertex split{top.sx + (bottom.sx - top.sx) * t, top.sy + (bottom.sy - top.sy) * t,
                             between(top.a, bottom.a, t)};
    if (middle.sx == split.sx) return;
    const bool middleLeft = middle.sx < split.sx;
    const ScreenVertex& middleLeftEnd = middleLeft ? middle : split;
    const ScreenVertex& middleRightEnd = middleLeft ? split : middle;

    ScanState s;
    s.target = frame;
    s.depthBuffer = depthBuffer.data();
    s.width = width;
    s.height = height;
    s.pitch = pitch;
    s.depthStamp = depthStamp;
    s.filler = spanFillers[mode];
    s.flatColour = flatColour;
    s.texels = textured ? texels : nullptr;
    s.gradient = slope(middleLeftEnd.a, middleRightEnd.a, 1.0f / (middleRightEnd.sx - middleLeftEnd.sx));
    const ScreenVertex* leftEnds[3] = {&top, &middleLeftEnd, &bottom};
    for (int k = 0; k < 3; ++k) {
        s.leftEdgeX[k] = leftEnds[k]->sx;
        s.leftEdgeY[k] = leftEnds[k]->sy;
        s.leftEdge[k] = leftEnds[k]->a;
    }
    s.rightEdgeX[0] = top.sx;
    s.rightEdgeX[1] = middleRightEnd.sx;
    s.rightEdgeX[2] = bottom.sx;

    // Each half starts with its edges' values at y = first row + 1.
    for (int half = 0; half < 2; ++half) {
        const float y0 = s.leftEdgeY[half], y1 = s.leftEdgeY[half + 1];
        if (!(y1 > y0)) continue;
        const float prestep = (1.0f - (y0 - std::floor(y0))) / (y1 - y0);
        s.leftX = s.leftEdgeX[half] + (s.leftEdgeX[half + 1] - s.leftEdgeX[half]) * prestep;
        s.rightX = s.rightEdgeX[half] + (s.rightEdgeX[half + 1] - s.rightEdgeX[half]) * prestep;
        s.left = between(s.leftEdge[half], s.leftEdge[half + 1], prestep);
        scanHalf(s, half);
    }
}
