// Camera transform: every vertex and light position from world space into
// camera space (eye at the origin, looking along +z, y growing downwards).
#include <cmath>

#include "scene3d/world.h"

namespace {

struct CameraMatrix {
    float m[3][3];

    // d = p - camera position, each difference rounded to float.
    void apply(float& x, float& y, float& z, float cameraX, float cameraY, float cameraZ) const {
        const float dx = x - cameraX;
        const float dy = y - cameraY;
        const float dz = z - cameraZ;
        x = m[0][0] * dx + m[0][1] * dy + m[0][2] * dz;
        y = -(m[1][0] * dx + m[1][1] * dy + m[1][2] * dz);
        z = m[2][0] * dx + m[2][1] * dy + m[2][2] * dz;
    }
};

// Degrees to radians with pi as 3.141592654 (not the full constant), in
// double; sine and cosine are kept as floats.
void sinCos(float degrees, float& sine, float& cosine) {
    const double radians = static_cast<double>(degrees) * 3.141592654 / 180.0;
    sine = static_cast<float>(std::sin(radians));
    cosine = static_cast<float>(std::cos(radians));
}

// The inverse of the camera's rotation Ry(yaw) Rx(pitch) Rz(roll):
// Rz(-roll) Rx(-pitch) Ry(-yaw).
CameraMatrix cameraMatrix(float yaw, float pitch, float roll) {
    float sA, cA, sB, cB, sC, cC;
    sinCos(yaw, sA, cA);
    sinCos(pitch, sB, cB);
    sinCos(roll, sC, cC);
    CameraMatrix r;
    r.m[0][0] = cA * cC + sA * sB * sC;
    r.m[0][1] = cB * sC;
    r.m[0][2] = -sA * cC + cA * sB * sC;
    r.m[1][0] = sA * sB * cC - cA * sC;
    r.m[1][1] = cB * cC;
    r.m[1][2] = sA * sC + cA * sB * cC;
    r.m[2][0] = sA * cB;
    r.m[2][1] = -sB;
    r.m[2][2] = cA * cB;
    return r;
}

}  // namespace

void World::transformToCamera() {
    const CameraMatrix matrix = cameraMatrix(cameraRotY, cameraRotX, cameraRotZ);
    for (int i = 0; i < vertexCount; ++i) {
        WorldVertex& v = vertices[static_cast<size_t>(i)];
        matrix.apply(v.x, v.y, v.z, cameraX, cameraY, cameraZ);
    }
    for (int i = 0; i < lightCount; ++i) {
        Light& light = lights[static_cast<size_t>(i)];
        matrix.apply(light.x, light.y, light.z, cameraX, cameraY, cameraZ);
    }
}
