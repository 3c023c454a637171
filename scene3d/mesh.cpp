// Reading mesh files, the mesh transform, and placing meshes into the frame.
#include "scene3d/mesh.h"

#include <cmath>
#include <cstring>

#include "platform/bit_cast.h"
#include "resources/byte_fields.h"
#include "resources/load_error.h"

namespace {

float floatAt(const uint8_t* bytes) { return bitCast<float>(wordAt(bytes)); }
int16_t shortAt(const uint8_t* bytes) { return static_cast<int16_t>(halfAt(bytes)); }

// Reads the count at `at` after checking that it and everything before it fit.
size_t countAt(std::span<const uint8_t> bytes, size_t at, const std::string& name) {
    if (bytes.size() < at + 2) throw LoadError(name + ": mesh file cut short at byte " + std::to_string(bytes.size()));
    return halfAt(bytes.data() + at);
}

bool indexIn(int16_t index, size_t count) { return index >= 0 && static_cast<size_t>(index) < count; }

// Angles in degrees to radians as a single-precision product with the float
// nearest to pi / 180 (pi taken as 3.141592654); sine and cosine are taken in
// double of that float and rounded to float.
constexpr float kRadiansPerDegree = static_cast<float>(3.141592654 / 180.0);

void sinCos(float degrees, float& sine, float& cosine) {
    const double radians = static_cast<double>(degrees * kRadiansPerDegree);
    sine = static_cast<float>(std::sin(radians));
    cosine = static_cast<float>(std::cos(radians));
}

}  // namespace

Mesh readMesh(std::span<const uint8_t> bytes, const std::string& name) {
    const size_t v = countAt(bytes, 0, name);
    const size_t faceCountAt = 2 + kMeshVertexBytes * v;
    const size_t f = countAt(bytes, faceCountAt, name);
    const size_t materialCountAt = faceCountAt + 2 + kMeshFaceBytes * f;
    const size_t m = countAt(bytes, materialCountAt, name);
    if (bytes.size() < meshFileBytes(v, f, m))
        throw LoadError(name + ": mesh file of " + std::to_string(bytes.size()) + " bytes is too short for " +
                        std::to_string(v) + " vertices, " + std::to_string(f) + " faces and " + std::to_string(m) +
                        " materials");

    Mesh mesh;
    mesh.name = name;
    mesh.vertices.resize(v);
    for (size_t i = 0; i < v; ++i) {
        const uint8_t* record = bytes.data() + 2 + kMeshVertexBytes * i;
        mesh.vertices[i] = {floatAt(record), floatAt(record + 4), floatAt(record + 8), floatAt(record + 12),
                            floatAt(record + 16)};
    }
    mesh.faces.resize(f);
    for (size_t i = 0; i < f; ++i) {
        const uint8_t* record = bytes.data() + faceCountAt + 2 + kMeshFaceBytes * i;
        const Face face{shortAt(record), shortAt(record + 2), shortAt(record + 4), shortAt(record + 6)};
        if (!indexIn(face.a, v) || !indexIn(face.b, v) || !indexIn(face.c, v))
            throw LoadError(name + ": face " + std::to_string(i) + " names a vertex outside 0.." +
                            std::to_string(static_cast<long>(v) - 1));
        if (!indexIn(face.material, m))
            throw LoadError(name + ": face " + std::to_string(i) + " names material " +
                            std::to_string(face.material) + " of " + std::to_string(m));
        mesh.faces[i] = face;
    }
    mesh.materials.resize(m);
    mesh.textureNames.resize(m);
    for (size_t i = 0; i < m; ++i) {
        const uint8_t* record = bytes.data() + materialCountAt + 2 + kMeshMaterialBytes * i;
        const uint8_t* textureName = record + 16;
        mesh.materials[i] = {wordAt(record), wordAt(record + 4), nullptr};
        const void* end = std::memchr(textureName, 0, kMeshTextureNameBytes);
        if (mesh.materials[i].flags & kMaterialTextured) {
            if (end == nullptr)
                throw LoadError(name + ": texture name of material " + std::to_string(i) +
                                " does not end within its 48 bytes");
            mesh.textureNames[i] = reinterpret_cast<const char*>(textureName);
        }
    }
    return mesh;
}

MeshTransform::MeshTransform(float rz, float rx, float ry, float tx, float ty, float tz, float scaleX,
                             float scaleY, float scaleZ, float pivotX, float pivotY, float pivotZ)
    : x(tx), y(ty), z(tz), sx(scaleX), sy(scaleY), sz(scaleZ), px(pivotX), py(pivotY), pz(pivotZ) {
    sinCos(rz, sinZ, cosZ);
    sinCos(rx, sinX, cosX);
    sinCos(ry, sinY, cosY);
}

void MeshTransform::apply(float& outX, float& outY, float& outZ, float inX, float inY, float inZ) const {
    const float X = (inX - px) * sx;
    const float Y = (inY - py) * sy;
    const float Z = (inZ - pz) * sz;
    const float x1 = X * cosZ - Y * sinZ;  // roll about z
    const float y1 = X * sinZ + Y * cosZ;
    const float y2 = y1 * cosX - Z * sinX;  // pitch about x
    const float z1 = y1 * sinX + Z * cosX;
    const float x2 = x1 * cosY + z1 * sinY;  // yaw about y
    const float z2 = z1 * cosY - x1 * sinY;
    outX = x2 + x;
    outY = y2 + y;
    outZ = z2 + z;
}

void World::addMesh(const Mesh& mesh, float rz, float rx, float ry, float x, float y, float z, float sx, float sy,
                    float sz, float px, float py, float pz) {
    const int v = static_cast<int>(mesh.vertices.size());
    const int f = static_cast<int>(mesh.faces.size());
    const int m = static_cast<int>(mesh.materials.size());
    lastPlacedMesh_ = nullptr;
    if (f == 0) return;
    if (vertexCount + v > kMaxVertices || faceCount + f > kMaxFaces || materialCount + m > kMaxMaterials ||
        drawItemCount + f > kMaxDrawItems) {
        ++drops.meshes;
        return;
    }

    const MeshTransform transform(rz, rx, ry, x, y, z, sx, sy, sz, px, py, pz);
    const int base = vertexCount;
    for (int i = 0; i < v; ++i) {
        const WorldVertex& in = mesh.vertices[static_cast<size_t>(i)];
        WorldVertex& out = vertices[static_cast<size_t>(base + i)];
        transform.apply(out.x, out.y, out.z, in.x, in.y, in.z);
        out.u = in.u;
        out.v = in.v;
    }
    const int materialBase = materialCount;
    for (int i = 0; i < m; ++i) materials[static_cast<size_t>(materialBase + i)] = mesh.materials[static_cast<size_t>(i)];
    for (int j = 0; j < f; ++j) {
        const Face& in = mesh.faces[static_cast<size_t>(j)];
        const int face = faceCount + j;
        const int item = drawItemCount + j;
        faces[static_cast<size_t>(face)] = {static_cast<int16_t>(in.a + base), static_cast<int16_t>(in.b + base),
                                            static_cast<int16_t>(in.c + base),
                                            static_cast<int16_t>(in.material + materialBase)};
        drawItems[static_cast<size_t>(item)] = {kDrawFace, 0, static_cast<uint16_t>(face), 0, 0};
        faceNormals[static_cast<size_t>(item)] = Vec3{};
    }
    materialCount += m;
    drawItemCount += f;
    faceCount += f;
    vertexCount += v;
    lastPlacedMesh_ = &mesh;
    lastPlacedEnd_ = vertexCount;
}

void World::applyParentTransform(const Mesh& mesh, float rz, float rx, float ry, float x, float y, float z,
                                 float sx, float sy, float sz, float px, float py, float pz) {
    // Only the vertices of this mesh's own last placement move: a mesh that
    // added nothing (no faces, or no room left) must not move another's.
    const int v = static_cast<int>(mesh.vertices.size());
    if (&mesh != lastPlacedMesh_ || vertexCount != lastPlacedEnd_) return;
    const MeshTransform transform(rz, rx, ry, x, y, z, sx, sy, sz, px, py, pz);
    for (int i = vertexCount - v; i < vertexCount; ++i) {
        WorldVertex& p = vertices[static_cast<size_t>(i)];
        transform.apply(p.x, p.y, p.z, p.x, p.y, p.z);
    }
}
