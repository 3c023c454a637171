// Diffuse lighting from point lights with a distance falloff, plus ambient,
// held as shades: per channel 255 - lit, packed 0x00RRGGBB.
#include "scene3d/float_to_int.h"
#include "scene3d/world.h"

namespace {

struct Lit {
    float r = 0.0f, g = 0.0f, b = 0.0f;
};

float clampChannel(float value) { return !(value > 0.0f) ? 0.0f : (value > 255.0f ? 255.0f : value); }

// The complement of each clamped channel, truncated toward zero.
uint32_t shadeOf(Lit lit, int32_t ambientR, int32_t ambientG, int32_t ambientB) {
    lit.r = clampChannel(lit.r + static_cast<float>(ambientR));
    lit.g = clampChannel(lit.g + static_cast<float>(ambientG));
    lit.b = clampChannel(lit.b + static_cast<float>(ambientB));
    const uint32_t r = static_cast<uint32_t>(truncToInt32(255.0f - lit.r));
    const uint32_t g = static_cast<uint32_t>(truncToInt32(255.0f - lit.g));
    const uint32_t b = static_cast<uint32_t>(truncToInt32(255.0f - lit.b));
    return (r << 16) | (g << 8) | b;
}

// What the lights give a surface point P with normal N. With `flat` set, the
// angle term counts as 1 wherever the surface faces the light.
Lit gather(const Light* lights, int lightCount, Vec3 P, Vec3 N, bool flat) {
    Lit lit;
    for (int i = 0; i < lightCount; ++i) {
        const Light& light = lights[i];
        Vec3 d{(P.x - light.x) * light.invRange, (P.y - light.y) * light.invRange, (P.z - light.z) * light.invRange};
        float attenuation = light.intensity / (d.x * d.x + d.y * d.y + d.z * d.z + 0.00001f);
        normalise(d);
        float ndl = d.x * N.x + d.y * N.y + d.z * N.z;
        if (!(ndl > 0.0f)) continue;
        if (flat) ndl = 1.0f;
        if (attenuation > 1.0f) attenuation = 1.0f;
        float f = ndl * attenuation;
        if (!(f > 0.0f)) continue;
        if (f > 1.0f) f = 1.0f;
        lit.r += static_cast<float>(light.r) * f;
        lit.g += static_cast<float>(light.g) * f;
        lit.b += static_cast<float>(light.b) * f;
    }
    return lit;
}

uint8_t channelOf(uint32_t colour, int shift) { return static_cast<uint8_t>((colour >> shift) & 0xFF); }

}  // namespace

void World::lightVertices() {
    for (int i = 0; i < vertexCount; ++i) {
        const Vec3& n = vertexNormals[static_cast<size_t>(i)];
        const bool touched = n.x * n.x + n.y * n.y + n.z * n.z != 0.0f;
        vertexColours[static_cast<size_t>(i)] = touched ? lightVertex(i) : 0xFFFFFFu;
    }
}

uint32_t World::lightVertex(int i) const {
    const WorldVertex& v = vertices[static_cast<size_t>(i)];
    const Lit lit = gather(lights.data(), lightCount, {v.x, v.y, v.z}, vertexNormals[static_cast<size_t>(i)],
                           flatLighting != 0);
    return shadeOf(lit, ambientR, ambientG, ambientB);
}

uint32_t World::lightFace(int item) const {
    const Face& face = faces[drawItems[static_cast<size_t>(item)].index];
    const WorldVertex& A = vertices[static_cast<size_t>(face.a)];
    const WorldVertex& B = vertices[static_cast<size_t>(face.b)];
    const WorldVertex& C = vertices[static_cast<size_t>(face.c)];
    const float third = 0.33333334f;
    const Vec3 centre{((A.x + B.x) + C.x) * third, ((A.y + B.y) + C.y) * third, ((A.z + B.z) + C.z) * third};
    const Lit lit = gather(lights.data(), lightCount, centre, faceNormals[static_cast<size_t>(item)], false);
    return shadeOf(lit, ambientR, ambientG, ambientB);
}

uint32_t World::shadeFace(int item, uint32_t colour) const {
    const uint32_t shade = lightFace(item);
    uint32_t result = 0;
    for (int shift : {16, 8, 0}) {
        const int value = channelOf(colour, shift) - channelOf(shade, shift);
        result |= static_cast<uint32_t>(value < 0 ? 0 : value) << shift;
    }
    return result;
}
